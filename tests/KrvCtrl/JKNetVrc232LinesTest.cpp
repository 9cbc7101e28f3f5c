// The gateway's line protocol as text: register replies, packet lines both ways.

#include "KrvCtrl/JKNetVrc232Lines.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace KrvCtrl;

namespace {

bool Reply(const std::string& line, char* reg = nullptr, int* value = nullptr,
           unsigned* bit = nullptr) {
    TVrc232RegisterReply r;
    const bool ok = ParseVrc232RegisterReply(line, r);
    if (reg) *reg = r.Register;
    if (value) *value = r.Value;
    if (bit) *bit = r.Bit;
    return ok;
}

std::vector<int> Packet(const std::string& line) {
    TJknRxdPacket p;
    std::memset(&p, 0x5A, sizeof p);
    if (!DecodeVrc232PacketLine(line, p)) return {};
    const auto* raw = reinterpret_cast<const std::uint8_t*>(&p);
    return std::vector<int>(raw, raw + sizeof p);
}

} // namespace

TEST(JKNetVrc232Lines, RegisterReplyCarriesExactlyTwoHexDigits) {
    char reg = 0;
    int value = -1;
    unsigned bit = 0;
    ASSERT_TRUE(Reply("*R9=10\r\n", &reg, &value, &bit));
    EXPECT_EQ(reg, '9');
    EXPECT_EQ(value, 0x10);
    EXPECT_EQ(bit, 0x0200u);
    ASSERT_TRUE(Reply("*RE=aF\r\n", &reg, &value, &bit));
    EXPECT_EQ(value, 0xAF);
    EXPECT_EQ(bit, 0x4000u);
    ASSERT_TRUE(Reply("*RF=00\n", &reg, &value, &bit));
    EXPECT_EQ(bit, 0x8000u);
    EXPECT_TRUE(Reply("*R0=05"));
    EXPECT_FALSE(Reply("*R1=5\r\n"));
    EXPECT_FALSE(Reply("*R1=005\r\n"));
    EXPECT_FALSE(Reply("*R1= 5\r\n"));
    EXPECT_FALSE(Reply("*R1=+5\r\n"));
    EXPECT_FALSE(Reply("*R1=G5\r\n"));
    EXPECT_FALSE(Reply("*R1=\r\n"));
    EXPECT_FALSE(Reply("*R1"));
}

TEST(JKNetVrc232Lines, OnlyKnownRegisterCharacters) {
    for (char c : std::string("013456789EF"))
        EXPECT_TRUE(Reply(std::string("*R") + c + "=01\r\n")) << c;
    for (char c : std::string("2ABCDe f"))
        EXPECT_FALSE(Reply(std::string("*R") + c + "=01\r\n")) << c;
    EXPECT_FALSE(Reply("*r1=01\r\n"));
    EXPECT_FALSE(Reply(" *R1=01\r\n"));
    EXPECT_FALSE(Reply("*R1:01\r\n"));
}

TEST(JKNetVrc232Lines, PacketLineDecodes) {
    std::vector<int> p = Packet("@0105021480\r\n");
    ASSERT_FALSE(p.empty());
    EXPECT_EQ((std::vector<int>(p.begin(), p.begin() + 5)),
              (std::vector<int>{1, 5, 2, 0x14, 0x80}));
    EXPECT_EQ(p[5], 0); // zero-filled beyond the packet
    EXPECT_FALSE(Packet("@0105021480\n").empty());
    EXPECT_FALSE(Packet("@01050214AB\r\n").empty());
    // The count covers the command code and its data: a bare code is a packet of 4 bytes.
    p = Packet("@0105011F\r\n");
    ASSERT_FALSE(p.empty());
    EXPECT_EQ(p[3], 0x1F);
    EXPECT_EQ(p[4], 0);
}

TEST(JKNetVrc232Lines, MalformedPacketLinesAreDiscarded) {
    EXPECT_TRUE(Packet("@01050214ab\r\n").empty());  // lower-case digits
    EXPECT_TRUE(Packet("@0105031480\r\n").empty());  // count 3, two bytes follow
    EXPECT_TRUE(Packet("@0105011480\r\n").empty());  // count 1, two bytes follow
    EXPECT_TRUE(Packet("@01050014\r\n").empty());    // count 0
    EXPECT_TRUE(Packet("@010501\r\n").empty());      // fewer than 4 bytes
    EXPECT_TRUE(Packet("@0105021480").empty());      // no line end
    EXPECT_TRUE(Packet("@010502148\r\n").empty());   // half a pair
    EXPECT_TRUE(Packet("@01050214 80\r\n").empty()); // blank inside
    EXPECT_TRUE(Packet("@0105021480x\r\n").empty()); // other end than CR or LF
    EXPECT_TRUE(Packet("0105021480\r\n").empty());
    EXPECT_TRUE(Packet("").empty());
}

TEST(JKNetVrc232Lines, PacketOfMoreThanTwentyBytesIsDropped) {
    std::string line20 = "@01051181";
    for (int i = 0; i < 16; ++i) line20 += "00";
    EXPECT_FALSE(Packet(line20 + "\r\n").empty()); // 3 + 17 = 20 bytes
    std::string line21 = "@01051281";
    for (int i = 0; i < 17; ++i) line21 += "00";
    EXPECT_TRUE(Packet(line21 + "\r\n").empty());
    std::string huge = "@0105FF81";
    for (int i = 0; i < 254; ++i) huge += "00";
    EXPECT_TRUE(Packet(huge + "\r\n").empty());
}

TEST(JKNetVrc232Lines, PacketLineToTheNetwork) {
    _SJKNTXDPACKET p{};
    p.JknSegId = 0x01;
    p.JknNodeId = 0x05;
    p.BytesOfDatas = 1;
    p.Datas[0] = 0x04;
    EXPECT_EQ(EncodeVrc232PacketLine(p), ">01050104\r\n");
    p.BytesOfDatas = 2;
    p.Datas[0] = 0x84;
    p.Datas[1] = 0xAB;
    EXPECT_EQ(EncodeVrc232PacketLine(p), ">01050284AB\r\n");
    p.BytesOfDatas = 255;
    EXPECT_EQ(EncodeVrc232PacketLine(p).size(), 1u + 2 * 258 + 2);
}
