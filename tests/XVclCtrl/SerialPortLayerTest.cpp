// The POSIX serial port layer on its own: line settings as the terminal driver holds them,
// baud rates beyond the standard list, exclusive open, the comm-event wait, purge, time-outs.
// A test against real hardware runs when ZKF_SERIAL_PORT names a port.

#include "support/PtyPair.h"

#include "XVclCtrl/CommEventCodes.h"
#include "XVclCtrl/TSerialPort.h"

#include <gtest/gtest.h>

#include <asm/termbits.h>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <thread>
#include <unistd.h>

using namespace XVclCtrl;

namespace {

std::unique_ptr<TSerialPort> OpenPort(const std::string& path) {
    TPortOpenFailure failure;
    int err = 0;
    return TSerialPort::Open(path, false, failure, err);
}

TPortDcb Line(uint32_t baud) {
    TPortDcb dcb;
    dcb.DCBlength = 28;
    dcb.fBinary = true;
    dcb.BaudRate = baud;
    dcb.ByteSize = 8;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    return dcb;
}

// The settings as the terminal driver holds them, read through a second descriptor (which the
// port's exclusive mode allows only the superuser).
bool CanInspect(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return false;
    ::close(fd);
    return true;
}

termios2 DriverSettings(const std::string& path) {
    termios2 t{};
    int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd >= 0) {
        ::ioctl(fd, TCGETS2, &t);
        ::close(fd);
    }
    return t;
}

class SerialPortLayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        Port = OpenPort(Pty.SlavePath());
        ASSERT_TRUE(Port);
    }
    TestSupport::TPtyPair Pty;
    std::unique_ptr<TSerialPort> Port;
};

TEST_F(SerialPortLayerTest, StandardAndNonStandardBaudRates) {
    if (!CanInspect(Pty.SlavePath())) GTEST_SKIP() << "the exclusive port cannot be inspected";
    for (uint32_t baud : {300u, 9600u, 38400u, 115200u, 921600u, 250000u, 31250u}) {
        ASSERT_TRUE(Port->SetCommConfig(Line(baud))) << baud;
        termios2 t = DriverSettings(Pty.SlavePath());
        EXPECT_EQ(t.c_ospeed, baud);
        EXPECT_EQ(t.c_ispeed, baud);
    }
    EXPECT_FALSE(Port->SetCommConfig(Line(0)));
}

TEST_F(SerialPortLayerTest, FramingParityAndHandshake) {
    if (!CanInspect(Pty.SlavePath())) GTEST_SKIP() << "the exclusive port cannot be inspected";
    TPortDcb dcb = Line(19200);
    dcb.ByteSize = 7;
    dcb.fParity = true;
    dcb.Parity = ODDPARITY;
    dcb.fErrorChar = true;
    dcb.ErrorChar = 0x0A;
    dcb.StopBits = TWOSTOPBITS;
    dcb.fOutxCtsFlow = true;
    ASSERT_TRUE(Port->SetCommConfig(dcb));
    // A pseudo-terminal always keeps 8 data bits without parity; the rest it stores.
    termios2 t = DriverSettings(Pty.SlavePath());
    EXPECT_TRUE(t.c_cflag & CSTOPB);
    EXPECT_TRUE(t.c_cflag & CRTSCTS);
    EXPECT_TRUE(t.c_cflag & CLOCAL);
    EXPECT_TRUE(t.c_iflag & INPCK);
    EXPECT_TRUE(t.c_iflag & PARMRK);
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG), 0u);

    ASSERT_TRUE(Port->SetCommConfig(Line(9600)));
    t = DriverSettings(Pty.SlavePath());
    EXPECT_FALSE(t.c_cflag & (CSTOPB | CRTSCTS));
    EXPECT_EQ(t.c_iflag, 0u);

    TPortDcb bad = Line(9600);
    bad.ByteSize = 9;
    EXPECT_FALSE(Port->SetCommConfig(bad));
    bad = Line(9600);
    bad.StopBits = 1; // one and a half stop bits: not on this platform
    EXPECT_FALSE(Port->SetCommConfig(bad));
}

TEST_F(SerialPortLayerTest, SecondOpenFailsAsBusy) {
    TPortOpenFailure failure;
    int err = 0;
    EXPECT_FALSE(TSerialPort::Open(Pty.SlavePath(), false, failure, err));
    EXPECT_EQ(failure, TPortOpenFailure::Busy);
    EXPECT_FALSE(TSerialPort::Open("/dev/no-such-tty", false, failure, err));
    EXPECT_EQ(failure, TPortOpenFailure::NotFound);
    EXPECT_FALSE(TSerialPort::Open("/dev/null", false, failure, err));
    EXPECT_EQ(failure, TPortOpenFailure::Other);
    Port->Close();
    EXPECT_TRUE(TSerialPort::Open(Pty.SlavePath(), false, failure, err));
}

TEST_F(SerialPortLayerTest, CommEventWaitReportsReceivedAndTransmitterEmpty) {
    ASSERT_TRUE(Port->SetCommConfig(Line(115200)));
    ASSERT_TRUE(Port->SetCommMask(EV_RXCHAR | EV_TXEMPTY));
    uint32_t mask = 0;
    EXPECT_EQ(Port->StartCommEventWait(mask), TPortResult::Pending);
    Pty.Write("ab");
    TManualResetEvent never;
    Port->WaitForAny(never, true, false, nullptr);
    EXPECT_EQ(Port->CommEventWaitResult(mask), TPortResult::Done);
    EXPECT_EQ(mask, EV_RXCHAR);
    uint32_t errors = 99, waiting = 0;
    ASSERT_TRUE(Port->ClearCommError(errors, waiting));
    EXPECT_EQ(errors, 0u);
    EXPECT_EQ(waiting, 2u);
    char buf[8];
    uint32_t got = 0;
    EXPECT_EQ(Port->Read(buf, waiting, got), TPortResult::Done);
    EXPECT_EQ(std::string(buf, got), "ab");

    EXPECT_EQ(Port->StartCommEventWait(mask), TPortResult::Pending);
    uint32_t written = 0;
    EXPECT_EQ(Port->Write("xyz", 3, written), TPortResult::Done);
    EXPECT_EQ(written, 3u);
    Port->WaitForAny(never, true, false, nullptr);
    EXPECT_EQ(Port->CommEventWaitResult(mask), TPortResult::Done);
    EXPECT_EQ(mask, EV_TXEMPTY);
    // Reported once per write.
    EXPECT_EQ(Port->StartCommEventWait(mask), TPortResult::Pending);
}

TEST_F(SerialPortLayerTest, ChangingTheMaskCompletesAPendingWait) {
    ASSERT_TRUE(Port->SetCommMask(EV_RXCHAR));
    uint32_t mask = 123;
    ASSERT_EQ(Port->StartCommEventWait(mask), TPortResult::Pending);
    std::thread closer([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        Port->SetCommMask(0);
    });
    TManualResetEvent never;
    Port->WaitForAny(never, true, false, nullptr);
    closer.join();
    EXPECT_EQ(Port->CommEventWaitResult(mask), TPortResult::Done);
    EXPECT_EQ(mask, 0u);
}

TEST_F(SerialPortLayerTest, TerminateEventAndLineTimerWakeTheWait) {
    ASSERT_TRUE(Port->SetCommMask(EV_RXCHAR));
    uint32_t mask = 0;
    ASSERT_EQ(Port->StartCommEventWait(mask), TPortResult::Pending);
    TManualResetEvent terminate;
    TWaitableTimer timer;
    ASSERT_TRUE(timer.SetOnce(40));
    auto start = std::chrono::steady_clock::now();
    Port->WaitForAny(terminate, true, false, &timer);
    auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, std::chrono::milliseconds(35));
    EXPECT_TRUE(timer.IsSignalled());
    EXPECT_TRUE(timer.IsSignalled()); // stays signalled until reset
    timer.Reset();
    EXPECT_FALSE(timer.IsSignalled());
    terminate.Set();
    Port->WaitForAny(terminate, true, false, nullptr);
    EXPECT_TRUE(terminate.IsSet());
    terminate.Reset();
    EXPECT_FALSE(terminate.IsSet());
}

TEST_F(SerialPortLayerTest, PurgeDiscardsInput) {
    ASSERT_TRUE(Port->SetCommConfig(Line(9600)));
    Pty.Write("stale");
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    uint32_t errors, waiting;
    ASSERT_TRUE(Port->ClearCommError(errors, waiting));
    EXPECT_EQ(waiting, 5u);
    EXPECT_TRUE(Port->PurgeComm(PURGE_RXABORT | PURGE_RXCLEAR));
    ASSERT_TRUE(Port->ClearCommError(errors, waiting));
    EXPECT_EQ(waiting, 0u);
}

TEST_F(SerialPortLayerTest, ReadTimeOuts) {
    TPortTimeouts t;
    t.ReadTotalTimeoutConstant = 60;
    ASSERT_TRUE(Port->SetCommTimeouts(t));
    char buf[16];
    uint32_t got = 0;
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Port->Read(buf, 4, got), TPortResult::Done);
    EXPECT_EQ(got, 0u);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(55));

    t.ReadIntervalTimeout = 0xFFFFFFFFu;
    t.ReadTotalTimeoutConstant = 0;
    ASSERT_TRUE(Port->SetCommTimeouts(t));
    start = std::chrono::steady_clock::now();
    EXPECT_EQ(Port->Read(buf, 4, got), TPortResult::Done);
    EXPECT_EQ(got, 0u);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(30));
}

TEST_F(SerialPortLayerTest, PseudoTerminalHasNoModemLines) {
    uint32_t status = 7;
    EXPECT_FALSE(Port->GetCommModemStatus(status));
    EXPECT_EQ(status, 0u);
    EXPECT_FALSE(Port->EscapeCommFunction(TPortEscape::SetDtr));
}

TEST_F(SerialPortLayerTest, HangUpMarksTheDeviceLost) {
    ASSERT_TRUE(Port->SetCommMask(EV_RXCHAR));
    uint32_t mask = 0;
    ASSERT_EQ(Port->StartCommEventWait(mask), TPortResult::Pending);
    Pty.CloseMaster();
    TManualResetEvent never;
    Port->WaitForAny(never, true, false, nullptr);
    EXPECT_EQ(Port->CommEventWaitResult(mask), TPortResult::Failed);
    EXPECT_TRUE(Port->DeviceLost());
    uint32_t written = 0;
    EXPECT_EQ(Port->Write("x", 1, written), TPortResult::Failed);
    EXPECT_TRUE(Port->Close());
}

// Real hardware: set ZKF_SERIAL_PORT=/dev/ttyUSB0 (for example) to run.
TEST(SerialPortHardware, OpensConfiguresAndReadsModemLines) {
    const char* path = std::getenv("ZKF_SERIAL_PORT");
    if (!path || !*path) GTEST_SKIP() << "ZKF_SERIAL_PORT names no port";
    auto port = OpenPort(path);
    ASSERT_TRUE(port) << path;
    ASSERT_TRUE(port->SetCommConfig(Line(115200)));
    EXPECT_TRUE(port->EscapeCommFunction(TPortEscape::SetDtr));
    EXPECT_TRUE(port->EscapeCommFunction(TPortEscape::SetRts));
    uint32_t status = 0;
    EXPECT_TRUE(port->GetCommModemStatus(status));
    uint32_t written = 0;
    TPortTimeouts t;
    t.WriteTotalTimeoutConstant = 1000;
    port->SetCommTimeouts(t);
    EXPECT_EQ(port->Write("AT\r", 3, written), TPortResult::Done);
    EXPECT_TRUE(port->PurgeComm(PURGE_RXCLEAR | PURGE_TXCLEAR));
}

} // namespace
