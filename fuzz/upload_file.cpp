// Arbitrary files given to UpLoad ROM Image and Upgrade LPV AP: the upload file reader checks
// what the file is, its size and (through the ROM image reader) its content before a transfer
// may begin. Byte 0 picks the command and whether a file with faults is taken anyway; the rest
// is the file. Whatever the bytes, the command either refuses the file without arming anything
// or arms a transfer whose block count matches the file and whose image buffer holds it.

#include "FuzzWorkDir.h"

#include "link/TUploadCommands.h"
#include "rom/TRomImageReader.h"
#include "tests/link/LinkTestDoubles.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct TNullView : Link::TUploadView {
    void AppendLine(const std::string&) override {}
    void ClearLines() override {}
    void SetProgress(unsigned) override {}
    bool MsgOn() const override { return false; }
    void SetCommandButtonsEnabled(bool) override {}
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    EnterPrivateWorkDir(argc, argv, "upload_file");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const bool upgrade = data[0] & 1, takeAnyway = data[0] & 2;
    const std::uint8_t* file = data + 1;
    const std::size_t length = size - 1;
    if (std::FILE* f = std::fopen("upload.rom", "wb")) {
        if (length) std::fwrite(file, 1, length, f);
        std::fclose(f);
    }
    TNullView view;
    LinkTest::TManualTimer timer;
    XVclCtrl::TCustomUart port;
    Link::TUploadProtocol protocol(view, timer, [](unsigned, const void*) { return 0; });
    Link::TUploadCommands commands(protocol, view, timer, port);
    commands.OnCheckImage = [&](std::span<const std::uint8_t> bytes) {
        if (bytes.size() != length) std::abort();
        return Rom::RomImageProblem(bytes).empty() || takeAnyway;
    };
    const bool armed =
        upgrade ? commands.UpgradeAp("upload.rom") : commands.UploadRomImage("upload.rom");
    const auto& s = protocol.State;
    if (!armed) {
        if (s.Mode != Link::TTransferMode::Idle || timer.Active) std::abort();
        return 0;
    }
    if (length == 0 || length > Link::ImageBufferSize || !timer.Active) std::abort();
    if (upgrade && length < Link::AppRegionOffset + Link::AppBlockCount * Link::FrameDataSize)
        std::abort();
    if (!upgrade && s.RomBlockCount != (length + Link::FrameDataSize - 1) / Link::FrameDataSize)
        std::abort();
    if (std::memcmp(protocol.ImageBuffer(), file, length) != 0) std::abort();
    return 0;
}
