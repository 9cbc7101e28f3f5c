#include "UploadRig.h"

#include "XVclCtrl/support/EventPump.h"

#include <cstdio>
#include <filesystem>
#include <random>
#include <unistd.h>

namespace LinkTest {

TUploadRig::TUploadRig(const std::string& devicePath) : Upload(Port, View, Timer) {
    Port.SetName("PcUart1");
    Port.pw_UartBaud(115200);
    Port.UartDevicePath = devicePath;
    Upload.OnTrace = [this](char direction, const void*, int) {
        if (direction == '>') ++FramesSent;
    };
    Protocol.OnTransferEnded = [this](Link::TTransferOutcome o) { Outcomes.push_back(o); };
}

void TUploadRig::Connect() {
    Commands.ConnectDisconnect({});
}

std::optional<Link::TTransferOutcome> TUploadRig::RunTransfer(int maxMs, int quietMs) {
    const std::size_t before = Outcomes.size();
    TestSupport::TStopwatch total, quiet;
    unsigned lastFrames = FramesSent;
    while (Protocol.State.Mode != Link::TTransferMode::Idle && total.ElapsedMs() < maxMs) {
        TestSupport::PumpFor(5);
        if (FramesSent != lastFrames) {
            lastFrames = FramesSent;
            quiet.Restart();
        } else if (quiet.ElapsedMs() >= quietMs && Timer.Enabled()) {
            ++TimerFirings;
            Upload.Timer1Timer(&Timer);
            quiet.Restart();
        }
    }
    if (Outcomes.size() == before) return std::nullopt;
    return Outcomes.back();
}

std::string WriteTempFile(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    const auto dir =
        std::filesystem::temp_directory_path() / ("zkf-link-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const auto path = (dir / name).string();
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    return path;
}

std::vector<std::uint8_t> PatternBytes(std::size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<std::uint8_t> v(n);
    for (auto& b : v) b = static_cast<std::uint8_t>(rng());
    return v;
}

} // namespace LinkTest
