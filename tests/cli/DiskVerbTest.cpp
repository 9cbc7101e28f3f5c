// zkf780a disk as a program, on disk images in temporary folders: where `read` writes its
// sectors, exit codes, failure causes, GPT disks and 9x transfers cut to the driver's buffer.

#include "XVclUtil/disk/AbsDiskTestSupport.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>

using namespace AbsDiskTest;

namespace {

struct TRun {
    int Exit = -1;
    std::string Out, Err;
};

// Runs "zkf780a disk ARGS" with an empty stdin.
TRun Disk(const TTempDir& dir, const std::string& args) {
    const std::string out = dir.File("stdout.txt"), err = dir.File("stderr.txt");
    const std::string command =
        std::string(ZKF780A_EXE) + " disk " + args + " </dev/null >" + out + " 2>" + err;
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, TTempDir::Read(out), TTempDir::Read(err)};
}

bool IsLink(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

class DiskVerb : public ::testing::Test {
protected:
    void SetUp() override {
        Image = Dir.File("disk.img");
        ASSERT_TRUE(MakeImage(Image, 4096, {{0x83, 2048, 2048}}));
        ASSERT_TRUE(StampSectors(Image, 2048, 4));
        Map = " --map X:=" + Image;
    }
    TTempDir Dir;
    std::string Image, Map;
};

} // namespace

TEST_F(DiskVerb, ReadWritesIntoWhatOutfileIs) {
    ASSERT_EQ(Disk(Dir, "read X: 0 2 " + Dir.File("new.bin") + Map).Exit, 0);
    EXPECT_EQ(TTempDir::Read(Dir.File("new.bin")).size(), 1024u);

    // Through a link: the target gets the sectors, the link stays a link.
    TTempDir::Write(Dir.File("target.bin"), "old");
    ASSERT_EQ(::symlink(Dir.File("target.bin").c_str(), Dir.File("link.bin").c_str()), 0);
    ASSERT_EQ(Disk(Dir, "read X: 1 1 " + Dir.File("link.bin") + Map).Exit, 0);
    EXPECT_TRUE(IsLink(Dir.File("link.bin")));
    const auto sector = Stamp(2049);
    EXPECT_EQ(TTempDir::Read(Dir.File("target.bin")), std::string(sector.begin(), sector.end()));

    // A character device is written in place and stays what it is.
    ASSERT_EQ(Disk(Dir, "read X: 0 1 /dev/null" + Map).Exit, 0);
    struct stat st;
    ASSERT_EQ(::stat("/dev/null", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));

    // A FIFO without a reader, a folder and a link to nothing are refused, without a hang.
    ASSERT_EQ(::mkfifo(Dir.File("fifo").c_str(), 0600), 0);
    ASSERT_EQ(::symlink(Dir.File("gone").c_str(), Dir.File("dangling").c_str()), 0);
    for (const char* name : {"fifo", "", "dangling"}) {
        const TRun run = Disk(Dir, "read X: 0 1 " + Dir.File(name) + Map);
        EXPECT_EQ(run.Exit, 4) << name << ": " << run.Err;
    }
    EXPECT_TRUE(IsLink(Dir.File("dangling")));
    EXPECT_FALSE(std::filesystem::exists(Dir.File("gone")));
}

TEST_F(DiskVerb, ExitCodesKeepUsageAndResultsApartAndFailuresNameTheirCause) {
    EXPECT_EQ(Disk(Dir, "read X: 0" + Map).Exit, 2) << "usage";
    EXPECT_EQ(Disk(Dir, "read X: 0 0 " + Dir.File("o") + Map).Exit, 15) << "count 0: range";
    TTempDir::Write(Dir.File("empty"), "");
    EXPECT_EQ(Disk(Dir, "write X: 0 " + Dir.File("empty") + " --yes" + Map).Exit, 15);
    EXPECT_EQ(Disk(Dir, "read 1: 0 1 " + Dir.File("o") + Map).Exit, 12) << "not a drive name";
    EXPECT_EQ(Disk(Dir, "write X: 0 " + Dir.File("empty") + Map).Exit, 15);

    TRun run = Disk(Dir, "info X: --partition 3" + Map);
    EXPECT_EQ(run.Exit, 11);
    EXPECT_NE(run.Err.find("empty partition slot"), std::string::npos) << run.Err;
    ASSERT_TRUE(MakeImage(Dir.File("bare.img"), 64));
    run = Disk(Dir, "info X: --map X:=" + Dir.File("bare.img"));
    EXPECT_NE(run.Err.find("no partition table"), std::string::npos) << run.Err;
    const int held = ::open(Image.c_str(), O_RDONLY);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    run = Disk(Dir, "info X: --physical" + Map);
    ::close(held);
    EXPECT_EQ(run.Exit, 11);
    EXPECT_NE(run.Err.find("lock is held by another process"), std::string::npos) << run.Err;

    EXPECT_NE(Disk(Dir, "--help").Out.find("11-15  raw disk result code"), std::string::npos);
}

TEST_F(DiskVerb, AGptHeaderIsNeverAVolumesFirstSector) {
    const std::string gpt = Dir.File("gpt.img");
    ASSERT_TRUE(MakeImage(gpt, 4096, {{0xEE, 1, 4095}}));
    const std::vector<uint8_t> header = {'E', 'F', 'I', ' ', 'P', 'A', 'R', 'T'};
    ASSERT_TRUE(WriteAt(gpt, 512, header));
    TTempDir::Write(Dir.File("f"), std::string(512, 'x'));
    const TRun run = Disk(Dir, "write X: 0 " + Dir.File("f") + " --yes --map X:=" + gpt);
    EXPECT_EQ(run.Exit, 11);
    EXPECT_NE(run.Err.find("GUID partition table"), std::string::npos) << run.Err;
    EXPECT_EQ(ReadAt(gpt, 512, 8), header);
}

TEST_F(DiskVerb, NinexPhysicalTransfersFitTheDriversBuffer) {
    // 300 sectors: more than the 128 that the emulated driver's 64 KiB buffer holds.
    std::string data;
    for (uint64_t s = 100; s < 400; ++s) {
        const auto bytes = Stamp(s, 9);
        data.append(bytes.begin(), bytes.end());
    }
    TTempDir::Write(Dir.File("in.bin"), data);
    const TRun run =
        Disk(Dir, "write X: 100 " + Dir.File("in.bin") + " --physical --9x --yes" + Map);
    ASSERT_EQ(run.Exit, 0) << run.Err;
    ASSERT_EQ(Disk(Dir, "read X: 100 300 " + Dir.File("out.bin") + " --physical --9x" + Map).Exit,
              0);
    EXPECT_EQ(TTempDir::Read(Dir.File("out.bin")), data);
}
