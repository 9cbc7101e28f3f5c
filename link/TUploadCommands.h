#pragma once
// The commands behind the Make page's connection controls: Connect/Disconnect, Date/Time sync,
// UpLoad ROM Image, Upgrade LPV AP and the baud-rate list. Each command prepares the transfer
// state, writes its opening lines and starts the response timer; the transfer itself then runs
// in the protocol's reply and timeout handlers. The window and the command-line tool share it.

#include "link/TResponseTimer.h"
#include "link/TUploadProtocol.h"
#include "link/TUploadView.h"

#include "XVclCtrl/TCustomUart.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>

namespace Link {

class TUploadCommands {
public:
    TUploadCommands(TUploadProtocol& protocol, TUploadView& view, TResponseTimer& timer,
                    XVclCtrl::TCustomUart& port);

    // Connect/Disconnect (SpeedButton5Click). assignPort runs between closing and opening, and
    // names the port to open (the window: UartPortNumber := ComboBox3's item index + 1).
    // Disconnect cancels a running transfer. A failed Open is reported with its reason and a
    // hint, and the connection is not entered.
    void ConnectDisconnect(const std::function<void()>& assignPort);
    bool Connected() const { return ConnectedFlag != 0; }

    // Date/Time sync (SpeedButton6Click).
    void DateTimeSync();
    // UpLoad ROM Image (SpeedButton9Click) once the file is chosen. False when the file is
    // refused (not a regular file, too large, empty, unreadable, or refused by OnCheckImage);
    // the lines say why and nothing else changes.
    bool UploadRomImage(const std::string& fileName);
    // Upgrade LPV AP (SpeedButton8Click) once the file is chosen: the PM block of a ROM image.
    // A file that ends before the end of the PM block is always refused.
    bool UpgradeAp(const std::string& fileName);
    // Baud rate list (ComboBox11Change): takes effect at the next Connect.
    void SelectBaud(const std::string& itemText);

    // The name the Open and Close lines give the port: "COM n", or the device path when one
    // was given directly.
    std::string PortLabel() const;

    // Asked with the whole file once it has passed the size checks, before an upload or an
    // upgrade begins (the window asks the user, the command-line tool checks it as a ROM
    // image); false refuses the file. Unassigned: every file is taken.
    std::function<bool(std::span<const std::uint8_t> file)> OnCheckImage;
    // The Open line names the device behind a COM number too: ">>> Open COM 3 (/dev/ttyS2) <<<".
    bool NameDeviceInOpenLine = false;

private:
    bool ReadImageFile(const std::string& fileName, std::size_t minSize, std::size_t& size);
    void Refuse(const std::string& reason);
    void PortLost();
    void Begin(TTransferMode mode, const char* title);

    TUploadProtocol& Protocol;
    TUploadView& View;
    TResponseTimer& Timer;
    XVclCtrl::TCustomUart& Port;
    int ConnectedFlag = 0;
};

} // namespace Link
