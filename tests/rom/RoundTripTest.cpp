// Build, recover, build again gives the same bytes: for the demo project of the sample data and
// for seeded random projects (ZKF_ROUNDTRIP_PROJECTS of them, 300 by default). Also the
// comparison of two images and the recovery of damaged ones, from the cases in
// tests/data/rom/diff-cases.txt and tests/data/rom/damaged-cases.txt.

#include "RomTestSupport.h"

#include "XVclUtil/Crc8.h"
#include "XVclUtil/FileUtil.h"
#include "XVclUtil/MessageBox.h"
#include "app/core/MakeRom.h"
#include "app/core/ModelSettings.h"
#include "app/core/ProjectFile.h"
#include "app/core/RecoverProject.h"
#include "app/core/Startup.h"
#include "app/core/TScriptedPrompts.h"
#include "rom/MonoBmpWriter.h"
#include "rom/RomDiff.h"
#include "rom/RomImage.h"
#include "rom/RomLayout.h"
#include "rom/RomRecovery.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

using namespace RomTest;

namespace {

std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

std::string DataPath(const std::string& name) {
    const char* data = std::getenv("ZKF_TEST_DATA");
    return std::string(data ? data : ZKF_ROM_TEST_DATA) + "/rom/" + name;
}

// Lines of a case file without comments and blank lines, split at " | ".
std::vector<std::pair<std::string, std::string>> Cases(const std::string& name) {
    std::ifstream in(DataPath(name));
    std::vector<std::pair<std::string, std::string>> cases;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        const std::size_t bar = line.find(" | ");
        if (bar != std::string::npos) cases.emplace_back(line.substr(0, bar), line.substr(bar + 3));
    }
    return cases;
}

// "0x4B816 05 06": bytes put at a file offset.
void Patch(TBytes& image, const std::string& spec) {
    std::istringstream in(spec);
    std::string word;
    in >> word;
    std::size_t at = std::stoul(word, nullptr, 16);
    while (in >> word) {
        if (word == "cut") {
            image.resize(at);
            return;
        }
        if (at < image.size()) image[at] = static_cast<std::uint8_t>(std::stoul(word, nullptr, 16));
        ++at;
    }
}

class RoundTrip : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // Every build and recovery flushes its files to the disk; thousands of them cost
        // nothing on a folder in memory.
        if (const char* old = std::getenv("TMPDIR")) OldTmpDir = old;
        if (::access("/dev/shm", W_OK) == 0) ::setenv("TMPDIR", "/dev/shm", 1);
        Work = new TTempDir;
        const std::string cmd = Quote(ZKF780A_EXE) + " sample-data " + Quote(Work->Path()) +
                                " --with-default-images >/dev/null 2>&1";
        ASSERT_EQ(std::system(cmd.c_str()), 0);
    }
    static void TearDownTestSuite() {
        delete Work;
        Work = nullptr;
        if (OldTmpDir)
            ::setenv("TMPDIR", OldTmpDir->c_str(), 1);
        else
            ::unsetenv("TMPDIR");
    }

    // MAKE ROM as `zkf780a build PROJECT -C WORK --program-dir programDir -o rom` runs it.
    static std::optional<TBytes> Build(const std::string& project, const std::string& programDir,
                                       const std::string& rom) {
        XVclUtil::TMessageCapture quiet;
        AppCore::TScriptedPrompts prompts;
        AppCore::TEditorSession session(prompts);
        AppCore::RunStartup(session, programDir, Work->Path());
        if (!AppCore::LoadProjectFile(session, project)) return std::nullopt;
        prompts.SaveAnswers.push_back(project);
        prompts.YesNoAnswers.push_back(false);
        if (!AppCore::MakeRom(session, rom)) return std::nullopt;
        return ReadBytes(rom);
    }

    static AppCore::TRecoverResult Recover(const std::string& rom, const std::string& folder) {
        XVclUtil::TMessageCapture quiet;
        AppCore::TScriptedPrompts prompts;
        AppCore::TEditorSession session(prompts);
        AppCore::RunStartup(session, Work->Path(), Work->Path());
        return AppCore::RecoverProjectFromImage(session, rom, folder);
    }

    static TTempDir* Work;
    static std::optional<std::string> OldTmpDir;
    TTempDir Out;
};

TTempDir* RoundTrip::Work = nullptr;
std::optional<std::string> RoundTrip::OldTmpDir;

TEST_F(RoundTrip, DemoProjectComesBackByteForByte) {
    const auto first = Build(*Work / "demo.zkf", Work->Path(), Out / "X.ROM");
    ASSERT_TRUE(first);
    const AppCore::TRecoverResult r = Recover(Out / "X.ROM", Out / "F");
    ASSERT_TRUE(r.Ok) << r.Error;
    EXPECT_EQ(r.ProjectPath, Out / "F/X.zkf");
    const auto again = Build(r.ProjectPath, Out / "F", Out / "Y.ROM");
    ASSERT_TRUE(again);
    EXPECT_TRUE(*again == *first);
    std::string error;
    EXPECT_TRUE(
        AppCore::CheckRebuild(r.ProjectPath, Work->Path(), Out / "F", *first, error).empty());
    EXPECT_EQ(error, "");
    EXPECT_TRUE(r.Lost.empty()) << r.Lost.front();
    // The demo names a floor picture in two tables: one file, one name in both cells.
    EXPECT_TRUE(XVclUtil::FileExists(Out / "F/DefaultImage/UserDefine/Floor/Style2/UBF_0.bmp"));
    EXPECT_FALSE(XVclUtil::FileExists(Out / "F/DefaultImage/UserDefine/Floor/Style2/UBF_10.bmp"));
}

// A record decoded, written as BMP and read back encodes to the same record, in both display
// types and for sizes that are not multiples of 8.
TEST_F(RoundTrip, MonoBmpKeepsEveryRecord) {
    std::mt19937 random(7);
    for (int n = 0; n < 50; ++n) {
        Rom::TPicture p(1 + int(random() % 140), 1 + int(random() % 90));
        for (auto& pixel : p.Pixels) pixel = random() % 3 == 0 ? 0 : 0xFFFFFF;
        for (auto type : {Rom::TDisplayType::Horizontal, Rom::TDisplayType::Vertical}) {
            const TBytes record = Rom::EncodeMonoRecord(p, type);
            Rom::TPicture stored = Rom::DecodeMonoBitmap(record);
            if (type == Rom::TDisplayType::Vertical) stored = Rom::TurnedClockwise(stored);
            const TBytes bmp = Rom::EncodeMonoBmp(stored);
            EXPECT_EQ(Rom::EncodeMonoRecord(Rom::LoadPictureData(bmp, "x"), type), record)
                << p.Width << "x" << p.Height;
        }
    }
}

// A random picture of the given size as a BMP file.
void RandomPicture(std::mt19937& random, int w, int h, const std::string& path) {
    Rom::TPicture p(w, h);
    for (auto& pixel : p.Pixels) pixel = random() % 4 == 0 ? 0 : 0xFFFFFF;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    WriteBytes(path, Rom::EncodeMonoBmp(p));
}

// A random project in dir, whose own pictures lie in dir (and its DefaultImage tree).
std::string RandomProject(std::mt19937& random, const std::string& work, const std::string& dir) {
    auto pick = [&](int n) { return int(random() % unsigned(n)); };
    XVclUtil::TMessageCapture quiet;
    AppCore::TScriptedPrompts prompts;
    AppCore::TEditorSession session(prompts);
    AppCore::RunStartup(session, work + "/", work);
    AppCore::ChangeModelIndex(session, pick(int(session.Settings.ModelList.size())));
    AppCore::ProjectDocument& d = session.Document;
    d.DEF_FL = pick(5);
    d.DEF_DIR = pick(12);
    d.DEFCODETABLE = pick(6);
    d.MsgCheckBoxes = pick(16);
    d.DPSTYLE = pick(2) ? AppCore::TDpStyle::Left : AppCore::TDpStyle::Right;
    d.DISPLAYTYPE = pick(2) ? AppCore::TDisplayType::Vertical : AppCore::TDisplayType::Horizontal;
    d.CUSTOMERTITLE = pick(2);
    d.FLFRAME = pick(2);
    d.WEEKTYPE = pick(2) ? AppCore::TWeekType::English : AppCore::TWeekType::OtherLanguage;
    d.WEEKLANG = pick(3);
    d.DATEFORMAT = pick(2) ? AppCore::TDateFormat::TYPE1 : AppCore::TDateFormat::TYPE2;
    d.PWRSAVING = pick(17);
    d.DPDATETIME = pick(2);
    d.SWAPTIME = pick(30);
    d.OUTDATE = pick(2) ? "" : std::to_string(100000 + pick(900000));
    const std::string idChars = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-#";
    d.CUSIDCODE.clear();
    for (int n = pick(5); n > 0; --n)
        d.CUSIDCODE += idChars[std::size_t(pick(int(idChars.size())))];
    auto maybePicture = [&](std::string& field, int w, int h, const char* name) {
        field.clear();
        if (pick(2)) return;
        field = dir + "/" + name;
        RandomPicture(random, w + pick(9) - 4, h + pick(9) - 4, field);
    };
    maybePicture(d.TITLEFILENAME_V, 128, 24, "tv.bmp");
    maybePicture(d.TITLEFILENAME_H, 104, 24, "th.bmp");
    maybePicture(d.TITLEFILENAME_2, 128, 32, "t2.bmp");
    maybePicture(d.TITLEFILENAME_C, 112, 80, "logo.bmp");
    d.CUSLOGOENABLE = pick(2);
    for (int slot = 0; slot < AppCore::LiftStateSlotCount; ++slot) {
        const int choice = pick(6);
        std::string& path = d.LiftStateImageTable[std::size_t(slot)];
        if (choice == 0) path.clear(); // the program folder's default, missing there
        if (choice == 1) {
            path = dir + "/lift" + std::to_string(slot) + ".bmp";
            RandomPicture(random, 128 + pick(5) - 2, 32 + pick(5) - 2, path);
        }
    }
    const std::string floors =
        dir + "/DefaultImage/UserDefine/Floor/Style" + std::to_string(d.DEF_FL);
    const char* names[] = {"ARROW1", "PIC", "FLOORX", "MISSING"};
    for (int n = 0; n < 3; ++n)
        if (pick(3))
            RandomPicture(random, 112 + pick(9) - 4, 80 + pick(9) - 4,
                          floors + "/" + names[n] + ".bmp");
    const std::string labels = "0123456789ABGLMPR-";
    const int fill = 1 + pick(40);
    for (int t = 0; t < AppCore::CodeTableCount; ++t)
        for (int r = 0; r < AppCore::CodeCount; ++r) {
            std::string& cell = d.CodeTables[std::size_t(t)][std::size_t(r)];
            if (pick(100) >= fill) continue;
            switch (pick(4)) {
            case 0:
                cell = std::string(1, labels[std::size_t(pick(int(labels.size())))]);
                break;
            case 1:
                cell = {labels[std::size_t(pick(int(labels.size())))],
                        labels[std::size_t(pick(int(labels.size())))]};
                break;
            case 2:
                cell = pick(2) ? "b1" : " 05 ";
                break;
            default:
                cell = names[pick(4)];
                break;
            }
        }
    d.CodeTables[0][1] = "1";
    const std::string project = dir + "/random.zkf";
    EXPECT_TRUE(AppCore::WriteProjectFile(session, project));
    return project;
}

TEST_F(RoundTrip, SeededRandomProjectsComeBack) {
    const char* count = std::getenv("ZKF_ROUNDTRIP_PROJECTS");
    const int projects = count ? std::atoi(count) : 300;
    for (int seed = 1; seed <= projects; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 random(static_cast<unsigned>(seed));
        TTempDir dir;
        const std::string project = RandomProject(random, Work->Path(), dir.Path());
        const auto first = Build(project, dir.Path(), dir / "X.ROM");
        ASSERT_TRUE(first);
        const AppCore::TRecoverResult r = Recover(dir / "X.ROM", dir / "F");
        ASSERT_TRUE(r.Ok) << r.Error;
        const auto again = Build(r.ProjectPath, dir / "F", dir / "Y.ROM");
        ASSERT_TRUE(again);
        if (*again != *first) FAIL() << Rom::FormatDifferences(Rom::DiffRomImages(*first, *again));
    }
}

TEST_F(RoundTrip, DifferencesAreNamedByMeaning) {
    const auto base = Build(*Work / "demo.zkf", Work->Path(), Out / "X.ROM");
    ASSERT_TRUE(base);
    EXPECT_TRUE(Rom::DiffRomImages(*base, *base).empty());
    const auto cases = Cases("diff-cases.txt");
    ASSERT_FALSE(cases.empty());
    for (const auto& [patch, expected] : cases) {
        TBytes other = *base;
        Patch(other, patch);
        const std::string text = Rom::FormatDifferences(Rom::DiffRomImages(*base, other));
        EXPECT_NE(text.find(expected + "\n"), std::string::npos) << "patch " << patch << " gives:\n"
                                                                 << text;
    }
}

TEST_F(RoundTrip, DamagedImagesAreRefusedWithTheirReason) {
    const auto base = Build(*Work / "demo.zkf", Work->Path(), Out / "X.ROM");
    ASSERT_TRUE(base);
    const auto cases = Cases("damaged-cases.txt");
    ASSERT_FALSE(cases.empty());
    for (const auto& [patch, expected] : cases) {
        TBytes damaged = *base;
        Patch(damaged, patch);
        WriteBytes(Out / "D.ROM", damaged);
        const AppCore::TRecoverResult r = Recover(Out / "D.ROM", Out / "D");
        EXPECT_FALSE(r.Ok) << patch;
        EXPECT_TRUE(r.NotAnImage) << patch;
        EXPECT_NE(r.Error.find(expected), std::string::npos) << patch << ": " << r.Error;
        EXPECT_FALSE(XVclUtil::PathExists(Out / "D")) << patch;
    }
}

struct TRun {
    int Exit = -1;
    std::string Out;
};

// The command-line tool with stdout and stderr together.
TRun Zkf(const std::vector<std::string>& args, const std::string& log) {
    std::string cmd = Quote(ZKF780A_EXE);
    for (const auto& a : args) cmd += " " + Quote(a);
    cmd += " >" + Quote(log) + " 2>&1";
    const int status = std::system(cmd.c_str());
    TRun r;
    r.Exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    const TBytes out = ReadBytes(log);
    r.Out.assign(out.begin(), out.end());
    return r;
}

TEST_F(RoundTrip, RecoverAndDiffThroughTheCommandLine) {
    const std::string w = Work->Path(), log = Out / "log";
    ASSERT_EQ(
        Zkf({"build", w + "/demo.zkf", "-C", w, "--program-dir", w, "-o", Out / "X.ROM"}, log).Exit,
        0);
    TRun r = Zkf({"recover", Out / "X.ROM", "-o", Out / "F", "-C", w, "--program-dir", w}, log);
    EXPECT_EQ(r.Exit, 0) << r.Out;
    EXPECT_NE(r.Out.find("the project memo is not stored in a ROM image"), std::string::npos);
    EXPECT_NE(r.Out.find("check: the project builds the same image, byte for byte"),
              std::string::npos)
        << r.Out;
    EXPECT_EQ(Zkf({"recover", Out / "X.ROM", "-o", Out / "F", "-C", w}, log).Exit, 1);
    r = Zkf({"recover", Out / "X.ROM", "-o", Out / "F", "-C", w, "--program-dir", w, "--force"},
            log);
    EXPECT_EQ(r.Exit, 0) << r.Out;
    r = Zkf({"build", Out / "F/X.zkf", "-C", w, "--program-dir", Out / "F", "-o", Out / "Y.ROM"},
            log);
    EXPECT_EQ(r.Exit, 0) << r.Out;
    EXPECT_EQ(r.Out.find("Error"), std::string::npos) << r.Out; // a quiet start-up in FOLDER
    EXPECT_TRUE(ReadBytes(Out / "X.ROM") == ReadBytes(Out / "Y.ROM"));
    EXPECT_EQ(Zkf({"diff", Out / "X.ROM", Out / "Y.ROM"}, log).Exit, 0);

    TBytes other = ReadBytes(Out / "X.ROM");
    Patch(other, "0x4B40A 42"); // CTBL2 code 0x0A
    Patch(other, "0x801C 05");  // M_4 one byte longer: no longer a record
    WriteBytes(Out / "Z.ROM", other);
    r = Zkf({"diff", Out / "X.ROM", Out / "Z.ROM", "--png", Out / "png"}, log);
    EXPECT_EQ(r.Exit, 1) << r.Out;
    EXPECT_NE(r.Out.find("CTBL2 0x0A: 4 -> B4\n"), std::string::npos) << r.Out;
    EXPECT_NE(r.Out.find("picture M_4 "), std::string::npos) << r.Out;
    EXPECT_TRUE(XVclUtil::FileExists(Out / "png/M_4.png")) << r.Out;

    EXPECT_EQ(Zkf({"diff", Out / "X.ROM", Out / "missing.ROM"}, log).Exit, 2);
    r = Zkf({"recover", Out / "Z.ROM", "-o", Out / "G", "-C", w}, log);
    EXPECT_EQ(r.Exit, 2) << r.Out;
    EXPECT_NE(r.Out.find("is damaged"), std::string::npos) << r.Out;
    EXPECT_FALSE(XVclUtil::PathExists(Out / "G"));
}

// Intact images holding what no project gives: each is named in what cannot come back.
TEST_F(RoundTrip, WhatCannotComeBackIsSaid) {
    const auto base = Build(*Work / "demo.zkf", Work->Path(), Out / "X.ROM");
    ASSERT_TRUE(base);
    const auto cases = Cases("lost-cases.txt");
    ASSERT_FALSE(cases.empty());
    for (const auto& [patch, expected] : cases) {
        TBytes image = *base;
        Patch(image, patch);
        const std::size_t check = Rom::CodeTableBlockOffset + Rom::CodeTableBlockSize - 1;
        image[check] = XVclUtil::Crc8(image.data() + Rom::CodeTableBlockOffset,
                                      check - Rom::CodeTableBlockOffset);
        Rom::SealPageChecks(image);
        WriteBytes(Out / "L.ROM", image);
        const AppCore::TRecoverResult r = Recover(Out / "L.ROM", Out / "L");
        ASSERT_TRUE(r.Ok) << patch << ": " << r.Error;
        std::string lost;
        for (const std::string& line : r.Lost) lost += line + "\n";
        EXPECT_NE(lost.find(expected), std::string::npos) << patch << " gives:\n" << lost;
    }
}

} // namespace
