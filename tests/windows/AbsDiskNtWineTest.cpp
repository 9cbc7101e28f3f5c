// TXAbsDiskIO's NT family under Wine. run-wine-disk.sh maps drive X: onto a volume image file
// (dosdevices/x:: -> vol.img) and names the folder in ZKF_WINE_DISK_DIR. The Win32 calls go to
// Wine; the requests Wine does not serve on an image file (drive geometry, partition
// information, disk property update, dismount, and a "\\.\PHYSICALDRIVEn" for the image) are
// answered by TImageNtApi from the image files. Each test prints which requests ran for real.

#include "XVclUtil/disk/AbsDiskNtFamily.h"
#include "XVclUtil/disk/AbsDiskSystemDrive.h"
#include "XVclUtil/disk/TXAbsDiskIO.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>
#include <winioctl.h>

using namespace XVclUtil;

namespace {

constexpr uint32_t kVolumeSectors = 4096; // vol.img, the volume behind X:
constexpr uint32_t kVolumeStart = 2048;   // where the volume lies on the disk
constexpr uint32_t kDiskSectors = 8192;   // disk.img, "\\.\PHYSICALDRIVE<n>"

std::string DiskDir() {
    const char* dir = std::getenv("ZKF_WINE_DISK_DIR");
    return dir ? dir : "";
}

std::vector<uint8_t> Sector(uint32_t n, uint8_t seed) {
    std::vector<uint8_t> bytes(512);
    for (unsigned i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(n * 7 + i + seed);
    return bytes;
}

std::vector<uint8_t> FileSector(const std::string& file, uint32_t n) {
    std::vector<uint8_t> bytes(512);
    std::ifstream in(DiskDir() + "\\" + file, std::ios::binary);
    in.seekg(std::streamoff(n) * 512);
    in.read(reinterpret_cast<char*>(bytes.data()), 512);
    return bytes;
}

// The real calls, with the control requests Wine does not serve answered from the images.
class TImageNtApi final : public TAbsDiskNtWin32Api {
public:
    std::map<std::string, int> Real, Faked;
    std::vector<uint32_t> Pauses;
    int Broadcasts = 0;

    TAbsDiskHandle Open(const char* name, bool writeThrough) override {
        if (std::strncmp(name, "\\\\.\\PHYSICALDRIVE", 17) != 0) {
            ++Real[std::string("open ") + name];
            return TAbsDiskNtWin32Api::Open(name, writeThrough);
        }
        ++Faked["open \\\\.\\PHYSICALDRIVEn"];
        DiskHandle = TAbsDiskNtWin32Api::Open((DiskDir() + "\\disk.img").c_str(), writeThrough);
        return DiskHandle;
    }
    bool Control(TAbsDiskHandle h, uint32_t code, void* out, uint32_t outSize,
                 uint32_t& returned) override {
        if (TAbsDiskNtWin32Api::Control(h, code, out, outSize, returned)) {
            ++Real[Name(code)];
            return true;
        }
        ++Faked[Name(code)];
        const bool disk = h == DiskHandle;
        if (code == IOCTL_DISK_GET_DRIVE_GEOMETRY_EX) {
            auto* g = static_cast<DISK_GEOMETRY_EX*>(out);
            g->Geometry.BytesPerSector = 512;
            g->Geometry.SectorsPerTrack = 63;
            g->Geometry.TracksPerCylinder = 255;
            g->Geometry.Cylinders.QuadPart = 1;
            g->DiskSize.QuadPart = int64_t(disk ? kDiskSectors : kVolumeSectors) * 512;
            returned = sizeof(DISK_GEOMETRY_EX);
        } else if (code == IOCTL_DISK_GET_PARTITION_INFO_EX) {
            auto* p = static_cast<PARTITION_INFORMATION_EX*>(out);
            p->PartitionStyle = PARTITION_STYLE_MBR;
            p->StartingOffset.QuadPart = int64_t(kVolumeStart) * 512;
            p->PartitionLength.QuadPart = int64_t(kVolumeSectors) * 512;
            returned = sizeof(PARTITION_INFORMATION_EX);
        }
        return true; // dismount and property update: nothing to do on an image file
    }
    void Pause(uint32_t ms) override { Pauses.push_back(ms); } // the waits, without waiting
    void BroadcastDeviceChange() override {
        ++Broadcasts;
        TAbsDiskNtWin32Api::BroadcastDeviceChange();
    }

    void Print() const {
        std::string line = "ran under Wine:";
        for (const auto& [name, n] : Real)
            if (n > 0) line += " " + name;
        line += "\nanswered from the image:";
        for (const auto& [name, n] : Faked)
            if (n > 0) line += " " + name;
        std::printf("%s\n", line.c_str());
    }

private:
    static std::string Name(uint32_t code) {
        switch (code) {
        case FSCTL_LOCK_VOLUME:
            return "FSCTL_LOCK_VOLUME";
        case FSCTL_UNLOCK_VOLUME:
            return "FSCTL_UNLOCK_VOLUME";
        case FSCTL_DISMOUNT_VOLUME:
            return "FSCTL_DISMOUNT_VOLUME";
        case IOCTL_STORAGE_GET_DEVICE_NUMBER:
            return "IOCTL_STORAGE_GET_DEVICE_NUMBER";
        case IOCTL_DISK_GET_DRIVE_GEOMETRY_EX:
            return "IOCTL_DISK_GET_DRIVE_GEOMETRY_EX";
        case IOCTL_DISK_GET_PARTITION_INFO_EX:
            return "IOCTL_DISK_GET_PARTITION_INFO_EX";
        case IOCTL_DISK_UPDATE_PROPERTIES:
            return "IOCTL_DISK_UPDATE_PROPERTIES";
        default:
            return "control request";
        }
    }
    TAbsDiskHandle DiskHandle = INVALID_ABSDISK_HANDLE;
};

class AbsDiskNtWine : public ::testing::Test {
protected:
    void SetUp() override {
        if (DiskDir().empty()) GTEST_SKIP() << "run through run-wine-disk.sh";
        auto api = std::make_unique<TImageNtApi>();
        Api = api.get();
        Disk = std::make_unique<TXAbsDiskIO>(std::make_unique<TAbsDiskNtFamily>(std::move(api)));
    }
    void TearDown() override {
        if (Api) Api->Print();
    }
    TImageNtApi* Api = nullptr;
    std::unique_ptr<TXAbsDiskIO> Disk;
};

} // namespace

TEST(AbsDiskNt, TheRunningWindowsIsOfTheNtFamily) {
    TXAbsDiskIO disk;
    EXPECT_TRUE(disk.IsNtPlatform);
    EXPECT_EQ(disk.AbsOpenDisk("1:", false), ABSDISK_ERR_DRIVE);
}

// Writing is refused on the drive of the Windows folder (C: in a Wine prefix), and only there.
TEST(AbsDiskNt, TheSystemDriveIsRefusedForWriting) {
    std::string reason;
    EXPECT_TRUE(AbsDiskDriveHoldsRunningSystem(TXAbsDiskIO::DriveNumberOf("C:"), reason));
    EXPECT_EQ(reason, "C: holds the running system");
    EXPECT_FALSE(AbsDiskDriveHoldsRunningSystem(TXAbsDiskIO::DriveNumberOf("D:"), reason));
    EXPECT_FALSE(AbsDiskDrivesNeedMapping());
}

// A request the system refuses names the cause with the system's own text.
TEST(AbsDiskNt, AFailedOpenNamesTheSystemsReason) {
    TXAbsDiskIO disk;
    ASSERT_EQ(disk.AbsOpenDisk("Q:", false), ABSDISK_ERR_REQUEST);
    EXPECT_EQ(disk.FailureCause, TAbsDiskCause::CannotOpen);
    EXPECT_NE(disk.FailureErrno, 0);
    EXPECT_NE(disk.FailureText().find(": "), std::string::npos) << disk.FailureText();
}

TEST_F(AbsDiskNtWine, LogicalModeWorksOnTheVolumeUnderItsLock) {
    ASSERT_EQ(Disk->AbsOpenDisk("x:", false), ABSDISK_OK);
    EXPECT_EQ(Disk->LockCount, 1);
    EXPECT_EQ(Disk->BytesPerSector, 512u);
    EXPECT_EQ(Disk->PartitionStartSector, kVolumeStart);
    EXPECT_EQ(Disk->VolumeSectorCount, kVolumeSectors);
    EXPECT_EQ(Api->Pauses, (std::vector<uint32_t>{100, 100}));
    const auto last = Sector(kVolumeSectors - 1, 1);
    ASSERT_EQ(Disk->AbsWriteDisk(kVolumeSectors - 1, 1, last.data()), ABSDISK_OK); // ends at end
    std::vector<uint8_t> back(512);
    ASSERT_EQ(Disk->AbsReadDisk(kVolumeSectors - 1, 1, back.data()), ABSDISK_OK);
    EXPECT_EQ(back, last);
    EXPECT_EQ(Disk->AbsReadDisk(kVolumeSectors, 1, back.data()), ABSDISK_ERR_RANGE);
    EXPECT_EQ(Disk->AbsReadDisk(0xFFFFFFFF, 2, back.data()), ABSDISK_ERR_RANGE); // no wrap
    Disk->AbsCloseDisk();
    EXPECT_EQ(Disk->LockCount, 0);
    EXPECT_EQ(Disk->LogDiskHandle, INVALID_ABSDISK_HANDLE);
    EXPECT_EQ(Api->Pauses, (std::vector<uint32_t>{100, 100, 100, 3000}));
    EXPECT_EQ(Api->Broadcasts, 1);
    EXPECT_EQ(Api->Real["FSCTL_UNLOCK_VOLUME"], 1);
    EXPECT_EQ(FileSector("vol.img", kVolumeSectors - 1), last);
}

TEST_F(AbsDiskNtWine, PhysicalModeFindsTheDiskThroughTheVolumesDeviceNumber) {
    const auto mbr = Sector(0, 9);
    std::ofstream(DiskDir() + "\\disk.img", std::ios::binary | std::ios::in | std::ios::out)
        .write(reinterpret_cast<const char*>(mbr.data()), 512);
    ASSERT_EQ(Disk->AbsOpenDisk("X:\\", true), ABSDISK_OK);
    EXPECT_NE(Disk->PhyDiskHandle, INVALID_ABSDISK_HANDLE);
    EXPECT_EQ(Disk->LastSector, kDiskSectors - 1);
    EXPECT_EQ(Api->Real["IOCTL_STORAGE_GET_DEVICE_NUMBER"], 1);
    std::vector<uint8_t> got(512);
    ASSERT_EQ(Disk->AbsReadDisk(0, 1, got.data()), ABSDISK_OK);
    EXPECT_EQ(got, mbr);
    const auto out = Sector(kDiskSectors - 2, 4);
    EXPECT_EQ(Disk->AbsWriteDisk(kDiskSectors - 2, 1, out.data()), ABSDISK_OK);
    // The physical bound is the last sector's number: a request ending at the disk's end fails.
    EXPECT_EQ(Disk->AbsWriteDisk(kDiskSectors - 1, 1, out.data()), ABSDISK_ERR_RANGE);
    Disk->AbsCloseDisk();
    EXPECT_EQ(Disk->PhyDiskHandle, INVALID_ABSDISK_HANDLE);
    EXPECT_EQ(
        Api->Real["IOCTL_DISK_UPDATE_PROPERTIES"] + Api->Faked["IOCTL_DISK_UPDATE_PROPERTIES"], 1);
    EXPECT_EQ(FileSector("disk.img", kDiskSectors - 2), out);
}
