#pragma once
// How the simulated controller behaves on the line, faults included.

#include <cstdint>

namespace ControllerSim {

struct TSimOptions {
    double NakRate = 0;    // a good frame is answered NAK instead of ACK
    double DropRate = 0;   // a reply is lost on the line (nothing is written)
    double NoiseRate = 0;  // a few bytes other than 'C', ACK and NAK go out before a reply
    double DoubleRate = 0; // a reply is written twice
    // A reply is preceded by one stray byte equal to 'C', ACK or NAK: noise that the PC cannot
    // tell from a real reply.
    double ReplyNoiseRate = 0;
    double LateRate = 0; // a reply goes out LateMs after it was due
    int LateMs = 300;
    std::uint32_t Seed = 1;
    // After this many frames the controller falls silent for good; -1 never.
    long SilentAfterFrames = -1;
    // After this many frames the controller hangs up its end of the line; -1 never.
    long CloseAfterFrames = -1;
    // 'C' is repeated at this interval while no transfer runs.
    int ReadyIntervalMs = 500;
    // Silence this long during a transfer makes the controller ask again with NAK.
    int ResendAfterMs = 1000;
    // After this many unanswered NAKs of its own the controller closes the transfer.
    int SilentNakLimit = 3;
    // A frame whose bytes stop arriving for this long is thrown away and answered NAK.
    int FrameGapMs = 200;
};

} // namespace ControllerSim
