#include "tools/gatewaysim/TGatewaySim.h"

#include <cerrno>
#include <chrono>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace GatewaySim {

namespace {

// A host line longer than this is noise: it is dropped rather than collected without end.
constexpr std::size_t MaxHostLine = 4096;

} // namespace

TGatewaySim::TGatewaySim(TGatewaySimOptions options) : Model(std::move(options)) {}

TGatewaySim::~TGatewaySim() {
    Stop();
}

bool TGatewaySim::StartOnPty() {
    return Port.CreatePty() && StartThread();
}

bool TGatewaySim::StartOnDevice(const std::string& path) {
    return Port.OpenDevice(path) && StartThread();
}

bool TGatewaySim::StartThread() {
    WakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (WakeFd < 0) return false;
    Stopping = false;
    Worker = std::thread([this] { Serve(); });
    return true;
}

void TGatewaySim::Stop() {
    if (Worker.joinable()) {
        Stopping = true;
        const std::uint64_t one = 1;
        (void)!write(WakeFd, &one, sizeof one);
        Worker.join();
    }
    if (WakeFd >= 0) close(WakeFd);
    WakeFd = -1;
    Port.Close();
}

void TGatewaySim::Serve() {
    char buf[512];
    while (!Stopping) {
        pollfd fds[2] = {{Port.Fd(), POLLIN, 0}, {WakeFd, POLLIN, 0}};
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR) continue;
            break;
        }
        if (fds[1].revents != 0) break;
        if (fds[0].revents & POLLIN) {
            const ssize_t n = read(Port.Fd(), buf, sizeof buf);
            if (n > 0) TakeBytes(buf, static_cast<std::size_t>(n));
        } else if (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) {
            // The host end is gone (a device unplugged): wait quietly for the stop request.
            poll(&fds[1], 1, -1);
            break;
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
    while (done < bytes.size() && Port.Fd() >= 0) {
        const ssize_t n = write(Port.Fd(), bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            // The host does not read: wait a little for room, give up when stopping.
            pollfd out{Port.Fd(), POLLOUT, 0};
            if (poll(&out, 1, 100) <= 0 && Stopping) return;
        } else {
            return;
        }
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
