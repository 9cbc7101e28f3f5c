#include "link/TUploadSession.h"

#include "link/TLoopResponseTimer.h"
#include "link/TTerminalView.h"
#include "link/TUploadCommands.h"
#include "link/TUploadProtocol.h"

#include "XVclCtrl/TComPortTable.h"
#include "XVclCtrl/TCustomUart.h"
#include "XVclUtil/FileUtil.h"
#include "XVclUtil/TEventLoop.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace Link {

namespace {

// One trace line: local time with milliseconds, direction, the bytes in hexadecimal.
void Trace(char direction, const void* data, int n) {
    const TLocalTime t = TLocalTime::Now();
    std::string line;
    line.reserve(32 + static_cast<std::size_t>(n) * 3);
    char head[40];
    std::snprintf(head, sizeof head, "%02d:%02d:%02d.%03d %c", t.Hour, t.Minute, t.Second,
                  t.Millisecond, direction);
    line = head;
    const auto* p = static_cast<const std::uint8_t*>(data);
    static const char digits[] = "0123456789ABCDEF";
    for (int i = 0; i < n; ++i) {
        line += ' ';
        line += digits[p[i] >> 4];
        line += digits[p[i] & 15];
    }
    line += '\n';
    std::fputs(line.c_str(), stderr);
}

bool ParseUnsigned(const char* text, unsigned long& value) {
    char* end = nullptr;
    errno = 0;
    value = std::strtoul(text, &end, 10);
    return end != text && *end == '\0' && errno == 0 && text[0] != '-';
}

} // namespace

TUploadSession::TUploadSession(TUploadSessionOptions options) : Options(std::move(options)) {}

int TUploadSession::Run(TTransferMode mode, const std::string& romFile) {
    auto& table = XVclCtrl::TComPortTable::Global();
    if (!Options.ComTableFile.empty() && XVclUtil::PathExists(Options.ComTableFile))
        table.LoadFromIniFile(Options.ComTableFile);
    std::string device = table.Resolve(Options.Port);
    // A bare file name in the current folder (a link to a pseudo-terminal, say) is a path too.
    if (device.empty() && XVclUtil::PathExists(Options.Port)) device = Options.Port;
    if (device.empty()) {
        std::fprintf(stderr, "zkf780a: no such port: %s\n", Options.Port.c_str());
        return 1;
    }

    TTerminalView view(stdout, Options.MsgOn, ::isatty(STDOUT_FILENO) == 1);
    XVclCtrl::TCustomUart port;
    port.SetName("PcUart1");
    port.pw_UartBaud(Options.Baud);
    if (port.UartBaud() != Options.Baud) return 1; // the writer has said why
    port.UartDevicePath = device;

    XVclUtil::TEventLoop& loop = XVclUtil::TEventLoop::Main();
    TLoopResponseTimer timer(Options.TimeoutMs);
    TUploadProtocol protocol(view, timer, [&](unsigned n, const void* d) {
        if (Options.Trace) Trace('>', d, static_cast<int>(n));
        return port.SendData(n, d);
    });
    TUploadCommands commands(protocol, view, timer, port);
    timer.OnTimer = [&] { protocol.Timer1Timer(&timer); };
    port.OnRxdDatas = [&](XVclUtil::TComponent* sender, int bytes, void* datas) {
        if (Options.Trace) Trace('<', datas, bytes);
        protocol.PcUart1RxdDatas(sender, bytes, datas);
    };
    int exitCode = 1;
    protocol.OnTransferEnded = [&](TTransferOutcome outcome) {
        exitCode = outcome == TTransferOutcome::Finished ? 0 : 1;
        loop.Exit(0); // the loop is left once the reply handler has returned
    };

    commands.ConnectDisconnect({});
    if (!port.Opened()) return 1; // the Open line and the reason are printed
    bool started = true;
    switch (mode) {
    case TTransferMode::DateTimeSync:
        commands.DateTimeSync();
        break;
    case TTransferMode::RomImage:
        started = commands.UploadRomImage(romFile);
        view.SetTotal(protocol.State.RomBlockCount);
        break;
    case TTransferMode::AppUpgrade:
        started = commands.UpgradeAp(romFile);
        view.SetTotal(AppBlockCount);
        break;
    case TTransferMode::Idle:
        started = false;
        break;
    }
    if (started) loop.Exec();
    view.EndBar();
    port.Close();
    return started ? exitCode : 1;
}

bool ParseUploadArgs(int argc, char** argv, TUploadSessionOptions& options,
                     std::vector<std::string>& positional, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](const char* name) -> const char* {
            if (i + 1 >= argc) {
                error = std::string(name) + " needs a value";
                return nullptr;
            }
            return argv[++i];
        };
        unsigned long n = 0;
        if (arg == "--port") {
            const char* v = value("--port");
            if (!v) return false;
            options.Port = v;
        } else if (arg == "--baud" || arg == "--timeout-ms") {
            const char* v = value(arg.c_str());
            if (!v) return false;
            if (!ParseUnsigned(v, n) || n == 0 || n > 100'000'000) {
                error = arg + ": not a positive number: " + v;
                return false;
            }
            if (arg == "--baud")
                options.Baud = static_cast<unsigned>(n);
            else
                options.TimeoutMs = static_cast<int>(n);
        } else if (arg == "--msg") {
            options.MsgOn = true;
        } else if (arg == "--trace") {
            options.Trace = true;
        } else if (arg.size() > 1 && arg[0] == '-') {
            error = "unknown option " + arg;
            return false;
        } else {
            positional.push_back(arg);
        }
    }
    if (options.Port.empty()) {
        error = "--port PORT is required";
        return false;
    }
    return true;
}

} // namespace Link
