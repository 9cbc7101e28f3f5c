// The simulated controller's rules, fed frames directly with a hand-run clock.

#include "tools/controllersim/TControllerSim.h"

#include "XVclUtil/Crc8.h"

#include <gtest/gtest.h>

#include <vector>

using namespace ControllerSim;

namespace {

std::vector<std::uint8_t> MakeFrame(std::uint8_t cmd, unsigned block, std::uint8_t fill) {
    std::vector<std::uint8_t> f(68, fill);
    std::size_t v = block - 1 + (cmd == 4 ? 0x4C000 : 0);
    f[0] = cmd;
    f[1] = cmd == 1 ? 0 : static_cast<std::uint8_t>((v / 64) % 256);
    f[2] = cmd == 1 ? 1 : static_cast<std::uint8_t>(v % 64);
    f[67] = XVclUtil::Crc8(f.data(), 67);
    return f;
}

class SimTest : public ::testing::Test {
protected:
    void Make(const TSimOptions& o = {}) {
        Sim = std::make_unique<TControllerSim>(
            o, [this](const std::uint8_t* p, std::size_t n) { Out.insert(Out.end(), p, p + n); });
        Sim->OnSession = [this](const TSessionReport& r) { Reports.push_back(r); };
    }
    void Send(const std::vector<std::uint8_t>& f) { Sim->Received(f.data(), f.size(), Now); }
    std::uint8_t LastOut() const { return Out.empty() ? 0 : Out.back(); }

    std::unique_ptr<TControllerSim> Sim;
    std::vector<std::uint8_t> Out;
    std::vector<TSessionReport> Reports;
    std::int64_t Now = 1000;
};

} // namespace

TEST_F(SimTest, RepeatsReadyWhileWaiting) {
    TSimOptions o;
    o.ReadyIntervalMs = 100;
    Make(o);
    Sim->Tick(Now);
    EXPECT_EQ(Out, std::vector<std::uint8_t>{Ready});
    Sim->Tick(Now + 50);
    EXPECT_EQ(Out.size(), 1u);
    Sim->Tick(Now + 100);
    EXPECT_EQ(Out.size(), 2u);
    EXPECT_EQ(Sim->NextDeadline(), Now + 200);
}

TEST_F(SimTest, AcceptsBlocksInOrderAndNaksTheRest) {
    Make();
    Send(MakeFrame(3, 1, 0xA1));
    EXPECT_EQ(LastOut(), Ack);
    EXPECT_TRUE(Sim->InTransfer());
    Send(MakeFrame(3, 3, 0xA3)); // block 2 skipped
    EXPECT_EQ(LastOut(), Nak);
    auto bad = MakeFrame(3, 2, 0xA2);
    bad[10] ^= 1;
    Send(bad);
    EXPECT_EQ(LastOut(), Nak);
    Send(MakeFrame(4, 2, 0xA2)); // wrong command
    EXPECT_EQ(LastOut(), Nak);
    Send(MakeFrame(3, 2, 0xA2));
    EXPECT_EQ(LastOut(), Ack);
    Send(MakeFrame(3, 2, 0xA2)); // a resend after a lost ACK
    EXPECT_EQ(LastOut(), Ack);
    // Silence closes the transfer after the unanswered NAKs.
    for (int i = 1; i <= 4; ++i) Sim->Tick(Now + i * 1000);
    ASSERT_EQ(Reports.size(), 1u);
    const auto& r = Reports[0];
    EXPECT_EQ(r.Command, 3);
    EXPECT_EQ(r.Blocks, 2u);
    EXPECT_FALSE(r.Complete);
    EXPECT_EQ(r.CrcErrors, 1u);
    EXPECT_EQ(r.IndexErrors, 2u);
    EXPECT_EQ(r.Duplicates, 1u);
    ASSERT_EQ(r.Data.size(), 128u);
    EXPECT_EQ(r.Data[0], 0xA1);
    EXPECT_EQ(r.Data[64], 0xA2);
    EXPECT_FALSE(Sim->InTransfer());
}

TEST_F(SimTest, FullApplicationTransferIsReportedAtItsLastBlock) {
    Make();
    for (unsigned n = 1; n <= 512; ++n) Send(MakeFrame(4, n, static_cast<std::uint8_t>(n)));
    ASSERT_EQ(Reports.size(), 1u);
    EXPECT_TRUE(Reports[0].Complete);
    EXPECT_EQ(Reports[0].Data.size(), 32768u);
    EXPECT_EQ(Reports[0].Data[511 * 64], static_cast<std::uint8_t>(512));
}

TEST_F(SimTest, DateTimeFrameEndsItsTransferAtOnce) {
    Make();
    auto f = MakeFrame(1, 1, 0);
    f[3] = 0x10;
    f[4] = 0x03;
    f[67] = XVclUtil::Crc8(f.data(), 67);
    Send(f);
    EXPECT_EQ(LastOut(), Ack);
    ASSERT_EQ(Reports.size(), 1u);
    EXPECT_EQ(Reports[0].Command, 1);
    EXPECT_EQ(Reports[0].DateTime[0], 0x10);
    EXPECT_EQ(Reports[0].DateTime[1], 0x03);
}

TEST_F(SimTest, BlockOneMidTransferStartsOver) {
    Make();
    for (unsigned n = 1; n <= 5; ++n) Send(MakeFrame(3, n, 1));
    Send(MakeFrame(3, 1, 2));
    EXPECT_EQ(LastOut(), Ack);
    ASSERT_EQ(Reports.size(), 1u);
    EXPECT_EQ(Reports[0].Blocks, 5u);
    EXPECT_FALSE(Reports[0].Complete);
}

TEST_F(SimTest, SilenceInTransferAsksAgainWithNak) {
    TSimOptions o;
    o.ResendAfterMs = 300;
    Make(o);
    Send(MakeFrame(3, 1, 0));
    Out.clear();
    Sim->Tick(Now + 299);
    EXPECT_TRUE(Out.empty());
    Sim->Tick(Now + 300);
    EXPECT_EQ(Out, std::vector<std::uint8_t>{Nak});
}

TEST_F(SimTest, BrokenFrameIsDroppedAfterTheGap) {
    Make();
    Sim->Tick(Now); // the first 'C'
    auto f = MakeFrame(3, 1, 0);
    Sim->Received(f.data(), 30, Now);
    Out.clear();
    Sim->Tick(Now + 250);
    EXPECT_EQ(Out, std::vector<std::uint8_t>{Nak});
    Now += 300;
    Send(f);
    EXPECT_EQ(LastOut(), Ack);
}

TEST_F(SimTest, FaultsNakDropNoiseDoubleAndSilence) {
    TSimOptions o;
    o.NakRate = 1;
    Make(o);
    Send(MakeFrame(3, 1, 0));
    EXPECT_EQ(Out, std::vector<std::uint8_t>{Nak});

    o = {};
    o.DropRate = 1;
    Out.clear();
    Make(o);
    Send(MakeFrame(3, 1, 0));
    EXPECT_TRUE(Out.empty());

    o = {};
    o.NoiseRate = 1;
    o.DoubleRate = 1;
    Make(o);
    Send(MakeFrame(3, 1, 0));
    ASSERT_GE(Out.size(), 3u);
    EXPECT_EQ(Out[Out.size() - 1], Ack);
    EXPECT_EQ(Out[Out.size() - 2], Ack);
    for (std::size_t i = 0; i + 2 < Out.size(); ++i) {
        EXPECT_NE(Out[i], Ack);
        EXPECT_NE(Out[i], Nak);
        EXPECT_NE(Out[i], Ready);
    }

    o = {};
    o.SilentAfterFrames = 2;
    Out.clear();
    Make(o);
    for (unsigned n = 1; n <= 4; ++n) Send(MakeFrame(3, n, 0));
    EXPECT_EQ(Out, (std::vector<std::uint8_t>{Ack, Ack}));
    EXPECT_TRUE(Sim->Silent());
    Sim->Tick(Now + 100000);
    EXPECT_EQ(Out.size(), 2u) << "a silent controller sends nothing at all";
}

TEST_F(SimTest, ReplyNoiseLateRepliesAndHangUp) {
    TSimOptions o;
    o.ReplyNoiseRate = 1;
    Make(o);
    Send(MakeFrame(3, 1, 0x11));
    ASSERT_EQ(Out.size(), 2u);
    EXPECT_TRUE(Out[0] == Ready || Out[0] == Ack || Out[0] == Nak) << "noise equal to a reply";
    EXPECT_EQ(Out[1], Ack);

    o = {};
    o.LateRate = 1;
    o.LateMs = 300;
    o.CloseAfterFrames = 2;
    Out.clear();
    Make(o);
    Send(MakeFrame(3, 1, 0x11));
    EXPECT_TRUE(Out.empty()) << "held back";
    EXPECT_EQ(Sim->NextDeadline(), Now + 300);
    Sim->Tick(Now + 300);
    EXPECT_EQ(Out, std::vector<std::uint8_t>{Ack});
    Send(MakeFrame(3, 2, 0x22));
    EXPECT_FALSE(Sim->WantsLineClosed());
    Send(MakeFrame(3, 3, 0x33));
    EXPECT_TRUE(Sim->WantsLineClosed());
}
