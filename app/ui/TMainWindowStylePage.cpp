// The Style page: floor-number and arrow styles, H_Style, the message variant boxes and the
// forty message pictures.

#include "app/ui/TMainWindow.h"

#include "app/core/DocumentActions.h"
#include "app/ui/TImage.h"
#include "app/ui/TMainWindowForm.h"

#include <QSignalBlocker>
#include <QToolTip>

#include <bit>

namespace AppUi {

namespace {

using TStyleButton = QRadioButton* Ui_TStylePage::*;

// The style buttons of the form, in style order.
constexpr TStyleButton FlStyleButtons[] = {
    &Ui_TStylePage::RadioButton21, &Ui_TStylePage::RadioButton22, &Ui_TStylePage::RadioButton23,
    &Ui_TStylePage::RadioButton24, &Ui_TStylePage::RadioButton25};
constexpr TStyleButton DirStyleButtons[] = {
    &Ui_TStylePage::RadioButton26, &Ui_TStylePage::RadioButton27, &Ui_TStylePage::RadioButton28,
    &Ui_TStylePage::RadioButton29, &Ui_TStylePage::RadioButton30, &Ui_TStylePage::RadioButton31,
    &Ui_TStylePage::RadioButton32, &Ui_TStylePage::RadioButton33, &Ui_TStylePage::RadioButton34,
    &Ui_TStylePage::RadioButton35, &Ui_TStylePage::RadioButton36, &Ui_TStylePage::RadioButton37};
// The default code table buttons, CTBL0 .. CTBL5.
constexpr QRadioButton* Ui_TMainForm::*CodeTableButtons[] = {
    &Ui_TMainForm::RadioButton15, &Ui_TMainForm::RadioButton16, &Ui_TMainForm::RadioButton17,
    &Ui_TMainForm::RadioButton18, &Ui_TMainForm::RadioButton19, &Ui_TMainForm::RadioButton20};
// The message variant boxes CheckBox2 .. CheckBox5, by the bit they select.
constexpr QCheckBox* Ui_TStylePage::*MsgCheckBoxes[] = {
    &Ui_TStylePage::CheckBox2, &Ui_TStylePage::CheckBox3, &Ui_TStylePage::CheckBox4,
    &Ui_TStylePage::CheckBox5};

constexpr int FloorStyleCount = std::size(FlStyleButtons);
constexpr int ArrowStyleCount = std::size(DirStyleButtons);
static_assert(std::size(CodeTableButtons) == AppCore::CodeTableCount);

QCheckBox* MsgCheckBox(Ui::TMainWindow& form, int bit) {
    return form.*MsgCheckBoxes[bit];
}

} // namespace

void TMainWindow::ConnectStylePage() {
    for (int s = 0; s < FloorStyleCount; ++s)
        connect((*UiForm).*FlStyleButtons[s], &QRadioButton::toggled, this, [this, s](bool on) {
            if (on && !Showing)
                Change("FL Style",
                       [this, s] { AppCore::SelectFloorStyle(EditorSession.Document, s); });
        });
    for (int s = 0; s < ArrowStyleCount; ++s)
        connect((*UiForm).*DirStyleButtons[s], &QRadioButton::toggled, this, [this, s](bool on) {
            if (on && !Showing)
                Change("DIR Style",
                       [this, s] { AppCore::SelectArrowStyle(EditorSession.Document, s); });
        });
    connect(UiForm->RadioButton7, &QRadioButton::toggled, this, [this](bool on) {
        if (!Showing)
            Change("H_Style", [this, on] {
                EditorSession.Document.DPSTYLE =
                    on ? AppCore::TDpStyle::Left : AppCore::TDpStyle::Right;
            });
    });
    // The boxes say which message variant each selects (the form leaves them without text).
    const char* const variantLabels[4] = {"2nd lang.", "2nd lang. inv.", "English", "English inv."};
    for (int bit = 0; bit < 4; ++bit)
        MsgCheckBox(*UiForm, bit)->setText(QString::fromLatin1(variantLabels[bit]));
    for (int bit = 0; bit < 4; ++bit)
        connect(MsgCheckBox(*UiForm, bit), &QCheckBox::toggled, this, [this, bit](bool on) {
            if (Showing) return;
            if (on && std::popcount(unsigned(EditorSession.Document.MsgCheckBoxes)) >= 2) {
                RefuseThirdVariant(bit);
                return;
            }
            Change("Message variants", [this, bit, on] {
                int& mask = EditorSession.Document.MsgCheckBoxes;
                mask = on ? (mask | (1 << bit)) : (mask & ~(1 << bit));
            });
        });
    // Message boxes: double click picks the picture of that state and variant only.
    // Reached with Tab, they open with Enter or Space as well.
    for (int s = 0; s < AppCore::LiftStateCount; ++s)
        for (int v = 0; v < AppCore::LiftStateVariantCount; ++v) {
            TImage* box = PictureBoxes.Box(AppCore::Images::LiftStateBox(s, v));
            const auto pick = [this, s, v] {
                Change("Message picture",
                       [&] { AppCore::PickLiftStatePicture(EditorSession, s, v); });
            };
            connect(box, &TImage::DblClick, this, pick);
            box->setFocusPolicy(Qt::StrongFocus);
            connect(box, &TImage::KeyActivated, this, pick);
        }
}

void TMainWindow::RefuseThirdVariant(int bit) {
    QCheckBox* box = MsgCheckBox(*UiForm, bit);
    const QSignalBlocker block(box);
    box->setChecked(false);
    QToolTip::showText(box->mapToGlobal(box->rect().bottomLeft()),
                       QStringLiteral("Two message variants at most: untick one of the others "
                                      "first."),
                       box);
}

void TMainWindow::ShowStyleFields() {
    const AppCore::ProjectDocument& document = EditorSession.Document;
    // The default code table is chosen on the CodeTable page.
    if (document.DEFCODETABLE >= 0 && document.DEFCODETABLE < AppCore::CodeTableCount)
        ((*UiForm).*CodeTableButtons[document.DEFCODETABLE])->setChecked(true);
    if (!UiForm->TabSheet2->IsBuilt()) return; // the Style page shows the document when made
    if (document.DEF_FL >= 0 && document.DEF_FL < FloorStyleCount)
        ((*UiForm).*FlStyleButtons[document.DEF_FL])->setChecked(true);
    if (document.DEF_DIR >= 0 && document.DEF_DIR < ArrowStyleCount)
        ((*UiForm).*DirStyleButtons[document.DEF_DIR])->setChecked(true);
    (document.DPSTYLE == AppCore::TDpStyle::Left ? UiForm->RadioButton7 : UiForm->RadioButton8)
        ->setChecked(true);
    for (int bit = 0; bit < 4; ++bit)
        MsgCheckBox(*UiForm, bit)->setChecked((document.MsgCheckBoxes >> bit) & 1);
}

} // namespace AppUi
