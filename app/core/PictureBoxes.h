#pragma once
// Showing picture files and library pictures in the window's picture boxes.

#include "app/core/TEditorSession.h"

#include <string>

namespace AppCore {

// Loads a picture file (found without regard to case) into Image<image>; false when the loader
// cannot read it. Shows no message.
bool ShowPicture(TEditorSession& session, int image, const std::string& path);

// Decodes library entry (group, index) in memory and shows it in Image<image>. False when
// there is no such picture or it cannot be read.
bool ShowLibraryPicture(TEditorSession& session, int image, int group, int index);
// How messages name a library picture: "VRC-780AS1V2.GLB (0, 5)".
std::string LibraryPictureName(const TEditorSession& session, int group, int index);

// The picture loader's error for path, through the message sink.
void ReportPictureLoadError(const std::string& path);

} // namespace AppCore
