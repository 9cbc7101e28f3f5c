// The window's building blocks on their own: picture box, string grid, dialog filters, busy
// cursor.

#include "UiTestEnv.h"

#include "app/ui/TBusyCursor.h"
#include "app/ui/TImage.h"
#include "app/ui/TLazyPage.h"
#include "app/ui/TPictureBoxes.h"
#include "app/ui/TStringGrid.h"
#include "app/ui/TWindowPrompts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include <gtest/gtest.h>

TEST(TImageTest, LoadFailureKeepsThePicture) {
    UiTest::EnsureApplication();
    QTemporaryDir dir;
    const QString good = dir.filePath("good.bmp");
    UiTest::SaveMonoBmp(UiTest::MarkedPicture(20, 10, 1), good);
    AppUi::TImage image;
    image.setFixedSize(20, 10);
    ASSERT_TRUE(image.LoadFromFile(good));
    const QImage loaded = image.Picture();
    EXPECT_FALSE(image.LoadFromFile(dir.filePath("missing.bmp")));
    EXPECT_FALSE(image.LoadFromFile(QString()));
    EXPECT_EQ(image.Picture(), loaded);
}

TEST(TImageTest, ClickAndDoubleClickSignals) {
    UiTest::EnsureApplication();
    AppUi::TImage image;
    image.setFixedSize(30, 30);
    image.show();
    QSignalSpy clicks(&image, &AppUi::TImage::Click);
    QSignalSpy doubleClicks(&image, &AppUi::TImage::DblClick);
    QTest::mouseClick(&image, Qt::LeftButton);
    EXPECT_EQ(clicks.count(), 1);
    QTest::mouseClick(&image, Qt::RightButton);
    EXPECT_EQ(clicks.count(), 1);
    QTest::mouseDClick(&image, Qt::LeftButton);
    EXPECT_EQ(doubleClicks.count(), 1);
    EXPECT_EQ(clicks.count(), 1); // the double click is no second click
}

TEST(TImageTest, PaintsLargePicturesInsideTheBox) {
    UiTest::EnsureApplication();
    AppUi::TImage image;
    image.setFixedSize(40, 20);
    QImage big(400, 200, QImage::Format_RGB32);
    big.fill(Qt::black);
    image.SetPicture(big);
    const QImage shown = image.grab().toImage();
    EXPECT_EQ(shown.size(), QSize(40, 20) * shown.devicePixelRatio());
    EXPECT_EQ(image.size(), QSize(40, 20));
    image.setProportional(true);
    EXPECT_FALSE(image.grab().isNull());
}

TEST(TImageTest, PrepareCanvasIsWhiteOfTheGivenSize) {
    UiTest::EnsureApplication();
    AppUi::TImage image;
    QImage& canvas = image.PrepareCanvas(120, 80);
    EXPECT_EQ(canvas.size(), QSize(120, 80));
    EXPECT_EQ(canvas.pixel(119, 79), qRgb(255, 255, 255));
}

TEST(TStringGridTest, CellsAreAddressedByColumnAndRow) {
    UiTest::EnsureApplication();
    AppUi::TStringGrid grid;
    grid.SetDimensions(4, 11, 1);
    EXPECT_EQ(grid.ColCount(), 4);
    EXPECT_EQ(grid.RowCount(), 11);
    grid.SetCells(2, 0, "head");
    grid.SetCells(3, 10, "last");
    EXPECT_EQ(grid.Cells(2, 0), "head");
    EXPECT_EQ(grid.model()->headerData(2, Qt::Horizontal).toString(), "head");
    EXPECT_EQ(grid.Cells(3, 10), "last");
    EXPECT_EQ(grid.model()->index(9, 3).data().toString(), "last");
    EXPECT_EQ(grid.Cells(4, 1), "");
    EXPECT_EQ(grid.Cells(0, 11), "");
}

TEST(TStringGridTest, ProgramSetCellsAreNoEdits) {
    UiTest::EnsureApplication();
    AppUi::TStringGrid grid;
    grid.SetDimensions(3, 5, 1);
    QSignalSpy edits(&grid, &AppUi::TStringGrid::CellEdited);
    grid.SetCells(1, 1, "x");
    EXPECT_EQ(edits.count(), 0);
    EXPECT_TRUE(grid.EditCell(1, 1, "y"));
    ASSERT_EQ(edits.count(), 1);
    EXPECT_EQ(edits[0][0].toInt(), 1);
    EXPECT_EQ(edits[0][1].toInt(), 1);
    EXPECT_EQ(edits[0][2].toString(), "y");
}

// Cells set between BeginUpdate and EndUpdate reach the view as one change of the header and
// one of the cells; texts set again unchanged report nothing.
TEST(TStringGridTest, BatchedCellsReachTheViewOnce) {
    UiTest::EnsureApplication();
    AppUi::TStringGrid grid;
    grid.SetDimensions(5, 8, 1);
    QAbstractItemModel* model = grid.model();
    QSignalSpy headers(model, &QAbstractItemModel::headerDataChanged);
    QSignalSpy cells(model, &QAbstractItemModel::dataChanged);
    grid.BeginUpdate();
    grid.SetCells(3, 0, "three");
    grid.SetCells(1, 0, "one");
    grid.BeginUpdate(); // nested: the outer EndUpdate reports
    grid.SetCells(2, 6, "x");
    grid.SetCells(4, 2, "y");
    grid.EndUpdate();
    EXPECT_EQ(grid.Cells(2, 6), "x"); // stored at once
    EXPECT_EQ(headers.count() + cells.count(), 0);
    grid.EndUpdate();
    ASSERT_EQ(headers.count(), 1);
    EXPECT_EQ(headers[0][1].toInt(), 1);
    EXPECT_EQ(headers[0][2].toInt(), 3);
    ASSERT_EQ(cells.count(), 1);
    EXPECT_EQ(cells[0][0].toModelIndex(), model->index(1, 2)); // grid rows 2 .. 6
    EXPECT_EQ(cells[0][1].toModelIndex(), model->index(5, 4));

    grid.BeginUpdate();
    grid.SetCells(2, 6, "x");
    grid.EndUpdate();
    grid.EndUpdate(); // unmatched: ignored
    EXPECT_EQ(headers.count(), 1);
    EXPECT_EQ(cells.count(), 1);
    grid.SetCells(2, 6, "z");
    EXPECT_EQ(cells.count(), 2); // outside a batch each change reports itself
}

// A box not made yet keeps what is shown in it; the box takes it over, with the display view,
// when its page is made.
TEST(TPictureBoxesTest, BoxesMadeLaterTakeOverTheirPictures) {
    UiTest::EnsureApplication();
    AppUi::TPictureBoxes boxes;
    EXPECT_FALSE(boxes.Exists(0));
    EXPECT_FALSE(boxes.Exists(73));
    EXPECT_TRUE(boxes.Exists(72));
    const QImage picture = UiTest::MarkedPicture(24, 5, 3);
    boxes.SetPicture(30, picture);
    boxes.SetPicture(31, picture);
    boxes.ClearPicture(31);
    boxes.SetDisplayView(true, true);
    EXPECT_EQ(boxes.Box(30), nullptr);
    EXPECT_EQ(boxes.Picture(30), picture);

    QWidget page;
    auto* box30 = new AppUi::TImage(&page);
    box30->setObjectName("Image30");
    auto* box31 = new AppUi::TImage(&page);
    box31->setObjectName("Image31");
    auto* other = new AppUi::TImage(&page);
    other->setObjectName("Image30x");
    boxes.Adopt(page.findChildren<AppUi::TImage*>());
    EXPECT_EQ(boxes.Box(30), box30);
    EXPECT_EQ(boxes.Box(31), box31);
    EXPECT_EQ(box30->Picture(), picture);
    EXPECT_FALSE(box31->HasPicture());
    // Drawn as the display shows it on a Vertical display, as a box made at once draws it.
    AppUi::TImage madeAtOnce;
    madeAtOnce.SetPicture(picture);
    madeAtOnce.SetDisplayView(true, true);
    EXPECT_EQ(box30->ShownPicture(), madeAtOnce.ShownPicture());
    EXPECT_NE(box30->ShownPicture().size(), picture.size()); // padded to whole bytes
    boxes.ClearPicture(30);
    EXPECT_FALSE(box30->HasPicture());
    EXPECT_TRUE(boxes.Picture(30).isNull());
}

// A lazy page makes its controls once, before it first becomes visible.
TEST(TLazyPageTest, BuildsOnceBeforeItShows) {
    UiTest::EnsureApplication();
    QTabWidget tabs;
    tabs.addTab(new QWidget, "first");
    auto* page = new AppUi::TLazyPage;
    tabs.addTab(page, "second");
    int built = 0;
    bool visibleWhenBuilt = true;
    page->SetBuilder([&] {
        ++built;
        visibleWhenBuilt = page->isVisible();
        new QLabel("made", page);
    });
    tabs.show();
    EXPECT_EQ(built, 0);
    EXPECT_FALSE(page->IsBuilt());
    tabs.setCurrentIndex(1);
    EXPECT_EQ(built, 1);
    EXPECT_FALSE(visibleWhenBuilt);
    EXPECT_TRUE(page->findChild<QLabel*>()->isVisible());
    tabs.setCurrentIndex(0);
    tabs.setCurrentIndex(1);
    page->Build();
    EXPECT_EQ(built, 1);
}

TEST(TStringGridTest, RightButtonKeepsTheFocusedCell) {
    UiTest::EnsureApplication();
    AppUi::TStringGrid grid;
    grid.SetDimensions(3, 5, 1);
    grid.resize(300, 200);
    grid.show();
    grid.SelectCell(2, 3);
    QSignalSpy right(&grid, &AppUi::TStringGrid::RightMouseDown);
    QTest::mouseClick(grid.viewport(), Qt::RightButton, {}, grid.CellRect(1, 1).center());
    EXPECT_EQ(right.count(), 1);
    EXPECT_EQ(grid.Col(), 2);
    EXPECT_EQ(grid.Row(), 3);
}

TEST(TStringGridTest, ClickReportsTheCellOnce) {
    UiTest::EnsureApplication();
    AppUi::TStringGrid grid;
    grid.SetDimensions(3, 5, 1);
    grid.resize(300, 200);
    grid.show();
    QSignalSpy selected(&grid, &AppUi::TStringGrid::CellSelected);
    const QPoint cell = grid.CellRect(2, 2).center();
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, cell);
    ASSERT_EQ(selected.count(), 1);
    EXPECT_EQ(selected[0][0].toInt(), 2);
    EXPECT_EQ(selected[0][1].toInt(), 2);
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, cell);
    EXPECT_EQ(selected.count(), 2); // clicking the focused cell shows it again
}

TEST(TWindowPromptsTest, FiltersBecomeQtNameFilters) {
    EXPECT_EQ(AppUi::QtNameFilters("ZKF780A Project File (*.zkf)|*.zkf"),
              "ZKF780A Project File (*.zkf)");
    EXPECT_EQ(AppUi::QtNameFilters("Bitmap|*.bmp|All (*.*)|*.*"), "Bitmap (*.bmp);;All (*.*)");
    EXPECT_EQ(AppUi::QtNameFilters(""), "");
}

// The questions' answers have access keys: Alt+D discards, Alt+N says no.
TEST(TWindowPromptsTest, QuestionsAnswerWithAccessKeys) {
    UiTest::EnsureApplication();
    QWidget parent;
    AppUi::TWindowPrompts prompts;
    prompts.Attach(&parent, {}, nullptr, nullptr);
    QStringList texts;
    const auto answerWith = [&](Qt::Key key) {
        QTimer::singleShot(0, &parent, [&texts, &parent, key] {
            auto* box = parent.findChild<QMessageBox*>("QuestionBox");
            if (!box) return;
            for (QAbstractButton* button : box->buttons()) texts.append(button->text());
            QTest::keyClick(box, key); // as Alt+key, the letter alone answers in a message box
        });
    };
    answerWith(Qt::Key_D);
    EXPECT_EQ(prompts.AskSaveChanges("Save?"), AppCore::TSaveChoice::Discard);
    EXPECT_TRUE(texts.contains("&Save") && texts.contains("&Discard"))
        << texts.join(',').toStdString();
    texts.clear();
    answerWith(Qt::Key_N);
    EXPECT_FALSE(prompts.AskYesNo("Overlay file", "File exist!! Overlay?"));
    EXPECT_TRUE(texts.contains("&Yes") && texts.contains("&No")) << texts.join(',').toStdString();
}

TEST(TWindowPromptsTest, MessageLinesArePlainText) {
    UiTest::EnsureApplication();
    QTextEdit box;
    AppUi::TWindowPrompts prompts;
    prompts.Attach(nullptr, {}, &box, nullptr);
    prompts.AppendMessageLine(">>> Open COM 1 <<<");
    prompts.AppendMessageLine("<b>not bold</b>");
    EXPECT_EQ(box.toPlainText(), ">>> Open COM 1 <<<\n<b>not bold</b>");
    prompts.ClearMessageLines();
    EXPECT_EQ(box.toPlainText(), "");
    EXPECT_FALSE(prompts.LoadPicture(1, "x.bmp")); // no picture boxes attached
}

TEST(TBusyCursorTest, GuardsNestAndRestore) {
    UiTest::EnsureApplication();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    {
        AppUi::TBusyCursor outer;
        {
            AppUi::TBusyCursor inner;
            ASSERT_NE(QApplication::overrideCursor(), nullptr);
            EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        }
        EXPECT_NE(QApplication::overrideCursor(), nullptr);
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}
