#pragma once
// The window's main loop for the libraries (XVclUtil::TMainLoop): a worker thread's hand-off is
// posted to the Qt event loop and blocks until it has run there
// (QMetaObject::invokeMethod with Qt::BlockingQueuedConnection); timers are QTimers.

#include "XVclUtil/TMainLoop.h"

namespace AppUi {

class TQtMainLoop final : public XVclUtil::TMainLoop {
public:
    // Makes the process's instance the current main loop. Main thread, once the Qt application
    // exists and before a component opens a port or starts a timer; a second call does nothing.
    static void Install();

    std::unique_ptr<XVclUtil::TMainThreadDispatcher> NewDispatcher() override;
    std::unique_ptr<XVclUtil::TTimer> NewTimer(std::function<void()> onTimer) override;
    void Post(std::function<void()> step) override;
};

} // namespace AppUi
