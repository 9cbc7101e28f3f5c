// What start-up leaves undone until it is needed: the pages not shown are laid out when first
// shown (their scroll areas do not measure them for a size hint), a picture shown in two boxes
// is read once, the settings file is not rewritten when nothing in it changes, and the
// program's icon is read when first drawn.

#include "ShownWindowTest.h"

#include "app/ui/ProgramIcon.h"
#include "app/ui/StartFolder.h"
#include "app/ui/TImage.h"

#include <QFileInfo>
#include <QScrollArea>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

class StartupWorkTest : public UiTest::TShownWindowTest {};

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
    for (QWidget* page : {Form.TabSheet1, Form.TabSheet2, Form.TabSheet3}) {
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
