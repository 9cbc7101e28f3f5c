#pragma once
// The controls of the main window under the names its Designer forms give them: the main form
// (MainWindow.ui) and the Style page (StylePage.ui). The Style page's members are null until
// the page is made, when it is first shown; TMainWindow::Form() makes it first.

#include "ui_MainWindow.h"
#include "ui_StylePage.h"

namespace Ui {
class TMainWindow : public TMainForm, public TStylePage {};
} // namespace Ui
