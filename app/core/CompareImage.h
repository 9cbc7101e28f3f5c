#pragma once
// The image MAKE ROM would build from the session, compared with a ROM image file, without
// saving the project and without touching the document: the build runs in a private
// temporary folder.

#include "app/core/TEditorSession.h"

#include <string>
#include <vector>

namespace AppCore {

struct TImageComparison {
    std::string Error;                   // why there is no comparison; empty when there is one
    std::vector<std::string> Lines;      // the differences, empty when the images are the same
    std::vector<std::string> BuildLines; // the build's own message-box lines (warnings)
};

TImageComparison CompareWithImage(const TEditorSession& session, const std::string& romPath);

} // namespace AppCore
