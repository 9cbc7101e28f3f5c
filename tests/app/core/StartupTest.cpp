// Start-up: settings file, model list and model change, libraries, caption and status panels.

#include "CoreTestSupport.h"

#include "XVclUtil/FileUtil.h"
#include "app/core/Messages.h"
#include "app/core/ModelSettings.h"

#include <sys/stat.h>
#include <utime.h>

using namespace AppCore;
using XVclUtil::FileExists;

namespace {

class Startup : public CoreTest::TCoreFixture {
protected:
    void SetModifiedDate(const std::string& path, int year, int month, int day) {
        std::tm date{};
        date.tm_year = year - 1900;
        date.tm_mon = month - 1;
        date.tm_mday = day;
        date.tm_hour = 12;
        date.tm_isdst = -1;
        const utimbuf times{std::mktime(&date), std::mktime(&date)};
        ASSERT_EQ(utime(path.c_str(), &times), 0);
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const auto& [caption, text] : Messages.Messages) texts.push_back(caption + "|" + text);
        return texts;
    }
};

} // namespace

TEST_F(Startup, CompleteStartUp) {
    WriteWorkingFolder();
    SetModifiedDate(Work("VRC-780AS1V2.GLB"), 2010, 3, 9);
    ASSERT_TRUE(Start()) << ::testing::PrintToString(Texts());
    EXPECT_TRUE(Messages.Messages.empty());
    EXPECT_EQ(Session.Settings.ModelList,
              (std::vector<std::string>{"KRV-RS", "KRV-GRY", "KRV-BIN"}));
    EXPECT_EQ(Session.Settings.CurrentModel, "KRV-RS");
    EXPECT_EQ(Session.Document.CODEVER, "KRV-RS");
    EXPECT_EQ(Session.Context.GlbDate, "100309");
    EXPECT_EQ(Session.Context.UbfDate, "");
    EXPECT_EQ(Session.Caption,
              "VRC-780A & VRC-780AS1 Lift LCD Editor (R6-Build100429.V2)  [ 100309 /  ] note");
    EXPECT_EQ(Session.StatusPanels[0], "Project file:");
    EXPECT_EQ(Session.StatusPanels[1], "Version: KRV-RS");
    EXPECT_EQ(Session.StatusPanels[2], "VRC-780AS1V2.GLB / ");
    EXPECT_EQ(Session.BitColumnLabels[3], "000011");
    EXPECT_EQ(Session.Document.DISPLAYTYPE, TDisplayType::Vertical);
    EXPECT_EQ(Session.Context.FloorStylePrefix, ProgramDir + "DefaultImage/UserDefine/Floor/Style");
    // Previews: titles, five floor styles, twelve arrows; then 50 lift-state loads.
    EXPECT_EQ(Prompts.LoadedPictures.size(), 2u + 5u + 12u + 50u);
    EXPECT_TRUE(Prompts.FailedPictures.empty());
    EXPECT_EQ(Prompts.MessageBoxClears, 1);
    EXPECT_FALSE(FileExists("KRV_TEMPBMP.BMP"));
    EXPECT_EQ(Prompts.PictureIn(Images::LiftStateBox(2, 1)),
              ProgramDir + "DefaultImage/LiftState/BREAKDOWN-128x32_CHT.bmp");
    EXPECT_EQ(Prompts.PictureIn(Images::LiftStateRowPicture(9)),
              ProgramDir + "DefaultImage/LiftState/IND-128x32_EN.bmp");
}

TEST_F(Startup, DefaultLiftStatePaths) {
    ProjectDocument doc;
    SetDefaultLiftStateImages(doc, "/p/");
    EXPECT_EQ(doc.LiftStateImageTable[9], "/p/DefaultImage/LiftState/BREAKDOWN-128x32_CHT.bmp");
    EXPECT_EQ(doc.LiftStateImageTable[10], "/p/DefaultImage/LiftState/ALARM-INV-128x32_EN.bmp");
    EXPECT_EQ(doc.LiftStateImageTable[0], "/p/DefaultImage/LiftState/FIRE-128x32_EN.bmp");
    EXPECT_EQ(doc.LiftStateImageTable[15],
              "/p/DefaultImage/LiftState/OUT_OF_SERVICE-INV-128x32_CHT.bmp");
    EXPECT_EQ(doc.LiftStateImageTable[39], "/p/DefaultImage/LiftState/IND-INV-128x32_CHT.bmp");
}

TEST_F(Startup, MissingSettingsFileKeepsPreReadValues) {
    WriteLibrary();
    WriteDefaultLiftStates();
    EXPECT_TRUE(Start());
    ASSERT_FALSE(Messages.Messages.empty());
    EXPECT_EQ(Messages.Messages[0].first, "Error");
    EXPECT_EQ(Messages.Messages[0].second,
              "KRVZKF780AS1.INI file not found!!\n\nSearched in the working folder:\n" +
                  Session.Context.StartDir +
                  "\n\nFor a ready working folder run \"zkf780a sample-data DIR\" and start "
                  "there.\n");
    EXPECT_TRUE(Session.Settings.ModelList.empty());
    EXPECT_EQ(Session.Settings.CFI, 247);
    EXPECT_EQ(Session.Settings.IFI, 248);
    EXPECT_EQ(Session.Settings.BANK, 0);
    EXPECT_EQ(Session.StatusPanels[1], "Version: ");
    EXPECT_EQ(Session.Document.CODEVER, "");
    EXPECT_FALSE(FileExists(Work("KRVZKF780AS1.INI"))); // the settings file is never written
}

TEST_F(Startup, NoVcnGivesTheBuiltInModels) {
    WriteSettings("[GLOBAL]\r\nGLB=OTHER.GLB\r\n");
    WriteLibrary();
    WriteDefaultLiftStates();
    EXPECT_TRUE(Start());
    EXPECT_EQ(Session.Settings.ModelList,
              (std::vector<std::string>{"KRV-RS", "KRV-CS", "KRV-BIN", "KRV-GRY", "KRV-LED"}));
    EXPECT_EQ(Session.StatusPanels[1], "Version: KRV-RS");
    EXPECT_EQ(Session.Settings.GLB, "VRC-780AS1V2.GLB"); // GLOBAL names are not read
    EXPECT_EQ(Session.Settings.CFI, 251);
    EXPECT_EQ(Session.Settings.IFI, 252);
    EXPECT_EQ(Session.Settings.BANK, 2);
    EXPECT_EQ(Session.Settings.OFFSET, 116);
    EXPECT_EQ(Session.Settings.SETOFFSET, 251);
}

TEST_F(Startup, BlankItemsAreSkippedAndAllBlankMeansBuiltIn) {
    WriteSettings("[GLOBAL]\r\nVCN=3\r\nITEM1=  KRV-A  \r\nITEM3=KRV-C\r\n");
    LoadToolSettings(Session);
    EXPECT_EQ(Session.Settings.ModelList, (std::vector<std::string>{"KRV-A", "KRV-C"}));
    EXPECT_EQ(Session.Settings.CurrentModel, "KRV-A");
    EXPECT_EQ(Session.Settings.BANK, 2); // section missing: defaults

    TEditorSession other(Prompts);
    other.Context = Session.Context;
    WriteSettings("[GLOBAL]\r\nVCN=2\r\nITEM1=   \r\nAPNOTE=x\r\n");
    LoadToolSettings(other);
    EXPECT_EQ(other.Settings.ModelList, BuiltInModelList());
    EXPECT_EQ(other.Settings.CurrentModel, "KRV-RS");
    EXPECT_EQ(other.Settings.APNOTE, "");
}

TEST_F(Startup, HugeVcnIsCutWithAMessage) {
    WriteSettings("[GLOBAL]\r\nVCN=2147483647\r\nITEM1=KRV-A\r\nITEM1000=KRV-Z\r\n"
                  "ITEM1001=KRV-NOT\r\n");
    LoadToolSettings(Session); // returns at once instead of looping for ever
    EXPECT_EQ(Session.Settings.ModelList, (std::vector<std::string>{"KRV-A", "KRV-Z"}));
    EXPECT_EQ(Texts(), (std::vector<std::string>{
                           "Error|VCN=2147483647 is more than 1000 models!!\n\nOnly ITEM1 to "
                           "ITEM1000 are read.\n"}));
}

TEST_F(Startup, ModelSectionsAndOutCpuBin) {
    WriteWorkingFolder();
    ASSERT_TRUE(Start());
    EXPECT_EQ(Session.Settings.CFI, 247); // OUTCPUBIN 0 leaves CFI and IFI
    EXPECT_TRUE(ChangeModel(Session, "KRV-BIN"));
    EXPECT_EQ(Session.Settings.OUTCPUBIN, 1);
    EXPECT_EQ(Session.Settings.CFI, 10);
    EXPECT_EQ(Session.Settings.IFI, 11);
    EXPECT_EQ(Session.Settings.BANK, 3);
    EXPECT_EQ(Session.Settings.OFFSET, 116);
    EXPECT_TRUE(ChangeModel(Session, " KRV-RS "));
    EXPECT_EQ(Session.Settings.OUTCPUBIN, 0);
    EXPECT_EQ(Session.Settings.CFI, 10); // kept from the earlier model
    EXPECT_EQ(Session.Settings.BANK, 2);
    EXPECT_EQ(Session.StatusPanels[1], "Version: KRV-RS");
}

TEST_F(Startup, ModelChangeRelabelsTheBitColumn) {
    WriteWorkingFolder();
    ASSERT_TRUE(Start());
    ASSERT_TRUE(ChangeModelIndex(Session, 1));
    EXPECT_EQ(Session.Document.CODEVER, "KRV-GRY");
    EXPECT_EQ(Session.StatusPanels[1], "Version: KRV-GRY");
    EXPECT_EQ(Session.BitColumnLabels[3], "000010"); // row 4
    EXPECT_EQ(Session.BitColumnLabels[2], "000011"); // row 3
    EXPECT_EQ(Session.BitColumnLabels[4], "000110"); // row 5
    EXPECT_EQ(Session.BitColumnLabels[32], "100000");
    ASSERT_TRUE(ChangeModel(Session, "KRV-BIN"));
    EXPECT_EQ(Session.BitColumnLabels[3], "000011");
    EXPECT_EQ(Session.BitColumnLabels[2], "000010");
    EXPECT_EQ(Session.BitColumnLabels[4], "000100");
    EXPECT_EQ(Session.BitColumnLabels[32], "100000");
    // Text that names no entry, and an index out of range, keep the model.
    EXPECT_FALSE(ChangeModel(Session, "KRV-XYZ"));
    EXPECT_FALSE(ChangeModelIndex(Session, 7));
    EXPECT_EQ(Session.Document.CODEVER, "KRV-BIN");
}

TEST_F(Startup, MissingLibraryEndsStartUp) {
    WriteSettings("[GLOBAL]\r\nVCN=1\r\nITEM1=KRV-RS\r\nAPNOTE=n\r\n");
    WriteDefaultLiftStates();
    EXPECT_FALSE(Start());
    ASSERT_EQ(Messages.Messages.size(), 1u);
    EXPECT_EQ(Messages.Messages[0].first, "Error");
    EXPECT_EQ(Messages.Messages[0].second,
              "GLB file not found!!\n\nSearched in the working folder:\n" +
                  Session.Context.StartDir +
                  "\n\nFor a ready working folder run \"zkf780a sample-data DIR\" and start "
                  "there.\n");
    EXPECT_EQ(Session.Context.GlbDate, "000000");
    EXPECT_FALSE(Session.Library.IsLoaded());
    EXPECT_EQ(Session.StatusPanels[2], "Program start error!!");
    EXPECT_EQ(Session.StatusPanels[1], "Version: KRV-RS");
    EXPECT_EQ(Session.Caption, DesignCaption);
    EXPECT_TRUE(Prompts.LoadedPictures.empty());
    // The lift-state defaults are in place although nothing was shown.
    EXPECT_EQ(Session.Document.LiftStateImageTable[0],
              ProgramDir + "DefaultImage/LiftState/FIRE-128x32_EN.bmp");
}

TEST_F(Startup, LibraryThatIsAFolderCountsAsMissing) {
    WriteSettings("[GLOBAL]\r\nVCN=1\r\nITEM1=KRV-RS\r\nGLB=lib\r\n");
    std::filesystem::create_directories(Work("lib"));
    EXPECT_FALSE(Start());
    EXPECT_EQ(Messages.Messages.back().second.rfind("GLB file not found!!\n\n", 0), 0u);
}

TEST_F(Startup, MissingUserLibraryEndsStartUp) {
    WriteSettings("[GLOBAL]\r\nVCN=1\r\nITEM1=KRV-RS\r\nUBFGLB=USER.GLB\r\n");
    WriteLibrary();
    WriteDefaultLiftStates();
    EXPECT_FALSE(Start());
    EXPECT_EQ(
        Messages.Messages.back(),
        std::make_pair(std::string("Error"), std::string("User define BMP file not found!!\n\n")));
    EXPECT_EQ(Session.Settings.UBFGLB, "");
    EXPECT_EQ(Session.Context.UbfDate, "000000");
    EXPECT_EQ(Session.StatusPanels[2], "Program start error!!");
    EXPECT_TRUE(Session.Library.IsLoaded());
}

TEST_F(Startup, UserLibraryDateAndNamesFoundWithoutRegardToCase) {
    WriteSettings("[GLOBAL]\r\nVCN=1\r\nITEM1=KRV-RS\r\nUBFGLB=USER.GLB\r\n");
    CoreTest::WriteFile(Work("vrc-780as1v2.glb"), CoreTest::MakeLibrary());
    CoreTest::WriteFile(Work("user.glb"), std::string("u"));
    SetModifiedDate(Work("user.glb"), 2009, 12, 31);
    WriteDefaultLiftStates();
    ASSERT_TRUE(Start()) << ::testing::PrintToString(Texts());
    EXPECT_EQ(Session.Context.UbfDate, "091231");
    EXPECT_EQ(Session.StatusPanels[2], "VRC-780AS1V2.GLB / USER.GLB");
}

TEST_F(Startup, NonIntegerSettingStopsWithTheConversionError) {
    WriteSettings("[GLOBAL]\r\nVCN=3x\r\n");
    WriteLibrary();
    EXPECT_FALSE(Start());
    ASSERT_EQ(Messages.Messages.size(), 1u);
    EXPECT_NE(Messages.Messages[0].second.find("not a valid integer"), std::string::npos);
    EXPECT_EQ(Session.StatusPanels[2], "Program start error!!");
}

TEST_F(Startup, ModelChangeWithBadSectionKeepsTheOldModel) {
    WriteWorkingFolder();
    WriteSettings(
        "[GLOBAL]\r\nVCN=2\r\nITEM1=KRV-RS\r\nITEM2=KRV-BAD\r\n\r\n[KRV-BAD]\r\nBANK=two\r\n");
    ASSERT_TRUE(Start());
    const ToolSettings before = Session.Settings;
    EXPECT_FALSE(ChangeModel(Session, "KRV-BAD"));
    EXPECT_EQ(Session.Settings, before);
    EXPECT_EQ(Session.Document.CODEVER, "KRV-RS");
    EXPECT_EQ(Messages.Messages.size(), 1u);
}

TEST_F(Startup, UnreadableLiftStatePictureStopsStartUp) {
    WriteWorkingFolder();
    CoreTest::WriteFile(ProgramDir + "DefaultImage/LiftState/VIP-128x32_EN.bmp",
                        std::string("no bmp"));
    EXPECT_FALSE(Start());
    EXPECT_EQ(Messages.Messages.back().second, "Picture file load error!!\n\n" + ProgramDir +
                                                   "DefaultImage/LiftState/VIP-128x32_EN.bmp\n");
    EXPECT_EQ(Session.StatusPanels[2], "Program start error!!");
}

TEST_F(Startup, StaleTemporaryFileIsDeleted) {
    WriteWorkingFolder();
    CoreTest::WriteFile(Work("KRV_TEMPBMP.BMP"), std::string("stale"));
    ASSERT_TRUE(Start());
    EXPECT_FALSE(FileExists(Work("KRV_TEMPBMP.BMP")));
}

TEST_F(Startup, ContextDirectories) {
    TStartupContext context;
    context.SetProgramDir("/opt/zkf");
    context.SetStartDir("/home/user/work/");
    EXPECT_EQ(context.ProgramDir, "/opt/zkf/");
    EXPECT_EQ(context.StartDir, "/home/user/work");
    EXPECT_EQ(context.FloorStylePrefix, "/opt/zkf/DefaultImage/UserDefine/Floor/Style");
    EXPECT_EQ(TStartupContext::ExecutableDir().back(), '/');
    EXPECT_EQ(TStartupContext::CurrentDir(), StartDir);
}

// The start-up's checks and a project load's checks see the same pictures: a file rewritten
// between them is checked again, and the verdict follows it.
TEST_F(Startup, APictureChangedSinceItsCheckIsCheckedAgain) {
    WriteWorkingFolder();
    ASSERT_TRUE(Start());
    const std::string vip = ProgramDir + "DefaultImage/LiftState/VIP-128x32_EN.bmp";
    const std::string good = CoreTest::ReadFile(vip);
    CoreTest::WriteFile(vip, std::string(good.size() - 1, 'x'));
    EXPECT_EQ(ShowLiftStatePictures(Session, false), (std::vector<std::string>{vip, vip}));
    CoreTest::WriteFile(vip, good);
    EXPECT_TRUE(ShowLiftStatePictures(Session, false).empty());
}
