// Transfers against a controller the test plays by hand on the master side of a pseudo-terminal
// pair: exact reply sequences, garbage, double answers, reconnects, refused files.

#include "UploadRig.h"

#include "XVclCtrl/support/EventPump.h"
#include "XVclCtrl/support/PtyPair.h"

#include "XVclUtil/Crc8.h"
#include "XVclUtil/MessageBox.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace Link;
using namespace LinkTest;
using TestSupport::PumpUntil;

namespace {

class ScriptedPeer : public ::testing::Test {
protected:
    void SetUp() override {
        Rig = std::make_unique<TUploadRig>(Pty.SlavePath());
        Rig->Connect();
        ASSERT_TRUE(Rig->Port.Opened()) << Rig->Port.LastErrorText();
    }
    void Say(std::initializer_list<std::uint8_t> bytes) {
        const std::vector<std::uint8_t> v(bytes);
        Pty.Write(v.data(), v.size());
    }
    // The next frame the PC sends, pumping events while it comes.
    std::string NextFrame() {
        std::string got;
        PumpUntil([&] {
            got += Pty.ReadFor(1);
            return got.size() >= 68;
        });
        return got;
    }
    void Upload(std::size_t size) {
        ASSERT_TRUE(Rig->Commands.UploadRomImage(WriteTempFile("peer.rom", PatternBytes(size, 9))));
    }

    TestSupport::TPtyPair Pty;
    std::unique_ptr<TUploadRig> Rig;
};

constexpr std::uint8_t C = 'C', ACK = 0x06, NAK = 0x15;

} // namespace

TEST_F(ScriptedPeer, NineNaksThenAck) {
    Upload(64 * 3);
    Say({C});
    auto frame = NextFrame();
    ASSERT_EQ(frame.size(), 68u);
    Say({ACK});
    const auto block2 = NextFrame();
    for (int i = 0; i < 9; ++i) {
        Say({NAK});
        EXPECT_EQ(NextFrame(), block2) << "resend " << i + 1;
    }
    EXPECT_EQ(Rig->View.CountPrefix("===> Resend data block: 2,CRC = "), 9u);
    Say({ACK});
    EXPECT_EQ(static_cast<std::uint8_t>(NextFrame()[2]), 2);
    Say({ACK});
    ASSERT_TRUE(PumpUntil([&] { return Rig->Protocol.State.Mode == TTransferMode::Idle; }));
    EXPECT_EQ(Rig->Outcomes.back(), TTransferOutcome::Finished);
}

TEST_F(ScriptedPeer, TenNaksFail) {
    Upload(64 * 3);
    Say({C});
    NextFrame();
    for (int i = 0; i < 9; ++i) {
        Say({NAK});
        NextFrame();
    }
    Say({NAK});
    ASSERT_TRUE(PumpUntil([&] { return Rig->Protocol.State.Mode == TTransferMode::Idle; }));
    EXPECT_EQ(Rig->View.Lines.back(), "===> UpLoad ROM image failed <===");
    EXPECT_EQ(Pty.ReadFor(50), "") << "no eleventh frame";
    EXPECT_TRUE(Rig->View.ButtonsEnabled);
}

TEST_F(ScriptedPeer, DoubleAnswersInOneBurstCountOnce) {
    Upload(64 * 4);
    Say({C, C});
    EXPECT_EQ(static_cast<std::uint8_t>(NextFrame()[2]), 0);
    for (int n = 1; n < 4; ++n) {
        Say({ACK, ACK});
        EXPECT_EQ(static_cast<std::uint8_t>(NextFrame()[2]), n);
    }
    Say({ACK, ACK});
    ASSERT_TRUE(PumpUntil([&] { return Rig->Protocol.State.Mode == TTransferMode::Idle; }));
    EXPECT_EQ(Rig->View.CountPrefix("===> UpLoad ROM image finish.<==="), 1u)
        << "the finishing ACK ends its burst: a transfer ends once";
}

TEST_F(ScriptedPeer, GarbageOnlyRunsIntoTheAbort) {
    Upload(64 * 4);
    Say({C});
    NextFrame();
    for (int i = 0; i < 10; ++i) {
        Say({0x00, 0xFF, 0x42});
        TestSupport::PumpFor(20);
        Rig->Protocol.Timer1Timer(&Rig->Timer);
    }
    EXPECT_EQ(Rig->View.Lines.back(), "===> Transmit abort!! <===");
    EXPECT_EQ(Rig->Protocol.State.Mode, TTransferMode::Idle);
}

TEST_F(ScriptedPeer, ReconnectThenCStartsNothing) {
    Upload(64 * 10);
    Say({C});
    NextFrame();
    for (int i = 0; i < 4; ++i) {
        Say({ACK});
        NextFrame();
    }
    EXPECT_EQ(Rig->Protocol.State.RomBlockCounter, 5u);
    Rig->Commands.ConnectDisconnect({});
    EXPECT_EQ(Rig->View.Lines.back(), "===> Transfer cancelled by Disconnect <===");
    Rig->Connect();
    EXPECT_EQ(Rig->View.Lines.back(), ">>> Open " + Pty.SlavePath() + " <<<");
    EXPECT_EQ(Rig->Protocol.State.Mode, TTransferMode::Idle);
    Say({C});
    EXPECT_EQ(Pty.ReadFor(200), "") << "a 'C' after the reconnect sends nothing";
}

TEST_F(ScriptedPeer, FramesOnTheWireAreExact) {
    const auto bytes = PatternBytes(100, 11);
    ASSERT_TRUE(Rig->Commands.UploadRomImage(WriteTempFile("exact.rom", bytes)));
    Say({C});
    const auto frame = NextFrame();
    ASSERT_EQ(frame.size(), 68u);
    EXPECT_EQ(frame[0], 3);
    EXPECT_EQ(0, std::memcmp(frame.data() + 3, bytes.data(), 64));
    EXPECT_EQ(static_cast<std::uint8_t>(frame[67]), XVclUtil::Crc8(frame.data(), 67));
    Say({ACK});
    const auto last = NextFrame();
    EXPECT_EQ(0, std::memcmp(last.data() + 3, bytes.data() + 64, 36));
    for (int i = 36; i < 64; ++i) EXPECT_EQ(static_cast<std::uint8_t>(last[3 + i]), 0xFF);
}

// --- the commands' own rules ----------------------------------------------------------------

TEST(UploadCommands, FileRefusals) {
    TestSupport::TPtyPair pty;
    TUploadRig rig(pty.SlavePath());
    rig.Connect();
    rig.View.Lines = {"kept"};

    EXPECT_TRUE(rig.Commands.UploadRomImage(WriteTempFile("exact.rom", PatternBytes(458752, 1))));
    EXPECT_EQ(rig.Protocol.State.RomBlockCount, 7168u);
    rig.Protocol.State.Mode = TTransferMode::Idle;
    rig.Timer.Stop();
    rig.View.Lines = {"kept"};
    rig.View.SetCommandButtonsEnabled(true);

    EXPECT_FALSE(rig.Commands.UploadRomImage(WriteTempFile("big.rom", PatternBytes(458753, 1))));
    EXPECT_EQ(rig.View.Lines, (std::vector<std::string>{"kept", "*** Warnning.... ***",
                                                        "=== ROM image too large!! ==="}));
    EXPECT_EQ(rig.Protocol.State.Mode, TTransferMode::Idle);
    EXPECT_TRUE(rig.View.ButtonsEnabled);

    const auto empty = WriteTempFile("empty.rom", {});
    EXPECT_FALSE(rig.Commands.UploadRomImage(empty));
    EXPECT_NE(rig.View.Lines.back().find(empty), std::string::npos);
    EXPECT_FALSE(rig.Commands.UpgradeAp("/nonexistent/x.rom"));
    EXPECT_NE(rig.View.Lines.back().find("/nonexistent/x.rom"), std::string::npos);
    EXPECT_EQ(rig.Protocol.State.Mode, TTransferMode::Idle);
    EXPECT_FALSE(rig.Timer.Enabled());
}

TEST(UploadCommands, ShorterFileLeavesNoOldBytes) {
    TestSupport::TPtyPair pty;
    TUploadRig rig(pty.SlavePath());
    ASSERT_TRUE(rig.Commands.UploadRomImage(WriteTempFile("a.rom", PatternBytes(4096, 1))));
    ASSERT_TRUE(rig.Commands.UploadRomImage(WriteTempFile("b.rom", PatternBytes(10, 2))));
    for (std::size_t i = 10; i < ImageBufferSize; ++i)
        ASSERT_EQ(rig.Protocol.ImageBuffer()[i], 0xFF) << i;
}

TEST(UploadCommands, ConnectWithAMissingPortStaysDisconnected) {
    TUploadRig rig("/dev/nonexistent-tty");
    rig.Connect();
    ASSERT_EQ(rig.View.Lines.size(), 3u);
    EXPECT_EQ(rig.View.Lines[0], ">>> Open /dev/nonexistent-tty <<<");
    EXPECT_NE(rig.View.Lines[1].find("The comm device not exist"), std::string::npos);
    EXPECT_NE(rig.View.Lines[2].find("is the adapter plugged in?"), std::string::npos);
    EXPECT_FALSE(rig.Commands.Connected());
    EXPECT_FALSE(rig.View.ButtonsEnabled);
}

TEST(UploadCommands, InvalidComNumberKeepsThePreviousPort) {
    TestSupport::TPtyPair pty;
    TUploadRig rig("");
    XVclUtil::TMessageCapture boxes;
    rig.Port.pw_UartPortNumber(3);
    rig.Commands.ConnectDisconnect([&] { rig.Port.pw_UartPortNumber(17); });
    ASSERT_EQ(boxes.Messages.size(), 1u);
    EXPECT_EQ(boxes.Messages[0].first, "PcUart1");
    EXPECT_EQ(boxes.Messages[0].second, "Invalid value !!!");
    EXPECT_EQ(rig.View.Lines[0], ">>> Open COM 3 <<<");
}

TEST(UploadCommands, BaudListTakesEffectAtTheNextConnect) {
    TestSupport::TPtyPair pty;
    TUploadRig rig(pty.SlavePath());
    rig.Connect();
    rig.Commands.SelectBaud("38400");
    EXPECT_EQ(rig.Port.UartBaud(), 38400u);
    EXPECT_EQ(rig.Port.PortConfig().BaudRate, 115200u) << "an open port keeps its rate";
    rig.Commands.ConnectDisconnect({});
    rig.Connect();
    EXPECT_EQ(rig.Port.PortConfig().BaudRate, 38400u);
}
