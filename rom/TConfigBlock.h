#pragma once
// The 15,360-byte configuration block: the start of library entry CFI, the CRC-8 table, the
// device's message texts, the six code tables, the option bytes, a check byte over
// 0x0D00..0x2BFF and library entry IFI. It is also the whole content of the .BIN side file.

#include "RomLayout.h"
#include "RomOptions.h"

#include <array>
#include <cstdint>
#include <span>

namespace Rom {

class TConfigBlock {
public:
    TConfigBlock() { Clear(); }

    void Clear() { Data.fill(0); }
    // Signature and option bytes, the code tables, the CRC-8 table and the message texts.
    void Fill(const TRomOptions& options, const TCodeTables& tables);
    // The first 3,328 bytes of `cfi` at offset 0 (a shorter entry leaves the rest as it is).
    void SetCfi(std::span<const std::uint8_t> cfi);
    // `ifi` whole at 0x2C00; false, and nothing copied, when it is longer than 4,096 bytes.
    bool SetIfi(std::span<const std::uint8_t> ifi);
    // CRC-8 over 0x0D00..0x2BFF taken with byte 0x2BFF at 0, then stored there.
    void SealCheckByte();

    // Configuration bytes 0x1400..0x23FF: the code-table block before its check byte is set.
    std::array<std::uint8_t, CodeTableBlockSize> CodeTableBlock() const;

    std::span<const std::uint8_t> Bytes() const { return Data; }

    std::array<std::uint8_t, ConfigBlockSize> Data{};
};

// Options and code tables read back from a code-table block (configuration bytes 0x1400 on).
struct TDecodedCodeTableBlock {
    TRomOptions Options;
    TCodeTables Tables;
    bool SignatureOk = false; // "KRVFLLCD02" and the fixed bytes 0x200A..0x200D
    int ArrowSetEntry = 0;    // the raw byte at 0x2011
    int FloorSetEntry = 0;    // the raw byte at 0x2012
    int LogoSeconds = 0;      // the raw byte at 0x2031
};
TDecodedCodeTableBlock DecodeCodeTableBlock(std::span<const std::uint8_t> block);

// The 15 device message texts, in order, and their offsets.
struct TDeviceText {
    std::size_t Offset;
    const char* Text;
};
extern const std::array<TDeviceText, 15> DeviceTexts;

} // namespace Rom
