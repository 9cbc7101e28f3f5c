// A full 458,752-byte ROM image uploaded to the simulated controller over a pseudo-terminal
// pair, through the real parts: TCustomUart and its monitor thread on the PC side, the upload
// protocol on the Qt event loop, the controller simulator on the master side.
//
// Reported: the transfer time from the first frame to the final ACK (manual time), frames per
// second (items_per_second) and the mean round trip per frame in microseconds (rtt_us).
// bench/link_vs_sx.sh sets this beside lrzsz's sx sending the same file to rx.

#include "link/TUploadCommands.h"
#include "link/TUploadProtocol.h"

#include "tools/controllersim/TSimLine.h"
#include "tools/controllersim/TSimRunner.h"

#include "XVclCtrl/TCustomUart.h"
#include "XVclUtil/TEventLoop.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <unistd.h>

namespace {

using TClock = std::chrono::steady_clock;

struct TQuietView : Link::TUploadView {
    void AppendLine(const std::string&) override {}
    void ClearLines() override {}
    void SetProgress(unsigned) override {}
    bool MsgOn() const override { return false; }
    void SetCommandButtonsEnabled(bool) override {}
};

struct TNoTimer : Link::TResponseTimer {
    void Start() override {}
    void Stop() override {}
    bool Enabled() const override { return false; }
};

std::string ImageFile() {
    static const std::string path = [] {
        const auto p = std::filesystem::temp_directory_path() /
                       ("zkf-link-bench-" + std::to_string(::getpid()) + ".rom");
        std::mt19937 rng(780);
        std::vector<char> bytes(Link::ImageBufferSize);
        for (auto& b : bytes) b = static_cast<char>(rng());
        std::FILE* f = std::fopen(p.c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
        return p.string();
    }();
    return path;
}

void BM_FullImageUpload(benchmark::State& state) {
    const std::string file = ImageFile();
    double total = 0;
    for (auto _ : state) {
        ControllerSim::TSimLine line = ControllerSim::TSimLine::CreatePty();
        ControllerSim::TSimOptions options;
        options.ReadyIntervalMs = 50;
        ControllerSim::TSimRunner sim(line, options);
        XVclCtrl::TCustomUart port;
        port.pw_UartBaud(115200);
        port.UartDevicePath = line.PeerPath();
        TQuietView view;
        TNoTimer timer;
        TClock::time_point first{}, end{};
        unsigned frames = 0;
        Link::TUploadProtocol protocol(view, timer, [&](unsigned n, const void* d) {
            if (frames++ == 0) first = TClock::now();
            return port.SendData(n, d);
        });
        Link::TUploadCommands commands(protocol, view, timer, port);
        XVclUtil::TEventLoop& loop = XVclUtil::TEventLoop::Main();
        bool finished = false;
        protocol.OnTransferEnded = [&](Link::TTransferOutcome o) {
            end = TClock::now();
            finished = o == Link::TTransferOutcome::Finished;
            loop.Exit(0);
        };
        port.OnRxdDatas = [&](XVclUtil::TComponent* s, int n, void* d) {
            protocol.PcUart1RxdDatas(s, n, d);
        };
        commands.ConnectDisconnect({});
        commands.UploadRomImage(file);
        sim.Start();
        loop.Exec();
        sim.Stop();
        if (!finished || frames != Link::MaxRomBlockCount) {
            state.SkipWithError("the upload did not finish");
            break;
        }
        const double seconds = std::chrono::duration<double>(end - first).count();
        state.SetIterationTime(seconds);
        total += seconds;
    }
    if (state.iterations() > 0)
        state.counters["rtt_us"] =
            total * 1e6 / (static_cast<double>(state.iterations()) * Link::MaxRomBlockCount);
    state.SetItemsProcessed(state.iterations() * Link::MaxRomBlockCount);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(Link::ImageBufferSize));
}
BENCHMARK(BM_FullImageUpload)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove(ImageFile());
    return 0;
}
