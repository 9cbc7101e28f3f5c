// The member line of a topology file, read as the C scanner reads its pattern.

#include "KrvCtrl/JKNetTopologicLine.h"

#include <gtest/gtest.h>

using KrvCtrl::ScanJknMemberLine;
using KrvCtrl::TJknMemberLine;

namespace {

bool Scan(const std::string& text, std::string* device = nullptr, unsigned* node = nullptr) {
    TJknMemberLine line;
    const bool ok = ScanJknMemberLine(text, line);
    if (device) *device = line.Device;
    if (node) *node = line.NetNodeId;
    return ok;
}

} // namespace

TEST(JKNetMemberLine, AcceptsWhiteSpaceWhereThePatternHasABlank) {
    std::string device;
    unsigned node = 0;
    ASSERT_TRUE(Scan("Device( \"VRC_4i4o\" ) , NetNodeId( 0x01 )", &device, &node));
    EXPECT_EQ(device, "VRC_4i4o");
    EXPECT_EQ(node, 1u);
    ASSERT_TRUE(Scan("Device(\"a b\"),NetNodeId(0x7f)", &device, &node));
    EXPECT_EQ(device, "a b");
    EXPECT_EQ(node, 0x7Fu);
    ASSERT_TRUE(Scan(" \t Device(\t\"X\"\t)\t,\tNetNodeId(\t0x\t1A", &device, &node));
    EXPECT_EQ(node, 0x1Au);
}

TEST(JKNetMemberLine, TrailingTextAfterTheNumberIsNotLookedAt) {
    unsigned node = 0;
    EXPECT_TRUE(Scan("Device(\"X\"),NetNodeId(0x10", nullptr, &node));
    EXPECT_TRUE(Scan("Device(\"X\"),NetNodeId(0x10zz) trailing", nullptr, &node));
    EXPECT_EQ(node, 0x10u);
}

TEST(JKNetMemberLine, NumberFollowsTheScannersHexRules) {
    unsigned node = 0;
    EXPECT_TRUE(Scan("Device(\"X\"),NetNodeId(0x0x20)", nullptr, &node));
    EXPECT_EQ(node, 0x20u);
    EXPECT_TRUE(Scan("Device(\"X\"),NetNodeId(0x-1)", nullptr, &node));
    EXPECT_EQ(node, 0xFFFFFFFFu);
    EXPECT_TRUE(Scan("Device(\"X\"),NetNodeId(0x123456789ABCDEF)", nullptr, &node));
    EXPECT_EQ(node, 0xFFFFFFFFu);
    EXPECT_TRUE(Scan("Device(\"X\"),NetNodeId(0x 5)", nullptr, &node));
    EXPECT_EQ(node, 5u);
}

TEST(JKNetMemberLine, RefusesLinesMissingAPart) {
    EXPECT_FALSE(Scan(""));
    EXPECT_FALSE(Scan("Device(\"VRC_4i4o\")"));
    EXPECT_FALSE(Scan("Device(\"VRC_4i4o\"),NetNodeId()"));
    EXPECT_FALSE(Scan("Device(\"VRC_4i4o\"),NetNodeId(01)"));
    EXPECT_FALSE(Scan("Device(\"VRC_4i4o\"),NetNodeId(0X01)"));
    EXPECT_FALSE(Scan("Device (\"VRC_4i4o\"),NetNodeId(0x01)"));
    EXPECT_FALSE(Scan("device(\"VRC_4i4o\"),NetNodeId(0x01)"));
    EXPECT_FALSE(Scan("Device(\"\"),NetNodeId(0x01)"));
    EXPECT_FALSE(Scan("Device(\"VRC_4i4o),NetNodeId(0x01)"));
    EXPECT_FALSE(Scan("Device(VRC_4i4o),NetNodeId(0x01)"));
    EXPECT_FALSE(Scan("Device(\"X\"),NetNodeId(0xZZ)"));
}

TEST(JKNetMemberLine, SameTextAsciiIgnoresCaseOnly) {
    EXPECT_TRUE(KrvCtrl::SameTextAscii("vrc_4I4O", "VRC_4i4o"));
    EXPECT_FALSE(KrvCtrl::SameTextAscii("VRC_4i4o ", "VRC_4i4o"));
    EXPECT_FALSE(KrvCtrl::SameTextAscii("VRC-4i4o", "VRC_4i4o"));
}
