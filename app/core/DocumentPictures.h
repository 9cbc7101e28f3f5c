#pragma once
// The picture boxes drawn from the document, as MAKE ROM will build them: a customer picture
// box shows its file, else the library picture MAKE ROM uses in its place (titles V, H and 2),
// else nothing (logo); a message picture box shows its file, or nothing when it cannot be read.

#include "app/core/DocumentActions.h"
#include "app/core/TEditorSession.h"

namespace AppCore {

void ShowChangedPictures(TEditorSession& session, const ProjectDocument& before);
// Every customer picture box from the document.
void ShowCustomerPictures(TEditorSession& session);
// Every customer and message picture box from the document (after undo, redo and load).
void ShowDocumentPictures(TEditorSession& session);

// "Clear picture" of a customer picture box: the file is forgotten, the box shows the library
// title (title V and H) or stays empty (title 2 and logo), as without a choice.
void ClearCustomerPicture(TEditorSession& session, TCustomerPicture which);

} // namespace AppCore
