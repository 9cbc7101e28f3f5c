// Saving the project file: key order, value rules, the date check, the overwrite question and
// the sections kept from an existing file.

#include "CoreTestSupport.h"

#include "app/core/ModelSettings.h"
#include "app/core/ProjectFile.h"
#include "app/core/ProjectGuard.h"

#include <sstream>
#include <stdexcept>

using namespace AppCore;
using CoreTest::ReadFile;

namespace {

class ProjectSave : public CoreTest::TCoreFixture {
protected:
    void SetUp() override {
        TCoreFixture::SetUp();
        WriteWorkingFolder();
        ASSERT_TRUE(Start());
        Messages.Messages.clear();
    }
    // Saves through the Save button with the dialog answered with path.
    void SaveAs(const std::string& path, bool overwrite = true) {
        Prompts.SaveAnswers.push_back(path);
        Prompts.YesNoAnswers.push_back(overwrite);
        SaveProject(Session);
    }
    static std::vector<std::string> Lines(const std::string& text) {
        std::vector<std::string> lines;
        std::size_t start = 0;
        for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos;
             start = end + 2)
            lines.push_back(text.substr(start, end - start));
        return lines;
    }
    static std::vector<std::string> SectionLines(const std::string& text, const std::string& name) {
        std::vector<std::string> lines = Lines(text), section;
        bool inside = false;
        for (const std::string& line : lines) {
            if (!line.empty() && line[0] == '[')
                inside = line == "[" + name + "]";
            else if (inside && !line.empty())
                section.push_back(line);
        }
        return section;
    }
    static std::vector<std::string> Headers(const std::string& text) {
        std::vector<std::string> headers;
        for (const std::string& line : Lines(text))
            if (!line.empty() && line[0] == '[') headers.push_back(line);
        return headers;
    }
};

} // namespace

TEST_F(ProjectSave, GlobalKeysInOrder) {
    ProjectDocument& doc = Session.Document;
    doc.CUSIDCODE = " AB12 ";
    doc.OUTDATE = "100309";
    doc.ROMFILENAME = "lift.bin";
    doc.TITLEFILENAME_V = "/pics/v.bmp";
    doc.SWAPTIME = 4;
    doc.CUSLOGOENABLE = true;
    doc.TITLEFILENAME_C = "/pics/logo.bmp";
    doc.DEFCODETABLE = 2;
    doc.DEF_FL = 3;
    doc.DEF_DIR = 11;
    doc.DISPLAYTYPE = TDisplayType::Horizontal;
    doc.CUSTOMERTITLE = false;
    doc.FLFRAME = true;
    doc.MsgCheckBoxes = 5;
    doc.WEEKTYPE = TWeekType::OtherLanguage;
    doc.WEEKLANG = 1;
    doc.DATEFORMAT = TDateFormat::TYPE2;
    doc.PWRSAVING = 16;
    doc.DPSTYLE = TDpStyle::Left;
    doc.DPDATETIME = false;
    ASSERT_TRUE(ChangeModel(Session, "KRV-GRY"));
    SaveAs(Work("p.zkf"));
    EXPECT_FALSE(Session.SaveIncomplete);
    const std::vector<std::string> expected = {"ZKFVERSION=ZKF780A_2.2",
                                               "CODEVER=KRV-GRY",
                                               "CUSIDCODE=AB12",
                                               "OUTDATE=100309",
                                               "ROMFILENAME=lift.ROM",
                                               "TITLEFILENAME_V=/pics/v.bmp",
                                               "TITLEFILENAME_H=",
                                               "TITLEFILENAME_2=",
                                               "TITLEFILENAME_C=/pics/logo.bmp",
                                               "SWAPTIME=4",
                                               "CUSLOGOENABLE=1",
                                               "DEFCODETABLE=2",
                                               "DEF_FL=3",
                                               "DEF_DIR=11",
                                               "DISPLAYTYPE=H",
                                               "CUSTOMERTITLE=OFF",
                                               "FLFRAME=ON",
                                               "DEF_MSG=5",
                                               "WEEKLANG=1",
                                               "WEEKTYPE=Deutsch",
                                               "DATEFORMAT=TYPE2",
                                               "PWRSAVING=16",
                                               "DPSTYLE=2",
                                               "DPDATETIME=0"};
    const std::string text = ReadFile(Work("p.zkf"));
    EXPECT_EQ(SectionLines(text, "GLOBAL"), expected);
    EXPECT_EQ(Headers(text),
              (std::vector<std::string>{"[GLOBAL]", "[LiftStateImage]", "[CTBL0]", "[CTBL1]",
                                        "[CTBL2]", "[CTBL3]", "[CTBL4]", "[CTBL5]"}));
    EXPECT_EQ(doc.ROMFILENAME, "lift.ROM");
    EXPECT_EQ(Session.StatusPanels[0], "Project file: " + Work("p.zkf"));
    EXPECT_EQ(Prompts.SaveDialogs.at(0).DefaultExt, "zkf");
    EXPECT_EQ(Prompts.SaveDialogs.at(0).Filter, "ZKF780A Project File (*.zkf)|*.zkf");
    EXPECT_TRUE(Prompts.Questions.empty()); // a new file is not questioned
    EXPECT_EQ(Prompts.BusyDepth, 0);
}

TEST_F(ProjectSave, DefaultDocumentValues) {
    SaveAs(Work("d.zkf"));
    const auto global = SectionLines(ReadFile(Work("d.zkf")), "GLOBAL");
    const std::vector<std::string> expected = {"ZKFVERSION=ZKF780A_2.2",
                                               "CODEVER=KRV-RS",
                                               "CUSIDCODE=",
                                               "OUTDATE=",
                                               "ROMFILENAME=ZKF780A.ROM",
                                               "TITLEFILENAME_V=",
                                               "TITLEFILENAME_H=",
                                               "TITLEFILENAME_2=",
                                               "TITLEFILENAME_C=",
                                               "SWAPTIME=0",
                                               "CUSLOGOENABLE=0",
                                               "DEFCODETABLE=0",
                                               "DEF_FL=0",
                                               "DEF_DIR=0",
                                               "DISPLAYTYPE=V",
                                               "CUSTOMERTITLE=ON",
                                               "FLFRAME=OFF",
                                               "DEF_MSG=3",
                                               "WEEKLANG=0",
                                               "WEEKTYPE=ENGLISH",
                                               "DATEFORMAT=TYPE1",
                                               "PWRSAVING=0",
                                               "DPSTYLE=1",
                                               "DPDATETIME=1"};
    EXPECT_EQ(global, expected);
}

TEST_F(ProjectSave, LiftStateAndCodeTableKeys) {
    Session.Document.CodeTables[0][0] = "  b1 ";
    Session.Document.CodeTables[5][255] = "b1arrow";
    Session.Document.CodeTables[3][10] = "\t";
    Session.Document.LiftStateImageTable[17] = "/x/y.bmp";
    SaveAs(Work("c.zkf"));
    const std::string text = ReadFile(Work("c.zkf"));
    const auto lift = SectionLines(text, "LiftStateImage");
    ASSERT_EQ(lift.size(), 40u);
    EXPECT_EQ(lift[0], "LeftState_0_A=" + ProgramDir + "DefaultImage/LiftState/FIRE-128x32_EN.bmp");
    EXPECT_EQ(lift[17], "LeftState_4_B=/x/y.bmp");
    EXPECT_EQ(lift[39].substr(0, 14), "LeftState_9_D=");
    const auto ctbl0 = SectionLines(text, "CTBL0");
    ASSERT_EQ(ctbl0.size(), 256u);
    EXPECT_EQ(ctbl0[0], "CODE_0=B1");
    EXPECT_EQ(ctbl0[1], "CODE_1=");
    EXPECT_EQ(ctbl0[255], "CODE_255=");
    EXPECT_EQ(SectionLines(text, "CTBL5")[255], "CODE_255=B1ARROW");
    EXPECT_EQ(SectionLines(text, "CTBL3")[10], "CODE_10=");
}

TEST_F(ProjectSave, RomFileNameRule) {
    EXPECT_EQ(RomFileNameForSave(""), "ZKF780A.ROM");
    EXPECT_EQ(RomFileNameForSave("   "), "ZKF780A.ROM");
    EXPECT_EQ(RomFileNameForSave(" lift "), "lift.ROM");
    EXPECT_EQ(RomFileNameForSave("lift.rom"), "lift.ROM");
    EXPECT_EQ(RomFileNameForSave("a.b.img"), "a.b.ROM");
    EXPECT_EQ(RomFileNameForSave("dir.v2/lift"), "dir.v2/lift.ROM");
}

TEST_F(ProjectSave, DateCheck) {
    EXPECT_TRUE(IsValidOutDate(""));
    EXPECT_TRUE(IsValidOutDate("  "));
    EXPECT_TRUE(IsValidOutDate("100309"));
    EXPECT_TRUE(IsValidOutDate(" 100309xyz "));
    EXPECT_FALSE(IsValidOutDate("1003"));
    EXPECT_FALSE(IsValidOutDate("10a309"));

    Session.Document.OUTDATE = "1003";
    Prompts.SaveAnswers.push_back(Work("x.zkf"));
    SaveProject(Session);
    EXPECT_TRUE(Session.SaveIncomplete);
    EXPECT_TRUE(Prompts.SaveDialogs.empty());
    ASSERT_EQ(Messages.Messages.size(), 1u);
    EXPECT_EQ(Messages.Messages[0],
              std::make_pair(std::string("Data error"), std::string("Date field data error!!\n")));

    Session.Document.OUTDATE = " 100309ab ";
    SaveProject(Session);
    EXPECT_FALSE(Session.SaveIncomplete);
    EXPECT_EQ(SectionLines(ReadFile(Work("x.zkf")), "GLOBAL")[3], "OUTDATE=100309ab");
}

TEST_F(ProjectSave, TwoOfFourRuleOnlyChangesTheStoredValue) {
    Session.Document.MsgCheckBoxes = 4; // only CheckBox4
    SaveAs(Work("m.zkf"));
    EXPECT_EQ(Session.Document.DEF_MSG, 12);
    EXPECT_EQ(Session.Document.MsgCheckBoxes, 4);
    EXPECT_EQ(SectionLines(ReadFile(Work("m.zkf")), "GLOBAL")[17], "DEF_MSG=12");
    Session.Document.MsgCheckBoxes = 0;
    SaveAs(Work("m.zkf"));
    EXPECT_EQ(Session.Document.DEF_MSG, 3);
}

TEST_F(ProjectSave, CancelAndOverwriteQuestion) {
    SaveProject(Session); // no answer: dialog cancelled
    EXPECT_TRUE(Session.SaveIncomplete);

    CoreTest::WriteFile(Work("old.zkf"), std::string("[KEEP]\r\nA=1\r\n\r\n"));
    SaveAs(Work("old.zkf"), false);
    EXPECT_FALSE(Session.SaveIncomplete);
    ASSERT_EQ(Prompts.Questions.size(), 1u);
    EXPECT_EQ(Prompts.Questions[0], std::make_pair(std::string("Overlay file"),
                                                   std::string("File exist!!\n\nOverlay?\n")));
    EXPECT_EQ(ReadFile(Work("old.zkf")), "[KEEP]\r\nA=1\r\n\r\n");
    EXPECT_EQ(Session.StatusPanels[0], "Project file:");
}

TEST_F(ProjectSave, SavingOverAVersion20FileKeepsItsOtherSectionsFirst) {
    CoreTest::WriteFile(Work("v20.zkf"),
                        std::string("[GLOBAL]\r\nZKFVERSION=ZKF780A_2.0\r\nDEF_FL=2\r\n\r\n"
                                    "[CODETABLE]\r\nCT_1_0=FL_012\r\n\r\n"
                                    "[PRJMEMO]\r\nNOTE=old\r\n\r\n"
                                    "[CTBL2]\r\nCODE_0=OLD\r\n\r\n"
                                    "[USER]\r\nX=y\r\n\r\n"));
    Session.Document.CodeTables[2][0] = "5";
    SaveAs(Work("v20.zkf"));
    const std::string text = ReadFile(Work("v20.zkf"));
    EXPECT_EQ(Headers(text), (std::vector<std::string>{
                                 "[CODETABLE]", "[USER]", "[GLOBAL]", "[LiftStateImage]", "[CTBL0]",
                                 "[CTBL1]", "[CTBL2]", "[CTBL3]", "[CTBL4]", "[CTBL5]"}));
    EXPECT_EQ(SectionLines(text, "CODETABLE"), (std::vector<std::string>{"CT_1_0=FL_012"}));
    EXPECT_EQ(SectionLines(text, "CTBL2")[0], "CODE_0=5");
    EXPECT_EQ(SectionLines(text, "GLOBAL")[0], "ZKFVERSION=ZKF780A_2.2");
    EXPECT_EQ(SectionLines(text, "GLOBAL").size(), 24u);

    // Loading the result reads it as 2.2 and ignores CODETABLE.
    Session.Document.CodeTables[0][0] = "Z";
    ASSERT_TRUE(LoadProjectFile(Session, Work("v20.zkf")));
    EXPECT_EQ(Session.Document.CodeTables[0][0], "");
    EXPECT_EQ(Session.Document.CodeTables[2][0], "5");
}

TEST_F(ProjectSave, RoundTripGivesIdenticalBytes) {
    ProjectDocument& doc = Session.Document;
    doc.CodeTables[0][1] = "1";
    doc.CodeTables[1][2] = "B1";
    doc.CodeTables[4][200] = "LOBBY";
    doc.OUTDATE = "100309";
    doc.CUSIDCODE = "ID01";
    doc.DEF_FL = 4;
    doc.DISPLAYTYPE = TDisplayType::Horizontal;
    doc.WEEKTYPE = TWeekType::OtherLanguage;
    doc.WEEKLANG = 2;
    doc.MsgCheckBoxes = 9;
    doc.PWRSAVING = 3;
    SaveAs(Work("a.zkf"));
    const std::string first = ReadFile(Work("a.zkf"));

    TScriptedPrompts otherPrompts;
    TEditorSession other(otherPrompts);
    ASSERT_TRUE(RunStartup(other, ProgramDir, StartDir));
    ASSERT_TRUE(LoadProjectFile(other, Work("a.zkf")));
    EXPECT_EQ(other.Document, Session.Document);
    otherPrompts.SaveAnswers.push_back(Work("b.zkf"));
    SaveProject(other);
    EXPECT_EQ(ReadFile(Work("b.zkf")), first);
}

// Without a Model list the document's model (as loaded) is written; none gives an empty key.
TEST_F(ProjectSave, NoSelectedModelWritesTheDocumentsModel) {
    Session.Settings.ModelList.clear();
    Session.Document.CODEVER = "KRV-GRY";
    SaveAs(Work("n.zkf"));
    EXPECT_EQ(SectionLines(ReadFile(Work("n.zkf")), "GLOBAL")[1], "CODEVER=KRV-GRY");
    Session.Document.CODEVER.clear();
    SaveAs(Work("n.zkf"));
    EXPECT_EQ(SectionLines(ReadFile(Work("n.zkf")), "GLOBAL")[1], "CODEVER=");
}

TEST_F(ProjectSave, UnwritablePathsReportAndLeaveNothing) {
    std::filesystem::create_directories(Work("folder.zkf"));
    EXPECT_FALSE(WriteProjectFile(Session, Work("folder.zkf")));
    EXPECT_TRUE(std::filesystem::is_directory(Work("folder.zkf")));
    EXPECT_FALSE(Messages.Messages.empty());
    Messages.Messages.clear();
    EXPECT_FALSE(WriteProjectFile(Session, Work("no/such/dir/p.zkf")));
    EXPECT_FALSE(Messages.Messages.empty());
    EXPECT_EQ(Session.StatusPanels[0], "Project file:");
}

TEST_F(ProjectSave, LineBreaksInValuesCannotForgeKeys) {
    Session.Document.CUSIDCODE = "AB\r\nDEF_FL=4";
    Session.Document.CodeTables[0][0] = "1\n[GLOBAL]";
    SaveAs(Work("l.zkf"));
    const std::string text = ReadFile(Work("l.zkf"));
    EXPECT_EQ(SectionLines(text, "GLOBAL")[2], "CUSIDCODE=AB  DEF_FL=4");
    EXPECT_EQ(SectionLines(text, "CTBL0")[0], "CODE_0=1 [GLOBAL]");
    ASSERT_TRUE(LoadProjectFile(Session, Work("l.zkf")));
    EXPECT_EQ(Session.Document.DEF_FL, 0);
}

// Without a window the session keeps only the mark of unsaved changes: a recorded change sets
// it (also one that throws half-way), saving and loading clear it, the title shows it.
TEST_F(ProjectSave, ChangesWithoutTheUndoHistoryAreMarkedUntilSaved) {
    TDocumentChanges& changes = Session.History();
    changes.Record("nothing", [] {});
    EXPECT_FALSE(changes.IsModified());
    changes.Record("cell", [&] { Session.Document.CodeTables[0][1] = "1"; });
    EXPECT_TRUE(changes.IsModified());
    EXPECT_EQ(WindowTitle(Session).rfind(std::string(UntitledName) + "*", 0), 0u);
    SaveAs(Work("m.zkf"));
    EXPECT_FALSE(changes.IsModified());
    EXPECT_THROW(changes.Record("half",
                                [&] {
                                    Session.Document.DEF_FL = 3;
                                    throw std::runtime_error("stopped");
                                }),
                 std::runtime_error);
    EXPECT_TRUE(changes.IsModified());
    ASSERT_TRUE(LoadProjectFile(Session, Work("m.zkf")));
    EXPECT_FALSE(changes.IsModified());
}
