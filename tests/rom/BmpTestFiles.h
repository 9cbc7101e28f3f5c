#pragma once
// BMP files made byte by byte for the reader tests: any header size, bit depth, compression,
// row order and colour table, including the odd ones no picture program writes.

#include "rom/MonoBitmap.h"

#include <cstdint>
#include <vector>

namespace RomTest {

struct TBmpLayout {
    int Width = 8;
    int Height = 8;
    int Bits = 1;
    std::uint32_t Compression = 0; // 0 BI_RGB, 1 BI_RLE8, 2 BI_RLE4, 3 BI_BITFIELDS
    bool TopDown = false;
    std::uint32_t HeaderSize = 40;      // 12, 40, 52, 56, 108 or 124
    std::vector<std::uint32_t> Palette; // 0xRRGGBB, written as the colour table
    std::uint32_t ColoursUsed = 0;      // the header's count (0: all 2^bits)
    std::uint32_t Masks[3] = {0, 0, 0}; // BI_BITFIELDS
};

// The whole file: headers, masks, colour table, then `pixels` as the pixel data.
Rom::TBytes MakeBmp(const TBmpLayout& layout, const Rom::TBytes& pixels);

// Uncompressed rows of values (a colour-table index, or a 16/24/32-bit pixel), padded to whole
// 32-bit words, in file order (bottom row first unless top-down). values[y][x], y from the top.
Rom::TBytes PackRows(const TBmpLayout& layout,
                     const std::vector<std::vector<std::uint32_t>>& values);

} // namespace RomTest
