#include "tools/gatewaysim/TGatewaySim.h"

#include <chrono>

namespace GatewaySim {

namespace {

// A host line longer than this is noise: it is dropped rather than collected without end.
constexpr std::size_t MaxHostLine = 4096;
// The gateway's line speed.
constexpr unsigned LineBaud = 38400;

} // namespace

TGatewaySim::TGatewaySim(TGatewaySimOptions options) : Model(std::move(options)) {}

TGatewaySim::~TGatewaySim() {
    Stop();
}

bool TGatewaySim::StartOnPty() {
    return Start([] { return SimLine::TSimLine::CreatePty(LineBaud); });
}

bool TGatewaySim::StartOnDevice(const std::string& path) {
    return Start([&] { return SimLine::TSimLine::OpenDevice(path, LineBaud); });
}

bool TGatewaySim::Start(const std::function<SimLine::TSimLine()>& open) {
    Stop();
    try {
        Line = open();
    } catch (const SimLine::ESimLine& e) {
        LastError = e.what();
        return false;
    }
    Stopping = false;
    Worker = std::thread([this] { Serve(); });
    return true;
}

void TGatewaySim::Stop() {
    if (Worker.joinable()) {
        Stopping = true;
        Line.Wake();
        Worker.join();
    }
    Line.Close();
}

void TGatewaySim::Serve() {
    char buf[512];
    while (!Stopping) {
        switch (Line.WaitReadable(-1)) {
        case SimLine::TLineWait::Readable:
            if (const std::size_t n = Line.Read(buf, sizeof buf); n > 0) TakeBytes(buf, n);
            break;
        case SimLine::TLineWait::HungUp:
            // The host end is gone (a device unplugged): wait quietly for it or the stop.
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            break;
        case SimLine::TLineWait::TimedOut:
            break;
        case SimLine::TLineWait::Woken:
        case SimLine::TLineWait::Failed:
            return;
        }
    }
}

void TGatewaySim::TakeBytes(const char* data, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        if (data[i] != '\n') {
            if (Pending.size() < MaxHostLine) Pending += data[i];
            continue;
        }
        std::string line;
        line.swap(Pending);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::vector<std::string> replies;
        {
            std::lock_guard<std::mutex> lock(ModelMutex);
            Lines.push_back(line);
            replies = Model.HandleHostLine(line);
        }
        if (OnTraffic) OnTraffic('<', line);
        Send(replies);
    }
}

void TGatewaySim::Send(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        if (OnTraffic) OnTraffic('>', line.substr(0, line.find('\r')));
        if (!SplitWrites) {
            WriteAll(line);
            continue;
        }
        for (std::size_t pos = 0; pos < line.size(); pos += 3) {
            WriteAll(line.substr(pos, 3));
            std::this_thread::sleep_for(std::chrono::milliseconds(4));
        }
    }
}

void TGatewaySim::WriteAll(const std::string& bytes) {
    std::lock_guard<std::mutex> lock(WriteMutex);
    std::size_t done = 0;
    while (done < bytes.size() && Line.IsOpen()) {
        // While the host does not read, wait a little for room; give up when stopping.
        const long n = Line.Write(bytes.data() + done, bytes.size() - done, 100);
        if (n < 0) return;
        done += static_cast<std::size_t>(n);
        if (done < bytes.size() && Stopping) return;
    }
}

void TGatewaySim::SetModuleInputs(std::uint8_t segment, std::uint8_t node, std::uint8_t inputs) {
    std::vector<std::string> lines;
    {
        std::lock_guard<std::mutex> lock(ModelMutex);
        lines = Model.SetModuleInputs(segment, node, inputs);
    }
    Send(lines);
}

void TGatewaySim::SetGatewayInputs(std::uint8_t inputs) {
    std::vector<std::string> lines;
    {
        std::lock_guard<std::mutex> lock(ModelMutex);
        lines = Model.SetGatewayInputs(inputs);
    }
    Send(lines);
}

void TGatewaySim::WatchdogReset() {
    std::vector<std::string> lines;
    {
        std::lock_guard<std::mutex> lock(ModelMutex);
        lines = Model.WatchdogReset();
    }
    Send(lines);
}

void TGatewaySim::DropReplies(char reg, int count) {
    std::lock_guard<std::mutex> lock(ModelMutex);
    Model.DropReplies(reg, count);
}

void TGatewaySim::SetModuleSilent(std::uint8_t segment, std::uint8_t node, bool silent) {
    std::lock_guard<std::mutex> lock(ModelMutex);
    Model.SetModuleSilent(segment, node, silent);
}

void TGatewaySim::SendRaw(const std::string& bytes) {
    if (OnTraffic) OnTraffic('>', bytes);
    WriteAll(bytes);
}

std::vector<std::string> TGatewaySim::HostLines() const {
    std::lock_guard<std::mutex> lock(ModelMutex);
    return Lines;
}

void TGatewaySim::ClearHostLines() {
    std::lock_guard<std::mutex> lock(ModelMutex);
    Lines.clear();
}

std::uint8_t TGatewaySim::Register(char reg) const {
    std::lock_guard<std::mutex> lock(ModelMutex);
    return Model.Register(reg);
}

std::uint8_t TGatewaySim::ModuleOutputs(std::uint8_t segment, std::uint8_t node) const {
    std::lock_guard<std::mutex> lock(ModelMutex);
    const TSimModule* m = Model.Module(segment, node);
    return m ? m->Outputs : 0;
}

std::vector<TSimModule> TGatewaySim::Modules() const {
    std::lock_guard<std::mutex> lock(ModelMutex);
    return Model.Modules();
}

int TGatewaySim::MalformedLines() const {
    std::lock_guard<std::mutex> lock(ModelMutex);
    return Model.MalformedLines();
}

int TGatewaySim::ResetCount() const {
    std::lock_guard<std::mutex> lock(ModelMutex);
    return Model.ResetCount();
}

} // namespace GatewaySim
