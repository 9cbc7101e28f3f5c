#include "TUploadSession.h"

#include "Console.h"
#include "TStopSignals.h"
#include "TTerminalView.h"

#include "XVclCtrl/TComPortTable.h"
#include "XVclCtrl/TCustomUart.h"
#include "XVclUtil/TEventLoop.h"
#include "link/TLocalTime.h"
#include "link/TLoopResponseTimer.h"
#include "link/TUploadLink.h"

#include <csignal>
#include <cstdio>

namespace Cli {

namespace {

// One trace line: local time with milliseconds, direction, the bytes in hexadecimal.
void Trace(char direction, const void* data, int n) {
    const Link::TLocalTime t = Link::TLocalTime::Now();
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

} // namespace

TUploadSession::TUploadSession(TUploadSessionOptions options) : Options(std::move(options)) {}

// COM n goes through the COMPORT table of the settings file and keeps the window's 1..16 rule;
// any other name is a device path and needs no settings file at all. False when refused.
bool TUploadSession::NamePort(XVclCtrl::TCustomUart& port) const {
    const int com = XVclCtrl::TComPortTable::ParseComName(Options.Port);
    if (com == 0) {
        port.UartDevicePath = Options.Port;
        return true;
    }
    if (!Options.ComTableFile.empty())
        XVclCtrl::TComPortTable::Global().LoadFromIniFile(Options.ComTableFile);
    port.pw_UartPortNumber(static_cast<std::uint32_t>(com)); // says "Invalid value !!!"
    return port.UartPortNumber() == static_cast<std::uint32_t>(com);
}

int TUploadSession::Run(Link::TTransferMode mode, const std::string& romFile) {
    const TProgressStyle progress = Options.Quiet        ? TProgressStyle::Off
                                    : StdoutIsTerminal() ? TProgressStyle::Bar
                                                         : TProgressStyle::Lines;
    TTerminalView view(stdout, Options.MsgOn, progress);
    XVclCtrl::TCustomUart port;
    port.SetName("PcUart1");
    if (!NamePort(port)) return 1;
    port.pw_UartBaud(Options.Baud);
    if (port.UartBaud() != Options.Baud) return 1; // the writer has said why

    XVclUtil::TEventLoop& loop = XVclUtil::TEventLoop::Main();
    Link::TLoopResponseTimer timer(Options.TimeoutMs);
    Link::TUploadLink link(port, view, timer);
    if (Options.Trace) link.OnTrace = Trace;
    const auto stop = [&] {
        link.Protocol.Cancel(
            "===> Transfer interrupted: the controller may hold a partial image <===");
    };
    // The signal wakes the loop, which stops the transfer at once. A reply that was already on
    // its way to the loop stops it too instead of sending the next frame.
    TStopSignals stopSignals(loop, stop);
    link.OnIntercept = [&] {
        if (!TStopSignals::Caught()) return false;
        stop();
        return true;
    };
    link.Commands.NameDeviceInOpenLine = true;
    link.Commands.OnCheckImage = Options.CheckImage;
    timer.OnTimer = [&] { link.Timer1Timer(&timer); };
    int exitCode = 1;
    link.Protocol.OnTransferEnded = [&](Link::TTransferOutcome outcome) {
        exitCode = outcome == Link::TTransferOutcome::Finished    ? 0
                   : outcome != Link::TTransferOutcome::Cancelled ? 1
                   : TStopSignals::Caught() == SIGTERM            ? ExitTerminated
                                                                  : ExitInterrupted;
        loop.Exit(0); // the loop is left once the reply handler has returned
    };

    link.Commands.ConnectDisconnect({});
    if (!port.Opened()) return 1; // the Open line and the reason are printed
    const bool started = link.StartTransfer(mode, romFile);
    if (started && mode != Link::TTransferMode::DateTimeSync) view.SetTotal(link.TotalBlocks());
    // A signal that came before the transfer started stops it on the loop's first turn.
    if (started) loop.Exec();
    view.EndBar();
    port.Close();
    return started ? exitCode : 1;
}

} // namespace Cli
