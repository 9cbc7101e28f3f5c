#pragma once
// Where the sample library keeps its pictures: the (group, index) places that start-up, the
// previews and MAKE ROM read, and the sizes of the pictures kept there.

#include <array>

namespace SampleData::Layout {

// Group 0: customer titles, frames, date digits, the raw fonts and the configuration entries.
constexpr int TitleV = 0;   // 128 x 24, vertical display
constexpr int TitleH = 5;   // 104 x 24, horizontal display
constexpr int Title2 = 222; // 128 x 32, also read as picture 222 of the status lines
constexpr int FrameV = 4;   // floor-number frame, vertical display
constexpr int FrameH = 9;   // floor-number frame, horizontal display
constexpr std::array<int, 3> RawFontsV = {1, 2, 3}; // copied as pictures 1 to 3, vertical
constexpr std::array<int, 3> RawFontsH = {6, 7, 8}; // the same fonts for a horizontal display
constexpr int ClockDigitsFirst = 197; // 197..210: "0".."9", ":", "/", "-", blank, 16 x 24
constexpr int StatusLinesFirst = 219; // 219..229: status lines 128 x 16, except Title2 at 222
constexpr int StartupCfi = 247;       // boot font, the CFI before any model is read
constexpr int StartupIfi = 248;       // boot screen, the IFI before any model is read
constexpr int DefaultCfi = 251;       // boot font of the model defaults
constexpr int DefaultIfi = 252;       // boot screen of the model defaults

// Groups 1 to 5: floor-number glyphs of styles 0 to 4 at their character codes.
constexpr int FloorFontGroupOfStyle0 = 1;
// Group 1 from index 100: arrow style s, up frame k at 100 + 13s + k, down frame at 106 + 13s + k.
constexpr int ArrowGroup = 1;
constexpr int ArrowFirst = 100;
constexpr int ArrowStride = 13;
constexpr int ArrowDownOffset = 6;

// The model's BANK group: two pairs of raw "PM_" pictures, each pair horizontal then vertical.
constexpr int PmBank = 2;
constexpr int PmOffset = 116;
constexpr int PmSetOffset = 251;

// Groups 6 (vertical) and 7 (horizontal): language L (0 English, 1 Chinese, 2 German,
// 3 Spanish) keeps month names at 20L .. 20L + 11 and week-day names, Sunday first, at
// 20L + 12 .. 20L + 18.
constexpr int CalendarGroupV = 6;
constexpr int CalendarGroupH = 7;
constexpr int CalendarLanguageStride = 20;
constexpr int WeekDayOffset = 12;

} // namespace SampleData::Layout
