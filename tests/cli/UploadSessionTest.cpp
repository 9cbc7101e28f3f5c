// The command-line transfer runner against the simulator: exit codes and the abort path with a
// short response timer.

#include "link/UploadRig.h"

#include "cli/TUploadSession.h"

#include "tools/controllersim/TSimLine.h"
#include "tools/controllersim/TSimRunner.h"

#include "XVclCtrl/support/EventPump.h"

#include <gtest/gtest.h>

using namespace Link;
using namespace Cli;
using namespace ControllerSim;
using namespace std::chrono_literals;

namespace {

struct SimOnPty {
    explicit SimOnPty(TSimOptions o) : Line(TSimLine::CreatePty()), Runner(Line, o) {
        Runner.Start();
    }
    TSimLine Line;
    TSimRunner Runner;
};

TSimOptions Fast() {
    TSimOptions o;
    o.ReadyIntervalMs = 20;
    return o;
}

} // namespace

TEST(UploadSession, UploadsAndExitsZero) {
    SimOnPty sim(Fast());
    TUploadSessionOptions options;
    options.Port = sim.Line.PeerPath();
    const auto bytes = LinkTest::PatternBytes(64 * 7168, 21);
    EXPECT_EQ(TUploadSession(options).Run(TTransferMode::RomImage,
                                          LinkTest::WriteTempFile("session.rom", bytes)),
              0);
    const auto report = sim.Runner.WaitForSession(2s);
    ASSERT_TRUE(report);
    EXPECT_TRUE(report->Data == bytes);
}

TEST(UploadSession, SilentControllerAbortsWithExitOne) {
    auto o = Fast();
    o.SilentAfterFrames = 0;
    SimOnPty sim(o);
    TUploadSessionOptions options;
    options.Port = sim.Line.PeerPath();
    options.TimeoutMs = 20;
    EXPECT_EQ(TUploadSession(options).Run(TTransferMode::DateTimeSync), 1);
}

TEST(UploadSession, RefusedPortsAndFiles) {
    TUploadSessionOptions options;
    options.Port = "COM99";
    EXPECT_EQ(TUploadSession(options).Run(TTransferMode::DateTimeSync), 1);
    options.Port = "/dev/nonexistent-tty";
    EXPECT_EQ(TUploadSession(options).Run(TTransferMode::DateTimeSync), 1);
    SimOnPty sim(Fast());
    options.Port = sim.Line.PeerPath();
    EXPECT_EQ(TUploadSession(options).Run(TTransferMode::RomImage, "/nonexistent.rom"), 1);
}
