// MAKE ROM on the editor session: saving first, the stops before the build, the document
// changes, and where the image goes.

#include "RomTestSupport.h"
#include "XVclUtil/FileUtil.h"
#include "XVclUtil/MessageBox.h"
#include "app/core/MakeRom.h"
#include "app/core/TPictureLibrary.h"
#include "app/core/TScriptedPrompts.h"
#include "rom/TRomImageReader.h"

#include <gtest/gtest.h>

#include <unistd.h>

using namespace RomTest;

namespace {

class MakeRomSession : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(::getcwd(OldDir, sizeof OldDir), nullptr);
        ASSERT_EQ(::chdir(Dir.Path().c_str()), 0);
        TFakeLibrary fake;
        fake.FillForBuild();
        AppCore::TPictureLibraryBuilder builder;
        for (const auto& [key, bytes] : fake.Entries) builder.Set(key.first, key.second, bytes);
        Session.Library.Assign(builder.Build());
        Session.Settings.BANK = 2;
        Session.Settings.OFFSET = 116;
        Session.Settings.SETOFFSET = 251;
        Session.Context.SetProgramDir(Dir.Path());
        Session.Document.CodeTables[0][1] = "1";
    }
    void TearDown() override { ASSERT_EQ(::chdir(OldDir), 0); }

    char OldDir[4096];
    TTempDir Dir;
    AppCore::TScriptedPrompts Prompts;
    AppCore::TEditorSession Session{Prompts};
    XVclUtil::TMessageCapture Messages;
};

TEST_F(MakeRomSession, EmptyTablesStopBeforeSaving) {
    Session.Document.CodeTables[0][1] = "   ";
    EXPECT_FALSE(AppCore::MakeRom(Session));
    EXPECT_EQ(Messages.Messages, (std::vector<std::pair<std::string, std::string>>{
                                     {"Warning", "All CTBL is empty!!\n\n"}}));
    EXPECT_TRUE(Prompts.SaveDialogs.empty());
    EXPECT_TRUE(Dir.Names().empty());
}

TEST_F(MakeRomSession, BadDateStopsWithTheSaveMessage) {
    Session.Document.OUTDATE = "10a429";
    EXPECT_FALSE(AppCore::MakeRom(Session));
    EXPECT_EQ(Messages.Messages, (std::vector<std::pair<std::string, std::string>>{
                                     {"Data error", "Date field data error!!\n"}}));
    EXPECT_EQ(Prompts.MessageBoxClears, 1);
    EXPECT_TRUE(Dir.Names().empty());
}

TEST_F(MakeRomSession, CancelledSaveDialogStopsSilently) {
    EXPECT_FALSE(AppCore::MakeRom(Session));
    EXPECT_EQ(Prompts.SaveDialogs.size(), 1u);
    EXPECT_TRUE(Messages.Messages.empty());
    EXPECT_TRUE(Dir.Names().empty());
}

TEST_F(MakeRomSession, SavesTheProjectThenBuildsUnderTheRomFileName) {
    Session.Document.ROMFILENAME = " site.img ";
    Prompts.SaveAnswers.push_back(Dir / "p.zkf");
    EXPECT_TRUE(AppCore::MakeRom(Session));
    EXPECT_EQ(Messages.Messages.back(),
              (std::pair<std::string, std::string>{"Succeeded", "ROM create finish!!\n\n"}));
    EXPECT_EQ(Dir.Names(), (std::vector<std::string>{"p.zkf", "site.ROM"}));
    EXPECT_EQ(Prompts.BusyDepth, 0);
}

TEST_F(MakeRomSession, DecliningTheOverwriteStillBuilds) {
    WriteBytes(Dir / "p.zkf", TBytes{'x'});
    Prompts.SaveAnswers.push_back(Dir / "p.zkf");
    Prompts.YesNoAnswers.push_back(false);
    Session.Settings.OUTCPUBIN = 1;
    EXPECT_TRUE(AppCore::MakeRom(Session));
    EXPECT_EQ(ReadBytes(Dir / "p.zkf"), TBytes{'x'});
    EXPECT_EQ(Dir.Names(), (std::vector<std::string>{"ZKF780A.BIN", "ZKF780A.ROM", "p.zkf"}));
}

TEST_F(MakeRomSession, MissingFloorPictureEmptiesTheDocumentCell) {
    Session.Document.CodeTables[2][10] = "nowhere";
    Prompts.SaveAnswers.push_back(Dir / "p.zkf");
    EXPECT_TRUE(AppCore::MakeRom(Session, Dir / "out.rom"));
    EXPECT_EQ(Prompts.MessageLines,
              (std::vector<std::string>{"[Warning] CTBL2-0A (10 ) not found --> auto cancel !!!",
                                        "[Warning] NOWHERE.bmp was looked for in " +
                                            Session.Context.FloorStylePrefix + "0/"}));
    EXPECT_EQ(Session.Document.CodeTables[2][10], "");
    EXPECT_EQ(Session.Document.CodeTables[0][1], "1");
    EXPECT_TRUE(XVclUtil::FileExists(Dir / "out.rom"));
}

TEST_F(MakeRomSession, OptionsReachTheCodeTableBlock) {
    auto& d = Session.Document;
    d.DEF_DIR = 9;
    d.DEF_FL = 1;
    d.DATEFORMAT = AppCore::TDateFormat::TYPE2;
    d.DPSTYLE = AppCore::TDpStyle::Left;
    d.WEEKTYPE = AppCore::TWeekType::OtherLanguage;
    d.CUSLOGOENABLE = true;
    d.SWAPTIME = 2;
    d.PWRSAVING = 5;
    d.OUTDATE = "240315";
    d.CUSIDCODE = " AB ";
    d.DEFCODETABLE = 3;
    Prompts.SaveAnswers.push_back(Dir / "p.zkf");
    ASSERT_TRUE(AppCore::MakeRom(Session));
    Rom::TRomImageReader reader;
    EXPECT_TRUE(reader.Load(ReadBytes(Dir / "ZKF780A.ROM")));
    const Rom::TRomOptions& o = reader.CodeTableBlock().Options;
    EXPECT_EQ(o.DEF_DIR, 9);
    EXPECT_EQ(o.DEF_FL, 1);
    EXPECT_EQ(o.DATEFORMAT, 1);
    EXPECT_EQ(o.DPSTYLE, 2);
    EXPECT_EQ(o.WEEKTYPE, 0);
    EXPECT_EQ(reader.CodeTableBlock().LogoSeconds, 3);
    EXPECT_EQ(o.PWRSAVING, 5);
    EXPECT_EQ(o.OUTDATE, "240315");
    EXPECT_EQ(o.CUSIDCODE, "AB");
    EXPECT_EQ(o.DEFCODETABLE, 3);
    EXPECT_EQ(o.DEF_MSG, 3);
}

} // namespace
