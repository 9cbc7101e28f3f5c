// Save and Load through the window: every control set by the user comes back in a fresh
// window that loads the file.

#include "UiTestEnv.h"

#include "app/core/TScriptedPrompts.h"
#include "app/ui/TImage.h"
#include "app/ui/TMainWindow.h"
#include "app/ui/TStringGrid.h"
#include "ui_MainWindow.h"

#include "XVclUtil/MessageBox.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

using AppUi::TMainWindow;
using UiTest::TWorkFolder;

namespace {

void SetCell(TMainWindow& window, int col, int row, const QString& text) {
    window.Form().StringGrid5->EditCell(col, row, text);
}

void Type(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

// Sets every control the project file stores to a value other than its default.
void EditEverything(TMainWindow& window, const TWorkFolder& folder,
                    AppCore::TScriptedPrompts& script) {
    auto& f = window.Form();
    SetCell(window, 2, 1, " b1 ");
    SetCell(window, 3, 6, "05");
    SetCell(window, 7, 256, "b1arrow");
    f.ComboBox2->setCurrentIndex(1); // KRV-GRY
    f.RadioButton18->click();        // CTBL3
    f.RadioButton24->click();        // FL Style 3
    f.RadioButton33->click();        // DIR Style 7
    f.RadioButton7->click();         // Left
    f.CheckBox2->click();            // off
    f.CheckBox3->click();            // off
    f.CheckBox4->click();            // on: stored as 12
    f.RadioButton5->click();         // Horizontal
    f.RadioButton10->click();        // Customer title OFF
    f.RadioButton1->click();         // FL.Frame ON
    f.RadioButton39->click();        // Date-Time display OFF
    f.RadioButton11->click();        // week in another language
    f.ComboBox5->setCurrentIndex(2); // Spanish
    f.RadioButton14->click();        // DD MMM YYYY
    f.ComboBox1->setCurrentIndex(9); // 180 s
    Type(f.Edit1, "MYROM.bin");
    Type(f.Edit2, "100429");
    Type(f.Edit3, "AB12");
    // Pictures chosen in their boxes.
    const QString title = folder.StartPath("title.bmp");
    UiTest::SaveMonoBmp(UiTest::MarkedPicture(128, 24, 9), title);
    const QString logo = folder.StartPath("logo.bmp");
    UiTest::SaveMonoBmp(UiTest::MarkedPicture(112, 80, 7), logo);
    const QString fire = folder.StartPath("fire.bmp");
    UiTest::SaveMonoBmp(UiTest::MarkedPicture(128, 32, 77), fire);
    script.OpenAnswers.push_back(title.toStdString());
    QTest::mouseClick(window.Image(1), Qt::LeftButton);
    script.OpenAnswers.push_back(logo.toStdString());
    f.RadioButton4->click(); // ON (Sec.) asks for the logo first
    f.ComboBox4->setCurrentIndex(14);
    script.OpenAnswers.push_back(fire.toStdString());
    QTest::mouseDClick(window.Image(24), Qt::LeftButton); // FIRE, English normal
}

} // namespace

TEST(SaveLoadTest, RoundTripThroughTheWindow) {
    TWorkFolder folder;
    XVclUtil::TMessageCapture messages;
    const QString project = folder.StartPath("demo.zkf");
    AppCore::ProjectDocument saved;
    {
        TMainWindow window(folder.ProgramDir());
        AppCore::TScriptedPrompts script;
        window.Prompts().SetDialogAnswers(&script);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        EditEverything(window, folder, script);
        script.SaveAnswers.push_back(project.toStdString());
        QTest::mouseClick(window.Form().SpeedButton13, Qt::LeftButton);
        ASSERT_TRUE(messages.Messages.empty()) << messages.Messages[0].second;
        EXPECT_FALSE(window.Session().SaveIncomplete);
        EXPECT_EQ(window.StatusPanel(0)->text(), "Project file: " + project);
        EXPECT_EQ(window.Form().Edit1->text(), "MYROM.ROM");
        EXPECT_EQ(window.Session().Document.DEF_MSG, 12);
        // The boxes keep showing what the user ticked.
        EXPECT_FALSE(window.Form().CheckBox5->isChecked());
        saved = window.Session().Document;
    }
    ASSERT_TRUE(QFile::exists(project));

    TMainWindow window(folder.ProgramDir());
    AppCore::TScriptedPrompts script;
    window.Prompts().SetDialogAnswers(&script);
    script.OpenAnswers.push_back(project.toStdString());
    QTest::mouseClick(window.Form().SpeedButton12, Qt::LeftButton);
    ASSERT_TRUE(messages.Messages.empty()) << messages.Messages[0].second;
    auto& f = window.Form();
    EXPECT_EQ(window.StatusPanel(0)->text(), "Project file: " + project);
    EXPECT_EQ(window.StatusPanel(1)->text(), "Version: KRV-GRY");
    EXPECT_EQ(f.ComboBox2->currentText(), "KRV-GRY");
    EXPECT_EQ(f.StringGrid5->Cells(0, 4), "000010");
    EXPECT_EQ(f.StringGrid5->Cells(2, 1), "B1");
    EXPECT_EQ(f.StringGrid5->Cells(3, 6), "05");
    EXPECT_EQ(f.StringGrid5->Cells(7, 256), "B1ARROW");
    EXPECT_TRUE(f.RadioButton18->isChecked());
    EXPECT_TRUE(f.RadioButton24->isChecked());
    EXPECT_TRUE(f.RadioButton33->isChecked());
    EXPECT_TRUE(f.RadioButton7->isChecked());
    EXPECT_FALSE(f.CheckBox2->isChecked());
    EXPECT_FALSE(f.CheckBox3->isChecked());
    EXPECT_TRUE(f.CheckBox4->isChecked());
    EXPECT_TRUE(f.CheckBox5->isChecked());
    EXPECT_TRUE(f.RadioButton5->isChecked());
    EXPECT_TRUE(f.RadioButton10->isChecked());
    EXPECT_TRUE(f.RadioButton1->isChecked());
    EXPECT_TRUE(f.RadioButton39->isChecked());
    EXPECT_TRUE(f.RadioButton11->isChecked());
    EXPECT_EQ(f.ComboBox5->currentText(), "Spanish");
    EXPECT_TRUE(f.RadioButton14->isChecked());
    EXPECT_EQ(f.ComboBox1->currentText(), "180");
    EXPECT_EQ(f.Edit1->text(), "MYROM.ROM");
    EXPECT_EQ(f.Edit2->text(), "100429");
    EXPECT_EQ(f.Edit3->text(), "AB12");
    EXPECT_TRUE(f.RadioButton4->isChecked());
    EXPECT_TRUE(f.ComboBox4->isEnabled());
    EXPECT_EQ(f.ComboBox4->currentText(), "15");
    QImage title;
    title.load(folder.StartPath("title.bmp"));
    EXPECT_EQ(UiTest::Rgb(window.Image(1)->Picture()), UiTest::Rgb(title));
    QImage fire;
    fire.load(folder.StartPath("fire.bmp"));
    EXPECT_EQ(UiTest::Rgb(window.Image(24)->Picture()), UiTest::Rgb(fire));
    EXPECT_EQ(UiTest::Rgb(window.Image(63)->Picture()), UiTest::Rgb(fire));

    // The document the window holds after loading is the one it saved.
    AppCore::ProjectDocument loaded = window.Session().Document;
    EXPECT_EQ(loaded.CodeTables[0][0], "B1");
    saved.CodeTables[0][0] = "B1";
    saved.CodeTables[5][255] = "B1ARROW";
    saved.ROMFILENAME = "MYROM.ROM";
    EXPECT_EQ(loaded.LiftStateImageTable, saved.LiftStateImageTable);
    EXPECT_EQ(loaded.CodeTables, saved.CodeTables);
    EXPECT_EQ(loaded.TITLEFILENAME_V, saved.TITLEFILENAME_V);
    EXPECT_EQ(loaded.TITLEFILENAME_C, saved.TITLEFILENAME_C);
}

TEST(SaveLoadTest, OverwriteQuestionAnsweredNoWritesNothing) {
    TWorkFolder folder;
    XVclUtil::TMessageCapture messages;
    const QString project = folder.StartPath("old.zkf");
    QFile old(project);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("[KEEP]\nA=1\n");
    old.close();
    TMainWindow window(folder.ProgramDir());
    AppCore::TScriptedPrompts script;
    window.Prompts().SetDialogAnswers(&script);
    script.SaveAnswers.push_back(project.toStdString());
    script.YesNoAnswers.push_back(false);
    QTest::mouseClick(window.Form().SpeedButton13, Qt::LeftButton);
    ASSERT_EQ(script.Questions.size(), 1u);
    EXPECT_EQ(script.Questions[0].first, "Overlay file");
    EXPECT_EQ(script.Questions[0].second, "File exist!!\n\nOverlay?\n");
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), QByteArray("[KEEP]\nA=1\n"));
    EXPECT_FALSE(window.Session().SaveIncomplete);
}

TEST(SaveLoadTest, ReadOnlyProjectLoadsWithoutBeingWritten) {
    TWorkFolder folder;
    XVclUtil::TMessageCapture messages;
    const QString project = folder.StartPath("ro.zkf");
    {
        TMainWindow window(folder.ProgramDir());
        AppCore::TScriptedPrompts script;
        window.Prompts().SetDialogAnswers(&script);
        SetCell(window, 4, 3, "12");
        window.Form().RadioButton25->click(); // FL Style 4
        script.SaveAnswers.push_back(project.toStdString());
        window.Form().SpeedButton13->click();
    }
    ASSERT_TRUE(QFile::setPermissions(project, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    const QByteArray bytes = [&] {
        QFile file(project);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    const QDateTime modified = QFileInfo(project).lastModified();

    TMainWindow window(folder.ProgramDir());
    AppCore::TScriptedPrompts script;
    window.Prompts().SetDialogAnswers(&script);
    script.OpenAnswers.push_back(project.toStdString());
    window.Form().SpeedButton12->click();
    EXPECT_TRUE(messages.Messages.empty());
    EXPECT_EQ(window.Form().StringGrid5->Cells(4, 3), "12");
    EXPECT_TRUE(window.Form().RadioButton25->isChecked());
    QFile file(project);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), bytes);
    EXPECT_EQ(QFileInfo(project).lastModified(), modified);
    QFile::setPermissions(project, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}
