// The pictures MAKE ROM takes from the sample data fit the ROM image's picture area, for either
// display type and any week language, with room left for the user's own lift-state pictures.

#include "SampleTestSupport.h"

#include "tools/sampledata/DefaultImageTree.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace SampleTest;

namespace {

constexpr std::size_t PictureArea = 272896; // 0x8600 .. 0x4AFFF of the ROM image

std::string Entry(int group, int index) {
    return SampleData::GlbEntryBytes(GlbBytes(), group, index);
}

// Size of the mono bitmap record the build encodes from a library picture; 0 when absent.
std::size_t Encoded(int group, int index) {
    const std::string bytes = Entry(group, index);
    if (bytes.empty()) return 0;
    const QImage p = DecodeBmp(bytes);
    return 4 + std::size_t(p.width()) * p.height() / 8;
}

std::size_t EncodedRange(int group, int first, int last) {
    std::size_t n = 0;
    for (int i = first; i <= last; ++i) n += Encoded(group, i);
    return n;
}

std::size_t PictureData(bool vertical) {
    const int calendar = vertical ? 6 : 7;
    std::size_t total = 0;
    const int raw = vertical ? 1 : 6; // M_1 .. M_3, copied raw from (0, 1..3) or (0, 6..8)
    for (int i = raw; i < raw + 3; ++i) total += Entry(0, i).size();
    total += Encoded(0, vertical ? 4 : 9);                               // M_4
    for (int g = 1; g <= 5; ++g) total += 1536 + EncodedRange(g, 0, 99); // M_10 .. M_14
    for (int s = 0; s < 12; ++s)                                         // M_30 .. M_41
        total += 1536 + EncodedRange(1, 100 + 13 * s, 105 + 13 * s) +
                 EncodedRange(1, 106 + 13 * s, 111 + 13 * s);
    std::size_t week = 0, months = EncodedRange(calendar, 0, 11);
    for (int w : {32, 52, 72}) week = std::max(week, EncodedRange(calendar, w, w + 6));
    for (int m : {20, 40, 60}) months = std::max(months, EncodedRange(calendar, m, m + 11));
    total += week + months; // M_143..149, M_231..242
    total += 40 * (4 + SampleData::LiftStatePictureWidth * SampleData::LiftStatePictureHeight / 8);
    total += EncodedRange(calendar, 12, 18); // M_211 .. M_217
    total += EncodedRange(0, 197, 210) + EncodedRange(0, 219, 229);
    return total;
}

} // namespace

TEST(RomBudget, SamplePicturesFitThePictureArea) {
    for (bool vertical : {true, false}) {
        const std::size_t used = PictureData(vertical);
        EXPECT_LE(used, PictureArea) << (vertical ? "vertical" : "horizontal");
        // A sixth of the area stays free for bigger user pictures.
        EXPECT_LE(used, PictureArea * 5 / 6) << used;
        RecordProperty(vertical ? "vertical_bytes" : "horizontal_bytes", int(used));
    }
}
