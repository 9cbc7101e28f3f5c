#pragma once
// The 9x family of TXAbsDiskIO: physical mode through the "KRV_4IOS.VxD" driver's disk record
// and transfer buffer, logical mode through VWIN32's extended absolute disk read and write, the
// volume locked twice through VWIN32 in both modes.

#include "AbsDiskFamily.h"

namespace XVclUtil {

class TAbsDiskWin9xFamily final : public TAbsDiskFamily {
public:
    int OpenPhyDisk(TXAbsDiskIO& disk) override;
    int ClosePhyDisk(TXAbsDiskIO& disk) override;
    int ReadPhyDisk(TXAbsDiskIO& disk, uint32_t first, uint32_t count, void* buffer) override;
    int WritePhyDisk(TXAbsDiskIO& disk, uint32_t first, uint32_t count,
                     const void* buffer) override;

    int OpenLogDisk(TXAbsDiskIO& disk) override;
    int CloseLogDisk(TXAbsDiskIO& disk) override;
    int ReadLogDisk(TXAbsDiskIO& disk, uint32_t first, uint32_t count, void* buffer) override;
    int WriteLogDisk(TXAbsDiskIO& disk, uint32_t first, uint32_t count,
                     const void* buffer) override;

    // Physical mode: what fits the driver's transfer buffer.
    uint32_t MaxTransferSectors(const TXAbsDiskIO& disk) const override;

    // Closes the "KRV_4IOS.VxD" handle that stays open from one open to the next.
    void Shutdown(TXAbsDiskIO& disk) override;
};

} // namespace XVclUtil
