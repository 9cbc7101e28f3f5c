#include "tools/sampledata/TOffscreenApp.h"

#include <QGuiApplication>

namespace SampleData {

namespace {

int AppArgc = 1;
char AppName[] = "zkf780a-sampledata";
char* AppArgv[] = {AppName, nullptr};
QtMessageHandler PreviousHandler = nullptr;

// Drawing needs no per-user runtime folder; Qt's note that none is set would only confuse the
// output of the tools.
void QuietHandler(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtWarningMsg && text.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR")))
        return;
    if (PreviousHandler) PreviousHandler(type, context, text);
}

} // namespace

TOffscreenApp::TOffscreenApp() {
    if (QCoreApplication::instance() != nullptr) return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    PreviousHandler = qInstallMessageHandler(QuietHandler);
    App = std::make_unique<QGuiApplication>(AppArgc, AppArgv);
}

TOffscreenApp::~TOffscreenApp() = default;

} // namespace SampleData
