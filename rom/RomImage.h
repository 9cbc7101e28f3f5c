#pragma once
// The 458,752-byte ROM image: CRC-8 table copies and page check bytes, the signature, the ROM
// picture index and picture data (from the M_0 .. M_255 work files), the code-table block and
// the PM, UM and UBF blocks.

#include "RomLayout.h"
#include "TConfigBlock.h"
#include "TWorkFolder.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace Rom {

// The blocks behind the picture data, filled by the build before the image is put together.
struct TRomBlocks {
    std::array<std::uint8_t, CodeTableBlockSize> CodeTable{}; // check byte set by the layout
    std::vector<std::uint8_t> Pm = std::vector<std::uint8_t>(PmBlockSize, 0);
    std::vector<std::uint8_t> Um = std::vector<std::uint8_t>(UmBlockSize, 0);
    std::vector<std::uint8_t> Ubf = std::vector<std::uint8_t>(UbfBlockSize, 0);
};

// Reads, deletes and lays out prefix0 .. prefix255 with the blocks. Empty when the pictures do
// not fit the picture data area (272,896 bytes); the work files then stay in the folder.
std::optional<std::vector<std::uint8_t>>
BuildRomImage(TWorkFolder& folder, const std::string& prefix, const TRomBlocks& blocks);

// Check byte of page i: CRC-8 over the 4,096 bytes at file offset 0x8000 + i * 0x1000.
std::uint8_t PageCheckByte(const std::uint8_t* image, std::size_t page);
// Zeroes 0x800..0x87F and stores the 104 page check bytes at 0x808.
void SealPageChecks(std::vector<std::uint8_t>& image);

enum class TRomWriteResult { Written, TooLong, WriteFailed };

// BuildRomImage, then the image written to romFileName with its extension replaced by ".ROM"
// (temporary file + rename). `error` says why a write failed.
TRomWriteResult WriteRomImage(TWorkFolder& folder, const std::string& prefix,
                              const std::string& romFileName, const TRomBlocks& blocks,
                              std::string* error = nullptr);

// The configuration block alone, to romFileName with its extension replaced by ".BIN".
bool WriteBinSideFile(const std::string& romFileName, const TConfigBlock& config,
                      std::string* error = nullptr);

} // namespace Rom
