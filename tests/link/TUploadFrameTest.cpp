#include "link/TUploadFrame.h"

#include "XVclUtil/Crc8.h"
#include "XVclUtil/EXGeneral.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace Link;

namespace {

TLocalTime WorkedExample() {
    TLocalTime t;
    t.Year = 2010;
    t.Month = 3;
    t.Day = 17;
    t.DayOfWeek = 3; // Wednesday
    t.Hour = 14;
    t.Minute = 5;
    t.Second = 9;
    t.Millisecond = 456;
    return t;
}

std::vector<std::uint8_t> PatternImage() {
    std::vector<std::uint8_t> image(ImageBufferSize);
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<std::uint8_t>(i * 7 + (i >> 9));
    return image;
}

} // namespace

TEST(DateTimeFrame, WorkedExampleGivesCrc9D) {
    TUploadFrame f;
    f.BuildDateTime(WorkedExample());
    const std::uint8_t head[] = {0x01, 0x00, 0x01, 0x10, 0x03, 0x17, 0x03, 0x14, 0x05, 0x09};
    for (std::size_t i = 0; i < sizeof head; ++i) EXPECT_EQ(f.Bytes[i], head[i]) << "byte " << i;
    for (std::size_t i = sizeof head; i < 67; ++i) EXPECT_EQ(f.Bytes[i], 0) << "byte " << i;
    EXPECT_EQ(f.Bytes[67], 0x9D);
    EXPECT_EQ(f.Crc(), 0x9D);
}

TEST(DateTimeFrame, BcdFieldsAndSunday) {
    TLocalTime t;
    t.Year = 1999;
    t.Month = 12;
    t.Day = 31;
    t.DayOfWeek = 7;
    t.Hour = 23;
    t.Minute = 59;
    t.Second = 58;
    TUploadFrame f;
    f.BuildDateTime(t);
    EXPECT_EQ(f.Bytes[3], 0x99);
    EXPECT_EQ(f.Bytes[4], 0x12);
    EXPECT_EQ(f.Bytes[5], 0x31);
    EXPECT_EQ(f.Bytes[6], 7);
    EXPECT_EQ(f.Bytes[7], 0x23);
    EXPECT_EQ(f.Bytes[8], 0x59);
    EXPECT_EQ(f.Bytes[9], 0x58);
    EXPECT_EQ(ToBcd(0), 0x00);
    EXPECT_EQ(ToBcd(7), 0x07);
    EXPECT_EQ(ToBcd(45), 0x45);
}

TEST(RomBlockFrame, IndexBytesDataAndCrc) {
    const auto image = PatternImage();
    TUploadFrame f;
    f.BuildRomBlock(image.data(), 1);
    EXPECT_EQ(f.Bytes[0], 3);
    EXPECT_EQ(f.Bytes[1], 0);
    EXPECT_EQ(f.Bytes[2], 0);
    EXPECT_EQ(0, std::memcmp(&f.Bytes[3], image.data(), 64));
    EXPECT_EQ(f.Crc(), XVclUtil::Crc8(f.Bytes.data(), 67));

    f.BuildRomBlock(image.data(), 66); // (65 div 64, 65 mod 64)
    EXPECT_EQ(f.Bytes[1], 1);
    EXPECT_EQ(f.Bytes[2], 1);
    EXPECT_EQ(0, std::memcmp(&f.Bytes[3], image.data() + 65 * 64, 64));

    f.BuildRomBlock(image.data(), MaxRomBlockCount);
    EXPECT_EQ(f.Bytes[1], 0x6F);
    EXPECT_EQ(f.Bytes[2], 0x3F);
    EXPECT_EQ(0, std::memcmp(&f.Bytes[3], image.data() + ImageBufferSize - 64, 64));
    EXPECT_EQ(f.Crc(), XVclUtil::Crc8(f.Bytes.data(), 67));
}

TEST(RomBlockFrame, OutOfRangeBlocksAreRefused) {
    const auto image = PatternImage();
    TUploadFrame f;
    EXPECT_THROW(f.BuildRomBlock(image.data(), 0), XVclUtil::EXGeneral);
    EXPECT_THROW(f.BuildRomBlock(image.data(), MaxRomBlockCount + 1), XVclUtil::EXGeneral);
    EXPECT_THROW(f.BuildAppBlock(image.data(), AppBlockCount + 1), XVclUtil::EXGeneral);
}

TEST(AppBlockFrame, TakesThePmBlockWithTheRomIndexBytes) {
    const auto image = PatternImage();
    TUploadFrame app, rom;
    for (unsigned n : {1u, 64u, 65u, 200u, 512u}) {
        app.BuildAppBlock(image.data(), n);
        rom.BuildRomBlock(image.data(), n);
        EXPECT_EQ(app.Bytes[0], 4);
        EXPECT_EQ(app.Bytes[1], rom.Bytes[1]) << n;
        EXPECT_EQ(app.Bytes[2], rom.Bytes[2]) << n;
        EXPECT_EQ(0, std::memcmp(&app.Bytes[3], image.data() + 0x4C000 + (n - 1) * 64, 64));
        EXPECT_EQ(app.Crc(), XVclUtil::Crc8(app.Bytes.data(), 67));
    }
    app.BuildAppBlock(image.data(), 512);
    EXPECT_EQ(app.Bytes[1], 7);
    EXPECT_EQ(app.Bytes[2], 0x3F);
}

TEST(LocalTime, ElapsedAcrossMidnight) {
    TLocalTime start;
    start.Year = 2024;
    start.Month = 2;
    start.Day = 29;
    start.Hour = 23;
    start.Minute = 59;
    start.Second = 50;
    start.Millisecond = 500;
    TLocalTime end = start;
    end.Month = 3;
    end.Day = 1;
    end.Hour = 0;
    end.Minute = 0;
    end.Second = 2;
    end.Millisecond = 250;
    EXPECT_EQ(ElapsedMilliseconds(start, end), 11'750);
    end = start;
    end.Second = 55;
    end.Millisecond = 0;
    EXPECT_EQ(ElapsedMilliseconds(start, end), 4'500);
}

TEST(LocalTime, NowIsAPlausibleReading) {
    const auto t = TLocalTime::Now();
    EXPECT_GE(t.Year, 2020);
    EXPECT_GE(t.DayOfWeek, 1);
    EXPECT_LE(t.DayOfWeek, 7);
    EXPECT_LT(t.Millisecond, 1000);
    EXPECT_EQ(TLocalTime{}.DayNumber(), 10957); // 2000-01-01
}
