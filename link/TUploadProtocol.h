#pragma once
// The upload protocol of the VRC-780A: the controller asks with 'C', the PC sends a frame,
// the controller answers ACK (next frame) or NAK (same frame again). PcUart1RxdDatas handles
// every received chunk, Timer1Timer every expiry of the 10 s response timer. Both run on the
// main thread; the byte sender, the clock and the timer are handed in so tests can drive them.

#include "link/TResponseTimer.h"
#include "link/TTransferState.h"
#include "link/TUploadFrame.h"
#include "link/TUploadView.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace Link {

inline constexpr std::uint8_t ReplyReady = 0x43; // 'C'
inline constexpr std::uint8_t ReplyAck = 0x06;
inline constexpr std::uint8_t ReplyNak = 0x15;
inline constexpr unsigned NakLimit = 10;
inline constexpr unsigned TimeoutLimit = 10;
// A controller that asks with 'C' again and again restarts at block 1 each time; after this
// many restarts without the transfer completing it ends with the abort line.
inline constexpr unsigned RestartLimit = 10;

// How a transfer ended, for callers that wait on it (the command-line tool, tests).
enum class TTransferOutcome { Finished, Failed, Aborted, Cancelled };

class TUploadProtocol {
public:
    // PcUart1.SendData(Bytes, Data); its result is not examined.
    using TSendData = std::function<int(unsigned bytes, const void* data)>;
    using TClock = std::function<TLocalTime()>;

    TUploadProtocol(TUploadView& view, TResponseTimer& timer, TSendData sendData,
                    TClock clock = &TLocalTime::Now);

    // The OnRxdDatas handler of PcUart1: one received chunk.
    void PcUart1RxdDatas(const void* sender, int bytes, const void* datas);
    // The OnTimer handler of Timer1.
    void Timer1Timer(const void* sender);
    // Ends a running transfer from outside the reply handler (Disconnect, an interrupted
    // command-line run, a lost device) with the given line. Does nothing while idle.
    void Cancel(const std::string& line, TTransferOutcome outcome = TTransferOutcome::Cancelled);

    TTransferState State;

    // The image buffer (458,752 bytes, 0xFF until written) the upload commands read files
    // into. It is made on first use: a window that never uploads does not fill half a
    // megabyte at start-up.
    std::uint8_t* ImageBuffer();
    const std::uint8_t* ImageBuffer() const;

    const TUploadFrame& Frame() const { return CurrentFrame; }

    // Called after the finish, failure or abort line of a transfer.
    std::function<void(TTransferOutcome)> OnTransferEnded;

private:
    void HandleDateTimeSync(const std::uint8_t* p, int n);
    void HandleBlockTransfer(const std::uint8_t* p, int n);
    bool Restart();
    void SendFrame(bool resend);
    void FailAfterNaks(const char* line);
    void EndTransfer(TTransferOutcome outcome);

    TUploadView& View;
    TResponseTimer& Timer;
    TSendData SendData;
    TClock Clock;
    mutable std::vector<std::uint8_t> Image; // empty until ImageBuffer() is first asked
    TUploadFrame CurrentFrame;
};

} // namespace Link
