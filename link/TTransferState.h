#pragma once
// The one set of transfer state the window keeps for the upload protocol.

#include "link/TLocalTime.h"

namespace Link {

enum class TTransferMode : int {
    Idle = 0,
    DateTimeSync = 1,
    RomImage = 3,
    AppUpgrade = 4,
};

struct TTransferState {
    TTransferMode Mode = TTransferMode::Idle;
    unsigned RomBlockCounter = 0; // 1-based block of the ROM image upload
    unsigned AppBlockCounter = 0; // 1-based block of the application upgrade
    unsigned RomBlockCount = 0;   // file size / 64, plus one for a remainder
    unsigned NakCounter = 0;      // consecutive NAKs for the current frame
    unsigned TimeoutCounter = 0;  // Timer1 expiries since the last received chunk
    unsigned RestartCounter = 0;  // 'C's that restarted this transfer after its first frame
    bool FrameSent = false;       // a frame of this transfer has gone out
    unsigned ShownBlock = 0;      // block number of the send and resend lines
    TLocalTime StartTime;         // when the 'C' that started a ROM/application transfer came
    TLocalTime EndTime;           // when its final ACK came
};

} // namespace Link
