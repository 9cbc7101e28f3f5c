// Existence tests, whole-file reads and writes, case-blind lookups and file-name pieces, on real
// files in a temporary folder.

#include "XVclUtil/FileUtil.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace XVclUtil;

namespace {

using TBytes = std::vector<std::uint8_t>;

TBytes Counting(std::size_t n) {
    TBytes bytes(n);
    for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + 1);
    return bytes;
}

std::string Text(const TBytes& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

mode_t ModeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

mode_t CurrentUmask() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

TEST(FileUtil, FileExistsOnlyForRegularFiles) {
    TTempDir dir;
    TTempDir::Write(dir.File("a.bin"), "x");
    ASSERT_EQ(::mkdir(dir.File("sub").c_str(), 0700), 0);
    ASSERT_EQ(::symlink(dir.File("a.bin").c_str(), dir.File("link").c_str()), 0);
    ASSERT_EQ(::symlink(dir.File("gone").c_str(), dir.File("dangling").c_str()), 0);

    EXPECT_TRUE(FileExists(dir.File("a.bin")));
    EXPECT_TRUE(FileExists(dir.File("link"))); // a link to a file counts
    EXPECT_FALSE(FileExists(dir.File("sub")));
    EXPECT_FALSE(FileExists(dir.File("dangling")));
    EXPECT_FALSE(FileExists(dir.File("missing")));
    EXPECT_FALSE(FileExists(""));

    EXPECT_TRUE(PathExists(dir.File("a.bin")));
    EXPECT_TRUE(PathExists(dir.File("sub")));
    EXPECT_TRUE(PathExists("/dev/null"));
    EXPECT_FALSE(PathExists(dir.File("missing")));
    EXPECT_FALSE(PathExists(""));
}

TEST(FileUtil, ReadWholeFileReturnsEveryByte) {
    TTempDir dir;
    const TBytes big = Counting((1 << 20) + 3); // past any single buffer size
    TTempDir::Write(dir.File("big"), Text(big));
    TTempDir::Write(dir.File("empty"), "");
    TTempDir::Write(dir.File("zeros"), std::string("\0a\0\r\n\0", 6));

    const auto read = ReadWholeFile(dir.File("big"));
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(*read, big);
    const auto empty = ReadWholeFile(dir.File("empty"));
    ASSERT_TRUE(empty.has_value()); // an empty file is still a file
    EXPECT_TRUE(empty->empty());
    EXPECT_EQ(ReadWholeFile(dir.File("zeros")), (TBytes{0, 'a', 0, '\r', '\n', 0}));
}

TEST(FileUtil, ReadWholeFileRefusesWhatIsNoRegularFile) {
    TTempDir dir;
    ASSERT_EQ(::mkdir(dir.File("sub").c_str(), 0700), 0);
    ASSERT_EQ(::mkfifo(dir.File("fifo").c_str(), 0600), 0);
    EXPECT_FALSE(ReadWholeFile(dir.File("missing")).has_value());
    EXPECT_FALSE(ReadWholeFile(dir.File("sub")).has_value());
    EXPECT_FALSE(ReadWholeFile(dir.File("fifo")).has_value()); // and does not wait for a writer
    EXPECT_FALSE(ReadWholeFile("").has_value());
}

TEST(FileUtil, WriteWholeFileCreatesAndTruncates) {
    TTempDir dir;
    const std::string path = dir.File("out.bin");
    ASSERT_TRUE(WriteWholeFile(path, Counting(100)));
    EXPECT_EQ(ReadWholeFile(path), Counting(100));
    EXPECT_EQ(ModeOf(path), 0666 & ~CurrentUmask()); // as a plain create under the umask
    ASSERT_TRUE(WriteWholeFile(path, TBytes{9, 8}));
    EXPECT_EQ(ReadWholeFile(path), (TBytes{9, 8})); // the longer old contents are gone
    ASSERT_TRUE(WriteWholeFile(path, TBytes{}));
    EXPECT_EQ(ReadWholeFile(path), TBytes{});

    EXPECT_FALSE(WriteWholeFile(dir.File("no/such/folder/x"), TBytes{1}));
    ASSERT_EQ(::mkdir(dir.File("sub").c_str(), 0700), 0);
    EXPECT_FALSE(WriteWholeFile(dir.File("sub"), TBytes{1}));
}

TEST(FileUtil, DeleteFileIfExistsLeavesFoldersAlone) {
    TTempDir dir;
    TTempDir::Write(dir.File("a"), "x");
    ASSERT_EQ(::mkdir(dir.File("sub").c_str(), 0700), 0);
    DeleteFileIfExists(dir.File("a"));
    DeleteFileIfExists(dir.File("sub"));
    DeleteFileIfExists(dir.File("missing"));
    EXPECT_FALSE(PathExists(dir.File("a")));
    EXPECT_TRUE(PathExists(dir.File("sub")));
}

// A picture tree as it comes from a case-blind file system.
class NoCaseTree : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(::mkdir(Dir.File("Pics").c_str(), 0700), 0);
        ASSERT_EQ(::mkdir(Dir.File("Pics/Floor").c_str(), 0700), 0);
        TTempDir::Write(Dir.File("Pics/Floor/b1arrow.bmp"), "BM");
        // A file whose name differs from the folder's only in case comes first in no order
        // that matters: the lookup must still pick the folder on the way down.
        TTempDir::Write(Dir.File("PICS"), "not a folder");
    }
    TTempDir Dir;
};

TEST_F(NoCaseTree, FindFileNoCaseMatchesEveryLevel) {
    const std::string real = Dir.File("Pics/Floor/b1arrow.bmp");
    EXPECT_EQ(FindFileNoCase(real), real);
    EXPECT_EQ(FindFileNoCase(Dir.File("pics/FLOOR/B1ARROW.BMP")), real);
    EXPECT_EQ(FindFileNoCase(Dir.File("PICS/floor/b1arrow.BMP")), real);
    EXPECT_EQ(FindFileNoCase(Dir.File("pics//floor/b1arrow.bmp")), real);
    EXPECT_EQ(FindFileNoCase(Dir.File("pics/FLOOR/../floor/b1arrow.bmp")),
              Dir.File("Pics/Floor/../Floor/b1arrow.bmp"));
    EXPECT_EQ(FindFileNoCase(Dir.File("pics/floor/b2arrow.bmp")), "");
    EXPECT_EQ(FindFileNoCase(Dir.File("pics/floor")), ""); // a folder is not a file
    EXPECT_EQ(FindFileNoCase(Dir.File("pics/floor/")), "");
    EXPECT_EQ(FindFileNoCase(""), "");
}

TEST_F(NoCaseTree, ResolveFileCaseKeepsThePathWhenNothingMatches) {
    const std::string real = Dir.File("Pics/Floor/b1arrow.bmp");
    EXPECT_EQ(ResolveFileCase(Dir.File("PICS/FLOOR/B1ARROW.bmp")), real);
    EXPECT_EQ(ResolveFileCase(Dir.File("pics/floor/b2arrow.bmp")),
              Dir.File("pics/floor/b2arrow.bmp"));
    EXPECT_EQ(ResolveFileCase(Dir.File("Pics/Floor")), Dir.File("Pics/Floor")); // exists as is
    EXPECT_EQ(ResolveFileCase(""), "");

    EXPECT_TRUE(FileExistsAnyCase(Dir.File("pics/floor/B1ARROW.BMP")));
    EXPECT_FALSE(FileExistsAnyCase(Dir.File("pics/floor/b2arrow.bmp")));
    EXPECT_FALSE(FileExistsAnyCase(Dir.File("Pics/Floor")));
}

TEST_F(NoCaseTree, RelativeNamesAreLookedUpInTheCurrentFolder) {
    char previous[4096];
    ASSERT_NE(::getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(::chdir(Dir.Path.c_str()), 0);
    const std::string found = FindFileNoCase("pics/floor/B1ARROW.BMP");
    const std::string resolved = ResolveFileCase("PICS/Floor/b1arrow.bmp");
    const bool bare = FindFileNoCase("pics") == "PICS"; // the file, not the folder
    ASSERT_EQ(::chdir(previous), 0);
    EXPECT_EQ(found, "Pics/Floor/b1arrow.bmp");
    EXPECT_EQ(resolved, "Pics/Floor/b1arrow.bmp");
    EXPECT_TRUE(bare);
}

TEST(FileUtil, FileNameOfPathCutsAtEverySeparator) {
    EXPECT_EQ(FileNameOfPath("C:\\Lift\\Pics\\FIRE.bmp"), "FIRE.bmp");
    EXPECT_EQ(FileNameOfPath("D:FIRE.bmp"), "FIRE.bmp");
    EXPECT_EQ(FileNameOfPath("/a/b/c.bmp"), "c.bmp");
    EXPECT_EQ(FileNameOfPath("mixed/dir\\name.ROM"), "name.ROM");
    EXPECT_EQ(FileNameOfPath("plain.ROM"), "plain.ROM");
    EXPECT_EQ(FileNameOfPath("folder/"), "");
    EXPECT_EQ(FileNameOfPath(""), "");
}

TEST(FileUtil, ChangeFileExtTouchesOnlyTheLastComponent) {
    EXPECT_EQ(ChangeFileExt("ZKF780A.ROM", ".BIN"), "ZKF780A.BIN");
    EXPECT_EQ(ChangeFileExt("dir.v2/ZKF780A", ".BIN"), "dir.v2/ZKF780A.BIN");
    EXPECT_EQ(ChangeFileExt("C:\\dir.v2\\ZKF780A", ".BIN"), "C:\\dir.v2\\ZKF780A.BIN");
    EXPECT_EQ(ChangeFileExt("a.tar.gz", ".ROM"), "a.tar.ROM");
    EXPECT_EQ(ChangeFileExt("name.", ".ROM"), "name.ROM");
    EXPECT_EQ(ChangeFileExt("", ".ROM"), ".ROM");
}

} // namespace
