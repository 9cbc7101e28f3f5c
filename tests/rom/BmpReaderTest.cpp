// The BMP reader: the black pixels it finds agree with QImage's on every kind of BMP file it
// reads (generated odd ones here, the sample data below), and what it does not read it refuses
// with its reason.

#include "BmpTestFiles.h"
#include "RomTestSupport.h"
#include "rom/EBmpFormat.h"
#include "rom/TBmpReader.h"

#include <QImage>

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#ifdef ZKF780A_EXE
#include "app/core/TPictureLibrary.h"
#endif

using namespace Rom;
using namespace RomTest;

namespace {

// Black as the build judged it when QImage read the pictures: palette pictures through their
// colour table (an index past its end is not black), others by colour value 0.
std::vector<bool> QtBlack(const TBytes& file) {
    QImage image;
    image.loadFromData(file.data(), static_cast<int>(file.size()), "BMP");
    std::vector<bool> black;
    if (image.isNull()) return black;
    const bool indexed = image.format() == QImage::Format_Mono ||
                         image.format() == QImage::Format_MonoLSB ||
                         image.format() == QImage::Format_Indexed8;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            if (!indexed) {
                black.push_back((image.pixel(x, y) & 0xFFFFFF) == 0);
                continue;
            }
            const int i = image.pixelIndex(x, y);
            black.push_back(i < image.colorCount() && (image.color(i) & 0xFFFFFF) == 0);
        }
    return black;
}

std::vector<bool> OurBlack(const TBytes& file) {
    const TPicture picture = ReadBmp(file);
    std::vector<bool> black;
    for (std::uint32_t c : picture.Pixels) black.push_back(c == BlackColour);
    return black;
}

// `reference` is read by QImage, `file` by the reader (the same picture, unless a header QImage
// does not read asks for a twin). Pixels that RLE data skips (false in `written`) QImage leaves
// uninitialised; the reader makes them white.
void ExpectSameBlack(const TBytes& file, const std::string& what, const TBytes& reference = {},
                     const std::vector<bool>& written = {}) {
    std::vector<bool> qt = QtBlack(reference.empty() ? file : reference);
    ASSERT_FALSE(qt.empty()) << what << ": QImage cannot read it";
    std::vector<bool> ours;
    try {
        ours = OurBlack(file);
    } catch (const EBmpFormat& e) {
        FAIL() << what << ": refused (" << e.Reason << ")";
    }
    for (std::size_t i = 0; i < written.size() && i < qt.size(); ++i)
        if (!written[i]) qt[i] = false;
    EXPECT_EQ(ours, qt) << what;
}

class TOddFiles {
public:
    explicit TOddFiles(unsigned seed) : Random(seed) {}

    unsigned Pick(unsigned n) { return std::uniform_int_distribution<unsigned>(0, n - 1)(Random); }

    // Values that are black, nearly black, white or anything, so each file has all of them.
    std::vector<std::vector<std::uint32_t>> Values(const TBmpLayout& layout) {
        const std::uint32_t all = layout.Bits >= 32 ? 0xFFFFFFFFu : (1u << layout.Bits) - 1;
        std::vector<std::vector<std::uint32_t>> rows(static_cast<std::size_t>(layout.Height));
        for (auto& row : rows)
            for (int x = 0; x < layout.Width; ++x) {
                const unsigned k = Pick(4);
                row.push_back(k == 0   ? 0
                              : k == 1 ? 1u << Pick(layout.Bits)
                              : k == 2 ? all
                                       : static_cast<std::uint32_t>(Random()) & all);
            }
        return rows;
    }

    // A palette of `count` colours with black, near-black and white among them.
    std::vector<std::uint32_t> Palette(std::size_t count) {
        std::vector<std::uint32_t> p;
        const std::uint32_t pool[] = {0x000000, 0x000001, 0x010000, 0xFFFFFF, 0x808080};
        for (std::size_t i = 0; i < count; ++i) p.push_back(pool[Pick(5)]);
        return p;
    }

    // RLE data: runs, literal runs, early line ends, moves, and maybe an early end of picture.
    // `written` says which pixels (top row first) the data gives.
    TBytes Rle(const TBmpLayout& layout, std::vector<bool>& written) {
        TBytes out;
        written.assign(static_cast<std::size_t>(layout.Width * layout.Height), false);
        auto mark = [&](int row, int x, int n) {
            for (int i = 0; i < n; ++i)
                written[static_cast<std::size_t>((layout.Height - 1 - row) * layout.Width + x +
                                                 i)] = true;
        };
        const int top = 1 << layout.Bits;
        auto index = [&] { return static_cast<std::uint8_t>(Pick(static_cast<unsigned>(top))); };
        auto pair = [&] {
            return layout.Bits == 4 ? static_cast<std::uint8_t>(index() << 4 | index()) : index();
        };
        for (int row = 0; row < layout.Height; ++row) {
            int x = 0;
            while (x < layout.Width && Pick(8) != 0) {
                const int left = layout.Width - x;
                if (left >= 3 && Pick(3) == 0) { // literal
                    const int n =
                        3 + static_cast<int>(Pick(static_cast<unsigned>(std::min(left - 2, 40))));
                    out.push_back(0);
                    out.push_back(static_cast<std::uint8_t>(n));
                    const int bytes = layout.Bits == 4 ? (n + 1) / 2 : n;
                    for (int i = 0; i < bytes; ++i) out.push_back(pair());
                    if (bytes % 2) out.push_back(0);
                    mark(row, x, n);
                    x += n;
                } else if (Pick(6) == 0 && row + 1 < layout.Height) { // move right, stay on the row
                    const int dx = static_cast<int>(Pick(static_cast<unsigned>(left)));
                    out.insert(out.end(), {0, 2, static_cast<std::uint8_t>(dx), 0});
                    x += dx;
                } else {
                    const int n =
                        1 + static_cast<int>(Pick(static_cast<unsigned>(std::min(left, 255))));
                    out.push_back(static_cast<std::uint8_t>(n));
                    out.push_back(pair());
                    mark(row, x, n);
                    x += n;
                }
            }
            if (row + 1 < layout.Height && Pick(20) == 0) break; // end of picture early
            out.push_back(0);
            out.push_back(0);
        }
        out.push_back(0);
        out.push_back(1);
        return out;
    }

private:
    std::mt19937 Random;
};

TEST(BmpReader, GeneratedOddFilesGiveTheBlackPixelsQImageGives) {
    TOddFiles odd(20261207);
    int files = 0;
    for (int round = 0; round < 12; ++round)
        for (int bits : {1, 4, 8, 16, 24, 32})
            for (std::uint32_t header : {12u, 40u, 56u, 108u, 124u}) {
                TBmpLayout s;
                s.Width = 1 + static_cast<int>(odd.Pick(37));
                s.Height = 1 + static_cast<int>(odd.Pick(23));
                s.Bits = bits;
                s.HeaderSize = header;
                s.TopDown = header != 12 && odd.Pick(2) == 0;
                if (header == 12 && (bits == 16 || bits == 32)) continue; // core: 1, 4, 8, 24
                if (bits <= 8) {
                    const std::size_t full = std::size_t(1) << bits;
                    const std::size_t count =
                        header == 12 ? full : 1 + odd.Pick(static_cast<unsigned>(full));
                    s.Palette = odd.Palette(count);
                    s.ColoursUsed =
                        header == 12 || count == full ? 0 : static_cast<std::uint32_t>(count);
                }
                if ((bits == 16 || bits == 32) && odd.Pick(2) == 0) {
                    s.Compression = 3;
                    static const std::uint32_t masks16[][3] = {{0xF800, 0x07E0, 0x001F},
                                                               {0x7C00, 0x03E0, 0x001F},
                                                               {0x0F00, 0x00F0, 0x000F}};
                    static const std::uint32_t masks32[][3] = {
                        {0x00FF0000, 0x0000FF00, 0x000000FF},
                        {0x000000FF, 0x0000FF00, 0x00FF0000},
                        {0xFF000000, 0x00FF0000, 0x0000FF00}};
                    const auto& m = bits == 16 ? masks16[odd.Pick(3)] : masks32[odd.Pick(3)];
                    std::copy(m, m + 3, s.Masks);
                }
                TBytes pixels;
                std::vector<bool> written;
                if ((bits == 8 || bits == 4) && header != 12 && !s.TopDown && odd.Pick(2) == 0) {
                    s.Compression = bits == 8 ? 1 : 2;
                    pixels = odd.Rle(s, written);
                } else {
                    pixels = PackRows(s, odd.Values(s));
                }
                const TBytes file = MakeBmp(s, pixels);
                TBmpLayout twin = s; // QImage does not read the 52- and 56-byte headers
                twin.HeaderSize = 108;
                ExpectSameBlack(file,
                                std::to_string(s.Width) + "x" + std::to_string(s.Height) +
                                    " bits " + std::to_string(bits) + " header " +
                                    std::to_string(header) + " compression " +
                                    std::to_string(s.Compression) + (s.TopDown ? " top-down" : ""),
                                header == 56 ? MakeBmp(twin, pixels) : TBytes(), written);
                ++files;
            }
    EXPECT_GT(files, 300);
}

TEST(BmpReader, RleRunsLiteralsMovesAndSkippedPixels) {
    TBmpLayout s;
    s.Width = 6;
    s.Height = 2;
    s.Bits = 8;
    s.Compression = 1;
    s.Palette = {0x000000, 0x0000FF, 0x00FF00};
    s.ColoursUsed = 3;
    // Bottom row: two blue, literal green-black-green, then the line ends early. Top row: move
    // right 4, one blue, then the end of the picture. Skipped pixels are white, not index 0.
    const TBytes rle = {2, 1, 0, 3, 2, 0, 2, 0, 0, 0, 0, 2, 4, 0, 1, 1, 0, 1};
    const TPicture p = ReadBmp(MakeBmp(s, rle));
    const std::uint32_t w = WhiteColour;
    const std::vector<std::uint32_t> expected = {
        w,        w,        w,        w,        0x0000FF, w,  // top
        0x0000FF, 0x0000FF, 0x00FF00, 0x000000, 0x00FF00, w}; // bottom
    EXPECT_EQ(p.Pixels, expected);
}

TEST(BmpReader, IndexPastAShortColourTableIsWhite) {
    TBmpLayout s;
    s.Width = 4;
    s.Height = 1;
    s.Bits = 4;
    s.Palette = {0x000000};
    s.ColoursUsed = 1;
    const TPicture p = ReadBmp(MakeBmp(s, PackRows(s, {{0, 1, 15, 0}})));
    EXPECT_EQ(p.Pixels, (std::vector<std::uint32_t>{0, WhiteColour, WhiteColour, 0}));
}

TEST(BmpReader, AColourBitBeyondEightBitsStillIsNotBlack) {
    TBmpLayout s; // 10-10-10: a value of 1 in the lowest bit of red
    s.Width = 2;
    s.Height = 1;
    s.Bits = 32;
    s.Compression = 3;
    s.Masks[0] = 0x3FF00000;
    s.Masks[1] = 0x000FFC00;
    s.Masks[2] = 0x000003FF;
    const TPicture p = ReadBmp(MakeBmp(s, PackRows(s, {{0x00100000, 0}})));
    EXPECT_NE(p.Pixel(0, 0), BlackColour);
    EXPECT_EQ(p.Pixel(1, 0), BlackColour);
}

std::string Refusal(const TBytes& file) {
    try {
        ReadBmp(file);
    } catch (const EBmpFormat& e) {
        return e.Reason;
    }
    return "accepted";
}

TEST(BmpReader, WhatItDoesNotReadIsRefusedWithItsReason) {
    TBmpLayout s;
    s.Palette = {0, 0xFFFFFF};
    const TBytes good = MakeBmp(s, TBytes(32, 0x55));
    EXPECT_EQ(Refusal(good), "accepted");
    EXPECT_EQ(Refusal({'P', 'N'}), "not a BMP file");
    EXPECT_EQ(Refusal(TBytes(good.begin(), good.begin() + 30)), "file ends inside the BMP header");
    EXPECT_EQ(Refusal(TBytes(good.begin(), good.end() - 5)),
              "pixel data ends early (27 of 29 bytes)");
    auto with = [&](std::size_t at, std::initializer_list<std::uint8_t> bytes) {
        TBytes f = good;
        std::copy(bytes.begin(), bytes.end(), f.begin() + static_cast<std::ptrdiff_t>(at));
        return Refusal(f);
    };
    EXPECT_EQ(with(14, {64}), "BMP header of 64 bytes is not supported");
    EXPECT_EQ(with(28, {2}), "2 bits per pixel are not supported");
    EXPECT_EQ(with(26, {2}), "2 colour planes (only 1 is valid)");
    EXPECT_EQ(with(30, {4}), "compression BI_JPEG is not supported");
    EXPECT_EQ(with(30, {5}), "compression BI_PNG is not supported");
    EXPECT_EQ(with(30, {1}), "compression BI_RLE8 does not go with 1 bits per pixel");
    EXPECT_EQ(with(18, {0}), "picture of 0 x 8 has no pixels");
    EXPECT_EQ(with(10, {0x20}), "pixel data offset 32 points into the headers");
    EXPECT_EQ(with(10, {0xFF, 0xFF}), "pixel data offset 65535 lies past the end of the file");
    EXPECT_EQ(with(18, {0xFF, 0xFF, 0, 0, 0xFF, 0xFF}),
              "65535 x 65535 pixels is larger than any picture the display shows");
    // A few hundred bytes of RLE that declare 12,845,058 x 4 pixels allocate nothing.
    EXPECT_EQ(with(18, {0x02, 0x00, 0xC4, 0x00, 4, 0, 0, 0}),
              "12845058 x 4 pixels is larger than any picture the display shows");
    EXPECT_EQ(with(18, {0x01, 0x10, 0, 0}),
              "4097 x 8 pixels is larger than any picture the display shows");
    // 4,096 x 4,096 passes the header; its pixels are missing here.
    EXPECT_NE(with(18, {0x00, 0x10, 0, 0, 0x00, 0x10, 0, 0}).find("pixel data ends early"),
              std::string::npos);
    TBmpLayout rle = s;
    rle.Bits = 8;
    rle.Compression = 1;
    rle.TopDown = true;
    EXPECT_EQ(Refusal(MakeBmp(rle, {0, 1})), "a top-down picture cannot be RLE compressed");
    rle.TopDown = false;
    EXPECT_EQ(Refusal(MakeBmp(rle, {2, 1, 0})), "RLE data ends before the end-of-picture mark");
    TBmpLayout fields = s;
    fields.Bits = 16;
    fields.Compression = 3;
    fields.Palette.clear();
    EXPECT_EQ(Refusal(MakeBmp(fields, TBytes(128, 0))), "the colour masks are empty");
}

#ifdef ZKF780A_EXE
// Every BMP file the sample data holds: the picture tree, the demo's pictures and every BMP
// entry of the picture library.
TEST(BmpReader, EverySampleDataPictureGivesTheBlackPixelsQImageGives) {
    TTempDir dir;
    const std::string command = std::string("'") + ZKF780A_EXE + "' sample-data '" + dir.Path() +
                                "' --with-default-images >/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    int files = 0, entries = 0;
    for (const auto& e : std::filesystem::recursive_directory_iterator(dir.Path())) {
        const std::string path = e.path().string();
        if (path.ends_with(".bmp") || path.ends_with(".BMP")) {
            ExpectSameBlack(ReadBytes(path), path);
            ++files;
        } else if (path.ends_with(".GLB")) {
            AppCore::TPictureLibrary library;
            ASSERT_TRUE(library.LoadFile(path));
            for (int g = 0; g < 8; ++g)
                for (int i = 0; i < 256; ++i) {
                    const auto bytes = library.Picture(g, i);
                    if (bytes.size() < 2 || bytes[0] != 'B' || bytes[1] != 'M') continue;
                    ExpectSameBlack(TBytes(bytes.begin(), bytes.end()),
                                    "library entry " + std::to_string(g) + "/" + std::to_string(i));
                    ++entries;
                }
        }
    }
    EXPECT_GT(files, 50);
    EXPECT_GT(entries, 500);
}
#endif

} // namespace
