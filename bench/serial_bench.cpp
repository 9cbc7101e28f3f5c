// Round trip over a pseudo-terminal pair: a peer thread echoes each 68-byte frame with one
// byte (as the controller acknowledges an upload frame).
//
// Component: TCustomUart on the slave side; its OnRxdDatas handler, on the main thread, sends
// the next frame, exactly as the upload protocol does.
// Minimal: the same exchange with blocking write and read on a raw slave descriptor.
//
// Reported per benchmark: frames per second (items_per_second) and the median round trip in
// microseconds (median_rtt_us), measured from the send to the reply's arrival in the sender.

#include "XVclCtrl/TCustomUart.h"

#include <benchmark/benchmark.h>

#include "XVclUtil/TEventLoop.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <stdexcept>
#include <string>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using TClock = std::chrono::steady_clock;
constexpr int FrameBytes = 68;
constexpr int FramesPerIteration = 500;

class TPty {
public:
    TPty() {
        Master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (Master < 0 || ::grantpt(Master) || ::unlockpt(Master))
            throw std::runtime_error("no pseudo-terminal");
        char name[128];
        ::ptsname_r(Master, name, sizeof name);
        Slave = name;
    }
    ~TPty() { ::close(Master); }
    int Master;
    std::string Slave;
};

// Reads one frame at a time from the master side and answers each with one byte, until
// stopped (a frame of zeros ends it).
class TEchoPeer {
public:
    explicit TEchoPeer(int masterFd) : Fd(masterFd), Thread([this] { Run(); }) {}
    ~TEchoPeer() { Thread.join(); }

private:
    void Run() {
        unsigned char frame[FrameBytes];
        for (;;) {
            int have = 0;
            while (have < FrameBytes) {
                ssize_t r = ::read(Fd, frame + have, FrameBytes - have);
                if (r <= 0) return;
                have += static_cast<int>(r);
            }
            if (frame[0] == 0) return;
            const unsigned char ack = 0x06;
            if (::write(Fd, &ack, 1) != 1) return;
        }
    }
    int Fd;
    std::thread Thread;
};

double Median(std::vector<double>& v) {
    if (v.empty()) return 0;
    std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
    return v[v.size() / 2];
}

void Report(benchmark::State& state, std::vector<double>& rtts) {
    state.SetItemsProcessed(static_cast<int64_t>(rtts.size()));
    state.counters["median_rtt_us"] = Median(rtts);
}

void BM_ComponentRoundTrip(benchmark::State& state) {
    TPty pty;
    TEchoPeer peer(pty.Master);
    XVclCtrl::TCustomUart uart;
    uart.UartDevicePath = pty.Slave;
    uart.pw_UartBaud(115200);
    std::vector<unsigned char> frame(FrameBytes, 0x03);
    std::vector<double> rtts;
    rtts.reserve(static_cast<std::size_t>(FramesPerIteration) * 1000);
    int left = 0;
    TClock::time_point sentAt;
    XVclUtil::TEventLoop& loop = XVclUtil::TEventLoop::Main();
    uart.OnRxdDatas = [&](XVclUtil::TComponent*, int, void*) {
        rtts.push_back(std::chrono::duration<double, std::micro>(TClock::now() - sentAt).count());
        if (--left == 0) {
            loop.Exit(0);
            return;
        }
        sentAt = TClock::now();
        uart.SendData(FrameBytes, frame.data());
    };
    if (!uart.Open()) {
        state.SkipWithError(uart.LastErrorText().c_str());
        return;
    }
    for (auto _ : state) {
        left = FramesPerIteration;
        sentAt = TClock::now();
        uart.SendData(FrameBytes, frame.data());
        loop.Exec();
    }
    Report(state, rtts);
    std::vector<unsigned char> stop(FrameBytes, 0);
    uart.OnRxdDatas = nullptr;
    uart.SendData(FrameBytes, stop.data());
    uart.Close();
}
BENCHMARK(BM_ComponentRoundTrip)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_MinimalRoundTrip(benchmark::State& state) {
    TPty pty;
    TEchoPeer peer(pty.Master);
    int fd = ::open(pty.Slave.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios t{};
    ::tcgetattr(fd, &t);
    ::cfmakeraw(&t);
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    ::cfsetspeed(&t, B115200);
    ::tcsetattr(fd, TCSANOW, &t);
    std::vector<unsigned char> frame(FrameBytes, 0x03);
    std::vector<double> rtts;
    rtts.reserve(static_cast<std::size_t>(FramesPerIteration) * 1000);
    for (auto _ : state) {
        for (int i = 0; i < FramesPerIteration; ++i) {
            auto sentAt = TClock::now();
            if (::write(fd, frame.data(), FrameBytes) != FrameBytes) {
                state.SkipWithError("write failed");
                break;
            }
            unsigned char ack;
            if (::read(fd, &ack, 1) != 1) {
                state.SkipWithError("read failed");
                break;
            }
            rtts.push_back(
                std::chrono::duration<double, std::micro>(TClock::now() - sentAt).count());
        }
    }
    Report(state, rtts);
    std::vector<unsigned char> stop(FrameBytes, 0);
    [[maybe_unused]] ssize_t r = ::write(fd, stop.data(), FrameBytes);
    ::close(fd);
}
BENCHMARK(BM_MinimalRoundTrip)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
