#include "AbsDiskMbr.h"

namespace XVclUtil {

namespace {

constexpr std::size_t kTableOffset = 446;
constexpr std::size_t kEntrySize = 16;
constexpr uint8_t kGptProtective = 0xEE;
constexpr uint8_t kEfiSystem = 0xEF;

uint32_t LittleEndian32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

bool Usable(const TAbsDiskPartitionEntry& e, uint64_t diskSectors) {
    if (e.Type == 0 || AbsDiskIsExtendedType(e.Type)) return false;
    if (e.FirstSector == 0 || e.SectorCount == 0) return false;
    return uint64_t(e.FirstSector) + e.SectorCount <= diskSectors;
}

// Any 0xEE entry (hybrid tables included) or a lone 0xEF entry guards a GUID partition table;
// writing through such an entry would overwrite the GPT header in sector 1.
bool IsProtective(const TAbsDiskMbr& mbr) {
    unsigned used = 0, efi = 0;
    for (const TAbsDiskPartitionEntry& e : mbr.Entries) {
        if (e.Type == kGptProtective) return true;
        used += e.Type != 0;
        efi += e.Type == kEfiSystem;
    }
    return used == 1 && efi == 1;
}

std::nullopt_t Without(TAbsDiskCause* why, TAbsDiskCause cause) {
    if (why != nullptr) *why = cause;
    return std::nullopt;
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
    mbr.Protective = IsProtective(mbr);
    return mbr;
}

bool AbsDiskIsExtendedType(uint8_t type) {
    return type == 0x05 || type == 0x0F || type == 0x85;
}

std::optional<TAbsDiskPartitionEntry> AbsDiskSelectVolume(const TAbsDiskMbr& mbr, unsigned slot,
                                                          uint64_t diskSectors,
                                                          TAbsDiskCause* why) {
    if (!mbr.Valid) return Without(why, TAbsDiskCause::NoPartitionTable);
    if (mbr.Protective) return Without(why, TAbsDiskCause::GptDisk);
    if (slot > mbr.Entries.size()) return Without(why, TAbsDiskCause::EmptySlot);
    if (slot == 0) {
        // The first volume entry; a broken one is not skipped in favour of a later one.
        for (unsigned i = 0; i < mbr.Entries.size() && slot == 0; ++i) {
            const uint8_t type = mbr.Entries[i].Type;
            if (type != 0 && !AbsDiskIsExtendedType(type)) slot = i + 1;
        }
        if (slot == 0) return Without(why, TAbsDiskCause::NoVolume);
    }
    const TAbsDiskPartitionEntry& e = mbr.Entries[slot - 1];
    if (e.Type == 0) return Without(why, TAbsDiskCause::EmptySlot);
    if (!Usable(e, diskSectors)) return Without(why, TAbsDiskCause::UnusableEntry);
    return e;
}

} // namespace XVclUtil
