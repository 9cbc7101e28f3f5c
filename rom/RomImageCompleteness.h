#pragma once
// What an image that passes every check may still lack: pictures its own options and code
// tables use. MAKE ROM leaves such an entry empty when a picture file was missing, and the
// display then shows nothing where the picture belongs.

#include "TRomImageReader.h"

#include <string>
#include <vector>

namespace Rom {

// One text per kind of gap, naming the entries: empty lift-state entries (M_150 to M_189), glyphs
// of the chosen floor-number set that a code-table cell uses but the set lacks, an empty chosen
// arrow set, an empty customer title (UM_1) or logo (UM_0) that the options switch on. Empty
// for a complete image, or when the image has no readable code-table block.
std::vector<std::string> IncompleteImageWarnings(const TRomImageReader& reader);

} // namespace Rom
