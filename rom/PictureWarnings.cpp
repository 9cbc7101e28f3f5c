#include "PictureWarnings.h"

#include <QTransform>

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

long long GreyPixelCount(const QImage& picture) {
    if (picture.isNull()) return 0;
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    long long count = 0;
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            const QRgb c = line[x] & 0x00FFFFFFu;
            if (c != 0 && c != 0x00FFFFFFu) ++count;
        }
    }
    return count;
}

std::string GreyPixelWarning(const std::string& name, const QImage& picture) {
    const long long grey = GreyPixelCount(picture);
    if (grey == 0) return {};
    return "[Warning] " + name + ": " + Grouped(grey) + " grey pixel" + (grey == 1 ? "" : "s") +
           " will show as white";
}

std::string SizeWarning(const std::string& name, const QImage& picture, int width, int height) {
    if (picture.isNull() || (picture.width() == width && picture.height() == height)) return {};
    return "[Warning] " + name + ": " + std::to_string(picture.width()) + " x " +
           std::to_string(picture.height()) + " pixels, its place holds " + std::to_string(width) +
           " x " + std::to_string(height);
}

QImage DisplayedPicture(const QImage& picture, TDisplayType type) {
    if (picture.isNull()) return {};
    try {
        if (type == TDisplayType::Horizontal) return DecodeMonoBitmap(EncodeRowMajor(picture));
        // The turned record shown upright again: turned back clockwise.
        return DecodeMonoBitmap(EncodeRotated(picture)).transformed(QTransform().rotate(90));
    } catch (const std::exception&) {
        return picture; // too large for a record: shown as it is
    }
}

} // namespace Rom
