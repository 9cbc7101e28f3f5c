// Files put in place whole or not at all, with the reason when not.

#include "XVclUtil/AtomicFile.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#ifndef _WIN32
#include <sys/mount.h>
#endif

using namespace XVclUtil;

namespace {

std::vector<std::string> Names(const TTempDir& dir) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(AtomicFile, ReplacesTheTargetAndKeepsItsMode) {
    TTempDir dir;
    const std::string path = dir.File("ZKF780A.ROM");
    TTempDir::Write(path, "old contents, longer than the new");
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    std::string error = "untouched";
    ASSERT_TRUE(WriteFileAtomically(path, std::string("new"), &error));
    EXPECT_EQ(TTempDir::Read(path), "new");
    EXPECT_EQ(error, "untouched"); // only a failure sets the reason
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
#ifndef _WIN32 // Windows files have no mode bits to keep
    EXPECT_EQ(st.st_mode & 07777, 0640u);
#endif
    EXPECT_EQ(Names(dir), (std::vector<std::string>{"ZKF780A.ROM"})); // no temporary left
}

TEST(AtomicFile, ByteSpansAndRawBuffersWriteTheSameFile) {
    TTempDir dir;
    const std::vector<std::uint8_t> bytes{0, 1, 2, 0xFF, 0};
    ASSERT_TRUE(WriteFileAtomically(dir.File("a"), std::span<const std::uint8_t>(bytes)));
    ASSERT_TRUE(WriteFileAtomically(dir.File("b"), bytes.data(), bytes.size()));
    EXPECT_EQ(TTempDir::Read(dir.File("a")), std::string("\0\1\2\xFF\0", 5));
    EXPECT_EQ(TTempDir::Read(dir.File("b")), TTempDir::Read(dir.File("a")));
}

TEST(AtomicFile, AMissingFolderIsReportedWithTheSystemsReason) {
    TTempDir dir;
    std::string error;
    EXPECT_FALSE(WriteFileAtomically(dir.File("no/such/X.ROM"), std::string("x"), &error));
    EXPECT_EQ(error, std::strerror(ENOENT));
    EXPECT_FALSE(WriteFileAtomically(dir.File("no/such/X.ROM"), std::string("x"))); // no reason
}

TEST(AtomicFile, AFolderInTheWayLeavesNoTemporaryBehind) {
    TTempDir dir;
    ASSERT_TRUE(std::filesystem::create_directory(dir.File("ROM")));
    TTempDir::Write(dir.File("ROM/keep"), "k");
    std::string error;
    EXPECT_FALSE(WriteFileAtomically(dir.File("ROM"), std::string("x"), &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(Names(dir), (std::vector<std::string>{"ROM"}));
    EXPECT_EQ(TTempDir::Read(dir.File("ROM/keep")), "k");
}

TEST(AtomicFile, WriterStreamsLargeAndSmallPieces) {
    TTempDir dir;
    const std::string path = dir.File("big");
    std::string expected;
    {
        TAtomicFileWriter out(path);
        ASSERT_TRUE(out.IsOpen());
        EXPECT_EQ(out.ErrorText(), "");
        for (int i = 0; i < 50; ++i) {
            const std::string piece = std::string(i % 7 == 0 ? 100000 : 333, char('a' + i % 26));
            out.Write(piece);
            expected += piece;
        }
        ASSERT_TRUE(out.Commit());
    }
    EXPECT_EQ(TTempDir::Read(path), expected);
    EXPECT_EQ(Names(dir), (std::vector<std::string>{"big"}));
}

TEST(AtomicFile, WriterDroppedWithoutCommitChangesNothing) {
    TTempDir dir;
    const std::string path = dir.File("settings.ini");
    TTempDir::Write(path, "[A]\r\n");
    {
        TAtomicFileWriter out(path);
        out.Write(std::string(200000, 'x'));
    }
    EXPECT_EQ(TTempDir::Read(path), "[A]\r\n");
    EXPECT_EQ(Names(dir), (std::vector<std::string>{"settings.ini"}));
}

// The side file of a pair: the old one moves out of the way first, comes back when the
// writer gives up, and is gone once the new one is in place or dropped.
TEST(AtomicFile, AnOldFileSetAsideComesBackOrGoes) {
    TTempDir dir;
    const std::string bin = dir.File("DEMO.BIN");
    TTempDir::Write(bin, "old side file");
    {
        TAtomicFileWriter out(bin);
        out.Write(std::string("new side file"));
        ASSERT_TRUE(out.Sync());
        ASSERT_TRUE(out.SetAsideOld());
        EXPECT_FALSE(std::filesystem::exists(bin));
        // The old file waits under a temporary name (on Windows beside the new one's named
        // temporary; Linux keeps the new one unnamed).
        int setAside = 0;
        for (const std::string& name : Names(dir)) {
            EXPECT_EQ(name.rfind("DEMO.BIN.tmp", 0), 0u) << name;
            if (TTempDir::Read(dir.File(name)) == "old side file") ++setAside;
        }
        EXPECT_EQ(setAside, 1);
    } // no Commit: the old file is back
    EXPECT_EQ(TTempDir::Read(bin), "old side file");
    EXPECT_EQ(Names(dir), (std::vector<std::string>{"DEMO.BIN"}));
    {
        TAtomicFileWriter out(bin);
        out.Write(std::string("new side file"));
        ASSERT_TRUE(out.SetAsideOld());
        out.DropOld();                             // the image it belonged to is replaced
        for (const std::string& name : Names(dir)) // at most the new one's named temporary
            EXPECT_NE(TTempDir::Read(dir.File(name)), "old side file") << name;
    } // a crash here leaves no side file at all, never the old one
    EXPECT_TRUE(Names(dir).empty());
    TAtomicFileWriter fresh(bin);
    EXPECT_TRUE(fresh.SetAsideOld()); // nothing there: nothing to do
    fresh.Write(std::string("new side file"));
    ASSERT_TRUE(fresh.Commit());
    EXPECT_EQ(TTempDir::Read(bin), "new side file");
    EXPECT_EQ(Names(dir), (std::vector<std::string>{"DEMO.BIN"}));
}

TEST(AtomicFile, TargetHoldsComparesTheWholeFile) {
    TTempDir dir;
    const std::string bin = dir.File("DEMO.BIN");
    const std::uint8_t bytes[] = {1, 2, 3};
    TAtomicFileWriter out(bin);
    EXPECT_FALSE(out.TargetHolds(bytes)); // nothing there yet
    for (const char* held : {"\x01\x02", "\x01\x02\x04", "\x01\x02\x03\x04"}) {
        TTempDir::Write(bin, held);
        EXPECT_FALSE(out.TargetHolds(bytes)) << held;
    }
    TTempDir::Write(bin, "\x01\x02\x03");
    EXPECT_TRUE(out.TargetHolds(bytes));
}

// Links, FIFOs, unnamed temporaries and tmpfs mounts: POSIX only.
#ifndef _WIN32
TEST(AtomicFile, ASetAsideLinkTargetKeepsTheLink) {
    TTempDir dir;
    ASSERT_EQ(::mkdir(dir.File("real").c_str(), 0700), 0);
    TTempDir::Write(dir.File("real/DEMO.BIN"), "old");
    ASSERT_EQ(::symlink("real/DEMO.BIN", dir.File("DEMO.BIN").c_str()), 0);
    TAtomicFileWriter out(dir.File("DEMO.BIN"));
    out.Write(std::string("new"));
    ASSERT_TRUE(out.SetAsideOld());
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("DEMO.BIN")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("real/DEMO.BIN")));
    ASSERT_TRUE(out.Commit());
    EXPECT_EQ(TTempDir::Read(dir.File("real/DEMO.BIN")), "new");
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("DEMO.BIN")));
    EXPECT_EQ(Names(dir), (std::vector<std::string>{"DEMO.BIN", "real"}));
    std::vector<std::string> real;
    for (const auto& entry : std::filesystem::directory_iterator(dir.File("real")))
        real.push_back(entry.path().filename().string());
    EXPECT_EQ(real, (std::vector<std::string>{"DEMO.BIN"})); // the old one is gone
}

TEST(AtomicFile, ALinkIsFollowedAndStaysALink) {
    TTempDir dir;
    ASSERT_EQ(::mkdir(dir.File("real").c_str(), 0700), 0);
    TTempDir::Write(dir.File("real/DEMO.zkf"), "old");
    ASSERT_EQ(::symlink("real/DEMO.zkf", dir.File("hop").c_str()), 0);
    ASSERT_EQ(::symlink("hop", dir.File("DEMO.zkf").c_str()), 0); // a chain of two
    ASSERT_TRUE(WriteFileAtomically(dir.File("DEMO.zkf"), std::string("new")));
    EXPECT_EQ(TTempDir::Read(dir.File("real/DEMO.zkf")), "new");
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("DEMO.zkf")));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("hop")));
    // A name this program chose replaces a planted link instead of writing through it.
    ASSERT_TRUE(
        WriteFileAtomically(dir.File("hop"), std::string("png"), nullptr, TLinkPolicy::Replace));
    EXPECT_FALSE(std::filesystem::is_symlink(dir.File("hop")));
    EXPECT_EQ(TTempDir::Read(dir.File("real/DEMO.zkf")), "new");
}

TEST(AtomicFile, AFifoOrDeviceIsRefusedWithoutOpeningIt) {
    TTempDir dir;
    ASSERT_EQ(::mkfifo(dir.File("X.ROM").c_str(), 0600), 0);
    ASSERT_EQ(::symlink("/dev/null", dir.File("null.ROM").c_str()), 0);
    for (const char* name : {"X.ROM", "null.ROM"}) {
        std::string error;
        EXPECT_FALSE(WriteFileAtomically(dir.File(name), std::string("x"), &error)) << name;
        EXPECT_EQ(error, "not a regular file");
    }
    EXPECT_EQ(Names(dir), (std::vector<std::string>{"X.ROM", "null.ROM"}));
    struct stat st {};
    ASSERT_EQ(::stat("/dev/null", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
}

TEST(AtomicFile, TemporariesOfAKilledWriterGoAtTheNextSave) {
    TTempDir dir;
    for (const char* name : {"DEMO.zkf.tmpAb12Cd", "DEMO.zkf.tmpXYZ", "OTHER.zkf.tmpAb12Cd"})
        TTempDir::Write(dir.File(name), "left over");
    {
        TAtomicFileWriter out(dir.File("DEMO.zkf"));
        out.Write(std::string("being written"));
        const auto during = Names(dir);
        EXPECT_EQ(std::count(during.begin(), during.end(), "DEMO.zkf.tmpAb12Cd"), 0);
        // Where the folder takes unnamed files, the temporary has no name until the commit.
        const int probe = ::open(dir.Path.c_str(), O_TMPFILE | O_WRONLY, 0600);
        if (probe >= 0) {
            EXPECT_EQ(during.size(), 2u);
            ::close(probe);
        }
        ASSERT_TRUE(out.Commit());
    }
    EXPECT_EQ(Names(dir),
              (std::vector<std::string>{"DEMO.zkf", "DEMO.zkf.tmpXYZ", "OTHER.zkf.tmpAb12Cd"}));
}

TEST(AtomicFile, AFullDiskIsReportedAndTheOldFileStays) {
    if (::geteuid() != 0) GTEST_SKIP() << "mounting a small tmpfs needs root";
    TTempDir dir;
    if (::mount("tmpfs", dir.Path.c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "cannot mount a tmpfs here: " << std::strerror(errno);
    const std::string path = dir.File("ZKF780A.ROM");
    TTempDir::Write(path, "old image");
    std::string error;
    EXPECT_FALSE(WriteFileAtomically(path, std::string(458752, 'x'), &error));
    EXPECT_EQ(error, "No space left on device");
    EXPECT_EQ(TTempDir::Read(path), "old image");
    EXPECT_EQ(Names(dir), (std::vector<std::string>{"ZKF780A.ROM"}));
    ::umount(dir.Path.c_str());
}

#endif

} // namespace
