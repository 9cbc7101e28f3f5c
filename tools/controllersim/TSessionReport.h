#pragma once
// What the simulated controller received in one transfer.

#include <array>
#include <cstdint>
#include <vector>

namespace ControllerSim {

struct TSessionReport {
    std::uint8_t Command = 0;       // 1 date/time, 3 ROM image, 4 application
    unsigned Blocks = 0;            // frames accepted in order
    bool Complete = false;          // the transfer's last possible block arrived (7168 / 512 / 1)
    std::vector<std::uint8_t> Data; // accepted data, Blocks * 64 bytes
    std::array<std::uint8_t, 7> DateTime{}; // the BCD record of a date/time frame
    unsigned Frames = 0;                    // frames received, resends and bad ones included
    unsigned CrcErrors = 0;
    unsigned IndexErrors = 0; // wrong command or out-of-order index
    unsigned Duplicates = 0;  // a resend of the block already accepted, ACKed again
    unsigned NaksSent = 0;    // NAKs written, injected ones included
};

} // namespace ControllerSim
