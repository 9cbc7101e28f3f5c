// The Make page: display options, customer pictures, date and ID code, ROM file name, the
// folder browser and MAKE ROM.

#include "app/ui/TMainWindow.h"

#include "app/core/DocumentActions.h"
#include "app/core/DocumentPictures.h"
#include "app/ui/TFolderBrowser.h"
#include "app/ui/TImage.h"
#include "app/ui/TMainWindowForm.h"

#include <QAction>

namespace AppUi {

namespace {

// A pair of radio buttons for one on/off field.
void ShowOnOff(QRadioButton* on, QRadioButton* off, bool value) {
    (value ? on : off)->setChecked(true);
}

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

void TMainWindow::ConnectMakePage() {
    AppCore::ProjectDocument& doc = EditorSession.Document;
    const auto onToggle = [this](QRadioButton* button, auto store) {
        connect(button, &QRadioButton::toggled, this, [this, store](bool on) {
            if (on && !Showing) Change("Option", store);
        });
    };
    onToggle(UiForm->RadioButton5, [&doc] { doc.DISPLAYTYPE = AppCore::TDisplayType::Horizontal; });
    onToggle(UiForm->RadioButton6, [&doc] { doc.DISPLAYTYPE = AppCore::TDisplayType::Vertical; });
    for (QRadioButton* type : {UiForm->RadioButton5, UiForm->RadioButton6})
        connect(type, &QRadioButton::toggled, this, &TMainWindow::ApplyDisplayView);
    onToggle(UiForm->RadioButton9, [&doc] { doc.CUSTOMERTITLE = true; });
    onToggle(UiForm->RadioButton10, [&doc] { doc.CUSTOMERTITLE = false; });
    onToggle(UiForm->RadioButton1, [&doc] { doc.FLFRAME = true; });
    onToggle(UiForm->RadioButton2, [&doc] { doc.FLFRAME = false; });
    onToggle(UiForm->RadioButton38, [&doc] { doc.DPDATETIME = true; });
    onToggle(UiForm->RadioButton39, [&doc] { doc.DPDATETIME = false; });
    onToggle(UiForm->RadioButton12, [&doc] { doc.WEEKTYPE = AppCore::TWeekType::English; });
    onToggle(UiForm->RadioButton11, [&doc] { doc.WEEKTYPE = AppCore::TWeekType::OtherLanguage; });
    onToggle(UiForm->RadioButton13, [&doc] { doc.DATEFORMAT = AppCore::TDateFormat::TYPE1; });
    onToggle(UiForm->RadioButton14, [&doc] { doc.DATEFORMAT = AppCore::TDateFormat::TYPE2; });

    connect(UiForm->RadioButton3, &QRadioButton::clicked, this, &TMainWindow::RadioButton3Click);
    connect(UiForm->RadioButton4, &QRadioButton::clicked, this, &TMainWindow::RadioButton4Click);

    const auto onIndex = [this](QComboBox* list, int AppCore::ProjectDocument::*field) {
        connect(list, &QComboBox::currentIndexChanged, this, [this, field](int index) {
            if (!Showing && index >= 0)
                Change("Option", [this, field, index] { EditorSession.Document.*field = index; });
        });
    };
    onIndex(UiForm->ComboBox4, &AppCore::ProjectDocument::SWAPTIME);
    onIndex(UiForm->ComboBox5, &AppCore::ProjectDocument::WEEKLANG);
    onIndex(UiForm->ComboBox1, &AppCore::ProjectDocument::PWRSAVING);

    // Typing in one field is one step; the merge key is the field's edit number.
    const auto onText = [this](QLineEdit* edit, std::string AppCore::ProjectDocument::*field,
                               int key) {
        connect(edit, &QLineEdit::textChanged, this, [this, field, key](const QString& text) {
            if (!Showing)
                Change(
                    "Typing", [&] { EditorSession.Document.*field = text.toStdString(); }, key);
        });
    };
    onText(UiForm->Edit1, &AppCore::ProjectDocument::ROMFILENAME, 1);
    onText(UiForm->Edit2, &AppCore::ProjectDocument::OUTDATE, 2);
    onText(UiForm->Edit3, &AppCore::ProjectDocument::CUSIDCODE, 3);

    using AppCore::TCustomerPicture;
    for (TCustomerPicture which : {TCustomerPicture::TitleV, TCustomerPicture::TitleH,
                                   TCustomerPicture::Title2, TCustomerPicture::Logo})
        ConnectCustomerPictureBox(which);

    connect(Browser.get(), &TFolderBrowser::FileClicked, this, &TMainWindow::FileListBox2Click);
    connect(UiForm->SpeedButton10, &QPushButton::clicked, this, &TMainWindow::SpeedButton10Click);
}

void TMainWindow::ConnectCustomerPictureBox(AppCore::TCustomerPicture which) {
    TImage* box = PictureBoxes.Box(AppCore::CustomerPictureImage(which));
    const AppCore::TPictureSize size = AppCore::CustomerPictureSize(which);
    box->SetEmptyHint(
        QStringLiteral("Click to choose a picture (%1 x %2)").arg(size.Width).arg(size.Height));
    const auto pick = [this, which] {
        Change("Customer picture", [&] { AppCore::PickCustomerPicture(EditorSession, which); });
    };
    connect(box, &TImage::Click, this, pick);
    // Reached with Tab, chosen with Enter or Space.
    box->setFocusPolicy(Qt::StrongFocus);
    connect(box, &TImage::KeyActivated, this, pick);
    // Right click: "Clear picture" forgets the chosen file.
    auto* clear = new QAction(QStringLiteral("Clear picture"), box);
    clear->setObjectName(QStringLiteral("ClearPicture") + box->objectName());
    box->addAction(clear);
    box->setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(clear, &QAction::triggered, this, [this, which] {
        Change("Clear picture", [&] { AppCore::ClearCustomerPicture(EditorSession, which); });
    });
}

void TMainWindow::ShowMakeFields() {
    if (!UiForm->TabSheet3->IsBuilt()) { // the page shows the document when made
        ApplyDisplayView();
        return;
    }
    const AppCore::ProjectDocument& doc = EditorSession.Document;
    ShowOnOff(UiForm->RadioButton5, UiForm->RadioButton6,
              doc.DISPLAYTYPE == AppCore::TDisplayType::Horizontal);
    ShowOnOff(UiForm->RadioButton9, UiForm->RadioButton10, doc.CUSTOMERTITLE);
    ShowOnOff(UiForm->RadioButton1, UiForm->RadioButton2, doc.FLFRAME);
    ShowOnOff(UiForm->RadioButton38, UiForm->RadioButton39, doc.DPDATETIME);
    ShowOnOff(UiForm->RadioButton12, UiForm->RadioButton11,
              doc.WEEKTYPE == AppCore::TWeekType::English);
    ShowOnOff(UiForm->RadioButton13, UiForm->RadioButton14,
              doc.DATEFORMAT == AppCore::TDateFormat::TYPE1);
    ShowOnOff(UiForm->RadioButton4, UiForm->RadioButton3, doc.CUSLOGOENABLE);
    UiForm->ComboBox4->setEnabled(doc.CUSLOGOENABLE);
    UiForm->ComboBox4->setCurrentIndex(doc.SWAPTIME);
    UiForm->ComboBox5->setCurrentIndex(doc.WEEKLANG);
    UiForm->ComboBox1->setCurrentIndex(doc.PWRSAVING);
    const auto showText = [](QLineEdit* edit, const std::string& text) {
        if (edit->text() != Q(text)) edit->setText(Q(text));
    };
    showText(UiForm->Edit1, doc.ROMFILENAME);
    showText(UiForm->Edit2, doc.OUTDATE);
    showText(UiForm->Edit3, doc.CUSIDCODE);
    ApplyDisplayView();
}

void TMainWindow::RadioButton3Click() {
    Change("Customer Logo", [this] { AppCore::LogoOff(EditorSession); });
    Showing = true;
    ShowMakeFields();
    Showing = false;
}

void TMainWindow::RadioButton4Click() {
    Change("Customer Logo", [this] { AppCore::LogoOn(EditorSession); });
    Showing = true;
    ShowMakeFields();
    Showing = false;
}

void TMainWindow::FileListBox2Click(const QString& fileName) {
    // The ROM file name without its folder.
    Change("ROM file", [&] { EditorSession.Document.ROMFILENAME = fileName.toStdString(); });
    Showing = true;
    MakePageForm().Edit1->setText(fileName);
    Showing = false;
}

} // namespace AppUi
