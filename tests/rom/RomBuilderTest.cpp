// MAKE ROM on plain inputs: code table encoding, the pictures each work file comes from, the
// packed blocks, the refusals, and what is (not) left behind.

#include "RomTestSupport.h"
#include "XVclUtil/FileUtil.h"
#include "rom/RomImageCompleteness.h"
#include "rom/TRomBuilder.h"
#include "rom/TRomImageReader.h"

#include <gtest/gtest.h>

#include <functional>

#include <sys/stat.h>
#include <unistd.h>

using namespace Rom;
using XVclUtil::FileExists;
using namespace RomTest;

namespace {

class RomBuilderTest : public ::testing::Test {
protected:
    void SetUp() override {
        Library.FillForBuild();
        In.BANK = 2;
        In.OFFSET = 116;
        In.SETOFFSET = 251;
        In.CFI = 251;
        In.IFI = 252;
        In.Library = Library.Reader();
        In.FloorStylePrefix = Dir / "Style";
        In.RomFileName = Dir / "ZKF780A.ROM";
        In.BinFileName = Dir / "ZKF780A.BIN";
        for (int s = 0; s <= 4; ++s) ::mkdir((Dir / ("Style" + std::to_string(s))).c_str(), 0700);
    }

    bool Build() {
        Lines.clear();
        Boxes.clear();
        Cancelled.clear();
        TRomBuildEvents events;
        events.OnMessageLine = [&](const std::string& l) { Lines.push_back(l); };
        events.OnCellCancelled = [&](int t, int r) { Cancelled.emplace_back(t, r); };
        events.OnMessageBox = [&](const std::string& c, const std::string& t) {
            Boxes.emplace_back(c, t);
        };
        Builder = std::make_unique<TRomBuilder>(In, events);
        bool ok = Builder->Run();
        if (ok && FileExists(In.RomFileName)) {
            Image = ReadBytes(In.RomFileName);
            Reader.Load(Image);
        }
        return ok;
    }

    TBytes Picture(const std::string& name) const {
        for (const TRomPicture& p : Reader.Pictures())
            if (p.Name == name) {
                auto b = Reader.Bytes(p);
                return TBytes(b.begin(), b.end());
            }
        return {};
    }
    TBytes Encoded(int group, int index) const {
        return EncodeMonoRecord(LoadPictureData(*Library.Find(group, index), "lib"),
                                In.DISPLAYTYPE);
    }
    void AddFloorPicture(int style, const std::string& name, int number) {
        SaveBmp(Dir / ("Style" + std::to_string(style) + "/" + name + ".bmp"),
                NumberedPicture(48, 40, number));
    }

    TTempDir Dir;
    TFakeLibrary Library;
    TRomBuildInput In;
    std::unique_ptr<TRomBuilder> Builder;
    std::vector<std::string> Lines;
    std::vector<std::pair<std::string, std::string>> Boxes;
    std::vector<std::pair<int, int>> Cancelled;
    TBytes Image;
    TRomImageReader Reader;
};

TEST_F(RomBuilderTest, SingleCodeOneBuildsAndVerifies) {
    In.Cells[0][0] = "1";
    ASSERT_TRUE(Build());
    EXPECT_EQ(Boxes, (decltype(Boxes){{"Succeeded", "ROM create finish!!\n\n"}}));
    EXPECT_EQ(Builder->CodeTables().Kind[0][0], 0);
    EXPECT_EQ(Builder->ConfigBlock().Data[0x1400 + 256], 0x31);
    ASSERT_EQ(Image.size(), 458752u);
    EXPECT_EQ(Image[0x4B000 + 256], 0x31);
    EXPECT_TRUE(Reader.AllChecksPass());
    EXPECT_TRUE(Lines.empty());
}

// What an image that passes every check still lacks, one gap at a time; a build from complete
// inputs draws no warning.
TEST_F(RomBuilderTest, IncompleteImagesAreNamedByWhatTheyLack) {
    SaveBmp(Dir / "state.bmp", MonoPicture(128, 32, {{3, 3}}));
    for (std::string& path : In.LiftStateImageTable) path = Dir / "state.bmp";
    In.Cells[0][0] = "1";
    In.Cells[0][1] = "B";
    const TRomBuildInput whole = In;
    const TFakeLibrary full = Library;
    const struct {
        const char* Case;
        std::function<void()> Spoil;
        std::vector<std::string> Warnings;
    } cases[] = {
        {"complete", [] {}, {}},
        {"two lift-state pictures left out",
         [&] { In.LiftStateImageTable[5] = In.LiftStateImageTable[39] = ""; },
         {"lift-state entries without a picture: M_161, M_189"}},
        {"a glyph the library lacks",
         [&] {
             Library.Entries.erase({In.Options.DEF_FL + 1, 'B'});
         },
         {"floor-number set M_10 has no glyph for \"B\", used by CTBL0-01"}},
        {"a character past the set's glyphs",
         [&] { In.Cells[2][0x41] = "{"; },
         {"floor-number set M_10 has no glyph for \"{\", used by CTBL2-41"}},
        {"an empty arrow set",
         [&] {
             In.Options.DEF_DIR = 3;
             for (int k = 0; k < 6; ++k) {
                 Library.Entries.erase({1, 100 + 13 * 3 + k});
                 Library.Entries.erase({1, 106 + 13 * 3 + k});
             }
         },
         {"arrow set M_33 (DIR style 3) is empty"}},
        {"customer title on without a title",
         [&] {
             Library.Entries.erase({0, 0});
         },
         {"customer title is ON but UM_1 holds no picture"}},
        {"customer logo on without a logo",
         [&] { In.Options.CUSLOGOENABLE = 1; },
         {"customer logo is ON but UM_0 holds no picture"}},
    };
    for (const auto& c : cases) {
        In = whole;
        Library = full;
        c.Spoil();
        ASSERT_TRUE(Build()) << c.Case;
        EXPECT_TRUE(Reader.AllChecksPass()) << c.Case;
        EXPECT_EQ(IncompleteImageWarnings(Reader), c.Warnings) << c.Case;
        const std::string objection = RomImageObjection(Image);
        EXPECT_EQ(objection.empty(), c.Warnings.empty()) << c.Case;
        if (!c.Warnings.empty()) {
            EXPECT_EQ(objection, "Incomplete ROM image: " + c.Warnings[0]) << c.Case;
        }
    }
}

TEST_F(RomBuilderTest, ShortLabelsUseTheDisplayFont) {
    const std::pair<const char*, std::pair<int, int>> cases[] = {
        {"0", {0, '0'}},      {"00", {0, '0'}}, {"05", {0, '5'}}, {"12", {'1', '2'}},
        {" b1 ", {'B', '1'}}, {"", {0, 0}},     {"  ", {0, 0}},   {"-1", {'-', '1'}}};
    int row = 0;
    for (const auto& [text, expected] : cases) In.Cells[3][row++] = text;
    ASSERT_TRUE(Build());
    row = 0;
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(Builder->CodeTables().Kind[3][row], expected.first) << text;
        EXPECT_EQ(Builder->CodeTables().Value[3][row], expected.second) << text;
        ++row;
    }
}

TEST_F(RomBuilderTest, OneFloorPictureNamedTwiceIsStoredOnce) {
    In.Options.DEF_FL = 2;
    AddFloorPicture(2, "LOBBY", 1);
    AddFloorPicture(2, "roof", 2); // found without regard to case
    In.Cells[0][3] = "lobby";
    In.Cells[4][9] = "LOBBY";
    In.Cells[1][0] = "Roof";
    ASSERT_TRUE(Build());
    const auto& t = Builder->CodeTables();
    EXPECT_EQ(Builder->FloorPictureCount(), 2);
    EXPECT_EQ(t.Kind[0][3], 254);
    EXPECT_EQ(t.Kind[4][9], 254);
    EXPECT_EQ(t.Value[0][3], 0);
    EXPECT_EQ(t.Value[4][9], 0);
    EXPECT_EQ(t.Value[1][0], 1);
    EXPECT_EQ(Reader.FloorPictureCount(), 2);
    EXPECT_EQ(Picture("UBF_0"), EncodeRotated(LoadPicture(Dir / "Style2/LOBBY.bmp")));
    EXPECT_EQ(Builder->FindFloorPicture(Dir / "Style2/LOBBY.bmp"), 0);
    EXPECT_EQ(Builder->FindFloorPicture(Dir / "Style2/lobby.bmp"), -1); // exact comparison
}

TEST_F(RomBuilderTest, MissingFloorPictureWarnsOnceAndCancelsTheCell) {
    In.Cells[2][10] = "NOPE";
    In.Cells[0][0] = "1";
    ASSERT_TRUE(Build());
    EXPECT_EQ(Lines, (std::vector<std::string>{
                         "[Warning] CTBL2-0A (10 ) not found --> auto cancel !!!",
                         "[Warning] NOPE.bmp was looked for in " + In.FloorStylePrefix + "0/"}));
    EXPECT_EQ(Cancelled, (std::vector<std::pair<int, int>>{{2, 10}}));
    EXPECT_EQ(Builder->CodeTables().Kind[2][10], 0);
    EXPECT_EQ(Builder->CodeTables().Value[2][10], 0);
}

TEST_F(RomBuilderTest, FloorNamesThatLeaveTheStyleFolderAreNotFound) {
    AddFloorPicture(0, "INSIDE", 1);
    ::mkdir((Dir / "Style0/SUB").c_str(), 0700);
    AddFloorPicture(0, "SUB/DEEP", 2);
    In.Cells[0][1] = "../Style0/INSIDE";
    In.Cells[0][2] = "SUB/DEEP";
    In.Cells[0][3] = std::string("INS\x01IDE");
    In.Cells[0][4] = "INSIDE";
    ASSERT_TRUE(Build());
    EXPECT_EQ(Lines.size(), 6u); // each: the cancel line and where the picture was looked for
    EXPECT_EQ(Cancelled.size(), 3u);
    EXPECT_EQ(Builder->FloorPictureCount(), 1);
}

TEST_F(RomBuilderTest, HorizontalDisplayStoresRowMajorAndTakesHorizontalPictures) {
    In.DISPLAYTYPE = TDisplayType::Horizontal;
    In.Cells[0][0] = "1";
    ASSERT_TRUE(Build());
    EXPECT_EQ(Picture("UM_1"), Encoded(0, 5));
    EXPECT_EQ(Picture("UM_1"), EncodeRowMajor(LoadPictureData(*Library.Find(0, 5), "x")));
    EXPECT_EQ(Picture("M_4"), Encoded(0, 9));
    EXPECT_EQ(Picture("M_1"), *Library.Find(0, 6)); // raw entries unchanged
    EXPECT_EQ(Picture("M_143"), Encoded(7, 32));
    EXPECT_EQ(Picture("PM_0"), *Library.Find(2, 116));
    EXPECT_EQ(Picture("PM_3"), *Library.Find(2, 252));
    EXPECT_EQ(Reader.DisplayType(), TDisplayType::Horizontal);

    SaveBmp(Dir / "titleH.bmp", NumberedPicture(104, 24, 77));
    In.TITLEFILENAME_H = Dir / "titleH.bmp";
    In.TITLEFILENAME_V = Dir / "does-not-matter.bmp"; // not read on a horizontal display
    ASSERT_TRUE(Build());
    EXPECT_EQ(Picture("UM_1"), EncodeRowMajor(LoadPicture(Dir / "titleH.bmp")));
}

TEST_F(RomBuilderTest, VerticalDisplayTakesTheVerticalPictures) {
    In.Cells[0][0] = "1";
    ASSERT_TRUE(Build());
    EXPECT_EQ(Picture("UM_1"), EncodeRotated(LoadPictureData(*Library.Find(0, 0), "x")));
    EXPECT_EQ(Picture("UM_2"), Encoded(0, 222));
    EXPECT_EQ(Picture("UM_0"), TBytes{}); // no logo chosen
    EXPECT_EQ(Picture("M_4"), Encoded(0, 4));
    EXPECT_EQ(Picture("M_2"), *Library.Find(0, 2));
    for (int n : {197, 210, 219, 229}) EXPECT_EQ(Picture("M_" + std::to_string(n)), Encoded(0, n));
    for (int j = 0; j < 7; ++j)
        EXPECT_EQ(Picture("M_" + std::to_string(211 + j)), Encoded(6, 12 + j));
}

TEST_F(RomBuilderTest, PmPicturesFollowBankAndOffsets) {
    In.Cells[0][0] = "1";
    ASSERT_TRUE(Build());
    EXPECT_EQ(Picture("PM_0"), *Library.Find(2, 118));
    EXPECT_EQ(Picture("PM_1"), *Library.Find(2, 119));
    EXPECT_EQ(Picture("PM_2"), *Library.Find(2, 253));
    EXPECT_EQ(Picture("PM_3"), *Library.Find(2, 254));
    std::uint32_t pm0 = 0;
    for (const TRomPicture& p : Reader.Pictures())
        if (p.Name == "PM_0") pm0 = p.Address;
    EXPECT_EQ(pm0, 0x54000u + 24);
}

TEST_F(RomBuilderTest, WeekAndMonthNamesFollowTheLanguage) {
    In.Cells[0][0] = "1";
    In.Options.WEEKTYPE = 1; // English
    In.Options.WEEKLANG = 1; // Deutsch
    ASSERT_TRUE(Build());
    for (int j = 0; j < 7; ++j)
        EXPECT_EQ(Picture("M_" + std::to_string(143 + j)), Encoded(6, 52 + j));
    for (int j = 0; j < 12; ++j) EXPECT_EQ(Picture("M_" + std::to_string(231 + j)), Encoded(6, j));
    In.Options.WEEKTYPE = 0;
    In.Options.WEEKLANG = 2; // Spanish
    ASSERT_TRUE(Build());
    for (int j = 0; j < 7; ++j)
        EXPECT_EQ(Picture("M_" + std::to_string(143 + j)), Encoded(6, 72 + j));
    for (int j = 0; j < 12; ++j)
        EXPECT_EQ(Picture("M_" + std::to_string(231 + j)), Encoded(6, 60 + j));
}

TEST_F(RomBuilderTest, ArrowAndFloorNumberSetsComeFromGroupsOneToFive) {
    In.Cells[0][0] = "1";
    ASSERT_TRUE(Build());
    EXPECT_EQ(Picture("M_30.1"), Encoded(1, 100));
    EXPECT_EQ(Picture("M_30.6"), Encoded(1, 105));
    EXPECT_EQ(Picture("M_30.21"), Encoded(1, 106));
    EXPECT_EQ(Picture("M_41.26"), Encoded(1, 100 + 13 * 11 + 11));
    EXPECT_EQ(Picture("M_30.0"), TBytes{});
    EXPECT_EQ(Picture("M_30.7"), TBytes{});
    EXPECT_EQ(Picture("M_10.48"), Encoded(1, '0'));
    EXPECT_EQ(Picture("M_14.66"), Encoded(5, 'B'));
    EXPECT_EQ(Picture("M_12.65"), TBytes{}); // 'A' is not in the test library
}

TEST_F(RomBuilderTest, LiftStatePicturesGoToTheirEntries) {
    In.Cells[0][0] = "1";
    SaveBmp(Dir / "fire.bmp", NumberedPicture(128, 32, 1));
    SaveBmp(Dir / "ind-inv-cht.bmp", NumberedPicture(128, 32, 2));
    In.LiftStateImageTable[0] = Dir / "fire.bmp";                // state 0, variant A
    In.LiftStateImageTable[4 * 9 + 3] = Dir / "IND-INV-CHT.BMP"; // state 9, variant D, any case
    In.LiftStateImageTable[4] = Dir / "missing.bmp";             // skipped
    ASSERT_TRUE(Build());
    EXPECT_EQ(Picture("M_150"), EncodeRotated(LoadPicture(Dir / "fire.bmp")));
    EXPECT_EQ(Picture("M_189"), EncodeRotated(LoadPicture(Dir / "ind-inv-cht.bmp")));
    EXPECT_EQ(Picture("M_151"), TBytes{});
}

TEST_F(RomBuilderTest, ConfigurationBlockTakesCfiAndIfiAndTheSideFile) {
    In.Cells[0][0] = "1";
    In.OUTCPUBIN = 1;
    ASSERT_TRUE(Build());
    const auto& cfg = Builder->ConfigBlock().Data;
    const TBytes& cfi = *Library.Find(0, 251);
    const TBytes& ifi = *Library.Find(0, 252);
    EXPECT_TRUE(std::equal(cfi.begin(), cfi.begin() + 3328, cfg.begin()));
    EXPECT_TRUE(std::equal(ifi.begin(), ifi.end(), cfg.begin() + 0x2C00));
    EXPECT_EQ(cfg[0x2C00 + ifi.size()], 0);
    EXPECT_EQ(ReadBytes(In.BinFileName), TBytes(cfg.begin(), cfg.end()));
    EXPECT_TRUE(std::equal(cfg.begin() + 0x1400, cfg.begin() + 0x23FF, Image.begin() + 0x4B000));
    EXPECT_EQ(Dir.Names(), (std::vector<std::string>{"Style0", "Style1", "Style2", "Style3",
                                                     "Style4", "ZKF780A.BIN", "ZKF780A.ROM"}));
    // Built again: an unchanged side file stays as it is, a stale one is replaced.
    const TBytes bin(cfg.begin(), cfg.end()), image = Image;
    for (const TBytes& before : {bin, TBytes(bin.size(), 0x5A)}) {
        WriteBytes(In.BinFileName, before);
        ASSERT_TRUE(Build());
        EXPECT_EQ(ReadBytes(In.BinFileName), bin);
        EXPECT_EQ(Image, image);
        EXPECT_EQ(Dir.Names().size(), 7u);
    }
}

TEST_F(RomBuilderTest, NoPicturesAtAllStillGivesAWholeImage) {
    TFakeLibrary empty;
    In.Library = empty.Reader();
    ASSERT_TRUE(Build());
    ASSERT_EQ(Image.size(), 458752u);
    EXPECT_TRUE(Reader.AllChecksPass());
    int present = 0;
    for (int n = 0; n < 256; ++n) present += (Image[0x8000 + n * 6 + 5] & 0x0F) == 1;
    // Only 140..142 and the always-made sets M_10..M_14, M_30..M_41 (bare indexes).
    EXPECT_EQ(present, 3 + 5 + 12);
}

TEST_F(RomBuilderTest, NothingIsLeftBehindAndStaleWorkFilesNeverEnter) {
    char old[4096];
    ASSERT_NE(::getcwd(old, sizeof old), nullptr);
    ASSERT_EQ(::chdir(Dir.Path().c_str()), 0);
    WriteBytes("M_5", TBytes(100, 0xEE)); // left by an earlier, failed build
    WriteBytes("UBF_0", TBytes(100, 0xEE));
    WriteBytes("DIR0_9", TBytes(100, 0xEE));
    WriteBytes("KRV_TEMPBMP.BMP", TBytes(10, 1));
    In.RomFileName = "OUT.ROM";
    In.Cells[0][0] = "1";
    bool ok = Build();
    std::vector<std::string> names = Dir.Names();
    ASSERT_EQ(::chdir(old), 0);
    ASSERT_TRUE(ok);
    EXPECT_EQ(names,
              (std::vector<std::string>{"DIR0_9", "KRV_TEMPBMP.BMP", "M_5", "OUT.ROM", "Style0",
                                        "Style1", "Style2", "Style3", "Style4", "UBF_0"}));
    EXPECT_EQ(Picture("M_5"), TBytes{});
    EXPECT_EQ(Picture("UBF_0"), TBytes{});
    EXPECT_EQ(Picture("M_30.9"), TBytes{});
    EXPECT_TRUE(Builder->WorkFolder().Names().empty());
}

TEST_F(RomBuilderTest, BuildIsByteIdenticalWhenRepeated) {
    In.Cells[0][0] = "1";
    AddFloorPicture(0, "LOBBY", 1);
    In.Cells[5][200] = "LOBBY";
    ASSERT_TRUE(Build());
    TBytes first = Image;
    ASSERT_TRUE(Build());
    EXPECT_EQ(first, Image);
}

// Refusals: a message naming the cause, no image, an old image untouched, no work file kept.
class RomBuilderRefusal : public RomBuilderTest {
protected:
    void SetUp() override {
        RomBuilderTest::SetUp();
        In.Cells[0][0] = "1";
        WriteBytes(In.RomFileName, TBytes(7, 0x77)); // an earlier image
    }
    void ExpectRefused(const std::string& caption, const std::string& textPart) {
        EXPECT_FALSE(Build());
        ASSERT_EQ(Boxes.size(), 1u);
        EXPECT_EQ(Boxes[0].first, caption);
        EXPECT_NE(Boxes[0].second.find(textPart), std::string::npos) << Boxes[0].second;
        EXPECT_EQ(ReadBytes(In.RomFileName), TBytes(7, 0x77));
        EXPECT_FALSE(FileExists(In.BinFileName));
        EXPECT_TRUE(Builder->WorkFolder().Names().empty());
    }
};

TEST_F(RomBuilderRefusal, UnreadablePictureNamesTheFile) {
    In.OUTCPUBIN = 1;
    WriteBytes(Dir / "logo.bmp", TBytes(50, 0x42));
    In.TITLEFILENAME_C = Dir / "logo.bmp";
    ExpectRefused("File error", Dir / "logo.bmp");
}

TEST_F(RomBuilderRefusal, BrokenLibraryEntryNamesTheEntry) {
    Library.Put(1, 103, TBytes(20, 0x11));
    In.LibraryName = "LIB.GLB";
    ExpectRefused("File error", "LIB.GLB (group 1, index 103)");
}

TEST_F(RomBuilderRefusal, NoPictureLibraryIsRefused) {
    In.Library = [](int, int) { return TLibraryEntry{}; }; // no library loaded
    ExpectRefused("File error", "no picture library loaded");
}

TEST_F(RomBuilderRefusal, PictureDataBeyondTheDataAreaIsTooLong) {
    for (int i = 197; i <= 199; ++i) Library.PutPicture(0, i, MonoPicture(1000, 1000));
    ExpectRefused("File error", "Error!!\n\nFile size too long\n\nPlease remove some files.!!\n");
}

TEST_F(RomBuilderRefusal, UmBlockOverflowNamesTheBlock) {
    SaveBmp(Dir / "big2.bmp", MonoPicture(256, 128));
    In.TITLEFILENAME_2 = Dir / "big2.bmp";
    ExpectRefused("File error", "UM block");
}

TEST_F(RomBuilderRefusal, UbfBlockOverflowNamesTheBlock) {
    for (int k = 0; k < 8; ++k) {
        SaveBmp(Dir / ("Style0/BIG" + std::to_string(k) + ".bmp"), NumberedPicture(240, 480, k));
        In.Cells[1][k] = "BIG" + std::to_string(k);
    }
    ExpectRefused("File error", "UBF block");
}

TEST_F(RomBuilderRefusal, MoreThan256FloorPictures) {
    for (int k = 0; k < 257; ++k) {
        std::string name = "F" + std::to_string(1000 + k);
        SaveBmp(Dir / ("Style0/" + name + ".bmp"), MonoPicture(8, 8));
        In.Cells[k / 256][k % 256] = name;
    }
    ExpectRefused("File error", "more than 256 floor pictures");
}

TEST_F(RomBuilderRefusal, IfiLongerThan4096Bytes) {
    Library.Put(0, 252, TBytes(4097, 1));
    ExpectRefused("Data error", "IFI (group 0, index 252)");
}

TEST_F(RomBuilderRefusal, UnwritableTargetKeepsTheOldImage) {
    ::mkdir((Dir / "ro").c_str(), 0500);
    In.RomFileName = Dir / "ro/ZKF780A.ROM";
    if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
    EXPECT_FALSE(Build());
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_NE(Boxes[0].second.find("Cannot write"), std::string::npos);
}

TEST_F(RomBuilderRefusal, TargetNameIsAFolder) {
    ::mkdir((Dir / "folder.ROM").c_str(), 0700);
    In.RomFileName = Dir / "folder.ROM";
    EXPECT_FALSE(Build());
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_NE(Boxes[0].second.find("Cannot write"), std::string::npos);
    EXPECT_EQ(Dir.Names().size(), 7u); // Style0..4, folder.ROM, ZKF780A.ROM: no temporary left
}

TEST_F(RomBuilderRefusal, ANameTooLongGivesTheSystemsReason) {
    const std::vector<std::string> before = Dir.Names();
    In.RomFileName = Dir / (std::string(300, 'A') + ".ROM");
    EXPECT_FALSE(Build());
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].first, "File error");
    EXPECT_EQ(Boxes[0].second,
              "Error!!\n\nCannot write the file (File name too long):\n" + In.RomFileName + "!!\n");
    EXPECT_EQ(Dir.Names(), before);
}

TEST_F(RomBuilderRefusal, ModelSettingsOutOfRangeStopBeforeAnyArithmetic) {
    const std::pair<int TRomBuildInput::*, const char*> fields[] = {
        {&TRomBuildInput::OFFSET, "OFFSET=2147483647"},
        {&TRomBuildInput::SETOFFSET, "SETOFFSET=2147483647"},
        {&TRomBuildInput::BANK, "BANK=2147483647"},
        {&TRomBuildInput::CFI, "CFI=2147483647"},
        {&TRomBuildInput::IFI, "IFI=2147483647"}};
    for (const auto& [field, text] : fields) {
        const int kept = In.*field;
        In.*field = 2147483647;
        ExpectRefused("Data error", text);
        In.*field = -1;
        ExpectRefused("Data error", "out of range");
        In.*field = kept;
    }
}

TEST_F(RomBuilderRefusal, AFailedSideFileLeavesTheOldPair) {
    In.OUTCPUBIN = 1;
    ASSERT_EQ(::mkfifo(In.BinFileName.c_str(), 0600), 0); // cannot take the side file
    EXPECT_FALSE(Build());
    EXPECT_EQ(ReadBytes(In.RomFileName), TBytes(7, 0x77)); // no new image beside it
    In.RomFileName = Dir / "twin.bin";                     // its own side file, by case
    In.BinFileName = Dir / "twin.BIN";
    EXPECT_FALSE(Build());
    EXPECT_NE(Boxes[0].second.find("would replace the ROM image"), std::string::npos);
    EXPECT_FALSE(FileExists(In.RomFileName));
}

TEST_F(RomBuilderRefusal, ACutOffLibraryWritesNoImage) {
    In.OUTCPUBIN = 1;
    In.Library = [](int group, int index) {
        TLibraryEntry e;
        e.State = group == 0 && index < 10 ? TLibraryEntry::TState::Empty
                                           : TLibraryEntry::TState::Missing;
        return e;
    };
    ExpectRefused("File error", "The picture library VRC-780AS1V2.GLB cannot be read whole:");
    EXPECT_NE(Boxes[0].second.find("pictures lie past its end"), std::string::npos);
    EXPECT_TRUE(Lines.empty());
}

} // namespace
