#include "tools/rompng/RomPicturePngs.h"

#include "XVclUtil/AtomicFile.h"
#include "XVclUtil/EXGeneral.h"
#include "XVclUtil/PlatformPaths.h"

#include <QBuffer>
#include <QByteArray>
#include <QDir>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace RomPng {

namespace {

const QColor Background(0xF4, 0xF4, 0xF0);
const QColor Panel(0xC9, 0xD8, 0xB4); // the display's pale background
const QColor Ink(0x10, 0x18, 0x10);
const QColor LabelInk(0x40, 0x40, 0x40);
constexpr int Gap = 8;

bool IsBlack(QRgb c) {
    return (c & 0x00FFFFFFu) == 0;
}

// The picture in display colours, `scale` pixels per display pixel.
QImage Tile(const QImage& picture, int scale) {
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    QImage tile(rgb.width() * scale, rgb.height() * scale, QImage::Format_RGB32);
    for (int y = 0; y < tile.height(); ++y) {
        const QRgb* src = reinterpret_cast<const QRgb*>(rgb.constScanLine(y / scale));
        QRgb* dst = reinterpret_cast<QRgb*>(tile.scanLine(y));
        for (int x = 0; x < tile.width(); ++x)
            dst[x] = IsBlack(src[x / scale]) ? Ink.rgb() : Panel.rgb();
    }
    return tile;
}

// A 1-bit copy with palette entry 0 white and 1 black.
QImage BlackAndWhite(const QImage& picture) {
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    QImage mono(rgb.size(), QImage::Format_Mono);
    mono.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    for (int y = 0; y < rgb.height(); ++y) {
        const QRgb* src = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) mono.setPixel(x, y, IsBlack(src[x]) ? 1 : 0);
    }
    return mono;
}

// The names in the folder are this program's own: whatever is planted under one (a link, a
// FIFO) is replaced by the new file, never written through.
void Save(const QImage& image, const std::string& path, std::vector<std::string>& written) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    std::string why = "cannot encode the picture";
    if (!image.save(&buffer, "PNG") ||
        !XVclUtil::WriteFileAtomically(path, png.constData(), static_cast<std::size_t>(png.size()),
                                       &why, XVclUtil::TLinkPolicy::Replace))
        throw XVclUtil::EXGeneral("Err: cannot write %s (%s)", path.c_str(), why.c_str());
    written.push_back(path);
}

} // namespace

QImage ToQImage(const Rom::TPicture& picture) {
    QImage image(picture.Width, picture.Height, QImage::Format_RGB32);
    for (int y = 0; y < picture.Height; ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < picture.Width; ++x) row[x] = 0xFF000000u | picture.Pixel(x, y);
    }
    return image;
}

std::vector<std::pair<std::string, QImage>> ViewPictures(const Rom::TRomImageReader& reader) {
    std::vector<std::pair<std::string, QImage>> out;
    for (const Rom::TRomPicture& p : reader.Pictures()) {
        const Rom::TPicture picture = reader.ViewImage(p);
        if (!picture.IsNull()) out.emplace_back(p.Name, ToQImage(picture));
    }
    return out;
}

QImage RenderContactSheet(const std::vector<std::pair<std::string, QImage>>& pictures, int scale,
                          int width) {
    QFont font;
    font.setPixelSize(11);
    const QFontMetrics metrics(font);
    const int labelHeight = metrics.height() + 2;
    struct TPlace {
        int X, Y;
    };
    // Flow layout: first the places, then one image of the final height.
    std::vector<TPlace> places;
    int x = Gap, y = Gap, rowHeight = 0;
    for (const auto& [name, image] : pictures) {
        const int w = std::max(image.width() * scale,
                               metrics.horizontalAdvance(QString::fromStdString(name)));
        const int h = image.height() * scale + labelHeight;
        if (x > Gap && x + w > width - Gap) {
            x = Gap;
            y += rowHeight + Gap;
            rowHeight = 0;
        }
        places.push_back({x, y});
        x += w + Gap;
        rowHeight = std::max(rowHeight, h);
    }
    QImage sheet(width, y + rowHeight + Gap, QImage::Format_RGB32);
    sheet.fill(Background);
    QPainter painter(&sheet);
    painter.setFont(font);
    painter.setPen(LabelInk);
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        const auto& [name, image] = pictures[i];
        painter.drawImage(places[i].X, places[i].Y, Tile(image, scale));
        painter.drawText(places[i].X, places[i].Y + image.height() * scale + metrics.ascent() + 1,
                         QString::fromStdString(name));
    }
    painter.end();
    return sheet;
}

std::vector<std::string> WritePicturePngs(const Rom::TRomImageReader& reader,
                                          const std::string& dir) {
    if (!QDir().mkpath(QString::fromStdString(dir)))
        throw XVclUtil::EXGeneral("Err: cannot create the folder %s", dir.c_str());
    std::vector<std::string> written;
    const auto pictures = ViewPictures(reader);
    for (const auto& [name, image] : pictures) {
        Save(BlackAndWhite(image), XVclUtil::JoinPath(dir, name + ".png"), written);
    }
    Save(RenderContactSheet(pictures), XVclUtil::JoinPath(dir, ContactSheetFileName), written);
    return written;
}

} // namespace RomPng
