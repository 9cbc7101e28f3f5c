// The window on a 1024 x 768 screen: every control of every page can be reached by scrolling,
// the status bar stays inside the window, the display view switch is also in the View menu, and
// F1 shows the user guide.

#include "ShownWindowTest.h"

#include "app/ui/TImage.h"

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QStatusBar>
#include <QTextBrowser>
#include <QTimer>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

// What a 1024 x 768 screen leaves for the window below its title bar and a panel.
constexpr int ScreenWidth = 1024;
constexpr int UsableHeight = 768 - 60;

class SmallScreenTest : public UiTest::TShownWindowTest {
protected:
    // The control lies inside the window, with at least part of it on view.
    bool OnView(QWidget* control) const {
        const QRect inWindow(control->mapTo(&Window, QPoint(0, 0)), control->size());
        return Window.rect().contains(inWindow.center()) && !control->visibleRegion().isEmpty();
    }
};

TEST_F(SmallScreenTest, EveryPageIsUsableAt1024By768) {
    EXPECT_LE(Window.minimumSizeHint().width(), ScreenWidth);
    EXPECT_LE(Window.minimumSizeHint().height(), UsableHeight);
    Window.resize(ScreenWidth, UsableHeight);
    QCoreApplication::processEvents();
    ASSERT_LE(Window.width(), ScreenWidth);
    ASSERT_LE(Window.height(), UsableHeight);

    QWidget* const pages[] = {Form.TabSheet1, Form.TabSheet2, Form.TabSheet3};
    for (QWidget* page : pages) {
        Form.PageControl1->setCurrentWidget(page);
        auto* scroll = page->findChild<QScrollArea*>();
        ASSERT_NE(scroll, nullptr) << page->objectName().toStdString();
        int checked = 0;
        for (QWidget* control : page->findChildren<QWidget*>()) {
            const bool interesting = qobject_cast<QAbstractButton*>(control) ||
                                     qobject_cast<QLineEdit*>(control) ||
                                     qobject_cast<AppUi::TImage*>(control);
            if (!interesting || !control->isVisibleTo(page) || control->objectName().isEmpty() ||
                control->objectName().startsWith("qt_"))
                continue;
            scroll->ensureWidgetVisible(control);
            QCoreApplication::processEvents();
            EXPECT_TRUE(OnView(control)) << control->objectName().toStdString();
            ++checked;
        }
        EXPECT_GT(checked, 5) << page->objectName().toStdString();
    }
    // MAKE ROM and the ROM file name by name, and the status bar below.
    Form.PageControl1->setCurrentWidget(Form.TabSheet3);
    for (QWidget* control :
         {static_cast<QWidget*>(Form.SpeedButton10), static_cast<QWidget*>(Form.Edit1)}) {
        Form.TabSheet3->findChild<QScrollArea*>()->ensureWidgetVisible(control);
        QCoreApplication::processEvents();
        EXPECT_TRUE(OnView(control)) << control->objectName().toStdString();
    }
    EXPECT_TRUE(OnView(Form.StatusBar1));
    EXPECT_TRUE(OnView(Window.findChild<QCheckBox*>("DisplayViewCheckBox")));
}

// On a wide screen the status bar panels have their designed widths.
TEST_F(SmallScreenTest, StatusPanelsTakeTheirWidthsWhenThereIsRoom) {
    Window.resize(1400, UsableHeight);
    QCoreApplication::processEvents();
    EXPECT_EQ(Window.StatusPanel(0)->width(), 450);
    EXPECT_EQ(Window.StatusPanel(1)->width(), 160);
    EXPECT_EQ(Window.StatusPanel(2)->width(), 300);
}

TEST_F(SmallScreenTest, DisplayViewSwitchIsAlsoInTheViewMenu) {
    auto* action = Window.findChild<QAction*>("actionDisplayView");
    auto* box = Window.findChild<QCheckBox*>("DisplayViewCheckBox");
    ASSERT_NE(action, nullptr);
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(action->isCheckable());
    EXPECT_EQ(action->text(), "&Show as on the display");
    action->trigger();
    EXPECT_TRUE(box->isChecked());
    box->click();
    EXPECT_FALSE(action->isChecked());
    QStringList menus;
    for (QAction* menu : Window.menuBar()->actions()) menus.append(menu->text());
    EXPECT_EQ(menus, QStringList({"&File", "&Edit", "&View", "&Build", "&Device", "&Help"}));
}

} // namespace

namespace {

// F1 shows the user guide inside the editor, screenshots included.
TEST_F(SmallScreenTest, F1ShowsTheUserGuideInAWindowOfTheEditor) {
    Trigger("actionUserGuide");
    auto* guide = Window.findChild<QDialog*>("UserGuideWindow");
    ASSERT_NE(guide, nullptr);
    EXPECT_TRUE(guide->isVisible());
    auto* text = guide->findChild<QTextBrowser*>("UserGuideBrowser");
    ASSERT_NE(text, nullptr);
    EXPECT_TRUE(text->toPlainText().startsWith("User guide"));
    EXPECT_TRUE(text->toPlainText().contains("CodeTable page"));
    const QVariant picture = text->document()->resource(
        QTextDocument::ImageResource, QUrl(QStringLiteral("screenshots/editor-codetable.png")));
    EXPECT_FALSE(picture.isNull());
    // Pressed again, the same window comes back.
    Trigger("actionUserGuide");
    EXPECT_EQ(Window.findChildren<QDialog*>("UserGuideWindow").size(), 1);
}

} // namespace

namespace {

// The About box shows the program's icon and says in one line what the program does.
TEST_F(SmallScreenTest, AboutBoxShowsTheIconAndWhatTheProgramDoes) {
    EXPECT_FALSE(Window.windowIcon().isNull());
    QString text;
    bool hasIcon = false;
    QTimer::singleShot(0, &Window, [&] {
        auto* box = Window.findChild<QMessageBox*>("AboutBox");
        if (!box) return;
        text = box->text();
        hasIcon = !box->iconPixmap().isNull();
        box->accept();
    });
    Trigger("actionAbout");
    EXPECT_TRUE(hasIcon);
    EXPECT_TRUE(text.contains("Edits ZKF780A display projects, makes their ROM image and uploads "
                              "it to a VRC-780A controller."))
        << text.toStdString();
}

} // namespace

namespace {

// A picture warning raised on the Style page shows in the status bar too, and goes into the
// Make page's message box.
TEST_F(SmallScreenTest, StylePageWarningsShowWhereTheUserActs) {
    const QString path = Folder.StartPath("small.bmp");
    UiTest::SaveMonoBmp(UiTest::MarkedPicture(100, 20, 4), path);
    Script.OpenAnswers.push_back(path.toStdString());
    Form.PageControl1->setCurrentWidget(Form.TabSheet2);
    Form.PageControl2->setCurrentIndex(0);
    QTest::mouseDClick(Window.Image(24), Qt::LeftButton); // FIRE, English normal
    const QString message = Form.StatusBar1->currentMessage();
    EXPECT_TRUE(message.startsWith("[Warning] small.bmp: 100 x 20 pixels"))
        << message.toStdString();
    EXPECT_TRUE(Form.RichEdit1->toPlainText().contains(message));
}

} // namespace

namespace {

// The customer and message picture boxes take the focus and open their dialog from the keys.
TEST_F(SmallScreenTest, PictureBoxesOpenFromTheKeyboard) {
    Form.PageControl1->setCurrentWidget(Form.TabSheet3);
    AppUi::TImage* logo = Window.Image(4);
    EXPECT_TRUE(logo->focusPolicy() & Qt::TabFocus);
    logo->setFocus();
    QTest::keyClick(logo, Qt::Key_Return);
    EXPECT_EQ(Script.OpenDialogs.size(), 1u); // cancelled: nothing changes
    Form.PageControl1->setCurrentWidget(Form.TabSheet2);
    AppUi::TImage* fire = Window.Image(24);
    EXPECT_TRUE(fire->focusPolicy() & Qt::TabFocus);
    fire->setFocus();
    QTest::keyClick(fire, Qt::Key_Space);
    EXPECT_EQ(Script.OpenDialogs.size(), 2u);
    // The style samples are no choice of their own and stay out of the Tab order.
    EXPECT_FALSE(Window.Image(5)->focusPolicy() & Qt::TabFocus);
}

} // namespace

namespace {

// Every entry of the menus has an underlined access key.
TEST_F(SmallScreenTest, MenuEntriesHaveAccessKeys) {
    for (QAction* menuAction : Window.menuBar()->actions()) {
        QMenu* menu = menuAction->menu();
        ASSERT_NE(menu, nullptr);
        emit menu->aboutToShow(); // the button entries take their current texts
        for (QAction* entry : menu->actions()) {
            if (entry->isSeparator()) continue;
            EXPECT_TRUE(entry->text().contains('&')) << entry->text().toStdString();
        }
    }
    Form.PageControl1->setCurrentWidget(Form.TabSheet3);
    EXPECT_EQ(Window.findChild<QAction*>("actionMakeRom")->text(), "&MAKE ROM");
}

} // namespace
