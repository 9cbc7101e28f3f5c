#include "EventPump.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

namespace TestSupport {

void EnsureApplication() {
    if (QCoreApplication::instance()) return;
    static int argc = 1;
    static char name[] = "serial-tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
}

bool PumpUntil(const std::function<bool()>& cond, int timeoutMs) {
    EnsureApplication();
    QDeadlineTimer deadline(timeoutMs);
    while (!cond()) {
        if (deadline.hasExpired()) return cond();
        QEventLoop loop;
        QTimer::singleShot(1, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

void PumpFor(int ms) {
    EnsureApplication();
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace TestSupport
