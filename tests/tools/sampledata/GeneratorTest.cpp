// The working folder as a whole: same bytes on every run, a settings file and a demo project
// the editor core reads back, the editor's start-up on it, and clean failures.

#include "SampleTestSupport.h"

#include "tools/sampledata/DefaultImageTree.h"
#include "tools/sampledata/DemoProject.h"
#include "tools/sampledata/TSampleDataGenerator.h"
#include "tools/sampledata/ToolSettingsFile.h"

#include "app/core/ModelSettings.h"
#include "app/core/ProjectFile.h"
#include "app/core/Startup.h"
#include "app/core/TEditorSession.h"
#include "app/core/TScriptedPrompts.h"

#include "XVclUtil/MessageBox.h"
#include "XVclUtil/ini/TXIniFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <sys/stat.h>

using namespace SampleData;
using namespace SampleTest;
namespace fs = std::filesystem;

namespace {

void Generate(const std::string& dir, bool withDefaultImages = true, std::string fontRoot = "",
              std::string png = "", bool force = false) {
    TSampleDataOptions options;
    options.Force = force;
    options.Dir = dir;
    options.WithDefaultImages = withDefaultImages;
    options.FontRoot = std::move(fontRoot);
    options.ContactSheetPng = std::move(png);
    TSampleDataGenerator(options).Run();
}

// Names of leftover temporary files anywhere below dir.
std::vector<std::string> Leftovers(const std::string& dir) {
    std::vector<std::string> found;
    for (const auto& e : fs::recursive_directory_iterator(dir)) {
        const std::string name = e.path().filename().string();
        if (name.find(".tmp") != std::string::npos || name.find(".new") != std::string::npos ||
            name.find(".old") != std::string::npos)
            found.push_back(name);
    }
    return found;
}

// Works in another folder while it lives.
class TCurrentDir {
public:
    explicit TCurrentDir(const std::string& dir) : Previous(fs::current_path()) {
        fs::current_path(dir);
    }
    ~TCurrentDir() { fs::current_path(Previous); }

private:
    fs::path Previous;
};

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
        text.replace(at, from.size(), to);
    return text;
}

} // namespace

TEST(SampleDataGenerator, WritesTheWorkingFolder) {
    TTempDir dir;
    Generate(dir.Path());
    for (const char* name : {"VRC-780AS1V2.GLB", "KRVZKF780AS1.INI", "demo.zkf", "TITLE_V.bmp",
                             "TITLE_H.bmp", "TITLE_2.bmp", "LOGO.bmp", "VIP-GOLD-128x32_EN.bmp",
                             "DefaultImage/LiftState/FIRE-128x32_EN.bmp",
                             "DefaultImage/UserDefine/Floor/Style2/LOBBY.bmp"})
        EXPECT_TRUE(fs::is_regular_file(dir / name)) << name;
    EXPECT_EQ(ReadFile(dir / "VRC-780AS1V2.GLB"), GlbBytes());
    EXPECT_TRUE(Leftovers(dir.Path()).empty());
}

TEST(SampleDataGenerator, SameBytesOnEveryRun) {
    TTempDir a, b;
    Generate(a.Path());
    const auto first = ReadTree(a.Path());
    Generate(a.Path(), true, "", "", true); // over its own output
    EXPECT_EQ(ReadTree(a.Path()), first);
    Generate(b.Path()); // into another folder: only the paths inside demo.zkf differ
    auto second = ReadTree(b.Path());
    ASSERT_EQ(second.size(), first.size());
    second["demo.zkf"] = Replaced(second["demo.zkf"], b.Path(), a.Path());
    EXPECT_TRUE(second == first);
    EXPECT_TRUE(Leftovers(a.Path()).empty());
}

TEST(SampleDataGenerator, SettingsFileListsFiveModels) {
    TTempDir dir;
    Generate(dir.Path(), false);
    XVclUtil::TXIniFile ini(dir / "KRVZKF780AS1.INI");
    EXPECT_EQ(ini.ReadInteger("GLOBAL", "VCN", 0), 5);
    const std::vector<std::string> builtIn = {"KRV-RS", "KRV-CS", "KRV-BIN", "KRV-GRY", "KRV-LED"};
    int sideFileModels = 0;
    for (int n = 1; n <= 5; ++n) {
        const std::string model = ini.ReadString("GLOBAL", "ITEM" + std::to_string(n), "");
        EXPECT_EQ(model, builtIn[n - 1]);
        EXPECT_TRUE(ini.SectionExists(model)) << model;
        EXPECT_EQ(ini.ReadInteger(model, "BANK", -1), 2);
        if (ini.ReadInteger(model, "OUTCPUBIN", 0) == 1) {
            ++sideFileModels;
            EXPECT_TRUE(ini.KeyExists(model, "CFI"));
            EXPECT_TRUE(ini.KeyExists(model, "IFI"));
        }
    }
    EXPECT_EQ(sideFileModels, 1);
    EXPECT_EQ(ini.ReadString("GLOBAL", "GLB", ""), "VRC-780AS1V2.GLB");
    EXPECT_FALSE(ini.ReadString("GLOBAL", "APNOTE", "").empty());
    ini.Modified = false;
}

TEST(SampleDataGenerator, EveryModelFindsItsPmAndConfigurationEntries) {
    TTempDir dir;
    Generate(dir.Path(), false);
    AppCore::ToolSettings settings; // start-up values: CFI 247, IFI 248
    for (const TSampleModel& m : SampleModels()) {
        AppCore::ReadModelSettings(settings, dir.Path(), m.Name);
        SCOPED_TRACE(m.Name);
        EXPECT_GE(GlbEntryBytes(GlbBytes(), 0, settings.CFI).size(), 3328u);
        const std::size_t ifi = GlbEntryBytes(GlbBytes(), 0, settings.IFI).size();
        EXPECT_GT(ifi, 0u);
        EXPECT_LE(ifi, 4096u);
        for (int k = 0; k < 4; ++k) {
            EXPECT_FALSE(GlbEntryBytes(GlbBytes(), settings.BANK, settings.OFFSET + k).empty());
            EXPECT_FALSE(GlbEntryBytes(GlbBytes(), settings.BANK, settings.SETOFFSET + k).empty());
        }
    }
}

TEST(SampleDataGenerator, EditorStartsUpOnTheFolderAndLoadsTheDemo) {
    TTempDir dir;
    Generate(dir.Path());
    XVclUtil::TMessageCapture messages;
    AppCore::TScriptedPrompts prompts;
    AppCore::TEditorSession session(prompts);
    TCurrentDir inside(dir.Path()); // start-up takes the working folder as StartDir
    const bool started = AppCore::RunStartup(session, dir.Path() + "/", dir.Path());
    ASSERT_TRUE(started) << (messages.Messages.empty() ? "" : messages.Messages[0].second);
    EXPECT_EQ(session.Settings.ModelList.size(), 5u);
    EXPECT_EQ(session.Caption.substr(session.Caption.size() - 11), "Sample data");
    // Every preview and lift-state picture loaded.
    EXPECT_TRUE(prompts.FailedPictures.empty());
    for (int image : {1, 3, 5, 6, 7, 8, 9, 10, 15, 21, 22, 61, 63, 72})
        EXPECT_FALSE(prompts.PictureIn(image).empty()) << "Image" << image;

    ASSERT_TRUE(AppCore::LoadProjectFile(session, dir / "demo.zkf"));
    EXPECT_TRUE(messages.Messages.empty())
        << messages.Messages[0].first << ": " << messages.Messages[0].second;
    AppCore::ProjectDocument expected = DemoDocument(dir.Path(), dir.Path() + "/");
    for (auto& cell : expected.CodeTables[5])
        cell = QString::fromStdString(cell).toUpper().toStdString(); // saved upper-cased
    EXPECT_TRUE(session.Document == expected);
    EXPECT_EQ(session.Settings.CurrentModel, DemoModel);
    EXPECT_EQ(session.Settings.OUTCPUBIN, 1);
}

TEST(SampleDataGenerator, DemoUsesEveryFeature) {
    const AppCore::ProjectDocument doc = DemoDocument("/w", "/p/");
    const AppCore::ProjectDocument defaults;
    int tablesWithLeadingZero = 0, tablesWithOneChar = 0, tablesWithTwoChars = 0;
    std::map<std::string, std::set<int>> pictureTables;
    for (int t = 0; t < 6; ++t) {
        bool zero = false, one = false, two = false;
        for (const std::string& cell : doc.CodeTables[t]) {
            zero |= cell.size() == 2 && cell[0] == '0';
            one |= cell.size() == 1;
            two |= cell.size() == 2;
            if (cell.size() >= 3) pictureTables[cell].insert(t);
        }
        tablesWithLeadingZero += zero;
        tablesWithOneChar += one;
        tablesWithTwoChars += two;
    }
    EXPECT_GE(tablesWithLeadingZero, 2);
    EXPECT_GE(tablesWithOneChar, 3);
    EXPECT_GE(tablesWithTwoChars, 3);
    EXPECT_TRUE(std::any_of(pictureTables.begin(), pictureTables.end(),
                            [](const auto& p) { return p.second.size() >= 2; }));
    // Every floor picture named exists in the sample floor pictures.
    for (const auto& [name, tables] : pictureTables)
        EXPECT_NE(
            std::find(SampleFloorPictureNames().begin(), SampleFloorPictureNames().end(), name),
            SampleFloorPictureNames().end())
            << name;
    EXPECT_NE(doc.DEFCODETABLE, defaults.DEFCODETABLE);
    EXPECT_NE(doc.DEF_FL, defaults.DEF_FL);
    EXPECT_NE(doc.DEF_DIR, defaults.DEF_DIR);
    EXPECT_NE(doc.DEF_MSG, defaults.DEF_MSG);
    EXPECT_NE(doc.DPSTYLE, defaults.DPSTYLE);
    EXPECT_NE(doc.WEEKTYPE, defaults.WEEKTYPE);
    EXPECT_NE(doc.DATEFORMAT, defaults.DATEFORMAT);
    EXPECT_NE(doc.PWRSAVING, 0);
    EXPECT_TRUE(doc.CUSLOGOENABLE);
    EXPECT_FALSE(doc.TITLEFILENAME_V.empty());
    EXPECT_FALSE(doc.TITLEFILENAME_H.empty());
    EXPECT_FALSE(doc.TITLEFILENAME_2.empty());
    EXPECT_FALSE(doc.TITLEFILENAME_C.empty());
    EXPECT_EQ(doc.LiftStateImageTable[0], "/p/DefaultImage/LiftState/FIRE-128x32_EN.bmp");
    for (int s = 0; s < 10; ++s)
        for (int v = 0; v < 4; ++v)
            EXPECT_EQ(LiftStateFileName(s, v), AppCore::DefaultLiftStateFileName(s, v));
}

TEST(SampleDataGenerator, DemoPicturesFitTheUmBlock) {
    const TFileSet pictures = DemoPictures(Fonts());
    std::size_t um = 18; // index of three entries
    for (const char* name : {"TITLE_V.bmp", "TITLE_2.bmp", "LOGO.bmp"}) {
        const QImage p = DecodeBmp(pictures.at(name));
        ASSERT_FALSE(p.isNull()) << name;
        um += 4 + p.width() * p.height() / 8;
    }
    EXPECT_LE(um, 4096u);
    EXPECT_EQ(DecodeBmp(pictures.at("TITLE_V.bmp")).size(), QSize(128, 24));
    EXPECT_EQ(DecodeBmp(pictures.at("TITLE_H.bmp")).size(), QSize(104, 24));
    EXPECT_EQ(DecodeBmp(pictures.at("TITLE_2.bmp")).size(), QSize(128, 32));
    EXPECT_EQ(DecodeBmp(pictures.at("LOGO.bmp")).size(), QSize(112, 80));
}

TEST(SampleDataGenerator, ContactSheetShowsTheLibrary) {
    TTempDir dir;
    Generate(dir.Path(), false, "", dir / "sheets/sheet.png");
    const QImage sheet(QString::fromStdString(dir / "sheets/sheet.png"));
    ASSERT_FALSE(sheet.isNull());
    EXPECT_EQ(sheet.width(), 1280);
    EXPECT_GT(sheet.height(), 1000);
}

TEST(SampleDataGenerator, UnwritableFolderFailsCleanly) {
    TTempDir dir;
    WriteFile(dir / "plainfile", "x");
    try {
        Generate(dir / "plainfile/sub");
        FAIL() << "no error";
    } catch (const XVclUtil::EXGeneral& e) {
        EXPECT_NE(std::string(e.what()).find("plainfile"), std::string::npos) << e.what();
    }
    EXPECT_EQ(ReadTree(dir.Path()).size(), 1u);
}

TEST(SampleDataGenerator, MissingFontFailsBeforeWritingAnything) {
    TTempDir fonts, out;
    fs::create_directories(fonts / "dejavu");
    for (const char* f : {"DejaVuSans.ttf", "DejaVuSans-Bold.ttf"})
        fs::copy_file("/usr/share/fonts/truetype/dejavu/" + std::string(f),
                      fonts / ("dejavu/" + std::string(f)));
    try {
        Generate(out / "work", true, fonts.Path());
        FAIL() << "no error";
    } catch (const XVclUtil::EXGeneral& e) {
        const std::string message = e.what();
        EXPECT_NE(message.find("DejaVuSansCondensed-Bold.ttf"), std::string::npos) << message;
        EXPECT_NE(message.find("fonts-dejavu-core"), std::string::npos) << message;
    }
    EXPECT_FALSE(fs::exists(out / "work"));
}

TEST(SampleDataGenerator, FailureHalfWayLeavesOnlyWholeFiles) {
    TTempDir dir;
    WriteFile(dir / "blocker", "a file where the contact sheet's folder should be");
    EXPECT_THROW(Generate(dir.Path(), false, "", dir / "blocker/sheet.png", true),
                 XVclUtil::EXGeneral);
    // What was written before the failure is whole; no temporary files are left.
    EXPECT_EQ(ReadFile(dir / "VRC-780AS1V2.GLB"), GlbBytes());
    EXPECT_TRUE(Leftovers(dir.Path()).empty()) << Leftovers(dir.Path())[0];
}

TEST(SampleDataGenerator, FilesAlreadyThereAreListedAndKeptUnlessForced) {
    TTempDir dir;
    const std::string settings = "[COMPORT]\r\nCOM1=/dev/ttyUSB0\r\n";
    WriteFile(dir / "KRVZKF780AS1.INI", settings);
    fs::create_symlink(dir / "elsewhere.zkf", dir / "demo.zkf"); // a link counts as taken
    try {
        Generate(dir.Path(), false);
        FAIL() << "no error";
    } catch (const XVclUtil::EXGeneral& e) {
        const std::string message = e.what();
        EXPECT_NE(message.find(dir / "KRVZKF780AS1.INI"), std::string::npos) << message;
        EXPECT_NE(message.find(dir / "demo.zkf"), std::string::npos) << message;
        EXPECT_EQ(message.find("GLB"), std::string::npos) << message; // only the taken names
    }
    EXPECT_EQ(ReadFile(dir / "KRVZKF780AS1.INI"), settings);
    EXPECT_FALSE(fs::exists(dir / "VRC-780AS1V2.GLB"));
    Generate(dir.Path(), false, "", "", true);
    EXPECT_NE(ReadFile(dir / "KRVZKF780AS1.INI"), settings);
    EXPECT_TRUE(fs::is_symlink(dir / "demo.zkf")); // written through the link, which stays
    EXPECT_TRUE(fs::is_regular_file(dir / "elsewhere.zkf"));
}

// --force replaces files, and writes through links to files; a FIFO, a device or a folder
// under one of the names is refused before anything is written.
TEST(SampleDataGenerator, ForceKeepsLinksAndRefusesWhatIsNoFile) {
    TTempDir dir;
    const std::string settings = dir / "KRVZKF780AS1.INI", project = dir / "demo.zkf";
    const struct {
        const char* Says;
        std::function<void()> Plant;
    } cases[] = {
        {"demo.zkf (a FIFO)", [&] { ASSERT_EQ(::mkfifo(project.c_str(), 0600), 0); }},
        {"KRVZKF780AS1.INI (a device)", [&] { fs::create_symlink("/dev/null", settings); }},
        {"demo.zkf (a folder)", [&] { fs::create_directories(project); }},
    };
    for (const auto& c : cases) {
        c.Plant();
        try {
            Generate(dir.Path(), false, "", "", true);
            ADD_FAILURE() << "no error: " << c.Says;
        } catch (const XVclUtil::EXGeneral& e) {
            EXPECT_NE(std::string(e.what()).find(c.Says), std::string::npos) << e.what();
        }
        EXPECT_FALSE(fs::exists(dir / "VRC-780AS1V2.GLB")) << c.Says; // nothing written
        EXPECT_TRUE(fs::exists(fs::symlink_status(settings)) ||
                    fs::exists(fs::symlink_status(project)));
        fs::remove_all(settings);
        fs::remove_all(project);
    }
    fs::create_directories(dir / "real");
    WriteFile(dir / "real/settings.ini", "[COMPORT]\r\nCOM1=/dev/ttyUSB0\r\n");
    fs::create_symlink("real/settings.ini", settings);
    Generate(dir.Path(), false, "", "", true);
    EXPECT_TRUE(fs::is_symlink(settings)); // written through the link, which stays
    EXPECT_NE(ReadFile(dir / "real/settings.ini").find("KRV-RS"), std::string::npos);
    EXPECT_TRUE(Leftovers(dir.Path()).empty()) << Leftovers(dir.Path())[0];
}

TEST(SampleDataGenerator, DefaultImageTreeIsSwappedWhole) {
    TTempDir dir;
    fs::create_directories(dir / "DefaultImage/LiftState");
    WriteFile(dir / "DefaultImage/LiftState/STALE.bmp", "old");
    GenerateDefaultImages(dir.Path());
    const auto tree = ReadTree(dir / "DefaultImage");
    EXPECT_EQ(tree.count("LiftState/STALE.bmp"), 0u);
    EXPECT_EQ(tree.size(), BuildDefaultImageTree(Fonts()).size());
    EXPECT_TRUE(Leftovers(dir.Path()).empty());
}

TEST(SampleDataGenerator, BuildStepTreeBesideTheExecutablesIsCurrent) {
    const std::string programDir = ZKF_PROGRAM_DIR;
    ASSERT_TRUE(fs::is_directory(programDir + "DefaultImage")) << programDir;
    std::map<std::string, std::string> expected;
    for (const auto& [path, bytes] : BuildDefaultImageTree(Fonts()))
        expected[path.substr(std::string("DefaultImage/").size())] = bytes;
    EXPECT_TRUE(ReadTree(programDir + "DefaultImage") == expected);
}
