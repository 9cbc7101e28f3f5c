// The file routines of the build and the two kinds of work folder.

#include "rom/WorkFiles.h"
#include "RomTestSupport.h"
#include "XVclUtil/AtomicFile.h"
#include "XVclUtil/FileUtil.h"
#include "rom/TDiskWorkFolder.h"
#include "rom/TMemoryWorkFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace Rom;
using XVclUtil::ChangeFileExt;
using XVclUtil::FindFileNoCase;
using XVclUtil::WriteFileAtomically;
using namespace RomTest;

namespace {

TBytes Counting(std::size_t n) {
    TBytes b(n);
    for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>(i);
    return b;
}

TEST(WorkFiles, CopyFileTailCopiesFromStartToEnd) {
    TTempDir dir;
    WriteBytes(dir / "f", Counting(10));
    TBytes dest(16, 0xEE);
    EXPECT_EQ(CopyFileTail(dest, dir / "f", 0), 10u);
    EXPECT_EQ(TBytes(dest.begin(), dest.begin() + 10), Counting(10));
    EXPECT_EQ(dest[10], 0xEE);
    TBytes tail(4, 0);
    EXPECT_EQ(CopyFileTail(tail, dir / "f", 7), 3u);
    EXPECT_EQ(tail, (TBytes{7, 8, 9, 0}));
}

TEST(WorkFiles, CopyFileRangeOfAShortFileKeepsTheRest) {
    TTempDir dir;
    WriteBytes(dir / "short", Counting(100));
    TBytes dest(3328, 0xAB);
    EXPECT_EQ(CopyFileRange(dest, dir / "short", 0, 3328), 100u);
    EXPECT_EQ(dest[99], 99);
    EXPECT_EQ(dest[100], 0xAB);
    EXPECT_EQ(dest[3327], 0xAB);
    WriteBytes(dir / "long", Counting(5000));
    EXPECT_EQ(CopyFileRange(dest, dir / "long", 0, 3328), 3328u);
    EXPECT_EQ(dest[3327], static_cast<std::uint8_t>(3327));
}

TEST(WorkFiles, CopiesNeverPassTheDestination) {
    TTempDir dir;
    WriteBytes(dir / "big", Counting(9000));
    TBytes dest(4096 + 8, 0x11);
    EXPECT_EQ(CopyFileTail(std::span<std::uint8_t>(dest.data(), 4096), dir / "big", 0), 4096u);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(dest[4096 + i], 0x11);
}

TEST(WorkFiles, BlankOrMissingNamesCopyNothing) {
    TBytes dest(4, 0x77);
    EXPECT_EQ(CopyFileTail(dest, "   ", 0), 0u);
    EXPECT_EQ(CopyFileRange(dest, "/nonexistent/file", 0, 4), 0u);
    EXPECT_EQ(dest, TBytes(4, 0x77));
}

TEST(WorkFiles, DeleteNumberedFilesStopsBeforeCount) {
    TTempDir dir;
    TDiskWorkFolder folder(dir.Path());
    for (int n = 0; n <= 256; ++n) folder.Write("DIR0_" + std::to_string(n), TBytes{1});
    folder.Write("DIR0_x", TBytes{1});
    DeleteNumberedFiles(folder, "DIR0_", 255);
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"DIR0_255", "DIR0_256", "DIR0_x"}));
}

TEST(WorkFiles, DeleteNumberedFilesInTheCurrentDirectory) {
    TTempDir dir;
    char old[4096];
    ASSERT_NE(::getcwd(old, sizeof old), nullptr);
    ASSERT_EQ(::chdir(dir.Path().c_str()), 0);
    WriteBytes("S1_0", {1});
    WriteBytes("S1_254", {1});
    WriteBytes("S1_255", {1});
    DeleteNumberedFiles("S1_", 255);
    std::vector<std::string> left = dir.Names();
    ASSERT_EQ(::chdir(old), 0);
    EXPECT_EQ(left, (std::vector<std::string>{"S1_255"}));
}

TEST(WorkFolders, MemoryAndDiskBehaveAlike) {
    TTempDir dir;
    TDiskWorkFolder disk(dir.Path());
    TMemoryWorkFolder memory;
    for (TWorkFolder* f : {static_cast<TWorkFolder*>(&disk), static_cast<TWorkFolder*>(&memory)}) {
        EXPECT_FALSE(f->Exists("M_1"));
        EXPECT_FALSE(f->Size("M_1"));
        EXPECT_TRUE(f->Write("M_1", TBytes{1, 2, 3}));
        EXPECT_TRUE(f->Write("M_0", TBytes{}));
        EXPECT_TRUE(f->Exists("M_1"));
        EXPECT_EQ(f->Size("M_1"), 3u);
        EXPECT_EQ(f->Size("M_0"), 0u);
        EXPECT_EQ(*f->Read("M_1"), (TBytes{1, 2, 3}));
        EXPECT_EQ(f->Names(), (std::vector<std::string>{"M_0", "M_1"}));
        EXPECT_TRUE(f->Remove("M_1"));
        EXPECT_FALSE(f->Remove("M_1"));
        EXPECT_EQ(f->Names(), (std::vector<std::string>{"M_0"}));
    }
}

// Names that look numbered and names that only resemble them (padding, a bare prefix, a prefix
// ending in a digit, numbers past nine digits) are distinct files in both folders, and removing
// a numbered range takes exactly prefix0 .. prefix(count-1).
TEST(WorkFolders, NumberedNamesAreKeptApartAlike) {
    const std::vector<std::string> names = {
        "DIR0_",    "DIR0_0",  "DIR0_00", "DIR0_05",      "DIR0_5",      "DIR0_254",
        "DIR0_255", "DIR0_x7", "M1",      "M10",          "M1254",       "M1255",
        "S1_",      "S1_3",    "UBF_0",   "M_1234567890", "M_123456789", "7"};
    const std::vector<std::pair<std::string, int>> removals = {
        {"DIR0_", 255}, {"M1", 255}, {"S1_", 0}, {"Q_", 255}, {"", 8}};
    const std::vector<std::string> left = {"DIR0_",        "DIR0_00", "DIR0_05", "DIR0_255",
                                           "DIR0_x7",      "M1",      "M1255",   "M_123456789",
                                           "M_1234567890", "S1_",     "S1_3",    "UBF_0"};
    TTempDir dir;
    TDiskWorkFolder disk(dir.Path());
    TMemoryWorkFolder memory;
    for (TWorkFolder* f : {static_cast<TWorkFolder*>(&disk), static_cast<TWorkFolder*>(&memory)}) {
        for (std::size_t i = 0; i < names.size(); ++i)
            ASSERT_TRUE(f->Write(names[i], TBytes(i + 1, static_cast<std::uint8_t>(i))));
        for (std::size_t i = 0; i < names.size(); ++i)
            EXPECT_EQ(f->Size(names[i]), i + 1) << names[i];
        EXPECT_FALSE(f->Exists("DIR0_1"));
        EXPECT_FALSE(f->Exists("M_"));
        EXPECT_EQ(f->NumberedSize("DIR0_", 255), 2u + 5u + 6u); // DIR0_0, DIR0_5, DIR0_254
        EXPECT_EQ(f->NumberedSize("M1", 255), 10u + 11u);       // M10, M1254
        const std::vector<TNumberedFile> taken = f->TakeNumbered("M1", 255);
        ASSERT_EQ(taken.size(), 2u);
        EXPECT_EQ(taken[0], TNumberedFile(0, TBytes(10, 9)));
        EXPECT_EQ(taken[1], TNumberedFile(254, TBytes(11, 10)));
        for (const auto& [prefix, count] : removals) DeleteNumberedFiles(*f, prefix, count);
        EXPECT_EQ(f->Names(), left);
        EXPECT_EQ(*f->Read("DIR0_05"), TBytes(4, 3));
    }
}

TEST(FileIo, AtomicWriteReplacesWholeOrNothing) {
    TTempDir dir;
    WriteBytes(dir / "ZKF780A.ROM", TBytes(10, 1));
    std::string error;
    EXPECT_TRUE(WriteFileAtomically(dir / "ZKF780A.ROM", TBytes(20, 2), &error));
    EXPECT_EQ(ReadBytes(dir / "ZKF780A.ROM"), TBytes(20, 2));
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"ZKF780A.ROM"})); // no temporary left

    ::chmod(dir.Path().c_str(), 0500); // folder not writable: the old file stays
    if (::geteuid() != 0) {
        EXPECT_FALSE(WriteFileAtomically(dir / "ZKF780A.ROM", TBytes(30, 3), &error));
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(ReadBytes(dir / "ZKF780A.ROM"), TBytes(20, 2));
    }
    ::chmod(dir.Path().c_str(), 0700);
    EXPECT_FALSE(WriteFileAtomically(dir / "no/such/folder/X.ROM", TBytes(1, 1), &error));
}

TEST(FileIo, ChangeFileExtReplacesOrAppends) {
    EXPECT_EQ(ChangeFileExt("ZKF780A.ROM", ".BIN"), "ZKF780A.BIN");
    EXPECT_EQ(ChangeFileExt("demo.rom", ".ROM"), "demo.ROM");
    EXPECT_EQ(ChangeFileExt("noext", ".ROM"), "noext.ROM");
    EXPECT_EQ(ChangeFileExt("a.b/noext", ".ROM"), "a.b/noext.ROM");
    EXPECT_EQ(ChangeFileExt("C:\\x.y\\file", ".BIN"), "C:\\x.y\\file.BIN");
    EXPECT_EQ(ChangeFileExt("out.v1.img", ".ROM"), "out.v1.ROM");
}

TEST(FileIo, FindFileNoCaseMatchesFoldersAndNames) {
    TTempDir dir;
    ASSERT_EQ(::mkdir((dir / "Style2").c_str(), 0700), 0);
    WriteBytes(dir / "Style2/b1arrow.bmp", {1});
    EXPECT_EQ(FindFileNoCase(dir / "Style2/b1arrow.bmp"), dir / "Style2/b1arrow.bmp");
    EXPECT_EQ(FindFileNoCase(dir / "STYLE2/B1ARROW.bmp"), dir / "Style2/b1arrow.bmp");
    EXPECT_EQ(FindFileNoCase(dir / "Style2/B1ARROW.BMP"), dir / "Style2/b1arrow.bmp");
    EXPECT_EQ(FindFileNoCase(dir / "Style3/B1ARROW.bmp"), "");
    EXPECT_EQ(FindFileNoCase(dir / "Style2"), ""); // a folder is not a file
    EXPECT_EQ(FindFileNoCase(""), "");
}

} // namespace
