// A full ROM image upload driven straight through the serial port layer (tests/windows/
// PortUploadDriver: overlapped-style reads, a waitable timer as the response timer) against
// the controller simulator on a pseudo-terminal. The same driver, cross-built, runs under Wine
// over a COM port mapped onto a pty (WineCom_full); bench/wine_com_upload.sh runs both and sets
// the per-frame times side by side.
//
// Reported: the transfer time (manual time) and the mean time per frame in microseconds
// (frame_us).

#include "tests/windows/PortUploadDriver.h"

#include "tools/controllersim/TSimLine.h"
#include "tools/controllersim/TSimRunner.h"

#include <benchmark/benchmark.h>

namespace {

void BM_PortLayerUpload(benchmark::State& state) {
    const auto image = PortUpload::TestImage(17);
    double total = 0;
    for (auto _ : state) {
        ControllerSim::TSimLine line = ControllerSim::TSimLine::CreatePty();
        ControllerSim::TSimOptions options;
        options.ReadyIntervalMs = 50;
        ControllerSim::TSimRunner sim(line, options);
        XVclCtrl::TPortOpenFailure failure;
        int error = 0;
        auto port = XVclCtrl::TSerialPort::Open(line.PeerPath(), false, failure, error);
        if (!port || !PortUpload::ConfigureLine(*port, false)) {
            state.SkipWithError("cannot open the pseudo-terminal");
            break;
        }
        sim.Start();
        const auto r = PortUpload::UploadImage(*port, image, 10'000, std::chrono::minutes(10));
        sim.Stop();
        if (!r.Ended || r.Outcome != Link::TTransferOutcome::Finished) {
            state.SkipWithError("the upload did not finish");
            break;
        }
        const double seconds = r.Elapsed.count() / 1e6;
        state.SetIterationTime(seconds);
        total += seconds / r.Frames;
    }
    if (state.iterations() > 0)
        state.counters["frame_us"] = total * 1e6 / static_cast<double>(state.iterations());
}
BENCHMARK(BM_PortLayerUpload)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
