#include "TSampleFonts.h"

namespace SampleData {

std::string TSampleFonts::DefaultFontRoot() {
    return "/usr/share/fonts/truetype";
}

} // namespace SampleData
