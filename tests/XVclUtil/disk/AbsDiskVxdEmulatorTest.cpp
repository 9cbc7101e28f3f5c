// The emulated 9x surface itself: device names, the VWIN32 requests, the driver's disk record.

#include "XVclUtil/disk/AbsDiskVxdEmulator.h"
#include "AbsDiskTestSupport.h"
#include "XVclUtil/disk/AbsDiskVxdApi.h"

#include <gtest/gtest.h>

using namespace XVclUtil;
using namespace XVclUtil::Vxd;
using namespace AbsDiskTest;

namespace {

class AbsDiskVxdEmulator : public ::testing::Test {
protected:
    void SetUp() override {
        TVxdEmulator::Reset();
        Image = Dir.File("disk.img");
        ASSERT_TRUE(MakeImage(Image, 4096, {{0x0C, 63, 4000}}));
        TAbsDiskDriveTable::Map('C', Image);
    }
    void TearDown() override {
        TAbsDiskDriveTable::Clear();
        TVxdEmulator::Reset();
    }

    static bool Dos(HANDLE h, uint32_t service, DIOC_REGISTERS& regs) {
        uint32_t returned = 0;
        regs.reg_Flags = CARRY_FLAG;
        return DeviceIoControl(h, service, &regs, sizeof regs, &regs, sizeof regs, &returned) &&
               returned == sizeof regs && !(regs.reg_Flags & CARRY_FLAG);
    }
    static bool Lock(HANDLE h, int drive) {
        DIOC_REGISTERS r;
        r.reg_EAX = DOS_GENERIC_IOCTL;
        r.reg_EBX = uint32_t(drive);
        r.reg_ECX = IOCTL_LOCK_LOGICAL_VOLUME;
        return Dos(h, VWIN32_DIOC_DOS_IOCTL, r);
    }
    static bool Unlock(HANDLE h, int drive) {
        DIOC_REGISTERS r;
        r.reg_EAX = DOS_GENERIC_IOCTL;
        r.reg_EBX = uint32_t(drive);
        r.reg_ECX = IOCTL_UNLOCK_LOGICAL_VOLUME;
        return Dos(h, VWIN32_DIOC_DOS_IOCTL, r);
    }
    static bool AbsIo(HANDLE h, int drive, uint32_t mode, uint32_t first, uint16_t count,
                      void* buffer, uintptr_t ecx = 0xFFFFFFFFu) {
        DISKIO packet{first, count, buffer};
        DIOC_REGISTERS r;
        r.reg_EAX = DOS_EXT_ABS_DISK_READ_WRITE;
        r.reg_EBX = reinterpret_cast<uintptr_t>(&packet);
        r.reg_ECX = ecx;
        r.reg_EDX = uint32_t(drive);
        r.reg_ESI = mode;
        return Dos(h, VWIN32_DIOC_DOS_DRIVEINFO, r);
    }

    TTempDir Dir;
    std::string Image;
};

uint32_t Field(const void* record, unsigned offset) {
    uint32_t v;
    std::memcpy(&v, static_cast<const uint8_t*>(record) + offset, 4);
    return v;
}

} // namespace

TEST_F(AbsDiskVxdEmulator, OpensDevicesByTheirPlatformNames) {
    HANDLE v = CreateFileA("\\\\.\\vwin32", FILE_FLAG_DELETE_ON_CLOSE);
    HANDLE ios = CreateFileA(KRV_4IOS_NAME, 0);
    HANDLE g = CreateFileA("\\\\.\\krv_gvxd.vxd", FILE_FLAG_DELETE_ON_CLOSE);
    EXPECT_NE(v, INVALID_HANDLE_VALUE);
    EXPECT_NE(ios, INVALID_HANDLE_VALUE);
    EXPECT_NE(g, INVALID_HANDLE_VALUE);
    EXPECT_EQ(CreateFileA("VWIN32", 0), INVALID_HANDLE_VALUE) << "not a device name";
    EXPECT_EQ(CreateFileA("\\\\.\\OTHER.VxD", 0), INVALID_HANDLE_VALUE);
    EXPECT_EQ(CreateFileA(nullptr, 0), INVALID_HANDLE_VALUE);
    uint32_t returned = 0;
    KRV_STATUS_OUT out{};
    EXPECT_FALSE(DeviceIoControl(g, 1, nullptr, 0, &out, sizeof out, &returned))
        << "KRV_GVxD.VxD answers nothing";
    DIOC_REGISTERS r;
    EXPECT_FALSE(DeviceIoControl(v, 99, &r, sizeof r, &r, sizeof r, &returned));
    EXPECT_FALSE(DeviceIoControl(v, VWIN32_DIOC_DOS_IOCTL, &r, 4, &r, sizeof r, &returned))
        << "short register block";
    EXPECT_EQ(TVxdEmulator::OpenHandleCount(), 3);
    EXPECT_TRUE(CloseHandle(v));
    EXPECT_FALSE(CloseHandle(v)) << "already closed";
    EXPECT_TRUE(CloseHandle(ios));
    EXPECT_TRUE(CloseHandle(g));
    EXPECT_EQ(TVxdEmulator::OpenHandleCount(), 0);
}

TEST_F(AbsDiskVxdEmulator, VolumeLocksBelongToOneCaller) {
    HANDLE a = CreateFileA(VWIN32_NAME, 0);
    HANDLE b = CreateFileA(VWIN32_NAME, 0);
    EXPECT_TRUE(Lock(a, 3));
    EXPECT_TRUE(Lock(a, 3)) << "the holder may lock again";
    EXPECT_FALSE(Lock(b, 3));
    EXPECT_FALSE(Unlock(b, 3));
    EXPECT_FALSE(Lock(a, 4)) << "drive D is not mapped";
    EXPECT_EQ(TVxdEmulator::LockCount(3), 2);
    CloseHandle(a); // a caller's end releases its locks
    EXPECT_EQ(TVxdEmulator::LockCount(3), 0);
    EXPECT_TRUE(Lock(b, 3));
    EXPECT_TRUE(Unlock(b, 3));
    EXPECT_FALSE(Unlock(b, 3)) << "nothing left to unlock";
    CloseHandle(b);
}

TEST_F(AbsDiskVxdEmulator, ExtendedAbsoluteIoNeedsTheCallersLockToWrite) {
    ASSERT_TRUE(StampSectors(Image, 63, 2));
    HANDLE v = CreateFileA(VWIN32_NAME, 0);
    std::vector<uint8_t> buf(512);
    ASSERT_TRUE(AbsIo(v, 3, EXT_ABS_READ_FILE_DATA, 1, 1, buf.data()));
    EXPECT_EQ(buf, Stamp(64));
    EXPECT_FALSE(AbsIo(v, 3, EXT_ABS_READ_FILE_DATA, 1, 1, buf.data(), 1)) << "ECX must be -1";
    EXPECT_FALSE(AbsIo(v, 3, 0x4000, 1, 1, buf.data())) << "unknown mode";
    EXPECT_FALSE(AbsIo(v, 3, EXT_ABS_WRITE_FILE_DATA, 1, 1, buf.data())) << "not locked";
    ASSERT_TRUE(Lock(v, 3));
    auto out = Stamp(1, 8);
    EXPECT_TRUE(AbsIo(v, 3, EXT_ABS_WRITE_FILE_DATA, 3999, 1, out.data()));
    EXPECT_EQ(ReadAt(Image, (63 + 3999) * 512, 512), out);
    EXPECT_FALSE(AbsIo(v, 3, EXT_ABS_WRITE_FILE_DATA, 4000, 1, out.data())) << "past the volume";
    EXPECT_FALSE(AbsIo(v, 3, EXT_ABS_READ_FILE_DATA, 0xFFFFFFFFu, 2, buf.data()));
    CloseHandle(v);
}

TEST_F(AbsDiskVxdEmulator, TheDriverHandsOutARecordBelowFourGiB) {
    HANDLE ios = CreateFileA(KRV_4IOS_NAME, 0);
    KRV_OPEN_IN in{3, KRV_4IOS_OPEN_FLAGS, 0};
    KRV_OPEN_OUT out{};
    uint32_t returned = 0;
    ASSERT_TRUE(
        DeviceIoControl(ios, KRV_4IOS_OPEN_DISK, &in, sizeof in, &out, sizeof out, &returned));
    ASSERT_EQ(out.Status, 0u);
    const void* rec = out.DiskRecord;
    EXPECT_EQ(Field(rec, KRV_REC_BUFFER_SIZE), TVxdEmulator::DefaultTransferBufferSize);
    EXPECT_NE(Field(rec, KRV_REC_BUFFER_ADDRESS), 0u);
    EXPECT_EQ(Field(rec, KRV_REC_BYTES_PER_SECTOR), 512u);
    EXPECT_EQ(Field(rec, KRV_REC_FIRST_SECTOR), 63u);
    EXPECT_EQ(Field(rec, KRV_REC_LAST_SECTOR), 4095u);

    // Sector data arrives in the buffer the record names.
    ASSERT_TRUE(StampSectors(Image, 7, 1));
    KRV_TRANSFER_IN read{out.DiskRecord, 7, 1};
    KRV_STATUS_OUT status{1};
    ASSERT_TRUE(DeviceIoControl(ios, KRV_4IOS_READ_SECTORS, &read, sizeof read, &status,
                                sizeof status, &returned));
    EXPECT_EQ(status.Status, 0u);
    const auto* buffer =
        reinterpret_cast<const uint8_t*>(uintptr_t(Field(rec, KRV_REC_BUFFER_ADDRESS)));
    EXPECT_EQ(std::vector<uint8_t>(buffer, buffer + 512), Stamp(7));

    KRV_TRANSFER_IN write{out.DiskRecord, 8, 1};
    ASSERT_TRUE(DeviceIoControl(ios, KRV_4IOS_WRITE_SECTORS, &write, sizeof write, &status,
                                sizeof status, &returned));
    EXPECT_NE(status.Status, 0u) << "the driver writes only to a locked drive";
    KRV_TRANSFER_IN tooFar{out.DiskRecord, 4095, 2};
    ASSERT_TRUE(DeviceIoControl(ios, KRV_4IOS_READ_SECTORS, &tooFar, sizeof tooFar, &status,
                                sizeof status, &returned));
    EXPECT_NE(status.Status, 0u);

    KRV_OPEN_IN badFlags{3, 0, 0};
    ASSERT_TRUE(DeviceIoControl(ios, KRV_4IOS_OPEN_DISK, &badFlags, sizeof badFlags, &out,
                                sizeof out, &returned));
    EXPECT_NE(out.Status, 0u);
    EXPECT_EQ(TVxdEmulator::OpenDiskRecordCount(), 1);
    CloseHandle(ios); // unloading the driver frees its records
    EXPECT_EQ(TVxdEmulator::OpenDiskRecordCount(), 0);
}

TEST_F(AbsDiskVxdEmulator, FreeSpaceAndMediaChange) {
    HANDLE v = CreateFileA(VWIN32_NAME, 0);
    char root[] = "C:\\";
    ExtGetDskFreSpcStruc answer{};
    DIOC_REGISTERS r;
    r.reg_EAX = DOS_GET_EXT_FREE_SPACE;
    r.reg_EDX = reinterpret_cast<uintptr_t>(root);
    r.reg_EDI = reinterpret_cast<uintptr_t>(&answer);
    r.reg_ECX = sizeof answer;
    ASSERT_TRUE(Dos(v, VWIN32_DIOC_DOS_DRIVEINFO, r));
    EXPECT_EQ(answer.ExtFree_BytesPerSector, 512u);
    EXPECT_EQ(answer.ExtFree_TotalPhysSectors, 4000u);
    char bad[] = "C:";
    r.reg_EDX = reinterpret_cast<uintptr_t>(bad);
    EXPECT_FALSE(Dos(v, VWIN32_DIOC_DOS_DRIVEINFO, r));

    SDPDFormatStruc change{sizeof(SDPDFormatStruc), SETDPB_FORCE_MEDIA_CHANGE, 0, 0, 0, 0};
    DIOC_REGISTERS m;
    m.reg_EAX = DOS_SET_DPB_FOR_FORMAT;
    m.reg_EDX = 3;
    m.reg_EDI = reinterpret_cast<uintptr_t>(&change);
    m.reg_ECX = sizeof change;
    EXPECT_TRUE(Dos(v, VWIN32_DIOC_DOS_DRIVEINFO, m));
    EXPECT_EQ(TVxdEmulator::MediaChangeCount(3), 1u);
    m.reg_EDX = 9;
    EXPECT_FALSE(Dos(v, VWIN32_DIOC_DOS_DRIVEINFO, m)) << "drive I is not mapped";
    CloseHandle(v);
}
