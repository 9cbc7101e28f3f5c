#include "tools/controllersim/TControllerSim.h"

#include "XVclUtil/Crc8.h"

#include <algorithm>
#include <cstring>

namespace ControllerSim {

namespace {
constexpr std::uint8_t CmdDateTime = 1, CmdRom = 3, CmdApp = 4;
constexpr unsigned RomBlocks = 7168, AppBlocks = 512;
} // namespace

TControllerSim::TControllerSim(const TSimOptions& options, TWrite write)
    : Options(options), Write(std::move(write)), Rng(options.Seed) {}

bool TControllerSim::Chance(double p) {
    if (p <= 0) return false;
    if (p >= 1) return true;
    return std::uniform_real_distribution<double>(0, 1)(Rng) < p;
}

unsigned TControllerSim::LastBlock(std::uint8_t command) const {
    return command == CmdDateTime ? 1 : command == CmdApp ? AppBlocks : RomBlocks;
}

// Index bytes as the PC forms them: block n of the ROM image is (n-1) div 64, (n-1) mod 64;
// the application's are taken from n-1+0x4C000; the date/time frame is 00 01.
bool TControllerSim::IndexIs(const std::uint8_t* f, std::uint8_t command, unsigned block) const {
    if (f[0] != command) return false;
    if (command == CmdDateTime) return f[1] == 0x00 && f[2] == 0x01 && block == 1;
    const std::size_t v = block - 1 + (command == CmdApp ? 0x4C000 : 0);
    return f[1] == ((v / 64) % 256) && f[2] == v % 64;
}

bool TControllerSim::IsFirstFrame(const std::uint8_t* f) const {
    return IndexIs(f, CmdDateTime, 1) || IndexIs(f, CmdRom, 1) || IndexIs(f, CmdApp, 1);
}

void TControllerSim::Received(const std::uint8_t* data, std::size_t n, std::int64_t nowMs) {
    if (Mute) return;
    NowMs = nowMs;
    if (!Partial.empty() && nowMs - LastByteMs > Options.FrameGapMs) Partial.clear();
    for (std::size_t i = 0; i < n; ++i) {
        Partial.push_back(data[i]);
        if (Partial.size() == SimFrameSize) {
            HandleFrame(nowMs);
            Partial.clear();
            if (Mute) return;
        }
    }
    LastByteMs = nowMs;
}

void TControllerSim::HandleFrame(std::int64_t nowMs) {
    ++FrameCount;
    if (Options.CloseAfterFrames >= 0 &&
        FrameCount > static_cast<unsigned long>(Options.CloseAfterFrames)) {
        Mute = CloseWanted = true;
        return;
    }
    if (Options.SilentAfterFrames >= 0 &&
        FrameCount > static_cast<unsigned long>(Options.SilentAfterFrames)) {
        Mute = true;
        return;
    }
    LastActivityMs = nowMs;
    SilentNaks = 0;
    const std::uint8_t* f = Partial.data();
    const bool crcOk = XVclUtil::Crc8(f, SimFrameSize - 1) == f[SimFrameSize - 1];
    if (Phase == TPhase::Transfer) ++Session.Frames;
    if (!crcOk) {
        if (Phase == TPhase::Transfer) ++Session.CrcErrors;
        Reply(Nak);
        return;
    }
    if (Phase == TPhase::Transfer) {
        const unsigned next = Session.Blocks + 1;
        if (Session.Blocks > 0 && IndexIs(f, Session.Command, Session.Blocks)) {
            ++Session.Duplicates; // our ACK was lost: the block is here already
            if (Session.Command == CmdDateTime)
                Accept(f); // a resent date/time frame carries a fresh reading
            else
                Reply(Ack);
            return;
        }
        if (next <= LastBlock(Session.Command) && IndexIs(f, Session.Command, next)) {
            Accept(f);
            return;
        }
        if (!IsFirstFrame(f)) {
            ++Session.IndexErrors;
            Reply(Nak);
            return;
        }
        CloseSession(); // the PC started over
    }
    if (!IsFirstFrame(f)) {
        Reply(Nak);
        return;
    }
    StartSession(f[0]);
    ++Session.Frames;
    Accept(f);
}

void TControllerSim::StartSession(std::uint8_t command) {
    Phase = TPhase::Transfer;
    Reported = false;
    Session = TSessionReport{};
    Session.Command = command;
}

// A good, expected frame: ACK it, unless a fault turns the ACK into a NAK; only an ACKed block
// counts as received.
void TControllerSim::Accept(const std::uint8_t* f) {
    if (Chance(Options.NakRate)) {
        Reply(Nak);
        return;
    }
    if (Session.Command == CmdDateTime) {
        std::memcpy(Session.DateTime.data(), f + 3, Session.DateTime.size());
        Session.Blocks = 1;
        Session.Data.assign(f + 3, f + 3 + 64);
    } else {
        Session.Data.insert(Session.Data.end(), f + 3, f + 3 + 64);
        ++Session.Blocks;
    }
    Reply(Ack);
    if (Session.Blocks == LastBlock(Session.Command) && !Reported) Report(true);
}

void TControllerSim::Reply(std::uint8_t byte) {
    if (byte == Nak && Phase == TPhase::Transfer) ++Session.NaksSent;
    if (Chance(Options.DropRate)) return;
    std::vector<std::uint8_t> out;
    if (Chance(Options.NoiseRate)) {
        const int count = std::uniform_int_distribution<int>(1, 4)(Rng);
        for (int i = 0; i < count; ++i) {
            std::uint8_t b;
            do {
                b = static_cast<std::uint8_t>(std::uniform_int_distribution<int>(0, 255)(Rng));
            } while (b == Ready || b == Ack || b == Nak);
            out.push_back(b);
        }
    }
    if (Chance(Options.ReplyNoiseRate)) {
        static constexpr std::uint8_t replies[] = {Ready, Ack, Nak};
        out.push_back(replies[std::uniform_int_distribution<int>(0, 2)(Rng)]);
    }
    out.push_back(byte);
    if (Chance(Options.DoubleRate)) out.push_back(byte);
    const bool late = Chance(Options.LateRate);
    if (late || !Held.empty()) {
        // Behind a late reply every later one waits too, so the order on the line holds.
        std::int64_t due = NowMs + (late ? Options.LateMs : 0);
        if (!Held.empty()) due = std::max(due, Held.back().first);
        Held.emplace_back(due, std::move(out));
        return;
    }
    Write(out.data(), out.size());
}

void TControllerSim::WriteHeldReplies(std::int64_t nowMs) {
    while (!Held.empty() && Held.front().first <= nowMs) {
        Write(Held.front().second.data(), Held.front().second.size());
        Held.pop_front();
    }
}

void TControllerSim::Report(bool complete) {
    Reported = true;
    Session.Complete = complete;
    if (OnSession) OnSession(Session);
}

void TControllerSim::CloseSession() {
    if (!Reported) Report(false);
    Phase = TPhase::Waiting;
    SilentNaks = 0;
}

void TControllerSim::Tick(std::int64_t nowMs) {
    if (Mute) return;
    NowMs = nowMs;
    WriteHeldReplies(nowMs);
    if (!Partial.empty() && nowMs - LastByteMs > Options.FrameGapMs) {
        Partial.clear(); // the rest of this frame never came
        LastActivityMs = nowMs;
        Reply(Nak);
    }
    if (Phase == TPhase::Waiting) {
        if (nowMs - LastReadyMs >= Options.ReadyIntervalMs) {
            LastReadyMs = nowMs;
            const std::uint8_t c = Ready;
            Write(&c, 1);
        }
        return;
    }
    if (nowMs - LastActivityMs >= Options.ResendAfterMs) {
        if (SilentNaks >= Options.SilentNakLimit) {
            CloseSession();
            LastReadyMs = nowMs; // the next 'C' after a full interval
            return;
        }
        ++SilentNaks;
        LastActivityMs = nowMs;
        Reply(Nak);
    }
}

std::int64_t TControllerSim::NextDeadline() const {
    std::int64_t next = Phase == TPhase::Waiting ? LastReadyMs + Options.ReadyIntervalMs
                                                 : LastActivityMs + Options.ResendAfterMs;
    if (!Partial.empty()) next = std::min(next, LastByteMs + Options.FrameGapMs + 1);
    if (!Held.empty()) next = std::min(next, Held.front().first);
    return next;
}

} // namespace ControllerSim
