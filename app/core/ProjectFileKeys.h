#pragma once
// Section and key names of the project file.

#include <string>

namespace AppCore::ProjectKeys {

inline constexpr const char* Global = "GLOBAL";
inline constexpr const char* LiftStateImage = "LiftStateImage";
inline constexpr const char* PrjMemo = "PRJMEMO";
inline constexpr const char* CodeTable20 = "CODETABLE";

inline std::string CodeTableSection(int table) {
    return "CTBL" + std::to_string(table);
}
inline std::string CodeKey(int code) {
    return "CODE_" + std::to_string(code);
}
// Version 2.0: tables 1..6 are CTBL0..CTBL5.
inline std::string CodeKey20(int table, int code) {
    return "CT_" + std::to_string(table + 1) + "_" + std::to_string(code);
}
inline std::string LiftStateKey(int state, int variant) {
    return "LeftState_" + std::to_string(state) + "_" + char('A' + variant);
}

} // namespace AppCore::ProjectKeys
