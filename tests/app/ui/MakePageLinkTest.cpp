// The Make page's connection controls in the real window, talking to the simulated VRC-780A
// over a pseudo-terminal pair mapped to a COM number.

#include "ShownWindowTest.h"

#include "app/ui/TMakePageLink.h"

#include "tools/controllersim/TSimLine.h"
#include "tools/controllersim/TSimRunner.h"

#include "XVclCtrl/TComPortTable.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <random>
#include <unistd.h>

using AppUi::TMainWindow;
using UiTest::TWorkFolder;
using namespace std::chrono_literals;

namespace {

// Runs the event loop until cond holds. Unlike QTest::qWaitFor it does not sleep between
// rounds, so each hand-off from the port's monitor thread is served at once.
bool PumpUntil(const std::function<bool()>& cond, int ms) {
    QTimer tick;
    tick.start(5);
    QElapsedTimer clock;
    clock.start();
    while (!cond() && clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return cond();
}

class MakePageLinkTest : public UiTest::TShownWindowTest {
protected:
    ControllerSim::TSimLine Line = ControllerSim::TSimLine::CreatePty();
    std::unique_ptr<ControllerSim::TSimRunner> Sim;

    void SetUp() override {
        TShownWindowTest::SetUp();
        XVclCtrl::TComPortTable::Global().SetEntry(3, Line.PeerPath());
    }
    void TearDown() override {
        if (Sim) Sim->Stop();
        XVclCtrl::TComPortTable::Global().Clear();
    }
    void StartSim(ControllerSim::TSimOptions o = {}) {
        o.ReadyIntervalMs = 20;
        o.ResendAfterMs = 100;
        Sim = std::make_unique<ControllerSim::TSimRunner>(Line, o);
        Sim->Start();
    }
    void ConnectCom3() {
        Form.ComboBox3->setCurrentIndex(2);
        Form.SpeedButton5->click();
    }
    QStringList Lines() const { return Form.RichEdit1->toPlainText().split('\n'); }
    bool WaitForLine(const QString& line, int ms = 10000) {
        return PumpUntil([&] { return Lines().contains(line); }, ms);
    }
    std::string RomFile(std::size_t size, unsigned seed, std::vector<std::uint8_t>* bytes) {
        std::mt19937 rng(seed);
        bytes->resize(size);
        for (auto& b : *bytes) b = static_cast<std::uint8_t>(rng());
        const QString path = Folder.StartPath(QStringLiteral("UP%1.ROM").arg(seed));
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(reinterpret_cast<const char*>(bytes->data()), static_cast<qint64>(size));
        return path.toStdString();
    }
    bool CommandButtonsEnabled() const {
        return Form.SpeedButton6->isEnabled() && Form.SpeedButton9->isEnabled() &&
               Form.SpeedButton8->isEnabled() && Form.SpeedButton7->isEnabled();
    }
    bool CommandButtonsDisabled() const {
        return !Form.SpeedButton6->isEnabled() && !Form.SpeedButton9->isEnabled() &&
               !Form.SpeedButton8->isEnabled() && !Form.SpeedButton7->isEnabled();
    }
};

} // namespace

TEST_F(MakePageLinkTest, ControlsAtStartUp) {
    ASSERT_EQ(Form.ComboBox3->count(), 20);
    EXPECT_EQ(Form.ComboBox3->itemText(0), "COM 1");
    EXPECT_EQ(Form.ComboBox3->itemText(19), "COM 20");
    EXPECT_EQ(Form.ComboBox3->currentIndex(), 0);
    EXPECT_TRUE(Form.ComboBox3->isEnabled());
    EXPECT_EQ(Form.SpeedButton5->text(), "Connect");
    EXPECT_TRUE(Form.SpeedButton5->isEnabled());
    EXPECT_TRUE(CommandButtonsDisabled());
    EXPECT_FALSE(Form.SpeedButton7->isVisible());
    EXPECT_FALSE(Form.SpeedButton8->isVisible());
    EXPECT_FALSE(Form.ComboBox11->isVisible());
    EXPECT_FALSE(Form.CheckBox1->isChecked());
    EXPECT_EQ(Form.ProgressBar1->maximum(), 7168);
    EXPECT_EQ(Form.ProgressBar1->value(), 0);
    EXPECT_EQ(Window.MakePageLink().PcUart1.UartBaud(), 115200u);
    EXPECT_EQ(Window.MakePageLink().PcUart1.ComponentName(), "PcUart1");
}

// An image MAKE ROM made without one of its lift-state pictures passes every check, but the
// upload asks before sending it, as for a file that is no ROM image.
TEST_F(MakePageLinkTest, AnImageThatLacksPicturesIsAskedAbout) {
    ASSERT_TRUE(QFile::remove(Folder.LiftStatePath(0, 0))); // FIRE, variant A: M_150
    Form.StringGrid5->EditCell(2, 1, "1");
    Script.SaveAnswers.push_back(Folder.StartPath("p.zkf").toStdString());
    Form.SpeedButton10->click();
    ASSERT_EQ(Messages.Messages.back().second, "ROM create finish!!\n\n");
    // The Save As of MAKE ROM starts with a project named after the ROM file.
    ASSERT_EQ(Script.SaveDialogs.size(), 1u);
    EXPECT_EQ(Script.SaveDialogs[0].FileName, "ZKF780A.zkf");
    EXPECT_EQ(Script.SaveDialogs[0].Caption, "Save the project for MAKE ROM");
    StartSim();
    ConnectCom3();
    const std::string rom = Folder.StartPath("ZKF780A.ROM").toStdString();
    Script.OpenAnswers.push_back(rom);
    Script.OpenAnswers.push_back(rom);
    Form.SpeedButton9->click(); // UpLoad ROM Image, "No"
    Form.SpeedButton8->click(); // Upgrade LPV AP, "No"
    ASSERT_EQ(Script.Questions.size(), 2u);
    // The upload's Open dialog starts with the image MAKE ROM wrote.
    ASSERT_FALSE(Script.OpenDialogs.empty());
    EXPECT_EQ(QFileInfo(QString::fromStdString(Script.OpenDialogs[0].FileName)),
              QFileInfo(QString::fromStdString(rom)));
    EXPECT_EQ(Script.OpenDialogs[0].Caption, "Open the ROM image to upload");
    for (const auto& [caption, text] : Script.Questions) {
        EXPECT_EQ(caption, "Warning");
        EXPECT_EQ(
            text.rfind("Incomplete ROM image: lift-state entries without a picture: M_150", 0), 0u)
            << text;
        EXPECT_TRUE(text.ends_with(". Upload anyway?")) << text;
    }
    EXPECT_EQ(Window.MakePageLink().Upload.Protocol.State.Mode, Link::TTransferMode::Idle);
}

TEST_F(MakePageLinkTest, ConnectUploadDisconnect) {
    StartSim();
    ConnectCom3();
    EXPECT_EQ(Lines().last(),
              QString::fromStdString(">>> Open COM 3 (" + Line.PeerPath() + ") <<<"));
    EXPECT_EQ(Form.SpeedButton5->text(), "Disconnect");
    EXPECT_FALSE(Form.ComboBox3->isEnabled());
    EXPECT_TRUE(CommandButtonsEnabled());
    EXPECT_TRUE(Window.MakePageLink().PcUart1.Opened());

    std::vector<std::uint8_t> bytes;
    Script.OpenAnswers.push_back(RomFile(130, 1, &bytes));
    Script.OpenAnswers.push_back(RomFile(130, 1, &bytes));
    Form.SpeedButton9->click(); // "No": nothing is sent
    ASSERT_EQ(Script.Questions.size(), 1u);
    EXPECT_EQ(Script.Questions[0].second, "Not a ROM image made by MAKE ROM: size: 130 bytes, "
                                          "expected 458752. Upload anyway?");
    EXPECT_EQ(Window.MakePageLink().Upload.Protocol.State.Mode, Link::TTransferMode::Idle);
    Script.YesNoAnswers.push_back(true);
    Form.CheckBox1->setChecked(true);
    Form.SpeedButton9->click();
    ASSERT_EQ(Script.OpenDialogs.size(), 2u);
    EXPECT_EQ(Script.OpenDialogs[0].Filter, "ZKF780A ROM File (*.rom)|*.rom");
    EXPECT_EQ(QString::fromStdString(Script.OpenDialogs[0].FileName),
              QFileInfo(Folder.StartPath("ZKF780A.ROM")).filePath()); // what MAKE ROM writes
    ASSERT_TRUE(WaitForLine("===> UpLoad ROM image finish.<==="));
    const QStringList lines = Lines();
    EXPECT_EQ(lines[0], "*** UpLoad ROM image ***");
    EXPECT_EQ(lines[1], "=== Waiting VRC-780A respond.... ===");
    EXPECT_TRUE(lines[2].startsWith("===> Send data block: 1,CRC = "));
    EXPECT_TRUE(lines.last().startsWith(QString::fromUtf8("傳輸時間 = ")));
    EXPECT_EQ(Form.ProgressBar1->value(), 3);
    EXPECT_TRUE(Form.ProgressBar1->text().startsWith("3 / 3 blocks (100%), "));
    EXPECT_TRUE(Form.ProgressBar1->text().endsWith(" left"));
    EXPECT_EQ(Window.findChild<QLabel*>("LinkWaitLabel")->text(), ""); // ended
    EXPECT_TRUE(CommandButtonsEnabled());
    EXPECT_FALSE(Window.findChild<QTimer*>("Timer1")->isActive());

    const auto report = Sim->WaitForSession(5s);
    ASSERT_TRUE(report);
    ASSERT_EQ(report->Data.size(), 192u);
    EXPECT_EQ(0, std::memcmp(report->Data.data(), bytes.data(), 130));

    Form.SpeedButton5->click();
    EXPECT_EQ(Lines().last(), ">>> Close COM 3 <<<");
    EXPECT_EQ(Form.SpeedButton5->text(), "Connect");
    EXPECT_TRUE(Form.ComboBox3->isEnabled());
    EXPECT_TRUE(CommandButtonsDisabled());
    EXPECT_FALSE(Window.MakePageLink().PcUart1.Opened());
}

TEST_F(MakePageLinkTest, DateTimeSyncAndTheTimer) {
    ControllerSim::TSimOptions o;
    o.SilentAfterFrames = 0; // 'C' but no answer to the frame
    StartSim(o);
    ConnectCom3();
    Form.SpeedButton6->click();
    EXPECT_EQ(Lines(),
              (QStringList{"*** Date & Time Sync. ***", "=== Waiting VRC-780A respond.... ==="}));
    EXPECT_TRUE(CommandButtonsDisabled());
    auto* timer1 = Window.findChild<QTimer*>("Timer1");
    ASSERT_TRUE(timer1);
    EXPECT_EQ(timer1->interval(), 10000);
    EXPECT_TRUE(timer1->isActive());
    ASSERT_TRUE(PumpUntil([&] { return Sim->FramesSeen() == 1; }, 5000));
    for (int i = 0; i < 10; ++i) Window.Timer1Timer(); // ten silent intervals
    EXPECT_EQ(Lines().last(), "===> Transmit abort!! <===");
    EXPECT_EQ(Lines()[11], "===> VRC-780A respond timeout #10<===");
    EXPECT_FALSE(timer1->isActive());
    EXPECT_TRUE(CommandButtonsEnabled());
}

TEST_F(MakePageLinkTest, CancelledDialogChangesNothing) {
    StartSim();
    ConnectCom3();
    Form.SpeedButton9->click(); // the script has no answer: cancelled
    EXPECT_EQ(Lines(),
              QStringList{QString::fromStdString(">>> Open COM 3 (" + Line.PeerPath() + ") <<<")});
    EXPECT_TRUE(CommandButtonsEnabled());
    EXPECT_EQ(Window.MakePageLink().Upload.Protocol.State.Mode, Link::TTransferMode::Idle);
}

TEST_F(MakePageLinkTest, InvalidComNumberAndBaudList) {
    XVclCtrl::TComPortTable::Global().SetEntry(1, Folder.StartPath("no-such-tty").toStdString());
    Form.ComboBox3->setCurrentIndex(16); // "COM 17"
    Form.SpeedButton5->click();
    ASSERT_EQ(Messages.Messages.size(), 1u);
    EXPECT_EQ(Messages.Messages[0].first, "PcUart1");
    EXPECT_EQ(Messages.Messages[0].second, "Invalid value !!!");
    EXPECT_EQ(Lines()[0], ">>> Open COM 1 (" + Folder.StartPath("no-such-tty") + ") <<<");

    const int i38400 = Form.ComboBox11->findText("38400");
    ASSERT_GE(i38400, 0);
    Form.ComboBox11->setCurrentIndex(i38400);
    EXPECT_EQ(Window.MakePageLink().PcUart1.UartBaud(), 38400u);
}

TEST_F(MakePageLinkTest, ApplicationUpgradeFromTheHiddenButton) {
    StartSim();
    ConnectCom3();
    std::vector<std::uint8_t> bytes;
    Script.OpenAnswers.push_back(RomFile(458752, 2, &bytes));
    Script.YesNoAnswers.push_back(true); // random bytes: no ROM image, sent anyway
    Window.SpeedButton8Click();
    EXPECT_EQ(Lines()[0], "*** UpLoad ROM image[1] ***");
    ASSERT_TRUE(WaitForLine("===> UpLoad ROM image finish.<==="));
    EXPECT_EQ(Form.ProgressBar1->value(), 512);
    const auto report = Sim->WaitForSession(5s);
    ASSERT_TRUE(report);
    EXPECT_EQ(0, std::memcmp(report->Data.data(), bytes.data() + 0x4C000, 32768));
}

// A failed Open is said with the reason and a hint, and the window stays disconnected.
TEST_F(MakePageLinkTest, FailedOpenStaysDisconnected) {
    const std::string missing = Folder.StartPath("ttyUSB9").toStdString();
    XVclCtrl::TComPortTable::Global().SetEntry(5, missing);
    Form.ComboBox3->setCurrentIndex(4);
    Form.SpeedButton5->click();
    EXPECT_EQ(Lines(), (QStringList{QString::fromStdString(">>> Open COM 5 (" + missing + ") <<<"),
                                    QString::fromStdString("=== " + missing +
                                                           ": The comm device not exist !! ==="),
                                    QString::fromStdString("=== the device " + missing +
                                                           " does not exist (is the adapter "
                                                           "plugged in?) ===")}));
    EXPECT_EQ(Form.SpeedButton5->text(), "Connect");
    EXPECT_TRUE(Form.ComboBox3->isEnabled());
    EXPECT_TRUE(CommandButtonsDisabled());
}

// Disconnect ends a running transfer; a 'C' after the next Connect starts nothing.
TEST_F(MakePageLinkTest, DisconnectCancelsTheTransfer) {
    ConnectCom3();
    std::vector<std::uint8_t> bytes;
    Script.OpenAnswers.push_back(RomFile(4096, 3, &bytes));
    Script.YesNoAnswers.push_back(true);
    Form.SpeedButton9->click();
    auto& link = Window.MakePageLink();
    const auto sent = [&] { return link.Upload.Protocol.State.FrameSent; };
    ASSERT_EQ(::write(Line.Fd(), "C", 1), 1);
    ASSERT_TRUE(PumpUntil(sent, 5000));
    Form.SpeedButton5->click();
    EXPECT_EQ(Lines().last(), "===> Transfer cancelled by Disconnect <===");
    EXPECT_EQ(link.Upload.Protocol.State.Mode, Link::TTransferMode::Idle);
    link.Upload.Protocol.State.FrameSent = false; // watch for any frame from here on
    ConnectCom3();
    ASSERT_EQ(::write(Line.Fd(), "C", 1), 1);
    PumpUntil([] { return false; }, 300);
    EXPECT_FALSE(sent());
    EXPECT_TRUE(CommandButtonsEnabled());
}

TEST_F(MakePageLinkTest, PortListNamesTheDevicesWhenOpened) {
    QTest::keyClick(Form.ComboBox3, Qt::Key_Shift); // any key or press before the list opens
    ASSERT_GE(Form.ComboBox3->count(), 20);
    EXPECT_EQ(Form.ComboBox3->itemText(2),
              QString::fromUtf8("COM 3 \u2014 ") + QString::fromStdString(Line.PeerPath()));
    EXPECT_TRUE(Form.CheckBox1->isEnabled()); // "Msg. on"
    // Closed, the list is wide enough for a COM number with a USB adapter's device.
    EXPECT_GE(Form.ComboBox3->width(), Form.ComboBox3->fontMetrics().horizontalAdvance(
                                           QString::fromUtf8("COM 3 \u2014 /dev/ttyUSB0")));
    StartSim();
    ConnectCom3();
    EXPECT_EQ(Lines().last(),
              QString::fromStdString(">>> Open COM 3 (" + Line.PeerPath() + ") <<<"));
}

// Quitting (Ctrl+Q or closing the window) in the middle of an upload asks; No keeps the
// transfer going, Yes cancels it as Disconnect does and quits.
TEST_F(MakePageLinkTest, QuittingDuringATransferAsksAndStopsItAsDisconnect) {
    ConnectCom3();
    std::vector<std::uint8_t> bytes;
    Script.OpenAnswers.push_back(RomFile(4096, 4, &bytes));
    Script.YesNoAnswers.push_back(true); // not a MAKE ROM image: upload anyway
    Form.SpeedButton9->click();
    auto& link = Window.MakePageLink();
    ASSERT_EQ(::write(Line.Fd(), "C", 1), 1);
    ASSERT_TRUE(PumpUntil([&] { return link.Upload.Protocol.State.FrameSent; }, 5000));
    ASSERT_EQ(::write(Line.Fd(), "\x06", 1), 1); // ACK: block 2 goes out
    ASSERT_TRUE(PumpUntil([&] { return Form.ProgressBar1->value() >= 2; }, 5000));

    Script.YesNoAnswers.push_back(false);
    EXPECT_FALSE(Window.close());
    ASSERT_EQ(Script.Questions.size(), 2u);
    EXPECT_EQ(Script.Questions.back().second,
              "A transfer is running; the controller will hold a partial image. Stop it and quit?");
    EXPECT_TRUE(Window.isVisible());
    EXPECT_EQ(link.Upload.Protocol.State.Mode, Link::TTransferMode::RomImage);
    EXPECT_TRUE(link.PcUart1.Opened());

    Script.YesNoAnswers.push_back(true);
    Trigger("actionQuit");
    EXPECT_FALSE(Window.isVisible());
    EXPECT_EQ(link.Upload.Protocol.State.Mode, Link::TTransferMode::Idle);
    EXPECT_FALSE(link.PcUart1.Opened());
    EXPECT_TRUE(Lines().contains(">>> Close COM 3 <<<"));
    EXPECT_TRUE(Lines().contains("===> Transfer cancelled by Disconnect <==="));
    // The bar and its line say so instead of standing still at the last block.
    EXPECT_TRUE(Form.ProgressBar1->text().startsWith("cancelled at block 2"));
    EXPECT_TRUE(Window.findChild<QLabel*>("LinkWaitLabel")
                    ->text()
                    .contains("the controller may hold a partial image"));
}

// Disconnect before any block went out says "cancelled" without a partial image.
TEST_F(MakePageLinkTest, DisconnectWhileWaitingSaysCancelled) {
    ConnectCom3();
    std::vector<std::uint8_t> bytes;
    Script.OpenAnswers.push_back(RomFile(4096, 5, &bytes));
    Script.YesNoAnswers.push_back(true);
    Form.SpeedButton9->click();
    Form.SpeedButton5->click();
    EXPECT_EQ(Window.findChild<QLabel*>("LinkWaitLabel")->text(), "Transfer cancelled");
    // Nothing is asked on quitting once no transfer runs.
    EXPECT_TRUE(Window.close());
    EXPECT_EQ(Script.Questions.size(), 1u);
}
