#include "link/TLocalTime.h"

#include <chrono>
#include <ctime>

namespace Link {

TLocalTime TLocalTime::Now() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t secs = system_clock::to_time_t(now);
    const auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm tm{};
#ifdef _WIN32
    localtime_s(&tm, &secs);
#else
    localtime_r(&secs, &tm);
#endif
    TLocalTime t;
    t.Year = tm.tm_year + 1900;
    t.Month = tm.tm_mon + 1;
    t.Day = tm.tm_mday;
    t.DayOfWeek = tm.tm_wday == 0 ? 7 : tm.tm_wday;
    t.Hour = tm.tm_hour;
    t.Minute = tm.tm_min;
    t.Second = tm.tm_sec;
    t.Millisecond = static_cast<int>(ms < 0 ? ms + 1000 : ms);
    return t;
}

std::int64_t TLocalTime::MillisecondsOfDay() const {
    return (static_cast<std::int64_t>(Hour) * 3600 + Minute * 60 + Second) * 1000 + Millisecond;
}

std::int64_t TLocalTime::DayNumber() const {
    // Howard Hinnant's days_from_civil.
    const std::int64_t y = Month <= 2 ? Year - 1 : Year;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (Month + (Month > 2 ? -3 : 9)) + 2) / 5 + Day - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

std::int64_t ElapsedMilliseconds(const TLocalTime& start, const TLocalTime& end) {
    return (end.DayNumber() - start.DayNumber()) * 86'400'000 + end.MillisecondsOfDay() -
           start.MillisecondsOfDay();
}

std::uint8_t ToBcd(int value) {
    if (value < 0) value = 0;
    value %= 100;
    return static_cast<std::uint8_t>(((value / 10) << 4) | (value % 10));
}

} // namespace Link
