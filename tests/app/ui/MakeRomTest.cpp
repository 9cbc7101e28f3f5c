// MAKE ROM from the window against the command-line build of the same project: the same
// bytes. Also the window's part of MAKE ROM: nothing to build, warning lines, emptied cells.

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

using AppUi::TMainWindow;

namespace {

const QString Cli = QStringLiteral(ZKF780A_CLI);

// Runs the command-line tool; its output on failure.
bool RunCli(const QStringList& args, QString* output) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(Cli, args);
    const bool done = process.waitForFinished(120000);
    *output = QString::fromLocal8Bit(process.readAll());
    return done && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

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

TEST(MakeRomTest, EmptyTablesBuildNothing) {
    UiTest::TWorkFolder folder;
    XVclUtil::TMessageCapture messages;
    TMainWindow window(folder.ProgramDir());
    AppCore::TScriptedPrompts script;
    window.Prompts().SetDialogAnswers(&script);
    window.Form().SpeedButton10->click();
    ASSERT_EQ(messages.Messages.size(), 1u);
    EXPECT_EQ(messages.Messages[0].first, "Warning");
    EXPECT_EQ(messages.Messages[0].second, "All CTBL is empty!!\n\n");
    EXPECT_TRUE(script.SaveDialogs.empty());
}

TEST(MakeRomTest, CancelledSaveStopsAfterClearingTheMessageBox) {
    UiTest::TWorkFolder folder;
    XVclUtil::TMessageCapture messages;
    TMainWindow window(folder.ProgramDir());
    AppCore::TScriptedPrompts script;
    window.Prompts().SetDialogAnswers(&script);
    window.Form().StringGrid5->EditCell(2, 1, "1");
    window.Prompts().AppendMessageLine("old line");
    window.Form().SpeedButton10->click();
    EXPECT_EQ(script.SaveDialogs.size(), 1u);
    EXPECT_EQ(window.Form().RichEdit1->toPlainText(), "");
    EXPECT_TRUE(messages.Messages.empty());
    EXPECT_FALSE(QFile::exists(folder.StartPath("ZKF780A.ROM")));
}

TEST(MakeRomTest, MissingFloorPictureIsReportedAndItsCellEmptied) {
    UiTest::TWorkFolder folder;
    XVclUtil::TMessageCapture messages;
    TMainWindow window(folder.ProgramDir());
    AppCore::TScriptedPrompts script;
    window.Prompts().SetDialogAnswers(&script);
    AppUi::TStringGrid* grid = window.Form().StringGrid5;
    grid->EditCell(2, 1, "1");
    grid->EditCell(4, 11, "NOPICTURE"); // CTBL2, code 10
    script.SaveAnswers.push_back(folder.StartPath("p.zkf").toStdString());
    window.Form().SpeedButton10->click();
    EXPECT_EQ(grid->Cells(4, 11), "");
    EXPECT_EQ(window.Session().Document.CodeTables[2][10], "");
    EXPECT_TRUE(window.Form().RichEdit1->toPlainText().contains(
        "[Warning] CTBL2-0A (10 ) not found --> auto cancel !!!"));
}

TEST(MakeRomTest, MissingPicturesAreNamedInWarnings) {
    UiTest::TWorkFolder folder;
    XVclUtil::TMessageCapture messages;
    TMainWindow window(folder.ProgramDir());
    AppCore::TScriptedPrompts script;
    window.Prompts().SetDialogAnswers(&script);
    const QString title = folder.StartPath("title.bmp");
    UiTest::SaveMonoBmp(UiTest::MarkedPicture(128, 24, 3), title);
    script.OpenAnswers.push_back(title.toStdString());
    QTest::mouseClick(window.Image(1), Qt::LeftButton);
    ASSERT_TRUE(QFile::remove(title));
    ASSERT_TRUE(QFile::remove(folder.LiftStatePath(0, 0))); // FIRE, variant A: M_150
    window.Form().StringGrid5->EditCell(2, 1, "1");
    window.Form().StringGrid5->EditCell(2, 2, "nopicture");
    script.SaveAnswers.push_back(folder.StartPath("p.zkf").toStdString());
    window.Form().SpeedButton10->click();

    const QString lines = window.Form().RichEdit1->toPlainText();
    EXPECT_TRUE(lines.contains("[Warning] lift-state picture M_150 " + folder.LiftStatePath(0, 0) +
                               " not found --> left out"))
        << lines.toStdString();
    EXPECT_TRUE(lines.contains("[Warning] customer title " + title +
                               " not found --> the library title is used"));
    EXPECT_TRUE(lines.contains(QString("[Warning] NOPICTURE.bmp was looked for in ") +
                               QString::fromStdString(folder.ProgramDir()) +
                               "DefaultImage/UserDefine/Floor/Style0/"));
    EXPECT_EQ(messages.Messages.back().second, "ROM create finish!!\n\n");
}
