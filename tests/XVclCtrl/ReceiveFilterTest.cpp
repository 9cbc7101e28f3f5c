// The receive filter and the monitor thread's reads: chunks cut by delimiter or packet size,
// bytes kept for the next read, dropping while no handler is assigned, an overflowing packet
// dropped as an overrun, separate reads for bytes that arrive apart, and bursts.

#include "support/EventPump.h"
#include "support/PtyPair.h"

#include "XVclCtrl/TCustomUart.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

using namespace XVclCtrl;
using TestSupport::PumpUntil;

namespace {

class ReceiveFilterTest : public ::testing::Test {
protected:
    void SetUp() override {
        Uart.UartDevicePath = Pty.SlavePath();
        Uart.pw_UartBaud(115200);
        Uart.OnRxdDatas = [this](XVclUtil::TComponent*, int bytes, void* datas) {
            Chunks.emplace_back(static_cast<const char*>(datas), static_cast<std::size_t>(bytes));
            Total += static_cast<std::size_t>(bytes);
        };
    }
    std::string All() const {
        std::string s;
        for (const auto& c : Chunks) s += c;
        return s;
    }

    TestSupport::TPtyPair Pty;
    TCustomUart Uart;
    std::vector<std::string> Chunks;
    std::size_t Total = 0;
};

TEST_F(ReceiveFilterTest, NoFilterDeliversEachRead) {
    ASSERT_TRUE(Uart.Open());
    Pty.Write("0123456789");
    ASSERT_TRUE(PumpUntil([&] { return Total == 10; }));
    EXPECT_EQ(All(), "0123456789");
    // The thread empties its collection once the handler has returned.
    EXPECT_TRUE(PumpUntil([&] { return Uart.RxdCollectedCount() == 0; }));
}

TEST_F(ReceiveFilterTest, BytesOfPacketKeepsTheRestForTheNextRead) {
    Uart.RxdFilter_Style = rfs_ByBytesOfPacket;
    Uart.pw_RxdFilter_BytesOfPacket(4);
    ASSERT_TRUE(Uart.Open());
    Pty.Write("ABCDEFGHIJ");
    ASSERT_TRUE(PumpUntil([&] { return Chunks.size() == 2; }));
    TestSupport::PumpFor(30);
    EXPECT_EQ(Chunks, (std::vector<std::string>{"ABCD", "EFGH"}));
    EXPECT_TRUE(PumpUntil([&] { return Uart.RxdCollectedCount() == 2; }));
    Pty.Write("KL");
    ASSERT_TRUE(PumpUntil([&] { return Chunks.size() == 3; }));
    EXPECT_EQ(Chunks[2], "IJKL");
    EXPECT_TRUE(PumpUntil([&] { return Uart.RxdCollectedCount() == 0; }));
}

TEST_F(ReceiveFilterTest, DelimiterCutsAfterTheDelimiter) {
    Uart.RxdFilter_Style = rfs_ByDelimiterChar;
    ASSERT_TRUE(Uart.Open());
    Pty.Write("AB\nCD");
    ASSERT_TRUE(PumpUntil([&] { return Chunks.size() == 1; }));
    TestSupport::PumpFor(30);
    EXPECT_EQ(Chunks, (std::vector<std::string>{"AB\n"}));
    EXPECT_TRUE(PumpUntil([&] { return Uart.RxdCollectedCount() == 2; }));
    Pty.Write("E\n\nF");
    ASSERT_TRUE(PumpUntil([&] { return Chunks.size() == 3; }));
    EXPECT_EQ(Chunks[1], "CDE\n");
    EXPECT_EQ(Chunks[2], "\n");
}

TEST_F(ReceiveFilterTest, OtherDelimiterCharacter) {
    Uart.RxdFilter_Style = rfs_ByDelimiterChar;
    Uart.RxdFilter_DelimiterChar = '\r';
    ASSERT_TRUE(Uart.Open());
    Pty.Write("OK\r\nREADY\r");
    ASSERT_TRUE(PumpUntil([&] { return Chunks.size() == 2; }));
    EXPECT_EQ(Chunks[0], "OK\r");
    EXPECT_EQ(Chunks[1], "\nREADY\r");
}

TEST_F(ReceiveFilterTest, UnassignedHandlerDropsTheBytes) {
    Uart.OnRxdDatas = nullptr;
    Uart.RxdFilter_Style = rfs_ByDelimiterChar;
    ASSERT_TRUE(Uart.Open());
    Pty.Write("no delimiter here");
    // The bytes are read (the input queue empties) but not collected.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(Uart.RxdCollectedCount(), 0);
    Uart.OnRxdDatas = [this](XVclUtil::TComponent*, int bytes, void* datas) {
        Chunks.emplace_back(static_cast<const char*>(datas), static_cast<std::size_t>(bytes));
    };
    Pty.Write("x\n");
    ASSERT_TRUE(PumpUntil([&] { return Chunks.size() == 1; }));
    EXPECT_EQ(Chunks[0], "x\n");
}

TEST_F(ReceiveFilterTest, BytesTwentyMillisecondsApartAreTwoReads) {
    ASSERT_TRUE(Uart.Open());
    Pty.Write("1");
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    Pty.Write("2");
    ASSERT_TRUE(PumpUntil([&] { return Total == 2; }));
    EXPECT_EQ(Chunks, (std::vector<std::string>{"1", "2"}));
}

// A packet longer than the buffer is dropped and reported as an input overrun; the port keeps
// receiving.
TEST_F(ReceiveFilterTest, DelimiterOverflowDropsThePacketAndKeepsReceiving) {
    int overruns = 0;
    Uart.OnRxOverrunErr = [&](XVclUtil::TComponent*) { ++overruns; };
    Uart.RxdFilter_Style = rfs_ByDelimiterChar;
    ASSERT_TRUE(Uart.Open());
    Pty.Write(std::string(1500, 'n'));
    ASSERT_TRUE(PumpUntil([&] { return overruns == 1; }));
    Pty.Write("late\n");
    ASSERT_TRUE(PumpUntil([&] { return !Chunks.empty(); }));
    EXPECT_EQ(Chunks.back().substr(Chunks.back().size() - 5), "late\n");
    EXPECT_LT(Chunks.back().size(), 1500u - 1024u + 6u) << "the overflowed bytes are gone";
    EXPECT_EQ(Uart.MonitorFatalError(), "");
}

TEST_F(ReceiveFilterTest, PacketOverflowKeepsReceiving) {
    int overruns = 0;
    Uart.OnRxOverrunErr = [&](XVclUtil::TComponent*) { ++overruns; };
    Uart.RxdFilter_Style = rfs_ByBytesOfPacket;
    Uart.pw_SysUartRxdQueueSize(4096);
    Uart.pw_RxdFilter_BytesOfPacket(2000);
    // The queue shrinks below the packet size afterwards: no packet can complete.
    Uart.pw_SysUartRxdQueueSize(1024);
    ASSERT_TRUE(Uart.Open());
    Pty.Write(std::string(2100, 'p'));
    ASSERT_TRUE(PumpUntil([&] { return overruns == 2; }));
    EXPECT_TRUE(Uart.Opened());
    EXPECT_EQ(Uart.MonitorFatalError(), "");
}

TEST_F(ReceiveFilterTest, LargeQueueTakesLongPackets) {
    Uart.pw_SysUartRxdQueueSize(8192);
    Uart.RxdFilter_Style = rfs_ByBytesOfPacket;
    Uart.pw_RxdFilter_BytesOfPacket(5000);
    ASSERT_TRUE(Uart.Open());
    std::string packet;
    for (int i = 0; i < 10000; ++i) packet += static_cast<char>('a' + i % 26);
    Pty.Write(packet);
    ASSERT_TRUE(PumpUntil([&] { return Chunks.size() == 2; }));
    EXPECT_EQ(Chunks[0], packet.substr(0, 5000));
    EXPECT_EQ(Chunks[1], packet.substr(5000));
}

TEST_F(ReceiveFilterTest, PeerSendingWithoutPauseLosesNothing) {
    ASSERT_TRUE(Uart.Open());
    std::string stream;
    for (int i = 0; i < 256 * 1024; ++i) stream += static_cast<char>((i * 7 + i / 256) & 0xFF);
    std::thread peer([&] { Pty.Write(stream); });
    bool done = PumpUntil([&] { return Total >= stream.size(); }, 30000);
    peer.join();
    ASSERT_TRUE(done) << Total << " of " << stream.size();
    EXPECT_TRUE(All() == stream);
    for (const auto& c : Chunks) EXPECT_LE(c.size(), 1032u); // never more than the raw buffer
}

TEST_F(ReceiveFilterTest, ByteValuesPassUnchanged) {
    ASSERT_TRUE(Uart.Open());
    std::string every;
    for (int i = 0; i < 256; ++i) every += static_cast<char>(i);
    Pty.Write(every);
    ASSERT_TRUE(PumpUntil([&] { return Total == 256; }));
    EXPECT_TRUE(All() == every);
}

TEST_F(ReceiveFilterTest, ParityErrorMarksAreDecodedWithParityOn) {
    // A pseudo-terminal never reports parity errors, but with parity checking on the driver
    // doubles literal 0xFF bytes; they must arrive single.
    Uart.UartParityBit = upb_Even;
    ASSERT_TRUE(Uart.Open());
    Pty.Write(std::string("a\xFF"
                          "b\xFF\xFF"
                          "c",
                          6));
    ASSERT_TRUE(PumpUntil([&] { return Total == 6; }));
    EXPECT_EQ(All(), std::string("a\xFF"
                                 "b\xFF\xFF"
                                 "c",
                                 6));
}

TEST_F(ReceiveFilterTest, EventsReportedInOrderByTheFireOperations) {
    std::vector<std::string> order;
    Uart.OnFrameErr = [&](XVclUtil::TComponent*) { order.push_back("frame"); };
    Uart.OnParityErr = [&](XVclUtil::TComponent*) { order.push_back("parity"); };
    Uart.OnBreakLevelErr = [&](XVclUtil::TComponent*) { order.push_back("break"); };
    Uart.OnRxOverrunErr = [&](XVclUtil::TComponent*) { order.push_back("rxover"); };
    Uart.OnTxOverrunErr = [&](XVclUtil::TComponent*) { order.push_back("txfull"); };
    Uart.OnRiChanged = [&](XVclUtil::TComponent*) { order.push_back("ri"); };
    Uart.OnCdChanged = [&](XVclUtil::TComponent*) { order.push_back("cd"); };
    Uart.OnDsrChanged = [&](XVclUtil::TComponent*) { order.push_back("dsr"); };
    Uart.OnCtsChanged = [&](XVclUtil::TComponent*) { order.push_back("cts"); };
    Uart.FireUartErrEvent(0x0001 | 0x0002 | 0x0004 | 0x0008 | 0x0010 | 0x0100);
    EXPECT_EQ(order, (std::vector<std::string>{"frame", "parity", "break", "rxover", "txfull"}));
    order.clear();
    Uart.FireModemSignalEvent(0x0008 | 0x0010 | 0x0020 | 0x0100 | 0x0001);
    EXPECT_EQ(order, (std::vector<std::string>{"ri", "cd", "dsr", "cts"}));
    order.clear();
    Uart.OnParityErr = nullptr;
    Uart.FireUartErrEvent(0x0002 | 0x0004); // the character-buffer overrun raises nothing
    EXPECT_TRUE(order.empty());
}

TEST_F(ReceiveFilterTest, TransmitterEmptyFollowsAWrite) {
    std::vector<std::string> order;
    Uart.OnTxdEmpty = [&](XVclUtil::TComponent*) { order.push_back("txempty"); };
    Uart.OnRxdDatas = [&](XVclUtil::TComponent*, int, void*) { order.push_back("rx"); };
    ASSERT_TRUE(Uart.Open());
    EXPECT_EQ(Uart.SendData(4, "ping"), 0);
    ASSERT_TRUE(PumpUntil([&] { return order.size() == 1; }));
    EXPECT_EQ(order[0], "txempty");
    EXPECT_EQ(Pty.ReadExactly(4, 1000), "ping");
    Pty.Write("pong");
    ASSERT_TRUE(PumpUntil([&] { return order.size() == 2; }));
    TestSupport::PumpFor(30);
    EXPECT_EQ(order, (std::vector<std::string>{"txempty", "rx"}));
}

} // namespace
