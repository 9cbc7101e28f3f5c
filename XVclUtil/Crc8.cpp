#include "Crc8.h"

namespace XVclUtil {

namespace {

constexpr std::array<std::uint8_t, 256> MakeTable() {
    std::array<std::uint8_t, 256> table{};
    for (int i = 0; i < 256; ++i) {
        std::uint8_t c = static_cast<std::uint8_t>(i);
        for (int bit = 0; bit < 8; ++bit)
            c = (c & 1) ? static_cast<std::uint8_t>((c >> 1) ^ 0x8C) : c >> 1;
        table[i] = c;
    }
    return table;
}

} // namespace

const std::array<std::uint8_t, 256> Crc8Table = MakeTable();

std::uint8_t Crc8(const void* data, std::size_t n, std::uint8_t crc) {
    auto p = static_cast<const std::uint8_t*>(data);
    for (std::size_t i = 0; i < n; ++i) crc = Crc8Table[p[i] ^ crc];
    return crc;
}

} // namespace XVclUtil
