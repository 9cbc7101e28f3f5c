// The partition table parser of the raw disk layer: arbitrary bytes as the start of a disk
// image, parsed directly and read through a memory file (no file is made on disk), with every
// partition slot tried as the volume. A chosen volume must lie inside the disk and must never be
// an empty, extended or GPT-protective entry.

#include "XVclUtil/disk/AbsDiskLinuxTarget.h"
#include "XVclUtil/disk/AbsDiskMbr.h"

#include <cstring>
#include <sys/mman.h>
#include <unistd.h>

using namespace XVclUtil;

namespace {

void Check(bool condition) {
    if (!condition) __builtin_trap();
}

// The disk's size in sectors comes from the input too, so that entries at the disk's end and
// past it are both reached.
uint64_t DiskSectors(const uint8_t* data, size_t size) {
    if (size < 520) return size / 512;
    uint64_t sectors = 0;
    std::memcpy(&sectors, data + 512, sizeof sectors);
    return sectors;
}

void SelectEverySlot(const uint8_t* data, size_t size) {
    const TAbsDiskMbr mbr = AbsDiskParseMbr(data, size);
    const uint64_t sectors = DiskSectors(data, size);
    for (unsigned slot = 0; slot <= 5; ++slot) {
        TAbsDiskCause why = TAbsDiskCause::None;
        auto entry = AbsDiskSelectVolume(mbr, slot, sectors, &why);
        Check(entry.has_value() == (why == TAbsDiskCause::None));
        if (!entry) continue;
        Check(mbr.Valid && !mbr.Protective);
        Check(entry->Type != 0 && entry->Type != 0xEE && !AbsDiskIsExtendedType(entry->Type));
        Check(entry->FirstSector != 0 && entry->SectorCount != 0);
        Check(uint64_t(entry->FirstSector) + entry->SectorCount <= sectors);
    }
}

void FindInMemoryFile(const uint8_t* data, size_t size) {
    static const int fd = ::memfd_create("disk_tables", MFD_CLOEXEC);
    if (fd < 0 || ::ftruncate(fd, 0) != 0) return;
    if (size > 0 && ::pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)) return;
    TAbsDiskGeometry geometry;
    if (!AbsDiskQueryGeometry(fd, geometry)) return;
    TAbsDiskLinuxTarget target;
    for (unsigned slot = 0; slot <= 4; ++slot) {
        target.Partition = slot;
        TAbsDiskVolumeWindow window;
        if (!AbsDiskFindVolume(target, fd, geometry, window)) continue;
        Check(window.SectorCount != 0 && window.FirstSector + window.SectorCount <= size / 512);
        Check(window.BaseOffset == window.FirstSector * 512);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SelectEverySlot(data, size);
    FindInMemoryFile(data, size);
    return 0;
}
