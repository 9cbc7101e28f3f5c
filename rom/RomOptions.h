#pragma once
// The project's option fields as the configuration block stores them, and the six encoded
// code tables.

#include "RomLayout.h"

#include <array>
#include <cstdint>
#include <string>

namespace Rom {

struct TRomOptions {
    int DEF_DIR = 0;       // arrow style 0..11
    int DEF_FL = 0;        // floor-number style 0..4
    int DATEFORMAT = 0;    // 0 "YYYY / MM / DD" (TYPE1), 1 "DD MMM YYYY" (TYPE2)
    int CUSTOMERTITLE = 1; // 1 ON, 0 OFF
    int DEF_MSG = 3;       // message variant mask
    int DPDATETIME = 1;    // 1 ON, 0 OFF
    std::string OUTDATE;   // YYMMDD or empty
    int WEEKTYPE = 1;      // 1 English, 0 the language of WEEKLANG
    int WEEKLANG = 0;      // 0 Chinese, 1 Deutsch, 2 Spanish
    int FLFRAME = 0;       // 1 ON, 0 OFF
    int DEFCODETABLE = 0;  // 0..5
    std::string CUSIDCODE; // up to four characters
    int CUSLOGOENABLE = 0; // 1 ON, 0 OFF
    int SWAPTIME = 0;      // 0..29: seconds minus 1
    int PWRSAVING = 0;     // 0..16: position in the power-saving list
    int DPSTYLE = 1;       // 2 Left, 1 Right
};

// Kind and value byte of every code of the six tables.
struct TCodeTables {
    std::array<std::array<std::uint8_t, CodeTableRows>, CodeTableCount> Kind{};
    std::array<std::array<std::uint8_t, CodeTableRows>, CodeTableCount> Value{};
};

// The ID code written when CUSIDCODE is empty.
inline constexpr char DefaultIdCode[] = "KRV1";

// Seconds of each PWRSAVING position.
inline constexpr int PowerSavingSeconds[17] = {0,   5,   10,  20,  30,  40,  50,  60, 120,
                                               180, 240, 300, 360, 420, 480, 540, 600};

} // namespace Rom
