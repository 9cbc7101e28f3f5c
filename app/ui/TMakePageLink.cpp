#include "app/ui/TMakePageLink.h"

#include "app/core/TUserPrompts.h"

#include "XVclCtrl/TComPortTable.h"
#include "XVclUtil/FileUtil.h"
#include "rom/TRomImageReader.h"

#include "ui_MainWindow.h"

#include <QTimer>

namespace AppUi {

namespace {
constexpr const char* RomFileFilter = "ZKF780A ROM File (*.rom)|*.rom";
} // namespace

TMakePageLink::TMakePageLink(Ui::TMainWindow& form, QTimer& timer1, AppCore::TUserPrompts& prompts,
                             std::function<void(bool)> setCommandButtons)
    : Protocol(*this, *this,
               [this](unsigned bytes, const void* data) { return PcUart1.SendData(bytes, data); }),
      Commands(Protocol, *this, *this, PcUart1), Form(form), Timer1(timer1), Prompts(prompts),
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
    PcUart1.OnRxdDatas = [this](XVclUtil::TComponent* sender, int bytes, void* datas) {
        Protocol.PcUart1RxdDatas(sender, bytes, datas);
    };
    // A file that the ROM image reader finds fault with goes to the controller only when the
    // user says so.
    Commands.OnCheckImage = [this](std::span<const std::uint8_t> file) {
        const std::string problem = Rom::RomImageProblem(file);
        return problem.empty() || Prompts.AskYesNo("Warning", "Not a ROM image made by MAKE ROM: " +
                                                                  problem + ". Upload anyway?");
    };

    Form.ComboBox3->setCurrentIndex(0);
    Form.ComboBox3->setEnabled(true);
    Form.SpeedButton5->setEnabled(true);
    Form.ComboBox11->setEnabled(true); // still hidden, as the form has it
    Form.ProgressBar1->setRange(0, 7168);
    Form.ProgressBar1->setValue(0);
}

TMakePageLink::~TMakePageLink() {
    Timer1.stop();
    PcUart1.OnRxdDatas = nullptr;
    PcUart1.Close();
}

void TMakePageLink::SpeedButton5Click() {
    Commands.ConnectDisconnect([this] {
        // COM n names its device through the COMPORT section of the settings file.
        const char* settings = XVclCtrl::TComPortTable::SettingsFileName;
        if (XVclUtil::PathExists(settings))
            XVclCtrl::TComPortTable::Global().LoadFromIniFile(settings);
        PcUart1.pw_UartPortNumber(static_cast<std::uint32_t>(Form.ComboBox3->currentIndex() + 1));
    });
}

void TMakePageLink::SpeedButton6Click() {
    Commands.DateTimeSync();
}

std::optional<std::string> TMakePageLink::ChooseRomFile() {
    return Prompts.OpenFileDialog(AppCore::TFileDialog{"", RomFileFilter, ""});
}

void TMakePageLink::SpeedButton9Click() {
    if (const auto file = ChooseRomFile()) Commands.UploadRomImage(*file);
}

void TMakePageLink::SpeedButton8Click() {
    if (const auto file = ChooseRomFile()) Commands.UpgradeAp(*file);
}

void TMakePageLink::ComboBox11Change(int index) {
    if (index >= 0) Commands.SelectBaud(Form.ComboBox11->itemText(index).toStdString());
}

void TMakePageLink::Timer1Timer() {
    Protocol.Timer1Timer(&Timer1);
}

void TMakePageLink::AppendLine(const std::string& line) {
    Form.RichEdit1->append(QString::fromStdString(line));
}

void TMakePageLink::ClearLines() {
    Form.RichEdit1->clear();
}

void TMakePageLink::SetProgress(unsigned position) {
    Form.ProgressBar1->setValue(static_cast<int>(position));
}

bool TMakePageLink::MsgOn() const {
    return Form.CheckBox1->isChecked();
}

void TMakePageLink::SetCommandButtonsEnabled(bool enabled) {
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
