#include "app/core/qt/PictureImage.h"

#include "app/core/TPictureLibrary.h"

#include <QImageReader>

namespace AppCore {

QImage DecodePicture(std::span<const std::uint8_t> bytes) {
    return ToQImage(DecodePictureBytes(bytes));
}

std::vector<std::string> QImageFormats() {
    std::vector<std::string> formats;
    for (const QByteArray& format : QImageReader::supportedImageFormats())
        formats.push_back(format.toLower().toStdString());
    return formats;
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
