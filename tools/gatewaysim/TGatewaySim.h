#pragma once
// A VRC232 gateway with its modules on the other end of a serial line, served by a thread of its
// own: it answers register queries and writes, hosts simulated 4-in/4-out modules and reports
// their input changes as packet lines, and injects faults on request. Every public operation is
// safe from any thread.

#include "tools/gatewaysim/TGatewayModel.h"
#include "tools/simline/TSimLine.h"

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace GatewaySim {

class TGatewaySim {
public:
    explicit TGatewaySim(TGatewaySimOptions options = {});
    ~TGatewaySim();
    TGatewaySim(const TGatewaySim&) = delete;
    TGatewaySim& operator=(const TGatewaySim&) = delete;

    // Serves a fresh pseudo-terminal pair (not on Windows; the host opens HostPath()) or an
    // existing device (on Windows "COMn" or a device name), raw at 38400 baud. False with the
    // reason in Error() when the line cannot be set up.
    bool StartOnPty();
    bool StartOnDevice(const std::string& path);
    void Stop();
    // The path the host opens (the pseudo-terminal's other end, or the device itself).
    const std::string& HostPath() const { return Line.PeerPath(); }
    const std::string& Error() const { return LastError; }

    // Scenario steps.
    void SetModuleInputs(std::uint8_t segment, std::uint8_t node, std::uint8_t inputs);
    void SetGatewayInputs(std::uint8_t inputs);
    void WatchdogReset();
    // Faults: missing replies, silent modules, any bytes at all (malformed lines).
    void DropReplies(char reg, int count);
    void SetModuleSilent(std::uint8_t segment, std::uint8_t node, bool silent);
    void SendRaw(const std::string& bytes);
    // Sends every line in small pieces with short pauses, so the host receives it split
    // across several reads.
    void SetSplitWrites(bool split) { SplitWrites = split; }

    // What the host sent, one entry per line without its line end.
    std::vector<std::string> HostLines() const;
    void ClearHostLines();
    std::uint8_t Register(char reg) const;
    std::uint8_t ModuleOutputs(std::uint8_t segment, std::uint8_t node) const;
    std::vector<TSimModule> Modules() const;
    int MalformedLines() const;
    int ResetCount() const;

    // Traffic log: direction ('<' from host, '>' to host) and the line. Set before starting.
    std::function<void(char direction, const std::string& line)> OnTraffic;

private:
    // Opens the line with open and starts serving it.
    bool Start(const std::function<SimLine::TSimLine()>& open);
    void Serve();
    void TakeBytes(const char* data, std::size_t n);
    void Send(const std::vector<std::string>& lines);
    void WriteAll(const std::string& bytes);

    SimLine::TSimLine Line;
    std::string LastError;
    TGatewayModel Model;
    mutable std::mutex ModelMutex;
    std::mutex WriteMutex;
    std::thread Worker;
    std::atomic<bool> Stopping{false};
    std::atomic<bool> SplitWrites{false};
    std::string Pending; // bytes of a host line not yet ended
    std::vector<std::string> Lines;
};

} // namespace GatewaySim
