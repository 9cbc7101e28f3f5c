#include "tools/sampledata/TOffscreenApp.h"

#include <QGuiApplication>

namespace SampleData {

namespace {
int AppArgc = 1;
char AppName[] = "zkf780a-sampledata";
char* AppArgv[] = {AppName, nullptr};
} // namespace

TOffscreenApp::TOffscreenApp() {
    if (QCoreApplication::instance() != nullptr) return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    App = std::make_unique<QGuiApplication>(AppArgc, AppArgv);
}

TOffscreenApp::~TOffscreenApp() = default;

} // namespace SampleData
