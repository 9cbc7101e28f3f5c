// The command-line tool's own verbs run without Qt: neither the program nor any verb loads a
// Qt library. Only sample-data and inspect --png start the companion program, which uses Qt.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

class QtFreeVerbs : public ::testing::Test {
protected:
    void SetUp() override {
        std::string dir = (fs::temp_directory_path() / "zkf-qtfree-XXXXXX").string();
        ASSERT_NE(::mkdtemp(dir.data()), nullptr);
        Work = dir;
    }
    void TearDown() override { fs::remove_all(Work); }

    // Runs zkf780a with args; the dynamic loader writes every library it loads into the log
    // (one file per process). The exit status.
    int Run(const std::vector<std::string>& args, const std::string& log) {
        std::string cmd =
            "LD_DEBUG=libs LD_DEBUG_OUTPUT=" + Quote(Work / log) + " " + Quote(ZKF780A_EXE);
        for (const auto& a : args) cmd += " " + Quote(a);
        cmd += " >" + Quote(Work / "out") + " 2>&1";
        const int status = std::system(cmd.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    // The libraries the loader logged for a run, all processes together.
    std::string Loaded(const std::string& log) const {
        std::string all;
        for (const auto& entry : fs::directory_iterator(Work))
            if (entry.path().filename().string().starts_with(log + ".")) all += Slurp(entry.path());
        return all;
    }

    fs::path Work;
};

TEST_F(QtFreeVerbs, TheProgramLinksNoQtLibrary) {
    const std::string cmd = "ldd " + Quote(ZKF780A_EXE) + " >" + Quote(Work / "ldd");
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    const std::string libraries = Slurp(Work / "ldd");
    ASSERT_NE(libraries.find("libc.so"), std::string::npos) << libraries;
    EXPECT_EQ(libraries.find("libQt"), std::string::npos) << libraries;
}

TEST_F(QtFreeVerbs, NoVerbLoadsQtWhileItRuns) {
    for (const char* verb : {"build", "inspect", "upload", "upgrade-ap", "timesync",
                             "simulate-controller", "ports", "disk"}) {
        const std::string log = std::string("help-") + verb;
        EXPECT_EQ(Run({verb, "--help"}, log), 0) << verb << ": " << Slurp(Work / "out");
        const std::string loaded = Loaded(log);
        EXPECT_NE(loaded.find("calling init"), std::string::npos) << verb << ": no loader log";
        EXPECT_EQ(loaded.find("libQt"), std::string::npos) << verb;
    }
    // Verbs that fail on a missing port go as far as opening it.
    Run({"upload", "missing.rom", "--port", "/dev/null-no-such-port"}, "upload");
    Run({"timesync", "--port", "/dev/null-no-such-port"}, "timesync");
    // Real work: MAKE ROM on the demo project, then reading the image back.
    ASSERT_EQ(Run({"sample-data", Work.string(), "--with-default-images"}, "sample"), 0)
        << Slurp(Work / "out");
    ASSERT_EQ(Run({"build", (Work / "demo.zkf").string(), "-C", Work.string(), "--program-dir",
                   Work.string(), "-o", (Work / "demo.ROM").string()},
                  "build"),
              0)
        << Slurp(Work / "out");
    EXPECT_EQ(Run({"inspect", (Work / "demo.ROM").string()}, "inspect"), 0) << Slurp(Work / "out");
    Run({"ports"}, "ports");
    for (const char* log : {"upload", "timesync", "build", "inspect", "ports"}) {
        EXPECT_NE(Loaded(log).find("calling init"), std::string::npos) << log;
        EXPECT_EQ(Loaded(log).find("libQt"), std::string::npos) << log;
    }
    // The companion that made the sample data does load Qt: the check sees what it should.
    EXPECT_NE(Loaded("sample").find("libQt"), std::string::npos);
}

} // namespace
