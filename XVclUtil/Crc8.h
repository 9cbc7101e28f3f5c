#pragma once
// CRC-8/MAXIM (Dallas 1-Wire): polynomial 0x31 reflected, initial value 0, no final XOR.
// The ROM image, the configuration block and every upload frame use this one CRC.

#include <array>
#include <cstddef>
#include <cstdint>

namespace XVclUtil {

extern const std::array<std::uint8_t, 256> Crc8Table;

// Continues a running CRC over n bytes; start with crc = 0.
std::uint8_t Crc8(const void* data, std::size_t n, std::uint8_t crc = 0);

} // namespace XVclUtil
