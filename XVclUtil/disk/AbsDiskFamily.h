#pragma once
// The platform interface behind TXAbsDiskIO: one implementation per platform family, chosen
// once when the object is built. Each operation works on the object's own fields (handles,
// lock count, geometry) and returns the object's result codes.

#include "AbsDiskCause.h"

#include <cstdint>

namespace XVclUtil {

class TXAbsDiskIO;

// True when a request of count sectors from first ends after bound, computed without the
// 32-bit wrap-around that would let a huge first sector pass.
inline bool AbsDiskEndsAfter(uint64_t bound, uint32_t first, uint32_t count) {
    return bound < uint64_t(first) + count;
}

// Notes why an operation failed, where the family sees it fail; always false. The first cause
// noted stays: a failure while cleaning up after it must not hide it.
bool AbsDiskNoteFailure(TXAbsDiskIO& disk, TAbsDiskCause cause, int errorNumber = 0);

class TAbsDiskFamily {
public:
    virtual ~TAbsDiskFamily() = default;

    virtual int OpenPhyDisk(TXAbsDiskIO& disk) = 0;
    virtual int ClosePhyDisk(TXAbsDiskIO& disk) = 0;
    virtual int ReadPhyDisk(TXAbsDiskIO& disk, uint32_t first, uint32_t count, void* buffer) = 0;
    virtual int WritePhyDisk(TXAbsDiskIO& disk, uint32_t first, uint32_t count,
                             const void* buffer) = 0;

    virtual int OpenLogDisk(TXAbsDiskIO& disk) = 0;
    virtual int CloseLogDisk(TXAbsDiskIO& disk) = 0;
    virtual int ReadLogDisk(TXAbsDiskIO& disk, uint32_t first, uint32_t count, void* buffer) = 0;
    virtual int WriteLogDisk(TXAbsDiskIO& disk, uint32_t first, uint32_t count,
                             const void* buffer) = 0;

    // The most sectors one transfer of the current open can move.
    virtual uint32_t MaxTransferSectors(const TXAbsDiskIO& disk) const {
        (void)disk;
        return UINT32_MAX;
    }

    // Releases what the family keeps open between opens; called when the object goes away.
    virtual void Shutdown(TXAbsDiskIO& disk) { (void)disk; }
};

} // namespace XVclUtil
