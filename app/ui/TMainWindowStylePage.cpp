// The Style page: floor-number and arrow styles, H_Style, the message variant boxes and the
// forty message pictures.

#include "app/ui/TMainWindow.h"

#include "app/core/DocumentActions.h"
#include "app/ui/TImage.h"
#include "ui_MainWindow.h"

#include <QSignalBlocker>
#include <QToolTip>

#include <bit>

namespace AppUi {

namespace {

QRadioButton* RadioButton(QWidget* form, int number) {
    return form->findChild<QRadioButton*>(QStringLiteral("RadioButton%1").arg(number));
}

QCheckBox* MsgCheckBox(QWidget* form, int bit) {
    return form->findChild<QCheckBox*>(QStringLiteral("CheckBox%1").arg(2 + bit));
}

constexpr int FirstFlStyleButton = 21;  // RadioButton21 .. RadioButton25
constexpr int FirstDirStyleButton = 26; // RadioButton26 .. RadioButton37
constexpr int FloorStyleCount = 5;
constexpr int ArrowStyleCount = 12;

} // namespace

void TMainWindow::ConnectStylePage() {
    for (int s = 0; s < FloorStyleCount; ++s)
        connect(RadioButton(this, FirstFlStyleButton + s), &QRadioButton::toggled, this,
                [this, s](bool on) {
                    if (on && !Showing)
                        Change("FL Style",
                               [this, s] { AppCore::SelectFloorStyle(EditorSession.Document, s); });
                });
    for (int s = 0; s < ArrowStyleCount; ++s)
        connect(RadioButton(this, FirstDirStyleButton + s), &QRadioButton::toggled, this,
                [this, s](bool on) {
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
        MsgCheckBox(this, bit)->setText(QString::fromLatin1(variantLabels[bit]));
    for (int bit = 0; bit < 4; ++bit)
        connect(MsgCheckBox(this, bit), &QCheckBox::toggled, this, [this, bit](bool on) {
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
            TImage* box = Image(AppCore::Images::LiftStateBox(s, v));
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
    QCheckBox* box = MsgCheckBox(this, bit);
    const QSignalBlocker block(box);
    box->setChecked(false);
    QToolTip::showText(box->mapToGlobal(box->rect().bottomLeft()),
                       QStringLiteral("Two message variants at most: untick one of the others "
                                      "first."),
                       box);
}

void TMainWindow::ShowStyleFields() {
    const AppCore::ProjectDocument& document = EditorSession.Document;
    if (document.DEF_FL >= 0 && document.DEF_FL < FloorStyleCount)
        RadioButton(this, FirstFlStyleButton + document.DEF_FL)->setChecked(true);
    if (document.DEF_DIR >= 0 && document.DEF_DIR < ArrowStyleCount)
        RadioButton(this, FirstDirStyleButton + document.DEF_DIR)->setChecked(true);
    if (document.DEFCODETABLE >= 0 && document.DEFCODETABLE < AppCore::CodeTableCount)
        RadioButton(this, 15 + document.DEFCODETABLE)->setChecked(true);
    (document.DPSTYLE == AppCore::TDpStyle::Left ? UiForm->RadioButton7 : UiForm->RadioButton8)
        ->setChecked(true);
    for (int bit = 0; bit < 4; ++bit)
        MsgCheckBox(this, bit)->setChecked((document.MsgCheckBoxes >> bit) & 1);
}

} // namespace AppUi
