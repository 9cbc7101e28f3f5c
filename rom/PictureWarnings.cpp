#include "PictureWarnings.h"

#include <exception>

namespace Rom {

namespace {

// 1234567 as "1,234,567".
std::string Grouped(long long n) {
    std::string digits = std::to_string(n);
    for (int i = int(digits.size()) - 3; i > 0; i -= 3) digits.insert(std::size_t(i), ",");
    return digits;
}

} // namespace

long long GreyPixelCount(const TPicture& picture) {
    long long count = 0;
    for (const std::uint32_t pixel : picture.Pixels) {
        const std::uint32_t c = pixel & 0x00FFFFFFu;
        count += (c != BlackColour) & (c != WhiteColour); // no branch: the loop vectorises
    }
    return count;
}

std::string GreyPixelWarning(const std::string& name, const TPicture& picture) {
    return GreyPixelWarning(name, GreyPixelCount(picture));
}

std::string GreyPixelWarning(const std::string& name, long long grey) {
    if (grey == 0) return {};
    return "[Warning] " + name + ": " + Grouped(grey) + " grey pixel" + (grey == 1 ? "" : "s") +
           " will show as white";
}

std::string SizeWarning(const std::string& name, const TPicture& picture, TSlotSize slot) {
    return SizeWarning(name, picture.Width, picture.Height, slot);
}

std::string SizeWarning(const std::string& name, int width, int height, TSlotSize slot) {
    if (width <= 0 || height <= 0 || !slot.IsValid() ||
        (width == slot.Width && height == slot.Height))
        return {};
    return "[Warning] " + name + ": " + std::to_string(width) + " x " + std::to_string(height) +
           " pixels, its place holds " + std::to_string(slot.Width) + " x " +
           std::to_string(slot.Height);
}

TPicture DisplayedPicture(const TPicture& picture, TDisplayType type) {
    if (picture.IsNull()) return {};
    try {
        if (type == TDisplayType::Horizontal) return DecodeMonoBitmap(EncodeRowMajor(picture));
        // The turned record shown upright again: turned back clockwise.
        return TurnedClockwise(DecodeMonoBitmap(EncodeRotated(picture)));
    } catch (const std::exception&) {
        return picture; // too large for a record: shown as it is
    }
}

} // namespace Rom
