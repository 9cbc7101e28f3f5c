// The simulators' line with a peer on its other end: a pseudo-terminal pair on POSIX systems;
// on Windows (under Wine) the two COM ports named by ZKF_WINE_COM_A and ZKF_WINE_COM_B, which
// the test script maps onto the two ends of one socat pseudo-terminal pair.

#include "tools/simline/TSimLine.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <thread>
#include <vector>

using namespace SimLine;
using namespace std::chrono_literals;

namespace {

struct TLinePair {
    TSimLine Sim, Peer;
};

// False when this platform's pair is not set up (Windows outside its test script).
bool OpenPair(TLinePair& pair) {
#ifdef _WIN32
    const char* a = std::getenv("ZKF_WINE_COM_A");
    const char* b = std::getenv("ZKF_WINE_COM_B");
    if (!a || !b) return false;
    pair.Sim = TSimLine::OpenDevice(a);
    pair.Peer = TSimLine::OpenDevice(b);
#else
    pair.Sim = TSimLine::CreatePty();
    pair.Peer = TSimLine::OpenDevice(pair.Sim.PeerPath());
#endif
    return true;
}

// What the line receives until size bytes are there or the time is up.
std::vector<std::uint8_t> Receive(TSimLine& line, std::size_t size, std::chrono::seconds limit) {
    std::vector<std::uint8_t> got;
    const auto end = std::chrono::steady_clock::now() + limit;
    std::uint8_t buf[1000];
    while (got.size() < size && std::chrono::steady_clock::now() < end) {
        if (line.WaitReadable(100) != TLineWait::Readable) continue;
        const std::size_t n = line.Read(buf, sizeof buf);
        got.insert(got.end(), buf, buf + n);
    }
    return got;
}

} // namespace

TEST(SimLine, CarriesBytesBothWaysWholeAndInOrder) {
    TLinePair pair;
    if (!OpenPair(pair)) GTEST_SKIP() << "no COM port pair: run by run-wine-pair.sh";
    // More than one read takes, and more than a pseudo-terminal buffers: the writer waits.
    std::vector<std::uint8_t> block(20000);
    for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<std::uint8_t>(i * 7);
    long written = 0;
    std::thread writer([&] { written = pair.Peer.Write(block.data(), block.size(), 5000); });
    const std::vector<std::uint8_t> got = Receive(pair.Sim, block.size(), 20s);
    writer.join();
    EXPECT_EQ(written, static_cast<long>(block.size()));
    EXPECT_TRUE(got == block) << got.size() << " bytes arrived";

    const std::uint8_t reply[] = {0x06, 0x15, 'C'};
    EXPECT_EQ(pair.Sim.Write(reply, sizeof reply, 0), 3);
    EXPECT_EQ(Receive(pair.Peer, 3, 10s), std::vector<std::uint8_t>(reply, reply + 3));
}

TEST(SimLine, AWaitEndsWithItsTimeOutOrAWakeFromAnotherThread) {
    TLinePair pair;
    if (!OpenPair(pair)) GTEST_SKIP() << "no COM port pair: run by run-wine-pair.sh";
    EXPECT_EQ(pair.Sim.WaitReadable(50), TLineWait::TimedOut);

    std::thread waker([&] {
        std::this_thread::sleep_for(100ms);
        pair.Sim.Wake();
    });
    const auto t0 = std::chrono::steady_clock::now();
    EXPECT_EQ(pair.Sim.WaitReadable(-1), TLineWait::Woken);
    EXPECT_LT(std::chrono::steady_clock::now() - t0, 10s);
    waker.join();

    // A wake given before the wait is kept for it, and used up by it.
    pair.Sim.Wake();
    EXPECT_EQ(pair.Sim.WaitReadable(10000), TLineWait::Woken);
    EXPECT_EQ(pair.Sim.WaitReadable(50), TLineWait::TimedOut);
}

TEST(SimLine, AFailedOpenSaysWhichDeviceAndWhy) {
#ifdef _WIN32
    const std::string missing = "COM199";
#else
    const std::string missing = "/nonexistent/tty";
#endif
    try {
        TSimLine::OpenDevice(missing);
        FAIL() << missing << " opened";
    } catch (const ESimLine& e) {
        EXPECT_NE(e.SystemError(), 0);
        EXPECT_NE(std::string(e.what()).find(missing), std::string::npos) << e.what();
    }
}
