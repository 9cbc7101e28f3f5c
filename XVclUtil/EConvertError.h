#pragma once
// Conversion error of text to number, date or time, as the framework's converters raise it.

#include <stdexcept>
#include <string>

namespace XVclUtil {

class EConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Strict text-to-integer conversion: optional blanks, optional sign, decimal digits or "$"/"0x"
// hexadecimal, optional trailing blanks; anything else or overflow raises
// "'text' is not a valid integer value".
int StrToInt(const std::string& text);

} // namespace XVclUtil
