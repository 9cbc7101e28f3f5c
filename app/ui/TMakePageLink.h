#pragma once
// The Make page's connection to the VRC-780A: the serial port component PcUart1, the upload
// protocol and its commands, shown in the page's controls (COM port list, Connect/Disconnect,
// the command buttons, "Msg. on", the message box and the progress bar) and timed by the
// window's Timer1. The window's slots hand their events to it.

#include "link/TResponseTimer.h"
#include "link/TUploadLink.h"
#include "link/TUploadView.h"

#include "KrvCtrl/TPcUart.h"

#include <QElapsedTimer>
#include <QObject>

#include <functional>
#include <memory>

class QLabel;
class QTimer;

namespace Ui {
class TMainWindow;
}

namespace AppCore {
class TUserPrompts;
}

namespace AppUi {

class TMakePageLink final : public Link::TUploadView, private Link::TResponseTimer {
public:
    // setCommandButtons switches the window's four command buttons together.
    TMakePageLink(Ui::TMainWindow& form, QTimer& timer1, AppCore::TUserPrompts& prompts,
                  std::function<void(bool)> setCommandButtons);
    ~TMakePageLink() override;

    void SpeedButton5Click(); // Connect / Disconnect
    void SpeedButton6Click(); // Date/Time sync
    void SpeedButton8Click(); // Upgrade LPV AP
    void SpeedButton9Click(); // UpLoad ROM Image
    void ComboBox11Change(int index);
    void Timer1Timer();

    KrvCtrl::TPcUart PcUart1;
    Link::TUploadLink Upload; // PcUart1, the protocol, its commands and Timer1 wired together

    // TUploadView: the page's controls.
    void AppendLine(const std::string& line) override;
    void ClearLines() override;
    void SetProgress(unsigned position) override;
    bool MsgOn() const override;
    void SetCommandButtonsEnabled(bool enabled) override;
    void ShowConnected(bool connected) override;

private:
    // TResponseTimer: Timer1.
    void Start() override;
    void Stop() override;
    bool Enabled() const override;

    std::optional<std::string> ChooseRomFile();
    // The COM port list, read again each time it is opened: "COM n — device" for the numbers
    // that map to a device found, then the serial devices no COM number maps to.
    void RefreshPortList();
    // The line above the progress bar: what the link waits for; empty when idle.
    void ShowWaiting(const QString& text);

    QLabel* WaitLine = nullptr;
    std::unique_ptr<QObject> PortListWatch; // refreshes the port list before it opens
    QElapsedTimer TransferClock;            // since the first block of the transfer

    Ui::TMainWindow& Form;
    QTimer& Timer1;
    AppCore::TUserPrompts& Prompts;
    std::function<void(bool)> SetCommandButtons;
};

} // namespace AppUi
