#include "MonoBitmap.h"

#include "EPictureLoad.h"
#include "RomLayout.h"
#include "Text.h"
#include "XVclUtil/FileUtil.h"

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

// Which pixels are black: colour value (RGB, alpha ignored) exactly 0. Palette pictures (the
// usual 1-bit BMP files) are read through their colour table; others through ARGB32. Rows come
// out packed like the record: 8 pixels per byte, leftmost in the most significant bit.
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
        Flags.resize(static_cast<std::size_t>(Width()));
    }
    int Width() const { return Source.width(); }
    int Height() const { return Source.height(); }

    // Row y into out[0 .. (width+7)/8 - 1]; bits past the width are 0.
    void PackedRow(int y, std::uint8_t* out) {
        const uchar* line = Source.constScanLine(y);
        const int w = Width();
        const int bytes = (w + 7) / 8;
        const QImage::Format f = Source.format();
        if (Indexed && (f == QImage::Format_Mono || f == QImage::Format_MonoLSB)) {
            const bool b0 = BlackIndex[0], b1 = BlackIndex[1];
            for (int i = 0; i < bytes; ++i) {
                std::uint8_t v = f == QImage::Format_Mono ? line[i] : Reverse(line[i]);
                out[i] = static_cast<std::uint8_t>((b1 ? v : 0) | (b0 ? ~v : 0));
            }
            if (w % 8) out[bytes - 1] &= static_cast<std::uint8_t>(0xFF << (8 - w % 8));
            return;
        }
        if (Indexed) {
            for (int x = 0; x < w; ++x) Flags[static_cast<std::size_t>(x)] = BlackIndex[line[x]];
        } else {
            const QRgb* rgb = reinterpret_cast<const QRgb*>(line);
            for (int x = 0; x < w; ++x) Flags[static_cast<std::size_t>(x)] = Black(rgb[x]);
        }
        std::fill(out, out + bytes, 0);
        for (int x = 0; x < w; ++x)
            out[x >> 3] = static_cast<std::uint8_t>(out[x >> 3] | Flags[static_cast<std::size_t>(x)]
                                                                      << (7 - (x & 7)));
    }

private:
    static bool Black(QRgb c) { return (c & 0x00FFFFFFu) == 0; }
    static std::uint8_t Reverse(std::uint8_t b) {
        b = static_cast<std::uint8_t>((b & 0xF0) >> 4 | (b & 0x0F) << 4);
        b = static_cast<std::uint8_t>((b & 0xCC) >> 2 | (b & 0x33) << 2);
        return static_cast<std::uint8_t>((b & 0xAA) >> 1 | (b & 0x55) << 1);
    }

    QImage Source;
    bool Indexed = false;
    std::uint8_t BlackIndex[256] = {}; // indices outside the colour table are not black
    std::vector<std::uint8_t> Flags;
};

// Transposes an 8 x 8 bit block: byte i (most significant first) is row i, bit 7 column 0.
std::uint64_t Transpose8x8(std::uint64_t x) {
    std::uint64_t t = (x ^ (x >> 7)) & 0x00AA00AA00AA00AAULL;
    x = x ^ t ^ (t << 7);
    t = (x ^ (x >> 14)) & 0x0000CCCC0000CCCCULL;
    x = x ^ t ^ (t << 14);
    t = (x ^ (x >> 28)) & 0x00000000F0F0F0F0ULL;
    return x ^ t ^ (t << 28);
}

void PutHeader(TBytes& out, std::size_t w, std::size_t h) {
    out[0] = static_cast<std::uint8_t>(w);
    out[1] = static_cast<std::uint8_t>(w >> 8);
    out[2] = static_cast<std::uint8_t>(h);
    out[3] = static_cast<std::uint8_t>(h >> 8);
}

void WriteRecord(const std::string& target, const TBytes& record) {
    if (!XVclUtil::WriteWholeFile(target, record))
        throw EPictureLoad(target, "cannot write the file");
}

} // namespace

QImage LoadPicture(const std::string& fileName) {
    QFile file(QString::fromStdString(fileName));
    if (!XVclUtil::FileExists(fileName) || !file.open(QIODevice::ReadOnly))
        throw EPictureLoad(fileName, "file not found or not readable");
    QImageReader reader(&file);
    return ReadWith(reader, fileName);
}

QImage LoadPictureData(std::span<const std::uint8_t> data, const std::string& name) {
    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data.data()),
                                               static_cast<qsizetype>(data.size()));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    // BMP files (nearly every picture of a build) skip the probing of every picture format.
    const bool bmp = data.size() >= 2 && data[0] == 'B' && data[1] == 'M';
    QImageReader reader(&buffer, bmp ? QByteArray("bmp") : QByteArray());
    return ReadWith(reader, name);
}

TBytes EncodeRowMajor(const QImage& picture) {
    TBlackMask mask(picture);
    const int w = mask.Width(), h = mask.Height();
    const std::size_t rowBytes = PadTo8(static_cast<std::size_t>(w)) / 8;
    TBytes out(4 + rowBytes * static_cast<std::size_t>(h), 0);
    PutHeader(out, rowBytes * 8, static_cast<std::size_t>(h));
    for (int y = 0; y < h; ++y)
        mask.PackedRow(y, out.data() + 4 + rowBytes * static_cast<std::size_t>(y));
    return out;
}

TBytes EncodeRotated(const QImage& picture) {
    TBlackMask mask(picture);
    const int w = mask.Width(), h = mask.Height();
    const std::size_t colBytes = PadTo8(static_cast<std::size_t>(h)) / 8;
    const std::size_t rowBytes = PadTo8(static_cast<std::size_t>(w)) / 8;
    TBytes out(4 + colBytes * static_cast<std::size_t>(w), 0);
    PutHeader(out, colBytes * 8, static_cast<std::size_t>(w));
    // Stored row j is source column x = w-1-j, read top to bottom: every band of 8 source rows
    // gives one byte of each stored row, an 8 x 8 bit block turned at a time.
    std::uint8_t* data = out.data() + 4;
    std::vector<std::uint8_t> band(8 * rowBytes);
    for (std::size_t by = 0; by < colBytes; ++by) {
        std::fill(band.begin(), band.end(), 0);
        for (int r = 0; r < 8 && static_cast<int>(by * 8) + r < h; ++r)
            mask.PackedRow(static_cast<int>(by * 8) + r,
                           band.data() + static_cast<std::size_t>(r) * rowBytes);
        for (std::size_t bx = 0; bx < rowBytes; ++bx) {
            std::uint64_t block = 0;
            for (std::size_t r = 0; r < 8; ++r) block = block << 8 | band[r * rowBytes + bx];
            block = Transpose8x8(block);
            for (int j = 0; j < 8; ++j) {
                const int x = static_cast<int>(bx * 8) + j;
                if (x >= w) break;
                data[static_cast<std::size_t>(w - 1 - x) * colBytes + by] =
                    static_cast<std::uint8_t>(block >> (56 - 8 * j));
            }
        }
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
