#include "TBmpReader.h"

#include "BmpRle.h"
#include "EBmpFormat.h"
#include "XVclUtil/Printf.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cstring>

namespace Rom {

namespace {

using XVclUtil::Format;

constexpr std::size_t FileHeaderSize = 14;
enum : std::uint32_t { BiRgb = 0, BiRle8 = 1, BiRle4 = 2, BiBitfields = 3 };

std::uint16_t U16(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}

std::uint32_t U32(std::span<const std::uint8_t> b, std::size_t at) {
    return std::uint32_t(b[at]) | std::uint32_t(b[at + 1]) << 8 | std::uint32_t(b[at + 2]) << 16 |
           std::uint32_t(b[at + 3]) << 24;
}

std::string CompressionName(std::uint32_t c) {
    switch (c) {
    case 4:
        return "BI_JPEG";
    case 5:
        return "BI_PNG";
    case 6:
        return "BI_ALPHABITFIELDS";
    case 11:
        return "BI_CMYK";
    case 12:
        return "BI_CMYKRLE8";
    case 13:
        return "BI_CMYKRLE4";
    }
    return Format("%u", c);
}

} // namespace

TBmpReader::TBmpReader(std::span<const std::uint8_t> file) : File(file) {
    Palette.fill(WhiteColour);
    if (file.size() < 2 || file[0] != 'B' || file[1] != 'M') throw EBmpFormat("not a BMP file");
    if (file.size() < FileHeaderSize + 4) throw EBmpFormat("file ends inside the BMP header");
    const std::uint32_t headerSize = U32(file, FileHeaderSize);
    if (headerSize != 12 && headerSize != 40 && headerSize != 52 && headerSize != 56 &&
        headerSize != 108 && headerSize != 124)
        throw EBmpFormat(Format("BMP header of %u bytes is not supported", headerSize));
    if (file.size() < FileHeaderSize + headerSize)
        throw EBmpFormat("file ends inside the BMP header");
    ReadInfoHeader(headerSize);
    CheckCompression();
    const std::size_t headerEnd = ReadMasks(headerSize);
    PixelOffset = U32(file, 10);
    if (PixelOffset < headerEnd)
        throw EBmpFormat(Format("pixel data offset %zu points into the headers", PixelOffset));
    if (PixelOffset >= file.size())
        throw EBmpFormat(
            Format("pixel data offset %zu lies past the end of the file", PixelOffset));
    if (Bits <= 8) ReadPalette(headerEnd, Core ? 0 : U32(file, FileHeaderSize + 32));
}

void TBmpReader::ReadInfoHeader(std::uint32_t headerSize) {
    const std::size_t h = FileHeaderSize;
    Core = headerSize == 12;
    long long width, height;
    std::uint16_t planes;
    if (Core) {
        width = U16(File, h + 4);
        height = U16(File, h + 6);
        planes = U16(File, h + 8);
        Bits = U16(File, h + 10);
    } else {
        width = static_cast<std::int32_t>(U32(File, h + 4));
        height = static_cast<std::int32_t>(U32(File, h + 8));
        planes = U16(File, h + 12);
        Bits = U16(File, h + 14);
        Compression = U32(File, h + 16);
    }
    TopDown = height < 0;
    height = height < 0 ? -height : height;
    if (width <= 0 || height <= 0)
        throw EBmpFormat(Format("picture of %lld x %lld has no pixels", width, height));
    if (width > MaxSide || height > MaxSide)
        throw EBmpFormat(Format("%lld x %lld pixels is larger than any picture the display shows",
                                width, height));
    W = static_cast<int>(width);
    H = static_cast<int>(height);
    if (planes != 1) throw EBmpFormat(Format("%u colour planes (only 1 is valid)", planes));
    if (Bits != 1 && Bits != 4 && Bits != 8 && Bits != 16 && Bits != 24 && Bits != 32)
        throw EBmpFormat(Format("%d bits per pixel are not supported", Bits));
}

void TBmpReader::CheckCompression() const {
    const bool fits = Compression == BiRgb || (Compression == BiRle8 && Bits == 8) ||
                      (Compression == BiRle4 && Bits == 4) ||
                      (Compression == BiBitfields && (Bits == 16 || Bits == 32));
    if (Compression > BiBitfields)
        throw EBmpFormat("compression " + CompressionName(Compression) + " is not supported");
    if (!fits)
        throw EBmpFormat(Format("compression %s does not go with %d bits per pixel",
                                Compression == BiRle8   ? "BI_RLE8"
                                : Compression == BiRle4 ? "BI_RLE4"
                                                        : "BI_BITFIELDS",
                                Bits));
    if (TopDown && Compression != BiRgb && Compression != BiBitfields)
        throw EBmpFormat("a top-down picture cannot be RLE compressed");
}

// The colour masks of 16- and 32-bit pictures: from the header or the three words after it
// for BI_BITFIELDS, the fixed 5-5-5 and 8-8-8 layouts for BI_RGB. Returns where the headers end.
std::size_t TBmpReader::ReadMasks(std::uint32_t headerSize) {
    std::size_t end = FileHeaderSize + headerSize;
    std::uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};
    if (Bits == 32) {
        masks[0] = 0xFF0000;
        masks[1] = 0x00FF00;
        masks[2] = 0x0000FF;
    }
    if (Compression == BiBitfields) {
        const std::size_t at = FileHeaderSize + 40;
        if (headerSize == 40) end += 12;
        if (File.size() < end) throw EBmpFormat("file ends inside the colour masks");
        for (int c = 0; c < 3; ++c) masks[c] = U32(File, at + 4 * static_cast<std::size_t>(c));
        if (Bits == 16)
            for (std::uint32_t& m : masks) m &= 0xFFFF;
        if ((masks[0] | masks[1] | masks[2]) == 0) throw EBmpFormat("the colour masks are empty");
    }
    for (int c = 0; c < 3; ++c) Channels[c] = {masks[c], masks[c] ? std::countr_zero(masks[c]) : 0};
    return end;
}

// Entries as the header declares them (all 2^bits when it says 0), but never more than the bit
// depth can address nor more than lie between the headers and the pixel data.
void TBmpReader::ReadPalette(std::size_t start, std::uint32_t declared) {
    const std::size_t entrySize = Core ? 3 : 4;
    const std::size_t possible = std::size_t(1) << Bits;
    std::size_t count = declared == 0 ? possible : std::min<std::size_t>(declared, possible);
    count = std::min(count, (PixelOffset - start) / entrySize);
    if (count == 0) throw EBmpFormat("the colour table is missing");
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* e = File.data() + start + i * entrySize;
        Palette[i] = std::uint32_t(e[2]) << 16 | std::uint32_t(e[1]) << 8 | e[0];
    }
}

TPicture TBmpReader::Read() const {
    const bool rle = Compression == BiRle8 || Compression == BiRle4;
    // Uncompressed data sets every pixel, so the picture need not be made white first.
    TPicture picture(W, H, rle ? WhiteColour : BlackColour);
    if (rle)
        ReadRle(picture);
    else
        ReadUncompressed(picture);
    return picture;
}

// Rows are padded to whole 32-bit words; the last row's padding may be missing from the file.
const std::uint8_t* TBmpReader::UncompressedRows(std::size_t* stride) const {
    const std::size_t rowBits = static_cast<std::size_t>(W) * static_cast<std::size_t>(Bits);
    *stride = (rowBits + 31) / 32 * 4;
    const std::size_t needed = *stride * static_cast<std::size_t>(H - 1) + (rowBits + 7) / 8;
    const std::size_t available = File.size() - PixelOffset;
    if (needed > available)
        throw EBmpFormat(Format("pixel data ends early (%zu of %zu bytes)", available, needed));
    return File.data() + PixelOffset;
}

void TBmpReader::ReadUncompressed(TPicture& picture) const {
    std::size_t stride;
    const std::uint8_t* rows = UncompressedRows(&stride);
    for (int r = 0; r < H; ++r) {
        const std::uint8_t* src = rows + stride * static_cast<std::size_t>(r);
        std::uint32_t* out = picture.Row(TopDown ? r : H - 1 - r);
        Bits == 1 ? DecodeMonoRow(src, out) : DecodeRow(src, out);
    }
}

// Each colour is black or not: colour 1 alone black keeps the bits, colour 0 alone inverts
// them, and two alike give one colour whatever the bits.
std::optional<TMonoRows> TBmpReader::MonoRows() const {
    if (Bits != 1 || Compression != BiRgb || W <= 0 || H <= 0) return std::nullopt;
    std::size_t stride;
    const std::uint8_t* rows = UncompressedRows(&stride);
    const auto black = [&](int index) -> std::uint8_t {
        return (Palette[static_cast<std::size_t>(index)] & 0xFFFFFF) == 0 ? 0xFF : 0x00;
    };
    const std::uint8_t ones = black(1), zeros = black(0);
    const auto s = static_cast<std::ptrdiff_t>(stride);
    TMonoRows mono;
    mono.Top = TopDown ? rows : rows + s * (H - 1);
    mono.Stride = TopDown ? s : -s;
    mono.Keep = ones != zeros ? 0xFF : 0x00;
    mono.Flip = zeros;
    return mono;
}

void TBmpReader::CheckPixelData() const {
    if (Compression == BiRle8 || Compression == BiRle4) {
        DecodeRle(File.subspan(PixelOffset), W, H, Bits);
        return;
    }
    std::size_t stride;
    UncompressedRows(&stride);
}

bool TBmpReader::HasGreyColours() const {
    const auto pure = [](std::uint32_t c) {
        return (c & 0xFFFFFF) == 0 || (c & 0xFFFFFF) == 0xFFFFFF;
    };
    return Bits != 1 || !pure(Palette[0]) || !pure(Palette[1]);
}

void TBmpReader::ReadRle(TPicture& picture) const {
    const std::vector<std::uint16_t> indices = DecodeRle(File.subspan(PixelOffset), W, H, Bits);
    for (std::size_t i = 0; i < indices.size(); ++i) picture.Pixels[i] = PaletteColour(indices[i]);
}

namespace {
// For each byte, all ones in the place of each set bit, leftmost pixel first.
using TBitMasks = std::array<std::array<std::uint32_t, 8>, 256>;
constexpr TBitMasks MakeBitMasks() {
    TBitMasks masks{};
    for (unsigned byte = 0; byte < 256; ++byte)
        for (unsigned k = 0; k < 8; ++k) masks[byte][k] = byte >> (7 - k) & 1 ? ~0u : 0u;
    return masks;
}
constexpr TBitMasks BitMasks = MakeBitMasks();
} // namespace

// Eight pixels a byte, chosen between the two colours by mask, without a branch: the loop over
// a byte's pixels vectorises.
void TBmpReader::DecodeMonoRow(const std::uint8_t* src, std::uint32_t* out) const {
    const std::uint32_t zero = Palette[0], flip = Palette[0] ^ Palette[1];
    const int w = W; // a local: stores through out could otherwise change W
    int x = 0;
    for (; x + 8 <= w; x += 8) {
        const auto& mask = BitMasks[src[x >> 3]];
        std::uint32_t eight[8];
        for (int k = 0; k < 8; ++k) eight[k] = zero ^ (mask[k] & flip);
        std::memcpy(out + x, eight, sizeof eight);
    }
    for (; x < w; ++x) out[x] = zero ^ (BitMasks[src[x >> 3]][x & 7] & flip);
}

void TBmpReader::DecodeRow(const std::uint8_t* src, std::uint32_t* out) const {
    switch (Bits) {
    case 4:
        for (int x = 0; x < W; ++x) out[x] = Palette[src[x >> 1] >> (x & 1 ? 0 : 4) & 0x0F];
        break;
    case 8:
        for (int x = 0; x < W; ++x) out[x] = Palette[src[x]];
        break;
    case 16:
        for (int x = 0; x < W; ++x) out[x] = Masked(src[2 * x] | src[2 * x + 1] << 8);
        break;
    case 24:
        for (int x = 0; x < W; ++x, src += 3)
            out[x] = std::uint32_t(src[2]) << 16 | std::uint32_t(src[1]) << 8 | src[0];
        break;
    default:
        for (int x = 0; x < W; ++x, src += 4)
            out[x] = Masked(std::uint32_t(src[0]) | std::uint32_t(src[1]) << 8 |
                            std::uint32_t(src[2]) << 16 | std::uint32_t(src[3]) << 24);
    }
}

// Each channel scaled to 8 bits; a channel that is not 0 never scales down to 0, so a pixel
// comes out black exactly when none of its colour bits is set.
std::uint32_t TBmpReader::Masked(std::uint32_t value) const {
    std::uint32_t rgb = 0;
    for (const TChannel& c : Channels) {
        const std::uint64_t max = c.Mask >> c.Shift;
        const std::uint64_t v = (value & c.Mask) >> c.Shift;
        std::uint32_t byte = max ? static_cast<std::uint32_t>(v * 255 / max) : 0;
        if (v && !byte) byte = 1;
        rgb = rgb << 8 | byte;
    }
    return rgb;
}

std::uint32_t TBmpReader::PaletteColour(unsigned index) const {
    return index < Palette.size() ? Palette[index] : WhiteColour;
}

TPicture ReadBmp(std::span<const std::uint8_t> file) {
    return TBmpReader(file).Read();
}

} // namespace Rom
