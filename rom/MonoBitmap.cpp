#include "MonoBitmap.h"

#include "EPictureLoad.h"
#include "FileIo.h"
#include "RomLayout.h"
#include "Text.h"

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QImageReader>

#include <algorithm>
#include <cstring>

namespace Rom {

namespace {

std::size_t PadTo8(std::size_t n) {
    return (n + 7) & ~std::size_t(7);
}

// A picture whose record could not be described by a 20-bit index entry, or whose padded
// side does not fit the 16-bit header, is refused before it is decoded.
void CheckRecordSize(const QSize& size, const std::string& name) {
    if (!size.isValid() || size.isEmpty()) return;
    std::size_t w = static_cast<std::size_t>(size.width());
    std::size_t h = static_cast<std::size_t>(size.height());
    std::size_t longest = std::max(PadTo8(w), PadTo8(h));
    std::size_t record = 4 + std::max(PadTo8(w) * h, PadTo8(h) * w) / 8;
    if (longest > 0xFFFF || record > MaxEntrySize)
        throw EPictureLoad(name, "picture too large (" + std::to_string(w) + " x " +
                                     std::to_string(h) + ")");
}

QImage ReadWith(QImageReader& reader, const std::string& name) {
    CheckRecordSize(reader.size(), name);
    QImage picture = reader.read();
    if (picture.isNull()) {
        std::string reason = reader.errorString().toStdString();
        throw EPictureLoad(name, reason.empty() ? "not a readable picture" : reason);
    }
    if (picture.width() <= 0 || picture.height() <= 0)
        throw EPictureLoad(name, "picture has no pixels");
    CheckRecordSize(picture.size(), name);
    return picture;
}

// Per pixel: 1 when the colour value (RGB, alpha ignored) is exactly 0. Palette pictures (the
// usual 1-bit BMP files) are read through their colour table; others through ARGB32.
class TBlackMask {
public:
    explicit TBlackMask(const QImage& picture) : Source(picture) {
        const QImage::Format f = picture.format();
        Indexed =
            f == QImage::Format_Mono || f == QImage::Format_MonoLSB || f == QImage::Format_Indexed8;
        if (Indexed) {
            const QList<QRgb> table = picture.colorTable();
            for (int i = 0; i < table.size() && i < 256; ++i) BlackIndex[i] = Black(table[i]);
        } else {
            Source = picture.convertToFormat(QImage::Format_ARGB32);
        }
    }
    int Width() const { return Source.width(); }
    int Height() const { return Source.height(); }

    // flags[x] = 1 for every black pixel of row y.
    void Row(int y, std::uint8_t* flags) const {
        const uchar* line = Source.constScanLine(y);
        const int w = Width();
        switch (Indexed ? Source.format() : QImage::Format_ARGB32) {
        case QImage::Format_Mono:
            for (int x = 0; x < w; ++x) flags[x] = BlackIndex[(line[x >> 3] >> (7 - (x & 7))) & 1];
            break;
        case QImage::Format_MonoLSB:
            for (int x = 0; x < w; ++x) flags[x] = BlackIndex[(line[x >> 3] >> (x & 7)) & 1];
            break;
        case QImage::Format_Indexed8:
            for (int x = 0; x < w; ++x) flags[x] = BlackIndex[line[x]];
            break;
        default: {
            const QRgb* rgb = reinterpret_cast<const QRgb*>(line);
            for (int x = 0; x < w; ++x) flags[x] = Black(rgb[x]);
        }
        }
    }

private:
    static bool Black(QRgb c) { return (c & 0x00FFFFFFu) == 0; }

    QImage Source;
    bool Indexed = false;
    std::uint8_t BlackIndex[256] = {}; // indices outside the colour table are not black
};

void PutHeader(TBytes& out, std::size_t w, std::size_t h) {
    out[0] = static_cast<std::uint8_t>(w);
    out[1] = static_cast<std::uint8_t>(w >> 8);
    out[2] = static_cast<std::uint8_t>(h);
    out[3] = static_cast<std::uint8_t>(h >> 8);
}

void WriteRecord(const std::string& target, const TBytes& record) {
    if (!WriteWholeFile(target, record)) throw EPictureLoad(target, "cannot write the file");
}

} // namespace

QImage LoadPicture(const std::string& fileName) {
    QFile file(QString::fromStdString(fileName));
    if (!FileExists(fileName) || !file.open(QIODevice::ReadOnly))
        throw EPictureLoad(fileName, "file not found or not readable");
    QImageReader reader(&file);
    return ReadWith(reader, fileName);
}

QImage LoadPictureData(std::span<const std::uint8_t> data, const std::string& name) {
    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data.data()),
                                               static_cast<qsizetype>(data.size()));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    return ReadWith(reader, name);
}

TBytes EncodeRowMajor(const QImage& picture) {
    TBlackMask mask(picture);
    const int w = mask.Width(), h = mask.Height();
    const std::size_t rowBytes = PadTo8(static_cast<std::size_t>(w)) / 8;
    TBytes out(4 + rowBytes * static_cast<std::size_t>(h), 0);
    PutHeader(out, rowBytes * 8, static_cast<std::size_t>(h));
    std::uint8_t* p = out.data() + 4;
    std::vector<std::uint8_t> black(static_cast<std::size_t>(w));
    for (int y = 0; y < h; ++y, p += rowBytes) {
        mask.Row(y, black.data());
        for (int x = 0; x < w; ++x)
            if (black[static_cast<std::size_t>(x)])
                p[x >> 3] |= static_cast<std::uint8_t>(0x80 >> (x & 7));
    }
    return out;
}

TBytes EncodeRotated(const QImage& picture) {
    TBlackMask mask(picture);
    const int w = mask.Width(), h = mask.Height();
    const std::size_t colBytes = PadTo8(static_cast<std::size_t>(h)) / 8;
    TBytes out(4 + colBytes * static_cast<std::size_t>(w), 0);
    PutHeader(out, colBytes * 8, static_cast<std::size_t>(w));
    // Stored row j is source column x = w-1-j, read top to bottom.
    std::uint8_t* data = out.data() + 4;
    std::vector<std::uint8_t> black(static_cast<std::size_t>(w));
    for (int y = 0; y < h; ++y) {
        mask.Row(y, black.data());
        const std::uint8_t bit = static_cast<std::uint8_t>(0x80 >> (y & 7));
        const std::size_t byteInRow = static_cast<std::size_t>(y >> 3);
        for (int x = 0; x < w; ++x)
            if (black[static_cast<std::size_t>(x)])
                data[static_cast<std::size_t>(w - 1 - x) * colBytes + byteInRow] |= bit;
    }
    return out;
}

TBytes EncodeMonoRecord(const QImage& picture, TDisplayType type) {
    return type == TDisplayType::Vertical ? EncodeRotated(picture) : EncodeRowMajor(picture);
}

void EncodeRowMajor(const std::string& source, const std::string& target) {
    WriteRecord(target, EncodeRowMajor(LoadPicture(source)));
}

void EncodeRotated(const std::string& source, const std::string& target) {
    WriteRecord(target, EncodeRotated(LoadPicture(source)));
}

void EncodeMonoBitmap(const std::string& source, const std::string& target, TDisplayType type) {
    if (TrimText(source).empty()) return;
    if (type == TDisplayType::Vertical)
        EncodeRotated(source, target);
    else
        EncodeRowMajor(source, target);
}

bool IsMonoRecord(std::span<const std::uint8_t> record) {
    if (record.size() < 4) return false;
    std::size_t w = record[0] | std::size_t(record[1]) << 8;
    std::size_t h = record[2] | std::size_t(record[3]) << 8;
    return w > 0 && h > 0 && w % 8 == 0 && record.size() == 4 + w * h / 8;
}

QImage DecodeMonoBitmap(std::span<const std::uint8_t> record) {
    if (!IsMonoRecord(record)) return QImage();
    const int w = record[0] | record[1] << 8;
    const int h = record[2] | record[3] << 8;
    QImage image(w, h, QImage::Format_Mono);
    if (image.isNull()) return image;
    image.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    const std::size_t rowBytes = static_cast<std::size_t>(w) / 8;
    for (int y = 0; y < h; ++y)
        std::memcpy(image.scanLine(y), record.data() + 4 + rowBytes * static_cast<std::size_t>(y),
                    rowBytes);
    return image;
}

} // namespace Rom
