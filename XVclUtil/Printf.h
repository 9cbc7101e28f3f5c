#pragma once
// printf-style formatting into std::string, shared by the helpers that build messages.

#include "PrintfFormat.h"

#include <cstdarg>
#include <string>

namespace XVclUtil {

std::string FormatV(const char* fmt, va_list args);
std::string Format(const char* fmt, ...) ZKF_PRINTF_FORMAT(1, 2);

} // namespace XVclUtil
