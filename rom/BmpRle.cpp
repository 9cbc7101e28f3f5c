#include "BmpRle.h"

#include "EBmpFormat.h"

namespace Rom {

namespace {

class TRleDecoder {
public:
    TRleDecoder(std::span<const std::uint8_t> data, int width, int height, bool nibbles)
        : Data(data), W(width), H(height), Nibbles(nibbles),
          Out(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), SkippedPixel) {}

    std::vector<std::uint16_t> Run() {
        while (Row < H) {
            const std::uint8_t count = Next(), code = Next();
            if (count > 0) {
                for (int i = 0; i < count; ++i) Put(Nibbles ? Nibble(code, i) : code);
            } else if (code == 0) { // end of line
                X = 0;
                ++Row;
            } else if (code == 1) { // end of picture
                break;
            } else if (code == 2) { // move right and up
                X += Next();
                Row += Next();
            } else {
                Literal(code);
            }
        }
        return std::move(Out);
    }

private:
    std::uint8_t Next() {
        if (Pos >= Data.size()) throw EBmpFormat("RLE data ends before the end-of-picture mark");
        return Data[Pos++];
    }
    static std::uint8_t Nibble(std::uint8_t byte, int i) {
        return static_cast<std::uint8_t>(i % 2 ? byte & 0x0F : byte >> 4);
    }
    void Put(std::uint8_t index) {
        if (X < W)
            Out[static_cast<std::size_t>(H - 1 - Row) * static_cast<std::size_t>(W) +
                static_cast<std::size_t>(X)] = index;
        ++X;
    }
    // `count` indices stored as they are, padded to a whole 16-bit word.
    void Literal(int count) {
        const int bytes = Nibbles ? (count + 1) / 2 : count;
        std::uint8_t byte = 0;
        for (int i = 0; i < count; ++i) {
            if (!Nibbles || i % 2 == 0) byte = Next();
            Put(Nibbles ? Nibble(byte, i) : byte);
        }
        if (bytes % 2) Next();
    }

    std::span<const std::uint8_t> Data;
    const long long W, H;
    const bool Nibbles;
    std::vector<std::uint16_t> Out;
    std::size_t Pos = 0;
    long long X = 0, Row = 0; // Row 0 is the bottom row
};

} // namespace

std::vector<std::uint16_t> DecodeRle(std::span<const std::uint8_t> data, int width, int height,
                                     int bitsPerPixel) {
    return TRleDecoder(data, width, height, bitsPerPixel == 4).Run();
}

} // namespace Rom
