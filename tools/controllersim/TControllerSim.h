#pragma once
// The VRC-780A's side of the upload protocol, without any I/O: bytes from the line go in with
// Received, time goes in with Tick, replies come out through the write callback.
//
// While no transfer runs the controller repeats 'C'. It accepts a frame when its CRC is good
// and its command and index are the next ones expected, answers ACK, and otherwise NAK. A
// resend of the block it already holds (its ACK was lost) is answered ACK again. Silence in a
// transfer makes it ask again with NAK; after a few unanswered NAKs it closes the transfer.
// A new block 1 (or date/time frame) in the middle of a transfer starts a new one.

#include "tools/controllersim/TSessionReport.h"
#include "tools/controllersim/TSimOptions.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <random>
#include <vector>

namespace ControllerSim {

inline constexpr std::uint8_t Ready = 0x43; // 'C'
inline constexpr std::uint8_t Ack = 0x06;
inline constexpr std::uint8_t Nak = 0x15;
inline constexpr std::size_t SimFrameSize = 68;

class TControllerSim {
public:
    using TWrite = std::function<void(const std::uint8_t* data, std::size_t n)>;

    TControllerSim(const TSimOptions& options, TWrite write);

    // Bytes read from the line at time nowMs (any monotonic millisecond clock).
    void Received(const std::uint8_t* data, std::size_t n, std::int64_t nowMs);
    // Runs what is due at nowMs: 'C' while waiting, NAK on silence, dropping a broken frame.
    void Tick(std::int64_t nowMs);
    // The next time Tick has something to do.
    std::int64_t NextDeadline() const;

    bool InTransfer() const { return Phase == TPhase::Transfer; }
    bool Silent() const { return Mute; }
    // CloseAfterFrames was reached: whoever runs the line should hang it up now.
    bool WantsLineClosed() const { return CloseWanted; }
    unsigned FramesSeen() const { return FrameCount; }

    // Called once per transfer: when its last possible block is accepted, or when it closes.
    std::function<void(const TSessionReport&)> OnSession;

private:
    enum class TPhase { Waiting, Transfer };

    void HandleFrame(std::int64_t nowMs);
    bool IsFirstFrame(const std::uint8_t* f) const;
    bool IndexIs(const std::uint8_t* f, std::uint8_t command, unsigned block) const;
    void StartSession(std::uint8_t command);
    void Accept(const std::uint8_t* f);
    void Reply(std::uint8_t byte);
    void WriteHeldReplies(std::int64_t nowMs);
    void Report(bool complete);
    void CloseSession();
    unsigned LastBlock(std::uint8_t command) const;
    bool Chance(double p);

    TSimOptions Options;
    TWrite Write;
    std::mt19937 Rng;

    TPhase Phase = TPhase::Waiting;
    bool Mute = false;
    bool CloseWanted = false;
    std::int64_t NowMs = 0; // the time of the bytes or the tick being handled
    // Late replies: when each is due, and its bytes.
    std::deque<std::pair<std::int64_t, std::vector<std::uint8_t>>> Held;
    bool Reported = false;
    TSessionReport Session;
    std::vector<std::uint8_t> Partial;
    std::int64_t LastByteMs = 0;
    std::int64_t LastReadyMs = -1'000'000'000;
    std::int64_t LastActivityMs = 0;
    int SilentNaks = 0;
    unsigned FrameCount = 0;
};

} // namespace ControllerSim
