// Start-up of the real window from prepared working folders.

#include "UiTestEnv.h"

#include "app/ui/TImage.h"
#include "app/ui/TMainWindow.h"
#include "app/ui/TStringGrid.h"
#include "ui_MainWindow.h"

#include "XVclUtil/MessageBox.h"

#include <QFileInfo>
#include <QLabel>
#include <QTimer>

#include <gtest/gtest.h>

using AppUi::TMainWindow;
using UiTest::TWorkFolder;
using UiTest::TWorkFolderOptions;

namespace {

const QString DesignCaption =
    QStringLiteral("VRC-780A & VRC-780AS1 Lift LCD Editor (R6-Build100429.V2)");

QString Today() {
    return QDate::currentDate().toString(QStringLiteral("yyMMdd"));
}

QStringList Items(QComboBox* list) {
    QStringList items;
    for (int i = 0; i < list->count(); ++i) items.append(list->itemText(i));
    return items;
}

} // namespace

TEST(StartupTest, SampleFolderGivesCaptionStatusGridAndPictures) {
    TWorkFolder folder;
    XVclUtil::TMessageCapture messages;
    TMainWindow window(folder.ProgramDir());
    auto& form = window.Form();

    EXPECT_TRUE(messages.Messages.empty());
    EXPECT_TRUE(window.StartupCompleted());
    EXPECT_EQ(window.windowTitle(), DesignCaption + "  [ " + Today() + " /  ] Test note");
    EXPECT_EQ(window.StatusPanel(0)->text(), "Project file:");
    EXPECT_EQ(window.StatusPanel(1)->text(), "Version: KRV-RS");
    EXPECT_EQ(window.StatusPanel(2)->text(), "VRC-780AS1V2.GLB / ");
    // The designed widths, taken whenever the window is wide enough (SmallScreenTest).
    EXPECT_EQ(window.StatusPanel(0)->sizeHint().width(), 450);
    EXPECT_EQ(window.StatusPanel(1)->sizeHint().width(), 160);
    EXPECT_EQ(window.StatusPanel(2)->sizeHint().width(), 300);

    EXPECT_EQ(Items(form.ComboBox2), QStringList({"KRV-RS", "KRV-GRY", "KRV-BIN"}));
    EXPECT_EQ(form.ComboBox2->currentText(), "KRV-RS");

    AppUi::TStringGrid* grid = form.StringGrid5;
    EXPECT_EQ(grid->ColCount(), 8);
    EXPECT_EQ(grid->RowCount(), 257);
    EXPECT_EQ(grid->Cells(0, 0), "bit [ 5..0 ]");
    EXPECT_EQ(grid->Cells(1, 0), "HEX (DEC)");
    EXPECT_EQ(grid->Cells(2, 0), "CTBL0");
    EXPECT_EQ(grid->Cells(7, 0), "CTBL5");
    EXPECT_EQ(grid->Cells(1, 11), "0A (10 )");
    EXPECT_EQ(grid->Cells(1, 256), "FF (255 )");
    EXPECT_EQ(grid->Cells(0, 4), "000011");
    EXPECT_EQ(grid->Cells(0, 64), "111111");
    EXPECT_EQ(grid->Cells(0, 65), "");
    const int widths[8] = {88, 88, 72, 64, 64, 64, 64, 64};
    for (int col = 0; col < 8; ++col) EXPECT_EQ(grid->columnWidth(col), widths[col]) << col;
    EXPECT_EQ(grid->rowHeight(0), 24);

    // Previews: titles, the five floor styles, the twelve arrows and the fifty message boxes.
    for (int n : {1, 3}) EXPECT_TRUE(window.Image(n)->HasPicture()) << n;
    for (int n = 5; n <= 21; ++n) EXPECT_TRUE(window.Image(n)->HasPicture()) << n;
    for (int n = 22; n <= 61; ++n) EXPECT_TRUE(window.Image(n)->HasPicture()) << n;
    for (int n = 63; n <= 72; ++n) EXPECT_TRUE(window.Image(n)->HasPicture()) << n;
    EXPECT_EQ(window.Image(1)->Picture().size(), QSize(128, 24));
    EXPECT_EQ(window.Image(5)->Picture(),
              UiTest::Glyph(0, '8').convertToFormat(window.Image(5)->Picture().format()));
    // Box 22 + 4s shows variant B, 24 + 4s variant A, and Image63 + s variant A.
    QImage variantB;
    variantB.load(folder.LiftStatePath(4, 1));
    EXPECT_EQ(UiTest::Rgb(window.Image(22 + 16)->Picture()), UiTest::Rgb(variantB));
    QImage variantA;
    variantA.load(folder.LiftStatePath(4, 0));
    EXPECT_EQ(UiTest::Rgb(window.Image(24 + 16)->Picture()), UiTest::Rgb(variantA));
    EXPECT_EQ(UiTest::Rgb(window.Image(63 + 4)->Picture()), UiTest::Rgb(variantA));
    EXPECT_FALSE(QFileInfo::exists(folder.StartPath("KRV_TEMPBMP.BMP")));
}

TEST(StartupTest, ControlsStartWithTheirDesignedValues) {
    TWorkFolder folder;
    XVclUtil::TMessageCapture messages;
    TMainWindow window(folder.ProgramDir());
    auto& f = window.Form();

    EXPECT_TRUE(f.RadioButton6->isChecked());  // Vertical
    EXPECT_TRUE(f.RadioButton9->isChecked());  // Customer title ON
    EXPECT_TRUE(f.RadioButton2->isChecked());  // FL.Frame OFF
    EXPECT_TRUE(f.RadioButton38->isChecked()); // Date-Time display ON
    EXPECT_TRUE(f.RadioButton3->isChecked());  // Customer Logo OFF
    EXPECT_FALSE(f.ComboBox4->isEnabled());
    EXPECT_TRUE(f.RadioButton12->isChecked()); // English
    EXPECT_TRUE(f.RadioButton13->isChecked()); // YYYY / MM / DD
    EXPECT_TRUE(f.RadioButton8->isChecked());  // Right
    EXPECT_TRUE(f.RadioButton15->isChecked()); // CTBL0
    EXPECT_TRUE(f.RadioButton21->isChecked()); // FL Style 0
    EXPECT_TRUE(f.RadioButton26->isChecked()); // DIR Style 0
    EXPECT_TRUE(f.CheckBox2->isChecked());
    EXPECT_TRUE(f.CheckBox3->isChecked());
    EXPECT_FALSE(f.CheckBox4->isChecked());
    EXPECT_FALSE(f.CheckBox5->isChecked());
    EXPECT_EQ(f.Edit1->text(), "ZKF780A.ROM");
    EXPECT_EQ(f.Edit2->text(), "");
    EXPECT_EQ(f.Edit3->text(), "");
    EXPECT_EQ(f.ComboBox4->count(), 30);
    EXPECT_EQ(f.ComboBox4->itemText(29), "30");
    EXPECT_EQ(f.ComboBox1->count(), 17);
    EXPECT_EQ(f.ComboBox1->itemText(16), "600");
    EXPECT_EQ(Items(f.ComboBox5), QStringList({"Chinese", "Deutsch", "Spanish"}));
    EXPECT_EQ(f.RadioButton21->text(), "Style 0");
    EXPECT_EQ(f.RadioButton37->text(), "Style 11");
    EXPECT_EQ(f.RadioButton4->text(), "ON (Sec.)");
    EXPECT_EQ(f.StringGrid5->toolTip(), "Double click");
    EXPECT_EQ(f.Image1->toolTip(), "128x24 pixels , mono bmp file");
    EXPECT_EQ(f.Image3->toolTip(), "104x24 pixels , mono bmp file");
    EXPECT_EQ(f.Image2->size(), QSize(112, 80));
    EXPECT_EQ(f.Image4->size(), QSize(120, 80));
    EXPECT_EQ(f.Image62->size(), QSize(128, 32));
    EXPECT_EQ(f.Image22->size(), QSize(129, 33));
    EXPECT_EQ(f.PageControl1->tabText(0), "CodeTable");
    EXPECT_EQ(f.PageControl1->tabText(1), "Style");
    EXPECT_EQ(f.PageControl1->tabText(2), "Make");
    EXPECT_EQ(f.PageControl2->tabText(3), "MSG.4");

    // Connection controls: laid out and disabled until the upload link drives them.
    EXPECT_EQ(f.ComboBox3->count(), 20);
    EXPECT_EQ(f.ComboBox3->itemText(0), "COM 1");
    EXPECT_EQ(f.ComboBox3->itemText(19), "COM 20");
    EXPECT_EQ(f.SpeedButton5->text(), "Connect");
    EXPECT_EQ(f.SpeedButton6->text(), "Date/Time sync");
    EXPECT_EQ(f.SpeedButton9->text(), "UpLoad ROM Image");
    for (QWidget* w :
         {static_cast<QWidget*>(f.SpeedButton6), static_cast<QWidget*>(f.SpeedButton7),
          static_cast<QWidget*>(f.SpeedButton8), static_cast<QWidget*>(f.SpeedButton9)})
        EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
    EXPECT_TRUE(f.SpeedButton7->isHidden());
    EXPECT_TRUE(f.SpeedButton8->isHidden());
    EXPECT_TRUE(f.ComboBox11->isHidden());
    EXPECT_EQ(f.ComboBox11->currentText(), "14400");
    EXPECT_EQ(f.CheckBox1->text(), "Msg. on");
    EXPECT_FALSE(f.CheckBox1->isChecked());
    EXPECT_EQ(f.ProgressBar1->maximum(), 7168);
    EXPECT_EQ(f.ProgressBar1->value(), 0);
    auto* timer = window.findChild<QTimer*>("Timer1");
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->interval(), 10000);
    EXPECT_FALSE(timer->isActive());
}

TEST(StartupTest, MissingSettingsFileContinuesWithEmptyModelList) {
    TWorkFolderOptions options;
    options.WithSettings = false;
    TWorkFolder folder(options);
    XVclUtil::TMessageCapture messages;
    TMainWindow window(folder.ProgramDir());

    ASSERT_EQ(messages.Messages.size(), 1u);
    EXPECT_EQ(messages.Messages[0].first, "Error");
    EXPECT_EQ(messages.Messages[0].second.rfind("KRVZKF780AS1.INI file not found!!\n\n", 0), 0u);
    EXPECT_NE(messages.Messages[0].second.find(folder.StartDir()), std::string::npos);
    EXPECT_EQ(window.Form().ComboBox2->count(), 0);
    EXPECT_EQ(window.StatusPanel(1)->text(), "Version: ");
    // The library is still found under its default name and start-up completes.
    EXPECT_TRUE(window.StartupCompleted());
    EXPECT_EQ(window.StatusPanel(2)->text(), "VRC-780AS1V2.GLB / ");
    EXPECT_FALSE(QFileInfo::exists(folder.StartPath("KRVZKF780AS1.INI")));
}

TEST(StartupTest, MissingLibraryEndsStartupWithTheDesignedPictures) {
    TWorkFolderOptions options;
    options.WithLibrary = false;
    TWorkFolder folder(options);
    XVclUtil::TMessageCapture messages;
    TMainWindow window(folder.ProgramDir());

    ASSERT_EQ(messages.Messages.size(), 1u);
    EXPECT_EQ(messages.Messages[0].first, "Error");
    const std::string text = messages.Messages[0].second;
    EXPECT_EQ(text.rfind("GLB file not found!!\n\nSearched in the working folder:\n" +
                             folder.StartDir() + "\n\n",
                         0),
              0u)
        << text;
    EXPECT_NE(text.find("zkf780a sample-data DIR"), std::string::npos);
    EXPECT_NE(text.find("File > Open"), std::string::npos);
    EXPECT_FALSE(window.StartupCompleted());
    EXPECT_EQ(window.StatusPanel(2)->text(), "Program start error!!");
    EXPECT_EQ(window.windowTitle(), DesignCaption);
    EXPECT_FALSE(window.Image(1)->HasPicture());
    EXPECT_FALSE(window.Image(22)->HasPicture());
    // The window stays usable: the model list works.
    EXPECT_EQ(window.Form().ComboBox2->count(), 3);
}

TEST(StartupTest, MissingUserLibraryEndsStartupAndClearsItsName) {
    TWorkFolderOptions options;
    options.UserLibrary = "USER.UBF";
    TWorkFolder folder(options);
    XVclUtil::TMessageCapture messages;
    TMainWindow window(folder.ProgramDir());

    ASSERT_EQ(messages.Messages.size(), 1u);
    EXPECT_EQ(messages.Messages[0].second, "User define BMP file not found!!\n\n");
    EXPECT_FALSE(window.StartupCompleted());
    EXPECT_EQ(window.StatusPanel(2)->text(), "Program start error!!");
    EXPECT_TRUE(window.Session().Settings.UBFGLB.empty());
}

TEST(StartupTest, PresentUserLibraryDatesTheCaption) {
    TWorkFolderOptions options;
    options.UserLibrary = "USER.UBF";
    options.CreateUserLibrary = true;
    TWorkFolder folder(options);
    XVclUtil::TMessageCapture messages;
    TMainWindow window(folder.ProgramDir());

    EXPECT_TRUE(messages.Messages.empty());
    EXPECT_EQ(window.windowTitle(),
              DesignCaption + "  [ " + Today() + " / " + Today() + " ] Test note");
    EXPECT_EQ(window.StatusPanel(2)->text(), "VRC-780AS1V2.GLB / USER.UBF");
}

TEST(StartupTest, MissingLiftStatePictureStopsStartupNamingTheFile) {
    TWorkFolder folder;
    QFile::remove(folder.LiftStatePath(3, 2));
    XVclUtil::TMessageCapture messages;
    TMainWindow window(folder.ProgramDir());

    ASSERT_EQ(messages.Messages.size(), 1u);
    EXPECT_NE(messages.Messages[0].second.find("OUT_OF_SERVICE-INV-128x32_EN.bmp"),
              std::string::npos);
    EXPECT_FALSE(window.StartupCompleted());
    EXPECT_EQ(window.StatusPanel(2)->text(), "Program start error!!");
}
