#include "AbsDiskMbr.h"

namespace XVclUtil {

namespace {

constexpr std::size_t kTableOffset = 446;
constexpr std::size_t kEntrySize = 16;

uint32_t LittleEndian32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

bool Usable(const TAbsDiskPartitionEntry& e, uint64_t diskSectors) {
    if (e.Type == 0 || AbsDiskIsExtendedType(e.Type)) return false;
    if (e.FirstSector == 0 || e.SectorCount == 0) return false;
    return uint64_t(e.FirstSector) + e.SectorCount <= diskSectors;
}

} // namespace

TAbsDiskMbr AbsDiskParseMbr(const uint8_t* sector, std::size_t size) {
    TAbsDiskMbr mbr;
    if (sector == nullptr || size < ABSDISK_MBR_SIZE) return mbr;
    if (sector[510] != 0x55 || sector[511] != 0xAA) return mbr;
    for (std::size_t i = 0; i < mbr.Entries.size(); ++i) {
        const uint8_t* raw = sector + kTableOffset + i * kEntrySize;
        TAbsDiskPartitionEntry& e = mbr.Entries[i];
        e.BootFlag = raw[0];
        e.Type = raw[4];
        e.FirstSector = LittleEndian32(raw + 8);
        e.SectorCount = LittleEndian32(raw + 12);
        // A boot sector of a bare file system also ends in 55 AA; its code bytes in the table
        // area betray it by boot flags other than 0x00 and 0x80.
        if (e.BootFlag != 0x00 && e.BootFlag != 0x80) return TAbsDiskMbr{};
    }
    mbr.Valid = true;
    return mbr;
}

bool AbsDiskIsExtendedType(uint8_t type) {
    return type == 0x05 || type == 0x0F || type == 0x85;
}

std::optional<TAbsDiskPartitionEntry> AbsDiskSelectVolume(const TAbsDiskMbr& mbr, unsigned slot,
                                                          uint64_t diskSectors) {
    if (!mbr.Valid || slot > mbr.Entries.size()) return std::nullopt;
    if (slot == 0) {
        // The first volume entry; a broken one is not skipped in favour of a later one.
        for (unsigned i = 0; i < mbr.Entries.size() && slot == 0; ++i) {
            const uint8_t type = mbr.Entries[i].Type;
            if (type != 0 && !AbsDiskIsExtendedType(type)) slot = i + 1;
        }
        if (slot == 0) return std::nullopt;
    }
    const TAbsDiskPartitionEntry& e = mbr.Entries[slot - 1];
    if (!Usable(e, diskSectors)) return std::nullopt;
    return e;
}

} // namespace XVclUtil
