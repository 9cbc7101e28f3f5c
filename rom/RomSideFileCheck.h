#pragma once
// Whether a .BIN side file belongs to the ROM image beside it. MAKE ROM copies the side file's
// code tables and options (its bytes 0x1400 to 0x23FE) into the image's code-table block, so
// a side file made for another build differs there.

#include "TRomImageReader.h"

#include <cstdint>
#include <span>
#include <string>

namespace Rom {

// The "side file" check of image and side (both as read from disk); sideName names the side
// file in the detail text.
TRomCheck SideFileCheck(std::span<const std::uint8_t> image, std::span<const std::uint8_t> side,
                        const std::string& sideName);

} // namespace Rom
