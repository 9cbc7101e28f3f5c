// MAKE ROM: saves the project, builds the ROM image in the working directory, then shows the
// cells the build emptied and the new file in the file list.

#include "app/ui/TMainWindow.h"

#include "app/core/MakeRom.h"
#include "app/ui/TFolderBrowser.h"

namespace AppUi {

void TMainWindow::SpeedButton10Click() {
    // Cells MAKE ROM empties because their picture is missing are one undoable step.
    Change("MAKE ROM", [this] { AppCore::MakeRom(EditorSession); });
    ShowDocument();
    if (Browser) Browser->Relink(); // the file list shows the new image
}

} // namespace AppUi
