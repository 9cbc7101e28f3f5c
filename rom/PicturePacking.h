#pragma once
// Packing of work files into a numbered picture set or a packed block. Each packed work file
// is deleted from the folder.

#include "TWorkFolder.h"

#include <cstdint>
#include <span>
#include <string>

namespace Rom {

// prefix0 .. prefix255 that exist -> target: a 1,536-byte index (whole-byte address form,
// addresses relative to the set, the first at 0x600), then the pictures back to back.
// False when the target cannot be written.
bool PackNumberedPictures(TWorkFolder& folder, const std::string& prefix,
                          const std::string& target);

enum class TPackResult { Packed, TooLarge };

// An index of `count` entries at the start of block, then prefix0 .. prefix(count-1) after
// it; entry k's address is addressBase + 6 * count + the bytes of the files before it; absent
// files give zero entries; the rest of block is zeroed. When the index and the pictures do not
// fit the block, nothing is written, no file is deleted, and TooLarge is returned.
TPackResult PackPictureBlock(TWorkFolder& folder, const std::string& prefix, int count,
                             std::uint32_t addressBase, std::span<std::uint8_t> block);

} // namespace Rom
