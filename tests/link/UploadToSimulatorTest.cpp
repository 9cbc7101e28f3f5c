// Whole transfers over a pseudo-terminal pair: the serial component and the protocol on one
// end, the simulated controller on the other.

#include "UploadRig.h"

#include "tools/controllersim/TSimLine.h"
#include "tools/controllersim/TSimRunner.h"

#include "XVclCtrl/support/EventPump.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

using namespace Link;
using namespace LinkTest;
using namespace ControllerSim;
using namespace std::chrono_literals;

namespace {

TSimOptions FastOptions() {
    TSimOptions o;
    o.ReadyIntervalMs = 20;
    o.ResendAfterMs = 40;
    o.SilentNakLimit = 2;
    return o;
}

class UploadToSimulator : public ::testing::Test {
protected:
    void Start(const TSimOptions& o = FastOptions()) {
        Line = TSimLine::CreatePty();
        Sim = std::make_unique<TSimRunner>(Line, o);
        Rig = std::make_unique<TUploadRig>(Line.PeerPath());
        Rig->Connect();
        ASSERT_TRUE(Rig->Port.Opened()) << Rig->Port.LastErrorText();
        Sim->Start();
    }
    // The controller's report of the transfer just finished (it closes a short one after its
    // silence NAKs, so pump the PC side meanwhile).
    std::optional<TSessionReport> LastReport(int ms = 3000) {
        std::optional<TSessionReport> last;
        for (int waited = 0; waited < ms; waited += 20) {
            TestSupport::PumpFor(10);
            while (auto r = Sim->WaitForSession(10ms)) last = r;
            if (last) {
                TestSupport::PumpFor(150);
                while (auto r = Sim->WaitForSession(1ms)) last = r;
                return last;
            }
        }
        return last;
    }
    void TearDown() override {
        if (Sim) Sim->Stop();
    }

    TSimLine Line;
    std::unique_ptr<TSimRunner> Sim;
    std::unique_ptr<TUploadRig> Rig;
};

} // namespace

TEST_F(UploadToSimulator, ThreeBlockFile) {
    Start();
    const auto bytes = PatternBytes(130, 1);
    ASSERT_TRUE(Rig->Commands.UploadRomImage(WriteTempFile("small.rom", bytes)));
    EXPECT_EQ(Rig->Protocol.State.RomBlockCount, 3u);
    EXPECT_EQ(Rig->RunTransfer(), TTransferOutcome::Finished);
    EXPECT_EQ(Rig->View.Lines[0], "*** UpLoad ROM image ***");
    EXPECT_EQ(Rig->View.Lines[1], "=== Waiting VRC-780A respond.... ===");
    EXPECT_EQ(Rig->View.CountPrefix("===> Send data block: "), 3u);
    EXPECT_TRUE(Rig->View.Contains("===> UpLoad ROM image finish.<==="));
    EXPECT_EQ(Rig->View.CountPrefix("傳輸時間 = "), 1u);
    EXPECT_TRUE(Rig->View.ButtonsEnabled);

    const auto report = LastReport();
    ASSERT_TRUE(report);
    EXPECT_EQ(report->Command, 3);
    ASSERT_EQ(report->Data.size(), 192u);
    EXPECT_EQ(0, std::memcmp(report->Data.data(), bytes.data(), 130));
    for (std::size_t i = 130; i < 192; ++i) EXPECT_EQ(report->Data[i], 0xFF) << i;
}

TEST_F(UploadToSimulator, FullImageByteForByte) {
    Start();
    const auto bytes = PatternBytes(ImageBufferSize, 2);
    Rig->View.Msg = false;
    ASSERT_TRUE(Rig->Commands.UploadRomImage(WriteTempFile("full.rom", bytes)));
    EXPECT_EQ(Rig->Protocol.State.RomBlockCount, 7168u);
    EXPECT_EQ(Rig->RunTransfer(), TTransferOutcome::Finished);
    EXPECT_EQ(Rig->Protocol.Frame().Bytes[1], 0x6F);
    EXPECT_EQ(Rig->Protocol.Frame().Bytes[2], 0x3F);
    EXPECT_EQ(Rig->View.Progress, 7168u);
    const auto report = LastReport();
    ASSERT_TRUE(report);
    EXPECT_TRUE(report->Complete);
    EXPECT_EQ(report->Blocks, 7168u);
    EXPECT_TRUE(report->Data == bytes);
    EXPECT_EQ(Rig->TimerFirings, 0u);
}

TEST_F(UploadToSimulator, ApplicationUpgradeSendsThePmBlock) {
    Start();
    const auto bytes = PatternBytes(ImageBufferSize, 3);
    ASSERT_TRUE(Rig->Commands.UpgradeAp(WriteTempFile("ap.rom", bytes)));
    EXPECT_EQ(Rig->View.Lines[0], "*** UpLoad ROM image[1] ***");
    EXPECT_EQ(Rig->RunTransfer(), TTransferOutcome::Finished);
    const auto report = LastReport();
    ASSERT_TRUE(report);
    EXPECT_EQ(report->Command, 4);
    EXPECT_TRUE(report->Complete);
    ASSERT_EQ(report->Data.size(), 32768u);
    EXPECT_EQ(0, std::memcmp(report->Data.data(), bytes.data() + 0x4C000, 32768));
}

TEST_F(UploadToSimulator, DateTimeSyncCarriesTheClock) {
    Start();
    Rig->Commands.DateTimeSync();
    EXPECT_EQ(Rig->View.Lines, (std::vector<std::string>{"*** Date & Time Sync. ***",
                                                         "=== Waiting VRC-780A respond.... ==="}));
    EXPECT_EQ(Rig->RunTransfer(), TTransferOutcome::Finished);
    EXPECT_EQ(Rig->View.Lines.back(), "===> Date & Time Sync. finish <===");
    const auto report = LastReport();
    ASSERT_TRUE(report);
    EXPECT_EQ(report->Command, 1);
    EXPECT_EQ(0, std::memcmp(report->DateTime.data(), &Rig->Protocol.Frame().Bytes[3], 7));
    const auto now = TLocalTime::Now();
    EXPECT_EQ(report->DateTime[0], ToBcd(now.Year % 100));
}

TEST_F(UploadToSimulator, DisconnectCancelsAndAReconnectStartsNothing) {
    Start();
    Rig->View.Msg = false;
    ASSERT_TRUE(Rig->Commands.UploadRomImage(WriteTempFile("mid.rom", PatternBytes(64 * 3000, 4))));
    ASSERT_TRUE(TestSupport::PumpUntil([&] { return Rig->Protocol.State.RomBlockCounter > 200; }));
    Rig->Commands.ConnectDisconnect({});
    EXPECT_FALSE(Rig->Port.Opened());
    EXPECT_FALSE(Rig->Timer.Enabled());
    EXPECT_FALSE(Rig->View.ButtonsEnabled);
    EXPECT_EQ(Rig->Protocol.State.Mode, TTransferMode::Idle);
    EXPECT_EQ(Rig->View.Lines.back(), "===> Transfer cancelled by Disconnect <===");
    EXPECT_EQ(Rig->Outcomes, std::vector{TTransferOutcome::Cancelled});
    const unsigned sent = Rig->FramesSent;
    Rig->Connect();
    TestSupport::PumpFor(300); // the controller keeps asking with 'C' meanwhile
    EXPECT_EQ(Rig->FramesSent, sent);
    EXPECT_TRUE(Rig->View.ButtonsEnabled);
}

TEST_F(UploadToSimulator, SilentControllerAbortsAfterTenIntervals) {
    auto o = FastOptions();
    o.SilentAfterFrames = 5;
    Start(o);
    ASSERT_TRUE(Rig->Commands.UploadRomImage(WriteTempFile("silent.rom", PatternBytes(6400, 5))));
    EXPECT_EQ(Rig->RunTransfer(), TTransferOutcome::Aborted);
    EXPECT_EQ(Rig->TimerFirings, 10u);
    EXPECT_EQ(Rig->View.CountPrefix("===> VRC-780A respond timeout #"), 10u);
    EXPECT_EQ(Rig->View.Lines.back(), "===> Transmit abort!! <===");
    EXPECT_TRUE(Rig->View.ButtonsEnabled);
    EXPECT_FALSE(Rig->View.Contains("===> UpLoad ROM image finish.<==="));
}

TEST_F(UploadToSimulator, NakEveryFrameFails) {
    auto o = FastOptions();
    o.NakRate = 1;
    Start(o);
    ASSERT_TRUE(Rig->Commands.UploadRomImage(WriteTempFile("nak.rom", PatternBytes(640, 6))));
    EXPECT_EQ(Rig->RunTransfer(), TTransferOutcome::Failed);
    EXPECT_EQ(Rig->FramesSent, 10u);
    EXPECT_EQ(Rig->View.Lines.back(), "===> UpLoad ROM image failed <===");
}

TEST_F(UploadToSimulator, ControllerDisappears) {
    Start();
    ASSERT_TRUE(
        Rig->Commands.UploadRomImage(WriteTempFile("gone.rom", PatternBytes(64 * 2000, 7))));
    ASSERT_TRUE(TestSupport::PumpUntil([&] { return Rig->Protocol.State.RomBlockCounter > 50; }));
    const std::string device = Line.PeerPath();
    Sim->Stop();
    Line.Close(); // the pseudo-terminal's controller end goes away
    EXPECT_EQ(Rig->RunTransfer(60000, 5000), TTransferOutcome::Failed);
    EXPECT_EQ(Rig->View.Lines.back(), "===> " + device + " lost: transfer failed <===");
    EXPECT_EQ(Rig->TimerFirings, 0u) << "no waiting out silent intervals";
    EXPECT_TRUE(Rig->View.ButtonsEnabled);
}

// 100 uploads with random faults: each ends with the image whole at the controller, or with a
// failure or abort line; never with a finish line for an image the controller lacks.
TEST_F(UploadToSimulator, SoakWithRandomFaults) {
    auto o = FastOptions();
    o.NakRate = 0.08;
    o.DropRate = 0.03;
    o.NoiseRate = 0.1;
    o.DoubleRate = 0.05;
    o.Seed = 780;
    Start(o);
    Rig->View.Msg = false;
    std::mt19937 rng(1780);
    int finished = 0, failed = 0;
    for (int run = 0; run < 100; ++run) {
        const std::size_t size = 1 + rng() % (64 * 40);
        const auto bytes = PatternBytes(size, 100 + run);
        ASSERT_TRUE(Rig->Commands.UploadRomImage(WriteTempFile("soak.rom", bytes)));
        const auto outcome = Rig->RunTransfer(60000, 100);
        ASSERT_TRUE(outcome) << "run " << run << " never ended";
        const auto report = LastReport();
        if (*outcome == TTransferOutcome::Finished) {
            ++finished;
            ASSERT_TRUE(report) << "run " << run;
            ASSERT_GE(report->Data.size(), size) << "run " << run;
            EXPECT_EQ(0, std::memcmp(report->Data.data(), bytes.data(), size)) << "run " << run;
        } else {
            ++failed;
            const auto& last = Rig->View.Lines.back();
            EXPECT_TRUE(last == "===> UpLoad ROM image failed <===" ||
                        last == "===> Transmit abort!! <===")
                << last;
        }
        EXPECT_TRUE(Rig->View.ButtonsEnabled);
    }
    EXPECT_GT(finished, 50);
    RecordProperty("finished", finished);
    RecordProperty("failed", failed);
}
