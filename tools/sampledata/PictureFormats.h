#pragma once
// Byte formats of the sample pictures: 1-bit BMP files for the pictures the build encodes, and
// the display's own formats for the entries it copies unchanged (the mono bitmap record, the
// numbered picture set and the 8 x 13 boot font).

#include <QImage>

#include <cstdint>
#include <map>
#include <string>

namespace SampleData {

enum class TOrientation {
    RowMajor, // horizontal display: rows top to bottom
    Rotated,  // vertical display: turned 90 degrees counter-clockwise
};

// A 1-bit BMP file: 62-byte header with a black (index 0) and white (index 1) palette, rows
// bottom-up, padded to four bytes. Width and height must be positive.
std::string EncodeBmp1(const QImage& mono);

// The display's mono bitmap record (little-endian width and height, 8 pixels per byte, leftmost
// pixel in the high bit, black = 1). Rotated stores the picture turned counter-clockwise. The
// side that becomes a byte row (width row-major, height rotated) must be a multiple of 8.
std::string MonoRecord(const QImage& mono, TOrientation orientation);
// The picture held by a record, as stored (a rotated record comes back turned); a null image
// when the bytes are not a whole record.
QImage DecodeMonoRecord(const std::string& record);

// A numbered picture set: 256 six-byte entries (address bits 16-23 as a whole byte, then bits
// 8-15, bits 0-7, size bits 8-15, size bits 0-7, size bits 16-19 in the high nibble with 1 in
// the low nibble), then the pictures back to back from offset 0x600. Key = entry number.
std::string PictureSet(const std::map<int, std::string>& pictures);
// The entries of a set; empty when the bytes are not a consistent set.
std::map<int, std::string> DecodePictureSet(const std::string& set);

constexpr int PictureSetIndexSize = 1536;
constexpr int BootFontGlyphWidth = 8;
constexpr int BootFontGlyphHeight = 13;
constexpr int BootFontSize = 256 * BootFontGlyphHeight; // 3,328 bytes

// 8 x 13 font of 256 glyphs, 13 bytes per glyph, one byte per row, leftmost pixel in the high
// bit. glyphs maps a character code to its 8 x 13 picture; missing codes stay blank.
std::string BootFont(const std::map<int, QImage>& glyphs);
QImage DecodeBootFontGlyph(const std::string& font, int code);

} // namespace SampleData
