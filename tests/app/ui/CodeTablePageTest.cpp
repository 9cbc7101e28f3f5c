// The CodeTable page of the real window: grid editing, preview, right-click clearing, the Model
// list, Clear ALL, and Save and Load through the window.

#include "ShownWindowTest.h"

#include "app/ui/TImage.h"
#include "app/ui/TStringGrid.h"

#include <QFile>
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

using AppUi::TMainWindow;
using AppUi::TStringGrid;
using UiTest::TWorkFolder;

namespace {

class CodeTablePageTest : public UiTest::TShownWindowTest {
protected:
    TStringGrid* Grid = Window.Form().StringGrid5;

    // Types text into a cell as the user does: the cell's editor commits it.
    void SetCell(int col, int row, const QString& text) {
        ASSERT_TRUE(Grid->EditCell(col, row, text));
    }

    void ClickCell(int col, int row, Qt::MouseButton button = Qt::LeftButton) {
        Grid->scrollTo(Grid->model()->index(row - 1, col));
        QTest::mouseClick(Grid->viewport(), button, {}, Grid->CellRect(col, row).center());
    }

    QImage Preview() { return Window.Image(2)->Picture().convertToFormat(QImage::Format_RGB32); }
};

// The canvas region at x, 56 x 80, equals the glyph.
bool GlyphAt(const QImage& canvas, int x, const QImage& glyph) {
    const QImage expected = glyph.convertToFormat(QImage::Format_RGB32);
    return canvas.copy(x, 0, 56, 80) == expected;
}

bool IsWhite(const QImage& canvas, const QRect& area) {
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (canvas.pixel(x, y) != qRgb(255, 255, 255)) return false;
    return true;
}

} // namespace

TEST_F(CodeTablePageTest, TypedCellReachesTheDocument) {
    QApplication::setActiveWindow(&Window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Window));
    Grid->SelectCell(3, 2);
    Grid->setFocus();
    QTest::keyClick(Grid, Qt::Key_1); // a key on the grid opens the cell's editor with it
    QWidget* editor = QApplication::focusWidget();
    ASSERT_NE(editor, Grid);
    QTest::keyClicks(editor, "2");
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents(); // the editor commits through a queued call
    EXPECT_EQ(Grid->Cells(3, 2), "12");
    EXPECT_EQ(Window.Session().Document.CodeTables[1][1], "12");
}

TEST_F(CodeTablePageTest, FixedCellsAreNotEditable) {
    EXPECT_FALSE(Grid->IsEditable(0, 1));
    EXPECT_FALSE(Grid->IsEditable(1, 6));
    EXPECT_TRUE(Grid->IsEditable(2, 6));
    EXPECT_FALSE(Grid->IsEditable(2, 0));
    EXPECT_FALSE(Grid->EditCell(1, 6, "X"));
    EXPECT_EQ(Grid->Cells(1, 6), "05 (5 )");
}

TEST_F(CodeTablePageTest, PreviewOfZeroFiveShowsTheGlyphCentred) {
    SetCell(2, 6, "05");
    ClickCell(2, 6);
    const QImage canvas = Preview();
    ASSERT_EQ(canvas.size(), QSize(120, 80));
    EXPECT_TRUE(GlyphAt(canvas, 28, UiTest::Glyph(0, '5')));
    EXPECT_TRUE(IsWhite(canvas, QRect(0, 0, 28, 80)));
    EXPECT_TRUE(IsWhite(canvas, QRect(84, 0, 36, 80)));
    EXPECT_TRUE(Messages.Messages.empty());
}

TEST_F(CodeTablePageTest, PreviewOfB1ShowsBothGlyphsSideBySide) {
    SetCell(4, 3, "b1");
    ClickCell(4, 3);
    const QImage canvas = Preview();
    EXPECT_TRUE(GlyphAt(canvas, 0, UiTest::Glyph(0, 'B')));
    EXPECT_TRUE(GlyphAt(canvas, 56, UiTest::Glyph(0, '1')));
}

TEST_F(CodeTablePageTest, PreviewFollowsTheFloorStyle) {
    Window.Form().RadioButton23->click(); // Style 2
    SetCell(2, 2, "7");
    ClickCell(2, 2);
    EXPECT_TRUE(GlyphAt(Preview(), 28, UiTest::Glyph(2, '7')));
}

TEST_F(CodeTablePageTest, PreviewOfFloorPictureLoadsTheStyleFolderFile) {
    Window.Form().RadioButton24->click(); // Style 3
    SetCell(5, 10, "b1arrow");
    ClickCell(5, 10);
    QImage expected;
    ASSERT_TRUE(expected.load(Folder.FloorPicturePath(3, "B1ARROW")));
    // The box shows 112 of the 120 painted columns.
    EXPECT_EQ(Preview().copy(0, 0, 112, 80), expected.convertToFormat(QImage::Format_RGB32));
}

TEST_F(CodeTablePageTest, MissingFloorPictureLeavesThePreview) {
    SetCell(2, 2, "8");
    ClickCell(2, 2);
    const QImage before = Preview();
    SetCell(2, 3, "NOSUCHPICTURE");
    ClickCell(2, 3);
    EXPECT_EQ(Preview(), before);
    EXPECT_TRUE(Messages.Messages.empty());
}

TEST_F(CodeTablePageTest, GlyphMissingFromTheLibraryShowsAnErrorAndKeepsThePreview) {
    SetCell(2, 2, "8");
    ClickCell(2, 2);
    const QImage before = Preview();
    SetCell(2, 3, "#");
    ClickCell(2, 3);
    EXPECT_EQ(Preview(), before);
    ASSERT_EQ(Messages.Messages.size(), 1u);
    EXPECT_EQ(Messages.Messages[0].first, "Error");
}

TEST_F(CodeTablePageTest, EmptyCellClearsThePreview) {
    SetCell(2, 2, "8");
    ClickCell(2, 2);
    ClickCell(2, 3);
    EXPECT_TRUE(IsWhite(Preview(), QRect(0, 0, 120, 80)));
}

TEST_F(CodeTablePageTest, RightClickEmptiesTheFocusedCellNotTheOneUnderThePointer) {
    SetCell(5, 5, "12"); // CTBL3, row 5
    SetCell(2, 2, "7");
    ClickCell(5, 5);
    ClickCell(2, 2, Qt::RightButton);
    EXPECT_EQ(Grid->Cells(5, 5), "");
    EXPECT_EQ(Window.Session().Document.CodeTables[3][4], "");
    EXPECT_EQ(Grid->Cells(2, 2), "7");
    EXPECT_EQ(Grid->Col(), 5);
    EXPECT_EQ(Grid->Row(), 5);
    EXPECT_TRUE(IsWhite(Preview(), QRect(0, 0, 120, 80)));
}

TEST_F(CodeTablePageTest, GrayModelRelabelsTheBitColumn) {
    Window.Form().ComboBox2->setCurrentIndex(1); // KRV-GRY
    EXPECT_EQ(Window.StatusPanel(1)->text(), "Version: KRV-GRY");
    EXPECT_EQ(Grid->Cells(0, 3), "000011");
    EXPECT_EQ(Grid->Cells(0, 4), "000010");
    EXPECT_EQ(Grid->Cells(0, 5), "000110");
    EXPECT_EQ(Grid->Cells(0, 33), "100000");
    EXPECT_EQ(Grid->Cells(0, 64), "110000");
    Window.Form().ComboBox2->setCurrentIndex(2); // KRV-BIN
    EXPECT_EQ(Window.StatusPanel(1)->text(), "Version: KRV-BIN");
    EXPECT_EQ(Grid->Cells(0, 4), "000011");
    EXPECT_EQ(Grid->Cells(0, 5), "000100");
    EXPECT_EQ(Grid->Cells(0, 64), "111111");
    EXPECT_EQ(Window.Session().Settings.CFI, 251); // KRV-BIN reads CFI and IFI
}

TEST_F(CodeTablePageTest, TypedModelTextThatNamesNoEntryKeepsTheModel) {
    Window.Form().ComboBox2->setEditText("KRV-G");
    EXPECT_EQ(Window.StatusPanel(1)->text(), "Version: KRV-RS");
    Window.Form().ComboBox2->setEditText("KRV-GRY");
    EXPECT_EQ(Window.StatusPanel(1)->text(), "Version: KRV-GRY");
}

TEST_F(CodeTablePageTest, ClearAllEmptiesTheTablesOnly) {
    SetCell(2, 1, "1");
    SetCell(7, 256, "B2");
    Script.SaveChoiceAnswers.push_back(AppCore::TSaveChoice::Discard); // unsaved changes
    QTest::mouseClick(Window.Form().SpeedButton11, Qt::LeftButton);
    for (int col = 2; col < 8; ++col)
        for (int row = 1; row <= 256; ++row) ASSERT_EQ(Grid->Cells(col, row), "");
    EXPECT_EQ(Grid->Cells(0, 2), "000001");
    EXPECT_EQ(Grid->Cells(1, 256), "FF (255 )");
    EXPECT_EQ(Window.StatusPanel(0)->text(), "Project file: ");
    EXPECT_TRUE(Window.Image(1)->HasPicture());
}

TEST_F(CodeTablePageTest, DefaultCodeTableButtons) {
    Window.Form().RadioButton19->click();
    EXPECT_EQ(Window.Session().Document.DEFCODETABLE, 4);
    Window.Form().RadioButton15->click();
    EXPECT_EQ(Window.Session().Document.DEFCODETABLE, 0);
}

TEST_F(CodeTablePageTest, SaveDialogUsesTheProjectFilter) {
    Script.SaveAnswers.push_back(std::nullopt);
    QTest::mouseClick(Window.Form().SpeedButton13, Qt::LeftButton);
    ASSERT_EQ(Script.SaveDialogs.size(), 1u);
    EXPECT_EQ(Script.SaveDialogs[0].Filter, "ZKF780A Project File (*.zkf)|*.zkf");
    EXPECT_EQ(Script.SaveDialogs[0].DefaultExt, "zkf");
    EXPECT_EQ(Script.SaveDialogs[0].FileName, "");
    EXPECT_TRUE(Window.Session().SaveIncomplete);
}

TEST_F(CodeTablePageTest, DateOfLettersStopsSaveBeforeTheDialog) {
    auto& f = Window.Form();
    f.PageControl1->setCurrentIndex(2);
    f.Edit2->setFocus();
    QTest::keyClicks(f.Edit2, "10A429");
    QTest::mouseClick(f.SpeedButton13, Qt::LeftButton);
    EXPECT_TRUE(Script.SaveDialogs.empty());
    ASSERT_EQ(Messages.Messages.size(), 1u);
    EXPECT_EQ(Messages.Messages[0].first, "Data error");
    EXPECT_EQ(Messages.Messages[0].second, "Date field data error!!\n");
}

TEST_F(CodeTablePageTest, SaveThatCannotBeWrittenNamesTheFile) {
    // A "folder" that is a file: no project file can be created below it.
    QFile blocker(Folder.StartPath("blocker"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString path = Folder.StartPath("blocker/p.zkf");
    Script.SaveAnswers.push_back(path.toStdString());
    QTest::mouseClick(Window.Form().SpeedButton13, Qt::LeftButton);
    // The settings engine names the folder it cannot create; the refused save then stops.
    ASSERT_FALSE(Messages.Messages.empty());
    EXPECT_NE(Messages.Messages[0].second.find("blocker"), std::string::npos);
    EXPECT_EQ(Window.StatusPanel(0)->text(), "Project file:");
}

TEST_F(CodeTablePageTest, LoadOfANonProjectFileChangesNothing) {
    QFile junk(Folder.StartPath("junk.zkf"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("[OTHER]\nA=1\n");
    junk.close();
    SetCell(2, 1, "5");
    Script.SaveChoiceAnswers.push_back(AppCore::TSaveChoice::Discard); // unsaved changes
    Script.OpenAnswers.push_back(junk.fileName().toStdString());
    QTest::mouseClick(Window.Form().SpeedButton12, Qt::LeftButton);
    ASSERT_EQ(Messages.Messages.size(), 1u);
    EXPECT_EQ(Messages.Messages[0].second, "ZKF file format error!!\n\n");
    EXPECT_EQ(Grid->Cells(2, 1), "5");
    EXPECT_EQ(Window.StatusPanel(0)->text(), "Project file:");
}
