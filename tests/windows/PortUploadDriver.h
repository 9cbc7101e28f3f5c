#pragma once
// Runs one ROM image upload of the upload protocol straight over the serial port layer, with
// no component or monitor thread in between: overlapped reads for received bytes, a waitable
// timer as the response timer. The same code runs natively and, cross-built, under Wine, so the
// two port layers can be compared on one controller simulator.

#include "XVclCtrl/TSerialPort.h"
#include "link/TUploadProtocol.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace PortUpload {

struct TResult {
    Link::TTransferOutcome Outcome = Link::TTransferOutcome::Failed;
    bool Ended = false;    // false: the deadline passed first
    unsigned Frames = 0;   // frames written, resends included
    unsigned Naks = 0;     // NAK bytes received
    unsigned Timeouts = 0; // response timer expiries
    std::chrono::microseconds Elapsed{0};
    std::vector<std::string> Lines; // the protocol's message lines
};

// The port must be open. responseMs stands in for the 10 s response timer so that a timeout
// scenario takes seconds; deadline bounds the whole run.
TResult UploadImage(XVclCtrl::TSerialPort& port, const std::vector<std::uint8_t>& image,
                    unsigned responseMs, std::chrono::milliseconds deadline);

// 115,200 baud, 8 data bits, no parity, one stop bit, no flow control. firstByteReads: reads
// complete with the first bytes to arrive (the time-out form Windows and the POSIX layer serve);
// otherwise they return what is queued, which under Wine stays pending until a byte arrives
// (Wine ignores the first-byte form and waits for the whole buffer). False when the device
// refused a setting.
bool ConfigureLine(XVclCtrl::TSerialPort& port, bool firstByteReads);

// A ROM image of 458,752 bytes whose bytes depend on their position and the seed.
std::vector<std::uint8_t> TestImage(std::uint32_t seed);

} // namespace PortUpload
