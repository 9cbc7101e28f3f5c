#pragma once
// The editor's project: every field the project file stores and MAKE ROM encodes. The window's
// controls show these fields and write to them; nothing else holds project state.

#include <array>
#include <string>

namespace AppCore {

constexpr int CodeTableCount = 6;        // CTBL0 .. CTBL5
constexpr int CodeCount = 256;           // floor input codes 0 .. 255 per table
constexpr int LiftStateCount = 10;       // FIRE .. IND
constexpr int LiftStateVariantCount = 4; // A, B, C, D
constexpr int LiftStateSlotCount = LiftStateCount * LiftStateVariantCount;
constexpr int SwapTimeItemCount = 30;  // ComboBox4: "1" .. "30" seconds
constexpr int PwrSavingItemCount = 17; // ComboBox1
constexpr int WeekLangItemCount = 3;   // ComboBox5
constexpr int MsgVariantMaskDefault = 3;
inline constexpr const char* DefaultRomFileName = "ZKF780A.ROM";

// ComboBox1 items: backlight power-saving delay in seconds (0 = off).
inline constexpr std::array<int, PwrSavingItemCount> PwrSavingSeconds = {
    0, 5, 10, 20, 30, 40, 50, 60, 120, 180, 240, 300, 360, 420, 480, 540, 600};
// ComboBox5 items, the second week-name language.
inline constexpr std::array<const char*, WeekLangItemCount> WeekLangNames = {"Chinese", "Deutsch",
                                                                             "Spanish"};

enum class TDisplayType { Horizontal = 0, Vertical = 1 }; // file: "H" / "V"
enum class TDpStyle { Left, Right };                      // file: 2 / 1
enum class TWeekType { English, OtherLanguage };          // RadioButton12 / RadioButton11
enum class TDateFormat { TYPE1, TYPE2 };                  // "YYYY / MM / DD" / "DD MMM YYYY"

// Cells of one code table, indexed by floor input code (grid row code + 1).
using TCodeTable = std::array<std::string, CodeCount>;
// CodeTables[t][n] is grid column t + 2, row n + 1: table CTBLt, code n.
using TCodeTables = std::array<TCodeTable, CodeTableCount>;

// Slot of lift state s (0..9), variant v (0 A English normal, 1 B second language normal,
// 2 C English inverted, 3 D second language inverted).
constexpr int LiftStateSlot(int state, int variant) {
    return 4 * state + variant;
}

struct ProjectDocument {
    TCodeTables CodeTables; // all empty
    std::string CODEVER;      // selected Model entry, trimmed; empty when the list is empty
    int DEFCODETABLE = 0;     // 0..5
    int DEF_FL = 0;           // 0..4
    int DEF_DIR = 0;          // 0..11
    int DEF_MSG = MsgVariantMaskDefault;       // normalised mask, as last saved or loaded
    int MsgCheckBoxes = MsgVariantMaskDefault; // CheckBox2..CheckBox5 as bits 0..3
    TDpStyle DPSTYLE = TDpStyle::Right;
    std::array<std::string, LiftStateSlotCount> LiftStateImageTable{}; // picture paths
    TDisplayType DISPLAYTYPE = TDisplayType::Vertical;
    bool CUSTOMERTITLE = true;
    std::string TITLEFILENAME_V; // empty = library picture (0, 0)
    std::string TITLEFILENAME_H; // empty = library picture (0, 5)
    std::string TITLEFILENAME_2; // empty = library picture (0, 222)
    bool CUSLOGOENABLE = false;  // also whether ComboBox4 is enabled
    std::string TITLEFILENAME_C; // logo picture, empty = none
    int SWAPTIME = 0;            // item index 0..29
    bool FLFRAME = false;
    TWeekType WEEKTYPE = TWeekType::English;
    int WEEKLANG = 0; // item index 0..2
    TDateFormat DATEFORMAT = TDateFormat::TYPE1;
    int PWRSAVING = 0; // item index 0..16
    bool DPDATETIME = true;
    std::string OUTDATE;   // YYMMDD or empty
    std::string CUSIDCODE; // up to four characters
    std::string ROMFILENAME = DefaultRomFileName;

    bool operator==(const ProjectDocument&) const = default;
};

} // namespace AppCore
