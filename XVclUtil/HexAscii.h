#pragma once

#include <cstdint>

namespace XVclUtil {

// Writes the two upper-case hexadecimal digits of value, high digit first, without a NUL.
void BinToHexAscii(std::uint8_t value, char* out);

} // namespace XVclUtil
