#pragma once
// Text rules the builder shares with the editor: trimming drops bytes up to and including the
// blank (control characters too) at both ends; upper case is ASCII upper case.

#include <string>
#include <string_view>

namespace Rom {

std::string TrimText(std::string_view text);
std::string UpperAscii(std::string_view text);
inline std::string TrimUpper(std::string_view text) {
    return UpperAscii(TrimText(text));
}

} // namespace Rom
