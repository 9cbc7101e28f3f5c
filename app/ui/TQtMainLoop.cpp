#include "app/ui/TQtMainLoop.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QObject>
#include <QTimer>

namespace AppUi {

namespace {

// Lives on the main thread (made there), so the steps invoked on it run there.
class TQtDispatcher final : public QObject, public XVclUtil::TMainThreadDispatcher {
public:
    void RunAndWait(const std::function<void()>& step) override {
        QMetaObject::invokeMethod(
            this, [&step] { step(); }, Qt::BlockingQueuedConnection);
    }
    void RunWaitingSteps() override { QCoreApplication::sendPostedEvents(this, QEvent::MetaCall); }
};

class TQtTimer final : public XVclUtil::TTimer {
public:
    explicit TQtTimer(std::function<void()> onTimer) : OnTimer(std::move(onTimer)) {
        QObject::connect(&Timer, &QTimer::timeout, [this] {
            if (OnTimer) OnTimer();
        });
    }
    void Start(int intervalMs) override { Timer.start(intervalMs); }
    void Stop() override { Timer.stop(); }
    bool Active() const override { return Timer.isActive(); }

private:
    std::function<void()> OnTimer;
    QTimer Timer;
};

} // namespace

void TQtMainLoop::Install() {
    static TQtMainLoop loop;
    XVclUtil::TMainLoop::Install(&loop);
}

std::unique_ptr<XVclUtil::TMainThreadDispatcher> TQtMainLoop::NewDispatcher() {
    return std::make_unique<TQtDispatcher>();
}

void TQtMainLoop::Post(std::function<void()> step) {
    QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(step), Qt::QueuedConnection);
}

std::unique_ptr<XVclUtil::TTimer> TQtMainLoop::NewTimer(std::function<void()> onTimer) {
    return std::make_unique<TQtTimer>(std::move(onTimer));
}

} // namespace AppUi
