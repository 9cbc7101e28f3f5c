#pragma once
// The controls of the main window under the names its Designer forms give them: the main form
// (MainWindow.ui), the Style page (StylePage.ui) and the Make page (MakePage.ui). A page's
// members are null until the page is made, when it is first shown; TMainWindow::Form() makes
// both first.

#include "ui_MainWindow.h"
#include "ui_MakePage.h"
#include "ui_StylePage.h"

namespace Ui {
class TMainWindow : public TMainForm, public TStylePage, public TMakePage {};
} // namespace Ui
