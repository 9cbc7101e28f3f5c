#include "link/TUploadCommands.h"

#include "XVclCtrl/SerialDevices.h"
#include "XVclUtil/FileUtil.h"
#include "XVclUtil/PlatformPaths.h"
#include "XVclUtil/Printf.h"
#include "XVclUtil/SystemError.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace Link {

using XVclUtil::Format;

TUploadCommands::TUploadCommands(TUploadProtocol& protocol, TUploadView& view,
                                 TResponseTimer& timer, XVclCtrl::TCustomUart& port)
    : Protocol(protocol), View(view), Timer(timer), Port(port) {
    Port.OnDeviceLost = [this](auto*) { PortLost(); };
}

std::string TUploadCommands::PortLabel() const {
    if (!Port.UartDevicePath.empty()) return Port.UartDevicePath;
    return Format("COM %u", Port.UartPortNumber());
}

void TUploadCommands::ConnectDisconnect(const std::function<void()>& assignPort) {
    if (ConnectedFlag) {
        if (Port.Opened()) Port.Close();
        View.AppendLine(">>> Close " + PortLabel() + " <<<");
        // Nothing of the interrupted transfer may go on after a later Connect, to this port or
        // to another lift's.
        Protocol.Cancel("===> Transfer cancelled by Disconnect <===");
        View.ShowConnected(false);
        ConnectedFlag = 0;
        View.SetCommandButtonsEnabled(false);
        Timer.Stop();
        return;
    }
    if (Port.Opened()) Port.Close();
    if (assignPort) assignPort();
    const bool opened = Port.Open();
    std::string label = PortLabel();
    if (NameDeviceInOpenLine && Port.UartDevicePath.empty())
        label += " (" + Port.DevicePathToOpen() + ")";
    View.AppendLine(">>> Open " + label + " <<<");
    if (!opened) {
        // Said plainly, with what the user can do about it; the window stays disconnected.
        const std::string device = Port.DevicePathToOpen();
        View.AppendLine(Format("=== %s: %s !! ===", device.c_str(), Port.LastErrorText().c_str()));
        const std::string hint = XVclCtrl::ExplainOpenFailure(device, Port.LastOpenSystemError());
        // The system's own reason when no plain-words hint covers it (a failed line setting).
        const std::string reason = XVclUtil::SystemErrorText(Port.LastSystemError());
        if (!hint.empty())
            View.AppendLine("=== " + hint + " ===");
        else if (!reason.empty())
            View.AppendLine("=== " + device + ": " + reason + " ===");
        return;
    }
    View.ShowConnected(true);
    ConnectedFlag = 1;
    View.SetCommandButtonsEnabled(true);
}

// The device went away under an open port: the transfer cannot go on, so it ends now rather
// than after ten silent intervals.
void TUploadCommands::PortLost() {
    Protocol.Cancel("===> " + PortLabel() + " lost: transfer failed <===",
                    TTransferOutcome::Failed);
}

void TUploadCommands::DateTimeSync() {
    Begin(TTransferMode::DateTimeSync, "*** Date & Time Sync. ***");
}

void TUploadCommands::Refuse(const std::string& reason) {
    View.AppendLine("*** Warnning.... ***");
    View.AppendLine("=== " + reason + "!! ===");
}

namespace {

// What a path names when it is not a regular file: a folder, a FIFO or a device is never read
// as an image (a FIFO would block the command for ever). Empty for a regular file.
std::string NonRegularKind(const std::filesystem::file_status& status) {
    using std::filesystem::file_type;
    switch (status.type()) {
    case file_type::regular:
        return "";
    case file_type::directory:
        return "a folder";
    case file_type::fifo:
        return "a FIFO";
    case file_type::character:
    case file_type::block:
        return "a device";
    case file_type::socket:
        return "a socket";
    default:
        return "not a regular file";
    }
}

} // namespace

// Reads the chosen file into the image buffer after checking what it is and its size. The
// buffer is filled with 0xFF first (erased flash), so bytes past the end of a shorter file
// never carry an earlier file's bytes.
bool TUploadCommands::ReadImageFile(const std::string& fileName, std::size_t minSize,
                                    std::size_t& size) {
    std::error_code ec;
    const auto status = std::filesystem::status(XVclUtil::FsPath(fileName), ec);
    if (ec || !std::filesystem::exists(status)) {
        Refuse(Format("Can not open %s (%s)", fileName.c_str(),
                      ec ? ec.message().c_str() : std::strerror(ENOENT)));
        return false;
    }
    if (const std::string kind = NonRegularKind(status); !kind.empty()) {
        Refuse(Format("%s is %s, not a ROM image file", fileName.c_str(), kind.c_str()));
        return false;
    }
    const auto length = std::filesystem::file_size(XVclUtil::FsPath(fileName), ec);
    if (!ec && length > ImageBufferSize) {
        Refuse("ROM image too large");
        return false;
    }
    errno = 0;
    // Opened without blocking and checked again: the name may have changed in between.
    const auto bytes = ec ? std::nullopt : XVclUtil::ReadWholeFile(fileName);
    if (!bytes || bytes->size() > ImageBufferSize) {
        Refuse(
            Format("Can not read %s (%s)", fileName.c_str(), std::strerror(errno ? errno : EIO)));
        return false;
    }
    if (bytes->empty()) {
        Refuse(Format("ROM image file %s is empty", fileName.c_str()));
        return false;
    }
    if (bytes->size() < minSize) {
        Refuse(Format("%s holds %zu bytes and ends before the application region (%zu bytes "
                      "needed)",
                      fileName.c_str(), bytes->size(), minSize));
        return false;
    }
    if (OnCheckImage && !OnCheckImage(*bytes)) return false;
    std::uint8_t* image = Protocol.ImageBuffer();
    std::memset(image, 0xFF, ImageBufferSize);
    std::memcpy(image, bytes->data(), bytes->size());
    size = bytes->size();
    return true;
}

void TUploadCommands::Begin(TTransferMode mode, const char* title) {
    View.SetCommandButtonsEnabled(false);
    Protocol.State.Mode = mode;
    Protocol.State.TimeoutCounter = 0;
    Protocol.State.NakCounter = 0;
    Protocol.State.RestartCounter = 0;
    Protocol.State.FrameSent = false;
    View.ClearLines();
    View.AppendLine(title);
    View.AppendLine("=== Waiting VRC-780A respond.... ===");
    Timer.Start();
}

bool TUploadCommands::UploadRomImage(const std::string& fileName) {
    std::size_t size = 0;
    if (!ReadImageFile(fileName, 1, size)) return false;
    Protocol.State.RomBlockCount =
        static_cast<unsigned>(size / FrameDataSize + (size % FrameDataSize ? 1 : 0));
    Protocol.State.RomBlockCounter = 0;
    Begin(TTransferMode::RomImage, "*** UpLoad ROM image ***");
    return true;
}

bool TUploadCommands::UpgradeAp(const std::string& fileName) {
    std::size_t size = 0;
    if (!ReadImageFile(fileName, AppRegionOffset + AppBlockCount * FrameDataSize, size))
        return false;
    Protocol.State.AppBlockCounter = 0; // the application upgrade always has 512 blocks
    Begin(TTransferMode::AppUpgrade, "*** UpLoad ROM image[1] ***");
    return true;
}

void TUploadCommands::SelectBaud(const std::string& itemText) {
    char* end = nullptr;
    const unsigned long value = std::strtoul(itemText.c_str(), &end, 10);
    Port.pw_UartBaud(static_cast<std::uint32_t>(value)); // the writer refuses what it must
}

} // namespace Link
