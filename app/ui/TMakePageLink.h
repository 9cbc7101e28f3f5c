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

    // A ROM image upload or application upgrade is under way (also while waiting for 'C').
    bool ImageTransferRunning() const;
    // The window closes: a running transfer is cancelled and the port closed, as Disconnect.
    void StopForQuit();

    // The ROM image the upload's Open dialog starts with (the one MAKE ROM writes).
    std::function<std::string()> RomFileToOffer;

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
    // A transfer that did not finish says so on the bar and its line, and whether the
    // controller may hold part of an image.
    void ShowTransferEnd(Link::TTransferOutcome outcome);

    QLabel* WaitLine = nullptr;
    std::unique_ptr<QObject> PortListWatch; // refreshes the port list before it opens
    QElapsedTimer TransferClock;            // since the first block of the transfer
    bool ImageBlocksSent = false;           // blocks of the running transfer went out

    Ui::TMainWindow& Form;
    QTimer& Timer1;
    AppCore::TUserPrompts& Prompts;
    std::function<void(bool)> SetCommandButtons;
};

} // namespace AppUi
