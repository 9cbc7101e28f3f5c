#pragma once
// One transfer from the command line, the terminal's presentation of the upload link
// (Link::TUploadLink, which the window presents too): opens the port as Connect does, runs the
// chosen command
// (date/time sync, ROM image upload or application upgrade) on the libraries' own event loop
// (XVclUtil::TEventLoop::Main(), the default main loop) until the protocol's finish, failure or
// abort line, and prints the message-box lines on the way.
// With Trace every byte sent and received goes to stderr in hexadecimal with a time stamp.

#include "link/TTransferState.h"

#include <cstdint>
#include <cstdio>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace XVclCtrl {
class TCustomUart;
}

namespace Cli {

struct TUploadSessionOptions {
    std::string Port; // device path, "COMn" or "n"
    unsigned Baud = 115200;
    bool MsgOn = false; // the "Msg. on" lines
    bool Trace = false;
    int TimeoutMs = 10'000;                        // Timer1's interval
    std::string ComTableFile = "KRVZKF780AS1.INI"; // COMPORT section, read only for a COMn port
    bool Force = false;                            // send a file that CheckImage finds fault with
    bool Quiet = false; // no progress: neither the bar nor the progress lines
    // Checks the chosen file before an upload or upgrade begins; false refuses it.
    std::function<bool(std::span<const std::uint8_t> file)> CheckImage;
};

// The exit codes of an interrupted run: 128 + the signal number.
inline constexpr int ExitInterrupted = 130; // SIGINT
inline constexpr int ExitTerminated = 143;  // SIGTERM

class TUploadSession {
public:
    explicit TUploadSession(TUploadSessionOptions options);

    // Runs on the main thread. Returns 0 on the finish line, 1 on a failure or abort line or
    // when the port or the file is refused, 130 or 143 when SIGINT or SIGTERM ended it.
    int Run(Link::TTransferMode mode, const std::string& romFile = {});

private:
    bool NamePort(XVclCtrl::TCustomUart& port) const;

    TUploadSessionOptions Options;
};

} // namespace Cli
