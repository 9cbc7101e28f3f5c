#include "MonoBitmap.h"

#include "EBmpFormat.h"
#include "EPictureLoad.h"
#include "PictureWarnings.h"
#include "RomLayout.h"
#include "TBmpReader.h"
#include "Text.h"
#include "XVclUtil/FileUtil.h"
#include "XVclUtil/PlatformPaths.h"

#include <algorithm>
#include <filesystem>
#include <iterator>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace Rom {

namespace {

// The largest picture whose record fits an entry is 8,388,600 pixels: as a 32-bit BMP file
// that is under 34 MB, so a larger file cannot be one and is not read into memory.
constexpr std::uintmax_t MaxPictureFileSize = 64u << 20;

std::size_t PadTo8(std::size_t n) {
    return (n + 7) & ~std::size_t(7);
}

// A picture whose record could not be described by a 20-bit index entry, or whose padded
// side does not fit the 16-bit header, is refused before it is decoded.
void CheckRecordSize(int width, int height, const std::string& name) {
    std::size_t w = static_cast<std::size_t>(width);
    std::size_t h = static_cast<std::size_t>(height);
    std::size_t longest = std::max(PadTo8(w), PadTo8(h));
    std::size_t record = 4 + std::max(PadTo8(w) * h, PadTo8(h) * w) / 8;
    if (longest > 0xFFFF || record > MaxEntrySize)
        throw EPictureLoad(name, "picture too large (" + std::to_string(w) + " x " +
                                     std::to_string(h) + ")");
}

// Eight pixels as one byte, leftmost in the most significant bit, a bit set for each black pixel
// (colour value exactly 0, whatever the top byte holds).
unsigned BlackBits8(const std::uint32_t* p) {
#if defined(__SSE2__)
    // (colour & 0xFFFFFF) - 1 is negative only for black: the sign bits are the byte. The lanes
    // are reversed first, so that the leftmost pixel lands in the top bit.
    const __m128i rgb = _mm_set1_epi32(0xFFFFFF), one = _mm_set1_epi32(1);
    auto signs = [&](const std::uint32_t* four) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(four));
        const __m128i reversed =
            _mm_shuffle_epi32(_mm_sub_epi32(_mm_and_si128(v, rgb), one), _MM_SHUFFLE(0, 1, 2, 3));
        return static_cast<unsigned>(_mm_movemask_ps(_mm_castsi128_ps(reversed)));
    };
    return signs(p) << 4 | signs(p + 4);
#else
    unsigned bits = 0;
    for (int k = 0; k < 8; ++k) bits |= ((p[k] & 0xFFFFFFu) - 1u) >> 31 << (7 - k);
    return bits;
#endif
}

// Rows come out packed like the record: 8 pixels per byte, bits past the width 0.
void PackedRow(const TPicture& picture, int y, std::uint8_t* out) {
    const std::uint32_t* row = picture.Row(y);
    const int w = picture.Width;
    int x0 = 0;
    for (; x0 + 8 <= w; x0 += 8) out[x0 >> 3] = static_cast<std::uint8_t>(BlackBits8(row + x0));
    if (x0 < w) {
        std::uint32_t tail[8];
        std::fill(std::begin(tail), std::end(tail), WhiteColour);
        std::copy(row + x0, row + w, tail);
        out[x0 >> 3] = static_cast<std::uint8_t>(BlackBits8(tail));
    }
}

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

TBytes ReadPictureFile(const std::string& fileName) {
    // Only a regular file is opened (opening a device can act on it); the reader checks the
    // size on the open file, so the name is looked up again only to say what went wrong.
    auto bytes = XVclUtil::FileExists(fileName)
                     ? XVclUtil::ReadWholeFile(fileName, MaxPictureFileSize)
                     : std::nullopt;
    if (bytes) return std::move(*bytes);
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(XVclUtil::FsPath(fileName), ec);
    if (!ec && size > MaxPictureFileSize)
        throw EPictureLoad(fileName,
                           "file too large for a picture (" + std::to_string(size) + " bytes)");
    throw EPictureLoad(fileName, "file not found or not readable");
}

} // namespace

TPicture LoadPicture(const std::string& fileName) {
    return LoadPictureData(ReadPictureFile(fileName), fileName);
}

TPicture LoadPictureData(std::span<const std::uint8_t> data, const std::string& name) {
    try {
        const TBmpReader reader(data);
        CheckRecordSize(reader.Width(), reader.Height(), name);
        return reader.Read();
    } catch (const EBmpFormat& e) {
        throw EPictureLoad(name, e.Reason);
    }
}

void CheckPicture(const std::string& fileName) {
    const TBytes bytes = ReadPictureFile(fileName);
    try {
        const TBmpReader reader(bytes);
        CheckRecordSize(reader.Width(), reader.Height(), fileName);
        reader.CheckPixelData();
    } catch (const EBmpFormat& e) {
        throw EPictureLoad(fileName, e.Reason);
    }
}

TBytes EncodeRowMajor(const TPicture& picture) {
    const int w = picture.Width, h = picture.Height;
    const std::size_t rowBytes = PadTo8(static_cast<std::size_t>(w)) / 8;
    TBytes out(4 + rowBytes * static_cast<std::size_t>(h), 0);
    PutHeader(out, rowBytes * 8, static_cast<std::size_t>(h));
    for (int y = 0; y < h; ++y)
        PackedRow(picture, y, out.data() + 4 + rowBytes * static_cast<std::size_t>(y));
    return out;
}

namespace {
// Source rows y0 .. y0+count-1 (count 1 to 8, the rest white) at byte column bx, as one 8 x 8
// bit block, the first row in the top byte.
std::uint64_t RowBlock(const TMonoRows& rows, std::size_t y0, std::size_t count, std::size_t bx) {
    const std::uint8_t* p =
        rows.Top + static_cast<std::ptrdiff_t>(y0) * rows.Stride + static_cast<std::ptrdiff_t>(bx);
    std::uint64_t block = 0;
    if (count == 8) // the common case, a loop of known length the compiler unrolls
        for (std::size_t r = 0; r < 8; ++r, p += rows.Stride)
            block |= std::uint64_t(*p) << (56 - 8 * r);
    else
        for (std::size_t r = 0; r < count; ++r, p += rows.Stride)
            block |= std::uint64_t(*p) << (56 - 8 * r);
    // Keep and Flip in every row byte at once; the rows past count stay 0.
    const std::uint64_t present = ~std::uint64_t(0) << (8 * (8 - count));
    const std::uint64_t ones = 0x0101010101010101ULL;
    return ((block & ones * rows.Keep) ^ ones * rows.Flip) & present;
}

// The record of the rows turned: stored row j is source column x = w-1-j, read top to bottom.
// Every band of 8 source rows gives one byte of each stored row, an 8 x 8 bit block turned at
// a time. Bits past the width are never read into the record.
TBytes EncodeRotatedRows(int width, int height, const TMonoRows& rows) {
    const std::size_t w = static_cast<std::size_t>(width), h = static_cast<std::size_t>(height);
    const std::size_t colBytes = PadTo8(h) / 8, rowBytes = PadTo8(w) / 8;
    TBytes out(4 + colBytes * w);
    PutHeader(out, colBytes * 8, w);
    std::uint8_t* data = out.data() + 4;
    for (std::size_t by = 0; by < colBytes; ++by) {
        const std::size_t bandRows = std::min<std::size_t>(8, h - by * 8);
        for (std::size_t bx = 0; bx < rowBytes; ++bx) {
            const std::uint64_t block = Transpose8x8(RowBlock(rows, by * 8, bandRows, bx));
            const std::size_t columns = std::min<std::size_t>(8, w - bx * 8);
            // Column x = 8 * bx + j is stored row w-1-x: one byte in each.
            std::uint8_t* stored = data + (w - 1 - bx * 8) * colBytes + by;
            if (columns == 8)
                for (std::size_t j = 0; j < 8; ++j, stored -= colBytes)
                    *stored = static_cast<std::uint8_t>(block >> (56 - 8 * j));
            else
                for (std::size_t j = 0; j < columns; ++j, stored -= colBytes)
                    *stored = static_cast<std::uint8_t>(block >> (56 - 8 * j));
        }
    }
    return out;
}

// The record of the rows as they are, the bits past the width cleared.
TBytes EncodeRowMajorRows(int width, int height, const TMonoRows& rows) {
    const std::size_t w = static_cast<std::size_t>(width), h = static_cast<std::size_t>(height);
    const std::size_t rowBytes = PadTo8(w) / 8;
    const auto last = static_cast<std::uint8_t>(w % 8 ? 0xFF << (8 - w % 8) : 0xFF);
    TBytes out(4 + rowBytes * h);
    PutHeader(out, rowBytes * 8, h);
    std::uint8_t* row = out.data() + 4;
    for (std::size_t y = 0; y < h; ++y, row += rowBytes) {
        for (std::size_t i = 0; i < rowBytes; ++i) row[i] = rows.Byte(y, i);
        row[rowBytes - 1] &= last;
    }
    return out;
}
} // namespace

TBytes EncodeRotated(const TPicture& picture) {
    const std::size_t rowBytes = PadTo8(static_cast<std::size_t>(picture.Width)) / 8;
    std::vector<std::uint8_t> rows(rowBytes * static_cast<std::size_t>(picture.Height));
    for (int y = 0; y < picture.Height; ++y)
        PackedRow(picture, y, rows.data() + rowBytes * static_cast<std::size_t>(y));
    const TMonoRows packed{rows.data(), static_cast<std::ptrdiff_t>(rowBytes)};
    return EncodeRotatedRows(picture.Width, picture.Height, packed);
}

TBytes EncodeMonoRecord(const TPicture& picture, TDisplayType type) {
    return type == TDisplayType::Vertical ? EncodeRotated(picture) : EncodeRowMajor(picture);
}

namespace {
// Null unless the picture is an uncompressed 1-bit one, whose rows make the record directly.
std::optional<TBytes> EncodeMonoRows(const TBmpReader& reader, TDisplayType type) {
    const std::optional<TMonoRows> rows = reader.MonoRows();
    if (!rows) return std::nullopt;
    const int w = reader.Width(), h = reader.Height();
    return type == TDisplayType::Vertical ? EncodeRotatedRows(w, h, *rows)
                                          : EncodeRowMajorRows(w, h, *rows);
}
} // namespace

TBytes EncodeMonoData(std::span<const std::uint8_t> data, const std::string& name,
                      TDisplayType type) {
    try {
        const TBmpReader reader(data);
        CheckRecordSize(reader.Width(), reader.Height(), name);
        if (auto record = EncodeMonoRows(reader, type)) return std::move(*record);
        return EncodeMonoRecord(reader.Read(), type);
    } catch (const EBmpFormat& e) {
        throw EPictureLoad(name, e.Reason);
    }
}

TEncodedFile EncodePictureFile(const std::string& fileName, TDisplayType type) {
    const TBytes bytes = ReadPictureFile(fileName);
    try {
        const TBmpReader reader(bytes);
        CheckRecordSize(reader.Width(), reader.Height(), fileName);
        TEncodedFile file{{}, reader.Width(), reader.Height(), 0};
        // Two colours, each pure black or white: no pixel can be grey.
        if (!reader.HasGreyColours())
            if (auto record = EncodeMonoRows(reader, type)) {
                file.Record = std::move(*record);
                return file;
            }
        const TPicture picture = reader.Read();
        file.GreyPixels = GreyPixelCount(picture);
        file.Record = EncodeMonoRecord(picture, type);
        return file;
    } catch (const EBmpFormat& e) {
        throw EPictureLoad(fileName, e.Reason);
    }
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

TPicture DecodeMonoBitmap(std::span<const std::uint8_t> record) {
    if (!IsMonoRecord(record)) return TPicture();
    const int w = record[0] | record[1] << 8;
    const int h = record[2] | record[3] << 8;
    TPicture picture(w, h);
    const std::uint8_t* bits = record.data() + 4;
    for (int y = 0; y < h; ++y, bits += w / 8)
        for (int x = 0; x < w; ++x)
            if (bits[x >> 3] & 0x80 >> (x & 7)) picture.SetPixel(x, y, BlackColour);
    return picture;
}

} // namespace Rom
