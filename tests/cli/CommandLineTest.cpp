// The command line's own rules, through the real program: the parser's error paths, --version,
// the exit codes in every --help, the progress lines on a pipe, build --strict and the
// permission message.

#include "cli/CliProcess.h"

#include "XVclCtrl/support/PtyPair.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <regex>
#include <sys/inotify.h>
#include <unistd.h>

using CliTest::TCliProcess;
namespace fs = std::filesystem;

namespace {

// Blocks until the simulator in a child process has made its pseudo-terminal link: inotify on
// the link's folder, watched before the first look so that no creation is missed (10 s at most).
bool WaitForLink(const std::string& link) {
    const fs::path path(link);
    const int fd = ::inotify_init1(IN_CLOEXEC);
    if (fd < 0) return false;
    if (::inotify_add_watch(fd, path.parent_path().c_str(), IN_CREATE | IN_MOVED_TO) < 0) {
        ::close(fd);
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    bool made = fs::is_symlink(path);
    while (!made) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd p{fd, POLLIN, 0};
        if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) <= 0) break;
        char events[4096];
        (void)!::read(fd, events, sizeof events);
        made = fs::is_symlink(path);
    }
    ::close(fd);
    return made;
}

class CommandLine : public ::testing::Test {
protected:
    CommandLine() : Dir(fs::temp_directory_path() / ("cmdline_" + std::to_string(::getpid()))) {
        fs::create_directories(Dir / "a");
        fs::create_directories(Dir / "b");
        fs::permissions(Dir,
                        fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec);
    }
    ~CommandLine() override { fs::remove_all(Dir); }

    // Runs to the end in folder a; its output is kept there.
    std::unique_ptr<TCliProcess> Run(const std::vector<std::string>& args,
                                     const std::string& folder = "a", bool nobody = false) {
        auto p = std::make_unique<TCliProcess>(args, (Dir / folder).string(), nobody);
        p->Wait(60000);
        return p;
    }

    fs::path Dir;
};

TEST_F(CommandLine, MistypedVerbsAndOptionsAreUsageErrorsThatNameTheNearest) {
    auto verb = Run({"uplaod", "x.rom"});
    EXPECT_EQ(verb->Wait(0), 2);
    EXPECT_NE(verb->Err().find("unknown verb \"uplaod\"; did you mean \"upload\"?"),
              std::string::npos)
        << verb->Err();
    // The typo is named, not the --port it leaves missing.
    auto option = Run({"upload", "x.rom", "--prot", "/dev/null"});
    EXPECT_EQ(option->Wait(0), 2);
    EXPECT_NE(option->Err().find("unknown option \"--prot\"; did you mean \"--port\"?"),
              std::string::npos)
        << option->Err();
    auto command = Run({"disk", "reed", "X:", "--map", "X:=x.img"});
    EXPECT_EQ(command->Wait(0), 2);
    EXPECT_NE(command->Err().find("did you mean \"read\"?"), std::string::npos) << command->Err();
    auto far = Run({"build", "p.zkf", "--nothing-like-it"});
    EXPECT_EQ(far->Wait(0), 2);
    EXPECT_EQ(far->Err().find("did you mean"), std::string::npos) << far->Err();
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{},
                                               {"upload", "--port", "/dev/null"},
                                               {"timesync", "--port", "x", "--baud", "0"},
                                               {"simulate-controller", "--nak-rate", "2", "--pty"},
                                               {"--bogus"}}) {
        auto p = Run(args);
        EXPECT_EQ(p->Wait(0), 2) << p->Err();
    }
}

TEST_F(CommandLine, VersionAndExitCodesInEveryHelp) {
    for (const char* flag : {"--version", "-V"}) {
        auto p = Run({flag});
        EXPECT_EQ(p->Wait(0), 0);
        EXPECT_TRUE(std::regex_search(p->Out(), std::regex("^zkf780a [0-9]+\\.[0-9]+")))
            << p->Out();
    }
    auto tool = Run({"--help"});
    ASSERT_EQ(tool->Wait(0), 0);
    std::vector<std::string> verbs;
    const std::string list = tool->Out().substr(tool->Out().find("Verbs"));
    const std::regex verbLine("\n  ([a-z-]+) ");
    for (std::sregex_iterator m(list.begin(), list.end(), verbLine), end; m != end; ++m)
        verbs.push_back((*m)[1]);
    EXPECT_GE(verbs.size(), 10u);
    EXPECT_NE(tool->Out().find("Exit status:"), std::string::npos);
    for (const std::string& verb : verbs) {
        auto p = Run({verb, "--help"});
        EXPECT_EQ(p->Wait(0), 0) << verb;
        EXPECT_NE(p->Out().find("Exit status:"), std::string::npos) << verb << p->Out();
    }
}

// An upload whose output is a file gets a progress line every 10%; --quiet has none.
TEST_F(CommandLine, ProgressLinesOnAPipeAgainstTheSimulator) {
    const std::string link = (Dir / "line").string();
    const std::string rom = (Dir / "a" / "p.rom").string();
    std::ofstream(rom, std::ios::binary) << std::string(64 * 50, 'x');
    for (bool quiet : {false, true}) {
        TCliProcess sim({"simulate-controller", "--pty", link, "--sessions", "1"},
                        (Dir / "b").string());
        WaitForLink(link);
        std::vector<std::string> args = {"upload", rom, "--force", "--port", link};
        if (quiet) args.push_back("--quiet");
        auto up = Run(args);
        EXPECT_EQ(up->Wait(0), 0) << up->Out() << up->Err();
        EXPECT_EQ(sim.Wait(60000), 0) << sim.Err();
        const std::string out = up->Out();
        if (quiet) {
            EXPECT_EQ(out.find("Progress:"), std::string::npos) << out;
            continue;
        }
        const std::regex line("Progress: +([0-9]+)% \\(([0-9]+)/50 blocks, [^)]*\\)\n");
        std::vector<int> steps;
        for (std::sregex_iterator m(out.begin(), out.end(), line), end; m != end; ++m)
            steps.push_back(std::stoi((*m)[1]));
        EXPECT_EQ(steps, (std::vector<int>{10, 20, 30, 40, 50, 60, 70, 80, 90, 100})) << out;
        EXPECT_LT(out.find("Progress: 100%"), out.find("===> UpLoad ROM image finish.<==="));
        EXPECT_EQ(out.find('\r'), std::string::npos) << "no bar in a file";
    }
}

// The simulator waits for sessions without waking; Ctrl-C ends that wait, and the exit is clean:
// the status 0 of an interrupted run and its pseudo-terminal link removed.
TEST_F(CommandLine, SimulatorEndsOnInterrupt) {
    const std::string link = (Dir / "line").string();
    TCliProcess sim({"simulate-controller", "--pty", link}, (Dir / "b").string());
    ASSERT_TRUE(WaitForLink(link)) << sim.Err();
    sim.Signal(SIGINT);
    EXPECT_EQ(sim.Wait(5000), 0) << sim.Err();
    EXPECT_FALSE(fs::is_symlink(link));

    // A file at LINK is the user's: the simulator refuses it and leaves it as it was.
    std::ofstream(link) << "notes";
    TCliProcess refused({"simulate-controller", "--pty", link}, (Dir / "b").string());
    EXPECT_EQ(refused.Wait(5000), 1);
    EXPECT_NE(refused.Err().find("is not a symbolic link"), std::string::npos) << refused.Err();
    EXPECT_EQ(fs::file_size(link), 5u);
}

// --strict turns a build that printed a "[Warning]" line into exit status 3.
TEST_F(CommandLine, StrictBuildsFailOnWarningLines) {
    auto data = Run({"sample-data", (Dir / "b").string()});
    ASSERT_EQ(data->Wait(0), 0) << data->Err();
    auto clean = Run({"build", "demo.zkf", "--strict"}, "b");
    EXPECT_EQ(clean->Wait(0), 0) << clean->Out() << clean->Err();
    EXPECT_EQ(clean->Out().find("[Warning]"), std::string::npos);

    // A ROM file name with a folder part is taken without it, with a warning line.
    std::ifstream in(Dir / "b" / "demo.zkf", std::ios::binary);
    std::string project((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    project =
        std::regex_replace(project, std::regex("ROMFILENAME=[^\r\n]*"), "ROMFILENAME=sub/DEMO.ROM");
    std::ofstream(Dir / "b" / "demo.zkf", std::ios::binary) << project;
    auto lenient = Run({"build", "demo.zkf"}, "b");
    EXPECT_EQ(lenient->Wait(0), 0) << lenient->Err();
    EXPECT_NE(lenient->Out().find("[Warning] ROMFILENAME"), std::string::npos) << lenient->Out();
    auto strict = Run({"build", "demo.zkf", "--strict"}, "b");
    EXPECT_EQ(strict->Wait(0), 3) << strict->Out() << strict->Err();
}

// A device this user may not open is named with its group and the command that grants it.
TEST_F(CommandLine, PermissionDeniedNamesTheGroupAndTheCommand) {
    std::string why;
    if (!CliTest::CanRunAsNobody(why)) GTEST_SKIP() << why;
    TestSupport::TPtyPair locked; // root's, mode 0620
    std::ofstream(Dir / "a" / "KRVZKF780AS1.INI")
        << "[COMPORT]\nCOM5=" << locked.SlavePath() << "\n";
    const std::regex hint("group \"?[a-z0-9_]+\"?[;)]? \\(?sudo usermod -aG [a-z0-9_]+ \\$USER");
    auto ports = Run({"ports"}, "a", true);
    EXPECT_EQ(ports->Wait(0), 0);
    EXPECT_TRUE(std::regex_search(ports->Out(), std::regex("no permission: group [a-z0-9_]+; "
                                                           "sudo usermod -aG [a-z0-9_]+ \\$USER")))
        << ports->Out();
    std::ofstream(Dir / "a" / "x.rom") << std::string(0x70000, '\0');
    for (const char* verb : {"upload", "upgrade-ap", "timesync", "simulate-controller"}) {
        std::vector<std::string> args = {verb, "--port", locked.SlavePath()};
        if (std::string(verb).find("up") == 0) args.insert(args.end(), {"x.rom", "--force"});
        auto p = Run(args, "a", true);
        EXPECT_EQ(p->Wait(0), 1) << verb;
        EXPECT_TRUE(std::regex_search(p->Out() + p->Err(), hint)) << verb << p->Out() << p->Err();
    }
}

} // namespace
