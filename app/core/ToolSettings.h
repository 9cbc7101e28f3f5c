#pragma once
// Values of the tool settings file for the selected controller model.

#include <cstdint>
#include <string>
#include <vector>

namespace AppCore {

inline constexpr const char* ToolSettingsFileName = "KRVZKF780AS1.INI";
inline constexpr const char* DefaultGlbFileName = "VRC-780AS1V2.GLB";

struct ToolSettings {
    std::vector<std::string> ModelList;   // Model list entries, in file order
    std::string CurrentModel;             // model whose section was read last
    int32_t OUTCPUBIN = 0;                // 1: MAKE ROM also writes the .BIN side file
    int32_t CFI = 247;                    // group-0 index of the configuration block head
    int32_t IFI = 248;                    // group-0 index copied behind the checksummed part
    int32_t BANK = 0;                     // group of the four "PM_" pictures
    int32_t OFFSET = 0;                   // first "PM_" pair
    int32_t SETOFFSET = 0;                // second "PM_" pair
    std::string GLB = DefaultGlbFileName; // picture library, relative to StartDir
    std::string UBFGLB;                   // user picture library, empty = none
    std::string APNOTE;                   // note appended to the caption

    bool operator==(const ToolSettings&) const = default;
};

// Built-in model list, used when the settings file names no model.
inline const std::vector<std::string>& BuiltInModelList() {
    static const std::vector<std::string> list = {"KRV-RS", "KRV-CS", "KRV-BIN", "KRV-GRY",
                                                  "KRV-LED"};
    return list;
}

} // namespace AppCore
