// The picture library: directory entries, pictures decoded in memory, hostile libraries.

#include "CoreTestSupport.h"

#include "XVclUtil/FileUtil.h"
#include "app/core/PictureBoxes.h"

#include <sys/stat.h>

using namespace AppCore;
using CoreTest::ReadFile;
using XVclUtil::FileExists;
using XVclUtil::FileExistsAnyCase;
using XVclUtil::FileNameOfPath;
using XVclUtil::ResolveFileCase;

namespace {

class PictureLibrary : public CoreTest::TCoreFixture {};

std::vector<uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

void PutEntry(std::vector<uint8_t>& image, int group, int index, uint32_t offset, uint32_t length) {
    uint8_t* p = image.data() + 8 + group * 2048 + index * 8;
    for (int i = 0; i < 4; ++i) p[i] = uint8_t(offset >> (24 - 8 * i));
    for (int i = 0; i < 4; ++i) p[4 + i] = uint8_t(length >> (24 - 8 * i));
}

} // namespace

TEST_F(PictureLibrary, EntriesAreBigEndianFromTheStartOfTheFile) {
    std::vector<uint8_t> image(8 + 2 * 2048 + 16, 0);
    PutEntry(image, 1, 3, 0x00001008, 5);
    std::copy_n("HELLO", 5, image.begin() + 0x1008);
    TPictureLibrary library;
    library.Assign(image);
    const auto entry = library.Entry(1, 3);
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->Offset, 0x1008u);
    EXPECT_EQ(entry->Length, 5u);
    const auto picture = library.Picture(1, 3);
    EXPECT_EQ(std::string(picture.begin(), picture.end()), "HELLO");
}

TEST_F(PictureLibrary, PicturesAreDecodedInMemoryAndNoFileIsOpened) {
    TPictureLibraryBuilder builder(1);
    builder.Set(0, 0, CoreTest::MakeBmp(128, 24, 3));
    Session.Library.Assign(builder.Build());
    // What a hostile folder may hold under the old temporary name: a link, then a FIFO.
    CoreTest::WriteFile(Work("victim"), std::string("keep"));
    ASSERT_EQ(::symlink(Work("victim").c_str(), Work("KRV_TEMPBMP.BMP").c_str()), 0);
    EXPECT_TRUE(ShowLibraryPicture(Session, Images::TitleV, 0, 0));
    EXPECT_EQ(Prompts.PictureIn(Images::TitleV), "VRC-780AS1V2.GLB (0, 0)");
    EXPECT_EQ(ReadFile(Work("victim")), "keep");
    std::filesystem::remove(Work("KRV_TEMPBMP.BMP"));
    ASSERT_EQ(::mkfifo(Work("KRV_TEMPBMP.BMP").c_str(), 0600), 0);
    EXPECT_TRUE(ShowLibraryPicture(Session, Images::TitleH, 0, 0));  // no hang
    EXPECT_FALSE(ShowLibraryPicture(Session, Images::TitleH, 0, 4)); // empty entry
    Session.Library.Release();
    EXPECT_FALSE(ShowLibraryPicture(Session, Images::TitleH, 0, 0)); // no library
}

TEST_F(PictureLibrary, EntriesOutsideTheFileAreNoPicture) {
    std::vector<uint8_t> image(8 + 2048 + 10, 0);
    PutEntry(image, 0, 1, 8 + 2048, 11);      // one byte past the end
    PutEntry(image, 0, 2, 0xFFFFFFF0u, 0x20); // offset + length wraps 32 bits
    PutEntry(image, 0, 3, 8 + 2048, 10);      // exactly up to the end: fine
    TPictureLibrary library;
    library.Assign(image);
    EXPECT_TRUE(library.Picture(0, 1).empty());
    EXPECT_TRUE(library.Picture(0, 2).empty());
    EXPECT_EQ(library.Picture(0, 3).size(), 10u);
    EXPECT_TRUE(library.IsCutOff(0, 1));
    EXPECT_FALSE(library.IsCutOff(0, 3));
    EXPECT_FALSE(library.IsCutOff(0, 4)); // an empty entry inside the file
    // Groups and indices outside the file; the number of groups is not stored, so (1, 0) still
    // reads bytes of the file.
    EXPECT_TRUE(library.Entry(1, 0));
    EXPECT_FALSE(library.Entry(2, 0));
    EXPECT_FALSE(library.Entry(-1, 0));
    EXPECT_FALSE(library.Entry(0, 256));
    EXPECT_FALSE(library.Entry(0, -1));
    EXPECT_TRUE(library.IsCutOff(7, 0));
}

TEST_F(PictureLibrary, EmptyAndTruncatedLibraries) {
    TPictureLibrary empty;
    empty.Assign({});
    EXPECT_TRUE(empty.IsLoaded());
    EXPECT_TRUE(empty.IsCutOff(0, 0));
    EXPECT_FALSE(empty.Entry(0, 0));

    std::vector<uint8_t> truncated(8 + 100, 0xFF); // directory cut inside entry 12
    TPictureLibrary library;
    library.Assign(truncated);
    EXPECT_TRUE(library.Entry(0, 11));
    EXPECT_FALSE(library.Entry(0, 12));
    EXPECT_TRUE(library.Picture(0, 11).empty()); // 0xFFFFFFFF offset points outside
}

TEST_F(PictureLibrary, LoadFileReadsWholeFileAndRefusesFolders) {
    TPictureLibraryBuilder builder(1);
    builder.Set(0, 0, Bytes("x"));
    ASSERT_TRUE(builder.Save(Work("lib.glb")));
    TPictureLibrary library;
    EXPECT_TRUE(library.LoadFile(Work("lib.glb")));
    EXPECT_EQ(library.Size(), 8 + 2048 + 1u);
    EXPECT_FALSE(library.LoadFile(StartDir)); // a folder
    EXPECT_FALSE(library.IsLoaded());
    EXPECT_FALSE(library.LoadFile(Work("missing.glb")));
}

TEST_F(PictureLibrary, OversizedLibraryIsRefusedBeforeItIsRead) {
    WriteWorkingFolder();
    std::filesystem::resize_file(Work("VRC-780AS1V2.GLB"), TPictureLibrary::MaxFileSize + 1);
    EXPECT_FALSE(Start());
    ASSERT_FALSE(Messages.Messages.empty());
    EXPECT_EQ(Messages.Messages[0].second.rfind("GLB file too large!!", 0), 0u)
        << Messages.Messages[0].second;
    EXPECT_FALSE(Session.Library.IsLoaded());
}

TEST_F(PictureLibrary, FileNamesAreFoundWithoutRegardToCase) {
    CoreTest::WriteFile(Work("Pics/Floor/b1arrow.bmp"), std::string("x"));
    EXPECT_EQ(ResolveFileCase(Work("PICS/FLOOR/B1ARROW.bmp")), Work("Pics/Floor/b1arrow.bmp"));
    EXPECT_TRUE(FileExistsAnyCase("pics/floor/B1ARROW.BMP"));
    EXPECT_FALSE(FileExistsAnyCase(Work("PICS/FLOOR/B2ARROW.bmp")));
    EXPECT_EQ(FileNameOfPath("C:\\Lift\\Pics\\FIRE-128x32_EN.bmp"), "FIRE-128x32_EN.bmp");
    EXPECT_EQ(FileNameOfPath("D:FIRE.bmp"), "FIRE.bmp");
    EXPECT_EQ(FileNameOfPath("/a/b/c.bmp"), "c.bmp");
    EXPECT_FALSE(FileExists(StartDir));
}
