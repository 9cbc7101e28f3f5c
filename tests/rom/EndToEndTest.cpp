// The main job through the command-line tool: sample data -> build -> inspect.

#include "RomTestSupport.h"
#include "XVclUtil/FileUtil.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
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
    EXPECT_NE(missing.Err.find("ZKF file format error!!"), std::string::npos) << missing.Err;
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

} // namespace
