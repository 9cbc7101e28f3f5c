// Whole-process start-up probe: shows the editor's main window (or, built with
// ZKF_EMPTY_WINDOW, one empty Qt Widgets window), lets the event loop run until it is idle and
// exits. bench/app_ui_startup.sh times both side by side from process start to exit.

#include <QApplication>
#include <QTimer>
#include <QWidget>

#ifndef ZKF_EMPTY_WINDOW
#include "app/ui/TMainWindow.h"
#endif

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
#ifdef ZKF_EMPTY_WINDOW
    QWidget window;
    window.resize(1000, 760);
#else
    AppUi::TMainWindow window; // start-up from the working directory, as the editor does
#endif
    window.show();
    // A zero timer fires once the queued show, layout and paint events have been handled.
    QTimer::singleShot(0, &app, &QCoreApplication::quit);
    return app.exec();
}
