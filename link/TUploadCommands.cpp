#include "link/TUploadCommands.h"

#include "XVclUtil/Printf.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace Link {

using XVclUtil::Format;

TUploadCommands::TUploadCommands(TUploadProtocol& protocol, TUploadView& view,
                                 TResponseTimer& timer, XVclCtrl::TCustomUart& port)
    : Protocol(protocol), View(view), Timer(timer), Port(port) {}

std::string TUploadCommands::PortLabel() const {
    if (!Port.UartDevicePath.empty()) return Port.UartDevicePath;
    return Format("COM %u", Port.UartPortNumber());
}

void TUploadCommands::ConnectDisconnect(const std::function<void()>& assignPort) {
    if (ConnectedFlag) {
        if (Port.Opened()) Port.Close();
        View.AppendLine(">>> Close " + PortLabel() + " <<<");
        View.ShowConnected(false);
        ConnectedFlag = 0;
        View.SetCommandButtonsEnabled(false);
        Timer.Stop(); // the transfer mode stays as it is
        return;
    }
    if (Port.Opened()) Port.Close();
    if (assignPort) assignPort();
    const bool opened = Port.Open();
    View.AppendLine(">>> Open " + PortLabel() + " <<<");
    // The connection is entered all the same; the reason tells the user why nothing answers.
    if (!opened)
        View.AppendLine(Format("=== %s: %s !! ===", Port.DevicePathToOpen().c_str(),
                               Port.LastErrorText().c_str()));
    View.ShowConnected(true);
    ConnectedFlag = 1;
    View.SetCommandButtonsEnabled(true);
}

void TUploadCommands::DateTimeSync() {
    View.ClearLines();
    Protocol.State.Mode = TTransferMode::DateTimeSync;
    Protocol.State.TimeoutCounter = 0;
    Protocol.State.NakCounter = 0;
    View.SetCommandButtonsEnabled(false);
    View.AppendLine("*** Date & Time Sync. ***");
    View.AppendLine("=== Waiting VRC-780A respond.... ===");
    Timer.Start();
}

// Reads the chosen file into the image buffer. The buffer is filled with 0xFF first (erased
// flash), so bytes past the end of a shorter file never carry an earlier file's bytes.
bool TUploadCommands::ReadImageFile(const std::string& fileName, std::size_t& size) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(fileName.c_str(), "rb"),
                                                         &std::fclose);
    int error = file ? 0 : errno;
    long length = -1;
    if (file && std::fseek(file.get(), 0, SEEK_END) == 0) length = std::ftell(file.get());
    if (file && length < 0) error = errno;
    if (!file || length < 0) {
        View.AppendLine("*** Warnning.... ***");
        View.AppendLine(Format("=== Can not open %s (%s)!! ===", fileName.c_str(),
                               std::strerror(error ? error : EIO)));
        return false;
    }
    if (static_cast<unsigned long>(length) > ImageBufferSize) {
        View.AppendLine("*** Warnning.... ***");
        View.AppendLine("=== ROM image too large!! ===");
        return false;
    }
    if (length == 0) {
        View.AppendLine("*** Warnning.... ***");
        View.AppendLine(Format("=== ROM image file %s is empty!! ===", fileName.c_str()));
        return false;
    }
    std::uint8_t* image = Protocol.ImageBuffer();
    std::memset(image, 0xFF, ImageBufferSize);
    std::rewind(file.get());
    const std::size_t got = std::fread(image, 1, static_cast<std::size_t>(length), file.get());
    if (got != static_cast<std::size_t>(length)) {
        View.AppendLine("*** Warnning.... ***");
        View.AppendLine(Format("=== Can not read %s!! ===", fileName.c_str()));
        return false;
    }
    size = got;
    return true;
}

void TUploadCommands::Begin(TTransferMode mode, const char* title) {
    View.SetCommandButtonsEnabled(false);
    Protocol.State.Mode = mode;
    Protocol.State.TimeoutCounter = 0;
    Protocol.State.NakCounter = 0;
    View.ClearLines();
    View.AppendLine(title);
    View.AppendLine("=== Waiting VRC-780A respond.... ===");
    Timer.Start();
}

bool TUploadCommands::UploadRomImage(const std::string& fileName) {
    std::size_t size = 0;
    if (!ReadImageFile(fileName, size)) return false;
    Protocol.State.RomBlockCount =
        static_cast<unsigned>(size / FrameDataSize + (size % FrameDataSize ? 1 : 0));
    Protocol.State.RomBlockCounter = 0;
    Begin(TTransferMode::RomImage, "*** UpLoad ROM image ***");
    return true;
}

bool TUploadCommands::UpgradeAp(const std::string& fileName) {
    std::size_t size = 0;
    if (!ReadImageFile(fileName, size)) return false;
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
