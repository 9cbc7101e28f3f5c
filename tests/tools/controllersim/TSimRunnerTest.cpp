// The simulator on a real pseudo-terminal pair, talked to with plain reads and writes.

#include "tools/controllersim/TSimRunner.h"
#include "tools/controllersim/TSimLine.h"

#include "XVclUtil/Crc8.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

using namespace ControllerSim;
using namespace std::chrono_literals;

namespace {

int OpenPeer(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY);
    termios tio{};
    tcgetattr(fd, &tio);
    cfmakeraw(&tio);
    tcsetattr(fd, TCSANOW, &tio);
    return fd;
}

int ReadByte(int fd, int timeoutMs) {
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, timeoutMs) <= 0) return -1;
    std::uint8_t b;
    return ::read(fd, &b, 1) == 1 ? b : -1;
}

} // namespace

TEST(SimRunner, ServesAThreeBlockUploadOverAPty) {
    TSimLine line = TSimLine::CreatePty();
    TSimOptions o;
    o.ReadyIntervalMs = 50;
    o.ResendAfterMs = 50;
    o.SilentNakLimit = 1;
    TSimRunner runner(line, o);
    const int pc = OpenPeer(line.PeerPath());
    ASSERT_GE(pc, 0);
    runner.Start();

    int b;
    do b = ReadByte(pc, 2000);
    while (b != -1 && b != Ready);
    ASSERT_EQ(b, Ready);
    for (unsigned n = 1; n <= 3; ++n) {
        std::uint8_t f[68];
        f[0] = 3;
        f[1] = 0;
        f[2] = static_cast<std::uint8_t>(n - 1);
        for (int i = 3; i < 67; ++i) f[i] = static_cast<std::uint8_t>(n * 10 + i);
        f[67] = XVclUtil::Crc8(f, 67);
        ASSERT_EQ(::write(pc, f, 68), 68);
        do b = ReadByte(pc, 2000);
        while (b == Ready);
        EXPECT_EQ(b, Ack) << "block " << n;
    }
    const auto report = runner.WaitForSession(3s);
    ASSERT_TRUE(report.has_value());
    EXPECT_EQ(report->Blocks, 3u);
    EXPECT_EQ(report->Data.size(), 192u);
    EXPECT_EQ(report->Data[64], 20 + 3);
    EXPECT_EQ(runner.FramesSeen(), 3u);
    runner.Stop();
    ::close(pc);
}

TEST(SimRunner, OpensADeviceByPathAndStopsPromptly) {
    TSimLine pair = TSimLine::CreatePty();
    TSimLine dev = TSimLine::OpenDevice(pair.PeerPath());
    TSimRunner runner(dev, TSimOptions{});
    runner.Start();
    EXPECT_EQ(ReadByte(pair.Fd(), 2000), Ready);
    const auto t0 = std::chrono::steady_clock::now();
    runner.Stop();
    EXPECT_LT(std::chrono::steady_clock::now() - t0, 1s);
    EXPECT_THROW(TSimLine::OpenDevice("/nonexistent/tty"), std::exception);
}
