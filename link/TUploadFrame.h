#pragma once
// The 68-byte frame the PC sends to the VRC-780A: command, index high, index low, 64 data
// bytes and the CRC-8 of the 67 bytes before it.

#include "link/TLocalTime.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace Link {

// Sizes shared by the frame, the image buffer and the transfers.
inline constexpr std::size_t FrameSize = 68;
inline constexpr std::size_t FrameDataSize = 64;
inline constexpr std::size_t ImageBufferSize = 0x70000;            // 458,752 bytes
inline constexpr unsigned MaxRomBlockCount = ImageBufferSize / 64; // 7,168
inline constexpr std::size_t AppRegionOffset = 0x4C000;            // the PM block of the image
inline constexpr unsigned AppBlockCount = 512;                     // 32,768 bytes

// Frame commands.
inline constexpr std::uint8_t CmdDateTime = 1;
inline constexpr std::uint8_t CmdRomBlock = 3;
inline constexpr std::uint8_t CmdAppBlock = 4;

class TUploadFrame {
public:
    std::array<std::uint8_t, FrameSize> Bytes{};

    // Command 1, index 00 01, the BCD date/time record, CRC.
    void BuildDateTime(const TLocalTime& now);
    // Command 3 for ROM block n (1-based): image bytes (n-1)*64 .. (n-1)*64+63.
    void BuildRomBlock(const std::uint8_t* image, unsigned n);
    // Command 4 for application block n (1..512): bytes from AppRegionOffset + (n-1)*64.
    void BuildAppBlock(const std::uint8_t* image, unsigned n);

    std::uint8_t Command() const { return Bytes[0]; }
    std::uint8_t Crc() const { return Bytes[FrameSize - 1]; }

    // CRC-8 of bytes 0..66 of a 68-byte frame.
    static std::uint8_t ComputeCrc(const std::uint8_t* frame);

private:
    void Fill(std::uint8_t command, std::uint8_t indexHigh, std::uint8_t indexLow,
              const std::uint8_t* data);
};

} // namespace Link
