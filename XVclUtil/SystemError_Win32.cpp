#include "SystemError.h"

#include <windows.h>

namespace XVclUtil {

int LastSystemError() {
    return static_cast<int>(::GetLastError());
}

// FormatMessage's text without its closing line break; the code itself when the system has no
// text for it.
std::string SystemErrorText(int code) {
    if (code == 0) return {};
    char text[512];
    DWORD n = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                               static_cast<DWORD>(code), 0, text, sizeof text, nullptr);
    while (n > 0 && (text[n - 1] == '\r' || text[n - 1] == '\n' || text[n - 1] == ' ')) --n;
    if (n == 0) return "system error " + std::to_string(code);
    return std::string(text, n);
}

} // namespace XVclUtil
