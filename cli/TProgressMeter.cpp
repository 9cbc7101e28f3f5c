#include "TProgressMeter.h"

#include "link/TUploadFrame.h"

#include <cstdio>

namespace Cli {

void TProgressMeter::SetPosition(unsigned position, TClock::time_point now) {
    if (Start == TClock::time_point{} || position < Position) {
        Start = now;
        StartPosition = position;
    }
    Position = position;
}

unsigned TProgressMeter::Percent() const {
    if (Total == 0) return 0;
    const unsigned shown = Position > Total ? Total : Position;
    return static_cast<unsigned>(100ull * shown / Total);
}

std::string TProgressMeter::RateAndTimeLeft(TClock::time_point now) const {
    const double seconds = std::chrono::duration<double>(now - Start).count();
    const unsigned done = Position - StartPosition;
    if (seconds < 0.2 || done == 0) return "-- KiB/s";
    const double blocksPerSecond = done / seconds;
    const unsigned left = Total > Position ? Total - Position : 0;
    const auto secondsLeft = static_cast<unsigned long>(left / blocksPerSecond + 0.5);
    char text[64];
    std::snprintf(text, sizeof text, "%.1f KiB/s %lu:%02lu left",
                  blocksPerSecond * Link::FrameDataSize / 1024.0, secondsLeft / 60,
                  secondsLeft % 60);
    return text;
}

} // namespace Cli
