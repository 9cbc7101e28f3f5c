// The gateway component on a real pseudo-terminal pair, the test playing the gateway on the
// other end: exact bytes sent, the handshake and its time-out, register replies and reactions,
// packet lines both ways.

#include "JKNetTestSupport.h"

#include "KrvCtrl/TJKNetViaVrc232.h"
#include "KrvCtrl/TPcUart.h"
#include "XVclCtrl/support/EventPump.h"
#include "XVclCtrl/support/PtyPair.h"
#include "XVclUtil/EXGeneral.h"
#include "XVclUtil/MessageBox.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <poll.h>
#include <stdexcept>

using namespace KrvCtrl;
using TestSupport::PumpFor;
using TestSupport::PumpUntil;

namespace {

const std::string ConnectText =
    " \n ?R3\r\n ?R4\r\n ?R5\r\n ?R6\r\n ?R7\r\n ?R8\r\n ?R9\r\n ?R0\r\n ?R1\r\n";

// The nine register replies of a complete handshake.
const std::string HandshakeReplies = "*R3=01\r\n*R4=02\r\n*R5=03\r\n*R6=04\r\n*R7=10\r\n"
                                     "*R8=00\r\n*R9=10\r\n*R0=00\r\n*R1=05\r\n";

std::string Topology() {
    return "[JknTopologic.Head]\r\nSignature=KRV\r\n[NetSegmentId_0x80]\r\n"
           "Travel_000=Device( \"VRC_4i4o\" ) , NetNodeId( 0x01 )\r\n"
           "[NetSegmentId_0x01]\r\nTravel_000=Device( \"VRC_4i4o\" ) , NetNodeId( 0x05 )\r\n";
}

std::string MessageOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "";
}

class JKNetViaVrc232 : public ::testing::Test {
protected:
    JKNetViaVrc232() {
        Gateway = std::make_unique<TJKNetViaVrc232>(nullptr);
        Gateway->SetName("JKNetViaVrc2321");
        Gateway->pw_UartDevicePath(Peer.SlavePath());
        Gateway->pw_FileName(Dir.Write("topo.ini", Topology()));
        Gateway->pw_DefHandler_Vrc4i4o(&Template);
        Gateway->OnConnectOK = [this](XVclUtil::TComponent* s) { Count(s, ConnectOK); };
        Gateway->OnConnectFail = [this](XVclUtil::TComponent* s) { Count(s, ConnectFail); };
        Gateway->OnUartTxdFail = [this](XVclUtil::TComponent* s) { Count(s, TxdFail); };
    }

    void Count(XVclUtil::TComponent* sender, int& counter) {
        EXPECT_EQ(sender, Gateway.get());
        ++counter;
    }

    // What the gateway end received, exactly n bytes.
    std::string Received(std::size_t n) { return Peer.ReadExactly(n, 2000); }
    std::string ReceivedNothingMore() { return Peer.ReadFor(30); }

    void StartHandshake() {
        Gateway->Connect();
        ASSERT_EQ(Received(ConnectText.size()), ConnectText);
        ASSERT_TRUE(Gateway->pr_Connecting());
    }
    void Connect() {
        StartHandshake();
        Peer.Write(HandshakeReplies);
        ASSERT_TRUE(PumpUntil([&] { return ConnectOK == 1; }));
    }
    // Sends a line from the gateway end and lets the component take it.
    void Reply(const std::string& line) {
        Peer.Write(line);
        PumpFor(30);
    }

    TestSupport::TPtyPair Peer;
    JKNetTest::TTempDir Dir;
    TVrc4i4o Template{nullptr};
    std::unique_ptr<TJKNetViaVrc232> Gateway;
    int ConnectOK = 0, ConnectFail = 0, TxdFail = 0;
};

} // namespace

TEST_F(JKNetViaVrc232, SerialSettingsOfTheGatewayLine) {
    TPcUart* uart = Gateway->pr_PcUart();
    EXPECT_EQ(uart->UartBaud(), 38400u);
    EXPECT_EQ(uart->UartBitsPerByte(), 8u);
    EXPECT_EQ(uart->UartParityBit, XVclCtrl::upb_None);
    EXPECT_EQ(uart->UartStopBits, XVclCtrl::usb_1bit);
    EXPECT_EQ(uart->FlowCtrlStyle(), XVclCtrl::fcs_Hardware);
    EXPECT_EQ(uart->FlowCtrlHwRxd(), XVclCtrl::fchr_None);
    EXPECT_EQ(uart->FlowCtrlHwTxd(), XVclCtrl::fcht_CTS);
    EXPECT_EQ(uart->SysUartWriteStyle, XVclCtrl::suws_WriteViaQueue);
    EXPECT_EQ(uart->SysUartTxdQueueSize(), 8192u);
    EXPECT_EQ(uart->SysUartRxdQueueSize(), 8192u);
    EXPECT_EQ(uart->SysUartRxdIntervalTimeout, 3u);
    EXPECT_EQ(uart->RxdFilter_Style.load(), XVclCtrl::rfs_ByDelimiterChar);
    EXPECT_EQ(uart->RxdFilter_DelimiterChar.load(), '\n');
    EXPECT_EQ(Gateway->pr_UartPortNumber(), 1);
    EXPECT_EQ(Gateway->pr_JknClsId(), ejci_Rnsm);
    EXPECT_EQ(Gateway->pr_JknSegId(), 0x80);
    EXPECT_EQ(Gateway->pr_JknNodeId(), 0x80);
    Gateway->pw_JknSegId(0x01); // the gateway's address is fixed
    EXPECT_EQ(Gateway->pr_JknSegId(), 0x80);
}

TEST_F(JKNetViaVrc232, HandshakeCompletesOnceWithTheRegisterValues) {
    Connect();
    EXPECT_TRUE(Gateway->pr_Connected());
    EXPECT_FALSE(Gateway->pr_Connecting());
    EXPECT_EQ(Gateway->pr_R9(), 0x10);
    EXPECT_EQ(Gateway->pr_Xin(), 0x05);
    EXPECT_EQ(Gateway->pr_R7(), 0x10);
    EXPECT_EQ(Gateway->pr_R3(), 0x01);
    EXPECT_EQ(Gateway->pr_ConnectReplies(), 0x3FBu);
    Reply(HandshakeReplies); // late duplicates change nothing
    PumpFor(2100);           // and the time-out never fires after success
    EXPECT_EQ(ConnectOK, 1);
    EXPECT_EQ(ConnectFail, 0);
    EXPECT_TRUE(Gateway->pr_Connected());
}

TEST_F(JKNetViaVrc232, RepliesSplitAcrossReadsStillComplete) {
    StartHandshake();
    for (std::size_t i = 0; i < HandshakeReplies.size(); i += 5) {
        Peer.Write(HandshakeReplies.substr(i, 5));
        PumpFor(8);
    }
    ASSERT_TRUE(PumpUntil([&] { return ConnectOK == 1; }));
}

TEST_F(JKNetViaVrc232, MissingR7EndsInConnectFailAfterTwoSeconds) {
    TestSupport::TStopwatch clock;
    StartHandshake();
    std::string replies = HandshakeReplies;
    replies.erase(replies.find("*R7=10\r\n"), 8);
    Peer.Write(replies);
    ASSERT_TRUE(PumpUntil([&] { return ConnectFail == 1; }, 4000));
    EXPECT_GE(clock.ElapsedMs(), 2000) << "a precise timer never ends the handshake early";
    EXPECT_EQ(ConnectOK, 0);
    EXPECT_FALSE(Gateway->pr_Connected());
    EXPECT_FALSE(Gateway->pr_Connecting());
    EXPECT_FALSE(Gateway->pr_PcUart()->Opened());
}

TEST_F(JKNetViaVrc232, ConnectWhileConnectingOrConnectedIsRefused) {
    StartHandshake();
    EXPECT_EQ(MessageOf([&] { Gateway->Connect(); }),
              "Illegal operation, because TJKNetViaVrc232 now in connecting state !!!");
    Peer.Write(HandshakeReplies);
    ASSERT_TRUE(PumpUntil([&] { return ConnectOK == 1; }));
    EXPECT_EQ(MessageOf([&] { Gateway->Connect(); }),
              "Illegal operation, because TJKNetViaVrc232 now in connected state !!!");
    EXPECT_EQ(ReceivedNothingMore(), "") << "no second handshake";
    EXPECT_TRUE(Gateway->pr_Connected());
}

TEST_F(JKNetViaVrc232, AGatewayThatWentAwayIsReported) {
    int lost = 0;
    Gateway->OnLinkLost = [&](XVclUtil::TComponent* s) { Count(s, lost); };
    Connect();
    Peer.CloseMaster();
    ASSERT_TRUE(PumpUntil([&] { return lost == 1; }, 2000));
    EXPECT_FALSE(Gateway->pr_Connected());
    EXPECT_FALSE(Gateway->pr_PcUart()->Opened());
}

TEST_F(JKNetViaVrc232, ReplyOfAnotherRegisterDuringTheHandshakeSpoilsIt) {
    StartHandshake();
    Peer.Write("*RE=00\r\n" + HandshakeReplies);
    PumpFor(200);
    EXPECT_EQ(ConnectOK, 0);
    EXPECT_EQ(Gateway->pr_ConnectReplies(), 0x43FBu);
    // The time-out can be driven directly: it ends the handshake at once.
    Gateway->OnTimeoutTimerReach(nullptr);
    EXPECT_EQ(ConnectFail, 1);
    EXPECT_FALSE(Gateway->pr_PcUart()->Opened());
}

TEST_F(JKNetViaVrc232, UnsolicitedRfDuringTheHandshakeSpoilsItToo) {
    StartHandshake();
    Peer.Write("*RF=00\r\n" + HandshakeReplies);
    ASSERT_TRUE(PumpUntil([&] { return ConnectFail == 1; }, 4000));
    EXPECT_EQ(ConnectOK, 0);
}

TEST_F(JKNetViaVrc232, DisconnectDoesNotStopARunningHandshake) {
    StartHandshake();
    Gateway->Disconnect();
    EXPECT_FALSE(Gateway->pr_PcUart()->Opened());
    ASSERT_TRUE(PumpUntil([&] { return ConnectFail == 1; }, 4000));
}

TEST_F(JKNetViaVrc232, ConnectNeedsItsThreeEventsInOrder) {
    Gateway->OnConnectOK = nullptr;
    Gateway->OnConnectFail = nullptr;
    Gateway->OnUartTxdFail = nullptr;
    EXPECT_EQ(MessageOf([&] { Gateway->Connect(); }),
              "The event \"OnConnectOK\" of TJKNetViaVrc232, which handler is not specified !!!");
    Gateway->OnConnectOK = [](XVclUtil::TComponent*) {};
    EXPECT_EQ(MessageOf([&] { Gateway->Connect(); }),
              "The event \"OnConnectFail\" of TJKNetViaVrc232, which handler is not specified !!!");
    Gateway->OnConnectFail = [](XVclUtil::TComponent*) {};
    EXPECT_EQ(MessageOf([&] { Gateway->Connect(); }),
              "The event \"OnUartTxdFail\" of TJKNetViaVrc232, which handler is not specified !!!");
    EXPECT_FALSE(Gateway->pr_PcUart()->Opened());
}

TEST_F(JKNetViaVrc232, TopologyErrorStopsConnectBeforeThePortOpens) {
    Gateway->pw_FileName(Dir.Write("bad.ini", "[JknTopologic.Head]\r\nSignature=XYZ\r\n"));
    EXPECT_THROW(Gateway->Connect(), XVclUtil::EXGeneral);
    EXPECT_FALSE(Gateway->pr_PcUart()->Opened());
    EXPECT_EQ(ReceivedNothingMore(), "");
}

TEST_F(JKNetViaVrc232, PortThatCannotBeOpened) {
    Gateway->pw_UartDevicePath(Dir.File("no-such-device"));
    XVclUtil::TMessageCapture boxes;
    EXPECT_EQ(MessageOf([&] { Gateway->Connect(); }),
              "Open UART fail, when peform TJKNetViaVrc232::Connect() !!!");
    EXPECT_FALSE(Gateway->pr_Connecting());
}

TEST_F(JKNetViaVrc232, EveryAccessNeedsTheConnectedState) {
    const std::string notConnected =
        "Illegal property access, because TJKNetViaVrc232 not in connected state !!!";
    _SJKNTXDPACKET p{};
    p.BytesOfDatas = 1;
    const std::vector<std::function<void()>> accesses = {
        [&] { Gateway->pr_Yout(); },
        [&] { Gateway->pw_Yout(1); },
        [&] { Gateway->pr_Y(0); },
        [&] { Gateway->pw_Y(0, true); },
        [&] { Gateway->pr_Xin(); },
        [&] { Gateway->pr_X(1); },
        [&] { Gateway->pr_Old_X(1); },
        [&] { Gateway->pr_R3(); },
        [&] { Gateway->pr_R7(); },
        [&] { Gateway->pr_R9(); },
        [&] { Gateway->pr_RE(); },
        [&] { Gateway->pw_R8(1); },
        [&] { Gateway->pw_R9(1); },
        [&] { Gateway->QueryYout(); },
        [&] { Gateway->QueryXin(); },
        [&] { Gateway->QueryJknFlags(); },
        [&] { Gateway->ResetRnsm(); },
        [&] { Gateway->SendJknPacket(p); },
        [&] { Gateway->SendTxtFileToRS232(Dir.File("x"), 0); }};
    for (std::size_t i = 0; i < accesses.size(); ++i)
        EXPECT_EQ(MessageOf(accesses[i]), notConnected) << "access " << i;

    Connect();
    EXPECT_EQ(MessageOf([&] { Gateway->pw_UartPortNumber(2); }),
              "Illegal property access, because TJKNetViaVrc232 now in connected state !!!");
    EXPECT_EQ(Gateway->pr_UartPortNumber(), 1);
    Gateway->Disconnect();
    EXPECT_NO_THROW(Gateway->pw_UartPortNumber(2));
}

TEST_F(JKNetViaVrc232, RegisterCommandsAreSentByteForByte) {
    Connect();
    Gateway->pw_Y(2, true);
    EXPECT_EQ(Received(9), " +R0=04\r\n");
    Gateway->pw_Y(0, true);
    EXPECT_EQ(Received(9), " +R0=05\r\n");
    Gateway->pw_Y(7, true); // no such bit: nothing written
    Gateway->pw_Yout(0xA0);
    EXPECT_EQ(Received(9), " +R0=A0\r\n");
    Gateway->pw_R8(0x12);
    EXPECT_EQ(Received(15), " +R8=12\r\n ?R8\r\n");
    Gateway->pw_R9(0xFE);
    EXPECT_EQ(Received(15), " +R9=FE\r\n ?R9\r\n");
    Gateway->QueryYout();
    Gateway->QueryXin();
    Gateway->QueryJknFlags();
    EXPECT_EQ(Received(18), " ?R0\r\n ?R1\r\n ?RE\r\n");
    EXPECT_EQ(ReceivedNothingMore(), "");
    EXPECT_EQ(Gateway->pr_R8(), 0x12);
    EXPECT_EQ(TxdFail, 0);
}

TEST_F(JKNetViaVrc232, RegisterRepliesWhileConnectedCallTheirEvents) {
    int yout = 0, xin = 0, flags = 0;
    Gateway->OnReplyYout = [&](XVclUtil::TComponent*) { ++yout; };
    Gateway->OnReplyXin = [&](XVclUtil::TComponent*) { ++xin; };
    Gateway->OnReplyJknFlags = [&](XVclUtil::TComponent*) { ++flags; };
    Connect();
    Reply("*R1=0A\r\n");
    EXPECT_EQ(xin, 1);
    EXPECT_FALSE(Gateway->pr_X(0));
    EXPECT_TRUE(Gateway->pr_X(1));
    EXPECT_TRUE(Gateway->pr_X(3));
    EXPECT_TRUE(Gateway->pr_Old_X(0));
    EXPECT_TRUE(Gateway->pr_Old_X(2));
    EXPECT_FALSE(Gateway->pr_X(4));
    Reply("*R0=03\r\n*RE=81\r\n*R5=77\r\n");
    EXPECT_EQ(yout, 1);
    EXPECT_EQ(flags, 1);
    EXPECT_EQ(Gateway->pr_Yout(), 0x03);
    EXPECT_TRUE(Gateway->pr_Y(1));
    EXPECT_EQ(Gateway->pr_RE(), 0x81);
    EXPECT_EQ(Gateway->pr_R5(), 0x77);
}

TEST_F(JKNetViaVrc232, MalformedRepliesAreIgnored) {
    int xin = 0;
    Gateway->OnReplyXin = [&](XVclUtil::TComponent*) { ++xin; };
    Connect();
    Reply("*R1=0\r\n*R1=0AB\r\n*r1=0A\r\n*R2=0A\r\n R1=0A\r\n*R1=\r\n*\r\n\r\n"
          "garbage without meaning\r\n" +
          std::string(600, 'x') + "\r\n" + std::string("\0\xff\x01*R1", 7) + "\r\n");
    EXPECT_EQ(xin, 0);
    EXPECT_EQ(Gateway->pr_Xin(), 0x05);
    Reply("*R1=0a\r\n"); // lower-case digits are hexadecimal digits too
    EXPECT_EQ(xin, 1);
    EXPECT_EQ(Gateway->pr_Xin(), 0x0A);
    EXPECT_EQ(ReceivedNothingMore(), "");
}

TEST_F(JKNetViaVrc232, WatchdogResetRestoresTheOutputs) {
    int ok = 0, wdt = 0;
    Gateway->OnResetRnsm_OK = [&](XVclUtil::TComponent*) { ++ok; };
    Gateway->OnResetRnsm_WDT = [&](XVclUtil::TComponent*) { ++wdt; };
    Connect();
    Gateway->pw_Yout(0x09);
    EXPECT_EQ(Received(9), " +R0=09\r\n");
    Reply("*RF=00\r\n");
    EXPECT_EQ(Received(9), " +R0=09\r\n");
    EXPECT_EQ(wdt, 1);
    EXPECT_EQ(ok, 0);
}

TEST_F(JKNetViaVrc232, RequestedResetTurnsOutputsOffAndReportsOk) {
    int ok = 0, wdt = 0;
    Gateway->OnResetRnsm_OK = [&](XVclUtil::TComponent*) { ++ok; };
    Gateway->OnResetRnsm_WDT = [&](XVclUtil::TComponent*) { ++wdt; };
    Connect();
    Gateway->pw_Yout(0x0F);
    EXPECT_EQ(Received(9), " +R0=0F\r\n");
    Gateway->ResetRnsm();
    EXPECT_TRUE(Gateway->pr_ResetPending());
    EXPECT_EQ(Received(18), " +R0=00\r\n +RF=00\r\n");
    Reply("*RF=00\r\n");
    EXPECT_EQ(ok, 1);
    EXPECT_EQ(wdt, 0);
    EXPECT_FALSE(Gateway->pr_ResetPending());
    EXPECT_EQ(ReceivedNothingMore(), "");
    Reply("*RF=00\r\n"); // the next one nobody asked for is the watchdog again
    EXPECT_EQ(wdt, 1);
    EXPECT_EQ(Received(9), " +R0=00\r\n");
}

TEST_F(JKNetViaVrc232, TextFileGoesOutLineByLine) {
    Connect();
    const std::string file = Dir.Write("script.txt", " ?R7\r\n>01050104\r\n");
    Gateway->SendTxtFileToRS232(file, 0);
    std::string got;
    ASSERT_TRUE(PumpUntil([&] {
        got += Peer.ReadFor(5);
        return got.size() >= 17;
    }));
    EXPECT_EQ(got, " ?R7\r\n>01050104\r\n");
    Gateway->SendTxtFileToRS232(Dir.File("missing.txt"), 0); // the result is not looked at
    EXPECT_EQ(TxdFail, 0);
}

TEST_F(JKNetViaVrc232, PacketsGoOutAsHexadecimalLines) {
    Connect();
    _SJKNTXDPACKET p{};
    p.JknSegId = 0x01;
    p.JknNodeId = 0x05;
    p.BytesOfDatas = 1;
    p.Datas[0] = 0x04;
    Gateway->SendJknPacket(p);
    EXPECT_EQ(Received(11), ">01050104\r\n");
    p.BytesOfDatas = 0;
    EXPECT_EQ(MessageOf([&] { Gateway->SendJknPacket(p); }),
              "The argument of .BytesOfDatas too small, when perform "
              "TJKNetViaVrc232::SendJknPacket(...) !!!");
    p.BytesOfDatas = 0x11; // R7 is 0x10
    EXPECT_EQ(MessageOf([&] { Gateway->SendJknPacket(p); }),
              "The argument of .BytesOfDatas too large, when perform "
              "TJKNetViaVrc232::SendJknPacket(...) !!!");
    p.BytesOfDatas = 0x10;
    Gateway->SendJknPacket(p);
    EXPECT_EQ(Received(1 + 2 * 19 + 2).substr(0, 9), ">01051004");
    // Members send through the gateway they are bound to.
    TVrc4i4o* module = Gateway->pr_Vrc4i4o(0x01, 0x05);
    module->pw_Yout(0x01);
    EXPECT_EQ(Received(13), ">0105028401\r\n");
    module->pw_BitOfY(2, true);
    EXPECT_EQ(Received(13), ">0105028405\r\n");
    module->QueryJknClsId();
    EXPECT_EQ(Received(11), ">01050104\r\n");
    EXPECT_EQ(ReceivedNothingMore(), "");
}

TEST_F(JKNetViaVrc232, PacketLineReachesTheMemberAtItsAddress) {
    int memberClsId = 0, gatewayPackets = 0, gatewayClsId = 0;
    Template.OnGotJknClsId = [&](XVclUtil::TComponent* s, std::uint8_t seg, std::uint8_t node) {
        EXPECT_EQ(s, Gateway->pr_Vrc4i4o(0x01, 0x05));
        EXPECT_EQ(seg, 0x01);
        EXPECT_EQ(node, 0x05);
        ++memberClsId;
    };
    std::vector<TJknRxdPacket> unhandled;
    Gateway->OnUnhandledRxdJknPacket = [&](XVclUtil::TComponent* s, const TJknRxdPacket& p) {
        EXPECT_EQ(s, Gateway.get());
        unhandled.push_back(p);
        ++gatewayPackets;
    };
    Connect();
    Reply("@0105021480\r\n");
    EXPECT_EQ(memberClsId, 1);
    EXPECT_EQ(Gateway->pr_Vrc4i4o(0x01, 0x05)->pr_GotJknClsId(), 0x80);
    EXPECT_EQ(gatewayPackets, 0);

    Reply("@0106021480\r\n"); // nobody at 01:06
    ASSERT_EQ(gatewayPackets, 1);
    EXPECT_EQ(unhandled[0].JknNodeId, 0x06);
    EXPECT_EQ(Gateway->pr_GotJknClsId(), 0x80);
    Gateway->OnUnhandledGotJknClsId = [&](XVclUtil::TComponent* s, std::uint8_t seg,
                                          std::uint8_t node) {
        EXPECT_EQ(s, Gateway.get());
        EXPECT_EQ(seg, 0x80);
        EXPECT_EQ(node, 0x80);
        ++gatewayClsId;
    };
    Reply("@4006021481\r\n"); // a segment without table
    EXPECT_EQ(gatewayClsId, 1);
    EXPECT_EQ(gatewayPackets, 1);
}

TEST_F(JKNetViaVrc232, BadPacketLinesAreDroppedSilently) {
    int inputs = 0, gatewayPackets = 0;
    Template.OnInputChanged = [&](XVclUtil::TComponent*, std::uint8_t, std::uint8_t) { ++inputs; };
    Gateway->OnUnhandledRxdJknPacket = [&](XVclUtil::TComponent*, const TJknRxdPacket&) {
        ++gatewayPackets;
    };
    Connect();
    std::string over20 = "@01051281";
    for (int i = 0; i < 17; ++i) over20 += "00";
    Reply("@0105028a0f\r\n"  // lower-case digits
          "@0105038105\r\n"  // count does not match
          "@01050281\r\n"    // truncated
          "@81050281 05\r\n" // blank inside
          "@8105028105\r\n"  // segment above 0x80
          "@0180028105\r\n"  // node above 0x7F
          "@FFFF028105\r\n" +
          over20 + "\r\n");
    EXPECT_EQ(inputs, 0);
    EXPECT_EQ(gatewayPackets, 0);
    Reply("@0105028105\r\n");
    EXPECT_EQ(inputs, 1);
    EXPECT_TRUE(Gateway->pr_Vrc4i4o(0x01, 0x05)->pr_BitOfX(2));
}

TEST_F(JKNetViaVrc232, LineWithoutLineEndGivenDirectlyIsTakenAsItStands) {
    int inputs = 0;
    Template.OnInputChanged = [&](XVclUtil::TComponent*, std::uint8_t, std::uint8_t) { ++inputs; };
    Connect();
    std::string chunk = "@0105028101"; // no line end: a packet line needs one
    Gateway->OnPcUartRxdDatas(nullptr, static_cast<int>(chunk.size()), chunk.data());
    EXPECT_EQ(inputs, 0);
    chunk = "*R1=0C\n@0105028101\r\n"; // two lines in one chunk are taken one by one
    Gateway->OnPcUartRxdDatas(nullptr, static_cast<int>(chunk.size()), chunk.data());
    EXPECT_EQ(inputs, 1);
    EXPECT_EQ(Gateway->pr_Xin(), 0x0C);
    Gateway->OnPcUartRxdDatas(nullptr, 0, nullptr);
    Gateway->OnPcUartRxdDatas(nullptr, -5, chunk.data());
}

TEST_F(JKNetViaVrc232, ExceptionFromAHandlerIsShownNotThrownThroughTheEventLoop) {
    Gateway->OnReplyXin = [](XVclUtil::TComponent*) { throw std::runtime_error("handler failed"); };
    Connect();
    XVclUtil::TMessageCapture boxes;
    Reply("*R1=01\r\n");
    ASSERT_EQ(boxes.Messages.size(), 1u);
    EXPECT_EQ(boxes.Messages[0].first, "JKNetViaVrc2321");
    EXPECT_EQ(boxes.Messages[0].second, "handler failed");
    Reply("*R1=02\r\n"); // reception goes on
    EXPECT_EQ(boxes.Messages.size(), 2u);
    EXPECT_EQ(Gateway->pr_Xin(), 0x02);
}

TEST_F(JKNetViaVrc232, FailedSendCallsOnUartTxdFail) {
    Connect();
    Peer.CloseMaster(); // the line is gone; sent to before the loss is reported (OnLinkLost)
    for (int i = 0; i < 3 && TxdFail == 0; ++i) Gateway->QueryXin();
    EXPECT_GE(TxdFail, 1);
}

TEST_F(JKNetViaVrc232, DestructionWhileConnectedClosesThePort) {
    Connect();
    pollfd before{Peer.MasterFd(), POLLIN, 0};
    ASSERT_EQ(poll(&before, 1, 0), 0); // the line is up and quiet
    Gateway.reset();
    pollfd after{Peer.MasterFd(), POLLIN, 0};
    ASSERT_EQ(poll(&after, 1, 500), 1);
    EXPECT_NE(after.revents & POLLHUP, 0); // the gateway end saw the port close
}

TEST_F(JKNetViaVrc232, ReconnectKeepsTheModulesOfTheTopology) {
    Connect();
    TVrc4i4o* module = Gateway->pr_Vrc4i4o(0x01, 0x05);
    Gateway->Disconnect();
    EXPECT_FALSE(Gateway->pr_Connected());
    ConnectOK = 0;
    Connect();
    EXPECT_EQ(Gateway->pr_Vrc4i4o(0x01, 0x05), module);
}
