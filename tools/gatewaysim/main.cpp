// zkf780a-gatewaysim: a VRC232 gateway with JKNet modules on the other end of a serial line, to
// try the gateway component and the example program by hand.

#include "TGatewaySim.h"
#include "TStdinLines.h"
#include "TStopSignal.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

using namespace GatewaySim;

namespace {

const char* const Usage =
    "usage: zkf780a-gatewaysim [--port DEVICE] [--module SS:NN]... [--r7 N]\n"
    "                          [--cycle-inputs MS] [--seconds N] [--quiet]\n"
    "Serves a VRC232 gateway on a new pseudo-terminal (its path is printed) or on DEVICE\n"
    "(on Windows a COM port, COMn, which must be given).\n"
    "Modules are given as hexadecimal segment:node (default 80:01 and 02:10).\n"
    "Commands on standard input:\n"
    "  in SS:NN BITS     set a module's inputs (hex 0..F); reported as a packet line\n"
    "  xin BITS          set the gateway's own inputs; reported as *R1\n"
    "  wdt               the gateway resets by itself (*RF=00)\n"
    "  drop R COUNT      leave the next COUNT queries of register R unanswered (-1: all)\n"
    "  silent SS:NN on|off   a module that takes packets but never answers\n"
    "  raw TEXT          send TEXT and a line end as it stands (for malformed lines)\n"
    "  status            show registers and modules\n"
    "  quit\n";

bool ParseAddress(const std::string& text, std::uint8_t& seg, std::uint8_t& node) {
    unsigned s = 0, n = 0;
    char tail = 0;
    if (std::sscanf(text.c_str(), "%x:%x%c", &s, &n, &tail) != 2 || s > 0x80 || n > 0x7F)
        return false;
    seg = static_cast<std::uint8_t>(s);
    node = static_cast<std::uint8_t>(n);
    return true;
}

void PrintStatus(const TGatewaySim& sim) {
    std::printf("R0=%02X R1=%02X R7=%02X R8=%02X R9=%02X RE=%02X resets=%d malformed=%d\n",
                sim.Register('0'), sim.Register('1'), sim.Register('7'), sim.Register('8'),
                sim.Register('9'), sim.Register('E'), sim.ResetCount(), sim.MalformedLines());
    for (const TSimModule& m : sim.Modules())
        std::printf("module %02X:%02X outputs=%X inputs=%X%s\n", m.Segment, m.Node, m.Outputs,
                    m.Inputs, m.Silent ? " silent" : "");
    std::fflush(stdout);
}

// Runs one command line; returns false on quit.
bool RunCommand(TGatewaySim& sim, const std::string& line) {
    std::istringstream in(line);
    std::string verb, arg1, arg2;
    in >> verb >> arg1;
    std::getline(in >> std::ws, arg2);
    std::uint8_t seg = 0, node = 0;
    if (verb.empty()) return true;
    if (verb == "quit" || verb == "exit") return false;
    if (verb == "in" && ParseAddress(arg1, seg, node)) {
        sim.SetModuleInputs(seg, node,
                            static_cast<std::uint8_t>(std::strtoul(arg2.c_str(), nullptr, 16)));
    } else if (verb == "xin") {
        sim.SetGatewayInputs(static_cast<std::uint8_t>(std::strtoul(arg1.c_str(), nullptr, 16)));
    } else if (verb == "wdt") {
        sim.WatchdogReset();
    } else if (verb == "drop" && arg1.size() == 1) {
        sim.DropReplies(arg1[0], arg2.empty() ? 1 : std::atoi(arg2.c_str()));
    } else if (verb == "silent" && ParseAddress(arg1, seg, node)) {
        sim.SetModuleSilent(seg, node, arg2 != "off");
    } else if (verb == "raw") {
        sim.SendRaw(line.substr(line.find("raw") + 4) + "\r\n");
    } else if (verb == "status") {
        PrintStatus(sim);
    } else {
        std::printf("? %s", Usage);
    }
    std::fflush(stdout);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    TGatewaySimOptions options;
    std::string device;
    long cycleMs = 0, seconds = 0;
    bool quiet = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        std::uint8_t seg = 0, node = 0;
        if (arg == "--help" || arg == "-h") {
            std::fputs(Usage, stdout);
            return 0;
        } else if (arg == "--port" && hasValue) {
            device = argv[++i];
        } else if (arg == "--module" && hasValue && ParseAddress(argv[i + 1], seg, node)) {
            ++i;
            TSimModule m;
            m.Segment = seg;
            m.Node = node;
            options.Modules.push_back(m);
        } else if (arg == "--r7" && hasValue) {
            options.Registers[7] = static_cast<std::uint8_t>(std::atoi(argv[++i]));
        } else if (arg == "--cycle-inputs" && hasValue) {
            cycleMs = std::atol(argv[++i]);
        } else if (arg == "--seconds" && hasValue) {
            seconds = std::atol(argv[++i]);
        } else if (arg == "--quiet") {
            quiet = true;
        } else {
            std::fprintf(stderr, "zkf780a-gatewaysim: bad argument %s\n%s", arg.c_str(), Usage);
            return 2;
        }
    }
    if (options.Modules.empty()) {
        options.Modules.push_back(TSimModule{0x80, 0x01});
        options.Modules.push_back(TSimModule{0x02, 0x10});
    }

    // The loop sleeps until a command line, the next input cycle, the end of --seconds or a
    // stop signal. The signals are taken before any thread starts.
    TStdinLines commands;
    std::atomic<bool> stop{false};
    TStopSignal signals([&] {
        stop = true;
        commands.Interrupt();
    });
    commands.Start();

    TGatewaySim sim(options);
    if (!quiet)
        sim.OnTraffic = [](char dir, const std::string& line) {
            std::printf("%c %s\n", dir, line.c_str());
            std::fflush(stdout);
        };
    if (!(device.empty() ? sim.StartOnPty() : sim.StartOnDevice(device))) {
        std::fprintf(stderr, "zkf780a-gatewaysim: %s\n", sim.Error().c_str());
        return 1;
    }
    std::printf("Gateway simulator on %s\n", sim.HostPath().c_str());
    std::fflush(stdout);

    // Longer than any run, short enough for the clock's arithmetic.
    const long longest = 1'000'000'000;
    seconds = std::min(seconds, longest);
    cycleMs = std::min(cycleMs, longest);
    using Clock = TStdinLines::TClock;
    const auto start = Clock::now();
    const auto end = seconds > 0 ? start + std::chrono::seconds(seconds) : Clock::time_point::max();
    auto nextCycle =
        cycleMs > 0 ? start + std::chrono::milliseconds(cycleMs) : Clock::time_point::max();
    while (!stop) {
        const auto now = Clock::now();
        if (now >= end) break;
        if (now >= nextCycle) {
            for (const TSimModule& m : sim.Modules())
                sim.SetModuleInputs(m.Segment, m.Node, static_cast<std::uint8_t>(m.Inputs + 1));
            nextCycle = now + std::chrono::milliseconds(cycleMs);
        }
        // Without standard input the run goes on until a signal or --seconds ends it.
        for (const std::string& line : commands.Wait(std::min(end, nextCycle)))
            if (!RunCommand(sim, line)) stop = true;
    }
    sim.Stop();
    return 0;
}
