// The Make page's connection controls: COM port list, Connect/Disconnect, Date/Time sync, the
// upload buttons, the hidden baud-rate list, "Msg. on", the progress bar and the response timer
// Timer1. Their behaviour lives in TMakePageLink; these slots hand the events to it (making the
// page first when a slot is called before the page was shown).

#include "app/ui/TMainWindow.h"

#include "app/core/MakeRom.h"

#include "app/ui/TMakePageLink.h"

#include "app/ui/TMainWindowForm.h"

#include <QTimer>

namespace AppUi {

void TMainWindow::ConnectLinkControls() {
    MakeLink =
        std::make_shared<TMakePageLink>(*UiForm, *Timer1, WindowPrompts, [this](bool enabled) {
            SetCommandButtonsEnabled(enabled);
        });
    MakeLink->RomFileToOffer = [this] { return AppCore::RomImagePath(EditorSession); };
    connect(UiForm->SpeedButton5, &QPushButton::clicked, this, &TMainWindow::SpeedButton5Click);
    connect(UiForm->SpeedButton6, &QPushButton::clicked, this, &TMainWindow::SpeedButton6Click);
    connect(UiForm->SpeedButton7, &QPushButton::clicked, this, &TMainWindow::SpeedButton7Click);
    connect(UiForm->SpeedButton8, &QPushButton::clicked, this, &TMainWindow::SpeedButton8Click);
    connect(UiForm->SpeedButton9, &QPushButton::clicked, this, &TMainWindow::SpeedButton9Click);
    connect(UiForm->ComboBox11, &QComboBox::currentIndexChanged, this,
            &TMainWindow::ComboBox11Change);
    connect(Timer1, &QTimer::timeout, this, &TMainWindow::Timer1Timer);
}

void TMainWindow::SpeedButton5Click() {
    MakePageLink().SpeedButton5Click();
}
void TMainWindow::SpeedButton6Click() {
    MakePageLink().SpeedButton6Click();
}
// The code-table transfer is not offered: the button stays hidden and does nothing, so it can
// never leave the command buttons disabled.
void TMainWindow::SpeedButton7Click() {}
void TMainWindow::SpeedButton8Click() {
    MakePageLink().SpeedButton8Click();
}
void TMainWindow::SpeedButton9Click() {
    MakePageLink().SpeedButton9Click();
}
void TMainWindow::ComboBox11Change(int index) {
    MakePageLink().ComboBox11Change(index);
}
void TMainWindow::Timer1Timer() {
    MakePageLink().Timer1Timer();
}

} // namespace AppUi
