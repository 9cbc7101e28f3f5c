#pragma once
// Exception of the in-house libraries: a message text plus an integer error code.

#include "PrintfFormat.h"

#include <exception>
#include <string>

namespace XVclUtil {

class EXGeneral : public std::exception {
public:
    // Message built printf-style; ErrorCode is -1.
    explicit EXGeneral(const char* fmt, ...) ZKF_PRINTF_FORMAT(2, 3);
    // Message built printf-style; ErrorCode is code.
    EXGeneral(int code, const char* fmt, ...) ZKF_PRINTF_FORMAT(3, 4);

    const char* what() const noexcept override { return Message.c_str(); }

    std::string Message;
    int ErrorCode;
};

} // namespace XVclUtil
