// zkf780a simulate-controller: a VRC-780A on the other end of a serial line, for demos, tests
// and trying the upload verbs without the device.

#include "Verb.h"

#include "tools/controllersim/SessionReportText.h"
#include "tools/controllersim/TSimLine.h"
#include "tools/controllersim/TSimRunner.h"

#include "XVclCtrl/TComPortTable.h"
#include "XVclUtil/AtomicFile.h"
#include "XVclUtil/EXGeneral.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

const char* const Usage =
    "usage: zkf780a simulate-controller (--port PORT | --pty [LINK]) [-o FILE] [--baud N]\n"
    "         [--nak-rate P] [--drop-rate P] [--noise P] [--double-rate P] [--silent-after N]\n"
    "         [--reply-noise P] [--late-rate P] [--late-ms MS] [--close-after N]\n"
    "         [--seed N] [--sessions N] [--ready-interval MS] [--resend-after MS]\n"
    "A VRC-780A controller on a serial line: sends 'C' while no transfer runs, checks every\n"
    "frame's command, index and CRC-8, answers ACK or NAK, and prints one line per transfer.\n"
    "  --port PORT         serial device path or COMn\n"
    "  --pty [LINK]        create a pseudo-terminal pair; print the PC's end, and make LINK a\n"
    "                      symbolic link to it\n"
    "  -o FILE             write each received ROM image or application region to FILE\n"
    "  --nak-rate P        answer a good frame NAK with probability P (0..1)\n"
    "  --drop-rate P       lose a reply with probability P\n"
    "  --noise P           send 1-4 noise bytes before a reply with probability P\n"
    "  --double-rate P     send a reply twice with probability P\n"
    "  --reply-noise P     send one stray byte equal to 'C', ACK or NAK before a reply with\n"
    "                      probability P (noise the PC cannot tell from a reply)\n"
    "  --late-rate P       send a reply --late-ms later than due with probability P\n"
    "  --late-ms MS        the delay of a late reply (default 300)\n"
    "  --close-after N     hang up the line after N frames (a line lost mid-transfer)\n"
    "  --silent-after N    fall silent for good after N frames\n"
    "  --seed N            seed of the fault injection (default 1)\n"
    "  --sessions N        exit after N transfers (default: run until interrupted)\n"
    "  --ready-interval MS 'C' repeat interval while waiting (default 500)\n"
    "  --resend-after MS   silence in a transfer before the controller asks again with NAK\n"
    "                      (default 1000)\n";

volatile std::sig_atomic_t Interrupted = 0;
void OnSignal(int) {
    Interrupted = 1;
}

bool ParseNumber(const char* text, double lo, double hi, double& out) {
    char* end = nullptr;
    out = std::strtod(text, &end);
    return end != text && *end == '\0' && out >= lo && out <= hi;
}

int SimulateMain(int argc, char** argv) {
    if (Cli::WantsHelp(argc, argv)) {
        std::fputs(Usage, stdout);
        return 0;
    }
    ControllerSim::TSimOptions options;
    std::string port, output, ptyLink;
    bool pty = false;
    unsigned long baud = 115200;
    long sessions = -1;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        const char* v = hasValue ? argv[i + 1] : nullptr;
        double n = 0;
        auto bad = [&] {
            std::fprintf(stderr, "zkf780a simulate-controller: bad or missing value for %s\n%s",
                         arg.c_str(), Usage);
            return 2;
        };
        if (arg == "--pty") {
            pty = true;
            if (v && v[0] != '-') ptyLink = argv[++i];
            continue;
        }
        if (arg != "--port" && arg != "-o" && arg != "--baud" && arg != "--nak-rate" &&
            arg != "--drop-rate" && arg != "--noise" && arg != "--double-rate" &&
            arg != "--reply-noise" && arg != "--late-rate" && arg != "--late-ms" &&
            arg != "--close-after" && arg != "--silent-after" && arg != "--seed" &&
            arg != "--sessions" && arg != "--ready-interval" && arg != "--resend-after") {
            std::fprintf(stderr, "zkf780a simulate-controller: unknown argument %s\n%s",
                         arg.c_str(), Usage);
            return 2;
        }
        if (!v) return bad();
        ++i;
        if (arg == "--port")
            port = v;
        else if (arg == "-o")
            output = v;
        else if (arg == "--baud") {
            if (!ParseNumber(v, 50, 4'000'000, n)) return bad();
            baud = static_cast<unsigned long>(n);
        } else if (arg == "--nak-rate" || arg == "--drop-rate" || arg == "--noise" ||
                   arg == "--double-rate" || arg == "--reply-noise" || arg == "--late-rate") {
            if (!ParseNumber(v, 0, 1, n)) return bad();
            (arg == "--nak-rate"      ? options.NakRate
             : arg == "--drop-rate"   ? options.DropRate
             : arg == "--noise"       ? options.NoiseRate
             : arg == "--reply-noise" ? options.ReplyNoiseRate
             : arg == "--late-rate"   ? options.LateRate
                                      : options.DoubleRate) = n;
        } else {
            if (!ParseNumber(v, 0, 2e9, n) || n != static_cast<long>(n)) return bad();
            if (arg == "--silent-after")
                options.SilentAfterFrames = static_cast<long>(n);
            else if (arg == "--close-after")
                options.CloseAfterFrames = static_cast<long>(n);
            else if (arg == "--late-ms")
                options.LateMs = static_cast<int>(n);
            else if (arg == "--seed")
                options.Seed = static_cast<std::uint32_t>(n);
            else if (arg == "--sessions")
                sessions = static_cast<long>(n);
            else if (arg == "--ready-interval")
                options.ReadyIntervalMs = static_cast<int>(n);
            else
                options.ResendAfterMs = static_cast<int>(n);
        }
    }
    if (pty == !port.empty()) {
        std::fprintf(stderr, "zkf780a simulate-controller: give --port PORT or --pty\n%s", Usage);
        return 2;
    }

    ControllerSim::TSimLine line;
    try {
        if (pty) {
            line = ControllerSim::TSimLine::CreatePty();
        } else {
            const std::string device = XVclCtrl::TComPortTable::Global().Resolve(port);
            line = ControllerSim::TSimLine::OpenDevice(device.empty() ? port : device,
                                                       static_cast<unsigned>(baud));
        }
    } catch (const XVclUtil::EXGeneral& e) {
        std::fprintf(stderr, "zkf780a simulate-controller: %s\n", e.what());
        return 1;
    }
    if (!ptyLink.empty()) {
        std::error_code ec;
        std::filesystem::remove(ptyLink, ec);
        std::filesystem::create_symlink(line.PeerPath(), ptyLink, ec);
        if (ec) {
            std::fprintf(stderr, "zkf780a simulate-controller: can not link %s: %s\n",
                         ptyLink.c_str(), ec.message().c_str());
            return 1;
        }
    }
    std::printf("VRC-780A simulator on %s\n", line.PeerPath().c_str());
    std::fflush(stdout);

    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    ControllerSim::TSimRunner runner(line.Fd(), options);
    runner.Start();
    int exitCode = 0;
    long done = 0;
    while (!Interrupted && (sessions < 0 || done < sessions)) {
        if (runner.HangUpWanted()) break;
        const auto report = runner.WaitForSession(std::chrono::milliseconds(50));
        if (!report) continue;
        ++done;
        std::printf("%s\n", ControllerSim::DescribeSession(*report).c_str());
        if (!output.empty() && report->Command != 1) {
            // Written beside FILE first and renamed over it, so FILE is never half written.
            if (XVclUtil::WriteFileAtomically(output, report->Data)) {
                std::printf("written to %s\n", output.c_str());
            } else {
                std::fprintf(stderr, "zkf780a simulate-controller: can not write %s\n",
                             output.c_str());
                exitCode = 1;
            }
        }
        std::fflush(stdout);
    }
    if (runner.HangUpWanted()) {
        runner.Stop();
        line.Close();
        std::printf("line closed after %u frames\n", runner.FramesSeen());
    }
    // Stay on the line a moment, so the PC reads the last ACK before the line goes away.
    if (!Interrupted && !runner.HangUpWanted()) ::usleep(500'000);
    runner.Stop();
    if (!ptyLink.empty()) {
        std::error_code ec;
        std::filesystem::remove(ptyLink, ec);
    }
    return exitCode;
}

Cli::TVerbRegistrar reg("simulate-controller",
                        "a simulated VRC-780A on a serial line or pseudo-terminal", SimulateMain);

} // namespace
