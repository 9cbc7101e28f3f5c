#pragma once
// The system's own error: errno on POSIX systems, GetLastError on Windows, and its text as the
// system words it (strerror, FormatMessage). Libraries keep it beside their own messages so
// that a user sees why the system refused, as "Permission denied" or "Access is denied.".

#include <string>

namespace XVclUtil {

// The calling thread's last system error; read it right after the failed call.
int LastSystemError();
// The system's text for a code of LastSystemError(); "" for 0.
std::string SystemErrorText(int code);

} // namespace XVclUtil
