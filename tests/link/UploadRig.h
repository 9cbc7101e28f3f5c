#pragma once
// The window's upload parts without the window: the serial component on a pseudo-terminal,
// the protocol, the commands, a recording view and a response timer the test fires by hand
// whenever the line has been quiet for a while (standing in for 10 s of silence).

#include "LinkTestDoubles.h"

#include "link/TUploadLink.h"

#include "XVclCtrl/TCustomUart.h"

#include <optional>
#include <string>
#include <vector>

namespace LinkTest {

class TUploadRig {
public:
    explicit TUploadRig(const std::string& devicePath);

    void Connect();
    // Pumps events until the transfer mode is idle. When nothing has gone out for quietMs and
    // Timer1 is enabled, fires it. Returns the outcome, or nothing when maxMs passed.
    std::optional<Link::TTransferOutcome> RunTransfer(int maxMs = 60000, int quietMs = 150);

    XVclCtrl::TCustomUart Port;
    TRecordingView View;
    TManualTimer Timer;
    Link::TUploadLink Upload; // the wiring the window and the command line present
    Link::TUploadProtocol& Protocol = Upload.Protocol;
    Link::TUploadCommands& Commands = Upload.Commands;
    std::vector<Link::TTransferOutcome> Outcomes;
    unsigned FramesSent = 0;
    unsigned TimerFirings = 0;
};

// Writes bytes to a fresh file in a per-test temporary folder and returns its path.
std::string WriteTempFile(const std::string& name, const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> PatternBytes(std::size_t n, unsigned seed);

} // namespace LinkTest
