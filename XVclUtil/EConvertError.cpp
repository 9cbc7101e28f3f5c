#include "EConvertError.h"

#include <cctype>
#include <climits>

namespace XVclUtil {

int StrToInt(const std::string& text) {
    auto fail = [&]() -> int {
        throw EConvertError("'" + text + "' is not a valid integer value");
    };
    std::size_t i = 0, n = text.size();
    while (i < n && text[i] == ' ') ++i;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int base = 10;
    if (i < n && text[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < n && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    const std::size_t firstDigit = i;
    long long value = 0;
    for (; i < n; ++i) {
        int c = static_cast<unsigned char>(text[i]);
        int digit;
        if (std::isdigit(c))
            digit = c - '0';
        else if (base == 16 && std::isxdigit(c))
            digit = std::toupper(c) - 'A' + 10;
        else
            break;
        value = value * base + digit;
        // Hexadecimal takes the full 32 bits (0xFFFFFFFF is -1), decimal only the int range.
        if (value > (base == 16 ? 0xFFFFFFFFLL : static_cast<long long>(INT_MAX) + 1))
            return fail();
    }
    if (i == firstDigit) return fail();
    while (i < n && text[i] == ' ') ++i;
    if (i != n) return fail();
    if (base == 16) {
        auto bits = static_cast<unsigned int>(value);
        return static_cast<int>(negative ? 0u - bits : bits);
    }
    if (!negative && value > INT_MAX) return fail();
    return negative ? static_cast<int>(-value) : static_cast<int>(value);
}

} // namespace XVclUtil
