// The project reader against the cases in tests/data/project: each <case>.zkf is loaded into an
// editor started on a complete working folder, and the result is written out as the load's
// result, every document field, the code cells that are not empty, the lift-state pictures that
// differ from the start-up ones, the status text, the pictures shown and every message raised.
// In the case files @WORK@ stands for the working folder (where the project lies, with the
// pictures title-v.bmp, title-h.bmp, title-2.bmp, logo.bmp, lift.bmp and broken.bmp) and @PROG@
// for the program folder; the expected output uses the same names.

#include "CoreTestSupport.h"
#include "DataCases.h"

#include "app/core/ProjectFile.h"
#include "app/core/TUserPrompts.h"

using namespace AppCore;

namespace {

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

// The message page's lift-state boxes and row pictures, which every load shows again.
bool IsLiftStatePicture(int image) {
    for (int s = 0; s < LiftStateCount; ++s) {
        if (image == Images::LiftStateRowPicture(s)) return true;
        for (int v = 0; v < LiftStateVariantCount; ++v)
            if (image == Images::LiftStateBox(s, v)) return true;
    }
    return false;
}

class ProjectDataCases : public CoreTest::TCoreFixture {
protected:
    void SetUp() override {
        TCoreFixture::SetUp();
        WriteWorkingFolder();
        CoreTest::WriteFile(Work("title-v.bmp"), CoreTest::MakeBmp(128, 24, 2));
        CoreTest::WriteFile(Work("title-h.bmp"), CoreTest::MakeBmp(104, 24, 2));
        CoreTest::WriteFile(Work("title-2.bmp"), CoreTest::MakeBmp(128, 32, 2));
        CoreTest::WriteFile(Work("logo.bmp"), CoreTest::MakeBmp(112, 80, 2));
        CoreTest::WriteFile(Work("lift.bmp"), CoreTest::MakeBmp(128, 32, 3));
        CoreTest::WriteFile(Work("broken.bmp"), std::string("not a picture"));
        ASSERT_TRUE(Start());
        StartupDocument = Session.Document;
        Messages.Messages.clear();
        Prompts.LoadedPictures.clear();
    }

    std::string Local(const std::string& text) const {
        std::string prog = ProgramDir;
        prog.pop_back(); // ends in '/'
        return ReplaceAll(ReplaceAll(text, "@WORK@", StartDir), "@PROG@", prog);
    }
    std::string Portable(const std::string& text) const {
        std::string prog = ProgramDir;
        prog.pop_back();
        return DataCases::Escape(ReplaceAll(ReplaceAll(text, StartDir, "@WORK@"), prog, "@PROG@"));
    }

    std::string Dump(bool loaded) const;
    std::string DumpFields() const;

    ProjectDocument StartupDocument;
};

std::string ProjectDataCases::DumpFields() const {
    const ProjectDocument& d = Session.Document;
    std::string out;
    const auto field = [&](const char* name, const std::string& value) {
        out += std::string(name) + "=" + Portable(value) + "\n";
    };
    const auto number = [&](const char* name, int value) { field(name, std::to_string(value)); };
    field("CODEVER", d.CODEVER);
    field("CUSIDCODE", d.CUSIDCODE);
    field("OUTDATE", d.OUTDATE);
    field("ROMFILENAME", d.ROMFILENAME);
    field("TITLEFILENAME_V", d.TITLEFILENAME_V);
    field("TITLEFILENAME_H", d.TITLEFILENAME_H);
    field("TITLEFILENAME_2", d.TITLEFILENAME_2);
    field("TITLEFILENAME_C", d.TITLEFILENAME_C);
    number("SWAPTIME", d.SWAPTIME);
    number("CUSLOGOENABLE", d.CUSLOGOENABLE);
    number("DEFCODETABLE", d.DEFCODETABLE);
    number("DEF_FL", d.DEF_FL);
    number("DEF_DIR", d.DEF_DIR);
    field("DISPLAYTYPE", d.DISPLAYTYPE == TDisplayType::Horizontal ? "H" : "V");
    field("CUSTOMERTITLE", d.CUSTOMERTITLE ? "ON" : "OFF");
    field("FLFRAME", d.FLFRAME ? "ON" : "OFF");
    number("DEF_MSG", d.DEF_MSG);
    number("message boxes", d.MsgCheckBoxes);
    number("WEEKLANG", d.WEEKLANG);
    field("WEEKTYPE", d.WEEKTYPE == TWeekType::English ? "ENGLISH" : "other language");
    field("DATEFORMAT", d.DATEFORMAT == TDateFormat::TYPE1 ? "TYPE1" : "TYPE2");
    number("PWRSAVING", d.PWRSAVING);
    field("DPSTYLE", d.DPSTYLE == TDpStyle::Right ? "Right" : "Left");
    number("DPDATETIME", d.DPDATETIME);
    for (int t = 0; t < CodeTableCount; ++t)
        for (int n = 0; n < CodeCount; ++n)
            if (const std::string& cell = d.CodeTables[std::size_t(t)][std::size_t(n)];
                !cell.empty())
                out += "CTBL" + std::to_string(t) + "/CODE_" + std::to_string(n) + "=" +
                       Portable(cell) + "\n";
    for (int slot = 0; slot < LiftStateSlotCount; ++slot)
        if (d.LiftStateImageTable[std::size_t(slot)] !=
            StartupDocument.LiftStateImageTable[std::size_t(slot)])
            out += "lift state " + std::to_string(slot / 4) + "ABCD"[slot % 4] + "=" +
                   Portable(d.LiftStateImageTable[std::size_t(slot)]) + "\n";
    return out;
}

std::string ProjectDataCases::Dump(bool loaded) const {
    std::string out = std::string("load ") + (loaded ? "succeeded" : "refused") + "\n";
    out += DumpFields();
    out += "status: " + Portable(Session.StatusPanels[0]) + "\n";
    out += "model: " + Portable(Session.Settings.CurrentModel) + "\n";
    // The stock lift-state pictures are counted, every other picture is listed.
    const std::string stock = ProgramDir + "DefaultImage/LiftState/";
    int stockShown = 0;
    for (const auto& [image, file] : Prompts.LoadedPictures) {
        if (IsLiftStatePicture(image) && file.rfind(stock, 0) == 0)
            ++stockShown;
        else
            out += "picture Image" + std::to_string(image) + ": " + Portable(file) + "\n";
    }
    if (stockShown > 0)
        out += "stock lift-state pictures shown: " + std::to_string(stockShown) + "\n";
    for (const auto& [image, file] : Prompts.FailedPictures)
        out += "picture failed Image" + std::to_string(image) + ": " + Portable(file) + "\n";
    for (const std::string& line : Prompts.MessageLines) out += "line: " + Portable(line) + "\n";
    for (const auto& [caption, text] : Messages.Messages)
        out += "message " + caption + ": " + Portable(text) + "\n";
    return out;
}

} // namespace

TEST_F(ProjectDataCases, EveryCaseLoadsAsExpected) {
    const std::vector<DataCases::TCase> cases = DataCases::List("project", ".zkf");
    ASSERT_FALSE(cases.empty()) << DataCases::DataFolder();
    for (const DataCases::TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        // Every case starts from the editor as start-up left it.
        Session.Document = StartupDocument;
        ASSERT_TRUE(AppCore::RunStartup(Session, ProgramDir, StartDir));
        Messages.Messages.clear();
        Prompts.LoadedPictures.clear();
        Prompts.FailedPictures.clear();
        Prompts.MessageLines.clear();
        const std::string path = Work(c.Input.filename().string());
        const std::string bytes = Local(DataCases::ReadBytes(c.Input));
        CoreTest::WriteFile(path, bytes);
        const bool loaded = LoadProjectFile(Session, path);
        DataCases::Check(c, Dump(loaded));
        EXPECT_EQ(CoreTest::ReadFile(path), bytes) << "loading changed the file";
        std::filesystem::remove(path);
    }
}
