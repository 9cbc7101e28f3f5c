#pragma once
// The system's own BMP reader: every picture MAKE ROM encodes is read through it, from a file's
// bytes in memory. It reads the OS/2 core header and BITMAPINFOHEADER with its V2 to V5
// extensions; 1, 4, 8, 16, 24 and 32 bits per pixel; BI_RGB, BI_RLE8, BI_RLE4 and
// BI_BITFIELDS; bottom-up and top-down rows; colour tables shorter than the bit depth allows.
// Anything else is refused with its reason (EBmpFormat). Every number taken from the bytes is
// range-checked before it is used, so any bytes are safe to give it.

#include "TPicture.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace Rom {

// Rows of 8 pixels a byte, the leftmost pixel in the top bit. Row y (top first) starts at
// Top + y * Stride; a byte read through Byte() has a bit set for each black pixel. Keep and Flip
// map the two colours of a 1-bit file to black and white without a branch: the bits as they
// are, inverted, or all one colour. Bits past the width are whatever the rows hold.
struct TMonoRows {
    const std::uint8_t* Top = nullptr;
    std::ptrdiff_t Stride = 0;
    std::uint8_t Keep = 0xFF;
    std::uint8_t Flip = 0x00;
    std::uint8_t Byte(std::size_t y, std::size_t i) const {
        const std::ptrdiff_t at = static_cast<std::ptrdiff_t>(y) * Stride;
        return static_cast<std::uint8_t>((Top[at + static_cast<std::ptrdiff_t>(i)] & Keep) ^ Flip);
    }
};

class TBmpReader {
public:
    // Reads and checks the headers; raises EBmpFormat. The bytes must outlive the reader.
    explicit TBmpReader(std::span<const std::uint8_t> file);

    int Width() const { return W; }
    int Height() const { return H; }
    int BitsPerPixel() const { return Bits; }

    // Decodes the pixels; raises EBmpFormat when they are cut short. A colour-table index past
    // the end of the table, and a pixel that RLE data skips, give white: a missing colour is
    // never taken for black.
    TPicture Read() const;
    // An uncompressed 1-bit picture's rows where they lie in the file, read without the
    // picture in between. Null for any other kind of picture; raises EBmpFormat as Read does.
    std::optional<TMonoRows> MonoRows() const;
    // Read's checks of the pixel data without the picture.
    void CheckPixelData() const;
    // False for a 1-bit picture whose two colours are each pure black or pure white: none of
    // its pixels can be grey. True for every other picture.
    bool HasGreyColours() const;

    // Wider or higher pictures are refused before anything is decoded: the display shows
    // nothing near this size, and a header that declares it would only cost memory.
    static constexpr long long MaxSide = 4096;

private:
    struct TChannel {
        std::uint32_t Mask = 0;
        int Shift = 0;
    };
    void ReadInfoHeader(std::uint32_t headerSize);
    void CheckCompression() const;
    std::size_t ReadMasks(std::uint32_t headerSize);
    void ReadPalette(std::size_t start, std::uint32_t declared);
    const std::uint8_t* UncompressedRows(std::size_t* stride) const;
    void ReadUncompressed(TPicture& picture) const;
    void ReadRle(TPicture& picture) const;
    void DecodeRow(const std::uint8_t* src, std::uint32_t* out) const;
    void DecodeMonoRow(const std::uint8_t* src, std::uint32_t* out) const;
    std::uint32_t Masked(std::uint32_t value) const;
    std::uint32_t PaletteColour(unsigned index) const;

    std::span<const std::uint8_t> File;
    int W = 0, H = 0, Bits = 0;
    bool TopDown = false, Core = false;
    std::uint32_t Compression = 0;
    std::size_t PixelOffset = 0;
    std::array<std::uint32_t, 256> Palette; // white past the colour table
    TChannel Channels[3];                   // red, green, blue
};

// The headers and the pixels in one step.
TPicture ReadBmp(std::span<const std::uint8_t> file);

} // namespace Rom
