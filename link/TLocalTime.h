#pragma once
// One reading of the PC's local date and time, as the upload protocol uses it: the date/time
// frame carries it to the controller, and the ROM transfers stamp their start and end with it.

#include <cstdint>

namespace Link {

struct TLocalTime {
    int Year = 2000;     // full year, e.g. 2010
    int Month = 1;       // 1..12
    int Day = 1;         // 1..31
    int DayOfWeek = 6;   // 1 Monday .. 7 Sunday
    int Hour = 0;        // 0..23
    int Minute = 0;      // 0..59
    int Second = 0;      // 0..59
    int Millisecond = 0; // 0..999

    // The host's local time now.
    static TLocalTime Now();

    // Milliseconds since midnight.
    std::int64_t MillisecondsOfDay() const;

    // Days since 1970-01-01 of the calendar date (proleptic Gregorian).
    std::int64_t DayNumber() const;
};

// Milliseconds from start to end. The date takes part, so a transfer that runs over midnight
// still gives its true duration instead of a negative one.
std::int64_t ElapsedMilliseconds(const TLocalTime& start, const TLocalTime& end);

// Packed decimal, tens in the high nibble: 0..99 give 0x00..0x99.
std::uint8_t ToBcd(int value);

} // namespace Link
