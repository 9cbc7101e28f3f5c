#include "XVclUtil/Crc8.h"
#include "XVclUtil/EConvertError.h"
#include "XVclUtil/EXGeneral.h"
#include "XVclUtil/HexAscii.h"
#include "XVclUtil/MessageBox.h"

#include <cstdint>
#include <cstring>
#include <gtest/gtest.h>
#include <vector>

using namespace XVclUtil;

TEST(Crc8, CheckValuesAndTable) {
    EXPECT_EQ(Crc8("123456789", 9), 0xA1);
    EXPECT_EQ(Crc8("abc", 3), 0x42);
    EXPECT_EQ(Crc8Table[1], 0x5E);
    EXPECT_EQ(Crc8Table[128], 0x8C);
    EXPECT_EQ(Crc8("", 0), 0);
    // A running CRC continues over split data.
    EXPECT_EQ(Crc8("6789", 4, Crc8("12345", 5)), 0xA1);
}

// Zero runs of every length around the word size and past the longest run taken at once, at
// every alignment, give the CRC of one table lookup per byte.
TEST(Crc8, ZeroRunsGiveTheBytewiseCrc) {
    auto bytewise = [](const std::vector<std::uint8_t>& data) {
        std::uint8_t crc = 0;
        for (std::uint8_t b : data) crc = Crc8Table[b ^ crc];
        return crc;
    };
    const std::size_t longest = 8 * 65535;
    for (std::size_t zeros :
         {std::size_t{0}, std::size_t{7}, std::size_t{8}, std::size_t{9}, std::size_t{64},
          std::size_t{1000}, longest - 8, longest, longest + 8, 2 * longest + 13})
        for (std::size_t lead = 0; lead < 9; ++lead) {
            std::vector<std::uint8_t> data(lead, 0x5A);
            data.resize(lead + zeros, 0);
            data.insert(data.end(), {0x31, 0, 0, 0, 0, 0, 0, 0, 0, 0x7E});
            EXPECT_EQ(Crc8(data.data(), data.size()), bytewise(data))
                << zeros << " zeros after " << lead << " bytes";
        }
}

TEST(EXGeneral, BothConstructors) {
    EXGeneral a("Err: %s !!!", "Constructor");
    EXPECT_STREQ(a.what(), "Err: Constructor !!!");
    EXPECT_EQ(a.ErrorCode, -1);
    EXGeneral b(42, "code %d", 7);
    EXPECT_EQ(b.Message, "code 7");
    EXPECT_EQ(b.ErrorCode, 42);
}

namespace {
struct TNamed : TNamedComponent {
    std::string ComponentName() const override { return "PcUart1"; }
};
} // namespace

TEST(MessageBox, SinkReceivesCaptionAndFormattedText) {
    TMessageCapture capture;
    ShowErrMsgBox_Printf("TXIniFile", "Err: Can not open file \n \"%s\" ", "a.ini");
    TNamed owner;
    ShowErrMsgBox_Printf(&owner, "value %d", 5);
    ASSERT_EQ(capture.Messages.size(), 2u);
    EXPECT_EQ(capture.Messages[0].first, "TXIniFile");
    EXPECT_EQ(capture.Messages[0].second, "Err: Can not open file \n \"a.ini\" ");
    EXPECT_EQ(capture.Messages[1].first, "PcUart1");
    EXPECT_EQ(capture.Messages[1].second, "value 5");
}

TEST(MessageBox, LongMessagesAreNotTruncated) {
    TMessageCapture capture;
    std::string big(5000, 'x');
    ShowErrMsgBox_Printf("c", "%s", big.c_str());
    ASSERT_EQ(capture.Messages.size(), 1u);
    EXPECT_EQ(capture.Messages[0].second.size(), 5000u);
}

TEST(HexAscii, TwoUpperCaseDigitsWithoutNul) {
    char buf[3] = {'?', '?', '?'};
    BinToHexAscii(0xA5, buf);
    EXPECT_EQ(buf[0], 'A');
    EXPECT_EQ(buf[1], '5');
    EXPECT_EQ(buf[2], '?');
    BinToHexAscii(0x0F, buf);
    EXPECT_EQ(std::string(buf, 2), "0F");
}

TEST(StrToInt, StrictIntegerConversion) {
    EXPECT_EQ(StrToInt("42"), 42);
    EXPECT_EQ(StrToInt(" -7 "), -7);
    EXPECT_EQ(StrToInt("+3"), 3);
    EXPECT_EQ(StrToInt("0x1F"), 31);
    EXPECT_EQ(StrToInt("$FF"), 255);
    EXPECT_EQ(StrToInt("-2147483648"), INT32_MIN);
    EXPECT_EQ(StrToInt("0xFFFFFFFF"), -1);
    for (const char* bad :
         {"", " ", "abc", "12abc", "2147483648", "1 2", "-", "0x", "9999999999999"})
        EXPECT_THROW(StrToInt(bad), EConvertError) << bad;
    try {
        StrToInt("abc");
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "'abc' is not a valid integer value");
    }
}
