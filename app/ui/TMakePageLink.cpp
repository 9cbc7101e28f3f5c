#include "app/ui/TMakePageLink.h"

#include "app/core/TUserPrompts.h"

#include "XVclCtrl/SerialDevices.h"
#include "XVclCtrl/TComPortTable.h"
#include "XVclUtil/FileUtil.h"
#include "link/TUploadFrame.h"
#include "rom/TRomImageReader.h"

#include "app/ui/TMainWindowForm.h"

#include <QBoxLayout>
#include <QEvent>
#include <QLabel>
#include <QProgressBar>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTimer>

namespace AppUi {

namespace {

constexpr const char* RomFileFilter = "ZKF780A ROM File (*.rom)|*.rom";
constexpr int ComItemCount = XVclCtrl::TComPortTable::MaxComNumber; // "COM 1" .. "COM 20"

// Runs an action when the watched list is about to open (mouse press or key).
class TPopupWatch : public QObject {
public:
    explicit TPopupWatch(std::function<void()> action) : Action(std::move(action)) {}
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::KeyPress)
            Action();
        return false;
    }

private:
    std::function<void()> Action;
};

void LoadComPortSettings() {
    // COM n names its device through the COMPORT section of the settings file.
    const char* settings = XVclCtrl::TComPortTable::SettingsFileName;
    if (XVclUtil::PathExists(settings)) XVclCtrl::TComPortTable::Global().LoadFromIniFile(settings);
}

} // namespace

TMakePageLink::TMakePageLink(Ui::TMainWindow& form, QTimer& timer1, AppCore::TUserPrompts& prompts,
                             std::function<void(bool)> setCommandButtons)
    : Upload(PcUart1, *this, *this), Form(form), Timer1(timer1), Prompts(prompts),
      SetCommandButtons(std::move(setCommandButtons)) {
    // PcUart1 as the form description sets it: 115200 baud, 8N1, no handshake, no filter.
    PcUart1.SetName("PcUart1");
    PcUart1.pw_UartPortNumber(1);
    PcUart1.pw_UartBaud(115200);
    PcUart1.pw_UartBitsPerByte(8);
    PcUart1.pw_SysUartTxdQueueSize(1024);
    PcUart1.pw_SysUartRxdQueueSize(1024);
    PcUart1.SysUartRxdIntervalTimeout = 3;
    PcUart1.RxdFilter_DelimiterChar = '\n';
    PcUart1.pw_RxdFilter_BytesOfPacket(1);
    Upload.Protocol.OnTransferEnded = [this](Link::TTransferOutcome outcome) {
        ShowTransferEnd(outcome);
    };
    // A file that the ROM image reader finds fault with, or an image that lacks pictures its
    // options use, goes to the controller only when the user says so.
    Upload.Commands.OnCheckImage = [this](std::span<const std::uint8_t> file) {
        const std::string objection = Rom::RomImageObjection(file);
        return objection.empty() || Prompts.AskYesNo("Warning", objection + ". Upload anyway?");
    };

    // The log names the device opened, as the command-line tool does.
    Upload.Commands.NameDeviceInOpenLine = true;
    Form.ComboBox3->setCurrentIndex(0);
    Form.ComboBox3->setEnabled(true);
    // Closed, the list still shows a COM number with its device.
    QStyleOptionComboBox option;
    option.initFrom(Form.ComboBox3);
    const QString widest = QStringLiteral("COM 20 \u2014 /dev/ttyUSB0");
    const QSize text(Form.ComboBox3->fontMetrics().horizontalAdvance(widest),
                     Form.ComboBox3->fontMetrics().height());
    Form.ComboBox3->setMinimumWidth(
        Form.ComboBox3->style()
            ->sizeFromContents(QStyle::CT_ComboBox, &option, text, Form.ComboBox3)
            .width());
    Form.SpeedButton5->setEnabled(true);
    Form.ComboBox11->setEnabled(true); // still hidden, as the form has it
    Form.CheckBox1->setEnabled(true);  // "Msg. on": the transfer time line after an upload
    Form.ProgressBar1->setRange(0, 7168);
    Form.ProgressBar1->setValue(0);
    PortListWatch = std::make_unique<TPopupWatch>([this] { RefreshPortList(); });
    Form.ComboBox3->installEventFilter(PortListWatch.get());
    WaitLine = new QLabel(Form.ProgressBar1->parentWidget());
    WaitLine->setObjectName(QStringLiteral("LinkWaitLabel"));
    for (QBoxLayout* layout : Form.ProgressBar1->parentWidget()->findChildren<QBoxLayout*>())
        if (const int at = layout->indexOf(Form.ProgressBar1); at >= 0)
            layout->insertWidget(at, WaitLine);
}

TMakePageLink::~TMakePageLink() {
    Timer1.stop();
    PcUart1.OnRxdDatas = nullptr;
    PcUart1.Close();
}

void TMakePageLink::SpeedButton5Click() {
    Upload.Commands.ConnectDisconnect([this] {
        LoadComPortSettings();
        // The items after COM 20 are devices without a COM number: opened by their path.
        const int index = Form.ComboBox3->currentIndex();
        PcUart1.UartDevicePath =
            index >= ComItemCount ? Form.ComboBox3->currentData().toString().toStdString() : "";
        if (index < ComItemCount) PcUart1.pw_UartPortNumber(static_cast<std::uint32_t>(index + 1));
    });
}

void TMakePageLink::RefreshPortList() {
    QComboBox* list = Form.ComboBox3;
    if (!list->isEnabled() || list->count() < ComItemCount) return;
    LoadComPortSettings();
    const auto devices = XVclCtrl::ListSerialDevices(XVclCtrl::TComPortTable::Global());
    const QSignalBlocker block(list);
    const QVariant chosen = list->currentData();
    const int index = list->currentIndex();
    while (list->count() > ComItemCount) list->removeItem(ComItemCount);
    for (int n = 1; n <= ComItemCount; ++n)
        list->setItemText(n - 1, QStringLiteral("COM %1").arg(n));
    for (const XVclCtrl::TSerialDeviceInfo& device : devices) {
        QString text = QString::fromStdString(device.Path);
        if (!device.Aliases.empty())
            text += QStringLiteral(" (%1)").arg(
                QString::fromStdString(XVclUtil::FileNameOfPath(device.Aliases.front())));
        if (device.ComNumber >= 1 && device.ComNumber <= ComItemCount)
            list->setItemText(device.ComNumber - 1,
                              QStringLiteral("COM %1 \u2014 %2").arg(device.ComNumber).arg(text));
        else
            list->addItem(text, QString::fromStdString(device.Path));
    }
    const int again = index >= ComItemCount ? list->findData(chosen) : index;
    list->setCurrentIndex(again >= 0 ? again : 0);
}

void TMakePageLink::SpeedButton6Click() {
    Upload.StartTransfer(Link::TTransferMode::DateTimeSync);
}

std::optional<std::string> TMakePageLink::ChooseRomFile() {
    return Prompts.OpenFileDialog(AppCore::TFileDialog{
        RomFileToOffer ? RomFileToOffer() : "", RomFileFilter, "", "Open the ROM image to upload"});
}

void TMakePageLink::SpeedButton9Click() {
    if (const auto file = ChooseRomFile())
        Upload.StartTransfer(Link::TTransferMode::RomImage, *file);
    if (Timer1.isActive()) ShowWaiting(QStringLiteral("Waiting for 'C' from the controller"));
}

void TMakePageLink::SpeedButton8Click() {
    if (const auto file = ChooseRomFile())
        Upload.StartTransfer(Link::TTransferMode::AppUpgrade, *file);
}

void TMakePageLink::ComboBox11Change(int index) {
    if (index >= 0) Upload.Commands.SelectBaud(Form.ComboBox11->itemText(index).toStdString());
}

void TMakePageLink::Timer1Timer() {
    Upload.Timer1Timer(&Timer1);
}

bool TMakePageLink::ImageTransferRunning() const {
    const Link::TTransferMode mode = Upload.Protocol.State.Mode;
    return mode == Link::TTransferMode::RomImage || mode == Link::TTransferMode::AppUpgrade;
}

void TMakePageLink::StopForQuit() {
    if (Upload.Commands.Connected()) SpeedButton5Click();
    Upload.Protocol.Cancel("===> Transfer cancelled by Disconnect <===");
}

void TMakePageLink::AppendLine(const std::string& line) {
    Form.RichEdit1->append(QString::fromStdString(line));
}

void TMakePageLink::ClearLines() {
    Form.RichEdit1->clear();
}

void TMakePageLink::SetProgress(unsigned position) {
    QProgressBar* bar = Form.ProgressBar1;
    bar->setValue(static_cast<int>(position));
    if (position > 0) ImageBlocksSent = true;
    if (position <= 1) TransferClock.start();
    // The bar's range stays that of a full image; the text counts this transfer's blocks.
    const int total = static_cast<int>(Upload.TotalBlocks());
    QString text = QStringLiteral("%1 / %2 blocks (%3%)")
                       .arg(position)
                       .arg(total)
                       .arg(total > 0 ? 100 * qint64(position) / total : 0);
    // Nanoseconds: a short transfer over a fast line can take less than a millisecond.
    const qint64 ns = TransferClock.isValid() ? TransferClock.nsecsElapsed() : 0;
    if (position > 1 && ns > 0 && int(position) <= total) {
        const double blocksPerSecond = 1e9 * (position - 1) / double(ns);
        const qint64 left = qint64((total - int(position)) / blocksPerSecond);
        text += QStringLiteral(", %1 KB/s, %2:%3 left")
                    .arg(blocksPerSecond * 64 / 1024, 0, 'f', 1)
                    .arg(left / 60)
                    .arg(left % 60, 2, 10, QLatin1Char('0'));
    }
    bar->setFormat(text);
    bar->setTextVisible(position > 0);
    ShowWaiting(position > 0 ? QStringLiteral("Waiting for the ACK of block %1").arg(position)
                             : QString());
}

void TMakePageLink::ShowTransferEnd(Link::TTransferOutcome outcome) {
    const bool blocksSent = ImageBlocksSent;
    ImageBlocksSent = false;
    if (outcome == Link::TTransferOutcome::Finished) return; // the bar shows the last block
    const QString how = outcome == Link::TTransferOutcome::Cancelled ? QStringLiteral("cancelled")
                        : outcome == Link::TTransferOutcome::Failed  ? QStringLiteral("failed")
                                                                     : QStringLiteral("aborted");
    QProgressBar* bar = Form.ProgressBar1;
    // Once a frame of this transfer went out, part of an image may be in the controller.
    const int blocks = bar->value();
    if (!blocksSent || blocks <= 0) {
        ShowWaiting(QStringLiteral("Transfer %1").arg(how));
        return;
    }
    const QString text = QStringLiteral("Transfer %1 at block %2: the controller may hold a "
                                        "partial image; upload the ROM image again")
                             .arg(how)
                             .arg(blocks);
    bar->setFormat(QStringLiteral("%1 at block %2 \u2014 partial image").arg(how).arg(blocks));
    bar->setTextVisible(true);
    ShowWaiting(text);
}

void TMakePageLink::ShowWaiting(const QString& text) {
    WaitLine->setText(text);
}

bool TMakePageLink::MsgOn() const {
    return Form.CheckBox1->isChecked();
}

void TMakePageLink::SetCommandButtonsEnabled(bool enabled) {
    if (enabled) ShowWaiting({}); // a transfer ended
    if (SetCommandButtons) SetCommandButtons(enabled);
}

void TMakePageLink::ShowConnected(bool connected) {
    Form.SpeedButton5->setText(connected ? QStringLiteral("Disconnect")
                                         : QStringLiteral("Connect"));
    Form.ComboBox3->setEnabled(!connected);
}

void TMakePageLink::Start() {
    Timer1.start();
}
void TMakePageLink::Stop() {
    Timer1.stop();
}
bool TMakePageLink::Enabled() const {
    return Timer1.isActive();
}

} // namespace AppUi
