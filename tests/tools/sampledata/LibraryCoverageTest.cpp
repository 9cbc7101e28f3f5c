// The library holds every entry that start-up, the previews and MAKE ROM read, each of the kind
// and size its reader expects. The places are listed here on their own, not taken from the
// generator's layout, so a wrong place in the generator shows up as a missing entry.

#include "SampleTestSupport.h"

#include "tools/sampledata/PictureFormats.h"

#include "app/core/TPictureLibrary.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>
#include <vector>

using namespace SampleTest;

namespace {

std::string Entry(int group, int index) {
    return SampleData::GlbEntryBytes(GlbBytes(), group, index);
}

// A picture the build encodes: a 1-bit BMP whose sides are whole bytes in both orientations.
void ExpectBmp(int group, int index, int width = 0, int height = 0) {
    SCOPED_TRACE(testing::Message() << "entry (" << group << ", " << index << ")");
    const std::string bytes = Entry(group, index);
    ASSERT_FALSE(bytes.empty());
    EXPECT_EQ(bytes.substr(0, 2), "BM");
    EXPECT_EQ(BmpBitsPerPixel(bytes), 1);
    const QImage image = DecodeBmp(bytes);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.width() % 8, 0);
    EXPECT_EQ(image.height() % 8, 0);
    if (width) {
        EXPECT_EQ(image.width(), width);
    }
    if (height) {
        EXPECT_EQ(image.height(), height);
    }
}

// A mono bitmap record copied unchanged: header size matches the byte count.
QImage ExpectRecord(int group, int index) {
    SCOPED_TRACE(testing::Message() << "entry (" << group << ", " << index << ")");
    const std::string bytes = Entry(group, index);
    EXPECT_GE(bytes.size(), 5u);
    const QImage image = SampleData::DecodeMonoRecord(bytes);
    EXPECT_FALSE(image.isNull());
    return image;
}

const std::vector<int> ArrowPreviewIndices = {100, 116, 126, 139, 152, 166,
                                              179, 192, 205, 218, 230, 243};

} // namespace

TEST(LibraryCoverage, StartupPreviewsArePresent) {
    ExpectBmp(0, 0, 128, 24);
    ExpectBmp(0, 5, 104, 24);
    for (int g = 1; g <= 5; ++g) ExpectBmp(g, 56, 56, 80);
    for (int i : ArrowPreviewIndices) ExpectBmp(1, i);
}

TEST(LibraryCoverage, FloorGlyphsOfEveryStyleAtTheirCharacterCodes) {
    const std::string chars = "-0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    // Every character of the floor-label table, in every style.
    for (int g = 1; g <= 5; ++g)
        for (char c : chars) ExpectBmp(g, static_cast<unsigned char>(c), 56, 80);
    // MAKE ROM reads indices 0 to 99: nothing else lies there (no lower case, no controls).
    for (int g = 1; g <= 5; ++g)
        for (int i = 0; i < 100; ++i)
            if (chars.find(char(i)) == std::string::npos) {
                EXPECT_TRUE(Entry(g, i).empty()) << i;
            }
}

TEST(LibraryCoverage, ArrowFramesOfAllTwelveStyles) {
    std::set<int> read;
    for (int s = 0; s < 12; ++s)
        for (int k = 0; k < 6; ++k) {
            ExpectBmp(1, 100 + 13 * s + k);
            ExpectBmp(1, 106 + 13 * s + k);
            read.insert({100 + 13 * s + k, 106 + 13 * s + k});
        }
    for (int i : ArrowPreviewIndices) EXPECT_TRUE(read.count(i)) << "preview " << i;
    // All frames of one style have one size.
    for (int s = 0; s < 12; ++s) {
        const QImage first = DecodeBmp(Entry(1, 100 + 13 * s));
        for (int k = 1; k < 12; ++k)
            EXPECT_EQ(DecodeBmp(Entry(1, 100 + 13 * s + k)).size(), first.size());
    }
}

TEST(LibraryCoverage, Group0PicturesTheBuildEncodes) {
    ExpectBmp(0, 222, 128, 32);
    ExpectBmp(0, 4);
    ExpectBmp(0, 9);
    for (int i = 197; i <= 210; ++i) ExpectBmp(0, i);
    for (int i = 219; i <= 229; ++i) ExpectBmp(0, i); // 222 doubles as title 2
}

TEST(LibraryCoverage, RawPicturesOneToThreeForBothDisplayTypes) {
    // Vertical display: (0, 1..3); horizontal: (0, 6..8); copied as ROM pictures 1 to 3.
    for (int i : {1, 2, 3, 6, 7, 8}) {
        SCOPED_TRACE(i);
        const std::string bytes = Entry(0, i);
        ASSERT_GT(bytes.size(), std::size_t(SampleData::PictureSetIndexSize));
        const auto glyphs = SampleData::DecodePictureSet(bytes);
        ASSERT_FALSE(glyphs.empty());
        for (const auto& [code, record] : glyphs)
            EXPECT_FALSE(SampleData::DecodeMonoRecord(record).isNull()) << code;
    }
}

TEST(LibraryCoverage, CalendarNamesForBothDisplayTypes) {
    for (int g : {6, 7}) {
        for (int i = 12; i <= 18; ++i) ExpectBmp(g, i); // English week days
        for (int w : {32, 52, 72})                      // WEEKLANG 0, 1, 2
            for (int i = w; i <= w + 6; ++i) ExpectBmp(g, i);
        for (int m : {0, 20, 40, 60}) // English, then WEEKLANG
            for (int i = m; i <= m + 11; ++i) ExpectBmp(g, i);
    }
}

TEST(LibraryCoverage, ConfigurationEntriesOfEveryCfiAndIfi) {
    // 247 and 248 before any model with OUTCPUBIN = 1 is read; 251 and 252 the defaults.
    for (int cfi : {247, 251}) EXPECT_GE(Entry(0, cfi).size(), 3328u) << cfi;
    for (int ifi : {248, 252}) {
        EXPECT_GT(Entry(0, ifi).size(), 0u) << ifi;
        EXPECT_LE(Entry(0, ifi).size(), 4096u) << ifi;
    }
}

TEST(LibraryCoverage, PmPicturesOfTheDefaultBank) {
    // BANK 2: OFFSET 116 and SETOFFSET 251; horizontal pairs at +0/+1, vertical at +2/+3.
    for (int first : {116, 251}) {
        std::size_t h = 0, v = 0;
        for (int k = 0; k < 2; ++k) {
            const QImage hi = ExpectRecord(2, first + k);
            const QImage vi = ExpectRecord(2, first + 2 + k);
            EXPECT_GT(hi.width(), hi.height()) << "horizontal record is landscape";
            EXPECT_LT(vi.width(), vi.height()) << "vertical record is stored turned";
            h += Entry(2, first + k).size();
            v += Entry(2, first + 2 + k).size();
        }
        // Two pairs and a 24-byte index fit the 32,768-byte PM block.
        EXPECT_LE(2 * h + 24, 32768u);
        EXPECT_LE(2 * v + 24, 32768u);
    }
}

TEST(LibraryCoverage, EveryEntryDecodesOrHasItsRawForm) {
    // The editor core's reader agrees with the layout, entry by entry.
    AppCore::TPictureLibrary reader;
    reader.Assign(std::vector<uint8_t>(GlbBytes().begin(), GlbBytes().end()));
    int pictures = 0;
    for (int g = 0; g < 8; ++g)
        for (int i = 0; i < 256; ++i) {
            const std::string bytes = Entry(g, i);
            const auto span = reader.Picture(g, i);
            ASSERT_EQ(std::string(span.begin(), span.end()), bytes) << g << ":" << i;
            if (bytes.empty()) continue;
            ++pictures;
            if (bytes.compare(0, 2, "BM") == 0) {
                EXPECT_FALSE(DecodeBmp(bytes).isNull()) << g << ":" << i;
                EXPECT_EQ(BmpBitsPerPixel(bytes), 1) << g << ":" << i;
                continue;
            }
            // Raw entries lie only where the build copies bytes unchanged.
            const std::set<std::pair<int, int>> raw = {
                {0, 1},   {0, 2},   {0, 3},   {0, 6},   {0, 7},   {0, 8},
                {0, 247}, {0, 248}, {0, 251}, {0, 252}, {2, 116}, {2, 117},
                {2, 118}, {2, 119}, {2, 251}, {2, 252}, {2, 253}, {2, 254}};
            EXPECT_TRUE(raw.count({g, i})) << "unexpected raw entry " << g << ":" << i;
        }
    EXPECT_EQ(pictures, static_cast<int>(Library().Entries().size()));
}

TEST(LibraryCoverage, GlbHeaderAndDirectoryLayout) {
    const std::string& glb = GlbBytes();
    ASSERT_GT(glb.size(), 8u + 8 * 2048);
    EXPECT_EQ(glb.substr(0, 6), "KRVGLB");
    // Entry (1, 56): big-endian offset and length at 8 + 2048 + 56 * 8.
    const std::size_t at = 8 + 1 * 2048 + 56 * 8;
    uint32_t offset = 0, length = 0;
    for (int b = 0; b < 4; ++b) {
        offset = (offset << 8) | static_cast<uint8_t>(glb[at + b]);
        length = (length << 8) | static_cast<uint8_t>(glb[at + 4 + b]);
    }
    EXPECT_GE(offset, 8u + 8 * 2048);
    EXPECT_EQ(glb.substr(offset, length), Entry(1, 56));
    EXPECT_EQ(glb.substr(offset, 2), "BM");
    // An empty entry is all zero.
    const std::size_t empty = 8 + 1 * 2048 + 97 * 8; // 'a': no lower-case glyphs
    EXPECT_EQ(glb.substr(empty, 8), std::string(8, '\0'));
}
