#include "PictureEntry.h"

#include <cstring>

namespace Rom {

namespace {

void PutAddressAndSize(std::uint8_t* out, std::uint32_t address, std::uint32_t size) {
    out[1] = static_cast<std::uint8_t>(address >> 8);
    out[2] = static_cast<std::uint8_t>(address);
    out[3] = static_cast<std::uint8_t>(size >> 8);
    out[4] = static_cast<std::uint8_t>(size);
    out[5] = static_cast<std::uint8_t>(((size >> 16) & 0x0F) << 4 | 0x01);
}

TPictureEntry GetCommon(const std::uint8_t* in, std::uint32_t addressHigh, bool byte0Clean) {
    TPictureEntry e;
    e.Present = (in[5] & 0x0F) == 0x01;
    if (!e.Present) {
        static const std::uint8_t zero[6] = {};
        e.WellFormed = std::memcmp(in, zero, sizeof zero) == 0;
        return e;
    }
    e.Address = addressHigh << 16 | std::uint32_t(in[1]) << 8 | in[2];
    e.Size = std::uint32_t(in[5] >> 4) << 16 | std::uint32_t(in[3]) << 8 | in[4];
    e.WellFormed = byte0Clean;
    return e;
}

} // namespace

void PutPictureEntry(std::uint8_t* out, std::uint32_t address, std::uint32_t size) {
    out[0] = static_cast<std::uint8_t>(((address >> 16) & 0x0F) << 4);
    PutAddressAndSize(out, address, size);
}

void PutSetEntry(std::uint8_t* out, std::uint32_t address, std::uint32_t size) {
    out[0] = static_cast<std::uint8_t>(address >> 16);
    PutAddressAndSize(out, address, size);
}

void PutAbsentEntry(std::uint8_t* out) {
    std::memset(out, 0, 6);
}

TPictureEntry GetPictureEntry(const std::uint8_t* in) {
    return GetCommon(in, in[0] >> 4, (in[0] & 0x0F) == 0);
}

TPictureEntry GetSetEntry(const std::uint8_t* in) {
    return GetCommon(in, in[0], true);
}

} // namespace Rom
