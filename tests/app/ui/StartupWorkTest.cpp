// What start-up leaves undone until it is needed: the Style page is made when first shown, the
// pages not shown are laid out when first shown (their scroll areas do not measure them for a
// size hint), a picture shown in two boxes is read once, the settings file is not rewritten
// when nothing in it changes, and the program's icon is read when first drawn. None of it
// changes what the window shows or the order the Tab key takes.

#include "ShownWindowTest.h"

#include "app/ui/ProgramIcon.h"
#include "app/ui/StartFolder.h"
#include "app/ui/TFolderBrowser.h"
#include "app/ui/TImage.h"

#include "XVclUtil/MessageBox.h"

#include <QFileInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTextEdit>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

class StartupWorkTest : public UiTest::TShownWindowTest {};

// The Tab stops of a page in the window's Tab order, with the controls around it.
QStringList TabStops(QWidget* window, QWidget* page, const QList<QWidget*>& otherPages) {
    QStringList names;
    for (QWidget* w = window->nextInFocusChain(); w != window; w = w->nextInFocusChain()) {
        const QString name = w->objectName();
        if (!(w->focusPolicy() & Qt::TabFocus) || name.isEmpty() || name.startsWith("qt_") ||
            name.startsWith("Scroll"))
            continue;
        bool elsewhere = false;
        for (QWidget* other : otherPages) elsewhere |= other == w || other->isAncestorOf(w);
        if (!elsewhere || page->isAncestorOf(w)) names.append(name);
    }
    return names;
}

// A shown window of its own for the pages made when first shown: the other fixtures' Form()
// builds every page at once.
class LazyPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        Window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Window));
    }

    UiTest::TWorkFolder Folder;
    XVclUtil::TMessageCapture Messages;
    AppUi::TMainWindow Window{Folder.ProgramDir()};
};

// The Style page's controls are made when the page is first shown, with the document's values
// and the pictures shown in its boxes so far.
TEST_F(LazyPageTest, StylePageIsMadeWhenFirstShown) {
    EXPECT_EQ(Window.findChild<QRadioButton*>("RadioButton21"), nullptr);
    Window.Session().Document.DEF_FL = 3;
    Window.ShowDocument();

    auto* pages = Window.findChild<QTabWidget*>("PageControl1");
    ASSERT_NE(pages, nullptr);
    pages->setCurrentIndex(1);
    auto* style3 = Window.findChild<QRadioButton*>("RadioButton24");
    ASSERT_NE(style3, nullptr);
    EXPECT_TRUE(style3->isChecked());
    EXPECT_TRUE(style3->isVisible());
    AppUi::TImage* fire = Window.findChild<AppUi::TImage*>("Image24");
    ASSERT_NE(fire, nullptr);
    EXPECT_EQ(fire, Window.Image(24));
    QImage variantA;
    ASSERT_TRUE(variantA.load(Folder.LiftStatePath(0, 0)));
    EXPECT_EQ(UiTest::Rgb(fire->Picture()), UiTest::Rgb(variantA));
    EXPECT_TRUE(Messages.Messages.empty());
}

QStringList Numbered(const char* prefix, int first, int last) {
    QStringList names;
    for (int n = first; n <= last; ++n) names.append(prefix + QString::number(n));
    return names;
}

// The Make page is made when first shown; lines written to its message box before then are
// in the box, the command buttons wait for a connection, and the Build and Device menus name
// the page's buttons.
TEST_F(LazyPageTest, MakePageIsMadeWhenFirstShownWithWhatWasWrittenMeanwhile) {
    EXPECT_EQ(Window.findChild<QTextEdit*>("RichEdit1"), nullptr);
    Window.Prompts().AppendMessageLine("first line");
    Window.Prompts().AppendMessageLine("[Warning] second line");
    EXPECT_EQ(Window.statusBar()->currentMessage(), "[Warning] second line");

    Window.findChild<QTabWidget*>("PageControl1")->setCurrentIndex(2);
    auto* box = Window.findChild<QTextEdit*>("RichEdit1");
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isVisible());
    EXPECT_EQ(box->toPlainText(), "first line\n[Warning] second line");
    auto* connect = Window.findChild<QPushButton*>("SpeedButton5");
    ASSERT_NE(connect, nullptr);
    EXPECT_TRUE(connect->isEnabled());
    EXPECT_FALSE(Window.findChild<QPushButton*>("SpeedButton9")->isEnabled());
    EXPECT_TRUE(Window.findChild<QRadioButton*>("RadioButton6")->isChecked()); // Vertical
    EXPECT_EQ(Window.findChild<QAction*>("actionMakeRom")->text(), "&MAKE ROM");
    EXPECT_EQ(Window.findChild<QAction*>("actionConnect")->text(), "&Connect");
    EXPECT_FALSE(Window.findChild<QAction*>("actionUpload")->isEnabled());
    EXPECT_EQ(Window.FolderBrowser().Directory(),
              QFileInfo(QString::fromStdString(Folder.StartDir())).canonicalFilePath());
    EXPECT_TRUE(Messages.Messages.empty());
}

// Every page keeps the Tab order of the form: the page's scroll area, its controls in the
// form's order, then the status bar's display view switch.
TEST_F(StartupWorkTest, PagesKeepTheFormsTabOrder) {
    QWidget* const sheets[] = {Form.TabSheet1, Form.TabSheet2, Form.TabSheet3};
    const QStringList controls[] = {
        QStringList{"StringGrid5"} + Numbered("RadioButton", 15, 20) +
            QStringList{"ComboBox2", "SpeedButton11", "SpeedButton12", "SpeedButton13"},
        Numbered("RadioButton", 21, 37) + QStringList{"RadioButton7", "RadioButton8"} +
            Numbered("CheckBox", 2, 5) + QStringList{"PageControl2"} + Numbered("Image", 22, 61),
        QStringList{"RadioButton5",   "RadioButton6",
                    "RadioButton9",   "RadioButton10",
                    "Image1",         "Image3",
                    "Image62",        "RadioButton3",
                    "RadioButton4",   "ComboBox4",
                    "Image4",         "RadioButton1",
                    "RadioButton2",   "RadioButton38",
                    "RadioButton39",  "RadioButton12",
                    "RadioButton11",  "ComboBox5",
                    "RadioButton13",  "RadioButton14",
                    "ComboBox1",      "Edit2",
                    "Edit3",          "Edit1",
                    "DriveComboBox1", "DirectoryListBox1",
                    "FileListBox2",   "SpeedButton10",
                    "ComboBox3",      "SpeedButton5",
                    "SpeedButton6",   "SpeedButton9",
                    "SpeedButton7",   "SpeedButton8",
                    "ComboBox11",     "CheckBox1",
                    "RichEdit1"}};
    for (int p = 0; p < 3; ++p) {
        QList<QWidget*> others;
        for (int o = 0; o < 3; ++o)
            if (o != p) others.append(sheets[o]);
        EXPECT_EQ(TabStops(&Window, sheets[p], others),
                  QStringList({"PageControl1", sheets[p]->objectName() + "Scroll"}) + controls[p] +
                      QStringList{"DisplayViewCheckBox"})
            << p;
    }
}

// The pages not shown at start are laid out as the form says once they are shown.
TEST_F(StartupWorkTest, PagesNotShownAreLaidOutWhenFirstShown) {
    Form.PageControl1->setCurrentWidget(Form.TabSheet3);
    QCoreApplication::processEvents();
    EXPECT_TRUE(Form.SpeedButton10->isVisible());
    EXPECT_GE(Form.SpeedButton10->height(), 52); // MAKE ROM, in its own large font
    EXPECT_TRUE(Form.SpeedButton10->font().bold());
    EXPECT_GE(Form.SpeedButton10->width(), Form.SpeedButton10->sizeHint().width());
    Form.PageControl1->setCurrentWidget(Form.TabSheet2);
    QCoreApplication::processEvents();
    EXPECT_TRUE(Form.RadioButton21->isVisible());
    EXPECT_GE(Form.RadioButton21->width(), Form.RadioButton21->sizeHint().width());
    EXPECT_EQ(Window.Image(22)->size(), QSize(129, 33));
}

TEST_F(StartupWorkTest, PageScrollAreasAskForThirtySixByTwentyFourLines) {
    QWidget* const pages[] = {Form.TabSheet1, Form.TabSheet2, Form.TabSheet3};
    for (QWidget* page : pages) {
        auto* scroll = page->findChild<QScrollArea*>();
        ASSERT_NE(scroll, nullptr);
        const int line = scroll->fontMetrics().height();
        EXPECT_EQ(scroll->sizeHint(), QSize(36 * line, 24 * line))
            << page->objectName().toStdString();
        EXPECT_TRUE(scroll->widgetResizable());
    }
}

TEST_F(StartupWorkTest, RowPictureAndVariantABoxShareOnePicture) {
    for (int state = 0; state < 10; ++state) {
        const QImage& row = Window.Image(63 + state)->Picture();
        const QImage& boxA = Window.Image(24 + 4 * state)->Picture();
        ASSERT_FALSE(row.isNull()) << state;
        EXPECT_EQ(row.cacheKey(), boxA.cacheKey()) << state; // one decoded picture
        QImage fromFile;
        ASSERT_TRUE(fromFile.load(Folder.LiftStatePath(state, 0)));
        EXPECT_EQ(UiTest::Rgb(boxA), UiTest::Rgb(fromFile)) << state;
    }
}

TEST_F(StartupWorkTest, ProgramIconIsReadWhenDrawn) {
    const QIcon icon = AppUi::ProgramIcon();
    EXPECT_FALSE(icon.isNull());
    EXPECT_EQ(icon.availableSizes(), QList<QSize>({QSize(128, 128)}));
    const QPixmap small = icon.pixmap(32, 32);
    EXPECT_EQ(small.size(), QSize(32, 32));
    EXPECT_FALSE(Window.windowIcon().isNull());
}

ino_t Inode(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}

TEST_F(StartupWorkTest, SettingsFileIsRewrittenOnlyForAnotherWorkingFolder) {
    const QString folder = QString::fromStdString(Folder.StartDir());
    AppUi::RememberWorkingFolder(folder);
    const QString settings =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
        QStringLiteral("/zkf780a/zkf780a-editor.conf");
    const ino_t written = Inode(settings);
    ASSERT_NE(written, ino_t(0));
    AppUi::RememberWorkingFolder(folder);
    EXPECT_EQ(Inode(settings), written); // the same folder again: the file is left as it is

    UiTest::TWorkFolder other;
    AppUi::RememberWorkingFolder(QString::fromStdString(other.StartDir()));
    EXPECT_NE(Inode(settings), written);
    EXPECT_EQ(QFileInfo(AppUi::LastWorkingFolder()).canonicalFilePath(),
              QFileInfo(QString::fromStdString(other.StartDir())).canonicalFilePath());
}

} // namespace
