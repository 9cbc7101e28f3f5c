#include "TSampleFonts.h"

#include "XVclUtil/PlatformPaths.h"

namespace SampleData {

// The Windows package ships the same font files in fonts\ beside the programs.
std::string TSampleFonts::DefaultFontRoot() {
    return XVclUtil::ExecutableDir() + "fonts";
}

} // namespace SampleData
