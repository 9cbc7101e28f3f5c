#pragma once
// Timer1 on a QTimer: repeating, 10,000 ms by default, disabled at start.

#include "link/TResponseTimer.h"

#include <QObject>
#include <QTimer>

#include <functional>

namespace Link {

class TQtResponseTimer final : public TResponseTimer {
public:
    explicit TQtResponseTimer(QObject* parent = nullptr, int intervalMs = ResponseTimeoutMs);

    void Start() override { Timer.start(); }
    void Stop() override { Timer.stop(); }
    bool Enabled() const override { return Timer.isActive(); }

    // Called at every expiry (the OnTimer event).
    std::function<void()> OnTimer;

private:
    QTimer Timer;
};

} // namespace Link
