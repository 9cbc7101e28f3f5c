// Grid labels, bit-column orders, the floor-label table and the cell meaning rules.

#include "app/core/CodeTableLabels.h"
#include "app/core/CodeCell.h"
#include "app/core/DefMsgRule.h"

#include <gtest/gtest.h>

using namespace AppCore;

TEST(GridLabels, HexDecColumnAndHeaders) {
    EXPECT_EQ(HexDecLabel(0), "00 (0 )");
    EXPECT_EQ(HexDecLabel(10), "0A (10 )");
    EXPECT_EQ(HexDecLabel(255), "FF (255 )");
    EXPECT_EQ(CodeTableHeader(0), "CTBL0");
    EXPECT_EQ(CodeTableHeader(5), "CTBL5");
    EXPECT_STREQ(GridHeaderBits, "bit [ 5..0 ]");
    EXPECT_STREQ(GridHeaderHexDec, "HEX (DEC)");
}

TEST(GridLabels, BinaryOrderRows) {
    const auto& rows = BinaryOrderLabels(); // index = grid row - 1
    EXPECT_EQ(rows[0], "000000");
    EXPECT_EQ(rows[1], "000001");
    EXPECT_EQ(rows[2], "000010");
    EXPECT_EQ(rows[3], "000011");  // row 4
    EXPECT_EQ(rows[4], "000100");  // row 5
    EXPECT_EQ(rows[32], "100000"); // row 33
    EXPECT_EQ(rows[63], "111111"); // row 64
}

TEST(GridLabels, GrayOrderCodesOnlyTheLowFiveBits) {
    const auto& rows = GrayOrderLabels();
    const char* first8[] = {"000000", "000001", "000011", "000010",
                            "000110", "000111", "000101", "000100"};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(rows[i], first8[i]) << "row " << i + 1;
    EXPECT_EQ(rows[31], "010000"); // row 32
    EXPECT_EQ(rows[32], "100000"); // row 33: not the 6-bit Gray code's 110000
    EXPECT_EQ(rows[63], "110000"); // row 64
    // Neighbouring rows within each half differ in exactly one bit.
    for (int i = 1; i < 64; ++i) {
        if (i == 32) continue;
        int differences = 0;
        for (int b = 0; b < 6; ++b) differences += rows[i][b] != rows[i - 1][b];
        EXPECT_EQ(differences, 1) << "row " << i + 1;
    }
}

TEST(GridLabels, ModelChoosesOrder) {
    EXPECT_EQ(&BitLabelsForModel("KRV-GRY"), &GrayOrderLabels());
    EXPECT_EQ(&BitLabelsForModel("  KRV-GRY "), &GrayOrderLabels());
    EXPECT_EQ(&BitLabelsForModel("KRV-RS"), &BinaryOrderLabels());
    EXPECT_EQ(&BitLabelsForModel("krv-gry"), &BinaryOrderLabels());
    EXPECT_EQ(&BitLabelsForModel(""), &BinaryOrderLabels());
}

TEST(FloorLabels, TableEntries) {
    EXPECT_EQ(FloorLabel(0), "");
    EXPECT_EQ(FloorLabel(1), "1");
    EXPECT_EQ(FloorLabel(12), "12");
    EXPECT_EQ(FloorLabel(49), "49");
    EXPECT_EQ(FloorLabel(50), "-1");
    EXPECT_EQ(FloorLabel(58), "-9");
    EXPECT_EQ(FloorLabel(59), "");
    EXPECT_EQ(FloorLabel(60), "B1");
    EXPECT_EQ(FloorLabel(64), "B5");
    EXPECT_EQ(FloorLabel(70), "G");
    EXPECT_EQ(FloorLabel(71), "M");
    EXPECT_EQ(FloorLabel(72), "O");
    EXPECT_EQ(FloorLabel(75), "P");
    EXPECT_EQ(FloorLabel(78), "P3");
    EXPECT_EQ(FloorLabel(79), "R");
    EXPECT_EQ(FloorLabel(82), "R3");
    EXPECT_EQ(FloorLabel(127), "CF");
    EXPECT_EQ(FloorLabel(128), "LB");
    EXPECT_EQ(FloorLabel(132), "LG");
    EXPECT_EQ(FloorLabel(151), "1P");
    EXPECT_EQ(FloorLabel(155), "5P");
    EXPECT_EQ(FloorLabel(165), "HP");
    EXPECT_EQ(FloorLabel(255), "");
    EXPECT_EQ(FloorLabel(256), "");
    EXPECT_EQ(FloorLabel(-1), "");
    int listed = 0;
    for (int k = 0; k < 256; ++k) listed += !FloorLabel(k).empty();
    EXPECT_EQ(listed, 49 + 9 + 5 + 3 + 1 + 3 + 1 + 3 + 3 + 5 + 1);
}

TEST(CodeCells, MeaningByTrimmedLength) {
    EXPECT_EQ(CellMeaning("").Kind, TCellKind::Empty);
    EXPECT_EQ(CellMeaning("   ").Kind, TCellKind::Empty);
    EXPECT_EQ(CellMeaning(" 5 ").Kind, TCellKind::OneChar);
    EXPECT_EQ(CellMeaning("b1").Kind, TCellKind::TwoChars);
    EXPECT_EQ(CellMeaning("b1").Text, "B1");
    EXPECT_EQ(CellMeaning("05").Kind, TCellKind::TwoChars);
    EXPECT_EQ(CellMeaning(" b1arrow\t").Kind, TCellKind::Picture);
    EXPECT_EQ(CellMeaning(" b1arrow\t").Text, "B1ARROW");
    EXPECT_EQ(NormaliseCell("\xe4\xb8\x80x"), "\xe4\xb8\x80X"); // other bytes kept as they are
}

TEST(CodeCells, FloorPicturePath) {
    EXPECT_EQ(FloorPicturePath("/p/DefaultImage/UserDefine/Floor/Style", 2, "B1ARROW"),
              "/p/DefaultImage/UserDefine/Floor/Style2/B1ARROW.bmp");
}

TEST(DefMsg, TwoOfFourNormalisation) {
    const int expected[16] = {3, 3, 3, 3, 12, 5, 6, 5, 10, 9, 10, 3, 12, 12, 12, 3};
    for (int raw = 0; raw < 16; ++raw) EXPECT_EQ(NormaliseDefMsg(raw), expected[raw]) << raw;
    // Every stored mask selects exactly two variants and is a fixed point.
    for (int raw = 0; raw < 16; ++raw) {
        const int stored = NormaliseDefMsg(raw);
        EXPECT_EQ(__builtin_popcount(unsigned(stored)), 2);
        EXPECT_EQ(NormaliseDefMsg(stored), stored);
    }
}
