// zkf780a-editor: the ZKF780A display editor and VRC-780A upload tool.

#include "app/ui/MessageBoxSink.h"
#include "app/ui/TMainWindow.h"
#include "app/ui/TQtMainLoop.h"

#include "XVclUtil/MessageBox.h"

#include <QApplication>

#include <exception>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    AppUi::InstallMessageBoxSink();
    AppUi::TQtMainLoop::Install();
    try {
        AppUi::TMainWindow window;
        window.show();
        return app.exec();
    } catch (const std::exception& e) {
        XVclUtil::ShowErrMsgBox_Printf("Error", "%s", e.what());
        return 1;
    }
}
