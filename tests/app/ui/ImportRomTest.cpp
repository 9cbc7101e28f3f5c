// File > Import ROM image... and Compare with ROM image... through the real window: an image
// built by the command-line tool comes back as an opened project, and MAKE ROM of that project
// compares as the same image until a cell changes.

#include "ShownWindowTest.h"
#include "UiTestEnv.h"

#include "XVclUtil/MessageBox.h"
#include "app/core/TScriptedPrompts.h"
#include "app/ui/TMainWindow.h"
#include "app/ui/TStringGrid.h"
#include "ui_MainWindow.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

#include <gtest/gtest.h>

namespace {

using UiTest::Cli;
using UiTest::RunCli;

void Trigger(AppUi::TMainWindow& window, const char* name) {
    QAction* action = window.findChild<QAction*>(QString::fromLatin1(name));
    ASSERT_NE(action, nullptr) << name;
    action->trigger();
}

} // namespace

TEST(ImportRomTest, ImportOpensTheProjectAndComparesTheSame) {
    if (!QFile::exists(Cli)) GTEST_SKIP() << "zkf780a not built";
    UiTest::EnsureApplication();
    QTemporaryDir dir;
    const QString work = dir.path();
    QString output;
    ASSERT_TRUE(RunCli({"sample-data", work, "--with-default-images"}, &output))
        << output.toStdString();
    ASSERT_TRUE(RunCli(
        {"build", work + "/demo.zkf", "-C", work, "--program-dir", work, "-o", work + "/X.ROM"},
        &output))
        << output.toStdString();
    const std::string rom = (work + "/X.ROM").toStdString();
    const std::string project = (work + "/imported/LIFT.zkf").toStdString();

    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(work));
    {
        XVclUtil::TMessageCapture messages;
        AppUi::TMainWindow window(work.toStdString() + "/");
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        AppCore::TScriptedPrompts script;
        window.Prompts().SetDialogAnswers(&script);
        Ui::TMainWindow& form = window.Form();

        // A file where the folder's DefaultImage tree goes: the import stops half way and the
        // project stays as it was.
        ASSERT_TRUE(QDir(work).mkpath("imported"));
        QFile blocker(work + "/imported/DefaultImage");
        ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        form.StringGrid5->EditCell(2, 1, "7");
        window.Session().History().MarkSaved();
        script.OpenAnswers.push_back(rom);
        script.SaveAnswers.push_back(project);
        Trigger(window, "actionImportRom");
        ASSERT_EQ(messages.Messages.size(), 1u);
        EXPECT_NE(messages.Messages[0].second.find("is not a folder"), std::string::npos)
            << messages.Messages[0].second;
        EXPECT_EQ(window.Session().Document.CodeTables[0][0], "7");
        EXPECT_EQ(form.StringGrid5->Cells(2, 1), "7");
        messages.Messages.clear();
        ASSERT_TRUE(blocker.remove());

        script.OpenAnswers.push_back(rom);
        script.SaveAnswers.push_back(project);
        Trigger(window, "actionImportRom");
        EXPECT_EQ(window.Session().ProjectPath, project);
        EXPECT_TRUE(QFile::exists(QString::fromStdString(project)));
        EXPECT_EQ(form.StringGrid5->Cells(2, 2), "B2"); // CTBL0, code 1
        EXPECT_EQ(form.StringGrid5->Cells(2, 4), "UBF_0");
        EXPECT_TRUE(form.RichEdit1->toPlainText().contains("Imported"));
        for (const auto& [caption, text] : messages.Messages)
            ADD_FAILURE() << caption << ": " << text;

        script.OpenAnswers.push_back(rom);
        Trigger(window, "actionCompareRom");
        EXPECT_TRUE(form.RichEdit1->toPlainText().contains("the images are the same"))
            << form.RichEdit1->toPlainText().toStdString();

        form.StringGrid5->EditCell(2, 2, "B3");
        script.OpenAnswers.push_back(rom);
        Trigger(window, "actionCompareRom");
        EXPECT_TRUE(form.RichEdit1->toPlainText().contains("CTBL0 0x01: B3 -> B2"))
            << form.RichEdit1->toPlainText().toStdString();
        EXPECT_TRUE(messages.Messages.empty());
        window.Session().History().MarkSaved(); // no question when the window closes
    }
    QDir::setCurrent(previous);
}

TEST(ImportRomTest, ADamagedImageIsRefusedAndNothingIsOpened) {
    UiTest::EnsureApplication();
    UiTest::TWorkFolder folder;
    XVclUtil::TMessageCapture messages;
    AppUi::TMainWindow window(folder.ProgramDir());
    AppCore::TScriptedPrompts script;
    window.Prompts().SetDialogAnswers(&script);
    const QString bad = folder.StartPath("BAD.ROM");
    QFile file(bad);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(458752, '\0'));
    file.close();
    window.Form().StringGrid5->EditCell(2, 1, "7");
    window.Session().History().MarkSaved();
    script.OpenAnswers.push_back(bad.toStdString());
    script.SaveAnswers.push_back(folder.StartPath("out/BAD.zkf").toStdString());
    Trigger(window, "actionImportRom");
    ASSERT_EQ(messages.Messages.size(), 1u);
    EXPECT_EQ(messages.Messages[0].first, "Import ROM image");
    EXPECT_NE(messages.Messages[0].second.find("is damaged: signature"), std::string::npos)
        << messages.Messages[0].second;
    EXPECT_EQ(window.Session().ProjectPath, "");
    EXPECT_EQ(window.Session().Document.CodeTables[0][0], "7");
    EXPECT_FALSE(QFile::exists(folder.StartPath("out")));
}
