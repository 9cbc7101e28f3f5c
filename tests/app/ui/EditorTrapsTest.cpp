// The editor's safety nets, through the real window: the display view and picture warnings,
// projects that moved, dropped files, and the small traps of the pages.

#include "ShownWindowTest.h"

#include "app/core/TUserPrompts.h"
#include "app/ui/MessageBoxSink.h"
#include "app/ui/TImage.h"
#include "app/ui/TStringGrid.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMimeData>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

using AppUi::TMainWindow;

namespace {

class EditorTrapsTest : public UiTest::TShownWindowTest {
protected:
    void Drop(QWidget* target, const QString& file) {
        QApplication::processEvents(); // lays out a page just made current
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(file)});
        const QPointF at = target->mapTo(&Window, target->rect().center());
        QWidget* under = Window.childAt(at.toPoint());
        ASSERT_TRUE(under == target || target->isAncestorOf(under))
            << (under ? under->objectName().toStdString() : "none");
        // Sent to the widget under the pointer, in its coordinates, as a drag delivers it; the
        // drop goes to the widget that accepted the drag's entry.
        const QPoint local = under->mapFrom(&Window, at.toPoint());
        QDragEnterEvent enter(local, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(under, &enter);
        QDropEvent drop(local, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(under, &drop);
    }
};

// 100 x 20, white with a black bar and a grey block of 10 x 5.
QImage GreyPicture() {
    QImage picture(100, 20, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.fillRect(0, 0, 4, 20, Qt::black);
    painter.fillRect(50, 5, 10, 5, QColor(128, 128, 128));
    return picture;
}

TEST_F(EditorTrapsTest, DisplayViewAndPictureWarningsShowWhatTheRomHolds) {
    const QString file = Folder.StartPath("grey.bmp");
    ASSERT_TRUE(GreyPicture().save(file));
    Script.OpenAnswers.push_back(file.toStdString());
    QTest::mouseClick(Window.Image(1), Qt::LeftButton);
    const QString lines = Form.RichEdit1->toPlainText();
    EXPECT_TRUE(lines.contains("[Warning] grey.bmp: 50 grey pixels will show as white"));
    EXPECT_TRUE(lines.contains("[Warning] grey.bmp: 100 x 20 pixels, its place holds 128 x 24"));

    auto* view = Window.findChild<QCheckBox*>("DisplayViewCheckBox");
    ASSERT_NE(view, nullptr);
    view->click();
    // Vertical display: records are turned, so the height is padded to 24.
    QImage shown = Window.Image(1)->ShownPicture().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shown.size(), QSize(100, 24));
    EXPECT_EQ(shown.pixel(55, 7), qRgb(255, 255, 255)); // grey shows white
    EXPECT_EQ(shown.pixel(1, 7), qRgb(0, 0, 0));
    Form.RadioButton5->click(); // Horizontal: the width is padded instead
    shown = Window.Image(1)->ShownPicture();
    EXPECT_EQ(shown.size(), QSize(104, 20));
    view->click();
    EXPECT_EQ(Window.Image(1)->ShownPicture().size(), QSize(100, 20));
}

TEST_F(EditorTrapsTest, CellPreviewFollowsTypingAndRefusesWhatTheDisplayCannotShow) {
    AppUi::TStringGrid* grid = Form.StringGrid5;
    grid->SelectCell(2, 1);
    grid->edit(grid->currentIndex());
    auto* editor = grid->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    const QImage blank = Window.Image(2)->Picture();
    QTest::keyClicks(editor, "1");
    EXPECT_NE(Window.Image(2)->Picture(), blank); // before the cell is left
    QKeyEvent accent(QEvent::KeyPress, Qt::Key_Eacute, Qt::NoModifier,
                     QString::fromUtf8("\xC3\xA9"));
    QApplication::sendEvent(editor, &accent);
    EXPECT_EQ(editor->text(), "1");
    grid->EditCell(3, 1, QString::fromUtf8("2\xC3\xA9"));
    EXPECT_EQ(grid->Cells(3, 1), "");
    EXPECT_EQ(Window.Session().Document.CodeTables[1][0], "");
}

TEST_F(EditorTrapsTest, MovedProjectFindsItsPicturesWhateverTheCase) {
    QTemporaryDir oldPlace;
    const QString title = oldPlace.filePath("Title.BMP");
    const QString fire = oldPlace.filePath("FIRE.bmp");
    UiTest::SaveMonoBmp(UiTest::MarkedPicture(128, 24, 5), title);
    UiTest::SaveMonoBmp(UiTest::MarkedPicture(128, 32, 6), fire);
    Script.OpenAnswers = {title.toStdString(), fire.toStdString()};
    QTest::mouseClick(Window.Image(1), Qt::LeftButton);
    QTest::mouseDClick(Window.Image(24), Qt::LeftButton); // FIRE, variant A
    Script.SaveAnswers.push_back(oldPlace.filePath("moved.zkf").toStdString());
    Form.SpeedButton13->click();
    Form.StringGrid5->EditCell(2, 1, "1");
    ASSERT_TRUE(QFile::copy(oldPlace.filePath("moved.zkf"), Folder.StartPath("moved.zkf")));
    ASSERT_TRUE(QFile::rename(title, Folder.StartPath("title.bmp"))); // beside the project
    ASSERT_TRUE(QFile::rename(fire, Folder.StartPath("fire.BMP")));

    Script.SaveChoiceAnswers.push_back(AppCore::TSaveChoice::Discard);
    ASSERT_TRUE(Window.OpenProjectFile(Folder.StartPath("moved.zkf")));
    const AppCore::ProjectDocument& doc = Window.Session().Document;
    EXPECT_EQ(QString::fromStdString(doc.TITLEFILENAME_V), Folder.StartPath("title.bmp"));
    EXPECT_EQ(QString::fromStdString(doc.LiftStateImageTable[0]), Folder.StartPath("fire.BMP"));
    ASSERT_FALSE(Messages.Messages.empty());
    EXPECT_EQ(Messages.Messages.front().first, "Pictures of the project");
    const QString where = QFileInfo(Folder.StartPath("moved.zkf")).path() + "/";
    EXPECT_TRUE(QString::fromStdString(Messages.Messages.front().second)
                    .contains("Title.BMP found in " + where + "\nFIRE.bmp found in " + where))
        << Messages.Messages.front().second;
}

TEST_F(EditorTrapsTest, MovedProjectListsMissingPicturesAndShowsWhatMakeRomUses) {
    QTemporaryDir oldPlace;
    const QString fire = oldPlace.filePath("gone-fire.bmp");
    UiTest::SaveMonoBmp(UiTest::MarkedPicture(128, 32, 6), fire);
    Script.OpenAnswers = {fire.toStdString()};
    QTest::mouseDClick(Window.Image(24), Qt::LeftButton); // FIRE, variant A
    ASSERT_TRUE(Window.Image(24)->HasPicture());
    // Picture dialogs say what they pick and start with the current picture, in its folder.
    ASSERT_EQ(Script.OpenDialogs.size(), 1u);
    EXPECT_EQ(Script.OpenDialogs[0].Caption, "Open the lift-state picture 1A");
    QTest::mouseDClick(Window.Image(24), Qt::LeftButton); // cancelled
    ASSERT_EQ(Script.OpenDialogs.size(), 2u);
    EXPECT_EQ(QString::fromStdString(Script.OpenDialogs[1].FileName), fire);
    QTest::mouseClick(Window.Image(1), Qt::LeftButton); // cancelled
    ASSERT_EQ(Script.OpenDialogs.size(), 3u);
    EXPECT_EQ(Script.OpenDialogs[2].Caption, "Open the vertical title picture");
    Script.SaveAnswers.push_back(Folder.StartPath("moved.zkf").toStdString());
    Form.SpeedButton13->click();
    ASSERT_TRUE(QFile::remove(fire)); // found nowhere after the move

    Messages.Messages.clear();
    ASSERT_TRUE(Window.OpenProjectFile(Folder.StartPath("moved.zkf")));
    // The path the user chose is kept for saving; the boxes are empty, as MAKE ROM leaves the
    // picture out, rather than showing what was there before.
    EXPECT_EQ(QString::fromStdString(Window.Session().Document.LiftStateImageTable[0]), fire);
    EXPECT_FALSE(Window.Image(24)->HasPicture());
    EXPECT_FALSE(Window.Image(AppCore::Images::LiftStateRowPicture(0))->HasPicture());
    ASSERT_EQ(Messages.Messages.size(), 1u); // no error box naming a stock path
    const auto& [caption, text] = Messages.Messages.front();
    EXPECT_EQ(caption, "Pictures of the project");
    EXPECT_EQ(text, "Missing: " + fire.toStdString() + "\n");
    EXPECT_EQ(AppUi::MessageBoxIcon(QString::fromStdString(caption), QString::fromStdString(text)),
              QMessageBox::Warning);
    EXPECT_EQ(AppUi::MessageBoxIcon("Pictures of the project", "a.bmp found in /x/\n"),
              QMessageBox::Information);
}

TEST_F(EditorTrapsTest, DroppedFilesOpenProjectsAndPickPictures) {
    const QString project = Folder.StartPath("drop.zkf");
    Form.StringGrid5->EditCell(2, 5, "9");
    Script.SaveAnswers.push_back(project.toStdString());
    Form.SpeedButton13->click();
    Script.YesNoAnswers.push_back(true);
    Form.SpeedButton11->click();
    ASSERT_EQ(Form.StringGrid5->Cells(2, 5), "");
    Script.SaveChoiceAnswers.push_back(AppCore::TSaveChoice::Discard); // Clear ALL is a change
    Drop(Form.StringGrid5, project);
    EXPECT_EQ(Form.StringGrid5->Cells(2, 5), "9");

    const QString logo = Folder.StartPath("logo.bmp");
    UiTest::SaveMonoBmp(UiTest::MarkedPicture(112, 80, 4), logo);
    Form.PageControl1->setCurrentWidget(Form.TabSheet3);
    Drop(Window.Image(4), logo);
    EXPECT_EQ(QString::fromStdString(Window.Session().Document.TITLEFILENAME_C), logo);
}

TEST_F(EditorTrapsTest, SmallTraps) {
    // A third message variant is refused; two stay ticked. The boxes say what they select.
    EXPECT_EQ(Form.CheckBox4->text(), "English");
    Form.CheckBox4->click();
    EXPECT_FALSE(Form.CheckBox4->isChecked());
    EXPECT_EQ(Window.Session().Document.MsgCheckBoxes, 3);

    // A customer picture is cleared again, and that is undone like any change.
    const QString title2 = Folder.StartPath("t2.bmp");
    UiTest::SaveMonoBmp(UiTest::MarkedPicture(128, 32, 2), title2);
    Script.OpenAnswers.push_back(title2.toStdString());
    QTest::mouseClick(Window.Image(62), Qt::LeftButton);
    Window.findChild<QAction*>("ClearPictureImage62")->trigger();
    EXPECT_EQ(Window.Session().Document.TITLEFILENAME_2, "");
    EXPECT_FALSE(Window.Image(62)->HasPicture());
    Window.findChild<QAction*>("actionUndo")->trigger();
    EXPECT_EQ(QString::fromStdString(Window.Session().Document.TITLEFILENAME_2), title2);
    EXPECT_TRUE(Window.Image(62)->HasPicture());

    // Typed text that names no model does not stay in the Model list.
    Form.ComboBox2->setEditText("NO-SUCH");
    emit Form.ComboBox2->lineEdit()->editingFinished();
    EXPECT_EQ(Form.ComboBox2->currentText(), "KRV-RS");

    // An existing x.rom picked in the file list is the file MAKE ROM writes.
    QFile existing(Folder.StartPath("x.rom"));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.close();
    Window.FileListBox2Click("x.rom");
    Form.StringGrid5->EditCell(2, 1, "1");
    Script.SaveAnswers.push_back(Folder.StartPath("x.zkf").toStdString());
    Form.SpeedButton10->click();
    EXPECT_EQ(QFileInfo(Folder.StartPath("x.rom")).size(), 458752);
    EXPECT_FALSE(QFile::exists(Folder.StartPath("X.ROM")));
}

TEST(EditorProgramTest, AnswersHelpAndVersion) {
    QProcess editor;
    editor.start(ZKF780A_EDITOR, {"--version"});
    ASSERT_TRUE(editor.waitForFinished(60000));
    EXPECT_TRUE(editor.readAllStandardOutput().startsWith("zkf780a-editor "));
    editor.start(ZKF780A_EDITOR, {"--help"});
    ASSERT_TRUE(editor.waitForFinished(60000));
    EXPECT_TRUE(editor.readAllStandardOutput().contains("project.zkf"));
}

} // namespace
