#include "Crc8.h"

#include <cstring>

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

// ZeroRuns[j][c]: the CRC after 8 * 2^j zero bytes that start with CRC c. The unused parts of a
// ROM image are long zero runs; such a run takes one lookup per set bit of its length in
// 8-byte words instead of eight lookups per word.
constexpr std::size_t ZeroRunBits = 16;
constexpr std::array<std::array<std::uint8_t, 256>, ZeroRunBits> MakeZeroRuns() {
    std::array<std::array<std::uint8_t, 256>, ZeroRunBits> runs{};
    runs[0] = Slices[7];
    for (std::size_t j = 1; j < ZeroRunBits; ++j)
        for (int c = 0; c < 256; ++c) runs[j][c] = runs[j - 1][runs[j - 1][c]];
    return runs;
}

constexpr std::array<std::array<std::uint8_t, 256>, ZeroRunBits> ZeroRuns = MakeZeroRuns();
constexpr std::size_t LongestZeroRun = (std::size_t{1} << ZeroRunBits) - 1; // in words

std::uint64_t WordAt(const std::uint8_t* p) {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    return word;
}

// The zero words from p on, at most the given count and LongestZeroRun.
std::size_t ZeroWordsAt(const std::uint8_t* p, std::size_t words) {
    std::size_t count = 0;
    const std::size_t limit = words < LongestZeroRun ? words : LongestZeroRun;
    while (count < limit && WordAt(p + 8 * count) == 0) ++count;
    return count;
}

std::uint8_t AfterZeroWords(std::uint8_t crc, std::size_t words) {
    for (std::size_t j = 0; words != 0; ++j, words >>= 1)
        if (words & 1) crc = ZeroRuns[j][crc];
    return crc;
}

} // namespace

const std::array<std::uint8_t, 256> Crc8Table = Slices[0];

std::uint8_t Crc8(const void* data, std::size_t n, std::uint8_t crc) {
    auto p = static_cast<const std::uint8_t*>(data);
    while (n >= 8) {
        if (WordAt(p) == 0) {
            const std::size_t words = ZeroWordsAt(p, n / 8);
            crc = AfterZeroWords(crc, words);
            p += 8 * words;
            n -= 8 * words;
            continue;
        }
        crc = Slices[7][p[0] ^ crc] ^ Slices[6][p[1]] ^ Slices[5][p[2]] ^ Slices[4][p[3]] ^
              Slices[3][p[4]] ^ Slices[2][p[5]] ^ Slices[1][p[6]] ^ Slices[0][p[7]];
        p += 8;
        n -= 8;
    }
    for (; n > 0; --n) crc = Slices[0][*p++ ^ crc];
    return crc;
}

} // namespace XVclUtil
