// The main job through the command-line tool: sample data -> build -> inspect.

#include "RomTestSupport.h"
#include "XVclUtil/FileUtil.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace RomTest;

namespace {

struct TRun {
    int Exit = -1;
    std::string Out, Err;
};

std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

TRun Zkf(const TTempDir& logs, const std::vector<std::string>& args) {
    std::string cmd = Quote(ZKF780A_EXE);
    for (const auto& a : args) cmd += " " + Quote(a);
    cmd += " >" + Quote(logs / "out") + " 2>" + Quote(logs / "err");
    TRun r;
    int status = std::system(cmd.c_str());
    r.Exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.Out = Slurp(logs / "out");
    r.Err = Slurp(logs / "err");
    return r;
}

// Golden files live in tests/data/rom; ZKF_UPDATE_GOLDEN=1 rewrites them.
void ExpectGolden(const std::string& name, const std::string& actual) {
    const char* data = std::getenv("ZKF_TEST_DATA");
    if (!data) data = ZKF_ROM_TEST_DATA;
    const std::string path = std::string(data) + "/rom/" + name;
    if (std::getenv("ZKF_UPDATE_GOLDEN")) {
        std::ofstream(path, std::ios::binary) << actual;
        return;
    }
    EXPECT_EQ(actual, Slurp(path))
        << "golden file " << path << " differs (ZKF_UPDATE_GOLDEN=1 rewrites it)";
}

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        TRun r = Zkf(Logs, {"sample-data", Work.Path(), "--with-default-images"});
        ASSERT_EQ(r.Exit, 0) << r.Err;
        Project = Work / "demo.zkf";
        ProjectBytes = ReadBytes(Project);
        Before = Work.Names();
    }
    TRun Build(std::vector<std::string> extra = {}) {
        std::vector<std::string> args = {"build",     Project,         "-C",
                                         Work.Path(), "--program-dir", Work.Path()};
        args.insert(args.end(), extra.begin(), extra.end());
        return Zkf(Logs, args);
    }

    TTempDir Work, Logs;
    std::string Project;
    TBytes ProjectBytes;
    std::vector<std::string> Before;
};

TEST_F(EndToEnd, DemoBuildsVerifiesAndRepeatsByteForByte) {
    TRun b = Build();
    ASSERT_EQ(b.Exit, 0) << b.Out << b.Err;
    EXPECT_NE(b.Out.find("Succeeded: ROM create finish!!"), std::string::npos) << b.Out;
    EXPECT_EQ(ReadBytes(Project), ProjectBytes); // the project file is not rewritten
    std::vector<std::string> after = Work.Names();
    std::vector<std::string> added;
    std::set_difference(after.begin(), after.end(), Before.begin(), Before.end(),
                        std::back_inserter(added));
    ASSERT_FALSE(added.empty());
    for (const std::string& name : added) // only the image and its side file appear
        EXPECT_TRUE(name.ends_with(".ROM") || name.ends_with(".BIN")) << name;
    std::string rom;
    for (const std::string& name : added)
        if (name.ends_with(".ROM")) rom = Work / name;
    ASSERT_EQ(ReadBytes(rom).size(), 458752u);

    TRun again = Build({"-o", Work / "again.ROM"});
    ASSERT_EQ(again.Exit, 0) << again.Err;
    EXPECT_EQ(ReadBytes(Work / "again.ROM"), ReadBytes(rom));

    TRun inspect = Zkf(Logs, {"inspect", rom});
    EXPECT_EQ(inspect.Exit, 0) << inspect.Out;
    ExpectGolden("demo-report.txt", inspect.Out.substr(inspect.Out.find('\n')));

    TRun json = Zkf(Logs, {"inspect", rom, "--json"});
    EXPECT_EQ(json.Exit, 0);
    EXPECT_NE(json.Out.find("\"ok\": true"), std::string::npos);

    TRun png = Zkf(Logs, {"inspect", rom, "--png", Work / "png"});
    EXPECT_EQ(png.Exit, 0) << png.Err;
    EXPECT_TRUE(XVclUtil::FileExists(Work / "png/contact-sheet.png"));
    EXPECT_TRUE(XVclUtil::FileExists(Work / "png/UM_1.png"));
    EXPECT_TRUE(XVclUtil::FileExists(Work / "png/M_10.48.png"));

    TBytes broken = ReadBytes(rom);
    broken[0x30000] ^= 0xFF;
    WriteBytes(Work / "broken.ROM", broken);
    TRun bad = Zkf(Logs, {"inspect", Work / "broken.ROM"});
    EXPECT_EQ(bad.Exit, 2);
    EXPECT_NE(bad.Out.find("FAIL  page check bytes"), std::string::npos) << bad.Out;
}

TEST_F(EndToEnd, MissingLibraryFailsWithTheEditorsMessage) {
    std::remove((Work / "VRC-780AS1V2.GLB").c_str());
    TRun b = Build({"-o", Work / "x.ROM"});
    EXPECT_EQ(b.Exit, 1);
    EXPECT_NE(b.Err.find("Error: GLB file not found!!"), std::string::npos) << b.Err;
    EXPECT_FALSE(XVclUtil::FileExists(Work / "x.ROM"));
}

TEST_F(EndToEnd, BadArgumentsAndMissingFiles) {
    EXPECT_EQ(Zkf(Logs, {"build"}).Exit, 2);
    EXPECT_EQ(Zkf(Logs, {"build", "--help"}).Exit, 0);
    EXPECT_EQ(Zkf(Logs, {"inspect", "--help"}).Exit, 0);
    TRun missing = Zkf(Logs, {"build", Work / "none.zkf", "-C", Work.Path()});
    EXPECT_EQ(missing.Exit, 1);
    EXPECT_NE(missing.Err.find("Error: ZKF file not found!!"), std::string::npos) << missing.Err;
    EXPECT_NE(missing.Err.find("(No such file or directory)"), std::string::npos) << missing.Err;
    TRun folder = Zkf(Logs, {"build", Work.Path(), "-C", Work.Path()});
    EXPECT_EQ(folder.Exit, 1);
    EXPECT_NE(folder.Err.find("ZKF file format error!!"), std::string::npos) << folder.Err;
    EXPECT_EQ(Zkf(Logs, {"inspect", Work / "none.ROM"}).Exit, 1);
    WriteBytes(Work / "short.ROM", TBytes(100, 0));
    EXPECT_EQ(Zkf(Logs, {"inspect", Work / "short.ROM"}).Exit, 2);
}

TEST_F(EndToEnd, NothingIsWrittenWhereTheUserDidNotAsk) {
    // A project whose ROMFILENAME leaves the folder, and a link where the old temporary
    // picture file went.
    std::string text = Slurp(Project);
    const std::size_t at = text.find("ROMFILENAME=");
    ASSERT_NE(at, std::string::npos);
    text.replace(at, text.find("\r\n", at) - at, "ROMFILENAME=../../escaped/EVIL.ROM");
    std::ofstream(Project, std::ios::binary) << text;
    WriteBytes(Logs / "victim", TBytes(4, 7));
    ASSERT_EQ(::symlink((Logs / "victim").c_str(), (Work / "KRV_TEMPBMP.BMP").c_str()), 0);
    TRun b = Build();
    ASSERT_EQ(b.Exit, 0) << b.Out << b.Err;
    EXPECT_NE(b.Out.find("[Warning] ROMFILENAME ../../escaped/EVIL.ROM has a folder part --> "
                         "EVIL.ROM !!!"),
              std::string::npos)
        << b.Out;
    EXPECT_TRUE(XVclUtil::FileExists(Work / "EVIL.ROM"));
    EXPECT_EQ(ReadBytes(Logs / "victim"), TBytes(4, 7));

    TRun bin = Build({"-o", Work / "OUT.bin"}); // the side file would overwrite the image
    EXPECT_EQ(bin.Exit, 2);
    EXPECT_FALSE(XVclUtil::FileExists(Work / "OUT.bin"));

    WriteBytes(Work / "huge.ROM", TBytes());
    std::filesystem::resize_file(Work / "huge.ROM", 8ull << 30); // sparse: refused unread
    TRun huge = Zkf(Logs, {"inspect", Work / "huge.ROM"});
    EXPECT_EQ(huge.Exit, 2);
    EXPECT_NE(huge.Err.find("holds 8589934592 bytes"), std::string::npos) << huge.Err;

    std::filesystem::create_directory(Work / "png");
    ASSERT_EQ(::symlink((Logs / "victim").c_str(), (Work / "png/UM_1.png").c_str()), 0);
    EXPECT_EQ(Zkf(Logs, {"inspect", Work / "EVIL.ROM", "--png", Work / "png"}).Exit, 0);
    EXPECT_EQ(ReadBytes(Logs / "victim"), TBytes(4, 7));
    EXPECT_FALSE(std::filesystem::is_symlink(Work / "png/UM_1.png"));

    TRun again = Zkf(Logs, {"sample-data", Work.Path()}); // the user's files are kept
    EXPECT_EQ(again.Exit, 1);
    EXPECT_NE(again.Err.find("KRVZKF780AS1.INI"), std::string::npos) << again.Err;
    EXPECT_EQ(ReadBytes(Project), TBytes(text.begin(), text.end()));
}

// A start-up that reported an error about a file the build reads, and a picture library that
// cannot be read whole, fail the build: exit 1, no image, and the file named with the reason.
TEST_F(EndToEnd, StartUpErrorsAndACutLibraryWriteNoImage) {
    const std::string ini = Work / "KRVZKF780AS1.INI", glb = Work / "VRC-780AS1V2.GLB";
    const TBytes iniBytes = ReadBytes(ini), glbBytes = ReadBytes(glb);
    auto pointPastEnd = [&] { // directory entry (1, 100) points past the end of the file
        TBytes cut = glbBytes;
        const std::size_t entry = 8 + 1 * 2048 + 100 * 8;
        cut[entry] = 0x7F;
        WriteBytes(glb, cut);
    };
    // Something else in the file's place.
    auto planted = [](const std::string& path, void (*make)(const char*)) {
        return [path, make] {
            std::remove(path.c_str());
            make(path.c_str());
        };
    };
    const struct {
        const char* Case;
        std::function<void()> Spoil;
        std::vector<std::string> Says;
    } cases[] = {
        {"settings file missing",
         [&] { std::remove(ini.c_str()); },
         {"Error: KRVZKF780AS1.INI file not found!!", ini + "\n(No such file or directory)"}},
        {"settings file is a folder",
         planted(ini, [](const char* p) { ::mkdir(p, 0700); }),
         {"Error: KRVZKF780AS1.INI file not found!!", ini + "\n(a folder)"}},
        {"settings file is a FIFO",
         planted(ini, [](const char* p) { ::mkfifo(p, 0600); }),
         {"Error: KRVZKF780AS1.INI file not found!!", ini + "\n(a FIFO)"}},
        {"settings file is a device",
         planted(ini, [](const char* p) { ::symlink("/dev/null", p); }),
         {"Error: KRVZKF780AS1.INI file not found!!", ini + "\n(a device)"}},
        {"settings file with a number that is none",
         [&] {
             WriteBytes(ini,
                        {'[', 'G', 'L', 'O', 'B', 'A', 'L', ']', '\n', 'V', 'C', 'N', '=', 'x'});
         },
         {"Cannot make the ROM image: " + ini + "\n("}},
        {"library is a FIFO",
         planted(glb, [](const char* p) { ::mkfifo(p, 0600); }),
         {"Error: GLB file not found!!", glb + "\n(a FIFO)"}},
        {"library cut short",
         [&] { WriteBytes(glb, TBytes(glbBytes.begin(), glbBytes.begin() + 40000)); },
         {"The picture library VRC-780AS1V2.GLB cannot be read whole:", "pictures lie past"}},
        {"library directory points past its end",
         pointPastEnd,
         {"The picture library VRC-780AS1V2.GLB cannot be read whole:\n1 pictures lie past"}},
    };
    for (const auto& c : cases) {
        c.Spoil();
        TRun b = Build();
        EXPECT_EQ(b.Exit, 1) << c.Case;
        for (const std::string& text : c.Says)
            EXPECT_NE(b.Err.find(text), std::string::npos) << c.Case << ":\n" << b.Err;
        EXPECT_EQ(b.Out.find("ROM create finish"), std::string::npos) << c.Case << b.Out;
        std::filesystem::remove_all(ini);
        std::filesystem::remove_all(glb);
        WriteBytes(ini, iniBytes);
        WriteBytes(glb, glbBytes);
        EXPECT_EQ(Work.Names(), Before) << c.Case; // no image, no side file
    }
    EXPECT_EQ(Build().Exit, 0); // the same folder made whole builds again
}

// inspect looks at the .BIN side file beside the image: the image's code-table block must be
// the side file's bytes 0x1400 to 0x23FE.
TEST_F(EndToEnd, ASideFileOfAnotherBuildIsReported) {
    ASSERT_EQ(Build().Exit, 0);
    TRun good = Zkf(Logs, {"inspect", Work / "DEMO.ROM"});
    EXPECT_EQ(good.Exit, 0) << good.Out;
    EXPECT_NE(good.Out.find("ok    side file                      DEMO.BIN matches the "
                            "code-table block"),
              std::string::npos)
        << good.Out;
    std::string text = Slurp(Project);
    const std::size_t at = text.find("DEFCODETABLE=");
    ASSERT_NE(at, std::string::npos);
    text[at + 13] = text[at + 13] == '4' ? '3' : '4';
    std::ofstream(Work / "other.zkf", std::ios::binary) << text;
    TRun other = Zkf(Logs, {"build", Work / "other.zkf", "-C", Work.Path(), "--program-dir",
                            Work.Path(), "-o", Work / "OTHER.ROM"});
    ASSERT_EQ(other.Exit, 0) << other.Err;
    WriteBytes(Work / "DEMO.BIN", ReadBytes(Work / "OTHER.BIN"));
    TRun bad = Zkf(Logs, {"inspect", Work / "DEMO.ROM"});
    EXPECT_EQ(bad.Exit, 2);
    EXPECT_NE(bad.Out.find("FAIL  side file                      DEMO.BIN does not belong to "
                           "this image: its byte 0x2027 differs"),
              std::string::npos)
        << bad.Out;
    WriteBytes(Work / "DEMO.BIN", TBytes(100, 0));
    TRun shortSide = Zkf(Logs, {"inspect", Work / "DEMO.ROM"});
    EXPECT_EQ(shortSide.Exit, 2);
    EXPECT_NE(shortSide.Out.find("DEMO.BIN holds 100 bytes; a side file holds 15360"),
              std::string::npos)
        << shortSide.Out;
    std::remove((Work / "DEMO.BIN").c_str()); // an image alone is no fault
    EXPECT_EQ(Zkf(Logs, {"inspect", Work / "DEMO.ROM"}).Exit, 0);
}

// An image that passes every check but lacks pictures its options use: inspect names the
// entries, and upload refuses it without --force before anything is sent.
TEST_F(EndToEnd, AnIncompleteImageIsNamedAndNotUploadedUnforced) {
    TRun whole = Build();
    ASSERT_EQ(whole.Exit, 0);
    TRun complete = Zkf(Logs, {"inspect", Work / "DEMO.ROM"});
    EXPECT_EQ(complete.Out.find("warning:"), std::string::npos) << complete.Out;

    std::remove((Work / "DefaultImage/LiftState/FIRE-128x32_EN.bmp").c_str());
    std::remove((Work / "DefaultImage/LiftState/VIP-INV-128x32_CHT.bmp").c_str());
    TRun b = Build({"-o", Work / "GAPS.ROM"}); // two lift-state pictures are left out

    ASSERT_EQ(b.Exit, 0) << b.Err;
    TRun inspect = Zkf(Logs, {"inspect", Work / "GAPS.ROM"});
    EXPECT_EQ(inspect.Exit, 0) << inspect.Out; // every check holds
    EXPECT_NE(inspect.Out.find("warning: lift-state entries without a picture: M_150, M_187\n"),
              std::string::npos)
        << inspect.Out;
    TRun json = Zkf(Logs, {"inspect", Work / "GAPS.ROM", "--json"});
    EXPECT_NE(json.Out.find("\"lift-state entries without a picture: M_150, M_187\""),
              std::string::npos)
        << json.Out;

    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(::grantpt(master), 0);
    ASSERT_EQ(::unlockpt(master), 0);
    const std::string port = ::ptsname(master);
    TRun refused = Zkf(Logs, {"upload", Work / "GAPS.ROM", "--port", port});
    EXPECT_EQ(refused.Exit, 1);
    EXPECT_NE(refused.Err.find("zkf780a upload: Incomplete ROM image: lift-state entries "
                               "without a picture: M_150, M_187"),
              std::string::npos)
        << refused.Err;
    TRun upgrade = Zkf(Logs, {"upgrade-ap", Work / "GAPS.ROM", "--port", port});
    EXPECT_EQ(upgrade.Exit, 1);
    EXPECT_NE(upgrade.Err.find("Incomplete ROM image"), std::string::npos) << upgrade.Err;
    ::close(master);
}

} // namespace
