// The reply and timeout handlers driven byte by byte: a recording view, a hand-fired timer, a
// settable clock and a sender that keeps every frame.

#include "LinkTestDoubles.h"

#include "link/TUploadProtocol.h"

#include "XVclUtil/Crc8.h"

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>

using namespace Link;
using LinkTest::TManualTimer;
using LinkTest::TRecordingView;
using LinkTest::TSentFrames;

namespace {

constexpr std::uint8_t C = ReplyReady, ACK = ReplyAck, NAK = ReplyNak;

class ProtocolTest : public ::testing::Test {
protected:
    ProtocolTest()
        : Protocol(
              View, Timer, [this](unsigned n, const void* d) { return Sent(n, d); },
              [this] { return ClockReading(); }) {
        Protocol.OnTransferEnded = [this](TTransferOutcome o) { Outcomes.push_back(o); };
        for (std::size_t i = 0; i < ImageBufferSize; ++i)
            Protocol.ImageBuffer()[i] = static_cast<std::uint8_t>(i ^ (i >> 8));
    }

    TLocalTime ClockReading() {
        ++ClockReads;
        return Now;
    }

    // What the upload commands do before the controller's 'C'.
    void Arm(TTransferMode mode, unsigned romBlocks = 0) {
        Protocol.State.Mode = mode;
        Protocol.State.RomBlockCount = romBlocks;
        Protocol.State.RomBlockCounter = 0;
        Protocol.State.AppBlockCounter = 0;
        Protocol.State.NakCounter = 0;
        Protocol.State.TimeoutCounter = 0;
        View.SetCommandButtonsEnabled(false);
        Timer.Start();
    }

    void Reply(std::initializer_list<std::uint8_t> bytes) {
        std::vector<std::uint8_t> v(bytes);
        Protocol.PcUart1RxdDatas(nullptr, static_cast<int>(v.size()), v.data());
    }

    void Expire() {
        ASSERT_TRUE(Timer.Enabled()) << "Timer1 fires only while enabled";
        Protocol.Timer1Timer(nullptr);
    }

    const std::vector<std::uint8_t>& LastFrame() const { return Sent.Frames.back(); }

    TRecordingView View;
    TManualTimer Timer;
    TSentFrames Sent;
    TLocalTime Now;
    int ClockReads = 0;
    std::vector<TTransferOutcome> Outcomes;
    TUploadProtocol Protocol;
};

std::string SendLine(const char* verb, unsigned block, std::uint8_t crc) {
    char buf[80];
    std::snprintf(buf, sizeof buf, "===> %s data block: %u,CRC = %02X <===", verb, block, crc);
    return buf;
}

} // namespace

// --- date/time sync -------------------------------------------------------------------------

// The buffer is made when first asked for, filled as an erased ROM reads.
TEST(ProtocolBufferTest, ImageBufferStartsErased) {
    TRecordingView view;
    TManualTimer timer;
    const TUploadProtocol protocol(view, timer, [](unsigned n, const void*) { return int(n); });
    const std::uint8_t* image = protocol.ImageBuffer();
    for (std::size_t i = 0; i < ImageBufferSize; ++i) ASSERT_EQ(image[i], 0xFF) << i;
    EXPECT_EQ(protocol.ImageBuffer(), image);
}

TEST_F(ProtocolTest, DateTimeSyncSendsOneFrameAndFinishesOnAck) {
    Now = {2010, 3, 17, 3, 14, 5, 9, 0};
    Arm(TTransferMode::DateTimeSync);
    Reply({C});
    ASSERT_EQ(Sent.Frames.size(), 1u);
    EXPECT_EQ(LastFrame().size(), 68u);
    EXPECT_EQ(LastFrame()[67], 0x9D);
    EXPECT_TRUE(View.Contains("===> Send data block: 1,CRC = 9D <==="));
    EXPECT_TRUE(Timer.Enabled());
    EXPECT_FALSE(View.ButtonsEnabled);

    Reply({ACK});
    EXPECT_TRUE(View.Contains("===> Date & Time Sync. finish <==="));
    EXPECT_TRUE(View.ButtonsEnabled);
    EXPECT_FALSE(Timer.Enabled());
    EXPECT_EQ(Protocol.State.Mode, TTransferMode::Idle);
    EXPECT_EQ(Outcomes, std::vector{TTransferOutcome::Finished});
    EXPECT_EQ(View.ProgressSets, 0u) << "the date/time frame leaves the progress bar alone";
}

TEST_F(ProtocolTest, DateTimeNakRereadsTheClock) {
    Now = {2010, 3, 17, 3, 14, 5, 9, 0};
    Arm(TTransferMode::DateTimeSync);
    Reply({C});
    const auto first = LastFrame();
    Now.Second = 10;
    Reply({NAK});
    ASSERT_EQ(Sent.Frames.size(), 2u);
    EXPECT_EQ(ClockReads, 2);
    EXPECT_EQ(LastFrame()[9], 0x10);
    EXPECT_NE(LastFrame()[67], first[67]);
    EXPECT_EQ(View.Lines.back(), SendLine("Resend", 1, LastFrame()[67]));
}

TEST_F(ProtocolTest, DateTimeTenthNakFails) {
    Arm(TTransferMode::DateTimeSync);
    Reply({C});
    for (int i = 0; i < 9; ++i) Reply({NAK});
    EXPECT_EQ(Sent.Frames.size(), 10u);
    EXPECT_EQ(Protocol.State.Mode, TTransferMode::DateTimeSync);
    Reply({NAK});
    EXPECT_EQ(Sent.Frames.size(), 10u) << "a frame goes out at most ten times in a row";
    EXPECT_EQ(View.Lines.back(), "===> Date & Time Sync. failed <===");
    EXPECT_EQ(Protocol.State.Mode, TTransferMode::Idle);
    EXPECT_EQ(Protocol.State.NakCounter, 0u);
    EXPECT_TRUE(View.ButtonsEnabled);
    EXPECT_FALSE(Timer.Enabled());
    EXPECT_EQ(Outcomes, std::vector{TTransferOutcome::Failed});
}

TEST_F(ProtocolTest, DateTimeFirstDecidingByteEndsTheChunk) {
    Arm(TTransferMode::DateTimeSync);
    Reply({0x00, 0x41, C, ACK});
    EXPECT_EQ(Sent.Frames.size(), 1u);
    EXPECT_EQ(Protocol.State.Mode, TTransferMode::DateTimeSync)
        << "the ACK after the 'C' is ignored";
}

// --- ROM image upload -----------------------------------------------------------------------

TEST_F(ProtocolTest, NoiseThenCSendsBlockOneAndIgnoresTheRest) {
    Arm(TTransferMode::RomImage, 3);
    Reply({0x7F, 0xFF, C, NAK, ACK});
    ASSERT_EQ(Sent.Frames.size(), 1u);
    EXPECT_EQ(LastFrame()[0], 3);
    EXPECT_EQ(LastFrame()[1], 0);
    EXPECT_EQ(LastFrame()[2], 0);
    EXPECT_EQ(Protocol.State.RomBlockCounter, 1u);
    EXPECT_EQ(View.Progress, 1u);
    EXPECT_EQ(Protocol.State.NakCounter, 0u);
}

TEST_F(ProtocolTest, ThreeBlockImageEndsAtTheThirdAckWithElapsedLine) {
    Now = {2010, 3, 17, 3, 14, 5, 9, 100};
    Arm(TTransferMode::RomImage, 3);
    Reply({C});
    Reply({ACK});
    Reply({ACK});
    EXPECT_EQ(Sent.Frames.size(), 3u);
    EXPECT_EQ(Protocol.State.Mode, TTransferMode::RomImage);
    Now.Second = 11;
    Now.Millisecond = 350;
    Reply({ACK});
    EXPECT_EQ(Sent.Frames.size(), 3u);
    for (unsigned n = 1; n <= 3; ++n) {
        const auto& f = Sent.Frames[n - 1];
        EXPECT_EQ(f[2], n - 1);
        EXPECT_EQ(0, std::memcmp(&f[3], Protocol.ImageBuffer() + (n - 1) * 64, 64));
        EXPECT_EQ(f[67], XVclUtil::Crc8(f.data(), 67));
        EXPECT_TRUE(View.Contains(SendLine("Send", n, f[67])));
    }
    ASSERT_GE(View.Lines.size(), 2u);
    EXPECT_EQ(View.Lines[View.Lines.size() - 2], "===> UpLoad ROM image finish.<===");
    EXPECT_EQ(View.Lines.back(), "傳輸時間 = 2250 ms");
    EXPECT_EQ(Protocol.State.Mode, TTransferMode::Idle);
    EXPECT_TRUE(View.ButtonsEnabled);
    EXPECT_FALSE(Timer.Enabled());
    EXPECT_EQ(View.Progress, 3u) << "the progress bar is not reset at the end";
}

TEST_F(ProtocolTest, ElapsedLineAcrossMidnightIsPositive) {
    Now = {2010, 3, 17, 3, 23, 59, 59, 900};
    Arm(TTransferMode::RomImage, 1);
    Reply({C});
    Now = {2010, 3, 18, 4, 0, 0, 1, 50};
    Reply({ACK});
    EXPECT_EQ(View.Lines.back(), "傳輸時間 = 1150 ms");
}

TEST_F(ProtocolTest, NineNaksResendThenAckContinues) {
    Arm(TTransferMode::RomImage, 2);
    Reply({C});
    for (int i = 0; i < 9; ++i) Reply({NAK});
    EXPECT_EQ(Sent.Frames.size(), 10u);
    EXPECT_EQ(View.CountPrefix("===> Resend data block: 1,CRC = "), 9u);
    EXPECT_EQ(View.ProgressSets, 10u) << "the progress bar is set for resends too";
    Reply({ACK});
    EXPECT_EQ(Protocol.State.NakCounter, 0u);
    EXPECT_EQ(Protocol.State.RomBlockCounter, 2u);
    Reply({ACK});
    EXPECT_TRUE(View.Contains("===> UpLoad ROM image finish.<==="));
    EXPECT_EQ(Outcomes, std::vector{TTransferOutcome::Finished});
}

TEST_F(ProtocolTest, TenthNakFailsTheRomUpload) {
    Arm(TTransferMode::RomImage, 5);
    Reply({C});
    Reply({ACK});
    for (int i = 0; i < 10; ++i) Reply({NAK});
    EXPECT_EQ(Sent.Frames.size(), 11u);
    EXPECT_EQ(View.Lines.back(), "===> UpLoad ROM image failed <===");
    EXPECT_EQ(Protocol.State.Mode, TTransferMode::Idle);
    EXPECT_TRUE(View.ButtonsEnabled);
    EXPECT_FALSE(Timer.Enabled());
    EXPECT_EQ(Outcomes, std::vector{TTransferOutcome::Failed});
}

TEST_F(ProtocolTest, NaksInOneChunkCountOnlyTheFirst) {
    Arm(TTransferMode::RomImage, 5);
    Reply({C});
    Reply({NAK, NAK, NAK, NAK, NAK, NAK, NAK, NAK, NAK, NAK});
    EXPECT_EQ(Protocol.State.NakCounter, 1u);
    EXPECT_EQ(Sent.Frames.size(), 2u);
}

TEST_F(ProtocolTest, NakAfterBlockEightResendsBlockEight) {
    Arm(TTransferMode::RomImage, 20);
    Reply({C});
    for (int i = 0; i < 7; ++i) Reply({ACK});
    EXPECT_EQ(Protocol.State.RomBlockCounter, 8u);
    Reply({NAK});
    EXPECT_EQ(View.Lines.back().rfind("===> Resend data block: 8,CRC = ", 0), 0u);
    EXPECT_EQ(LastFrame()[2], 7);
}

TEST_F(ProtocolTest, FullImageHas7168BlocksEndingAt6F3F) {
    View.Msg = false;
    Arm(TTransferMode::RomImage, MaxRomBlockCount);
    Reply({C});
    for (unsigned i = 1; i < MaxRomBlockCount; ++i) Reply({ACK});
    EXPECT_EQ(Sent.Frames.size(), 7168u);
    EXPECT_EQ(LastFrame()[1], 0x6F);
    EXPECT_EQ(LastFrame()[2], 0x3F);
    EXPECT_EQ(Protocol.State.Mode, TTransferMode::RomImage);
    Reply({ACK});
    EXPECT_EQ(View.Lines, std::vector<std::string>{"===> UpLoad ROM image finish.<==="})
        << "with Msg. on unticked the send and elapsed lines are missing";
    EXPECT_EQ(View.Progress, 7168u);
}

TEST_F(ProtocolTest, ATransferEndsOnce) {
    Arm(TTransferMode::RomImage, 2);
    Reply({C});
    Reply({ACK});
    Reply({ACK, 0x55, C, NAK, ACK});
    EXPECT_EQ(View.CountPrefix("===> UpLoad ROM image finish.<==="), 1u);
    EXPECT_EQ(Protocol.State.Mode, TTransferMode::Idle);
    EXPECT_EQ(Sent.Frames.size(), 2u) << "the bytes after the finishing ACK start nothing";
    EXPECT_FALSE(Timer.Enabled());
    Protocol.Timer1Timer(nullptr); // an expiry already on its way
    EXPECT_EQ(View.CountPrefix("===> VRC-780A respond timeout"), 0u);
    EXPECT_EQ(Outcomes, std::vector{TTransferOutcome::Finished});
}

TEST_F(ProtocolTest, ReconnectStyleRestartFromBlockOne) {
    Arm(TTransferMode::RomImage, 10);
    Reply({C});
    for (int i = 0; i < 4; ++i) Reply({ACK});
    Reply({C});
    EXPECT_EQ(Protocol.State.RomBlockCounter, 1u);
    EXPECT_EQ(LastFrame()[2], 0);
}

// --- application upgrade --------------------------------------------------------------------

TEST_F(ProtocolTest, ApplicationUpgradeSends512PmBlocks) {
    View.Msg = false;
    Arm(TTransferMode::AppUpgrade);
    Protocol.State.RomBlockCount = 3; // the ROM count plays no part
    Reply({C});
    for (unsigned i = 1; i < AppBlockCount; ++i) Reply({ACK});
    ASSERT_EQ(Sent.Frames.size(), 512u);
    for (unsigned n : {1u, 300u, 512u}) {
        const auto& f = Sent.Frames[n - 1];
        EXPECT_EQ(f[0], 4);
        EXPECT_EQ(f[1], (n - 1) / 64);
        EXPECT_EQ(f[2], (n - 1) % 64);
        EXPECT_EQ(0, std::memcmp(&f[3], Protocol.ImageBuffer() + 0x4C000 + (n - 1) * 64, 64));
    }
    EXPECT_EQ(Protocol.State.RomBlockCounter, 0u);
    Reply({ACK});
    EXPECT_EQ(View.Lines.back(), "===> UpLoad ROM image finish.<===");
    EXPECT_EQ(View.Progress, 512u);
}

TEST_F(ProtocolTest, ApplicationUpgradeFailsOnTenthNak) {
    Arm(TTransferMode::AppUpgrade);
    Reply({C});
    for (int i = 0; i < 10; ++i) Reply({NAK});
    EXPECT_EQ(View.Lines.back(), "===> UpLoad ROM image failed <===");
}

// --- timeouts and idle ----------------------------------------------------------------------

TEST_F(ProtocolTest, TenSilentIntervalsAbort) {
    Arm(TTransferMode::DateTimeSync);
    for (int i = 0; i < 10; ++i) Expire();
    ASSERT_EQ(View.Lines.size(), 11u);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(View.Lines[i],
                  "===> VRC-780A respond timeout #" + std::to_string(i + 1) + "<===");
    EXPECT_EQ(View.Lines[2], "===> VRC-780A respond timeout #3<===");
    EXPECT_EQ(View.Lines[10], "===> Transmit abort!! <===");
    EXPECT_FALSE(Timer.Enabled());
    EXPECT_TRUE(View.ButtonsEnabled);
    EXPECT_EQ(Protocol.State.Mode, TTransferMode::Idle);
    EXPECT_TRUE(Sent.Frames.empty()) << "a timeout never resends";
    EXPECT_EQ(Outcomes, std::vector{TTransferOutcome::Aborted});
}

TEST_F(ProtocolTest, AReplyByteResetsTheTimeoutCount) {
    Arm(TTransferMode::RomImage, 4);
    Reply({C});
    for (int i = 0; i < 9; ++i) Expire();
    Reply({0x00, NAK});
    EXPECT_EQ(Protocol.State.TimeoutCounter, 0u);
    Expire();
    EXPECT_EQ(View.Lines.back(), "===> VRC-780A respond timeout #1<===");
    EXPECT_EQ(Protocol.State.Mode, TTransferMode::RomImage);
}

TEST_F(ProtocolTest, GarbageAloneDoesNotHoldOffTheAbort) {
    Arm(TTransferMode::RomImage, 4);
    Reply({C});
    for (int i = 0; i < 10; ++i) {
        Reply({0x00, 0x41, 0xFF}); // a controller at the wrong baud rate
        Expire();
    }
    EXPECT_EQ(View.Lines.back(), "===> Transmit abort!! <===");
    EXPECT_EQ(Protocol.State.Mode, TTransferMode::Idle);
}

TEST_F(ProtocolTest, NakBeforeTheFirstFrameIsNoise) {
    Arm(TTransferMode::RomImage, 4);
    Reply({NAK, NAK});
    EXPECT_TRUE(Sent.Frames.empty());
    EXPECT_EQ(Protocol.State.NakCounter, 0u);
    Reply({NAK, C});
    ASSERT_EQ(Sent.Frames.size(), 1u);
    EXPECT_EQ(LastFrame()[2], 0);
}

TEST_F(ProtocolTest, AckBeforeTheFirstFrameStartsWithAStartTime) {
    Now = {2010, 3, 17, 3, 10, 0, 0, 0};
    Arm(TTransferMode::RomImage, 1);
    Reply({ACK});
    ASSERT_EQ(Sent.Frames.size(), 1u);
    Now.Second = 1;
    Reply({ACK});
    EXPECT_EQ(View.Lines.back(), "傳輸時間 = 1000 ms");
}

TEST_F(ProtocolTest, BytesWhileIdleOnlyStopTheTimer) {
    Timer.Start();
    Reply({C, ACK, NAK});
    EXPECT_FALSE(Timer.Enabled());
    EXPECT_TRUE(Sent.Frames.empty());
    EXPECT_TRUE(View.Lines.empty());
}

TEST_F(ProtocolTest, EmptyChunkIsHarmless) {
    Arm(TTransferMode::RomImage, 4);
    Protocol.PcUart1RxdDatas(nullptr, 0, nullptr);
    Protocol.PcUart1RxdDatas(nullptr, -5, nullptr);
    EXPECT_TRUE(Sent.Frames.empty());
    EXPECT_EQ(Protocol.State.Mode, TTransferMode::RomImage);
}
