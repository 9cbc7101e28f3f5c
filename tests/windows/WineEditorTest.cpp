// The editor's window in the Windows build, under Wine with the offscreen platform, as a Windows
// user works with it: start-up in a sample working folder made by zkf780a.exe, a project opened
// from its C:\ path, MAKE ROM (the same bytes as the Linux build of the same folder), Connect and
// UpLoad ROM Image to the controller simulator over a COM port, and Disconnect in the middle of
// a second upload. run-wine-editor.sh prepares the folder, the reference image and the ports and
// passes them in the environment:
//   ZKF_WINE_WORK       the working folder (C:\...), holding demo.zkf and its default pictures
//   ZKF_WINE_REFERENCE  the image the Linux build made of the same folder
//   ZKF_WINE_COM        the COM number the simulator answers on (5 for COM5)
#include "app/core/TScriptedPrompts.h"
#include "app/ui/TMainWindow.h"
#include "app/ui/TMakePageLink.h"
#include "app/ui/TQtMainLoop.h"
#include "ui_MainWindow.h"

#include "XVclUtil/MessageBox.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTextEdit>

#include <gtest/gtest.h>

#include <functional>

namespace {

QString Env(const char* name) {
    return qEnvironmentVariable(name); // the wide environment: any letters come through
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Runs the window's events until done holds or ms passed.
bool PumpUntil(const std::function<bool()>& done, int ms) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > ms) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

QStringList Lines(AppUi::TMainWindow& window) {
    return window.Form().RichEdit1->toPlainText().split('\n');
}

class WineEditor : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 3;
        static char name[] = "WineEditor_tests", platform[] = "-platform",
                    offscreen[] = "offscreen";
        static char* argv[] = {name, platform, offscreen, nullptr};
        new QApplication(argc, argv);
        AppUi::TQtMainLoop::Install();
    }
    void SetUp() override {
        Work = Env("ZKF_WINE_WORK");
        if (Work.isEmpty()) GTEST_SKIP() << "run by run-wine-editor.sh";
        ASSERT_TRUE(QDir::setCurrent(Work)) << Work.toStdString();
    }

    QString Work;
};

TEST_F(WineEditor, BuildsTheLinuxImageAndUploadsItOverACom) {
    XVclUtil::TMessageCapture messages;
    // The sample folder holds its own DefaultImage tree: it is the program folder too.
    AppUi::TMainWindow window(Work.toStdString() + "\\");
    AppCore::TScriptedPrompts script;
    window.Prompts().SetDialogAnswers(&script);
    EXPECT_TRUE(window.windowTitle().contains("Lift LCD Editor"))
        << window.windowTitle().toStdString();

    // Load from the C:\ path, as the file dialog gives it.
    const QString project = Work + "\\demo.zkf";
    script.OpenAnswers.push_back(project.toStdString());
    window.Form().SpeedButton12->click();
    EXPECT_TRUE(window.windowTitle().contains("demo")) << window.windowTitle().toStdString();

    // MAKE ROM saves first: confirm the project's own path, decline to overwrite it.
    script.SaveAnswers.push_back(project.toStdString());
    script.YesNoAnswers.push_back(false);
    window.Form().SpeedButton10->click();
    ASSERT_FALSE(messages.Messages.empty());
    EXPECT_EQ(messages.Messages.back().second, "ROM create finish!!\n\n");
    const QByteArray image = ReadAll(Work + "\\DEMO.ROM");
    ASSERT_EQ(image.size(), 458752);
    EXPECT_TRUE(image == ReadAll(Env("ZKF_WINE_REFERENCE")))
        << "MAKE ROM under Windows differs from the Linux build of the same folder";

    // Connect to COM n and upload the image just built.
    const int com = Env("ZKF_WINE_COM").toInt();
    ASSERT_GT(com, 0);
    window.Form().ComboBox3->setCurrentIndex(com - 1);
    window.Form().SpeedButton5->click();
    ASSERT_EQ(window.Form().SpeedButton5->text(), "Disconnect")
        << Lines(window).join('\n').toStdString();
    script.OpenAnswers.push_back((Work + "\\DEMO.ROM").toStdString());
    window.Form().SpeedButton9->click();
    ASSERT_TRUE(PumpUntil(
        [&] { return Lines(window).contains("===> UpLoad ROM image finish.<==="); }, 300000))
        << Lines(window).join('\n').toStdString();

    // A second upload, stopped by Disconnect once it is under way.
    script.OpenAnswers.push_back((Work + "\\DEMO.ROM").toStdString());
    window.Form().SpeedButton9->click();
    ASSERT_TRUE(PumpUntil([&] { return window.Form().ProgressBar1->value() > 100; }, 120000))
        << Lines(window).join('\n').toStdString();
    window.Form().SpeedButton5->click();
    EXPECT_EQ(Lines(window).last(), "===> Transfer cancelled by Disconnect <===");
    EXPECT_EQ(window.Form().SpeedButton5->text(), "Connect");
    EXPECT_EQ(window.MakePageLink().Upload.Protocol.State.Mode, Link::TTransferMode::Idle);
}

} // namespace
