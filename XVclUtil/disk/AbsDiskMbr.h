#pragma once
// The MBR partition table in the first sector of a disk or disk image: the four primary entries
// and the choice of the entry that is a drive's volume. A GPT disk's MBR only protects the GUID
// partition table behind it (one 0xEE entry, or a lone 0xEF one): it lists no volume.

#include "AbsDiskCause.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace XVclUtil {

struct TAbsDiskPartitionEntry {
    uint8_t BootFlag = 0;     // 0x80 active, 0x00 inactive
    uint8_t Type = 0;         // 0: unused slot
    uint32_t FirstSector = 0; // LBA of the partition's first sector
    uint32_t SectorCount = 0;
};

struct TAbsDiskMbr {
    bool Valid = false;      // boot signature present and every boot flag is 0x00 or 0x80
    bool Protective = false; // a GPT disk's protective MBR: no entry is a volume
    std::array<TAbsDiskPartitionEntry, 4> Entries{};
};

inline constexpr std::size_t ABSDISK_MBR_SIZE = 512;

// Reads the table from the first sector; fewer than 512 bytes give an invalid table.
TAbsDiskMbr AbsDiskParseMbr(const uint8_t* sector, std::size_t size);

// True for the container types of logical partitions (0x05, 0x0F, 0x85): they hold no volume.
bool AbsDiskIsExtendedType(uint8_t type);

// The entry that is the volume: slot 1..4, or for slot 0 the first entry that is used and not an
// extended container. Nothing unless that entry starts after the MBR and ends inside a disk of
// diskSectors sectors; why (when given) then says what stood in the way.
std::optional<TAbsDiskPartitionEntry> AbsDiskSelectVolume(const TAbsDiskMbr& mbr, unsigned slot,
                                                          uint64_t diskSectors,
                                                          TAbsDiskCause* why = nullptr);

} // namespace XVclUtil
