// MAKE ROM from the window against the command-line build of the same project: the same
// bytes. Also the window's part of MAKE ROM: nothing to build, warning lines, emptied cells.

#include "ShownWindowTest.h"
#include "UiTestEnv.h"

#include "app/core/TScriptedPrompts.h"
#include "app/ui/TFolderBrowser.h"
#include "app/ui/TImage.h"
#include "app/ui/TMainWindow.h"
#include "app/ui/TStringGrid.h"
#include "ui_MainWindow.h"

#include "XVclUtil/MessageBox.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

#include <gtest/gtest.h>

#include <sys/stat.h>

using AppUi::TMainWindow;

namespace {

using UiTest::Cli;
using UiTest::RunCli;

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A sample working folder that names its own DefaultImage tree.
QString MakeSample(const QTemporaryDir& dir) {
    QString output;
    EXPECT_TRUE(RunCli({"sample-data", dir.path(), "--with-default-images"}, &output))
        << output.toStdString();
    return dir.path();
}

} // namespace

TEST(MakeRomTest, WindowBuildsTheSameBytesAsTheCommandLine) {
    if (!QFile::exists(Cli)) GTEST_SKIP() << "zkf780a not built";
    UiTest::EnsureApplication();
    QTemporaryDir windowDir, cliDir;
    const QString windowWork = MakeSample(windowDir);
    const QString cliWork = MakeSample(cliDir);

    QString output;
    ASSERT_TRUE(RunCli({"build", cliWork + "/demo.zkf", "-C", cliWork, "--program-dir", cliWork,
                        "-o", cliWork + "/CLI.ROM"},
                       &output))
        << output.toStdString();

    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(windowWork));
    {
        XVclUtil::TMessageCapture messages;
        TMainWindow window(windowWork.toStdString() + "/");
        AppCore::TScriptedPrompts script;
        window.Prompts().SetDialogAnswers(&script);
        const std::string project = (windowWork + "/demo.zkf").toStdString();
        script.OpenAnswers.push_back(project);
        window.Form().SpeedButton12->click();
        const QByteArray projectBytes = ReadAll(windowWork + "/demo.zkf");
        // MAKE ROM saves first: confirm the project's own path, decline to overwrite it.
        script.SaveAnswers.push_back(project);
        script.YesNoAnswers.push_back(false);
        window.Form().SpeedButton10->click();
        ASSERT_FALSE(messages.Messages.empty());
        EXPECT_EQ(messages.Messages.back().first, "Succeeded");
        EXPECT_EQ(messages.Messages.back().second, "ROM create finish!!\n\n");
        EXPECT_EQ(ReadAll(windowWork + "/demo.zkf"), projectBytes);
        EXPECT_TRUE(window.FolderBrowser().FileNames().contains("DEMO.ROM"));
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    }
    QDir::setCurrent(previous);

    const QByteArray windowRom = ReadAll(windowWork + "/DEMO.ROM");
    EXPECT_EQ(windowRom.size(), 458752);
    EXPECT_TRUE(windowRom == ReadAll(cliWork + "/CLI.ROM"));
    // The demo's model asks for the side file as well.
    const QByteArray windowBin = ReadAll(windowWork + "/DEMO.BIN");
    EXPECT_FALSE(windowBin.isEmpty());
    EXPECT_TRUE(windowBin == ReadAll(cliWork + "/CLI.BIN"));
}

// The window alone, not shown: MAKE ROM runs from its button.
class MakeRomWindowTest : public UiTest::TWindowTest {};

TEST_F(MakeRomWindowTest, EmptyTablesBuildNothing) {
    Form.SpeedButton10->click();
    ASSERT_EQ(Messages.Messages.size(), 1u);
    EXPECT_EQ(Messages.Messages[0].first, "Warning");
    EXPECT_EQ(Messages.Messages[0].second, "All CTBL is empty!!\n\n");
    EXPECT_TRUE(Script.SaveDialogs.empty());
}

TEST_F(MakeRomWindowTest, CancelledSaveStopsAfterClearingTheMessageBox) {
    Form.StringGrid5->EditCell(2, 1, "1");
    Window.Prompts().AppendMessageLine("old line");
    Form.SpeedButton10->click();
    EXPECT_EQ(Script.SaveDialogs.size(), 1u);
    EXPECT_EQ(Form.RichEdit1->toPlainText(), "");
    EXPECT_TRUE(Messages.Messages.empty());
    EXPECT_FALSE(QFile::exists(Folder.StartPath("ZKF780A.ROM")));
}

TEST_F(MakeRomWindowTest, MissingFloorPictureIsReportedAndItsCellEmptied) {
    AppUi::TStringGrid* grid = Form.StringGrid5;
    grid->EditCell(2, 1, "1");
    grid->EditCell(4, 11, "NOPICTURE"); // CTBL2, code 10
    Script.SaveAnswers.push_back(Folder.StartPath("p.zkf").toStdString());
    Form.SpeedButton10->click();
    EXPECT_EQ(grid->Cells(4, 11), "");
    EXPECT_EQ(Window.Session().Document.CodeTables[2][10], "");
    EXPECT_TRUE(Form.RichEdit1->toPlainText().contains(
        "[Warning] CTBL2-0A (10 ) not found --> auto cancel !!!"));
}

TEST_F(MakeRomWindowTest, MissingPicturesAreNamedInWarnings) {
    const QString title = Folder.StartPath("title.bmp");
    UiTest::SaveMonoBmp(UiTest::MarkedPicture(128, 24, 3), title);
    Script.OpenAnswers.push_back(title.toStdString());
    QTest::mouseClick(Window.Image(1), Qt::LeftButton);
    ASSERT_TRUE(QFile::remove(title));
    ASSERT_TRUE(QFile::remove(Folder.LiftStatePath(0, 0))); // FIRE, variant A: M_150
    Form.StringGrid5->EditCell(2, 1, "1");
    Form.StringGrid5->EditCell(2, 2, "nopicture");
    Script.SaveAnswers.push_back(Folder.StartPath("p.zkf").toStdString());
    Form.SpeedButton10->click();

    const QString lines = Form.RichEdit1->toPlainText();
    EXPECT_TRUE(lines.contains("[Warning] lift-state picture M_150 " + Folder.LiftStatePath(0, 0) +
                               " not found --> left out"))
        << lines.toStdString();
    EXPECT_TRUE(lines.contains("[Warning] customer title " + title +
                               " not found --> the library title is used"));
    EXPECT_TRUE(lines.contains(QString("[Warning] NOPICTURE.bmp was looked for in ") +
                               QString::fromStdString(Folder.ProgramDir()) +
                               "DefaultImage/UserDefine/Floor/Style0/"));
    EXPECT_EQ(Messages.Messages.back().second, "ROM create finish!!\n\n");
}

// A start-up that could not read the settings file (here a FIFO, which must not block it)
// leaves built-in model settings: MAKE ROM refuses, naming the file and the reason.
TEST(MakeRomStartupTest, RefusesAfterASettingsFileThatIsAFifo) {
    UiTest::EnsureApplication();
    UiTest::TWorkFolderOptions options;
    options.WithSettings = false;
    UiTest::TWorkFolder folder(options);
    const std::string settings = folder.StartDir() + "/KRVZKF780AS1.INI";
    ASSERT_EQ(::mkfifo(settings.c_str(), 0600), 0);
    XVclUtil::TMessageCapture messages;
    TMainWindow window(folder.ProgramDir());
    AppCore::TScriptedPrompts script;
    window.Prompts().SetDialogAnswers(&script);
    ASSERT_FALSE(messages.Messages.empty());
    EXPECT_EQ(messages.Messages[0].second.rfind("KRVZKF780AS1.INI file not found!!\n\n", 0), 0u)
        << messages.Messages[0].second;
    const std::size_t before = messages.Messages.size();
    window.Form().StringGrid5->EditCell(2, 1, "1");
    script.SaveAnswers.push_back(folder.StartPath("p.zkf").toStdString());
    window.Form().SpeedButton10->click();
    ASSERT_EQ(messages.Messages.size(), before + 1);
    EXPECT_EQ(messages.Messages.back().first, "File error");
    EXPECT_NE(messages.Messages.back().second.find("Cannot make the ROM image: " + settings +
                                                   "\n(a FIFO)"),
              std::string::npos)
        << messages.Messages.back().second;
    EXPECT_TRUE(script.SaveDialogs.empty()); // refused before anything, the save included
    EXPECT_FALSE(QFile::exists(folder.StartPath("ZKF780A.ROM")));
}
