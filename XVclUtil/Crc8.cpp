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

// Slice k: the CRC of a byte followed by k zero bytes. With them eight bytes take eight lookups
// that do not wait for one another, instead of a chain of eight.
constexpr std::array<std::array<std::uint8_t, 256>, 8> MakeSlices() {
    std::array<std::array<std::uint8_t, 256>, 8> slices{};
    slices[0] = MakeTable();
    for (int k = 1; k < 8; ++k)
        for (int i = 0; i < 256; ++i) slices[k][i] = slices[0][slices[k - 1][i]];
    return slices;
}

constexpr std::array<std::array<std::uint8_t, 256>, 8> Slices = MakeSlices();

} // namespace

const std::array<std::uint8_t, 256> Crc8Table = Slices[0];

std::uint8_t Crc8(const void* data, std::size_t n, std::uint8_t crc) {
    auto p = static_cast<const std::uint8_t*>(data);
    for (; n >= 8; n -= 8, p += 8)
        crc = Slices[7][p[0] ^ crc] ^ Slices[6][p[1]] ^ Slices[5][p[2]] ^ Slices[4][p[3]] ^
              Slices[3][p[4]] ^ Slices[2][p[5]] ^ Slices[1][p[6]] ^ Slices[0][p[7]];
    for (; n > 0; --n) crc = Slices[0][*p++ ^ crc];
    return crc;
}

} // namespace XVclUtil
