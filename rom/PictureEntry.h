#pragma once
// The 6-byte picture entry of every picture index, and the whole-byte variant used inside
// numbered picture sets. Numbers are big-endian; sizes are 20-bit.

#include <cstdint>

namespace Rom {

struct TPictureEntry {
    std::uint32_t Address = 0;
    std::uint32_t Size = 0;
    bool Present = false;
    bool WellFormed = true; // false when the reserved nibbles or an absent entry hold stray bits
};

// Byte 0 high nibble: address bits 16-19. Address must fit 20 bits, size 20 bits.
void PutPictureEntry(std::uint8_t* out, std::uint32_t address, std::uint32_t size);
// Byte 0: address bits 16-23 as a whole byte (numbered picture sets).
void PutSetEntry(std::uint8_t* out, std::uint32_t address, std::uint32_t size);
// Six 0 bytes: no picture.
void PutAbsentEntry(std::uint8_t* out);

TPictureEntry GetPictureEntry(const std::uint8_t* in);
TPictureEntry GetSetEntry(const std::uint8_t* in);

} // namespace Rom
