// Loading project files: the 2.2 and 2.0 readers, their defaults, the picture rules, and files
// that are missing, malformed or hostile.

#include "CoreTestSupport.h"

#include "XVclUtil/FileUtil.h"
#include "app/core/ProjectFile.h"

using namespace AppCore;
using XVclUtil::FileExists;

namespace {

class ProjectLoad : public CoreTest::TCoreFixture {
protected:
    void SetUp() override {
        TCoreFixture::SetUp();
        WriteWorkingFolder();
        ASSERT_TRUE(Start());
        Messages.Messages.clear();
        Prompts.LoadedPictures.clear();
    }
    // Writes a project file from INI lines ("\n" separated) and loads it.
    bool LoadText(const std::string& text, const std::string& name = "p.zkf") {
        std::string crlf;
        for (char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
        CoreTest::WriteFile(Work(name), crlf);
        return LoadProjectFile(Session, Work(name));
    }
    std::string Picture(const std::string& name, int w, int h) {
        CoreTest::WriteFile(Work(name), CoreTest::MakeBmp(w, h, 2));
        return Work(name);
    }
};

const std::string V22 = "[GLOBAL]\nZKFVERSION=ZKF780A_2.2\n";
const std::string V20 = "[GLOBAL]\nZKFVERSION=ZKF780A_2.0\n";

} // namespace

TEST_F(ProjectLoad, MissingKeysGiveTheFileDefaults) {
    ProjectDocument& doc = Session.Document;
    doc.FLFRAME = false;
    doc.DISPLAYTYPE = TDisplayType::Vertical;
    doc.CUSTOMERTITLE = false;
    doc.DPSTYLE = TDpStyle::Left;
    doc.DPDATETIME = false;
    doc.DATEFORMAT = TDateFormat::TYPE2;
    doc.WEEKTYPE = TWeekType::OtherLanguage;
    doc.CodeTables[1][1] = "X";
    doc.ROMFILENAME = "mine.ROM";
    doc.CUSIDCODE = "ID";
    ASSERT_TRUE(LoadText(V22));
    EXPECT_EQ(doc.DISPLAYTYPE, TDisplayType::Horizontal);
    EXPECT_TRUE(doc.FLFRAME);
    EXPECT_TRUE(doc.CUSTOMERTITLE);
    EXPECT_EQ(doc.DPSTYLE, TDpStyle::Right);
    EXPECT_TRUE(doc.DPDATETIME);
    EXPECT_EQ(doc.DATEFORMAT, TDateFormat::TYPE1);
    EXPECT_EQ(doc.WEEKTYPE, TWeekType::English);
    EXPECT_EQ(doc.DEF_MSG, 3);
    EXPECT_EQ(doc.MsgCheckBoxes, 3);
    EXPECT_EQ(doc.CodeTables[1][1], ""); // every cell is overwritten
    EXPECT_EQ(doc.ROMFILENAME, "ZKF780A.ROM");
    EXPECT_EQ(doc.CUSIDCODE, "");
    EXPECT_EQ(doc.CODEVER, "KRV-RS");
    EXPECT_EQ(Session.StatusPanels[0], "Project file: " + Work("p.zkf"));
    EXPECT_EQ(Prompts.FileBrowserRelinks, 1);
    EXPECT_TRUE(Messages.Messages.empty());
    // Library title pictures go to Image1 and Image3, decoded in memory: no file is written.
    EXPECT_EQ(Prompts.PictureIn(Images::TitleV), "VRC-780AS1V2.GLB (0, 0)");
    EXPECT_EQ(Prompts.PictureIn(Images::TitleH), "VRC-780AS1V2.GLB (0, 5)");
    EXPECT_FALSE(FileExists("KRV_TEMPBMP.BMP"));
}

TEST_F(ProjectLoad, ValueRulesOfTheGlobalSection) {
    ASSERT_TRUE(LoadText(V22 + "DISPLAYTYPE=V\nCUSTOMERTITLE=on\nFLFRAME=OFF\nDATEFORMAT=type1\n"
                               "DPSTYLE=2\nDPDATETIME=7\nDEF_MSG=7\nWEEKTYPE=Spanish\nWEEKLANG=2\n"
                               "PWRSAVING=16\nROMFILENAME=   \nCUSIDCODE=ABCD\nOUTDATE=100309\n"));
    const ProjectDocument& doc = Session.Document;
    EXPECT_EQ(doc.DISPLAYTYPE, TDisplayType::Vertical);
    EXPECT_FALSE(doc.CUSTOMERTITLE); // "on" is not "ON"
    EXPECT_FALSE(doc.FLFRAME);
    EXPECT_EQ(doc.DATEFORMAT, TDateFormat::TYPE2);
    EXPECT_EQ(doc.DPSTYLE, TDpStyle::Left);
    EXPECT_FALSE(doc.DPDATETIME);
    EXPECT_EQ(doc.DEF_MSG, 7); // as stored
    EXPECT_EQ(doc.MsgCheckBoxes, 7);
    EXPECT_EQ(doc.WEEKTYPE, TWeekType::OtherLanguage);
    EXPECT_EQ(doc.WEEKLANG, 2);
    EXPECT_EQ(doc.PWRSAVING, 16);
    EXPECT_EQ(doc.ROMFILENAME, "ZKF780A.ROM");
    EXPECT_EQ(doc.CUSIDCODE, "ABCD");
    EXPECT_EQ(doc.OUTDATE, "100309");
}

TEST_F(ProjectLoad, EnglishWeekTypeDoesNotReadWeekLang) {
    Session.Document.WEEKLANG = 1;
    ASSERT_TRUE(LoadText(V22 + "WEEKTYPE=ENGLISH\nWEEKLANG=2\n"));
    EXPECT_EQ(Session.Document.WEEKLANG, 1);
}

TEST_F(ProjectLoad, RadioValuesOutOfRangeChangeNothing) {
    Session.Document.DEFCODETABLE = 4;
    Session.Document.DEF_FL = 2;
    Session.Document.DEF_DIR = 7;
    Session.Document.PWRSAVING = 5;
    ASSERT_TRUE(LoadText(V22 + "DEFCODETABLE=9\nDEF_FL=5\nDEF_DIR=-1\nPWRSAVING=17\n"));
    EXPECT_EQ(Session.Document.DEFCODETABLE, 4);
    EXPECT_EQ(Session.Document.DEF_FL, 2);
    EXPECT_EQ(Session.Document.DEF_DIR, 7);
    EXPECT_EQ(Session.Document.PWRSAVING, 5);
    ASSERT_TRUE(LoadText(V22 + "DEFCODETABLE=5\nDEF_FL=4\nDEF_DIR=11\n"));
    EXPECT_EQ(Session.Document.DEFCODETABLE, 5);
    EXPECT_EQ(Session.Document.DEF_FL, 4);
    EXPECT_EQ(Session.Document.DEF_DIR, 11);
}

TEST_F(ProjectLoad, LogoOffLeavesLogoPathAndSeconds) {
    Session.Document.TITLEFILENAME_C = "/keep/logo.bmp";
    Session.Document.SWAPTIME = 9;
    Session.Document.CUSLOGOENABLE = true;
    ASSERT_TRUE(LoadText(V22 + "CUSLOGOENABLE=0\nSWAPTIME=3\nTITLEFILENAME_C=/x.bmp\n"));
    EXPECT_FALSE(Session.Document.CUSLOGOENABLE);
    EXPECT_EQ(Session.Document.TITLEFILENAME_C, "/keep/logo.bmp");
    EXPECT_EQ(Session.Document.SWAPTIME, 9);
    EXPECT_EQ(Prompts.PictureIn(Images::Logo), "");
}

TEST_F(ProjectLoad, LogoOnWithExistingAndMissingFile) {
    const std::string logo = Picture("logo.bmp", 112, 80);
    ASSERT_TRUE(LoadText(V22 + "CUSLOGOENABLE=1\nSWAPTIME=29\nTITLEFILENAME_C=" + logo + "\n"));
    EXPECT_TRUE(Session.Document.CUSLOGOENABLE);
    EXPECT_EQ(Session.Document.SWAPTIME, 29);
    EXPECT_EQ(Session.Document.TITLEFILENAME_C, logo);
    EXPECT_EQ(Prompts.PictureIn(Images::Logo), logo);

    ASSERT_TRUE(
        LoadText(V22 + "CUSLOGOENABLE=1\nSWAPTIME=2\nTITLEFILENAME_C=" + Work("gone.bmp") + "\n"));
    EXPECT_FALSE(Session.Document.CUSLOGOENABLE);
    EXPECT_EQ(Session.Document.TITLEFILENAME_C, "");
    EXPECT_EQ(Session.Document.SWAPTIME, 2);
}

TEST_F(ProjectLoad, TitlePicturesAndTheirLibraryFallback) {
    const std::string v = Picture("v.bmp", 128, 24);
    const std::string two = Picture("t2.bmp", 128, 32);
    ASSERT_TRUE(LoadText(V22 + "TITLEFILENAME_V=" + v + "\nTITLEFILENAME_H=C:\\pics\\h.bmp\n" +
                         "TITLEFILENAME_2=" + two + "\n"));
    EXPECT_EQ(Session.Document.TITLEFILENAME_V, v);
    EXPECT_EQ(Session.Document.TITLEFILENAME_H, "");
    EXPECT_EQ(Session.Document.TITLEFILENAME_2, two);
    EXPECT_EQ(Prompts.PictureIn(Images::TitleV), v);
    EXPECT_EQ(Prompts.PictureIn(Images::TitleH), "VRC-780AS1V2.GLB (0, 5)");
    EXPECT_EQ(Prompts.PictureIn(Images::Title2), two);

    // A folder is no picture file; a missing title 2 leaves Image62 alone.
    Prompts.LoadedPictures.clear();
    ASSERT_TRUE(LoadText(V22 + "TITLEFILENAME_V=" + StartDir + "\nTITLEFILENAME_2=/gone.bmp\n"));
    EXPECT_EQ(Session.Document.TITLEFILENAME_V, "");
    EXPECT_EQ(Session.Document.TITLEFILENAME_2, "");
    EXPECT_EQ(Prompts.PictureIn(Images::Title2), "");
}

TEST_F(ProjectLoad, CodeverSelectsTheModel) {
    ASSERT_TRUE(LoadText(V22 + "CODEVER=KRV-GRY\n"));
    EXPECT_EQ(Session.Document.CODEVER, "KRV-GRY");
    EXPECT_EQ(Session.StatusPanels[1], "Version: KRV-GRY");
    EXPECT_EQ(Session.BitColumnLabels[3], "000010");
    ASSERT_TRUE(LoadText(V22 + "CODEVER=KRV-BIN\n"));
    EXPECT_EQ(Session.Settings.CFI, 10);
    EXPECT_EQ(Session.Settings.BANK, 3);
    ASSERT_TRUE(LoadText(V22 + "CODEVER=NO-SUCH\n"));
    EXPECT_EQ(Session.Document.CODEVER, "KRV-RS");
    EXPECT_EQ(Session.BitColumnLabels[3], "000011");
}

// Without a Model list there is no model change, and the file's model is kept for the save.
TEST_F(ProjectLoad, EmptyModelListKeepsTheFilesModel) {
    Session.Settings.ModelList.clear();
    Session.Document.CODEVER = "";
    ASSERT_TRUE(LoadText(V22 + "CODEVER= KRV-GRY \nCUSIDCODE=ID\n"));
    EXPECT_EQ(Session.Document.CODEVER, "KRV-GRY");
    EXPECT_EQ(Session.Document.CUSIDCODE, "ID");
    EXPECT_EQ(Session.Settings.CurrentModel, "KRV-RS"); // no model section was read
}

TEST_F(ProjectLoad, CellsAreTrimmed) {
    ASSERT_TRUE(LoadText(V22 + "[CTBL3]\nCODE_5=  b1  \nCODE_255=Lobby\nCODE_256=X\n"));
    EXPECT_EQ(Session.Document.CodeTables[3][5], "b1");
    EXPECT_EQ(Session.Document.CodeTables[3][255], "Lobby");
}

TEST_F(ProjectLoad, LiftStatePathsAreKeptOrRebased) {
    const std::string own = Picture("own-fire.bmp", 128, 32);
    const std::string before = Session.Document.LiftStateImageTable[2];
    ASSERT_TRUE(LoadText(V22 + "[LiftStateImage]\nLeftState_0_A=" + own +
                         "\nLeftState_0_B=/elsewhere/FIRE-128x32_EN.bmp\n"
                         "LeftState_1_A=C:\\Lift\\Pics\\EARTHQUAKE-128x32_EN.bmp\n"
                         "LeftState_0_C=   \n"));
    const auto& table = Session.Document.LiftStateImageTable;
    EXPECT_EQ(table[0], own);
    EXPECT_EQ(table[1], ProgramDir + "DefaultImage/LiftState/FIRE-128x32_EN.bmp");
    EXPECT_EQ(table[4], ProgramDir + "DefaultImage/LiftState/EARTHQUAKE-128x32_EN.bmp");
    EXPECT_EQ(table[2], before);
    EXPECT_EQ(Prompts.PictureIn(Images::LiftStateBox(0, 0)), own);
    EXPECT_EQ(Prompts.PictureIn(Images::LiftStateBox(0, 1)),
              ProgramDir + "DefaultImage/LiftState/FIRE-128x32_EN.bmp");
    EXPECT_TRUE(Messages.Messages.empty());
}

TEST_F(ProjectLoad, PicturesThatCannotBeShownAreListedOnceAfterTheLoad) {
    const std::string broken = Work("broken.bmp");
    CoreTest::WriteFile(broken, std::string("not a picture"));
    ASSERT_TRUE(LoadText(V22 + "TITLEFILENAME_V=" + broken +
                         "\nDEF_FL=3\n[LiftStateImage]\n"
                         "LeftState_2_A=/moved/NOSUCH-128x32_EN.bmp\n[CTBL0]\nCODE_0=12\n"));
    // Everything else arrived.
    EXPECT_EQ(Session.Document.DEF_FL, 3);
    EXPECT_EQ(Session.Document.CodeTables[0][0], "12");
    EXPECT_EQ(Session.Document.TITLEFILENAME_V, broken);
    // The picture found nowhere keeps its saved path and is listed as missing; no box names a
    // stock path the user never chose.
    EXPECT_EQ(Session.Document.LiftStateImageTable[8], "/moved/NOSUCH-128x32_EN.bmp");
    ASSERT_EQ(Messages.Messages.size(), 2u);
    EXPECT_EQ(Messages.Messages[0].first, "Pictures of the project");
    EXPECT_EQ(Messages.Messages[0].second, "Missing: /moved/NOSUCH-128x32_EN.bmp\n");
    EXPECT_EQ(Messages.Messages[1].first, "Error");
    EXPECT_EQ(Messages.Messages[1].second, "Picture file load error!!\n\n" + broken + "\n");
}

TEST_F(ProjectLoad, NonIntegerValueChangesNothing) {
    Session.Document.CodeTables[0][0] = "KEEP";
    const ProjectDocument before = Session.Document;
    const ToolSettings settings = Session.Settings;
    EXPECT_FALSE(LoadText(V22 + "CODEVER=KRV-GRY\nDEF_FL=2\nDPSTYLE=left\n[CTBL0]\nCODE_0=1\n"));
    EXPECT_TRUE(Session.Document == before);
    EXPECT_EQ(Session.Settings, settings);
    EXPECT_EQ(Session.StatusPanels[0], "Project file:");
    ASSERT_EQ(Messages.Messages.size(), 1u);
    EXPECT_NE(Messages.Messages[0].second.find("not a valid integer"), std::string::npos);
    EXPECT_TRUE(Prompts.LoadedPictures.empty());
    EXPECT_EQ(Prompts.BusyDepth, 0);
}

TEST_F(ProjectLoad, RefusedFiles) {
    const ProjectDocument before = Session.Document;
    EXPECT_FALSE(LoadProjectFile(Session, Work("missing.zkf")));
    EXPECT_FALSE(FileExists(Work("missing.zkf"))); // loading never creates a file
    EXPECT_EQ(Messages.Messages.back(),
              std::make_pair(std::string("Error"), "ZKF file not found!!\n\n" +
                                                       Work("missing.zkf") +
                                                       "\n(No such file or directory)\n"));
    // Something that is there but no regular file is no project file.
    EXPECT_FALSE(LoadProjectFile(Session, Work(".")));
    EXPECT_EQ(Messages.Messages.back(),
              std::make_pair(std::string("Error"), std::string("ZKF file format error!!\n\n")));
    EXPECT_FALSE(LoadText("[GLOBAL]\nZKFVERSION=  \n"));
    EXPECT_EQ(Messages.Messages.back().second, "ZKF file format error!!\n\n");
    EXPECT_FALSE(LoadText("[GLOBAL]\nZKFVERSION=ZKF780A_1.0\nDEF_FL=3\n"));
    EXPECT_EQ(Messages.Messages.back().second, "ZKF file version 1.0 not supported!!\n\n");
    EXPECT_FALSE(LoadText("[GLOBAL]\nZKFVERSION=zkf780a_2.2\n"));
    EXPECT_FALSE(LoadText("just some text\n\x01\x02\n"));
    EXPECT_FALSE(LoadProjectFile(Session, StartDir)); // a folder
    EXPECT_TRUE(Session.Document == before);
    EXPECT_EQ(Session.StatusPanels[0], "Project file:");
}

TEST_F(ProjectLoad, LoadButtonUsesTheDialog) {
    CoreTest::WriteFile(Work("d.zkf"), V22 + "DEF_FL=1\n");
    LoadProject(Session); // cancelled
    EXPECT_EQ(Session.Document.DEF_FL, 0);
    Prompts.OpenAnswers.push_back(Work("d.zkf"));
    LoadProject(Session);
    EXPECT_EQ(Session.Document.DEF_FL, 1);
    EXPECT_EQ(Prompts.OpenDialogs.at(1).Filter, "ZKF780A Project File (*.zkf)|*.zkf");
}

TEST_F(ProjectLoad, Version20Reader) {
    ProjectDocument& doc = Session.Document;
    doc.CODEVER = "KRV-RS";
    doc.TITLEFILENAME_2 = "/t2.bmp";
    doc.DPDATETIME = false;
    doc.WEEKLANG = 2;
    doc.MsgCheckBoxes = 9;
    doc.DEF_MSG = 9;
    doc.PWRSAVING = 4;
    doc.DPSTYLE = TDpStyle::Left;
    doc.CodeTables[0][3] = "KEEP";
    doc.CodeTables[0][4] = "KEEP";
    doc.CodeTables[0][5] = "KEEP";
    doc.CodeTables[0][6] = "KEEP";
    doc.LiftStateImageTable[0] = "/mine.bmp";
    ASSERT_TRUE(LoadText(V20 + "DEF_FL=2\nWEEKTYPE=Chinese\nDISPLAYTYPE=H\nCUSIDCODE=ID20\n"
                               "[CODETABLE]\nCT_1_0=FL_012\nCT_6_255=  ab 060  \nCT_2_7=xxx165\n"
                               "CT_1_3=   \nCT_1_4=FL_abc\nCT_1_5=FL_999\nCT_1_6=FL\n"
                               "CT_3_1=FL_1\n[CTBL0]\nCODE_0=IGNORED\n"));
    EXPECT_EQ(doc.CodeTables[0][0], "12");
    EXPECT_EQ(doc.CodeTables[5][255], "B1"); // "ab 060" trimmed; characters 4..6 are "060"
    EXPECT_EQ(doc.CodeTables[1][7], "HP");
    EXPECT_EQ(doc.CodeTables[0][3], "KEEP"); // blank
    EXPECT_EQ(doc.CodeTables[0][4], "KEEP"); // not a number
    EXPECT_EQ(doc.CodeTables[0][5], "KEEP"); // above 255
    EXPECT_EQ(doc.CodeTables[0][6], "KEEP"); // too short
    EXPECT_EQ(doc.CodeTables[2][1], "1");
    EXPECT_EQ(doc.DEF_FL, 2);
    EXPECT_EQ(doc.DISPLAYTYPE, TDisplayType::Horizontal);
    EXPECT_EQ(doc.WEEKTYPE, TWeekType::OtherLanguage);
    EXPECT_EQ(doc.WEEKLANG, 2);
    EXPECT_EQ(doc.DEF_MSG, 3);
    EXPECT_EQ(doc.MsgCheckBoxes, 9);
    EXPECT_EQ(doc.PWRSAVING, 0);
    EXPECT_EQ(doc.DPSTYLE, TDpStyle::Right);
    EXPECT_FALSE(doc.DPDATETIME);
    EXPECT_EQ(doc.TITLEFILENAME_2, "/t2.bmp");
    EXPECT_EQ(doc.LiftStateImageTable[0], "/mine.bmp");
    EXPECT_EQ(doc.CUSIDCODE, "ID20");
    EXPECT_EQ(Session.StatusPanels[0], "Project file: " + Work("p.zkf"));
    EXPECT_EQ(Prompts.PictureIn(Images::LiftStateBox(0, 0)), ""); // no lift-state reload
}

TEST_F(ProjectLoad, Version20BlankWeekTypeIsEnglish) {
    Session.Document.WEEKTYPE = TWeekType::OtherLanguage;
    ASSERT_TRUE(LoadText(V20));
    EXPECT_EQ(Session.Document.WEEKTYPE, TWeekType::English);
}

TEST_F(ProjectLoad, LoadingNeverWritesTheFile) {
    const std::string text = V22 + "DEF_FL=1\n; comment=1\n\n[CTBL0]\nCODE_1=a\n";
    ASSERT_TRUE(LoadText(text));
    std::string crlf;
    for (char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    EXPECT_EQ(CoreTest::ReadFile(Work("p.zkf")), crlf);
}
