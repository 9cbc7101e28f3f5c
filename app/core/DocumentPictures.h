#pragma once
// The picture boxes after undo or redo: each box whose picture path changed shows its new file,
// or its library picture or nothing when the path is empty.

#include "app/core/DocumentActions.h"
#include "app/core/TEditorSession.h"

namespace AppCore {

void ShowChangedPictures(TEditorSession& session, const ProjectDocument& before);

// "Clear picture" of a customer picture box: the file is forgotten, the box shows the library
// title (title V and H) or stays empty (title 2 and logo), as without a choice.
void ClearCustomerPicture(TEditorSession& session, TCustomerPicture which);

} // namespace AppCore
