// zkf780a simulate-controller: a VRC-780A on the other end of a serial line, for demos, tests
// and trying the upload verbs without the device.

#include "TStopSignals.h"
#include "Verb.h"
#include "VerbParser.h"

#include "tools/controllersim/SessionReportText.h"
#include "tools/controllersim/TSimLine.h"
#include "tools/controllersim/TSimRunner.h"

#include "XVclCtrl/SerialDevices.h"
#include "XVclCtrl/TComPortTable.h"
#include "XVclUtil/AtomicFile.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>

namespace {

struct TSimArgs {
    ControllerSim::TSimOptions Options;
    std::string Port, Output, PtyLink;
    bool Pty = false;
    unsigned long Baud = 115200;
    long Sessions = -1;
};

// The exit status when parsing ends the run.
std::optional<int> ParseArgs(int argc, char** argv, TSimArgs& a) {
    Cli::TVerbParser parser(
        "simulate-controller",
        "A VRC-780A controller on a serial line: sends 'C' while no transfer runs, checks every "
        "frame's command, index and CRC-8, answers ACK or NAK, and prints one line per "
        "transfer.",
        "  0  interrupted, or the sessions asked for are done\n"
        "  1  the line cannot be opened or fails, or FILE cannot be written\n"
        "  2  usage error\n");
    ControllerSim::TSimOptions& o = a.Options;
    parser.add_option("--port", a.Port, "serial device path or COMn")->type_name("PORT");
    CLI::Option* pty = parser
                           .add_option("--pty", a.PtyLink,
                                       "create a pseudo-terminal pair; print the PC's end, and "
                                       "make LINK a symbolic link to it")
                           ->expected(0, 1)
                           ->type_name("[LINK]");
    parser
        .add_option("-o", a.Output, "write each received ROM image or application region to FILE")
        ->type_name("FILE");
    parser.add_option("--baud", a.Baud, "line speed (default 115200)")
        ->check(CLI::Range(50ul, 4'000'000ul))
        ->type_name("N");
    // The fault rates are probabilities, the counts and times whole numbers up to 2e9.
    const CLI::Range probability(0.0, 1.0), count(0l, 2'000'000'000l);
    auto rate = [&](const char* name, double& value, const char* help) {
        parser.add_option(name, value, help)->check(probability)->type_name("P");
    };
    auto counted = [&](const char* name, auto& value, const char* help, const char* unit) {
        parser.add_option(name, value, help)->check(count)->type_name(unit);
    };
    rate("--nak-rate", o.NakRate, "answer a good frame NAK with probability P");
    rate("--drop-rate", o.DropRate, "lose a reply with probability P");
    rate("--noise", o.NoiseRate, "send 1-4 noise bytes before a reply with probability P");
    rate("--double-rate", o.DoubleRate, "send a reply twice with probability P");
    rate("--reply-noise", o.ReplyNoiseRate,
         "send one stray byte equal to 'C', ACK or NAK before a reply with probability P (noise "
         "the PC cannot tell from a reply)");
    rate("--late-rate", o.LateRate, "send a reply --late-ms later than due with probability P");
    counted("--late-ms", o.LateMs, "the delay of a late reply (default 300)", "MS");
    counted("--close-after", o.CloseAfterFrames,
            "hang up the line after N frames (a line lost mid-transfer)", "N");
    counted("--silent-after", o.SilentAfterFrames, "fall silent for good after N frames", "N");
    parser.add_option("--seed", o.Seed, "seed of the fault injection (default 1)")->type_name("N");
    counted("--sessions", a.Sessions, "exit after N transfers (default: run until interrupted)",
            "N");
    counted("--ready-interval", o.ReadyIntervalMs,
            "'C' repeat interval while waiting (default 500)", "MS");
    counted("--resend-after", o.ResendAfterMs,
            "silence in a transfer before the controller asks again with NAK (default 1000)", "MS");
    if (auto status = parser.Parse(argc, argv)) return status;
    a.Pty = pty->count() > 0;
    if (a.Pty == !a.Port.empty()) return parser.UsageError("give --port PORT or --pty");
    return std::nullopt;
}

// Opens the line; false after saying why.
bool OpenLine(const TSimArgs& a, ControllerSim::TSimLine& line) {
    std::string device = a.Port;
    try {
        if (a.Pty) {
            line = ControllerSim::TSimLine::CreatePty();
        } else {
            const std::string resolved = XVclCtrl::TComPortTable::Global().Resolve(a.Port);
            if (!resolved.empty()) device = resolved;
            line = ControllerSim::TSimLine::OpenDevice(device, static_cast<unsigned>(a.Baud));
        }
    } catch (const SimLine::ESimLine& e) {
        const bool refused = !a.Pty && e.SystemError() != 0;
        const std::string why =
            refused ? XVclCtrl::ExplainOpenFailure(device, e.SystemError()) : e.what();
        std::fprintf(stderr, "zkf780a simulate-controller: %s\n", why.c_str());
        return false;
    }
    return true;
}

// Makes LINK a symbolic link to the pseudo-terminal. An old link is replaced; anything else at
// that path is the user's and stays, and the run ends with the reason.
bool LinkPeer(const std::string& link, const std::string& peer) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::file_status old = fs::symlink_status(link, ec);
    if (fs::exists(old) && !fs::is_symlink(old)) {
        std::fprintf(stderr,
                     "zkf780a simulate-controller: %s exists and is not a symbolic link; give "
                     "another LINK\n",
                     link.c_str());
        return false;
    }
    ec.clear();
    if (fs::is_symlink(old)) fs::remove(link, ec);
    if (!ec) fs::create_symlink(peer, link, ec);
    if (ec) {
        std::fprintf(stderr, "zkf780a simulate-controller: can not link %s: %s\n", link.c_str(),
                     ec.message().c_str());
        return false;
    }
    return true;
}

// Removes LINK if it still points to this run's pseudo-terminal; a path reused since is left.
void UnlinkPeer(const std::string& link, const std::string& peer) {
    std::error_code ec;
    if (std::filesystem::read_symlink(link, ec) == peer && !ec) std::filesystem::remove(link, ec);
}

int SimulateMain(int argc, char** argv) {
    TSimArgs a;
    if (auto status = ParseArgs(argc, argv, a)) return *status;
    const ControllerSim::TSimOptions& options = a.Options;
    const std::string& output = a.Output;
    const std::string& ptyLink = a.PtyLink;
    const long sessions = a.Sessions;

    ControllerSim::TSimLine line;
    if (!OpenLine(a, line)) return 1;
    ControllerSim::TSimRunner runner(line, options);
    // Ctrl-C or SIGTERM ends the wait for the next session; nothing wakes meanwhile. The handlers
    // are in place before the link appears, since a script may signal as soon as it sees it.
    Cli::TStopSignals stopSignals([&runner] { runner.Interrupt(); });
    if (!ptyLink.empty() && !LinkPeer(ptyLink, line.PeerPath())) return 1;
    std::printf("VRC-780A simulator on %s\n", line.PeerPath().c_str());
    std::fflush(stdout);

    runner.Start();
    int exitCode = 0;
    long done = 0;
    while (sessions < 0 || done < sessions) {
        const auto report = runner.NextSession();
        if (!report) break;
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
    if (runner.LineEnded()) {
        std::fprintf(stderr, "zkf780a simulate-controller: the line failed after %ld transfers\n",
                     done);
        exitCode = 1;
    }
    if (runner.HangUpWanted()) {
        runner.Stop();
        line.Close();
        std::printf("line closed after %u frames\n", runner.FramesSeen());
    }
    // Stay on the line a moment, so the PC reads the last ACK before the line goes away.
    if (!runner.WasInterrupted() && !runner.HangUpWanted())
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
    runner.Stop();
    if (!ptyLink.empty()) UnlinkPeer(ptyLink, line.PeerPath());
    return exitCode;
}

Cli::TVerbRegistrar reg("simulate-controller",
                        "a simulated VRC-780A on a serial line or pseudo-terminal", SimulateMain);

} // namespace
