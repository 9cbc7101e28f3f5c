#include "EXGeneral.h"

#include "Printf.h"

namespace XVclUtil {

EXGeneral::EXGeneral(const char* fmt, ...) : ErrorCode(-1) {
    va_list args;
    va_start(args, fmt);
    Message = FormatV(fmt, args);
    va_end(args);
}

EXGeneral::EXGeneral(int code, const char* fmt, ...) : ErrorCode(code) {
    va_list args;
    va_start(args, fmt);
    Message = FormatV(fmt, args);
    va_end(args);
}

} // namespace XVclUtil
