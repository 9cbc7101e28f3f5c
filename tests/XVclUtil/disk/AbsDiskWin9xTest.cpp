// TXAbsDiskIO's 9x family, run against the emulated VWIN32 service and KRV_4IOS.VxD driver on
// disk image files.

#include "AbsDiskTestSupport.h"
#include "XVclUtil/disk/AbsDiskVxdEmulator.h"
#include "XVclUtil/disk/TXAbsDiskIO.h"

#include <gtest/gtest.h>

using namespace XVclUtil;
using namespace AbsDiskTest;

namespace {

constexpr uint32_t kDiskSectors = 8192; // the last sector, 0x1FFF, ends in four one bits
const std::vector<TPart> kParts = {{0x0C, 2048, 4096, 0x80}, {0x83, 6144, 2048}};

bool Query9x(int& id) {
    id = ABSDISK_PLATFORM_9X;
    return true;
}

class AbsDiskWin9x : public ::testing::Test {
protected:
    void SetUp() override {
        TVxdEmulator::Reset();
        Image = Dir.File("disk.img");
        ASSERT_TRUE(MakeImage(Image, kDiskSectors, kParts));
        ASSERT_TRUE(StampSectors(Image, 1, 4));
        ASSERT_TRUE(StampSectors(Image, 2046, 6));
        ASSERT_TRUE(StampSectors(Image, 6140, 8));
        ASSERT_TRUE(StampSectors(Image, kDiskSectors - 4, 4));
        TAbsDiskDriveTable::Map('C', Image);
    }
    void TearDown() override {
        TAbsDiskDriveTable::Clear();
        TVxdEmulator::Reset();
    }

    TTempDir Dir;
    std::string Image;
};

} // namespace

TEST_F(AbsDiskWin9x, PhysicalOpenReadsTheDriversDiskRecordAndLocksTwice) {
    TXAbsDiskIO disk(Query9x);
    EXPECT_FALSE(disk.IsNtPlatform);
    ASSERT_EQ(disk.AbsOpenDisk("C:", true), ABSDISK_OK);
    EXPECT_NE(disk.Vwin32Handle, INVALID_ABSDISK_HANDLE);
    EXPECT_NE(disk.IosDriverHandle, INVALID_ABSDISK_HANDLE);
    EXPECT_NE(disk.GDriverHandle, INVALID_ABSDISK_HANDLE);
    EXPECT_EQ(disk.PhyDiskHandle, INVALID_ABSDISK_HANDLE);
    ASSERT_NE(disk.DriverDiskRecord, nullptr);
    EXPECT_EQ(disk.BytesPerSector, 512u);
    EXPECT_EQ(disk.LastSector, kDiskSectors) << "0x1FFF ends in 1111, so one is added";
    EXPECT_EQ(disk.PartitionStartSector, 2048u);
    EXPECT_EQ(disk.VolumeSectorCount, 0u);
    EXPECT_EQ(disk.LockCount, 2);
    EXPECT_EQ(TVxdEmulator::LockCount(3), 2);
    EXPECT_EQ(TVxdEmulator::OpenDiskRecordCount(), 1);
    EXPECT_EQ(TVxdEmulator::OpenHandleCount(), 3);
}

TEST_F(AbsDiskWin9x, PhysicalModeMovesSectorsThroughTheTransferBuffer) {
    TXAbsDiskIO disk(Query9x);
    ASSERT_EQ(disk.AbsOpenDisk("c:\\", true), ABSDISK_OK);
    std::vector<uint8_t> got(2 * 512);
    ASSERT_EQ(disk.AbsReadDisk(0, 2, got.data()), ABSDISK_OK);
    EXPECT_EQ(std::vector<uint8_t>(got.begin(), got.begin() + 512), MbrSector(kParts));
    EXPECT_EQ(std::vector<uint8_t>(got.begin() + 512, got.end()), Stamp(1));
    std::vector<uint8_t> out = Stamp(500, 3);
    ASSERT_EQ(disk.AbsWriteDisk(500, 1, out.data()), ABSDISK_OK);
    EXPECT_EQ(ReadAt(Image, 500 * 512, 512), out);
    EXPECT_EQ(ReadAt(Image, 501 * 512, 512), std::vector<uint8_t>(512, 0));
}

TEST_F(AbsDiskWin9x, TheLastSectorRuleDependsOnItsLowFourBits) {
    {
        TXAbsDiskIO disk(Query9x);
        ASSERT_EQ(disk.AbsOpenDisk("C:", true), ABSDISK_OK);
        std::vector<uint8_t> buf(4 * 512);
        ASSERT_EQ(disk.AbsReadDisk(kDiskSectors - 4, 4, buf.data()), ABSDISK_OK)
            << "with the added one the disk's last sector can be read";
        EXPECT_EQ(std::vector<uint8_t>(buf.end() - 512, buf.end()), Stamp(kDiskSectors - 1));
        EXPECT_EQ(disk.AbsReadDisk(kDiskSectors - 3, 4, buf.data()), ABSDISK_ERR_RANGE);
    }
    const std::string odd = Dir.File("odd.img"); // last sector 8189 = 0x1FFD
    ASSERT_TRUE(MakeImage(odd, 8190, kParts));
    TMappedDrive drive('D', odd);
    TXAbsDiskIO disk(Query9x);
    ASSERT_EQ(disk.AbsOpenDisk("D:", true), ABSDISK_OK);
    EXPECT_EQ(disk.LastSector, 8189u);
    std::vector<uint8_t> buf(4 * 512);
    EXPECT_EQ(disk.AbsReadDisk(8186, 4, buf.data()), ABSDISK_ERR_RANGE);
    EXPECT_EQ(disk.AbsReadDisk(8185, 4, buf.data()), ABSDISK_OK);
}

TEST_F(AbsDiskWin9x, ASmallTransferBufferGivesFour) {
    TVxdEmulator::SetTransferBufferSize(8 * 512);
    TXAbsDiskIO disk(Query9x);
    ASSERT_EQ(disk.AbsOpenDisk("C:", true), ABSDISK_OK);
    std::vector<uint8_t> buf(9 * 512);
    EXPECT_EQ(disk.AbsReadDisk(0, 8, buf.data()), ABSDISK_OK);
    EXPECT_EQ(disk.AbsReadDisk(0, 9, buf.data()), ABSDISK_ERR_BUFFER);
    EXPECT_EQ(disk.AbsWriteDisk(100, 9, buf.data()), ABSDISK_ERR_BUFFER);
    EXPECT_EQ(disk.AbsWriteDisk(kDiskSectors, 9, buf.data()), ABSDISK_ERR_RANGE)
        << "the range is checked first";
    // count * BytesPerSector would wrap in 32 bits to a size that fits the buffer.
    EXPECT_EQ(disk.AbsReadDisk(0, 0x800000u, buf.data()), ABSDISK_ERR_RANGE);
    EXPECT_EQ(ReadAt(Image, 100 * 512, 512), std::vector<uint8_t>(512, 0));
    EXPECT_EQ(disk.MaxTransferSectors(), 8u) << "what a caller cuts its transfers to";
    ASSERT_EQ(disk.AbsOpenDisk("C:", false), ABSDISK_OK);
    EXPECT_EQ(disk.MaxTransferSectors(), UINT32_MAX) << "logical mode has no driver buffer";
}

TEST_F(AbsDiskWin9x, AMissingDriverGivesThreeAndLeavesNothingOpen) {
    for (const char* driver : {"\\\\.\\KRV_4IOS.VxD", "KRV_GVxD.VxD"}) {
        TVxdEmulator::Reset();
        TVxdEmulator::SetDriverInstalled(driver, false);
        for (bool physical : {true, false}) {
            TXAbsDiskIO disk(Query9x);
            EXPECT_EQ(disk.AbsOpenDisk("C:", physical), ABSDISK_ERR_DRIVER) << driver;
            EXPECT_EQ(disk.Vwin32Handle, INVALID_ABSDISK_HANDLE);
            EXPECT_EQ(disk.IosDriverHandle, INVALID_ABSDISK_HANDLE);
            EXPECT_EQ(disk.GDriverHandle, INVALID_ABSDISK_HANDLE);
            EXPECT_EQ(disk.LockCount, 0);
            EXPECT_EQ(TVxdEmulator::OpenHandleCount(), 0);
        }
    }
}

TEST_F(AbsDiskWin9x, ClosingUnlocksForcesAMediaChangeAndKeepsTheDriverOpen) {
    {
        TXAbsDiskIO disk(Query9x);
        ASSERT_EQ(disk.AbsOpenDisk("C:", true), ABSDISK_OK);
        const TAbsDiskHandle driver = disk.IosDriverHandle;
        EXPECT_EQ(disk.AbsCloseDisk(), 0);
        EXPECT_EQ(disk.DriverDiskRecord, nullptr);
        EXPECT_EQ(disk.LockCount, 0);
        EXPECT_EQ(disk.Vwin32Handle, INVALID_ABSDISK_HANDLE);
        EXPECT_EQ(disk.GDriverHandle, INVALID_ABSDISK_HANDLE);
        EXPECT_EQ(disk.IosDriverHandle, driver) << "the driver handle stays open";
        EXPECT_EQ(TVxdEmulator::LockCount(3), 0);
        EXPECT_EQ(TVxdEmulator::MediaChangeCount(3), 1u);
        EXPECT_EQ(TVxdEmulator::OpenDiskRecordCount(), 0);
        EXPECT_EQ(TVxdEmulator::OpenHandleCount(), 1);
        // The next open uses the same driver handle rather than opening (and leaking) another.
        ASSERT_EQ(disk.AbsOpenDisk("C:", true), ABSDISK_OK);
        EXPECT_EQ(disk.IosDriverHandle, driver);
        EXPECT_EQ(TVxdEmulator::OpenHandleCount(), 3);
        EXPECT_EQ(disk.AbsCloseDisk(), 0);
        EXPECT_EQ(disk.AbsCloseDisk(), 0) << "a second close is harmless";
    }
    EXPECT_EQ(TVxdEmulator::OpenHandleCount(), 0) << "the object's end closes the driver";
}

TEST_F(AbsDiskWin9x, LogicalModeGoesThroughVwin32) {
    TXAbsDiskIO disk(Query9x);
    ASSERT_EQ(disk.AbsOpenDisk("C:", false), ABSDISK_OK);
    EXPECT_EQ(disk.DriverDiskRecord, nullptr) << "the physical open is closed again";
    EXPECT_NE(disk.Vwin32Handle, INVALID_ABSDISK_HANDLE);
    EXPECT_NE(disk.GDriverHandle, INVALID_ABSDISK_HANDLE);
    EXPECT_EQ(disk.PartitionStartSector, 2048u) << "geometry kept from the physical open";
    EXPECT_EQ(disk.BytesPerSector, 512u);
    EXPECT_EQ(disk.VolumeSectorCount, 0u);
    EXPECT_EQ(disk.LockCount, 2);
    EXPECT_EQ(TVxdEmulator::LockCount(3), 2);
    EXPECT_EQ(TVxdEmulator::MediaChangeCount(3), 1u);

    std::vector<uint8_t> buf(4 * 512);
    ASSERT_EQ(disk.AbsReadDisk(0, 2, buf.data()), ABSDISK_OK);
    EXPECT_EQ(std::vector<uint8_t>(buf.begin(), buf.begin() + 512), Stamp(2048));
    const std::vector<uint8_t> fill(4 * 512, 0xF6);
    EXPECT_EQ(disk.AbsWriteDisk(4092, 4, fill.data()), ABSDISK_OK) << "up to the volume's end";
    EXPECT_EQ(ReadAt(Image, 6140 * 512, fill.size()), fill);
    // The family checks no range; VWIN32 refuses what lies outside the volume.
    EXPECT_EQ(disk.AbsWriteDisk(4093, 4, fill.data()), ABSDISK_ERR_REQUEST);
    EXPECT_EQ(disk.AbsWriteDisk(0xFFFFFFF0u, 0x20, std::vector<uint8_t>(0x20 * 512).data()),
              ABSDISK_ERR_REQUEST);
    EXPECT_EQ(ReadAt(Image, 6144 * 512, 512), Stamp(6144)) << "the next volume untouched";
    EXPECT_EQ(FileSize(Image), uint64_t(kDiskSectors) * 512);

    EXPECT_EQ(disk.AbsCloseDisk(), 0);
    EXPECT_EQ(TVxdEmulator::LockCount(3), 0);
    EXPECT_EQ(TVxdEmulator::MediaChangeCount(3), 2u);
    EXPECT_EQ(disk.Vwin32Handle, INVALID_ABSDISK_HANDLE);
    EXPECT_EQ(disk.GDriverHandle, INVALID_ABSDISK_HANDLE);
}

TEST_F(AbsDiskWin9x, LogicalRequestsBeyondOnePacketAreSplit) {
    const std::string big = Dir.File("big.img");
    constexpr uint32_t kVolume = 70000;
    ASSERT_TRUE(MakeImage(big, 64 + kVolume, {{0x0C, 64, kVolume}}));
    TMappedDrive drive('E', big);
    TXAbsDiskIO disk(Query9x);
    ASSERT_EQ(disk.AbsOpenDisk("E:", false), ABSDISK_OK);
    constexpr uint32_t kCount = 0x10001; // one sector more than a packet can carry
    std::vector<uint8_t> out(uint64_t(kCount) * 512);
    for (uint32_t s : {0u, 0xFFFEu, 0xFFFFu, 0x10000u}) {
        auto st = Stamp(s, 5);
        std::copy(st.begin(), st.end(), out.begin() + uint64_t(s) * 512);
    }
    ASSERT_EQ(disk.AbsWriteDisk(10, kCount, out.data()), ABSDISK_OK);
    EXPECT_EQ(ReadAt(big, (64 + 10 + 0x10000ull) * 512, 512), Stamp(0x10000, 5));
    EXPECT_EQ(ReadAt(big, (64 + 10 + 0xFFFFull) * 512, 512), Stamp(0xFFFF, 5));
    std::vector<uint8_t> in(out.size());
    ASSERT_EQ(disk.AbsReadDisk(10, kCount, in.data()), ABSDISK_OK);
    EXPECT_EQ(in, out);
}

TEST_F(AbsDiskWin9x, BadDrivesAndImagesGiveResultCodes) {
    TXAbsDiskIO disk(Query9x);
    EXPECT_EQ(disk.AbsOpenDisk("1:", true), ABSDISK_ERR_DRIVE);
    EXPECT_EQ(disk.AbsOpenDisk("", false), ABSDISK_ERR_DRIVE);
    EXPECT_EQ(disk.AbsOpenDisk("Q:", true), ABSDISK_ERR_REQUEST) << "no such drive";
    EXPECT_EQ(disk.AbsOpenDisk("Q:", false), ABSDISK_ERR_REQUEST);
    ASSERT_TRUE(MakeImage(Dir.File("bare.img"), 256));
    TMappedDrive bare('F', Dir.File("bare.img"));
    EXPECT_EQ(disk.AbsOpenDisk("F:", true), ABSDISK_ERR_REQUEST) << "a drive with no volume";
    TTempDir::Write(Dir.File("short.img"), std::string(100, 'x'));
    TMappedDrive shortImage('G', Dir.File("short.img"));
    EXPECT_EQ(disk.AbsOpenDisk("G:", false), ABSDISK_ERR_REQUEST);
    EXPECT_EQ(disk.LockCount, 0);
    EXPECT_EQ(TVxdEmulator::OpenDiskRecordCount(), 0);
    EXPECT_LE(TVxdEmulator::OpenHandleCount(), 1) << "at most the driver handle stays";
}

TEST_F(AbsDiskWin9x, TheTwoFamiliesLockEachOtherOut) {
    TXAbsDiskIO nt;
    TXAbsDiskIO w9x(Query9x);
    ASSERT_EQ(nt.AbsOpenDisk("C:", true), ABSDISK_OK);
    EXPECT_EQ(w9x.AbsOpenDisk("C:", true), ABSDISK_ERR_REQUEST);
    EXPECT_EQ(w9x.AbsOpenDisk("C:", false), ABSDISK_ERR_REQUEST);
    EXPECT_EQ(w9x.LockCount, 0);
    EXPECT_EQ(TVxdEmulator::LockCount(3), 0);
    nt.AbsCloseDisk();
    ASSERT_EQ(w9x.AbsOpenDisk("C:", false), ABSDISK_OK);
    EXPECT_EQ(nt.AbsOpenDisk("C:", false), ABSDISK_ERR_REQUEST);
    TXAbsDiskIO other9x(Query9x);
    EXPECT_EQ(other9x.AbsOpenDisk("C:", true), ABSDISK_ERR_REQUEST) << "another VWIN32 caller";
}
