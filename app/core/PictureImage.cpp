#include "app/core/PictureImage.h"

#include "rom/MonoBitmap.h"

#include <exception>

namespace AppCore {

QImage DecodePicture(std::span<const std::uint8_t> bytes) {
    if (bytes.empty()) return {};
    try {
        return ToQImage(Rom::LoadPictureData(bytes, "picture"));
    } catch (const std::exception&) {
        return {};
    }
}

QImage ToQImage(const Rom::TPicture& picture) {
    if (picture.IsNull()) return {};
    QImage image(picture.Width, picture.Height, QImage::Format_RGB32);
    for (int y = 0; y < picture.Height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        const std::uint32_t* row = picture.Row(y);
        for (int x = 0; x < picture.Width; ++x) line[x] = 0xFF000000u | row[x];
    }
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
