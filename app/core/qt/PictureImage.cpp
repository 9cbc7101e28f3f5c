#include "app/core/qt/PictureImage.h"

#include "app/core/TPictureLibrary.h"

#include <cstring>

namespace AppCore {

QImage DecodePicture(std::span<const std::uint8_t> bytes) {
    return ToQImage(DecodePictureBytes(bytes));
}

namespace {

// A row of 0xRRGGBB values as 0xFFRRGGBB. Eight pixels at a time through a local block, so
// that the compiler turns the loop into vector instructions (every picture box of the window
// is filled through here at start-up).
void OpaqueRow(const std::uint32_t* row, QRgb* line, int width) {
    int x = 0;
    for (; x + 8 <= width; x += 8) {
        std::uint32_t eight[8];
        std::memcpy(eight, row + x, sizeof eight);
        for (std::uint32_t& pixel : eight) pixel |= 0xFF000000u;
        std::memcpy(line + x, eight, sizeof eight);
    }
    for (; x < width; ++x) line[x] = 0xFF000000u | row[x];
}

} // namespace

QImage ToQImage(const Rom::TPicture& picture) {
    if (picture.IsNull()) return {};
    QImage image(picture.Width, picture.Height, QImage::Format_RGB32);
    for (int y = 0; y < picture.Height; ++y)
        OpaqueRow(picture.Row(y), reinterpret_cast<QRgb*>(image.scanLine(y)), picture.Width);
    return image;
}

Rom::TPicture FromQImage(const QImage& image) {
    if (image.isNull()) return {};
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    Rom::TPicture picture(rgb.width(), rgb.height());
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        std::uint32_t* row = picture.Row(y);
        for (int x = 0; x < rgb.width(); ++x) row[x] = line[x] & 0x00FFFFFFu;
    }
    return picture;
}

} // namespace AppCore
