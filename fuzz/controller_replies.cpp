// Arbitrary controller replies fed to the upload protocol's reply and timeout handlers.
// Input: byte 0 picks the transfer (date/time, ROM image, application) and "Msg. on", bytes 1-2
// the ROM block count; then chunks, each a length byte and that many reply bytes, where a
// length of 0 stands for an expiry of the response timer. Every frame sent must be a whole,
// CRC-correct frame of the armed transfer, and no counter may leave its range. A transfer may
// finish only after every block was acknowledged: blocks go out in order (a restart begins
// again at block 1), the finish comes after the last block, and nothing is sent once the
// transfer has ended.

#include "link/TUploadProtocol.h"
#include "tests/link/LinkTestDoubles.h"

#include "XVclUtil/Crc8.h"

#include <cstdlib>
#include <string>

namespace {

struct TNullView : Link::TUploadView {
    void AppendLine(const std::string&) override {}
    void ClearLines() override {}
    void SetProgress(unsigned position) override {
        if (position == 0 || position > Link::MaxRomBlockCount) std::abort();
    }
    bool MsgOn() const override { return Msg; }
    void SetCommandButtonsEnabled(bool) override {}
    bool Msg = false;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return 0;
    TNullView view;
    LinkTest::TManualTimer timer;
    Link::TTransferMode mode = Link::TTransferMode::RomImage;
    std::uint8_t command = Link::CmdRomBlock;
    unsigned lastBlock = 0; // block of the last frame sent, 0 before the first
    bool ended = false;
    Link::TUploadProtocol protocol(view, timer, [&](unsigned n, const void* p) {
        const auto* f = static_cast<const std::uint8_t*>(p);
        if (ended || n != Link::FrameSize || f[0] != command ||
            XVclUtil::Crc8(f, Link::FrameSize - 1) != f[Link::FrameSize - 1])
            std::abort();
        // Index bytes of ROM and application block k: (k - 1) div 64 (mod 256), (k - 1) mod 64.
        const unsigned block = command == Link::CmdDateTime ? 1 : f[1] * 64u + f[2] + 1;
        if (block != 1 && block != lastBlock && block != lastBlock + 1) std::abort();
        lastBlock = block;
        return 0;
    });
    switch (data[0] % 3) {
    case 0:
        mode = Link::TTransferMode::DateTimeSync;
        command = Link::CmdDateTime;
        break;
    case 1:
        break;
    default:
        mode = Link::TTransferMode::AppUpgrade;
        command = Link::CmdAppBlock;
        break;
    }
    view.Msg = data[0] & 0x80;
    protocol.State.Mode = mode;
    protocol.State.RomBlockCount = 1 + (data[1] << 8 | data[2]) % Link::MaxRomBlockCount;
    protocol.OnTransferEnded = [&](Link::TTransferOutcome outcome) {
        if (ended) std::abort(); // a transfer ends once
        ended = true;
        const unsigned count = mode == Link::TTransferMode::DateTimeSync ? 1
                               : mode == Link::TTransferMode::AppUpgrade
                                   ? Link::AppBlockCount
                                   : protocol.State.RomBlockCount;
        if (outcome == Link::TTransferOutcome::Finished && lastBlock != count) std::abort();
    };
    timer.Start();
    std::size_t i = 3;
    while (i < size) {
        const std::size_t n = data[i++];
        if (n == 0) {
            if (timer.Active) protocol.Timer1Timer(&timer);
        } else {
            const std::size_t take = n < size - i ? n : size - i;
            protocol.PcUart1RxdDatas(nullptr, static_cast<int>(take), data + i);
            i += take;
        }
        const auto& s = protocol.State;
        if (s.RomBlockCounter > s.RomBlockCount || s.AppBlockCounter > Link::AppBlockCount ||
            s.NakCounter >= Link::NakLimit || s.TimeoutCounter > Link::TimeoutLimit)
            std::abort();
    }
    return 0;
}
