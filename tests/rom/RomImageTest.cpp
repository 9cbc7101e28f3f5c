// The configuration block, the ROM image layout and reading an image back.

#include "rom/RomImage.h"
#include "RomTestSupport.h"
#include "XVclUtil/Crc8.h"
#include "rom/PictureEntry.h"
#include "rom/PicturePacking.h"
#include "rom/TMemoryWorkFolder.h"
#include "rom/TRomImageReader.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace Rom;
using namespace RomTest;

namespace {

std::string Text(const TConfigBlock& c, std::size_t at, std::size_t n) {
    return std::string(reinterpret_cast<const char*>(c.Data.data() + at), n);
}

TEST(ConfigBlock, OptionBytesAndFixedContent) {
    TRomOptions o;
    o.DEF_DIR = 7;
    o.DEF_FL = 3;
    o.DATEFORMAT = 1;
    o.CUSTOMERTITLE = 0;
    o.DEF_MSG = 12;
    o.DPDATETIME = 0;
    o.OUTDATE = "100429XYZ";
    o.WEEKTYPE = 0;
    o.FLFRAME = 1;
    o.DEFCODETABLE = 4;
    o.CUSIDCODE = "AB";
    o.CUSLOGOENABLE = 1;
    o.SWAPTIME = 9;
    o.PWRSAVING = 16;
    o.DPSTYLE = 2;
    TCodeTables tables;
    tables.Kind[5][255] = 0xFE;
    tables.Value[5][255] = 0x42;
    TConfigBlock c;
    c.Fill(o, tables);
    const auto& d = c.Data;
    EXPECT_EQ(Text(c, 0x2000, 10), "KRVFLLCD02");
    EXPECT_EQ(TBytes(d.begin() + 0x200A, d.begin() + 0x2011), (TBytes{1, 2, 0xFF, 0x70, 0, 0, 0}));
    EXPECT_EQ(d[0x2011], 37);
    EXPECT_EQ(d[0x2012], 13);
    EXPECT_EQ(d[0x2013], 1);
    EXPECT_EQ(d[0x2014], 0);
    EXPECT_EQ(d[0x2016], 12);
    EXPECT_EQ(d[0x2017], 0);
    EXPECT_EQ(Text(c, 0x201E, 6), "100429");
    EXPECT_EQ(d[0x2024], 0);
    EXPECT_EQ(d[0x2026], 1);
    EXPECT_EQ(d[0x2027], 4);
    EXPECT_EQ(TBytes(d.begin() + 0x2028, d.begin() + 0x2030), (TBytes{'A', 'B', 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(d[0x2030], 1);
    EXPECT_EQ(d[0x2031], 10);
    EXPECT_EQ(d[0x2032], 16);
    EXPECT_EQ(d[0x2033], 2);
    EXPECT_EQ(d[0x1400 + 5 * 512 + 255], 0xFE);
    EXPECT_EQ(d[0x1400 + 5 * 512 + 256 + 255], 0x42);
    EXPECT_EQ(0, std::memcmp(d.data() + 0xD00, XVclUtil::Crc8Table.data(), 256));
    EXPECT_EQ(Text(c, 0xE00, 16), "Wait host data. ");
    EXPECT_EQ(Text(c, 0xE70, 16), "=Update CFG Mem=");
    EXPECT_EQ(Text(c, 0xE80, 30), std::string(30, '*'));
    EXPECT_EQ(Text(c, 0xF34, 30), "*   please wait a moment..   *");
    EXPECT_EQ(d[0xF52], 0);
    for (std::size_t i = 0x2034; i < 0x2C00; ++i) ASSERT_EQ(d[i], 0) << i;
}

TEST(ConfigBlock, EmptyDateAndIdCodeGetDefaults) {
    TConfigBlock c;
    TRomOptions o;
    o.CUSLOGOENABLE = 0;
    o.SWAPTIME = 5;
    c.Fill(o, TCodeTables{});
    EXPECT_EQ(Text(c, 0x201E, 6), "000000");
    EXPECT_EQ(Text(c, 0x2028, 4), DefaultIdCode);
    EXPECT_EQ(c.Data[0x2031], 0); // logo off: no display time
    EXPECT_EQ(c.Data[0x2024], 1); // English
    EXPECT_EQ(c.Data[0x2033], 1); // Right
}

TEST(ConfigBlock, CheckByteCoversD00To2BFF) {
    TConfigBlock c;
    c.Fill(TRomOptions{}, TCodeTables{});
    TBytes cfi(5000, 0x33), ifi(4096, 0x44);
    c.SetCfi(cfi);
    ASSERT_TRUE(c.SetIfi(ifi));
    c.SealCheckByte();
    const auto& d = c.Data;
    EXPECT_EQ(d[0xCFF], 0x33);
    EXPECT_NE(d[0xD00], 0x33); // CFI stops at 3,328 bytes
    EXPECT_EQ(d[0x3BFF], 0x44);
    TBytes copy(d.begin() + 0xD00, d.begin() + 0x2C00);
    copy.back() = 0;
    EXPECT_EQ(d[0x2BFF], XVclUtil::Crc8(copy.data(), copy.size()));
    std::uint8_t before = d[0x2BFF];
    c.SealCheckByte(); // sealing again gives the same byte
    EXPECT_EQ(c.Data[0x2BFF], before);
    EXPECT_FALSE(c.SetIfi(TBytes(4097, 1)));
    EXPECT_EQ(c.Data[0x2C00], 0x44);
}

TEST(ConfigBlock, CodeTableBlockRoundTrips) {
    TRomOptions o;
    o.DEF_DIR = 11;
    o.DEF_FL = 4;
    o.CUSIDCODE = "Z9Q1";
    o.OUTDATE = "240101";
    o.CUSLOGOENABLE = 1;
    o.SWAPTIME = 29;
    TCodeTables t;
    t.Kind[2][10] = '1';
    t.Value[2][10] = '2';
    TConfigBlock c;
    c.Fill(o, t);
    auto block = c.CodeTableBlock();
    TDecodedCodeTableBlock d = DecodeCodeTableBlock(block);
    EXPECT_TRUE(d.SignatureOk);
    EXPECT_EQ(d.Options.DEF_DIR, 11);
    EXPECT_EQ(d.Options.DEF_FL, 4);
    EXPECT_EQ(d.Options.CUSIDCODE, "Z9Q1");
    EXPECT_EQ(d.Options.OUTDATE, "240101");
    EXPECT_EQ(d.Options.SWAPTIME, 29);
    EXPECT_EQ(d.LogoSeconds, 30);
    EXPECT_EQ(d.Tables.Kind[2][10], '1');
    EXPECT_EQ(d.Tables.Value[2][10], '2');
}

TRomBlocks Blocks() {
    TRomBlocks b;
    TConfigBlock c;
    c.Fill(TRomOptions{}, TCodeTables{});
    b.CodeTable = c.CodeTableBlock();
    return b;
}

TEST(RomImage, EmptyBuildHasOnlyTheFixedEntries) {
    TMemoryWorkFolder folder;
    auto image = BuildRomImage(folder, "M_", Blocks());
    ASSERT_TRUE(image);
    ASSERT_EQ(image->size(), 458752u);
    for (int n = 0; n < 256; ++n) {
        const std::uint8_t* e = image->data() + 0x8000 + n * 6;
        if (n >= 140 && n <= 142)
            EXPECT_EQ(0, std::memcmp(e, FixedEntryBytes[n - 140], 6));
        else
            EXPECT_FALSE(GetPictureEntry(e).Present) << n;
    }
    EXPECT_EQ(image->at(0x7FF0), 0);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(image->data() + 0x7FF1), 15),
              "PX KRV LCD MONO");
    EXPECT_EQ(image->at(0x100 + 1), 0x5E); // second table copy, entry 1
    EXPECT_EQ(image->at(0x800), 0);
    EXPECT_EQ(image->at(0x86F + 1), 0);
    TRomImageReader reader;
    EXPECT_TRUE(reader.Load(*image));
    EXPECT_TRUE(reader.Pictures().empty());
}

TEST(RomImage, OnePictureOfHundredBytes) {
    TMemoryWorkFolder folder;
    folder.Write("M_0", TBytes(100, 0x5C));
    auto image = BuildRomImage(folder, "M_", Blocks());
    ASSERT_TRUE(image);
    EXPECT_EQ(TBytes(image->begin() + 0x8000, image->begin() + 0x8006),
              (TBytes{0x10, 0x06, 0x00, 0x00, 0x64, 0x01}));
    EXPECT_EQ(image->at(0x8600), 0x5C);
    EXPECT_EQ(image->at(0x8663), 0x5C);
    EXPECT_EQ(image->at(0x8664), 0);
    EXPECT_TRUE(folder.Names().empty());
}

TEST(RomImage, PicturesAreBackToBackInIndexOrder) {
    TMemoryWorkFolder folder;
    folder.Write("M_200", TBytes(3, 2));
    folder.Write("M_7", TBytes(5, 1));
    auto image = BuildRomImage(folder, "M_", Blocks());
    ASSERT_TRUE(image);
    EXPECT_EQ(GetPictureEntry(image->data() + 0x8000 + 7 * 6).Address, 0x10600u);
    EXPECT_EQ(GetPictureEntry(image->data() + 0x8000 + 200 * 6).Address, 0x10605u);
    EXPECT_EQ(image->at(0x8605), 2);
}

TEST(RomImage, PageCheckByteZeroCoversIndexAndFirstPictureBytes) {
    TMemoryWorkFolder folder;
    auto image = BuildRomImage(folder, "M_", Blocks());
    ASSERT_TRUE(image);
    TBytes changed = *image;
    changed[0x8FFF] ^= 1; // last byte of page 0
    EXPECT_NE(PageCheckByte(changed.data(), 0), image->at(0x808));
    EXPECT_EQ(PageCheckByte(changed.data(), 1), image->at(0x809));
    changed = *image;
    changed[0x9000] ^= 1; // first byte of page 1
    EXPECT_EQ(PageCheckByte(changed.data(), 0), image->at(0x808));
    EXPECT_EQ(image->at(0x808), XVclUtil::Crc8(image->data() + 0x8000, 0x1000));
    EXPECT_EQ(image->at(0x808 + 103), XVclUtil::Crc8(image->data() + 0x6F000, 0x1000));
}

TEST(RomImage, CodeTableBlockGetsItsCheckByteAndBlocksTheirPlaces) {
    TRomBlocks b = Blocks();
    b.Pm[0] = 0xA1;
    b.Um[0] = 0xB2;
    b.Ubf.back() = 0xC3;
    TMemoryWorkFolder folder;
    auto image = BuildRomImage(folder, "M_", b);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->at(0x4B000 + 0xC00), 'K'); // configuration 0x2000
    EXPECT_EQ(image->at(0x4BFFF), XVclUtil::Crc8(image->data() + 0x4B000, 4095));
    EXPECT_EQ(image->at(0x4C000), 0xA1);
    EXPECT_EQ(image->at(0x54000), 0xB2);
    EXPECT_EQ(image->at(0x6FFFF), 0xC3);
}

TEST(RomImage, PictureDataBeyondTheCodeTableBlockIsRefused) {
    TMemoryWorkFolder folder;
    folder.Write("M_0", TBytes(0x42A00 - 10, 1));
    folder.Write("M_1", TBytes(10, 2));
    EXPECT_TRUE(BuildRomImage(folder, "M_", Blocks())); // exactly full
    folder.Write("M_0", TBytes(0x42A00 - 10, 1));
    folder.Write("M_1", TBytes(11, 2)); // one byte into the code-table block
    EXPECT_FALSE(BuildRomImage(folder, "M_", Blocks()));
    EXPECT_EQ(folder.Names().size(), 2u); // the work files stay for the caller
}

TEST(RomImage, WriteRomImageReplacesTheExtensionAndLeavesNoTemporary) {
    TTempDir dir;
    TMemoryWorkFolder folder;
    ASSERT_EQ(WriteRomImage(folder, "M_", dir / "demo.img", Blocks()), TRomWriteResult::Written);
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"demo.ROM"}));
    folder.Write("M_0", TBytes(0x43000, 1));
    EXPECT_EQ(WriteRomImage(folder, "M_", dir / "demo.ROM", Blocks()), TRomWriteResult::TooLong);
    EXPECT_EQ(ReadBytes(dir / "demo.ROM").size(), 458752u);
    TConfigBlock c;
    ASSERT_TRUE(WriteBinSideFile(dir / "demo.ROM", c));
    EXPECT_EQ(ReadBytes(dir / "demo.BIN"), TBytes(15360, 0));
}

// --- reading back ---

TBytes GoodImage() {
    TMemoryWorkFolder folder;
    folder.Write("M_4", EncodeRowMajor(Pic(MonoPicture(16, 8, {{0, 0}}))));
    folder.Write("M_1", TBytes(50, 9));
    folder.Write("DIR0_1", EncodeRowMajor(Pic(MonoPicture(8, 8, {{1, 1}}))));
    folder.Write("DIR0_21", EncodeRowMajor(Pic(MonoPicture(8, 8, {{2, 2}}))));
    PackNumberedPictures(folder, "DIR0_", "M_30");
    TRomBlocks b = Blocks();
    folder.Write("UBF_0", EncodeRowMajor(Pic(MonoPicture(16, 16))));
    folder.Write("UBF_1", EncodeRowMajor(Pic(MonoPicture(24, 8))));
    PackPictureBlock(folder, "UBF_", 2, 0, b.Ubf);
    folder.Write("UM_1", EncodeRotated(Pic(MonoPicture(128, 24))));
    PackPictureBlock(folder, "UM_", 3, 0, b.Um);
    folder.Write("PM_2", TBytes(77, 3));
    PackPictureBlock(folder, "PM_", 4, PmBlockAddress, b.Pm);
    return *BuildRomImage(folder, "M_", b);
}

const TRomCheck* FindCheck(const TRomImageReader& r, const std::string& name) {
    for (const auto& c : r.Checks())
        if (c.Name == name) return &c;
    return nullptr;
}

TEST(RomImageReader, FindsEveryPicture) {
    TRomImageReader r;
    ASSERT_TRUE(r.Load(GoodImage()));
    std::vector<std::string> names;
    for (const auto& p : r.Pictures()) names.push_back(p.Name);
    EXPECT_EQ(names, (std::vector<std::string>{"M_1", "M_4", "M_30", "M_30.1", "M_30.21", "PM_2",
                                               "UM_1", "UBF_0", "UBF_1"}));
    EXPECT_EQ(r.FloorPictureCount(), 2);
    EXPECT_EQ(r.DisplayType(), TDisplayType::Vertical); // the title is stored turned
    const TRomPicture& m4 = r.Pictures()[1];
    EXPECT_TRUE(m4.IsRecord);
    EXPECT_EQ(m4.Width, 16);
    EXPECT_EQ(r.Pictures()[2].SetPictures, 2);
    EXPECT_FALSE(r.Pictures()[0].IsRecord); // raw
    const TPicture title = r.ViewImage(r.Pictures()[6]);
    EXPECT_EQ(title.Width, 128); // upright again
    EXPECT_EQ(title.Height, 24);
}

// Each kind of damage fails its own check, and only that one.
void ExpectOnlyFails(TBytes image, const std::string& check) {
    TRomImageReader r;
    EXPECT_FALSE(r.Load(image)) << check;
    for (const auto& c : r.Checks()) EXPECT_EQ(c.Ok, c.Name != check) << c.Name << ": " << c.Detail;
}

void Reseal(TBytes& image) {
    SealPageChecks(image);
}

TEST(RomImageReader, EachDamageFailsItsCheck) {
    const TBytes good = GoodImage();
    TBytes x = good;
    x[0x7FF5] = 'x';
    ExpectOnlyFails(x, "signature");
    x = good;
    x[0x3001] ^= 0xFF;
    ExpectOnlyFails(x, "CRC-8 table copies");
    x = good;
    x[0x801] = 1;
    ExpectOnlyFails(x, "page check area");
    x = good;
    x[0x20000] ^= 0x10;
    ExpectOnlyFails(x, "page check bytes");
    x = good;
    x[0x4B010] ^= 1;
    Reseal(x);
    ExpectOnlyFails(x, "code-table block check byte");
    x = good;
    x[0x8000 + 141 * 6 + 1] = 0xC1;
    Reseal(x);
    ExpectOnlyFails(x, "fixed index entries 140-142");
    x = good;
    PutPictureEntry(x.data() + 0x8000 + 99 * 6, 0x53000 - 4, 5); // reaches into the code table
    Reseal(x);
    ExpectOnlyFails(x, "index entries in range");
    x = good;
    PutPictureEntry(x.data() + 0x55000 + 6, 12, 0x1B000); // UBF_1 beyond its block
    Reseal(x);
    ExpectOnlyFails(x, "index entries in range");
}

TEST(RomImageReader, WrongSizeStopsAtTheFirstCheck) {
    TRomImageReader r;
    EXPECT_FALSE(r.Load(TBytes(1000, 0)));
    ASSERT_EQ(r.Checks().size(), 1u);
    EXPECT_EQ(r.Checks()[0].Name, "size");
    EXPECT_FALSE(r.Load({}));
    ASSERT_NE(FindCheck(r, "size"), nullptr);
}

TEST(RomImageReader, GarbageOfTheRightSizeIsSafe) {
    TBytes junk(458752);
    std::uint32_t x = 12345;
    for (auto& b : junk) b = static_cast<std::uint8_t>((x = x * 1103515245 + 12345) >> 16);
    TRomImageReader r;
    EXPECT_FALSE(r.Load(junk));
    for (const auto& p : r.Pictures()) EXPECT_EQ(r.Bytes(p).size(), p.Size);
}

} // namespace
