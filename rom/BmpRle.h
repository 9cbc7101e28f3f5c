#pragma once
// Run-length coded BMP pixel data (BI_RLE8 and BI_RLE4) decoded into one colour-table index
// per pixel.

#include <cstdint>
#include <span>
#include <vector>

namespace Rom {

// What a pixel the data skips (end of line, delta moves, end of picture) holds: no colour of
// the picture, so it reads as past the colour table.
inline constexpr std::uint16_t SkippedPixel = 0xFFFF;

// Indices of a width x height picture, rows from top to bottom (the data runs bottom-up);
// SkippedPixel where the data gives none. Runs past the right edge are cut. Raises EBmpFormat
// when the data ends before the end-of-picture mark while rows remain.
std::vector<std::uint16_t> DecodeRle(std::span<const std::uint8_t> data, int width, int height,
                                     int bitsPerPixel);

} // namespace Rom
