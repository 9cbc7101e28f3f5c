#include "PortUploadDriver.h"

#include "XVclCtrl/CommEventCodes.h"

#include <thread>

namespace PortUpload {

namespace {

using Clock = std::chrono::steady_clock;

// The response timer as a one-shot waitable timer that the loop re-arms at each expiry.
class TPortTimer final : public Link::TResponseTimer {
public:
    explicit TPortTimer(unsigned ms) : Ms(ms) {}
    void Start() override {
        On = true;
        Timer.SetOnce(Ms);
    }
    void Stop() override {
        On = false;
        Timer.Cancel();
    }
    bool Enabled() const override { return On; }
    XVclCtrl::TWaitableTimer Timer;

private:
    unsigned Ms;
    bool On = false;
};

class TLineView final : public Link::TUploadView {
public:
    explicit TLineView(std::vector<std::string>& lines) : Lines(lines) {}
    void AppendLine(const std::string& line) override { Lines.push_back(line); }
    void ClearLines() override {}
    void SetProgress(unsigned) override {}
    bool MsgOn() const override { return false; }
    void SetCommandButtonsEnabled(bool) override {}

private:
    std::vector<std::string>& Lines;
};

} // namespace

bool ConfigureLine(XVclCtrl::TSerialPort& port, bool firstByteReads) {
    XVclCtrl::TPortDcb dcb;
    dcb.DCBlength = 28;
    dcb.BaudRate = 115200;
    dcb.fBinary = true;
    dcb.ByteSize = 8;
    XVclCtrl::TPortTimeouts timeouts;
    timeouts.ReadIntervalTimeout = 0xFFFFFFFF;
    if (firstByteReads) {
        // A read completes with the first bytes to arrive, or empty after a second.
        timeouts.ReadTotalTimeoutMultiplier = 0xFFFFFFFF;
        timeouts.ReadTotalTimeoutConstant = 1000;
    }
    timeouts.WriteTotalTimeoutConstant = 5000;
    return port.SetupComm(4096, 4096) && port.SetCommConfig(dcb) &&
           port.SetCommTimeouts(timeouts) &&
           port.PurgeComm(XVclCtrl::PURGE_RXCLEAR | XVclCtrl::PURGE_TXCLEAR);
}

std::vector<std::uint8_t> TestImage(std::uint32_t seed) {
    std::vector<std::uint8_t> image(Link::ImageBufferSize);
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<std::uint8_t>((i * 2654435761u + seed) >> 13);
    return image;
}

TResult UploadImage(XVclCtrl::TSerialPort& port, const std::vector<std::uint8_t>& image,
                    unsigned responseMs, std::chrono::milliseconds deadline) {
    TResult result;
    TLineView view(result.Lines);
    TPortTimer timer(responseMs);
    Link::TUploadProtocol protocol(view, timer, [&](unsigned bytes, const void* data) {
        std::uint32_t written = 0;
        ++result.Frames;
        return port.Write(data, bytes, written) == XVclCtrl::TPortResult::Done
                   ? static_cast<int>(written)
                   : -1;
    });
    protocol.OnTransferEnded = [&](Link::TTransferOutcome outcome) {
        result.Outcome = outcome;
        result.Ended = true;
    };
    std::copy(image.begin(), image.end(), protocol.ImageBuffer());
    protocol.State.RomBlockCount = static_cast<unsigned>(image.size() / Link::FrameDataSize);
    protocol.State.RomBlockCounter = 0;
    protocol.State.Mode = Link::TTransferMode::RomImage;
    timer.Start();

    // Overlapped reads that complete with the first bytes to arrive; Wine's comm-event wait
    // cannot run on a pseudo-terminal (it reads the modem lines), so reads carry the loop.
    XVclCtrl::TManualResetEvent never;
    std::uint8_t buffer[4096];
    bool reading = false;
    const auto start = Clock::now();
    while (!result.Ended && Clock::now() - start < deadline && !port.DeviceLost()) {
        std::uint32_t got = 0;
        auto state = reading ? port.ReadResult(got) : port.Read(buffer, sizeof buffer, got);
        if (state == XVclCtrl::TPortResult::Failed) break;
        reading = state == XVclCtrl::TPortResult::Pending;
        if (reading) port.WaitForAny(never, false, true, &timer.Timer);
        if (timer.Timer.IsSignalled()) {
            ++result.Timeouts;
            timer.Timer.Reset();
            if (timer.Enabled()) timer.Timer.SetOnce(responseMs);
            protocol.Timer1Timer(nullptr);
        }
        if (!reading && got == 0) std::this_thread::sleep_for(std::chrono::microseconds(200));
        if (reading || got == 0) continue;
        for (std::uint32_t i = 0; i < got; ++i) result.Naks += buffer[i] == Link::ReplyNak;
        protocol.PcUart1RxdDatas(nullptr, static_cast<int>(got), buffer);
    }
    if (reading) port.CancelIo();
    result.Elapsed = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start);
    return result;
}

} // namespace PortUpload
