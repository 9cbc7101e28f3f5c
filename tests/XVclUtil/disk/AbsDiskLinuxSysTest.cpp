// sysfs and mountinfo knowledge of the raw disk layer, on a made-up /sys tree and on this
// machine's own.

#include "XVclUtil/disk/AbsDiskLinuxSys.h"
#include "AbsDiskTestSupport.h"
#include "XVclUtil/disk/AbsDiskLinuxTarget.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

using namespace XVclUtil;
namespace fs = std::filesystem;

namespace {

// A /sys with disk sdq (8:64, 2 GiB) holding sdq1 (8:65) and sdq2 (8:66), and loop5 (7:5, 4 MiB)
// backed by a file from its byte 1 MiB on.
class TFakeSys {
public:
    explicit TFakeSys(const std::string& backingFile) {
        const std::string dev = Dir.Path + "/devices/virtual/block";
        MakeDevice(dev + "/sdq", "8:64", 4194304);
        MakeDevice(dev + "/sdq/sdq1", "8:65", 2048000, 2048);
        MakeDevice(dev + "/sdq/sdq2", "8:66", 100000, 2050048);
        MakeDevice(dev + "/loop5", "7:5", 8192);
        fs::create_directories(dev + "/loop5/loop");
        TTempDir::Write(dev + "/loop5/loop/backing_file", backingFile + "\n");
        TTempDir::Write(dev + "/loop5/loop/offset", "1048576\n");
        fs::create_directories(Dir.Path + "/dev/block");
        fs::create_directories(Dir.Path + "/block");
        for (auto [link, target] : {std::pair{"8:64", "sdq"},
                                    {"8:65", "sdq/sdq1"},
                                    {"8:66", "sdq/sdq2"},
                                    {"7:5", "loop5"}})
            fs::create_directory_symlink(dev + "/" + target, Dir.Path + "/dev/block/" + link);
        fs::create_directory_symlink(dev + "/loop5", Dir.Path + "/block/loop5");
        fs::create_directory_symlink(dev + "/sdq", Dir.Path + "/block/sdq");
    }
    TAbsDiskLinuxSys Sys(const std::string& mountInfo) {
        TTempDir::Write(Dir.File("mountinfo"), mountInfo);
        return TAbsDiskLinuxSys(Dir.Path, Dir.File("mountinfo"), Dir.Path + "/devnodes");
    }
    TTempDir Dir;

private:
    static void MakeDevice(const std::string& path, const std::string& dev, uint64_t size,
                           int64_t start = -1) {
        fs::create_directories(path);
        TTempDir::Write(path + "/dev", dev + "\n");
        TTempDir::Write(path + "/size", std::to_string(size) + "\n");
        if (start >= 0) {
            TTempDir::Write(path + "/partition", "1\n");
            TTempDir::Write(path + "/start", std::to_string(start) + "\n");
        }
    }
};

const char* kMountLine =
    "36 25 8:66 / /mnt/data\\040dir rw,relatime shared:1 - ext4 /dev/sdq2 rw\n";

} // namespace

TEST(AbsDiskLinuxSys, ParsesMountInfoLines) {
    std::string majorMinor, mountPoint, source;
    ASSERT_TRUE(AbsDiskParseMountInfoLine(kMountLine, majorMinor, mountPoint, source));
    EXPECT_EQ(majorMinor, "8:66");
    EXPECT_EQ(mountPoint, "/mnt/data dir") << "octal escape decoded";
    EXPECT_EQ(source, "/dev/sdq2");
    EXPECT_TRUE(AbsDiskParseMountInfoLine("22 27 0:21 / /proc rw - proc proc rw", majorMinor,
                                          mountPoint, source));
    EXPECT_EQ(source, "proc");
    EXPECT_FALSE(AbsDiskParseMountInfoLine("22 27 0:21 / /proc rw proc proc", majorMinor,
                                           mountPoint, source))
        << "no separator";
    EXPECT_FALSE(AbsDiskParseMountInfoLine("", majorMinor, mountPoint, source));
    EXPECT_FALSE(AbsDiskParseMountInfoLine("1 2 3", majorMinor, mountPoint, source));
}

TEST(AbsDiskLinuxSys, FindsAPartitionsDiskAndStart) {
    TFakeSys fake("/nowhere.img");
    TAbsDiskLinuxSys sys = fake.Sys("");
    auto part = sys.BlockInfo(makedev(8, 65));
    ASSERT_TRUE(part);
    EXPECT_TRUE(part->IsPartition);
    EXPECT_EQ(part->Name, "sdq1");
    EXPECT_EQ(part->WholeDisk, makedev(8, 64));
    EXPECT_EQ(part->WholeDiskName, "sdq");
    EXPECT_EQ(part->Start512, 2048u);
    EXPECT_EQ(part->Size512, 2048000u);
    EXPECT_EQ(part->WholeDiskSize512, 4194304u);
    auto disk = sys.BlockInfo(makedev(8, 64));
    ASSERT_TRUE(disk);
    EXPECT_FALSE(disk->IsPartition);
    EXPECT_EQ(disk->WholeDisk, makedev(8, 64));
    EXPECT_FALSE(sys.BlockInfo(makedev(9, 9))) << "unknown device";
}

TEST(AbsDiskLinuxSys, TellsWhichDevicesAreInUse) {
    TFakeSys fake("/nowhere.img");
    TAbsDiskLinuxSys sys = fake.Sys(std::string("27 1 8:65 / / rw - ext4 /dev/sdq1 rw\n") +
                                    "22 27 0:21 / /proc rw - proc proc rw\n");
    EXPECT_TRUE(sys.DeviceMounted(makedev(8, 65)));
    EXPECT_FALSE(sys.DeviceMounted(makedev(8, 66)));
    EXPECT_FALSE(sys.DeviceMounted(makedev(8, 64))) << "the disk itself carries no file system";
    EXPECT_TRUE(sys.DiskInUse(makedev(8, 64))) << "but a partition on it is mounted";
    EXPECT_FALSE(sys.DiskInUse(makedev(7, 5)));
    auto root = sys.RootDisk();
    ASSERT_TRUE(root);
    EXPECT_EQ(*root, makedev(8, 64)) << "root lives on sdq1, so sdq holds the running system";
    // On the disk, only sdq1's bytes are in use: physical mode is refused, sdq2 is free.
    TAbsDiskLinuxTarget sdq;
    sdq.IsBlockDevice = true;
    sdq.Disk = makedev(8, 64);
    EXPECT_EQ(AbsDiskRangeInUse(sdq, ABSDISK_WHOLE_DISK, sys), TAbsDiskCause::Mounted);
    EXPECT_EQ(AbsDiskRangeInUse(sdq, {2048 * 512 - 1, 1}, sys), TAbsDiskCause::None);
    EXPECT_EQ(AbsDiskRangeInUse(sdq, {2049 * 512, 512}, sys), TAbsDiskCause::Mounted);
    EXPECT_EQ(AbsDiskRangeInUse(sdq, {2050048ull * 512, 512}, sys), TAbsDiskCause::None);
}

TEST(AbsDiskLinuxSys, FindsLoopDevicesOfAnImage) {
    TTempDir dir;
    const std::string image = dir.File("disk.img");
    ASSERT_TRUE(AbsDiskTest::MakeImage(image, 16));
    TFakeSys fake(fs::canonical(image).string());
    TAbsDiskLinuxSys idle = fake.Sys("");
    auto loops = idle.LoopDevicesBackedBy(image);
    ASSERT_EQ(loops.size(), 1u);
    EXPECT_EQ(loops[0], makedev(7, 5));
    EXPECT_TRUE(idle.LoopDevicesBackedBy(dir.File("other.img")).empty());

    TAbsDiskLinuxTarget target;
    target.DiskPath = target.VolumePath = image;
    EXPECT_FALSE(AbsDiskDiskInUse(target, idle)) << "attached but not mounted";
    TAbsDiskLinuxSys mounted = fake.Sys("40 25 7:5 / /mnt/img rw - ext2 /dev/loop5 rw\n");
    EXPECT_TRUE(AbsDiskDiskInUse(target, mounted));
    // Only the bytes the mounted loop device shows are in use: [1 MiB, 5 MiB) of the file.
    const uint64_t MiB = 1 << 20;
    EXPECT_EQ(AbsDiskRangeInUse(target, {0, MiB}, mounted), TAbsDiskCause::None);
    EXPECT_EQ(AbsDiskRangeInUse(target, {MiB - 512, 1024}, mounted), TAbsDiskCause::LoopOverlap);
    EXPECT_EQ(AbsDiskRangeInUse(target, {5 * MiB - 1, 1}, mounted), TAbsDiskCause::LoopOverlap);
    EXPECT_EQ(AbsDiskRangeInUse(target, {5 * MiB, UINT64_MAX}, mounted), TAbsDiskCause::None);
}

TEST(AbsDiskLinuxSys, KnowsThisMachinesSystemDisk) {
    TAbsDiskLinuxSys sys;
    auto root = sys.RootDisk();
    if (!root) GTEST_SKIP() << "the root file system is not on a block device here";
    auto info = sys.BlockInfo(*root);
    ASSERT_TRUE(info);
    EXPECT_FALSE(info->IsPartition) << "the whole disk, not the partition, holds the system";
    const std::string node = "/dev/" + info->Name;
    auto target = AbsDiskResolveTarget(TAbsDiskDriveEntry{node, 0}, sys);
    if (!target) GTEST_SKIP() << node << " has no device node here";
    EXPECT_TRUE(AbsDiskHoldsRunningSystem(*target, sys));
    EXPECT_TRUE(AbsDiskDiskInUse(*target, sys));
}

TEST(AbsDiskLinuxSys, ResolvesAPartitionDeviceToItsDisk) {
    TFakeSys fake("/nowhere.img");
    const std::string nodes = fake.Dir.Path + "/devnodes";
    fs::create_directories(nodes);
    if (::mknod((nodes + "/sdq").c_str(), S_IFBLK | 0600, makedev(8, 64)) != 0 ||
        ::mknod((nodes + "/sdq1").c_str(), S_IFBLK | 0600, makedev(8, 65)) != 0)
        GTEST_SKIP() << "making block device nodes needs root";
    TAbsDiskLinuxSys sys = fake.Sys("");
    auto target = AbsDiskResolveTarget(TAbsDiskDriveEntry{nodes + "/sdq1", 3}, sys);
    ASSERT_TRUE(target);
    EXPECT_TRUE(target->IsBlockDevice);
    EXPECT_TRUE(target->VolumeIsPartitionDevice);
    EXPECT_EQ(target->VolumePath, nodes + "/sdq1");
    EXPECT_EQ(target->DiskPath, nodes + "/sdq");
    EXPECT_EQ(target->Disk, makedev(8, 64));
    EXPECT_EQ(target->PartitionStart512, 2048u);
    EXPECT_EQ(target->DiskSize512, 4194304u);
    auto whole = AbsDiskResolveTarget(TAbsDiskDriveEntry{nodes + "/sdq", 2}, sys);
    ASSERT_TRUE(whole);
    EXPECT_FALSE(whole->VolumeIsPartitionDevice);
    EXPECT_EQ(whole->DiskPath, nodes + "/sdq");
    EXPECT_EQ(whole->Partition, 2u);
    // A disk node that is some other device is not taken for the parent.
    fs::remove(nodes + "/sdq");
    ASSERT_EQ(::mknod((nodes + "/sdq").c_str(), S_IFBLK | 0600, makedev(8, 80)), 0);
    EXPECT_FALSE(AbsDiskResolveTarget(TAbsDiskDriveEntry{nodes + "/sdq1", 0}, sys));
}

TEST(AbsDiskLinuxSys, ResolvesImageFilesAndRefusesOtherFiles) {
    TTempDir dir;
    const std::string image = dir.File("disk.img");
    ASSERT_TRUE(AbsDiskTest::MakeImage(image, 16));
    TAbsDiskLinuxSys sys;
    auto target = AbsDiskResolveTarget(TAbsDiskDriveEntry{image, 2}, sys);
    ASSERT_TRUE(target);
    EXPECT_FALSE(target->IsBlockDevice);
    EXPECT_EQ(target->DiskPath, image);
    EXPECT_EQ(target->VolumePath, image);
    EXPECT_EQ(target->Partition, 2u);
    EXPECT_FALSE(AbsDiskHoldsRunningSystem(*target, sys));
    EXPECT_FALSE(AbsDiskResolveTarget(TAbsDiskDriveEntry{dir.Path, 0}, sys)) << "a folder";
    EXPECT_FALSE(AbsDiskResolveTarget(TAbsDiskDriveEntry{"/dev/null", 0}, sys)) << "char device";
    EXPECT_FALSE(AbsDiskResolveTarget(TAbsDiskDriveEntry{dir.File("missing"), 0}, sys));
}
