#pragma once
// The NT family of TXAbsDiskIO on Windows: the volume "\\.\X:" opened and locked, the physical
// disk "\\.\PHYSICALDRIVEn" found through the volume's storage device number, geometry and
// partition place from the disk control requests; closing dismounts and unlocks the volume,
// has the disk re-read its properties and tells every component that the devices changed.

#include "AbsDiskFamily.h"
#include "AbsDiskNtApi.h"

#include <memory>

namespace XVclUtil {

class TAbsDiskNtFamily final : public TAbsDiskFamily {
public:
    explicit TAbsDiskNtFamily(
        std::unique_ptr<TAbsDiskNtApi> api = std::make_unique<TAbsDiskNtWin32Api>());

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

private:
    bool OpenAndLockVolume(TXAbsDiskIO& disk);
    bool ReadGeometry(TXAbsDiskIO& disk, TAbsDiskHandle handle);
    bool ReadPartition(TXAbsDiskIO& disk);
    int Close(TXAbsDiskIO& disk, bool withPhysicalDisk);
    int Transfer(TXAbsDiskIO& disk, TAbsDiskHandle handle, uint32_t first, uint32_t count, void* in,
                 const void* out);

    std::unique_ptr<TAbsDiskNtApi> Api;
};

} // namespace XVclUtil
