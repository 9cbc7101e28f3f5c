#pragma once
// The commands behind the Make page's connection controls: Connect/Disconnect, Date/Time sync,
// UpLoad ROM Image, Upgrade LPV AP and the baud-rate list. Each command prepares the transfer
// state, writes its opening lines and starts the response timer; the transfer itself then runs
// in the protocol's reply and timeout handlers. The window and the command-line tool share it.

#include "link/TResponseTimer.h"
#include "link/TUploadProtocol.h"
#include "link/TUploadView.h"

#include "XVclCtrl/TCustomUart.h"

#include <functional>
#include <string>

namespace Link {

class TUploadCommands {
public:
    TUploadCommands(TUploadProtocol& protocol, TUploadView& view, TResponseTimer& timer,
                    XVclCtrl::TCustomUart& port);

    // Connect/Disconnect (SpeedButton5Click). assignPort runs between closing and opening, and
    // names the port to open (the window: UartPortNumber := ComboBox3's item index + 1).
    void ConnectDisconnect(const std::function<void()>& assignPort);
    bool Connected() const { return ConnectedFlag != 0; }

    // Date/Time sync (SpeedButton6Click).
    void DateTimeSync();
    // UpLoad ROM Image (SpeedButton9Click) once the file is chosen. False when the file is
    // refused (too large, empty, unreadable); the lines say why and nothing else changes.
    bool UploadRomImage(const std::string& fileName);
    // Upgrade LPV AP (SpeedButton8Click) once the file is chosen: the PM block of a ROM image.
    bool UpgradeAp(const std::string& fileName);
    // Baud rate list (ComboBox11Change): takes effect at the next Connect.
    void SelectBaud(const std::string& itemText);

    // The name the Open and Close lines give the port: "COM n", or the device path when one
    // was given directly.
    std::string PortLabel() const;

private:
    bool ReadImageFile(const std::string& fileName, std::size_t& size);
    void Begin(TTransferMode mode, const char* title);

    TUploadProtocol& Protocol;
    TUploadView& View;
    TResponseTimer& Timer;
    XVclCtrl::TCustomUart& Port;
    int ConnectedFlag = 0;
};

} // namespace Link
