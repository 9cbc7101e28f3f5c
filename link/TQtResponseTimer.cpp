#include "link/TQtResponseTimer.h"

namespace Link {

TQtResponseTimer::TQtResponseTimer(QObject* parent, int intervalMs) : Timer(parent) {
    Timer.setInterval(intervalMs);
    Timer.setSingleShot(false);
    QObject::connect(&Timer, &QTimer::timeout, [this] {
        if (OnTimer) OnTimer();
    });
}

} // namespace Link
