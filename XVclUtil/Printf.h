#pragma once
// printf-style formatting into std::string, shared by the helpers that build messages.

#include <cstdarg>
#include <string>

namespace XVclUtil {

std::string FormatV(const char* fmt, va_list args);
std::string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

} // namespace XVclUtil
