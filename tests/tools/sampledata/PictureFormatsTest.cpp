// The byte formats: 1-bit BMP files any viewer opens, the display's mono bitmap record (the
// same bytes the ROM builder's encoder makes), numbered picture sets and the boot font.

#include "SampleTestSupport.h"

#include "tools/sampledata/MonoImage.h"
#include "tools/sampledata/PictureFormats.h"

#include <gtest/gtest.h>

using namespace SampleData;
using namespace SampleTest;

namespace {

// A white picture with the given pixels black.
QImage Picture(int w, int h, std::initializer_list<QPoint> black) {
    QImage canvas = NewCanvas(w, h);
    for (const QPoint& p : black) canvas.setPixel(p, qRgb(0, 0, 0));
    return ToMono(canvas);
}

std::string Bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values) s.push_back(static_cast<char>(v));
    return s;
}

} // namespace

TEST(PictureFormats, BmpIsOneBitWithBlackAtIndexZero) {
    const QImage mono = Picture(20, 3, {{0, 0}, {19, 2}, {9, 1}});
    const std::string bmp = EncodeBmp1(mono);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    EXPECT_EQ(BmpBitsPerPixel(bmp), 1);
    EXPECT_EQ(bmp.size(), 62u + 4 * 3); // rows of 20 pixels pad to 4 bytes
    EXPECT_EQ(bmp.substr(54, 8), Bytes({0, 0, 0, 0, 255, 255, 255, 0}));
    const QImage back = DecodeBmp(bmp);
    ASSERT_EQ(back.size(), QSize(20, 3));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 20; ++x) {
            const bool black = (x == 0 && y == 0) || (x == 19 && y == 2) || (x == 9 && y == 1);
            // Pure black reads back as colour value 0; everything else is pure white.
            EXPECT_EQ(back.pixel(x, y) & 0xFFFFFF, black ? 0u : 0xFFFFFFu) << x << "," << y;
        }
}

TEST(PictureFormats, RecordRowMajorOfTopLeftPixel) {
    const std::string rec = MonoRecord(Picture(16, 8, {{0, 0}}), TOrientation::RowMajor);
    std::string expected = Bytes({0x10, 0x00, 0x08, 0x00, 0x80, 0x00});
    expected += std::string(14, '\0');
    EXPECT_EQ(rec, expected);
}

TEST(PictureFormats, RecordRotatedOfTopLeftPixel) {
    const std::string rec = MonoRecord(Picture(16, 8, {{0, 0}}), TOrientation::Rotated);
    std::string expected = Bytes({0x08, 0x00, 0x10, 0x00});
    expected += std::string(15, '\0');
    expected += '\x80';
    EXPECT_EQ(rec, expected);
}

TEST(PictureFormats, RecordDecodesBackAndRejectsBrokenBytes) {
    const QImage mono = Picture(24, 16, {{3, 4}, {23, 15}});
    const QImage back = DecodeMonoRecord(MonoRecord(mono, TOrientation::RowMajor));
    ASSERT_EQ(back.size(), mono.size());
    EXPECT_EQ(DifferentPixelCount(back, mono), 0);
    // The rotated record is the picture turned counter-clockwise: source (23, 15) lands at the
    // top right of the stored 16 x 24 picture: (x, y) -> (y, W - 1 - x).
    const QImage turned = DecodeMonoRecord(MonoRecord(mono, TOrientation::Rotated));
    ASSERT_EQ(turned.size(), QSize(16, 24));
    EXPECT_TRUE(IsBlack(turned, 15, 0));
    EXPECT_TRUE(IsBlack(turned, 4, 20));
    EXPECT_EQ(BlackPixelCount(turned), 2);
    EXPECT_TRUE(DecodeMonoRecord(Bytes({8, 0, 8, 0, 1})).isNull()); // too short
    EXPECT_TRUE(DecodeMonoRecord(Bytes({0, 0, 0, 0})).isNull());    // empty picture
}

TEST(PictureFormats, PictureSetIndexAndData) {
    std::map<int, std::string> pictures = {{48, std::string(100, 'a')},
                                           {65, std::string(0x12345, 'b')}};
    const std::string set = PictureSet(pictures);
    ASSERT_EQ(set.size(), 1536u + 100 + 0x12345);
    // Entry 48: address 0x600, size 100, present.
    EXPECT_EQ(set.substr(48 * 6, 6), Bytes({0x00, 0x06, 0x00, 0x00, 0x64, 0x01}));
    // Entry 65: address 0x600 + 100 = 0x664; size 0x12345 -> 23 45 11.
    EXPECT_EQ(set.substr(65 * 6, 6), Bytes({0x00, 0x06, 0x64, 0x23, 0x45, 0x11}));
    EXPECT_EQ(set.substr(0, 6), std::string(6, '\0'));
    EXPECT_EQ(DecodePictureSet(set), pictures);
    // An entry pointing past the end makes the whole set unreadable.
    std::string broken = set.substr(0, 1600);
    EXPECT_TRUE(DecodePictureSet(broken).empty());
}

TEST(PictureFormats, BootFontIs256GlyphsOf13Rows) {
    std::map<int, QImage> glyphs;
    glyphs['A'] = Picture(8, 13, {{0, 0}, {7, 12}});
    const std::string font = BootFont(glyphs);
    ASSERT_EQ(font.size(), 3328u);
    EXPECT_EQ(static_cast<uint8_t>(font['A' * 13]), 0x80);
    EXPECT_EQ(static_cast<uint8_t>(font['A' * 13 + 12]), 0x01);
    EXPECT_EQ(DifferentPixelCount(DecodeBootFontGlyph(font, 'A'), glyphs['A']), 0);
    EXPECT_EQ(BlackPixelCount(DecodeBootFontGlyph(font, 'B')), 0);
}

TEST(PictureFormats, GlbEntriesAreBigEndianAndOrdered) {
    TSampleLibrary library;
    library.Set(3, 7, TEntryKind::RecordRowMajor, "xyz", "");
    library.Set(0, 255, TEntryKind::RecordRowMajor, std::string(300, 'q'), "");
    const std::string glb = library.GlbBytes();
    const std::size_t dir = 8 + 8 * 2048;
    ASSERT_EQ(glb.size(), dir + 300 + 3);
    // (0, 255) comes first: offset = end of the directory, length 300.
    const std::size_t e0 = 8 + 255 * 8;
    EXPECT_EQ(glb.substr(e0, 8), Bytes({0x00, 0x00, 0x40, 0x08, 0x00, 0x00, 0x01, 0x2C}));
    const std::size_t e3 = 8 + 3 * 2048 + 7 * 8;
    EXPECT_EQ(glb.substr(e3, 8), Bytes({0x00, 0x00, 0x41, 0x34, 0x00, 0x00, 0x00, 0x03}));
    EXPECT_EQ(GlbEntryBytes(glb, 3, 7), "xyz");
    EXPECT_EQ(GlbEntryBytes(glb, 3, 8), "");
    EXPECT_EQ(GlbEntryBytes(glb, 9, 0), "");   // beyond the directory
    EXPECT_EQ(GlbEntryBytes(glb, 0, 256), ""); // no such index
    EXPECT_THROW(library.Set(8, 0, TEntryKind::Bmp, "x", ""), XVclUtil::EXGeneral);
    EXPECT_THROW(library.Set(0, 0, TEntryKind::Bmp, "", ""), XVclUtil::EXGeneral);
}
