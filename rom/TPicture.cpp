#include "TPicture.h"

namespace Rom {

TPicture::TPicture(int width, int height, std::uint32_t fill)
    : Width(width > 0 && height > 0 ? width : 0), Height(width > 0 && height > 0 ? height : 0),
      Pixels(static_cast<std::size_t>(Width) * static_cast<std::size_t>(Height), fill) {}

TPicture TurnedClockwise(const TPicture& picture) {
    TPicture out(picture.Height, picture.Width);
    for (int y = 0; y < out.Height; ++y)
        for (int x = 0; x < out.Width; ++x)
            out.SetPixel(x, y, picture.Pixel(y, picture.Height - 1 - x));
    return out;
}

} // namespace Rom
