// Encoding pictures into mono bitmap records, both orientations, and refusing bad pictures.

#include "rom/MonoBitmap.h"
#include "BmpTestFiles.h"
#include "RomTestSupport.h"
#include "XVclUtil/FileUtil.h"
#include "rom/EPictureLoad.h"
#include "rom/PictureWarnings.h"

#include <gtest/gtest.h>

#include <random>

using namespace Rom;
using XVclUtil::FileExists;
using namespace RomTest;

namespace {

TBytes Bytes(std::initializer_list<int> v) {
    TBytes out;
    for (int b : v) out.push_back(static_cast<std::uint8_t>(b));
    return out;
}

TEST(MonoBitmap, TopLeftPixelRowMajor) {
    TBytes rec = EncodeRowMajor(Pic(MonoPicture(16, 8, {{0, 0}})));
    TBytes expected = Bytes({0x10, 0x00, 0x08, 0x00, 0x80, 0x00});
    expected.resize(20, 0);
    EXPECT_EQ(rec, expected);
}

TEST(MonoBitmap, TopLeftPixelRotated) {
    TBytes rec = EncodeRotated(Pic(MonoPicture(16, 8, {{0, 0}})));
    TBytes expected = Bytes({0x08, 0x00, 0x10, 0x00});
    expected.resize(19, 0);
    expected.push_back(0x80); // source column x = 0 comes last
    EXPECT_EQ(rec, expected);
}

TEST(MonoBitmap, RotatedIsRowMajorTurnedCounterClockwise) {
    QImage pic = MonoPicture(24, 16, {{0, 0}, {23, 0}, {5, 9}, {23, 15}, {11, 3}});
    QImage turned = pic.transformed(QTransform().rotate(-90));
    EXPECT_EQ(EncodeRotated(Pic(pic)), EncodeRowMajor(Pic(turned)));
}

// Reference: the record built pixel by pixel through QImage::pixel.
TBytes SlowRecord(const QImage& pic, bool rotated) {
    const int w = pic.width(), h = pic.height();
    const int sw = rotated ? h : w, sh = rotated ? w : h; // stored size before padding
    const int pw = (sw + 7) / 8 * 8;
    TBytes out(4 + static_cast<std::size_t>(pw / 8 * sh), 0);
    out[0] = static_cast<std::uint8_t>(pw);
    out[1] = static_cast<std::uint8_t>(pw >> 8);
    out[2] = static_cast<std::uint8_t>(sh);
    out[3] = static_cast<std::uint8_t>(sh >> 8);
    for (int r = 0; r < sh; ++r)
        for (int c = 0; c < sw; ++c) {
            const int x = rotated ? w - 1 - r : c, y = rotated ? c : r;
            if ((pic.pixel(x, y) & 0xFFFFFF) == 0)
                out[4 + static_cast<std::size_t>(r * pw / 8 + c / 8)] |=
                    static_cast<std::uint8_t>(0x80 >> (c % 8));
        }
    return out;
}

TEST(MonoBitmap, EveryFormatAndSizeMatchesThePixelByPixelRecord) {
    std::uint32_t seed = 7;
    auto next = [&] { return (seed = seed * 1664525u + 1013904223u) >> 8; };
    for (int round = 0; round < 60; ++round) {
        const int w = 1 + static_cast<int>(next() % 41), h = 1 + static_cast<int>(next() % 41);
        QImage base(w, h, QImage::Format_RGB32);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                base.setPixel(x, y,
                              next() % 3 == 0 ? qRgb(0, 0, 0)
                              : next() % 2    ? qRgb(255, 255, 255)
                                              : qRgb(0, 0, 9));
        const QImage formats[] = {
            base, base.convertToFormat(QImage::Format_ARGB32),
            base.convertToFormat(QImage::Format_Indexed8),
            base.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither),
            base.convertToFormat(QImage::Format_MonoLSB, Qt::ThresholdDither)};
        for (const QImage& pic : formats) {
            ASSERT_EQ(EncodeRowMajor(Pic(pic)), SlowRecord(pic, false))
                << w << "x" << h << " " << pic.format();
            ASSERT_EQ(EncodeRotated(Pic(pic)), SlowRecord(pic, true))
                << w << "x" << h << " " << pic.format();
        }
    }
}

TEST(MonoBitmap, OnlyPureBlackSetsABit) {
    QImage pic(8, 1, QImage::Format_RGB32);
    pic.fill(qRgb(255, 255, 255));
    pic.setPixel(0, 0, qRgb(0, 0, 0));
    pic.setPixel(1, 0, qRgb(0, 0, 1)); // colour value 1
    pic.setPixel(2, 0, qRgb(1, 0, 0));
    pic.setPixel(3, 0, qRgb(16, 16, 16));
    EXPECT_EQ(EncodeRowMajor(Pic(pic)), Bytes({8, 0, 1, 0, 0x80}));
}

// Pictures saved as BMP files and read back: palettes and alpha are the BMP reader's to judge.
TBytes FromBmp(const QImage& image) {
    return EncodeRowMajor(LoadPictureData(BmpBytes(image), "x.bmp"));
}

TEST(MonoBitmap, PalettePicturesCountByTheirColours) {
    QImage inverted(8, 1, QImage::Format_Mono); // index 0 black, index 1 white
    inverted.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    inverted.fill(1);
    inverted.setPixel(2, 0, 0);
    EXPECT_EQ(FromBmp(inverted), Bytes({8, 0, 1, 0, 0x20}));
    QImage indexed(8, 1, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(1, 1, 1), qRgb(255, 0, 0), qRgb(0, 0, 0)});
    indexed.fill(0);
    indexed.setPixel(7, 0, 2);
    indexed.setPixel(6, 0, 1);
    EXPECT_EQ(FromBmp(indexed), Bytes({8, 0, 1, 0, 0x01}));
}

TEST(MonoBitmap, AlphaDoesNotCount) {
    QImage pic(8, 1, QImage::Format_ARGB32);
    pic.fill(qRgba(255, 255, 255, 255));
    pic.setPixel(0, 0, qRgba(0, 0, 0, 0));   // transparent black: colour value 0
    pic.setPixel(7, 0, qRgba(0, 0, 0, 128)); // half transparent black
    EXPECT_EQ(FromBmp(pic), Bytes({8, 0, 1, 0, 0x81}));
}

TEST(MonoBitmap, WidthNotMultipleOf8IsPaddedWithWhite) {
    TBytes rec = EncodeRowMajor(Pic(MonoPicture(10, 2, {{9, 0}, {0, 1}})));
    EXPECT_EQ(rec, Bytes({16, 0, 2, 0, 0x00, 0x40, 0x80, 0x00}));
    TBytes rot = EncodeRotated(Pic(MonoPicture(3, 10, {{2, 9}})));
    // stored 16 wide (10 padded), 3 high; first stored row is source column 2
    EXPECT_EQ(rot, Bytes({16, 0, 3, 0, 0x00, 0x40, 0, 0, 0, 0}));
}

TEST(MonoBitmap, DecodeGivesTheStoredPictureBack) {
    QImage pic = MonoPicture(16, 8, {{0, 0}, {15, 7}, {3, 4}});
    TPicture back = DecodeMonoBitmap(EncodeRowMajor(Pic(pic)));
    ASSERT_EQ(back.Width, 16);
    ASSERT_EQ(back.Height, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x)
            EXPECT_EQ(back.IsBlack(x, y), pic.pixelIndex(x, y) == 1) << x << "," << y;
    TPicture upright = TurnedClockwise(DecodeMonoBitmap(EncodeRotated(Pic(pic))));
    EXPECT_EQ(upright.Pixels, back.Pixels);
}

TEST(MonoBitmap, RecordShapeIsChecked) {
    EXPECT_TRUE(IsMonoRecord(Bytes({8, 0, 1, 0, 0xFF})));
    EXPECT_FALSE(IsMonoRecord(Bytes({8, 0, 2, 0, 0xFF}))); // short
    EXPECT_FALSE(IsMonoRecord(Bytes({7, 0, 1, 0, 0xFF}))); // width not whole bytes
    EXPECT_FALSE(IsMonoRecord(Bytes({0, 0, 0, 0})));       // no pixels
    EXPECT_TRUE(DecodeMonoBitmap(Bytes({1, 2, 3})).IsNull());
}

TEST(MonoBitmapFiles, EncodesFromFileToFileBothWays) {
    TTempDir dir;
    SaveBmp(dir / "a.bmp", MonoPicture(16, 8, {{0, 0}}));
    EncodeMonoBitmap(dir / "a.bmp", dir / "h", TDisplayType::Horizontal);
    EncodeMonoBitmap(dir / "a.bmp", dir / "v", TDisplayType::Vertical);
    EXPECT_EQ(ReadBytes(dir / "h"), EncodeRowMajor(Pic(MonoPicture(16, 8, {{0, 0}}))));
    EXPECT_EQ(ReadBytes(dir / "v"), EncodeRotated(Pic(MonoPicture(16, 8, {{0, 0}}))));
    EXPECT_TRUE(FileExists(dir / "a.bmp")); // the source stays
}

TEST(MonoBitmapFiles, BlankSourceDoesNothing) {
    TTempDir dir;
    EncodeMonoBitmap("  ", dir / "t", TDisplayType::Vertical);
    EXPECT_FALSE(FileExists(dir / "t"));
}

TEST(MonoBitmapFiles, ColourAndGreyBmpFilesEncodeByColourValue) {
    TTempDir dir;
    QImage colour(8, 2, QImage::Format_RGB888);
    colour.fill(qRgb(200, 10, 10));
    colour.setPixel(1, 0, qRgb(0, 0, 0));
    colour.setPixel(2, 1, qRgb(0, 0, 0));
    SaveBmp(dir / "c24.bmp", colour);
    EncodeRowMajor(dir / "c24.bmp", dir / "c24");
    EXPECT_EQ(ReadBytes(dir / "c24"), Bytes({8, 0, 2, 0, 0x40, 0x20}));

    QImage grey(8, 1, QImage::Format_Grayscale8);
    grey.fill(0x80);
    grey.setPixel(4, 0, 0);
    SaveBmp(dir / "g8.bmp", grey);
    EncodeRowMajor(dir / "g8.bmp", dir / "g8");
    EXPECT_EQ(ReadBytes(dir / "g8"), Bytes({8, 0, 1, 0, 0x08}));
}

// Bad files: each raises EPictureLoad naming the file, and no target is written.
void ExpectRefused(const std::string& source, const std::string& target) {
    try {
        EncodeRowMajor(source, target);
        ADD_FAILURE() << "accepted " << source;
    } catch (const EPictureLoad& e) {
        EXPECT_EQ(e.FileName, source);
        EXPECT_FALSE(e.Reason.empty());
    }
    EXPECT_FALSE(FileExists(target));
}

TEST(MonoBitmapFiles, BadFilesAreRefusedWithTheirName) {
    TTempDir dir;
    TBytes good = BmpBytes(MonoPicture(64, 64, {{1, 1}}));
    WriteBytes(dir / "empty.bmp", {});
    WriteBytes(dir / "garbage.bmp", TBytes(300, 0x5A));
    WriteBytes(dir / "truncated.bmp", TBytes(good.begin(), good.begin() + 40));
    TBytes zero = good; // 0 x 0 in the info header
    for (int i = 18; i < 26; ++i) zero[i] = 0;
    WriteBytes(dir / "zero.bmp", zero);
    TBytes huge = good; // 65,535 x 65,535
    huge[18] = huge[19] = huge[22] = huge[23] = 0xFF;
    huge[20] = huge[21] = huge[24] = huge[25] = 0;
    WriteBytes(dir / "huge.bmp", huge);
    TBytes badHeader = good; // info header size nonsense
    badHeader[14] = 0xFF;
    badHeader[15] = 0xFF;
    WriteBytes(dir / "header.bmp", badHeader);
    for (const char* name : {"missing.bmp", "empty.bmp", "garbage.bmp", "truncated.bmp", "zero.bmp",
                             "huge.bmp", "header.bmp"})
        ExpectRefused(dir / name, dir / (std::string(name) + ".out"));
    ExpectRefused(dir.Path(), dir / "folder.out"); // a folder is not a picture
}

// Damage the reader may repair or refuse: either way a clear outcome, never a wrong-sized record.
void ExpectRefusedOrWhole(const std::string& source, const std::string& target, int w, int h) {
    try {
        EncodeRowMajor(source, target);
        EXPECT_EQ(ReadBytes(target).size(), 4u + static_cast<std::size_t>(w * h / 8)) << source;
    } catch (const EPictureLoad& e) {
        EXPECT_EQ(e.FileName, source);
        EXPECT_FALSE(FileExists(target));
    }
}

TEST(MonoBitmapFiles, BogusPaletteOrDataOffsetIsHandled) {
    TTempDir dir;
    TBytes good = BmpBytes(MonoPicture(64, 64, {{1, 1}}));
    TBytes offset = good; // pixel data offset past the end of the file
    offset[10] = 0xFF;
    offset[11] = 0xFF;
    offset[12] = 0x0F;
    WriteBytes(dir / "offset.bmp", offset);
    ExpectRefusedOrWhole(dir / "offset.bmp", dir / "offset.out", 64, 64);
    for (std::uint8_t colours : {std::uint8_t(0x00), std::uint8_t(0x7F), std::uint8_t(0xFF)}) {
        TBytes palette = good; // colours used: 0x??FFFFFF
        palette[46] = palette[47] = palette[48] = 0xFF;
        palette[49] = colours;
        WriteBytes(dir / "palette.bmp", palette);
        ExpectRefusedOrWhole(dir / "palette.bmp", dir / "palette.out", 64, 64);
    }
    TBytes depth = good; // 7 bits per pixel
    depth[28] = 7;
    WriteBytes(dir / "depth.bmp", depth);
    ExpectRefusedOrWhole(dir / "depth.bmp", dir / "depth.out", 64, 64);
}

TEST(MonoBitmapFiles, PictureTooBigForAnEntryIsRefusedBeforeDecoding) {
    TTempDir dir;
    SaveBmp(dir / "wide.bmp", MonoPicture(4096, 2100));
    ExpectRefused(dir / "wide.bmp", dir / "wide.out");
    SaveBmp(dir / "long.bmp", MonoPicture(65535, 1));
    ExpectRefused(dir / "long.bmp", dir / "long.out");
}

} // namespace

// Encoding straight from a 1-bit file gives the record that decoding the picture and encoding it
// gives, whatever the two colours, the row order, the width's remainder and the bits past it, and
// a picture file counts the grey pixels the picture has; other pictures take the decoding path,
// and a file cut short fails alike.
TEST(MonoBitmap, EncodingFromTheFileMatchesEncodingThePicture) {
    TTempDir dir;
    const std::string path = dir / "p.bmp";
    std::mt19937 random(780);
    const std::vector<std::vector<std::uint32_t>> palettes = {
        {0x000000, 0xFFFFFF}, {0xFFFFFF, 0x000000}, {0x000000, 0x000000}, {0xFFFFFF, 0xFFFFFF},
        {0xFF0000, 0x000000}, {0x000000},           {0x808080, 0x010000}};
    int cases = 0;
    for (const auto& palette : palettes)
        for (const int w : {1, 7, 8, 9, 17, 33})
            for (const int h : {1, 5, 8, 13})
                for (const bool topDown : {false, true}) {
                    TBmpLayout layout;
                    layout.Width = w;
                    layout.Height = h;
                    layout.TopDown = topDown;
                    layout.Palette = palette;
                    TBytes pixels(static_cast<std::size_t>((w + 31) / 32 * 4 * h));
                    for (auto& b : pixels) b = static_cast<std::uint8_t>(random());
                    const TBytes file = MakeBmp(layout, pixels);
                    WriteBytes(path, file);
                    const TPicture picture = LoadPictureData(file, "p.bmp");
                    for (const auto type : {TDisplayType::Horizontal, TDisplayType::Vertical}) {
                        const TBytes record = EncodeMonoRecord(picture, type);
                        ASSERT_EQ(EncodeMonoData(file, "p.bmp", type), record)
                            << w << " x " << h << " top-down " << topDown << " colours "
                            << palette.size();
                        const TEncodedFile encoded = EncodePictureFile(path, type);
                        ASSERT_EQ(encoded.Record, record);
                        ASSERT_EQ(encoded.GreyPixels, GreyPixelCount(picture));
                        ASSERT_EQ(encoded.Width * 1000 + encoded.Height, w * 1000 + h);
                        ++cases;
                    }
                }
    EXPECT_EQ(cases, 7 * 6 * 4 * 2 * 2);

    TBmpLayout four;
    four.Bits = 4;
    four.Width = 5;
    four.Height = 3;
    four.Palette = {0x000000, 0xFFFFFF, 0x00FF00};
    const TBytes other =
        MakeBmp(four, PackRows(four, {{0, 1, 2, 0, 1}, {1, 1, 1, 1, 1}, {0, 0, 0, 0, 2}}));
    EXPECT_EQ(EncodeMonoData(other, "q.bmp", TDisplayType::Vertical),
              EncodeMonoRecord(LoadPictureData(other, "q.bmp"), TDisplayType::Vertical));

    TBmpLayout mono;
    mono.Width = 16;
    mono.Height = 4;
    mono.Palette = {0x000000, 0xFFFFFF};
    TBytes cut = MakeBmp(mono, TBytes(16, 0x55));
    cut.resize(cut.size() - 5);
    std::string viaFile, viaPicture;
    try {
        EncodeMonoData(cut, "c.bmp", TDisplayType::Horizontal);
    } catch (const EPictureLoad& e) {
        viaFile = e.Message;
    }
    try {
        LoadPictureData(cut, "c.bmp");
    } catch (const EPictureLoad& e) {
        viaPicture = e.Message;
    }
    EXPECT_FALSE(viaFile.empty());
    EXPECT_EQ(viaFile, viaPicture);
}
