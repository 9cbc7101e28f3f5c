// Undo, redo, the unsaved-changes guard, the title's modified mark and the menus of the real
// window.

#include "ShownWindowTest.h"

#include "app/ui/TImage.h"
#include "app/ui/TStringGrid.h"

#include <QAction>
#include <QFile>
#include <QTest>

#include <gtest/gtest.h>

using AppCore::TSaveChoice;
using AppUi::TMainWindow;

namespace {

class EditorHistoryTest : public UiTest::TShownWindowTest {
protected:
    void SaveAs(const QString& path) {
        Script.SaveAnswers.push_back(path.toStdString());
        Trigger("actionSaveAs");
    }
};

TEST_F(EditorHistoryTest, EveryKindOfChangeIsUndoneAndRedoneInOrder) {
    const AppCore::ProjectDocument start = Window.Session().Document;
    const QImage libraryTitle = Window.Image(1)->Picture();
    const QString title = Folder.StartPath("title.bmp");
    UiTest::SaveMonoBmp(UiTest::MarkedPicture(128, 24, 9), title);

    Form.StringGrid5->EditCell(3, 6, "12");
    Form.RadioButton24->click(); // FL Style 3
    Form.CheckBox2->click();
    QTest::keyClicks(Form.Edit3, "AB");
    Script.OpenAnswers.push_back(title.toStdString());
    QTest::mouseClick(Window.Image(1), Qt::LeftButton);
    const AppCore::ProjectDocument edited = Window.Session().Document;
    ASSERT_NE(Window.Image(1)->Picture(), libraryTitle);

    for (int step = 0; step < 5; ++step) Trigger("actionUndo");
    EXPECT_EQ(Window.Session().Document, start);
    EXPECT_EQ(Form.StringGrid5->Cells(3, 6), "");
    EXPECT_TRUE(Form.RadioButton21->isChecked());
    EXPECT_TRUE(Form.CheckBox2->isChecked());
    EXPECT_EQ(Form.Edit3->text(), ""); // both typed characters are one step
    EXPECT_EQ(Window.Image(1)->Picture(), libraryTitle);

    for (int step = 0; step < 5; ++step) Trigger("actionRedo");
    EXPECT_EQ(Window.Session().Document, edited);
    EXPECT_EQ(Form.StringGrid5->Cells(3, 6), "12");
    EXPECT_EQ(Form.Edit3->text(), "AB");
    EXPECT_NE(Window.Image(1)->Picture(), libraryTitle);
}

TEST_F(EditorHistoryTest, ClearAllAndCellsEmptiedByMakeRomAreUndone) {
    Form.StringGrid5->EditCell(2, 1, "1");
    Form.StringGrid5->EditCell(4, 11, "NOPICTURE");
    SaveAs(Folder.StartPath("p.zkf"));
    Script.SaveAnswers.push_back(Folder.StartPath("p.zkf").toStdString());
    Script.YesNoAnswers.push_back(true); // overwrite
    Form.SpeedButton10->click();
    ASSERT_EQ(Form.StringGrid5->Cells(4, 11), "");
    EXPECT_TRUE(Window.windowTitle().startsWith("p.zkf* \u2014 "));
    Trigger("actionUndo");
    EXPECT_EQ(Form.StringGrid5->Cells(4, 11), "NOPICTURE");
    EXPECT_TRUE(Window.windowTitle().startsWith("p.zkf \u2014 ")); // as saved

    Script.YesNoAnswers.push_back(true);
    Form.SpeedButton11->click();
    ASSERT_EQ(Script.Questions.back().first, "Clear ALL");
    ASSERT_EQ(Form.StringGrid5->Cells(2, 1), "");
    Trigger("actionUndo");
    EXPECT_EQ(Form.StringGrid5->Cells(2, 1), "1");
}

TEST_F(EditorHistoryTest, UnsavedChangesAreGuardedAndTheTitleShowsThem) {
    const QString caption = QString::fromStdString(Window.Session().Caption);
    EXPECT_EQ(Window.windowTitle(), caption);
    Form.StringGrid5->EditCell(2, 1, "1");
    EXPECT_EQ(Window.windowTitle(), "Untitled* \u2014 " + caption);

    // Cancel keeps the window open and the work in it; so does a cancelled Load or Clear ALL.
    EXPECT_FALSE(Window.close());
    EXPECT_TRUE(Window.isVisible());
    Form.SpeedButton12->click();
    Form.SpeedButton11->click();
    EXPECT_EQ(Script.SaveChoiceQuestions.size(), 3u);
    EXPECT_TRUE(Script.OpenDialogs.empty());
    EXPECT_EQ(Form.StringGrid5->Cells(2, 1), "1");

    // Save in the question saves through the dialog; the menu's Save then needs none.
    const QString project = Folder.StartPath("demo.zkf");
    Script.SaveChoiceAnswers.push_back(TSaveChoice::Save);
    Script.SaveAnswers.push_back(project.toStdString());
    Form.SpeedButton12->click(); // then the Load dialog, cancelled
    EXPECT_EQ(Window.windowTitle(), "demo.zkf \u2014 " + caption);
    EXPECT_EQ(Script.OpenDialogs.size(), 1u);
    Form.StringGrid5->EditCell(2, 2, "2");
    EXPECT_EQ(Window.windowTitle(), "demo.zkf* \u2014 " + caption);
    QFile::remove(project);
    Trigger("actionSave");
    EXPECT_EQ(Script.SaveDialogs.size(), 1u);
    EXPECT_TRUE(QFile::exists(project));
    EXPECT_EQ(Window.windowTitle(), "demo.zkf \u2014 " + caption);

    // Saved: Clear ALL still asks, and No keeps everything.
    Form.SpeedButton11->click();
    EXPECT_EQ(Script.Questions.back().first, "Clear ALL");
    EXPECT_EQ(Form.StringGrid5->Cells(2, 2), "2");
    EXPECT_TRUE(Window.close());
}

TEST_F(EditorHistoryTest, MenusCarryTheShortcuts) {
    const std::pair<const char*, QKeySequence> expected[] = {
        {"actionNew", QKeySequence("Ctrl+N")},
        {"actionOpen", QKeySequence("Ctrl+O")},
        {"actionSave", QKeySequence("Ctrl+S")},
        {"actionSaveAs", QKeySequence("Ctrl+Shift+S")},
        {"actionQuit", QKeySequence("Ctrl+Q")},
        {"actionUndo", QKeySequence("Ctrl+Z")},
        {"actionRedo", QKeySequence("Ctrl+Shift+Z")},
        {"actionMakeRom", QKeySequence("Ctrl+B")},
        {"actionUserGuide", QKeySequence("F1")}};
    for (const auto& [name, key] : expected) {
        QAction* action = Window.findChild<QAction*>(QString::fromLatin1(name));
        ASSERT_NE(action, nullptr) << name;
        EXPECT_TRUE(action->shortcuts().contains(key)) << name;
    }
    EXPECT_TRUE(
        Window.findChild<QAction*>("actionRedo")->shortcuts().contains(QKeySequence("Ctrl+Y")));
    // Ctrl+Z reaches the document from the grid.
    Form.StringGrid5->EditCell(2, 1, "7");
    Form.StringGrid5->setFocus();
    QTest::keyClick(Form.StringGrid5, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Form.StringGrid5->Cells(2, 1), "");
}

} // namespace
