#pragma once
// Warnings about a chosen picture, written to the Make page's message box: pixels that are
// neither pure black nor pure white, and a size other than that of its place on the display.

#include "app/core/TEditorSession.h"

#include <string>

namespace AppCore {

struct TPictureSize {
    int Width;
    int Height;
};

inline constexpr TPictureSize LiftStatePictureSize{128, 32};

void WarnAboutPicture(TEditorSession& session, const std::string& file, TPictureSize size);

} // namespace AppCore
