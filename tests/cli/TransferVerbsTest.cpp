// The transfer verbs (upload, upgrade-ap, timesync) run as the real program against a
// pseudo-terminal whose master end the test plays as the controller.

#include "cli/CliProcess.h"

#include "XVclCtrl/support/PtyPair.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

using CliTest::TCliProcess;
using TestSupport::TPtyPair;
namespace fs = std::filesystem;

namespace {

const std::string C = "C", ACK = "\x06";
const std::string Finish = "===> UpLoad ROM image finish.<===";

class TransferVerbs : public ::testing::Test {
protected:
    TransferVerbs() : Dir(fs::temp_directory_path() / ("cli_" + std::to_string(::getpid()))) {
        fs::create_directories(Dir);
        fs::permissions(Dir, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                 fs::perms::others_read | fs::perms::others_exec);
        // The line is raw while the verb has it closed too: no echo of the test's replies.
        RawHold = ::open(Pty.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        termios t{};
        ::tcgetattr(RawHold, &t);
        ::cfmakeraw(&t);
        ::tcsetattr(RawHold, TCSANOW, &t);
    }
    ~TransferVerbs() override {
        ::close(RawHold);
        fs::remove_all(Dir);
    }

    std::string File(const std::string& name, std::size_t size, char fill = 'x') {
        std::ofstream(Dir / name, std::ios::binary) << std::string(size, fill);
        return (Dir / name).string();
    }
    std::unique_ptr<TCliProcess> Run(const std::vector<std::string>& args, bool nobody = false) {
        return std::make_unique<TCliProcess>(args, Dir.string(), nobody);
    }
    // Plays one date/time sync: 'C', the frame, ACK.
    void AnswerSync() {
        Pty.Write(C);
        ASSERT_EQ(Pty.ReadExactly(68, 10000).size(), 68u);
        Pty.Write(ACK);
    }

    fs::path Dir;
    TPtyPair Pty;
    int RawHold = -1;
};

} // namespace

TEST_F(TransferVerbs, SyncFinishesOnlyOnTheAckForItsFrame) {
    auto p = Run({"timesync", "--port", Pty.SlavePath()});
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    Pty.Write(ACK + "\x15"); // stray replies before any frame went out
    EXPECT_EQ(p->Wait(500), -1) << p->Out();
    EXPECT_EQ(Pty.ReadFor(100), "") << "nothing is sent before the controller's 'C'";
    AnswerSync();
    EXPECT_EQ(p->Wait(10000), 0) << p->Out() << p->Err();
    EXPECT_NE(p->Out().find("===> Date & Time Sync. finish <==="), std::string::npos);
}

TEST_F(TransferVerbs, FilesThatAreNoRomImageAreRefusedBeforeAnythingIsSent) {
    ::mkfifo((Dir / "fifo.rom").c_str(), 0644);
    fs::create_directories(Dir / "folder.rom");
    const std::string project = File("demo.zkf", 20000, '[');
    const struct {
        std::vector<std::string> Args;
        std::string Says;
    } cases[] = {
        {{"upload", project}, "Not a ROM image made by MAKE ROM: size: 20000 bytes"},
        {{"upload", (Dir / "folder.rom").string()}, "is a folder, not a ROM image file"},
        {{"upload", (Dir / "fifo.rom").string(), "--force"}, "is a FIFO, not a ROM image file"},
        {{"upgrade-ap", File("short.rom", 1000), "--force"}, "ends before the application"},
    };
    for (const auto& c : cases) {
        auto args = c.Args;
        args.insert(args.end(), {"--port", Pty.SlavePath()});
        auto p = Run(args);
        EXPECT_EQ(p->Wait(10000), 1) << c.Says;
        EXPECT_NE((p->Out() + p->Err()).find(c.Says), std::string::npos) << p->Out() << p->Err();
        Pty.Write(C);
        EXPECT_EQ(Pty.ReadFor(100), "") << c.Says;
    }
}

TEST_F(TransferVerbs, ForceSendsASmallFile) {
    auto p = Run({"upload", File("small.rom", 130), "--force", "--port", Pty.SlavePath()});
    Pty.Write(C);
    for (int block = 0; block < 3; ++block) {
        ASSERT_EQ(Pty.ReadExactly(68, 10000).size(), 68u);
        Pty.Write(ACK);
    }
    EXPECT_EQ(p->Wait(10000), 0) << p->Out() << p->Err();
    EXPECT_NE(p->Out().find(Finish), std::string::npos);
    EXPECT_NE(p->Err().find("sent anyway: --force"), std::string::npos);
}

TEST_F(TransferVerbs, AControllerThatOnlyRestartsIsAbortedAfterTenRestarts) {
    auto p = Run({"upload", File("r.rom", 4096), "--force", "--port", Pty.SlavePath(),
                  "--timeout-ms", "200"});
    std::size_t sent = 0;
    while (p->Wait(0) == -1 && sent < 68 * 40) {
        Pty.Write(C);
        sent += Pty.ReadFor(30).size();
    }
    EXPECT_EQ(p->Wait(10000), 1);
    EXPECT_EQ(sent, 68u * 11) << "the start and ten restarts";
    EXPECT_NE(p->Out().find("===> Transmit abort!! <==="), std::string::npos) << p->Out();
}

TEST_F(TransferVerbs, ALostDeviceEndsTheTransferAtOnce) {
    auto p = Run({"upload", File("l.rom", 4096), "--force", "--port", Pty.SlavePath()});
    Pty.Write(C);
    ASSERT_EQ(Pty.ReadExactly(68, 10000).size(), 68u);
    const auto start = std::chrono::steady_clock::now();
    Pty.CloseMaster();
    EXPECT_EQ(p->Wait(10000), 1);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    EXPECT_LT(ms.count(), 5000) << "ten silent intervals would be 100 s";
    EXPECT_NE(p->Out().find("===> " + Pty.SlavePath() + " lost: transfer failed <==="),
              std::string::npos)
        << p->Out();
}

TEST_F(TransferVerbs, InterruptedRunsSaySoAndExit130Or143) {
    for (const auto& [sig, code] : {std::pair{SIGINT, 130}, std::pair{SIGTERM, 143}}) {
        auto p = Run({"upload", File("i.rom", 4096), "--force", "--port", Pty.SlavePath()});
        Pty.Write(C);
        ASSERT_EQ(Pty.ReadExactly(68, 10000).size(), 68u);
        EXPECT_EQ(Pty.ReadFor(100), "") << "one 'C', one frame";
        p->Signal(sig);
        EXPECT_EQ(p->Wait(10000), code);
        EXPECT_NE(p->Out().find("interrupted: the controller may hold a partial image"),
                  std::string::npos)
            << p->Out();
        EXPECT_EQ(Pty.ReadFor(100), "") << "nothing more is sent";
    }
}

// The signal stops the transfer itself: a reply that comes just after it sends no next frame.
TEST_F(TransferVerbs, AReplyAfterTheSignalSendsNoFurtherFrame) {
    for (const auto& [sig, code] : {std::pair{SIGINT, 130}, std::pair{SIGTERM, 143}}) {
        auto p = Run({"upload", File("s.rom", 4096), "--force", "--port", Pty.SlavePath()});
        Pty.Write(C);
        ASSERT_EQ(Pty.ReadExactly(68, 10000).size(), 68u);
        Pty.Write(ACK);
        ASSERT_EQ(Pty.ReadExactly(68, 10000).size(), 68u) << "the second frame";
        p->Signal(sig);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        Pty.Write(ACK);
        EXPECT_EQ(Pty.ReadFor(300), "") << "no frame after the signal";
        EXPECT_EQ(p->Wait(10000), code);
        EXPECT_NE(p->Out().find("interrupted: the controller may hold a partial image"),
                  std::string::npos)
            << p->Out();
    }
}

TEST_F(TransferVerbs, ComPortsAreNamedAsInTheWindow) {
    std::ofstream(Dir / "KRVZKF780AS1.INI") << "[COMPORT]\nCOM3=" << Pty.SlavePath() << "\n";
    auto p = Run({"timesync", "--port", "COM3"});
    AnswerSync();
    EXPECT_EQ(p->Wait(10000), 0);
    EXPECT_NE(p->Out().find(">>> Open COM 3 (" + Pty.SlavePath() + ") <<<"), std::string::npos)
        << p->Out();
    auto bad = Run({"timesync", "--port", "COM17"});
    EXPECT_EQ(bad->Wait(10000), 1);
    EXPECT_NE(bad->Err().find("PcUart1: Invalid value !!!"), std::string::npos) << bad->Err();
}

// A user who may not write the settings file, or may not use the device, gets a message and an
// exit status, never an abort.
TEST_F(TransferVerbs, NonRootUserWithAReadOnlySettingsFile) {
    std::string why;
    if (!CliTest::CanRunAsNobody(why)) GTEST_SKIP() << why;
    std::ofstream(Dir / "KRVZKF780AS1.INI") << "[COMPORT]\nCOM3=" << Pty.SlavePath() << "\n";
    fs::permissions(Dir / "KRVZKF780AS1.INI", fs::perms::owner_read | fs::perms::others_read);
    TPtyPair locked; // root's, mode 0620: permission denied for nobody
    ::chmod(Pty.SlavePath().c_str(), 0666);

    auto ports = Run({"ports"}, true);
    EXPECT_EQ(ports->Wait(10000), 0) << ports->Err();
    auto denied = Run({"timesync", "--port", locked.SlavePath()}, true);
    EXPECT_EQ(denied->Wait(10000), 1);
    EXPECT_NE(denied->Out().find("The comm device can not access (permission denied)"),
              std::string::npos)
        << denied->Out();
    EXPECT_NE(denied->Out().find("add your user to the group"), std::string::npos);
    auto sync = Run({"timesync", "--port", Pty.SlavePath()}, true);
    AnswerSync();
    EXPECT_EQ(sync->Wait(10000), 0) << sync->Out() << sync->Err();
    auto upload = Run({"upload", File("n.rom", 64), "--port", "COM3", "--timeout-ms", "50"}, true);
    EXPECT_EQ(upload->Wait(20000), 1) << upload->Err(); // 64 bytes are no ROM image
    for (auto* p : {ports.get(), denied.get(), sync.get(), upload.get()})
        EXPECT_EQ(p->Err().find("terminate called"), std::string::npos) << p->Err();
}
