// The window keeps the user's work: a project opened from another folder keeps its model, the
// picture boxes show what MAKE ROM builds after Clear ALL, undo, redo and load, and undo of
// Clear ALL brings back the project's file link.

#include "ShownWindowTest.h"

#include "app/ui/StartFolder.h"
#include "app/ui/TImage.h"
#include "app/ui/TStringGrid.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using AppUi::TMainWindow;
using UiTest::TWorkFolder;

namespace {

void WriteText(const QString& path, const QByteArray& text) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
}

QByteArray ReadText(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QByteArray GreyProject = "[GLOBAL]\nZKFVERSION=ZKF780A_2.2\nCODEVER=KRV-GRY\n"
                               "[CTBL0]\nCODE_0=1\n";

// Runs the window's Save of the File menu after one edit and returns the saved file.
QByteArray EditAndSave(TMainWindow& window, const QString& project) {
    window.Form().StringGrid5->EditCell(2, 2, "2");
    window.findChild<QAction*>("actionSave")->trigger();
    return ReadText(project);
}

// A folder without settings file or picture library, as the home folder of a double-click.
class TEmptyCurrentFolder {
public:
    TEmptyCurrentFolder() : Previous(QDir::currentPath()) { QDir::setCurrent(Folder.path()); }
    ~TEmptyCurrentFolder() { QDir::setCurrent(Previous); }
    QString Path() const { return QDir::currentPath(); }

private:
    QTemporaryDir Folder;
    QString Previous;
};

} // namespace

// zkf780a-editor /path/to/w/demo.zkf started in the home folder.
TEST(ProjectFolderTest, ProjectArgumentStartsInItsWorkingFolderAndKeepsItsModel) {
    TWorkFolder work;
    const QString project = work.StartPath("demo.zkf");
    WriteText(project, GreyProject);
    TEmptyCurrentFolder home;
    EXPECT_EQ(AppUi::StartFolderForProject(home.Path(), "elsewhere.zkf"), home.Path());
    // What the program does with its argument before the window starts.
    QDir::setCurrent(AppUi::StartFolderForProject(home.Path(), project));

    XVclUtil::TMessageCapture messages;
    TMainWindow window(work.ProgramDir());
    EXPECT_TRUE(messages.Messages.empty());
    EXPECT_TRUE(window.StartupCompleted());
    ASSERT_TRUE(window.OpenProjectFile(project));
    EXPECT_EQ(window.Form().ComboBox2->currentText(), "KRV-GRY");
    EXPECT_TRUE(EditAndSave(window, project).contains("CODEVER=KRV-GRY\r\n"));
    // The desktop entry's next start without a project comes back to this folder.
    EXPECT_EQ(QFileInfo(AppUi::LastWorkingFolder()).canonicalFilePath(),
              QString::fromStdString(work.StartDir()));
}

// A project opened (dropped, File > Open) in a window that started in a folder without settings:
// the editor starts again in the project's working folder.
TEST(ProjectFolderTest, OpenedProjectMovesAWindowWithoutSettingsToItsFolder) {
    TWorkFolder work;
    const QString project = work.StartPath("demo.zkf");
    WriteText(project, GreyProject);
    TEmptyCurrentFolder home;
    XVclUtil::TMessageCapture messages;
    TMainWindow window(work.ProgramDir());
    ASSERT_FALSE(window.StartupCompleted());
    ASSERT_FALSE(messages.Messages.empty());
    EXPECT_EQ(window.Form().ComboBox2->count(), 0);

    ASSERT_TRUE(window.OpenProjectFile(project)); // what a drop or File > Open does

    EXPECT_TRUE(window.StartupCompleted());
    EXPECT_EQ(QString::fromStdString(window.Session().Context.StartDir),
              QFileInfo(project).absolutePath());
    EXPECT_EQ(window.Form().ComboBox2->count(), 3);
    EXPECT_EQ(window.Form().ComboBox2->currentText(), "KRV-GRY");
    EXPECT_EQ(window.StatusPanel(1)->text(), "Version: KRV-GRY");
    EXPECT_EQ(window.Form().StringGrid5->Cells(2, 1), "1");
    EXPECT_TRUE(EditAndSave(window, project).contains("CODEVER=KRV-GRY\r\n"));
}

// No settings file anywhere: the model of the file is still saved back.
TEST(ProjectFolderTest, WithoutAnySettingsTheLoadedModelIsSavedBack) {
    TEmptyCurrentFolder home;
    const QString project = home.Path() + "/demo.zkf";
    WriteText(project, GreyProject);
    XVclUtil::TMessageCapture messages;
    TMainWindow window;
    ASSERT_TRUE(window.OpenProjectFile(project));
    EXPECT_EQ(window.Form().ComboBox2->currentText(), "KRV-GRY");
    EXPECT_TRUE(EditAndSave(window, project).contains("CODEVER=KRV-GRY\r\n"));
}

namespace {

class WorkKeptTest : public UiTest::TShownWindowTest {
protected:
    // A title H picture chosen by a click on its box; returns what the box then shows.
    QImage ChooseTitleH(const QString& path) {
        UiTest::SaveMonoBmp(UiTest::MarkedPicture(104, 24, 7), path);
        Script.OpenAnswers.push_back(path.toStdString());
        QTest::mouseClick(Window.Image(3), Qt::LeftButton);
        return Window.Image(3)->Picture();
    }
    QString Title() const { return Window.windowTitle(); }
};

} // namespace

TEST_F(WorkKeptTest, ClearAllDiscardAndUndoShowWhatIsBuiltAndKeepTheFileLink) {
    const QImage library = Window.Image(3)->Picture();
    const QString titleFile = Folder.StartPath("grand-hotel.bmp");
    const QImage grandHotel = ChooseTitleH(titleFile);
    ASSERT_NE(grandHotel, library);
    Form.StringGrid5->EditCell(2, 1, "1");
    const QString project = Folder.StartPath("p.zkf");
    Script.SaveAnswers.push_back(project.toStdString());
    Trigger("actionSaveAs");
    ASSERT_TRUE(Title().startsWith("p.zkf \u2014 "));

    Form.StringGrid5->EditCell(2, 2, "2");
    Script.SaveChoiceAnswers.push_back(AppCore::TSaveChoice::Discard);
    Form.SpeedButton11->click(); // Clear ALL
    ASSERT_EQ(Script.SaveChoiceQuestions.size(), 1u);
    EXPECT_NE(Script.SaveChoiceQuestions[0].find("file link"), std::string::npos);
    // The box shows the library title, and that is what MAKE ROM now builds.
    EXPECT_EQ(Window.Image(3)->Picture(), library);
    EXPECT_EQ(Window.Session().Document.TITLEFILENAME_H, "");
    EXPECT_TRUE(Title().startsWith("Untitled* \u2014 "));

    Trigger("actionUndo");
    EXPECT_EQ(QString::fromStdString(Window.Session().Document.TITLEFILENAME_H), titleFile);
    EXPECT_EQ(Window.Image(3)->Picture(), grandHotel);
    EXPECT_EQ(Form.StringGrid5->Cells(2, 2), "2");
    EXPECT_TRUE(Title().startsWith("p.zkf* \u2014 "));
    EXPECT_EQ(Window.StatusPanel(0)->text(), "Project file: " + project);
    Trigger("actionSave"); // to the project's file, no dialog
    EXPECT_EQ(Script.SaveDialogs.size(), 1u);
    EXPECT_TRUE(ReadText(project).contains("CODE_1=2"));
    EXPECT_TRUE(Title().startsWith("p.zkf \u2014 "));

    Trigger("actionUndo"); // the edit of cell (2, 2), back to where Clear ALL started
    Trigger("actionRedo");
    Script.YesNoAnswers.push_back(true);
    Form.SpeedButton11->click(); // saved: the Yes/No question
    EXPECT_NE(Script.Questions.back().second.find("file link"), std::string::npos);
    Trigger("actionUndo");
    Trigger("actionRedo");
    EXPECT_EQ(Window.Image(3)->Picture(), library);
    EXPECT_TRUE(Title().startsWith("Untitled* \u2014 "));
    EXPECT_EQ(Window.StatusPanel(0)->text(), "Project file: ");
}

// Every undo and redo draws the boxes from the document, also a box that showed something else.
TEST_F(WorkKeptTest, UndoAndLoadDrawEveryBoxFromTheDocument) {
    const QImage library = Window.Image(3)->Picture();
    const QImage grandHotel = ChooseTitleH(Folder.StartPath("t.bmp"));
    Window.Image(3)->SetPicture(UiTest::MarkedPicture(104, 24, 99)); // out of step
    Form.RadioButton24->click();
    Trigger("actionUndo");
    EXPECT_EQ(Window.Image(3)->Picture(), grandHotel);
    Window.Image(3)->SetPicture(UiTest::MarkedPicture(104, 24, 99));
    Trigger("actionRedo");
    EXPECT_EQ(Window.Image(3)->Picture(), grandHotel);

    // A project without title 2 loaded over one with it: the box no longer shows that picture.
    const QString title2 = Folder.StartPath("t2.bmp");
    UiTest::SaveMonoBmp(UiTest::MarkedPicture(128, 32, 3), title2);
    Script.OpenAnswers.push_back(title2.toStdString());
    QTest::mouseClick(Window.Image(62), Qt::LeftButton);
    ASSERT_TRUE(Window.Image(62)->HasPicture());
    const QString other = Folder.StartPath("other.zkf");
    WriteText(other, "[GLOBAL]\nZKFVERSION=ZKF780A_2.2\n");
    Script.SaveChoiceAnswers.push_back(AppCore::TSaveChoice::Discard);
    ASSERT_TRUE(Window.OpenProjectFile(other));
    EXPECT_FALSE(Window.Image(62)->HasPicture()); // the test library has no title 2 either
    EXPECT_EQ(Window.Image(3)->Picture(), library);
}

// The selected cell's preview follows the document after Clear ALL and its undo.
TEST_F(WorkKeptTest, PreviewFollowsClearAllAndUndo) {
    Form.StringGrid5->EditCell(2, 1, "8");
    Form.StringGrid5->SelectCell(2, 1);
    const QImage eight = Window.Image(2)->Picture();
    Script.SaveChoiceAnswers.push_back(AppCore::TSaveChoice::Discard);
    Form.SpeedButton11->click();
    EXPECT_NE(Window.Image(2)->Picture(), eight);
    Trigger("actionUndo");
    EXPECT_EQ(Window.Image(2)->Picture(), eight);
}
