#pragma once
// A decoded picture: Width x Height colour values (0xRRGGBB), rows from top to bottom. Colour
// value 0 is pure black, the only colour that sets a bit of a mono bitmap record.

#include <cstdint>
#include <vector>

namespace Rom {

inline constexpr std::uint32_t WhiteColour = 0xFFFFFF;
inline constexpr std::uint32_t BlackColour = 0x000000;

struct TPicture {
    TPicture() = default;
    TPicture(int width, int height, std::uint32_t fill = WhiteColour);

    bool IsNull() const { return Width <= 0 || Height <= 0; }
    const std::uint32_t* Row(int y) const { return Pixels.data() + Index(0, y); }
    std::uint32_t* Row(int y) { return Pixels.data() + Index(0, y); }
    std::uint32_t Pixel(int x, int y) const { return Pixels[Index(x, y)]; }
    void SetPixel(int x, int y, std::uint32_t colour) { Pixels[Index(x, y)] = colour; }
    bool IsBlack(int x, int y) const { return Pixel(x, y) == BlackColour; }

    int Width = 0;
    int Height = 0;
    std::vector<std::uint32_t> Pixels;

private:
    std::size_t Index(int x, int y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(Width) +
               static_cast<std::size_t>(x);
    }
};

// The picture turned a quarter clockwise: its left column becomes the top row.
TPicture TurnedClockwise(const TPicture& picture);

} // namespace Rom
