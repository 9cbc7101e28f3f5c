// TXAbsDiskIO on this machine's family (IsNtPlatform): disk image files with MBR partition
// tables, mapped to drive letters.

#include "XVclUtil/disk/TXAbsDiskIO.h"
#include "AbsDiskTestSupport.h"
#include "XVclUtil/MessageBox.h"
#include "XVclUtil/disk/AbsDiskVxdEmulator.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/file.h>

using namespace XVclUtil;
using namespace AbsDiskTest;

namespace {

constexpr uint32_t kDiskSectors = 8192; // 4 MiB
// Slot 1: sectors 2048..6143, slot 2: 6144..8191 (up to the disk's end).
const std::vector<TPart> kParts = {{0x0C, 2048, 4096, 0x80}, {0x83, 6144, 2048}};

int OpenDescriptorCount() {
    int n = 0;
    DIR* dir = ::opendir("/proc/self/fd");
    while (dirent* e = ::readdir(dir)) n += e->d_name[0] != '.';
    ::closedir(dir);
    return n;
}

class TXAbsDiskIOImage : public ::testing::Test {
protected:
    void SetUp() override {
        Image = Dir.File("disk.img");
        ASSERT_TRUE(MakeImage(Image, kDiskSectors, kParts));
        ASSERT_TRUE(StampSectors(Image, 1, 20));
        ASSERT_TRUE(StampSectors(Image, 2040, 20)); // around the first volume's start
        ASSERT_TRUE(StampSectors(Image, 6130, 20)); // around the boundary of the two volumes
        ASSERT_TRUE(StampSectors(Image, kDiskSectors - 4, 4));
        TAbsDiskDriveTable::Map('C', Image);
    }
    void TearDown() override { TAbsDiskDriveTable::Clear(); }

    TTempDir Dir;
    std::string Image;
};

} // namespace

TEST(TXAbsDiskIO, FieldsAfterConstruction) {
    TXAbsDiskIO disk;
    EXPECT_TRUE(disk.IsNtPlatform);
    EXPECT_EQ(disk.PhyDiskHandle, INVALID_ABSDISK_HANDLE);
    EXPECT_EQ(disk.LogDiskHandle, INVALID_ABSDISK_HANDLE);
    EXPECT_EQ(disk.Vwin32Handle, INVALID_ABSDISK_HANDLE);
    EXPECT_EQ(disk.IosDriverHandle, INVALID_ABSDISK_HANDLE);
    EXPECT_EQ(disk.GDriverHandle, INVALID_ABSDISK_HANDLE);
    EXPECT_EQ(disk.DriverDiskRecord, nullptr);
    EXPECT_EQ(disk.LockCount, 0);
    EXPECT_FALSE(disk.PhysicalMode);
    EXPECT_EQ(disk.BytesPerSector, 0u);
    EXPECT_EQ(disk.LastSector, 0u);
    EXPECT_EQ(disk.Cylinders | disk.TracksPerCylinder | disk.SectorsPerTrack, 0u);
    EXPECT_EQ(disk.DriveNumber, 0);
    EXPECT_EQ(disk.PartitionStartSector | disk.VolumeSectorCount, 0u);
}

TEST(TXAbsDiskIO, UnknownPlatformIsShownAndNothingOpens) {
    TTempDir dir;
    ASSERT_TRUE(MakeImage(dir.File("d.img"), 64, {{0x0C, 1, 63}}));
    TMappedDrive drive('C', dir.File("d.img"));
    for (auto query : {TXAbsDiskIO::TPlatformIdQuery([](int&) { return false; }),
                       TXAbsDiskIO::TPlatformIdQuery([](int& id) { return id = 3, true; }),
                       TXAbsDiskIO::TPlatformIdQuery()}) {
        TMessageCapture capture;
        TXAbsDiskIO disk(query);
        ASSERT_EQ(capture.Messages.size(), 1u);
        EXPECT_EQ(capture.Messages[0].first, "TXAbsDiskIO");
        EXPECT_EQ(capture.Messages[0].second, "Err: Can not get the PlatformID of Windows !!!");
        EXPECT_FALSE(disk.IsNtPlatform);
        EXPECT_EQ(disk.AbsOpenDisk("C:", true), ABSDISK_ERR_REQUEST);
        EXPECT_EQ(disk.AbsOpenDisk("C:", false), ABSDISK_ERR_REQUEST);
        uint8_t sector[512];
        EXPECT_EQ(disk.AbsReadDisk(0, 1, sector), ABSDISK_ERR_REQUEST);
        EXPECT_EQ(disk.AbsCloseDisk(), 0);
        EXPECT_EQ(disk.LockCount, 0);
        EXPECT_EQ(disk.LogDiskHandle, INVALID_ABSDISK_HANDLE) << "never descriptor 0";
    }
    TMessageCapture none;
    TXAbsDiskIO nt([](int& id) { return id = ABSDISK_PLATFORM_NT, true; });
    EXPECT_TRUE(none.Messages.empty());
    EXPECT_TRUE(nt.IsNtPlatform);
}

TEST_F(TXAbsDiskIOImage, DriveTextsNameADriveOrGiveTwo) {
    TXAbsDiskIO disk;
    for (const char* text : {"c", "C", "C:", "c:", "c:\\", "C:\\"}) {
        EXPECT_EQ(disk.AbsOpenDisk(text, true), ABSDISK_OK) << text;
        EXPECT_EQ(disk.DriveNumber, 3) << text;
        disk.AbsCloseDisk();
    }
    for (const char* text :
         {"", "1:", "1", "C:\\x", "ABCD", "C:\\\\", "CC", "C;", "c:/", ":", "@:", "[:", "\xC3:"}) {
        EXPECT_EQ(disk.AbsOpenDisk(text, true), ABSDISK_ERR_DRIVE) << '"' << text << '"';
        EXPECT_EQ(disk.LockCount, 0);
    }
    EXPECT_EQ(disk.AbsOpenDisk(nullptr, false), ABSDISK_ERR_DRIVE);
    EXPECT_EQ(disk.AbsOpenDisk("Q:", true), ABSDISK_ERR_REQUEST) << "a drive with no table entry";
    EXPECT_EQ(disk.DriveNumber, 17);
    // The caller's text is read, never rewritten.
    char text[] = "c:\\";
    EXPECT_EQ(disk.AbsOpenDisk(text, false), ABSDISK_OK);
    EXPECT_STREQ(text, "c:\\");
}

TEST_F(TXAbsDiskIOImage, PhysicalOpenLocksAndReportsTheDisk) {
    TXAbsDiskIO disk;
    ASSERT_EQ(disk.AbsOpenDisk("C:", true), ABSDISK_OK);
    EXPECT_TRUE(disk.PhysicalMode);
    EXPECT_EQ(disk.BytesPerSector, 512u);
    EXPECT_EQ(disk.LastSector, kDiskSectors - 1);
    EXPECT_EQ(disk.Cylinders | disk.TracksPerCylinder | disk.SectorsPerTrack, 0u)
        << "an image file reports no CHS geometry";
    EXPECT_EQ(disk.LockCount, 1);
    EXPECT_NE(disk.PhyDiskHandle, INVALID_ABSDISK_HANDLE);
    EXPECT_NE(disk.LogDiskHandle, INVALID_ABSDISK_HANDLE);
    // The image is flocked for as long as the drive is open.
    const int probe = ::open(Image.c_str(), O_RDONLY);
    EXPECT_NE(::flock(probe, LOCK_EX | LOCK_NB), 0);
    disk.AbsCloseDisk();
    EXPECT_EQ(::flock(probe, LOCK_EX | LOCK_NB), 0);
    ::close(probe);
}

TEST_F(TXAbsDiskIOImage, PhysicalModeReadsAndWritesTheWholeImage) {
    TXAbsDiskIO disk;
    ASSERT_EQ(disk.AbsOpenDisk("C:", true), ABSDISK_OK);
    std::vector<uint8_t> got(3 * 512);
    ASSERT_EQ(disk.AbsReadDisk(0, 3, got.data()), ABSDISK_OK);
    EXPECT_EQ(std::vector<uint8_t>(got.begin(), got.begin() + 512), MbrSector(kParts));
    EXPECT_EQ(std::vector<uint8_t>(got.begin() + 512, got.begin() + 1024), Stamp(1));
    EXPECT_EQ(std::vector<uint8_t>(got.begin() + 1024, got.end()), Stamp(2));

    std::vector<uint8_t> out;
    for (uint64_t s = 100; s < 104; ++s) {
        auto st = Stamp(s, 9);
        out.insert(out.end(), st.begin(), st.end());
    }
    ASSERT_EQ(disk.AbsWriteDisk(100, 4, out.data()), ABSDISK_OK);
    EXPECT_EQ(ReadAt(Image, 100 * 512, out.size()), out) << "written through to the image";
    EXPECT_EQ(ReadAt(Image, 104 * 512, 512), std::vector<uint8_t>(512, 0)) << "no further";
    EXPECT_EQ(ReadAt(Image, 99 * 512, 512), std::vector<uint8_t>(512, 0));
    disk.AbsCloseDisk();
}

TEST_F(TXAbsDiskIOImage, PhysicalModeRefusesARequestEndingAtTheDisksEnd) {
    TXAbsDiskIO disk;
    ASSERT_EQ(disk.AbsOpenDisk("C:", true), ABSDISK_OK);
    std::vector<uint8_t> buf(4 * 512);
    // The bound is LastSector < first + count: the disk's very last sector is out of reach.
    EXPECT_EQ(disk.AbsReadDisk(kDiskSectors - 4, 4, buf.data()), ABSDISK_ERR_RANGE);
    EXPECT_EQ(disk.AbsReadDisk(kDiskSectors - 1, 1, buf.data()), ABSDISK_ERR_RANGE);
    EXPECT_EQ(disk.AbsWriteDisk(kDiskSectors - 4, 4, buf.data()), ABSDISK_ERR_RANGE);
    ASSERT_EQ(disk.AbsReadDisk(kDiskSectors - 5, 4, buf.data()), ABSDISK_OK);
    EXPECT_EQ(std::vector<uint8_t>(buf.end() - 512, buf.end()), Stamp(kDiskSectors - 2));
    EXPECT_EQ(ReadAt(Image, uint64_t(kDiskSectors - 1) * 512, 512), Stamp(kDiskSectors - 1))
        << "the refused write left the last sector alone";
}

TEST_F(TXAbsDiskIOImage, LogicalOpenFindsTheVolumeInThePartitionTable) {
    TXAbsDiskIO disk;
    ASSERT_EQ(disk.AbsOpenDisk("c", false), ABSDISK_OK);
    EXPECT_FALSE(disk.PhysicalMode);
    EXPECT_EQ(disk.PartitionStartSector, 2048u);
    EXPECT_EQ(disk.VolumeSectorCount, 4096u);
    EXPECT_EQ(disk.BytesPerSector, 512u);
    EXPECT_EQ(disk.LastSector, kDiskSectors - 1) << "geometry of the disk that holds the volume";
    EXPECT_EQ(disk.LockCount, 1);
    EXPECT_NE(disk.LogDiskHandle, INVALID_ABSDISK_HANDLE);
    EXPECT_EQ(disk.PhyDiskHandle, INVALID_ABSDISK_HANDLE);
    std::vector<uint8_t> got(2 * 512);
    ASSERT_EQ(disk.AbsReadDisk(0, 2, got.data()), ABSDISK_OK);
    EXPECT_EQ(std::vector<uint8_t>(got.begin(), got.begin() + 512), Stamp(2048));
    EXPECT_EQ(std::vector<uint8_t>(got.begin() + 512, got.end()), Stamp(2049));
}

TEST_F(TXAbsDiskIOImage, LogicalModeAcceptsARequestEndingAtTheVolumesEnd) {
    TXAbsDiskIO disk;
    ASSERT_EQ(disk.AbsOpenDisk("C:", false), ABSDISK_OK);
    std::vector<uint8_t> buf(4 * 512);
    ASSERT_EQ(disk.AbsReadDisk(4092, 4, buf.data()), ABSDISK_OK);
    EXPECT_EQ(std::vector<uint8_t>(buf.end() - 512, buf.end()), Stamp(6143));
    const std::vector<uint8_t> fill(4 * 512, 0xE5);
    EXPECT_EQ(disk.AbsWriteDisk(4092, 4, fill.data()), ABSDISK_OK);
    EXPECT_EQ(disk.AbsWriteDisk(4093, 4, fill.data()), ABSDISK_ERR_RANGE);
    EXPECT_EQ(disk.AbsReadDisk(4096, 1, buf.data()), ABSDISK_ERR_RANGE);
    EXPECT_EQ(ReadAt(Image, 6140 * 512, 4 * 512), fill) << "the volume's last four sectors";
    EXPECT_EQ(ReadAt(Image, 6144 * 512, 512), Stamp(6144)) << "the next volume untouched";
}

TEST_F(TXAbsDiskIOImage, TheTableEntryChoosesTheVolume) {
    TAbsDiskDriveTable::Map('D', Image, 2);
    TXAbsDiskIO disk;
    ASSERT_EQ(disk.AbsOpenDisk("D:", false), ABSDISK_OK);
    EXPECT_EQ(disk.PartitionStartSector, 6144u);
    EXPECT_EQ(disk.VolumeSectorCount, 2048u);
    uint8_t sector[512];
    ASSERT_EQ(disk.AbsReadDisk(2047, 1, sector), ABSDISK_OK) << "this volume ends with the disk";
    EXPECT_EQ(std::vector<uint8_t>(sector, sector + 512), Stamp(kDiskSectors - 1));
    disk.AbsCloseDisk();
    TAbsDiskDriveTable::Map('D', Image, 3);
    EXPECT_EQ(disk.AbsOpenDisk("D:", false), ABSDISK_ERR_REQUEST) << "slot 3 is empty";
    EXPECT_EQ(disk.FailureText(), "empty partition slot");
    EXPECT_EQ(disk.LockCount, 0);
    EXPECT_EQ(disk.LogDiskHandle, INVALID_ABSDISK_HANDLE);
}

TEST_F(TXAbsDiskIOImage, RangesThatWrapAround32BitsAreRefused) {
    const uint64_t sizeBefore = FileSize(Image);
    std::vector<uint8_t> buf(0x20 * 512, 0x77);
    for (bool physical : {true, false}) {
        TXAbsDiskIO disk;
        ASSERT_EQ(disk.AbsOpenDisk("C:", physical), ABSDISK_OK);
        // first + count wraps to 0x10 in 32 bits.
        EXPECT_EQ(disk.AbsWriteDisk(0xFFFFFFF0u, 0x20, buf.data()), ABSDISK_ERR_RANGE);
        EXPECT_EQ(disk.AbsReadDisk(0xFFFFFFF0u, 0x20, buf.data()), ABSDISK_ERR_RANGE);
        EXPECT_EQ(disk.AbsWriteDisk(0xFFFFFFFFu, 1, buf.data()), ABSDISK_ERR_RANGE);
        EXPECT_EQ(disk.AbsReadDisk(1, 0xFFFFFFFFu, buf.data()), ABSDISK_ERR_RANGE);
    }
    EXPECT_EQ(FileSize(Image), sizeBefore) << "nothing written past the image's end";
    EXPECT_EQ(ReadAt(Image, 0, 512), MbrSector(kParts));
}

TEST_F(TXAbsDiskIOImage, CountsOfZeroMoveNothing) {
    TXAbsDiskIO disk;
    ASSERT_EQ(disk.AbsOpenDisk("C:", true), ABSDISK_OK);
    EXPECT_EQ(disk.AbsReadDisk(5, 0, nullptr), ABSDISK_OK);
    EXPECT_EQ(disk.AbsWriteDisk(5, 0, nullptr), ABSDISK_OK);
    EXPECT_EQ(disk.AbsReadDisk(kDiskSectors, 0, nullptr), ABSDISK_ERR_RANGE);
    EXPECT_EQ(disk.AbsReadDisk(5, 1, nullptr), ABSDISK_ERR_REQUEST) << "no buffer for a sector";
    ASSERT_EQ(disk.AbsOpenDisk("C:", false), ABSDISK_OK);
    EXPECT_EQ(disk.AbsWriteDisk(4096, 0, nullptr), ABSDISK_OK);
    EXPECT_EQ(disk.AbsWriteDisk(4097, 0, nullptr), ABSDISK_ERR_RANGE);
    EXPECT_EQ(ReadAt(Image, 2048 * 512, 512), Stamp(2048));
}

TEST_F(TXAbsDiskIOImage, TheVolumeLockShutsOutASecondOpener) {
    TXAbsDiskIO first, second;
    ASSERT_EQ(first.AbsOpenDisk("C:", true), ABSDISK_OK);
    TAbsDiskDriveTable::Map('E', Image, 2); // another letter for the same image
    for (const char* drive : {"C:", "E:"}) {
        for (bool physical : {true, false}) {
            EXPECT_EQ(second.AbsOpenDisk(drive, physical), ABSDISK_ERR_REQUEST) << drive;
            EXPECT_EQ(second.FailureCause, TAbsDiskCause::LockHeld);
            EXPECT_EQ(second.LockCount, 0);
            EXPECT_EQ(second.LogDiskHandle, INVALID_ABSDISK_HANDLE);
            EXPECT_EQ(second.PhyDiskHandle, INVALID_ABSDISK_HANDLE);
        }
    }
    first.AbsCloseDisk();
    EXPECT_EQ(second.AbsOpenDisk("E:", false), ABSDISK_OK);
    EXPECT_EQ(first.AbsOpenDisk("C:", false), ABSDISK_ERR_REQUEST);
}

TEST_F(TXAbsDiskIOImage, ClosingReleasesEverythingAndMayBeRepeated) {
    const int descriptors = OpenDescriptorCount();
    {
        TXAbsDiskIO disk;
        ASSERT_EQ(disk.AbsOpenDisk("C:", true), ABSDISK_OK);
        EXPECT_EQ(OpenDescriptorCount(), descriptors + 2) << "the volume and the disk";
        EXPECT_EQ(disk.AbsCloseDisk(), 0);
        EXPECT_EQ(disk.PhyDiskHandle, INVALID_ABSDISK_HANDLE);
        EXPECT_EQ(disk.LogDiskHandle, INVALID_ABSDISK_HANDLE);
        EXPECT_EQ(disk.LockCount, 0);
        EXPECT_EQ(disk.AbsCloseDisk(), 0);
        EXPECT_EQ(OpenDescriptorCount(), descriptors);
        uint8_t sector[512];
        EXPECT_EQ(disk.AbsReadDisk(0, 1, sector), ABSDISK_ERR_REQUEST) << "closed";
        // Opening again while open closes the first open instead of leaking it.
        ASSERT_EQ(disk.AbsOpenDisk("C:", true), ABSDISK_OK);
        ASSERT_EQ(disk.AbsOpenDisk("C:", false), ABSDISK_OK);
        EXPECT_EQ(disk.LockCount, 1);
        EXPECT_EQ(OpenDescriptorCount(), descriptors + 1);
    } // the destructor closes
    EXPECT_EQ(OpenDescriptorCount(), descriptors);
    TXAbsDiskIO other;
    EXPECT_EQ(other.AbsOpenDisk("C:", true), ABSDISK_OK);
}

TEST(TXAbsDiskIO, BrokenImagesGiveResultCodes) {
    TTempDir dir;
    TXAbsDiskIO disk;
    uint8_t sector[512];

    ASSERT_TRUE(MakeImage(dir.File("bare.img"), 2048)); // no partition table
    TMappedDrive bare('F', dir.File("bare.img"));
    EXPECT_EQ(disk.AbsOpenDisk("F:", false), ABSDISK_ERR_REQUEST);
    EXPECT_EQ(disk.FailureText(), "no partition table");
    EXPECT_EQ(disk.AbsOpenDisk("F:", true), ABSDISK_OK) << "the whole disk needs no table";
    EXPECT_EQ(disk.FailureText(), "");
    EXPECT_EQ(disk.AbsReadDisk(2046, 1, sector), ABSDISK_OK);
    disk.AbsCloseDisk();

    TTempDir::Write(dir.File("short.img"), std::string(300, '\0')); // less than a sector
    TMappedDrive shortImage('G', dir.File("short.img"));
    EXPECT_EQ(disk.AbsOpenDisk("G:", true), ABSDISK_ERR_REQUEST);
    EXPECT_EQ(disk.AbsOpenDisk("G:", false), ABSDISK_ERR_REQUEST);
    EXPECT_EQ(disk.LockCount, 0);

    TTempDir::Write(dir.File("empty.img"), "");
    TMappedDrive empty('H', dir.File("empty.img"));
    EXPECT_EQ(disk.AbsOpenDisk("H:", true), ABSDISK_ERR_REQUEST);

    // A table whose volume runs past the end of the (cut-off) image.
    ASSERT_TRUE(MakeImage(dir.File("cut.img"), 3000, {{0x0C, 2048, 4096}}));
    TMappedDrive cut('I', dir.File("cut.img"));
    EXPECT_EQ(disk.AbsOpenDisk("I:", false), ABSDISK_ERR_REQUEST);
    ASSERT_EQ(disk.AbsOpenDisk("I:", true), ABSDISK_OK);
    EXPECT_EQ(disk.LastSector, 2999u);
    EXPECT_EQ(disk.AbsReadDisk(2998, 1, sector), ABSDISK_OK);
    EXPECT_EQ(disk.AbsReadDisk(2999, 1, sector), ABSDISK_ERR_RANGE);
    disk.AbsCloseDisk();

    // A trailing part-sector is not a sector.
    ASSERT_TRUE(MakeImage(dir.File("odd.img"), 64, {{0x0C, 1, 63}}));
    ASSERT_EQ(::truncate(dir.File("odd.img").c_str(), 64 * 512 + 100), 0);
    TMappedDrive odd('J', dir.File("odd.img"));
    ASSERT_EQ(disk.AbsOpenDisk("J:", true), ABSDISK_OK);
    EXPECT_EQ(disk.LastSector, 63u);

    TMappedDrive folder('K', dir.Path);
    EXPECT_EQ(disk.AbsOpenDisk("K:", true), ABSDISK_ERR_REQUEST);
    EXPECT_EQ(disk.FailureCause, TAbsDiskCause::NotADisk);
    EXPECT_EQ(disk.AbsOpenDisk("Z:", true), ABSDISK_ERR_REQUEST);
    EXPECT_EQ(disk.FailureCause, TAbsDiskCause::NotMapped);
    EXPECT_EQ(disk.LockCount, 0);
    EXPECT_EQ(disk.PhyDiskHandle, INVALID_ABSDISK_HANDLE);
    EXPECT_EQ(disk.LogDiskHandle, INVALID_ABSDISK_HANDLE);
}

TEST(TXAbsDiskIO, SectorsBeyondFourGiBLandWhereTheyBelong) {
    TTempDir dir;
    const std::string image = dir.File("big.img");
    constexpr uint64_t kSectors = 20971520; // 10 GiB, sparse
    ASSERT_TRUE(MakeImage(image, kSectors, {{0x0C, 2048, uint32_t(kSectors - 2048)}}));
    TMappedDrive drive('L', image);
    TXAbsDiskIO disk;

    ASSERT_EQ(disk.AbsOpenDisk("L:", true), ABSDISK_OK);
    EXPECT_EQ(disk.LastSector, kSectors - 1);
    constexpr uint32_t kFar = 9000000; // byte offset 4,608,000,000
    ASSERT_EQ(disk.AbsWriteDisk(kFar, 1, Stamp(kFar).data()), ABSDISK_OK);
    EXPECT_EQ(ReadAt(image, uint64_t(kFar) * 512, 512), Stamp(kFar));
    const uint64_t wrapped = (uint64_t(kFar) * 512) & 0xFFFFFFFFu;
    EXPECT_EQ(ReadAt(image, wrapped, 512), std::vector<uint8_t>(512, 0))
        << "nothing at the offset a 32-bit position would have used";
    uint8_t sector[512];
    ASSERT_EQ(disk.AbsReadDisk(kFar, 1, sector), ABSDISK_OK);
    EXPECT_EQ(std::vector<uint8_t>(sector, sector + 512), Stamp(kFar));

    ASSERT_EQ(disk.AbsOpenDisk("L:", false), ABSDISK_OK);
    constexpr uint32_t kFarInVolume = 8500000;
    ASSERT_EQ(disk.AbsWriteDisk(kFarInVolume, 1, Stamp(7).data()), ABSDISK_OK);
    EXPECT_EQ(ReadAt(image, (uint64_t(kFarInVolume) + 2048) * 512, 512), Stamp(7));
    EXPECT_EQ(FileSize(image), kSectors * 512);
}

// A GPT disk: protective MBR, then the GPT header in sector 1, which no volume may overwrite.
TEST(TXAbsDiskIO, AGptDiskHasNoVolumeInEitherFamily) {
    TTempDir dir;
    const std::string image = dir.File("gpt.img");
    ASSERT_TRUE(MakeImage(image, 4096, {{0xEE, 1, 4095}}));
    const std::vector<uint8_t> header = {'E', 'F', 'I', ' ', 'P', 'A', 'R', 'T'};
    ASSERT_TRUE(WriteAt(image, 512, header));
    TMappedDrive drive('X', image);
    TXAbsDiskIO nt;
    TXAbsDiskIO w9x([](int& id) { return id = ABSDISK_PLATFORM_9X, true; });
    for (TXAbsDiskIO* disk : {&nt, &w9x}) {
        EXPECT_EQ(disk->AbsOpenDisk("X:", false), ABSDISK_ERR_REQUEST);
        EXPECT_EQ(disk->LockCount, 0);
    }
    EXPECT_EQ(nt.FailureCause, TAbsDiskCause::GptDisk);
    EXPECT_EQ(w9x.FailureCause, TAbsDiskCause::NoVolumeFound);
    ASSERT_EQ(nt.AbsOpenDisk("X:", true), ABSDISK_OK) << "the whole disk stays reachable";
    nt.AbsCloseDisk();
    EXPECT_EQ(ReadAt(image, 512, 8), header);
    TVxdEmulator::Reset();
}
