// The Style and Make pages of the real window: style choices, message pictures, customer
// pictures, logo on and off, and the folder browser.

#include "ShownWindowTest.h"

#include "app/ui/TFolderBrowser.h"
#include "app/ui/TImage.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <gtest/gtest.h>

using AppUi::TMainWindow;
using UiTest::TWorkFolder;

namespace {

class PagesTest : public UiTest::TShownWindowTest {
protected:
    QString Picture(const QString& name, int width, int height, int seed) {
        const QString path = Folder.StartPath(name);
        UiTest::SaveMonoBmp(UiTest::MarkedPicture(width, height, seed), path);
        return path;
    }
};

} // namespace

TEST_F(PagesTest, StyleButtonsSetTheirFields) {
    Form.RadioButton25->click();
    EXPECT_EQ(Window.Session().Document.DEF_FL, 4);
    Form.RadioButton37->click();
    EXPECT_EQ(Window.Session().Document.DEF_DIR, 11);
    Form.RadioButton7->click();
    EXPECT_EQ(Window.Session().Document.DPSTYLE, AppCore::TDpStyle::Left);
    Form.RadioButton8->click();
    EXPECT_EQ(Window.Session().Document.DPSTYLE, AppCore::TDpStyle::Right);
}

TEST_F(PagesTest, MessageBoxesSetTheRawMask) {
    Form.CheckBox2->click();
    Form.CheckBox5->click();
    EXPECT_EQ(Window.Session().Document.MsgCheckBoxes, 2 | 8);
}

TEST_F(PagesTest, DoubleClickOnAMessageBoxChangesThatSlotOnly) {
    const auto before = Window.Session().Document.LiftStateImageTable;
    const QString path = Picture("overload.bmp", 128, 32, 99);
    Script.OpenAnswers.push_back(path.toStdString());
    // MSG.2, second row (OVERLOAD, state 4), third box: English normal, slot 16.
    Form.PageControl1->setCurrentIndex(1);
    Form.PageControl2->setCurrentIndex(1);
    QTest::mouseDClick(Window.Image(40), Qt::LeftButton);
    const auto after = Window.Session().Document.LiftStateImageTable;
    for (int slot = 0; slot < 40; ++slot) {
        if (slot == 16) continue;
        EXPECT_EQ(after[slot], before[slot]) << slot;
    }
    EXPECT_EQ(after[16], path.toStdString());
    QImage expected;
    expected.load(path);
    EXPECT_EQ(UiTest::Rgb(Window.Image(40)->Picture()), UiTest::Rgb(expected));
}

TEST_F(PagesTest, CancelledMessagePictureDialogChangesNothing) {
    const auto before = Window.Session().Document.LiftStateImageTable;
    const QImage picture = Window.Image(22)->Picture();
    QTest::mouseDClick(Window.Image(22), Qt::LeftButton);
    EXPECT_EQ(Script.OpenDialogs.size(), 1u);
    EXPECT_EQ(Window.Session().Document.LiftStateImageTable, before);
    EXPECT_EQ(Window.Image(22)->Picture(), picture);
}

TEST_F(PagesTest, SingleClickOnAMessageBoxOpensNoDialog) {
    QTest::mouseClick(Window.Image(22), Qt::LeftButton);
    EXPECT_TRUE(Script.OpenDialogs.empty());
}

TEST_F(PagesTest, ClickOnTitleBoxPicksTheTitle) {
    const QString path = Picture("t.bmp", 128, 24, 5);
    Script.OpenAnswers.push_back(path.toStdString());
    QTest::mouseClick(Window.Image(1), Qt::LeftButton);
    EXPECT_EQ(Window.Session().Document.TITLEFILENAME_V, path.toStdString());
    QImage expected;
    expected.load(path);
    EXPECT_EQ(UiTest::Rgb(Window.Image(1)->Picture()), UiTest::Rgb(expected));
    ASSERT_EQ(Script.OpenDialogs.size(), 1u);
}

TEST_F(PagesTest, OversizedPictureNeverStretchesTheWindow) {
    Form.PageControl1->setCurrentIndex(2);
    QTest::qWait(10);
    const QSize windowSize = Window.size();
    const QString path = Picture("huge.bmp", 1200, 900, 3);
    Script.OpenAnswers.push_back(path.toStdString());
    QTest::mouseClick(Window.Image(4), Qt::LeftButton);
    QTest::qWait(10);
    EXPECT_EQ(Window.Image(4)->size(), QSize(120, 80));
    EXPECT_EQ(Window.size(), windowSize);
    EXPECT_EQ(Window.Image(4)->Picture().size(), QSize(1200, 900));
    EXPECT_FALSE(Window.Image(4)->grab().isNull());
}

TEST_F(PagesTest, UnreadablePictureKeepsTheBoxAndNamesTheFile) {
    const QImage before = Window.Image(3)->Picture();
    const QString path = Folder.StartPath("broken.bmp");
    QFile broken(path);
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("BM this is not a picture");
    broken.close();
    Script.OpenAnswers.push_back(path.toStdString());
    QTest::mouseClick(Window.Image(3), Qt::LeftButton);
    ASSERT_EQ(Messages.Messages.size(), 1u);
    EXPECT_NE(Messages.Messages[0].second.find("broken.bmp"), std::string::npos);
    EXPECT_EQ(Window.Image(3)->Picture(), before);
}

TEST_F(PagesTest, LogoOnWithCancelledDialogStillTurnsTheLogoOn) {
    Form.RadioButton4->click();
    EXPECT_EQ(Script.OpenDialogs.size(), 1u);
    EXPECT_TRUE(Form.RadioButton4->isChecked());
    EXPECT_TRUE(Form.ComboBox4->isEnabled());
    EXPECT_TRUE(Window.Session().Document.CUSLOGOENABLE);
    Form.RadioButton3->click();
    EXPECT_TRUE(Form.RadioButton3->isChecked());
    EXPECT_FALSE(Form.ComboBox4->isEnabled());
    EXPECT_FALSE(Window.Session().Document.CUSLOGOENABLE);
}

TEST_F(PagesTest, LogoOnWithAChosenLogoAsksOnlyOnce) {
    Script.OpenAnswers.push_back(Picture("logo.bmp", 112, 80, 1).toStdString());
    Form.RadioButton4->click();
    Form.RadioButton3->click();
    Form.RadioButton4->click();
    EXPECT_EQ(Script.OpenDialogs.size(), 1u);
    EXPECT_TRUE(Form.ComboBox4->isEnabled());
}

TEST_F(PagesTest, OptionControlsWriteTheDocument) {
    const AppCore::ProjectDocument& doc = Window.Session().Document;
    Form.RadioButton5->click();
    EXPECT_EQ(doc.DISPLAYTYPE, AppCore::TDisplayType::Horizontal);
    Form.RadioButton10->click();
    EXPECT_FALSE(doc.CUSTOMERTITLE);
    Form.RadioButton1->click();
    EXPECT_TRUE(doc.FLFRAME);
    Form.RadioButton39->click();
    EXPECT_FALSE(doc.DPDATETIME);
    Form.RadioButton11->click();
    EXPECT_EQ(doc.WEEKTYPE, AppCore::TWeekType::OtherLanguage);
    Form.ComboBox5->setCurrentIndex(1);
    EXPECT_EQ(doc.WEEKLANG, 1);
    Form.RadioButton14->click();
    EXPECT_EQ(doc.DATEFORMAT, AppCore::TDateFormat::TYPE2);
    Form.ComboBox1->setCurrentIndex(16);
    EXPECT_EQ(doc.PWRSAVING, 16);
    Form.Edit3->setText("ZK01");
    EXPECT_EQ(doc.CUSIDCODE, "ZK01");
}

TEST_F(PagesTest, FileListShowsRomFilesAndClickFillsTheRomName) {
    for (const char* name : {"A.ROM", "b.rom", "c.bin"}) {
        QFile file(Folder.StartPath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    Window.FolderBrowser().Relink();
    EXPECT_EQ(Window.FolderBrowser().FileNames(), QStringList({"A.ROM", "b.rom"}));
    QListWidget* files = Form.FileListBox2;
    Form.PageControl1->setCurrentIndex(2);
    QTest::qWait(10);
    QTest::mouseClick(files->viewport(), Qt::LeftButton, {},
                      files->visualItemRect(files->item(1)).center());
    EXPECT_EQ(Form.Edit1->text(), "b.rom");
    EXPECT_EQ(Window.Session().Document.ROMFILENAME, "b.rom");
}

TEST_F(PagesTest, ChangingTheFolderChangesTheWorkingDirectory) {
    ASSERT_TRUE(QDir(Folder.StartPath("")).mkdir("roms"));
    const QString sub = QFileInfo(Folder.StartPath("roms")).canonicalFilePath();
    AppUi::TFolderBrowser& browser = Window.FolderBrowser();
    Form.PageControl1->setCurrentIndex(2); // the lists are filled once shown
    browser.Relink();
    // The folder list holds the path down to the folder, then its sub-folders.
    QListWidget* folders = Form.DirectoryListBox1;
    QListWidgetItem* roms = nullptr;
    for (int i = 0; i < folders->count(); ++i)
        if (folders->item(i)->text().trimmed() == "roms") roms = folders->item(i);
    ASSERT_NE(roms, nullptr);
    emit folders->itemActivated(roms);
    EXPECT_EQ(browser.Directory(), sub);
    EXPECT_EQ(QDir::currentPath(), sub);
    EXPECT_EQ(folders->item(0)->text(), "/");
    // The start folder does not move with it.
    EXPECT_EQ(Window.Session().Context.StartDir, Folder.StartDir());
    EXPECT_FALSE(browser.SetDirectory(Folder.StartPath("no-such-folder")));
    EXPECT_EQ(QDir::currentPath(), sub);
}

TEST_F(PagesTest, DriveBoxOffersTheRootAndHomeFolders) {
    const QStringList places = AppUi::TFolderBrowser::Places();
    EXPECT_EQ(Form.DriveComboBox1->count(), 0); // filled when the Make page is first shown
    Form.PageControl1->setCurrentIndex(2);
    EXPECT_EQ(places.value(0), "/");
    EXPECT_TRUE(places.contains(QDir::homePath()));
    EXPECT_EQ(Form.DriveComboBox1->count(), places.size());
}
