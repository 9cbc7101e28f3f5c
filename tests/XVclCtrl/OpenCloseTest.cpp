// Opening and closing: failure texts, exclusive access, prompt thread shutdown, closing from
// inside a handler, a port that vanishes while open, rapid cycles without leaks.

#include "support/EventPump.h"
#include "support/PtyPair.h"

#include "XVclCtrl/TComPortTable.h"
#include "XVclCtrl/TCustomUart.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/file.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace XVclCtrl;
using TestSupport::PumpUntil;
using TestSupport::TPtyPair;

namespace {

using TClock = std::chrono::steady_clock;

class OpenCloseTest : public ::testing::Test {
protected:
    TPtyPair Pty;
};

TEST_F(OpenCloseTest, MissingDevice) {
    TComPortTable::Global().SetEntry(3, "/dev/no-such-serial-device");
    TCustomUart uart;
    uart.pw_UartPortNumber(3);
    EXPECT_FALSE(uart.Open());
    EXPECT_EQ(uart.LastErrorText(), "The comm device not exist");
    EXPECT_FALSE(uart.Opened());
    EXPECT_EQ(uart.SendData(1, "x"), 2);
    TComPortTable::Global().SetEntry(3, "");
}

TEST_F(OpenCloseTest, ComNumberResolvesThroughTheTable) {
    TComPortTable::Global().SetEntry(5, Pty.SlavePath());
    TCustomUart uart;
    uart.pw_UartPortNumber(5);
    EXPECT_EQ(uart.DevicePathToOpen(), Pty.SlavePath());
    ASSERT_TRUE(uart.Open()) << uart.LastErrorText();
    TComPortTable::Global().SetEntry(5, "");
    EXPECT_EQ(uart.DevicePathToOpen(), Pty.SlavePath()); // the open device
}

TEST_F(OpenCloseTest, SecondOpenOfTheSamePortIsRefused) {
    TCustomUart first, second;
    first.UartDevicePath = second.UartDevicePath = Pty.SlavePath();
    ASSERT_TRUE(first.Open());
    EXPECT_FALSE(second.Open());
    EXPECT_EQ(second.LastErrorText(), "The comm device can not access (may be opened by another)");
    first.Close();
    EXPECT_TRUE(second.Open()) << second.LastErrorText();
}

TEST_F(OpenCloseTest, PortHeldByAnotherProgramIsRefused) {
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Another program holding the port the way this one does.
        int fd = ::open(Pty.SlavePath().c_str(), O_RDWR | O_NOCTTY);
        bool locked = fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0;
        char c = locked ? 'y' : 'n';
        [[maybe_unused]] ssize_t r = ::write(ready[1], &c, 1);
        ::sleep(2);
        ::_exit(0);
    }
    char c = 0;
    ASSERT_EQ(::read(ready[0], &c, 1), 1);
    ASSERT_EQ(c, 'y');
    TCustomUart uart;
    uart.UartDevicePath = Pty.SlavePath();
    EXPECT_FALSE(uart.Open());
    EXPECT_EQ(uart.LastErrorText(), "The comm device can not access (may be opened by another)");
    ::kill(child, SIGTERM);
    ::waitpid(child, nullptr, 0);
    ::close(ready[0]);
    ::close(ready[1]);
    EXPECT_TRUE(uart.Open());
}

TEST_F(OpenCloseTest, RegularFileAndFolderAreNotPorts) {
    auto dir = std::filesystem::temp_directory_path() / ("uart-open-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "plain.txt") << "not a port";
    TCustomUart uart;
    uart.UartDevicePath = (dir / "plain.txt").string();
    EXPECT_FALSE(uart.Open());
    EXPECT_EQ(uart.LastErrorText(), "Can not open comm device file");
    EXPECT_NE(uart.ErrorString().find("(Inappropriate ioctl for device)"), std::string::npos)
        << uart.ErrorString();
    uart.UartDevicePath = dir.string();
    EXPECT_FALSE(uart.Open());
    EXPECT_EQ(uart.LastErrorText(), "Can not open comm device file");
    EXPECT_FALSE(uart.Opened());
    std::filesystem::remove_all(dir);
}

TEST_F(OpenCloseTest, CloseOfAQuietPortIsPrompt) {
    TCustomUart uart;
    uart.UartDevicePath = Pty.SlavePath();
    ASSERT_TRUE(uart.Open());
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    auto start = TClock::now();
    EXPECT_TRUE(uart.Close());
    auto took = std::chrono::duration_cast<std::chrono::milliseconds>(TClock::now() - start);
    EXPECT_LT(took.count(), 500) << "the terminate event must wake the thread";
    EXPECT_FALSE(uart.Opened());
    EXPECT_EQ(uart.LastErrorText(), "");
    EXPECT_TRUE(uart.Close()); // closing a closed port is harmless
}

TEST_F(OpenCloseTest, CloseFromInsideTheReceiveHandler) {
    TCustomUart uart;
    uart.UartDevicePath = Pty.SlavePath();
    int calls = 0;
    uart.OnRxdDatas = [&](XVclUtil::TComponent*, int, void*) {
        ++calls;
        EXPECT_TRUE(uart.Close());
        EXPECT_FALSE(uart.Opened());
    };
    const int before = TestSupport::CountOpenDescriptors();
    ASSERT_TRUE(uart.Open());
    Pty.Write("abc");
    ASSERT_TRUE(PumpUntil([&] { return calls == 1; }));
    EXPECT_FALSE(uart.Opened());
    // The thread ends once the handler has returned and is reaped from the event loop.
    EXPECT_TRUE(PumpUntil([&] { return TestSupport::CountOpenDescriptors() == before; }));
    Pty.Write("more");
    TestSupport::PumpFor(50);
    EXPECT_EQ(calls, 1);
    // The port can be opened again, by the handler's component too.
    ASSERT_TRUE(uart.Open()) << uart.LastErrorText();
    Pty.Write("x");
    EXPECT_TRUE(PumpUntil([&] { return calls == 2; }));
}

TEST_F(OpenCloseTest, CloseAndReopenFromInsideTheHandler) {
    TCustomUart uart;
    uart.UartDevicePath = Pty.SlavePath();
    int calls = 0;
    uart.OnRxdDatas = [&](XVclUtil::TComponent*, int, void*) {
        ++calls;
        uart.Close();
        EXPECT_TRUE(uart.Open()) << uart.LastErrorText();
    };
    ASSERT_TRUE(uart.Open());
    Pty.Write("1");
    ASSERT_TRUE(PumpUntil([&] { return calls == 1; }));
    Pty.Write("2");
    ASSERT_TRUE(PumpUntil([&] { return calls == 2; }));
    uart.OnRxdDatas = nullptr;
}

TEST_F(OpenCloseTest, CloseWhileTheThreadWaitsOnAHandOff) {
    // Bytes arrive while the main thread is busy; Close must not wait for a hand-off forever.
    TCustomUart uart;
    uart.UartDevicePath = Pty.SlavePath();
    int calls = 0;
    uart.OnRxdDatas = [&](XVclUtil::TComponent*, int, void*) { ++calls; };
    ASSERT_TRUE(uart.Open());
    Pty.Write("pending");
    std::this_thread::sleep_for(std::chrono::milliseconds(50)); // no event loop meanwhile
    auto start = TClock::now();
    uart.Close();
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(TClock::now() - start).count(),
              1000);
    TestSupport::PumpFor(20);
    EXPECT_EQ(calls, 0); // steps handed over after Close began report nothing
}

TEST_F(OpenCloseTest, RapidCyclesLeakNothing) {
    const int before = TestSupport::CountOpenDescriptors();
    {
        TCustomUart uart;
        uart.UartDevicePath = Pty.SlavePath();
        int received = 0;
        uart.OnRxdDatas = [&](XVclUtil::TComponent*, int n, void*) { received += n; };
        for (int i = 0; i < 60; ++i) {
            ASSERT_TRUE(uart.Open()) << i << ": " << uart.LastErrorText();
            if (i % 3 == 0) Pty.Write("z");
            if (i % 2 == 0) TestSupport::PumpFor(0);
            ASSERT_TRUE(uart.Close());
        }
    }
    EXPECT_EQ(TestSupport::CountOpenDescriptors(), before);
}

TEST_F(OpenCloseTest, DestructorClosesAnOpenPort) {
    const int before = TestSupport::CountOpenDescriptors();
    {
        TCustomUart uart;
        uart.UartDevicePath = Pty.SlavePath();
        ASSERT_TRUE(uart.Open());
        EXPECT_GT(TestSupport::CountOpenDescriptors(), before);
    }
    EXPECT_EQ(TestSupport::CountOpenDescriptors(), before);
    TCustomUart again;
    again.UartDevicePath = Pty.SlavePath();
    EXPECT_TRUE(again.Open()); // the exclusive lock went with the old descriptor
}

double CpuSeconds() {
    timespec ts;
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec + ts.tv_nsec / 1e9;
}

TEST_F(OpenCloseTest, PortThatVanishesWhileOpen) {
    TCustomUart uart;
    uart.UartDevicePath = Pty.SlavePath();
    int calls = 0;
    uart.OnRxdDatas = [&](XVclUtil::TComponent*, int, void*) { ++calls; };
    ASSERT_TRUE(uart.Open());
    Pty.Write("last words");
    ASSERT_TRUE(PumpUntil([&] { return calls > 0; }));
    Pty.CloseMaster(); // the far end goes away, as when a USB adapter is pulled out
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const double cpuBefore = CpuSeconds();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_LT(CpuSeconds() - cpuBefore, 0.03) << "the monitor thread must not spin";
    EXPECT_EQ(uart.SendData(4, "ping"), 1);
    EXPECT_EQ(uart.LastErrorText(), "Can not send to comm");
    // The system's reason stays beside the component's own text.
    EXPECT_NE(uart.LastSystemError(), 0);
    EXPECT_EQ(uart.ErrorString(),
              "Can not send to comm (" + std::string(std::strerror(uart.LastSystemError())) + ")");
    auto start = TClock::now();
    EXPECT_TRUE(uart.Close());
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(TClock::now() - start).count(),
              500);
    EXPECT_FALSE(uart.Opened());
}

TEST_F(OpenCloseTest, SendDataOnAClosedPort) {
    TCustomUart uart;
    EXPECT_EQ(uart.SendData(3, "abc"), 2);
    EXPECT_EQ(uart.LastErrorText(), "");
    EXPECT_EQ(uart.SendData_printf("%d", 42), 2);
}

TEST_F(OpenCloseTest, SendDataPrintfCutsAt1023Bytes) {
    TCustomUart uart;
    uart.UartDevicePath = Pty.SlavePath();
    ASSERT_TRUE(uart.Open());
    std::string longText(3000, 'q');
    EXPECT_EQ(uart.SendData_printf("%s!", longText.c_str()), 0);
    std::string got = Pty.ReadExactly(1023, 1000) + Pty.ReadFor(50);
    EXPECT_EQ(got, std::string(1023, 'q'));
    EXPECT_EQ(uart.SendData_printf("T=%02d", 7), 0);
    EXPECT_EQ(Pty.ReadExactly(4, 1000), "T=07");
}

TEST_F(OpenCloseTest, WriteToAPeerThatNeverReadsTimesOut) {
    TCustomUart uart;
    uart.UartDevicePath = Pty.SlavePath();
    uart.pw_UartBaud(115200);
    ASSERT_TRUE(uart.Open());
    std::string block(1 << 20, 'w');
    auto start = TClock::now();
    EXPECT_EQ(uart.SendData(static_cast<unsigned>(block.size()), block.data()), 4);
    auto took = std::chrono::duration_cast<std::chrono::milliseconds>(TClock::now() - start);
    EXPECT_EQ(uart.LastErrorText(), "Timeout when send to comm");
    EXPECT_GE(took.count(), 4900);
    EXPECT_LT(took.count(), 8000);
    uart.Close();
}

} // namespace
