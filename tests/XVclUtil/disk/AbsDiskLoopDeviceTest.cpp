// TXAbsDiskIO on a real block device: a loop device over a disk image, where this machine lets
// the test set one up (root and /dev/loop-control); otherwise the tests are skipped.
// Closing a block device waits about 3.1 s for udev, so these tests take some seconds.

#include "AbsDiskTestSupport.h"
#include "XVclUtil/disk/AbsDiskVxdEmulator.h"
#include "XVclUtil/disk/TXAbsDiskIO.h"

#include <gtest/gtest.h>
#include <sys/mount.h>

using namespace XVclUtil;
using namespace AbsDiskTest;

namespace {

constexpr uint32_t kDiskSectors = 8192;
const std::vector<TPart> kParts = {{0x83, 2048, 4096}};

// Mounts a device for the life of the object.
class TMount {
public:
    TMount(const std::string& device, const std::string& dir) : Dir(dir) {
        Mounted = ::mount(device.c_str(), dir.c_str(), "ext2", 0, nullptr) == 0;
    }
    ~TMount() {
        if (Mounted) ::umount2(Dir.c_str(), MNT_DETACH);
    }
    void Unmount() {
        if (Mounted) ::umount(Dir.c_str());
        Mounted = false;
    }
    bool Mounted = false;

private:
    std::string Dir;
};

} // namespace

TEST(AbsDiskLoopDevice, WholeDeviceInBothModes) {
    TTempDir dir;
    const std::string image = dir.File("disk.img");
    ASSERT_TRUE(MakeImage(image, kDiskSectors, kParts));
    ASSERT_TRUE(StampSectors(image, 2048, 2));
    TLoopDevice loop(image);
    if (loop.Path.empty()) GTEST_SKIP() << loop.Why;
    TMappedDrive drive('L', loop.Path);

    TXAbsDiskIO disk;
    ASSERT_EQ(disk.AbsOpenDisk("L:", true), ABSDISK_OK);
    EXPECT_EQ(disk.BytesPerSector, 512u) << "from the device";
    EXPECT_EQ(disk.LastSector, kDiskSectors - 1);
    EXPECT_EQ(disk.LockCount, 1);
    // The volume is claimed: no other exclusive opener gets the device.
    EXPECT_LT(::open(loop.Path.c_str(), O_RDWR | O_EXCL), 0);
    std::vector<uint8_t> sector(512);
    ASSERT_EQ(disk.AbsReadDisk(0, 1, sector.data()), ABSDISK_OK);
    EXPECT_EQ(sector, MbrSector(kParts));
    const auto out = Stamp(300, 4);
    ASSERT_EQ(disk.AbsWriteDisk(300, 1, out.data()), ABSDISK_OK);
    EXPECT_EQ(disk.AbsReadDisk(kDiskSectors - 1, 1, sector.data()), ABSDISK_ERR_RANGE);
    disk.AbsCloseDisk();
    EXPECT_EQ(ReadAt(image, 300 * 512, 512), out) << "on the medium after the close";
    const int probe = ::open(loop.Path.c_str(), O_RDWR | O_EXCL);
    EXPECT_GE(probe, 0) << "the claim ends with the close";
    if (probe >= 0) ::close(probe);

    ASSERT_EQ(disk.AbsOpenDisk("L:", false), ABSDISK_OK);
    EXPECT_EQ(disk.PartitionStartSector, 2048u) << "the MBR inside the device";
    EXPECT_EQ(disk.VolumeSectorCount, 4096u);
    ASSERT_EQ(disk.AbsReadDisk(1, 1, sector.data()), ABSDISK_OK);
    EXPECT_EQ(sector, Stamp(2049));
    ASSERT_EQ(disk.AbsWriteDisk(4095, 1, out.data()), ABSDISK_OK);
    EXPECT_EQ(disk.AbsWriteDisk(4096, 1, out.data()), ABSDISK_ERR_RANGE);
    disk.AbsCloseDisk();
    EXPECT_EQ(ReadAt(image, (2048 + 4095) * 512, 512), out);
}

TEST(AbsDiskLoopDevice, AMountedVolumeIsRefused) {
    if (::access("/usr/sbin/mke2fs", X_OK) != 0 && ::access("/sbin/mke2fs", X_OK) != 0)
        GTEST_SKIP() << "mke2fs (e2fsprogs) is not installed";
    TTempDir dir;
    const std::string image = dir.File("fs.img");
    ASSERT_TRUE(MakeImage(image, kDiskSectors));
    const std::string mkfs = "mke2fs -q -F " + image + " >/dev/null 2>&1";
    ASSERT_EQ(std::system(mkfs.c_str()), 0);
    TLoopDevice loop(image);
    if (loop.Path.empty()) GTEST_SKIP() << loop.Why;
    ::mkdir(dir.File("mnt").c_str(), 0700);
    TMount mount(loop.Path, dir.File("mnt"));
    if (!mount.Mounted) GTEST_SKIP() << "mounting " << loop.Path << " is not allowed here";

    TMappedDrive device('M', loop.Path);
    TMappedDrive file('N', image); // the same disk reached through its image file
    TXAbsDiskIO disk;
    for (const char* drive : {"M:", "N:"}) {
        EXPECT_EQ(disk.AbsOpenDisk(drive, true), ABSDISK_ERR_REQUEST) << drive;
        EXPECT_EQ(disk.AbsOpenDisk(drive, false), ABSDISK_ERR_REQUEST) << drive;
        EXPECT_EQ(disk.LockCount, 0);
        EXPECT_EQ(disk.LogDiskHandle, INVALID_ABSDISK_HANDLE);
    }
    TXAbsDiskIO w9x([](int& id) { return id = ABSDISK_PLATFORM_9X, true; });
    EXPECT_EQ(w9x.AbsOpenDisk("M:", true), ABSDISK_ERR_REQUEST) << "VWIN32 cannot lock it either";

    mount.Unmount();
    EXPECT_EQ(disk.AbsOpenDisk("M:", true), ABSDISK_OK);
    disk.AbsCloseDisk();
    TVxdEmulator::Reset();
}

// Two loop devices over one image: one shows only partition 1 and carries a mounted file
// system, the other shows the whole image. Whatever overlaps the mounted bytes is refused, by
// either loop device or by the image file itself; partition 2 stays free.
TEST(AbsDiskLoopDevice, LoopDevicesOverOneFileSeeEachOthersMounts) {
    if (::access("/usr/sbin/mke2fs", X_OK) != 0 && ::access("/sbin/mke2fs", X_OK) != 0)
        GTEST_SKIP() << "mke2fs (e2fsprogs) is not installed";
    TTempDir dir;
    const std::string image = dir.File("disk.img");
    ASSERT_TRUE(MakeImage(image, kDiskSectors, {{0x83, 2048, 4096}, {0x83, 6144, 2048}}));
    TLoopDevice part(image, 2048 * 512, 4096 * 512);
    if (part.Path.empty()) GTEST_SKIP() << part.Why;
    ASSERT_EQ(std::system(("mke2fs -q -F " + part.Path + " >/dev/null 2>&1").c_str()), 0);
    ::mkdir(dir.File("mnt").c_str(), 0700);
    TMount mount(part.Path, dir.File("mnt"));
    if (!mount.Mounted) GTEST_SKIP() << "mounting " << part.Path << " is not allowed here";
    TLoopDevice whole(image);
    ASSERT_FALSE(whole.Path.empty()) << whole.Why;
    const auto superblock = ReadAt(image, 2048 * 512 + 1024, 1024);

    TMappedDrive loop1('A', whole.Path, 1), loop2('B', whole.Path, 2);
    TMappedDrive file1('F', image, 1), file2('G', image, 2);
    TXAbsDiskIO disk;
    for (const char* drive : {"A:", "F:"})
        for (bool physical : {true, false}) {
            EXPECT_EQ(disk.AbsOpenDisk(drive, physical), ABSDISK_ERR_REQUEST) << drive;
            EXPECT_EQ(disk.FailureCause, TAbsDiskCause::LoopOverlap) << drive;
            EXPECT_EQ(disk.LockCount, 0);
        }
    for (const char* drive : {"B:", "G:"}) {
        ASSERT_EQ(disk.AbsOpenDisk(drive, false), ABSDISK_OK) << drive;
        EXPECT_EQ(disk.PartitionStartSector, 6144u);
        disk.AbsCloseDisk();
    }
    EXPECT_EQ(ReadAt(image, 2048 * 512 + 1024, 1024), superblock);
}

TEST(AbsDiskLoopDevice, The9xFamilyOnABlockDevice) {
    TTempDir dir;
    const std::string image = dir.File("disk.img");
    ASSERT_TRUE(MakeImage(image, kDiskSectors, kParts));
    ASSERT_TRUE(StampSectors(image, 2050, 1));
    TLoopDevice loop(image);
    if (loop.Path.empty()) GTEST_SKIP() << loop.Why;
    TMappedDrive drive('L', loop.Path);
    TVxdEmulator::Reset();
    {
        TXAbsDiskIO disk([](int& id) { return id = ABSDISK_PLATFORM_9X, true; });
        ASSERT_EQ(disk.AbsOpenDisk("L:", true), ABSDISK_OK);
        EXPECT_EQ(disk.BytesPerSector, 512u);
        EXPECT_EQ(disk.PartitionStartSector, 2048u);
        EXPECT_EQ(disk.LastSector, kDiskSectors);
        EXPECT_LT(::open(loop.Path.c_str(), O_RDWR | O_EXCL), 0) << "VWIN32's lock claims it";
        std::vector<uint8_t> sector(512);
        ASSERT_EQ(disk.AbsReadDisk(2050, 1, sector.data()), ABSDISK_OK);
        EXPECT_EQ(sector, Stamp(2050));
        ASSERT_EQ(disk.AbsOpenDisk("L:", false), ABSDISK_OK);
        ASSERT_EQ(disk.AbsReadDisk(2, 1, sector.data()), ABSDISK_OK);
        EXPECT_EQ(sector, Stamp(2050));
    }
    EXPECT_EQ(TVxdEmulator::OpenHandleCount(), 0);
    TVxdEmulator::Reset();
}
