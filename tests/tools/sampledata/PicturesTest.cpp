// What the pictures show: distinct floor-number styles, moving arrows, the forty lift-state
// pictures with their default names, floor pictures in every style folder.

#include "SampleTestSupport.h"

#include "tools/sampledata/DefaultImageTree.h"
#include "tools/sampledata/MonoImage.h"
#include "tools/sampledata/PictureFormats.h"
#include "tools/sampledata/TArrowStyle.h"
#include "tools/sampledata/TFloorFont.h"

#include <gtest/gtest.h>

#include <set>

using namespace SampleData;
using namespace SampleTest;

namespace {

QImage LibraryPicture(int group, int index) {
    const TSampleEntry* e = Library().Find(group, index);
    return e ? DecodeBmp(e->Bytes) : QImage();
}

// The picture's pixels as bytes, for telling pictures apart.
std::string Pixels(const QImage& image) {
    return MonoRecord(image, TOrientation::RowMajor);
}

// Black pixels in the outermost column or row.
int BorderBlack(const QImage& image) {
    int n = 0;
    for (int x = 0; x < image.width(); ++x)
        n += IsBlack(image, x, 0) + IsBlack(image, x, image.height() - 1);
    for (int y = 0; y < image.height(); ++y)
        n += IsBlack(image, 0, y) + IsBlack(image, image.width() - 1, y);
    return n;
}

} // namespace

TEST(FloorGlyphs, EveryGlyphHasInkInsideItsCell) {
    for (int style = 0; style < 5; ++style)
        for (const QChar c : TFloorFont::Characters()) {
            const QImage g = LibraryPicture(1 + style, c.unicode());
            ASSERT_FALSE(g.isNull());
            SCOPED_TRACE(testing::Message() << "style " << style << " '" << c.toLatin1() << "'");
            EXPECT_GT(BlackPixelCount(g), c == '-' ? 40 : 250);
            EXPECT_EQ(BorderBlack(g), 0) << "glyph touches the cell edge";
        }
}

TEST(FloorGlyphs, CharactersOfOneStyleDiffer) {
    for (int style = 0; style < 5; ++style) {
        std::set<std::string> seen;
        for (const QChar c : TFloorFont::Characters())
            seen.insert(Pixels(LibraryPicture(1 + style, c.unicode())));
        // The segment style draws 0 with a slash, so it differs from O as well.
        EXPECT_EQ(seen.size(), std::size_t(TFloorFont::Characters().size())) << style;
    }
}

TEST(FloorGlyphs, StylesAreVisiblyDifferent) {
    const int cell = 56 * 80;
    const QString chars = TFloorFont::Characters();
    for (int a = 0; a < 5; ++a)
        for (int b = a + 1; b < 5; ++b) {
            int total = 0;
            for (const QChar c : chars) {
                const int d = DifferentPixelCount(LibraryPicture(1 + a, c.unicode()),
                                                  LibraryPicture(1 + b, c.unicode()));
                // No character but the plain dash bar looks alike in two styles...
                if (c != '-') {
                    EXPECT_GT(d, cell * 3 / 100)
                        << "styles " << a << ", " << b << " '" << c.toLatin1() << "'";
                }
                total += d;
            }
            // ...and on average a tenth of the cell differs.
            EXPECT_GT(total / chars.size(), cell / 10) << "styles " << a << ", " << b;
        }
}

TEST(FloorGlyphs, OutlineStyleIsHollow) {
    // The outline 8 has much less ink than the bold 8 of the same size.
    EXPECT_LT(BlackPixelCount(LibraryPicture(3, '8')) * 2, BlackPixelCount(LibraryPicture(1, '8')));
}

TEST(ArrowFrames, EveryStyleMovesAndStylesDiffer) {
    std::set<std::string> firstFrames;
    for (int s = 0; s < 12; ++s) {
        std::set<std::string> frames;
        for (int k = 0; k < 6; ++k) {
            const QImage up = LibraryPicture(1, 100 + 13 * s + k);
            ASSERT_EQ(up.size(), QSize(TArrowStyle::Width, TArrowStyle::Height));
            EXPECT_GT(BlackPixelCount(up), 40) << s << "/" << k;
            frames.insert(Pixels(up));
        }
        EXPECT_GE(frames.size(), 5u) << "style " << s << " hardly moves";
        firstFrames.insert(Pixels(LibraryPicture(1, 100 + 13 * s)));
    }
    EXPECT_EQ(firstFrames.size(), 12u);
}

TEST(ArrowFrames, DownFramesAreUpFramesUpsideDown) {
    for (int s = 0; s < 12; ++s)
        for (int k = 0; k < 6; ++k) {
            const QImage up = LibraryPicture(1, 100 + 13 * s + k);
            const QImage down = LibraryPicture(1, 106 + 13 * s + k);
            EXPECT_EQ(DifferentPixelCount(up.mirrored(false, true), down), 0) << s << "/" << k;
        }
    // The upright block arrow has more ink in its upper half (the head is wider than the stem).
    const QImage up = LibraryPicture(1, 100);
    int top = 0, bottom = 0;
    for (int y = 0; y < up.height(); ++y)
        for (int x = 0; x < up.width(); ++x)
            (y < up.height() / 2 ? top : bottom) += IsBlack(up, x, y);
    EXPECT_GT(top, bottom);
}

TEST(LiftStatePictures, FortyDefaultNames) {
    std::set<std::string> names;
    for (int s = 0; s < 10; ++s)
        for (int v = 0; v < 4; ++v) names.insert(LiftStateFileName(s, v));
    EXPECT_EQ(names.size(), 40u);
    EXPECT_EQ(LiftStateFileName(2, 1), "BREAKDOWN-128x32_CHT.bmp"); // slot 9
    EXPECT_EQ(LiftStateFileName(2, 2), "ALARM-INV-128x32_EN.bmp");  // slot 10
    EXPECT_EQ(LiftStateFileName(0, 0), "FIRE-128x32_EN.bmp");
    EXPECT_EQ(LiftStateFileName(3, 3), "OUT_OF_SERVICE-INV-128x32_CHT.bmp");
    EXPECT_EQ(LiftStateFileName(9, 3), "IND-INV-128x32_CHT.bmp");
}

TEST(LiftStatePictures, InvertedVariantsAndLanguagesDiffer) {
    std::set<std::string> all;
    for (int s = 0; s < 10; ++s) {
        const QImage en = LiftStatePicture(Fonts(), s, 0), cht = LiftStatePicture(Fonts(), s, 1);
        const QImage enInv = LiftStatePicture(Fonts(), s, 2),
                     chtInv = LiftStatePicture(Fonts(), s, 3);
        for (const QImage& p : {en, cht, enInv, chtInv}) {
            ASSERT_EQ(p.size(), QSize(128, 32));
            all.insert(Pixels(p));
        }
        EXPECT_EQ(DifferentPixelCount(en, enInv), 128 * 32);
        EXPECT_EQ(DifferentPixelCount(cht, chtInv), 128 * 32);
        EXPECT_GT(DifferentPixelCount(en, cht), 200) << s;
        EXPECT_GT(BlackPixelCount(cht), 150) << "Chinese text of state " << s;
        EXPECT_GT(BlackPixelCount(enInv), 128 * 32 / 2) << "inverted is mostly black";
    }
    EXPECT_EQ(all.size(), 40u);
}

TEST(DefaultImageTreeContent, LiftStatesAndFloorPicturesOfEveryStyle) {
    const TFileSet tree = BuildDefaultImageTree(Fonts());
    EXPECT_EQ(tree.size(), 40u + 5 * SampleFloorPictureNames().size());
    for (int s = 0; s < 10; ++s)
        for (int v = 0; v < 4; ++v) {
            const auto it = tree.find("DefaultImage/LiftState/" + LiftStateFileName(s, v));
            ASSERT_NE(it, tree.end());
            EXPECT_EQ(BmpBitsPerPixel(it->second), 1);
            EXPECT_EQ(DecodeBmp(it->second).size(), QSize(128, 32));
        }
    for (int style = 0; style < 5; ++style) {
        std::set<std::string> seen;
        for (const std::string& name : SampleFloorPictureNames()) {
            // Cells are upper-cased and name NAME.bmp; names of one or two characters would be
            // labels, not pictures.
            EXPECT_GE(name.size(), 3u);
            EXPECT_EQ(QString::fromStdString(name).toUpper().toStdString(), name);
            const auto it = tree.find("DefaultImage/UserDefine/Floor/Style" +
                                      std::to_string(style) + "/" + name + ".bmp");
            ASSERT_NE(it, tree.end()) << style << " " << name;
            const QImage picture = DecodeBmp(it->second);
            EXPECT_EQ(picture.size(), QSize(112, 80));
            EXPECT_GT(BlackPixelCount(picture), 300);
            seen.insert(it->second);
        }
        EXPECT_EQ(seen.size(), SampleFloorPictureNames().size());
    }
}
