// Whole-process start-up probe: shows the editor's main window (or, built with
// ZKF_TABLE_WINDOW, a plain QMainWindow holding three tabs and a 257 x 8 QTableWidget, a window
// that pays for fonts, a table and tabs as the editor does) and exits once the window's first
// frame has been painted. bench/app_ui_startup.sh times both side by side from process start to
// exit.

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <cstdio>

#ifdef ZKF_TABLE_WINDOW
#include <QMainWindow>
#include <QTabWidget>
#include <QTableWidget>
#else
#include "app/ui/TMainWindow.h"
#endif

namespace {

// Quits when the event loop is next idle after the first paint event of a widget of the window:
// the whole frame is painted in one pass, so by then the first paint is complete.
class TFirstPaintQuit : public QObject {
public:
    explicit TFirstPaintQuit(QWidget* window) : Window(window) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!Painted && event->type() == QEvent::Paint && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->window() == Window) {
            Painted = true;
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return false;
    }

private:
    QWidget* Window;
    bool Painted = false;
};

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
#ifdef ZKF_TABLE_WINDOW
    QMainWindow window;
    auto* tabs = new QTabWidget;
    tabs->addTab(new QTableWidget(257, 8), "Code table");
    tabs->addTab(new QWidget, "Pictures");
    tabs->addTab(new QWidget, "Options");
    window.setCentralWidget(tabs);
    window.resize(1000, 760);
#else
    AppUi::TMainWindow window; // start-up from the working directory, as the editor does
#endif
    TFirstPaintQuit firstPaint(&window);
    app.installEventFilter(&firstPaint);
    window.show();
    // A window that is never painted is a failed probe, not a fast one.
    QTimer::singleShot(30000, &app, [] {
        std::fputs("app_ui_startup: no paint within 30 s\n", stderr);
        QCoreApplication::exit(3);
    });
    return app.exec();
}
