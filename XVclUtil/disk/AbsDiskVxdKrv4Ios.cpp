// The emulated "KRV_4IOS.VxD" driver: opens a drive's whole disk, hands out a disk record with a
// transfer buffer, and moves sectors between the disk and that buffer.

#include "AbsDiskVxdState.h"

#include <cstring>
#include <sys/mman.h>
#include <unistd.h>

namespace XVclUtil::VxdEmu {

using namespace Vxd;

namespace {

constexpr std::size_t kRecordArea = 4096; // the record, then the transfer buffer
constexpr uint32_t kStatusOk = 0;
constexpr uint32_t kStatusNoDisk = KRV_STATUS_NO_DISK;
constexpr uint32_t kStatusNoMemory = 2;
constexpr uint32_t kStatusBadRequest = 3;
constexpr uint32_t kStatusIoError = 4;
constexpr uint32_t kStatusNotLocked = 5;
constexpr uint32_t kStatusInUse = KRV_STATUS_IN_USE;

// The record stores the transfer buffer's address in a 32-bit field, so the driver's memory
// must lie below 4 GiB.
void* AllocateBelow4GiB(std::size_t size) {
    int flags = MAP_PRIVATE | MAP_ANONYMOUS;
#ifdef MAP_32BIT
    flags |= MAP_32BIT;
    void* hint = nullptr;
#else
    void* hint = reinterpret_cast<void*>(uintptr_t(0x10000000));
#endif
    void* p = ::mmap(hint, size, PROT_READ | PROT_WRITE, flags, -1, 0);
    if (p == MAP_FAILED) return nullptr;
    if (reinterpret_cast<uintptr_t>(p) + size > 0xFFFFFFFFull) {
        ::munmap(p, size);
        return nullptr;
    }
    return p;
}

void PutField(void* record, unsigned offset, uint32_t value) {
    std::memcpy(static_cast<uint8_t*>(record) + offset, &value, sizeof value);
}

uint32_t Clamp32(uint64_t v) {
    return v > 0xFFFFFFFFull ? 0xFFFFFFFFu : uint32_t(v);
}

// Fills the record from the disk; the volume's first sector is 0 when no volume is found (the
// disk can still be read and written whole).
void FillRecord(TDiskRecord& rec, uint32_t bufferSize, const TAbsDiskGeometry& g,
                uint64_t volumeFirst) {
    void* r = rec.Region;
    uint8_t* buffer = static_cast<uint8_t*>(rec.Region) + kRecordArea;
    PutField(r, KRV_REC_BUFFER_SIZE, bufferSize);
    PutField(r, KRV_REC_BUFFER_ADDRESS, static_cast<uint32_t>(reinterpret_cast<uintptr_t>(buffer)));
    PutField(r, KRV_REC_BYTES_PER_SECTOR, g.BytesPerSector);
    PutField(r, KRV_REC_FIRST_SECTOR, Clamp32(volumeFirst));
    PutField(r, KRV_REC_LAST_SECTOR, Clamp32(rec.DiskSectors - 1));
    PutField(r, KRV_REC_CYLINDERS, static_cast<uint32_t>(g.Cylinders));
    PutField(r, KRV_REC_TRACKS_PER_CYLINDER, g.Heads);
    PutField(r, KRV_REC_SECTORS_PER_TRACK, g.SectorsPerTrack);
}

uint32_t OpenDisk(TState& state, HANDLE caller, const KRV_OPEN_IN& in, void*& recordOut) {
    if (in.Flags != KRV_4IOS_OPEN_FLAGS || in.Reserved != 0) return kStatusBadRequest;
    auto target = AbsDiskResolveDrive(static_cast<int>(in.DriveNumber), state.Sys);
    if (!target) return kStatusNoDisk;
    // The whole disk is handed out for writing: no file system on it may be mounted.
    if (AbsDiskDiskInUse(*target, state.Sys)) return kStatusInUse;
    TDiskRecord rec;
    rec.DriveNumber = static_cast<int>(in.DriveNumber);
    rec.Opener = caller;
    rec.Fd = AbsDiskOpenFile(target->DiskPath, false, true);
    TAbsDiskGeometry geometry;
    if (rec.Fd < 0 || !AbsDiskQueryGeometry(rec.Fd, geometry) || geometry.BytesPerSector == 0 ||
        geometry.Bytes / geometry.BytesPerSector == 0) {
        FreeRecord(rec);
        return kStatusNoDisk;
    }
    rec.BytesPerSector = geometry.BytesPerSector;
    rec.DiskSectors = geometry.Bytes / geometry.BytesPerSector;
    uint64_t volumeFirst = 0;
    if (target->VolumeIsPartitionDevice) {
        volumeFirst = target->PartitionStart512 * 512 / geometry.BytesPerSector;
    } else {
        TAbsDiskVolumeWindow window;
        if (AbsDiskFindVolume(*target, rec.Fd, geometry, window)) volumeFirst = window.FirstSector;
    }
    const uint32_t bufferSize = state.TransferBufferSize;
    rec.RegionSize = kRecordArea + bufferSize;
    rec.Region = AllocateBelow4GiB(rec.RegionSize);
    if (rec.Region == nullptr) {
        FreeRecord(rec);
        return kStatusNoMemory;
    }
    FillRecord(rec, bufferSize, geometry, volumeFirst);
    recordOut = rec.Region;
    state.Records[rec.Region] = rec;
    return kStatusOk;
}

uint32_t Transfer(TState& state, uint32_t code, const KRV_TRANSFER_IN& in) {
    auto it = state.Records.find(in.DiskRecord);
    if (it == state.Records.end()) return kStatusBadRequest;
    TDiskRecord& rec = it->second;
    uint32_t bufferSize = 0;
    std::memcpy(&bufferSize, static_cast<uint8_t*>(rec.Region) + KRV_REC_BUFFER_SIZE, 4);
    const uint64_t bytes = uint64_t(in.Count) * rec.BytesPerSector;
    if (bytes > bufferSize || uint64_t(in.FirstSector) + in.Count > rec.DiskSectors)
        return kStatusBadRequest;
    const bool write = code == KRV_4IOS_WRITE_SECTORS;
    if (write && state.Locks.count(rec.DriveNumber) == 0) return kStatusNotLocked;
    uint8_t* buffer = static_cast<uint8_t*>(rec.Region) + kRecordArea;
    const uint64_t offset = uint64_t(in.FirstSector) * rec.BytesPerSector;
    const bool ok = write ? AbsDiskWriteAt(rec.Fd, buffer, bytes, offset)
                          : AbsDiskReadAt(rec.Fd, buffer, bytes, offset);
    return ok ? kStatusOk : kStatusIoError;
}

template <typename T> bool Input(const void* in, uint32_t inSize, T& value) {
    if (in == nullptr || inSize < sizeof(T)) return false;
    std::memcpy(&value, in, sizeof(T));
    return true;
}

template <typename T> bool Output(void* out, uint32_t outSize, const T& value, uint32_t* returned) {
    if (out == nullptr || outSize < sizeof(T)) return false;
    std::memcpy(out, &value, sizeof(T));
    if (returned != nullptr) *returned = sizeof(T);
    return true;
}

} // namespace

void FreeRecord(TDiskRecord& record) {
    if (record.Fd >= 0) ::close(record.Fd);
    if (record.Region != nullptr) ::munmap(record.Region, record.RegionSize);
    record.Fd = -1;
    record.Region = nullptr;
}

bool Krv4IosRequest(TState& state, HANDLE caller, uint32_t code, const void* in, uint32_t inSize,
                    void* out, uint32_t outSize, uint32_t* returned) {
    switch (code) {
    case KRV_4IOS_OPEN_DISK: {
        KRV_OPEN_IN request;
        KRV_OPEN_OUT answer{};
        if (!Input(in, inSize, request) || out == nullptr || outSize < sizeof answer) return false;
        answer.Status = OpenDisk(state, caller, request, answer.DiskRecord);
        return Output(out, outSize, answer, returned);
    }
    case KRV_4IOS_CLOSE_DISK: {
        KRV_CLOSE_IN request;
        if (!Input(in, inSize, request)) return false;
        auto it = state.Records.find(request.DiskRecord);
        KRV_STATUS_OUT answer{kStatusBadRequest};
        if (it != state.Records.end()) {
            FreeRecord(it->second);
            state.Records.erase(it);
            answer.Status = kStatusOk;
        }
        return Output(out, outSize, answer, returned);
    }
    case KRV_4IOS_READ_SECTORS:
    case KRV_4IOS_WRITE_SECTORS: {
        KRV_TRANSFER_IN request;
        if (!Input(in, inSize, request)) return false;
        return Output(out, outSize, KRV_STATUS_OUT{Transfer(state, code, request)}, returned);
    }
    default:
        return false;
    }
}

void Krv4IosRelease(TState& state, HANDLE closing) {
    for (auto it = state.Records.begin(); it != state.Records.end();) {
        if (it->second.Opener == closing) {
            FreeRecord(it->second);
            it = state.Records.erase(it);
        } else {
            ++it;
        }
    }
}

} // namespace XVclUtil::VxdEmu
