#include "link/TUploadProtocol.h"

#include "XVclUtil/Printf.h"

#include <cinttypes>
#include <utility>

namespace Link {

namespace {
const char* const DateTimeFinish = "===> Date & Time Sync. finish <===";
const char* const DateTimeFailed = "===> Date & Time Sync. failed <===";
const char* const RomFinish = "===> UpLoad ROM image finish.<===";
const char* const RomFailed = "===> UpLoad ROM image failed <===";
const char* const TransmitAbort = "===> Transmit abort!! <===";
} // namespace

TUploadProtocol::TUploadProtocol(TUploadView& view, TResponseTimer& timer, TSendData sendData,
                                 TClock clock)
    : View(view), Timer(timer), SendData(std::move(sendData)), Clock(std::move(clock)) {}

const std::uint8_t* TUploadProtocol::ImageBuffer() const {
    if (Image.empty()) Image.assign(ImageBufferSize, 0xFF);
    return Image.data();
}

std::uint8_t* TUploadProtocol::ImageBuffer() {
    return const_cast<std::uint8_t*>(std::as_const(*this).ImageBuffer());
}

// A chunk proves the controller alive only when it holds a reply byte: a line that delivers
// nothing but garbage (a wrong baud rate, a babbling device) must still run into the abort
// instead of holding the transfer open for ever.
static bool HoldsReply(const std::uint8_t* p, int n) {
    for (int i = 0; i < n; ++i)
        if (p[i] == ReplyReady || p[i] == ReplyAck || p[i] == ReplyNak) return true;
    return false;
}

void TUploadProtocol::PcUart1RxdDatas(const void*, int bytes, const void* datas) {
    const auto* p = static_cast<const std::uint8_t*>(datas);
    if (bytes <= 0 || p == nullptr) bytes = 0;
    if (HoldsReply(p, bytes)) State.TimeoutCounter = 0;
    if (State.Mode == TTransferMode::Idle) Timer.Stop();
    if (bytes == 0) return;
    switch (State.Mode) {
    case TTransferMode::DateTimeSync:
        HandleDateTimeSync(p, bytes);
        break;
    case TTransferMode::RomImage:
    case TTransferMode::AppUpgrade:
        HandleBlockTransfer(p, bytes);
        break;
    case TTransferMode::Idle:
        break;
    }
}

void TUploadProtocol::HandleDateTimeSync(const std::uint8_t* p, int n) {
    for (int i = 0; i < n; ++i) {
        switch (p[i]) {
        case ReplyReady:
            if (!Restart()) return;
            State.NakCounter = 0;
            Timer.Stop();
            CurrentFrame.BuildDateTime(Clock());
            State.ShownBlock = 1;
            SendFrame(false);
            Timer.Start();
            return;
        case ReplyAck:
            // Only an ACK for a frame that went out finishes the sync; before that it is noise.
            if (!State.FrameSent) break;
            State.NakCounter = 0;
            View.AppendLine(DateTimeFinish);
            Timer.Stop();
            EndTransfer(TTransferOutcome::Finished);
            return;
        case ReplyNak:
            if (!State.FrameSent) break; // nothing to send again yet: noise
            if (++State.NakCounter >= NakLimit) return FailAfterNaks(DateTimeFailed);
            Timer.Stop();
            CurrentFrame.BuildDateTime(Clock()); // a fresh clock reading for every resend
            State.ShownBlock = 1;
            SendFrame(true);
            Timer.Start();
            return;
        default:
            break; // any other byte is line noise
        }
    }
}

// A 'C' once a frame has gone out restarts the transfer at its first frame. A controller that
// does nothing but restart would hold the transfer open for ever, so after RestartLimit
// restarts the transfer ends with the abort line instead. False when it has ended.
bool TUploadProtocol::Restart() {
    if (State.FrameSent && ++State.RestartCounter > RestartLimit) {
        Cancel(TransmitAbort, TTransferOutcome::Aborted);
        return false;
    }
    return true;
}

// Modes 3 and 4 share every rule; they differ only in the counter, the command and the count.
// The ACK that ends the transfer also ends the examination of its chunk: bytes after it belong
// to no transfer, so a trailing 'C', NAK or ACK starts, resends or finishes nothing.
void TUploadProtocol::HandleBlockTransfer(const std::uint8_t* p, int n) {
    const TTransferMode kind = State.Mode;
    unsigned& counter =
        kind == TTransferMode::RomImage ? State.RomBlockCounter : State.AppBlockCounter;
    const unsigned count = kind == TTransferMode::RomImage ? State.RomBlockCount : AppBlockCount;
    auto build = [&] {
        if (kind == TTransferMode::RomImage)
            CurrentFrame.BuildRomBlock(ImageBuffer(), counter);
        else
            CurrentFrame.BuildAppBlock(ImageBuffer(), counter);
        State.ShownBlock = counter;
        View.SetProgress(counter);
    };
    for (int i = 0; i < n; ++i) {
        switch (p[i]) {
        case ReplyReady:
            if (!Restart()) return;
            State.NakCounter = 0;
            Timer.Stop();
            counter = 1;
            build();
            SendFrame(false);
            Timer.Start();
            State.StartTime = Clock();
            return;
        case ReplyAck:
            Timer.Stop();
            State.NakCounter = 0;
            if (counter < count) {
                // An ACK before any 'C' starts the transfer too; give it a start time.
                if (counter == 0) State.StartTime = Clock();
                ++counter;
                build();
                SendFrame(false);
                Timer.Start();
                return;
            }
            View.AppendLine(RomFinish);
            State.EndTime = Clock();
            if (View.MsgOn()) {
                const auto ms = ElapsedMilliseconds(State.StartTime, State.EndTime);
                View.AppendLine(XVclUtil::Format("傳輸時間 = %" PRId64 " ms", ms));
            }
            EndTransfer(TTransferOutcome::Finished);
            return;
        case ReplyNak:
            // Before the first 'C' no block has gone out, so there is nothing to send again;
            // such a NAK (a stray reply from an earlier transfer) counts as line noise.
            if (counter == 0) break;
            if (++State.NakCounter >= NakLimit) return FailAfterNaks(RomFailed);
            Timer.Stop();
            build();
            SendFrame(true);
            Timer.Start();
            return;
        default:
            break;
        }
    }
}

void TUploadProtocol::SendFrame(bool resend) {
    State.FrameSent = true;
    SendData(static_cast<unsigned>(FrameSize), CurrentFrame.Bytes.data());
    if (View.MsgOn())
        View.AppendLine(
            XVclUtil::Format("===> %s data block: %u,CRC = %02X <===", resend ? "Resend" : "Send",
                             State.ShownBlock, CurrentFrame.Crc()));
}

void TUploadProtocol::Timer1Timer(const void*) {
    // An expiry that was already queued when the transfer ended counts for nothing.
    if (State.Mode == TTransferMode::Idle) return Timer.Stop();
    View.AppendLine(
        XVclUtil::Format("===> VRC-780A respond timeout #%u<===", State.TimeoutCounter + 1));
    if (++State.TimeoutCounter >= TimeoutLimit) {
        View.AppendLine(TransmitAbort);
        Timer.Stop();
        EndTransfer(TTransferOutcome::Aborted);
    }
}

void TUploadProtocol::Cancel(const std::string& line, TTransferOutcome outcome) {
    if (State.Mode == TTransferMode::Idle) return;
    Timer.Stop();
    View.AppendLine(line);
    EndTransfer(outcome);
}

// The tenth NAK in a row ends the transfer with its failure line.
void TUploadProtocol::FailAfterNaks(const char* line) {
    Timer.Stop();
    View.AppendLine(line);
    EndTransfer(TTransferOutcome::Failed);
}

// Every way a transfer ends: the command buttons come back, the protocol goes idle.
void TUploadProtocol::EndTransfer(TTransferOutcome outcome) {
    View.SetCommandButtonsEnabled(true);
    State.NakCounter = 0;
    State.Mode = TTransferMode::Idle;
    if (OnTransferEnded) OnTransferEnded(outcome);
}

} // namespace Link
