// Open, Close, SendData and received data over a real pseudo-terminal pair.

#include "support/EventPump.h"
#include "support/PtyPair.h"

#include "XVclCtrl/TCustomUart.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <thread>
#include <vector>

using namespace XVclCtrl;
using TestSupport::PumpUntil;
using TestSupport::TPtyPair;

namespace {

struct TReceived {
    std::vector<std::string> Chunks;
    std::string All() const {
        std::string s;
        for (const auto& c : Chunks) s += c;
        return s;
    }
};

void Collect(TCustomUart& uart, TReceived& into) {
    uart.OnRxdDatas = [&into](XVclUtil::TComponent*, int bytes, void* datas) {
        into.Chunks.emplace_back(static_cast<const char*>(datas), static_cast<std::size_t>(bytes));
    };
}

class SerialLinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        Uart.UartDevicePath = Pty.SlavePath();
        Uart.pw_UartBaud(115200);
    }
    TPtyPair Pty;
    TCustomUart Uart;
};

TEST_F(SerialLinkTest, OpenSendReceiveClose) {
    TReceived rx;
    Collect(Uart, rx);
    ASSERT_TRUE(Uart.Open()) << Uart.LastErrorText();
    EXPECT_TRUE(Uart.Opened());
    EXPECT_EQ(Uart.LastErrorText(), "");

    EXPECT_EQ(Uart.SendData(5, "hello"), 0);
    EXPECT_EQ(Pty.ReadExactly(5, 2000), "hello");

    Pty.Write("world\n");
    ASSERT_TRUE(PumpUntil([&] { return rx.All() == "world\n"; }));

    EXPECT_TRUE(Uart.Close());
    EXPECT_FALSE(Uart.Opened());
    EXPECT_EQ(Uart.SendData(1, "x"), 2);
    EXPECT_EQ(Uart.LastErrorText(), "");
}

TEST_F(SerialLinkTest, HandlerRunsOnTheMainThread) {
    std::optional<std::thread::id> seen;
    Uart.OnRxdDatas = [&](XVclUtil::TComponent* sender, int, void*) {
        seen = std::this_thread::get_id();
        EXPECT_EQ(sender, &Uart);
    };
    ASSERT_TRUE(Uart.Open());
    Pty.Write("a");
    ASSERT_TRUE(PumpUntil([&] { return seen.has_value(); }));
    EXPECT_EQ(*seen, std::this_thread::get_id());
}

TEST_F(SerialLinkTest, ReplyFromInsideTheReceiveHandler) {
    Uart.OnRxdDatas = [&](XVclUtil::TComponent*, int bytes, void* datas) {
        std::string got(static_cast<const char*>(datas), static_cast<std::size_t>(bytes));
        Uart.SendData_printf("echo:%s", got.c_str());
    };
    ASSERT_TRUE(Uart.Open());
    Pty.Write("C");
    std::string reply;
    ASSERT_TRUE(PumpUntil([&] {
        reply += Pty.ReadFor(0);
        return reply == "echo:C";
    }));
}

} // namespace
