// Picture entries, numbered picture sets and packed blocks.

#include "rom/PictureEntry.h"
#include "RomTestSupport.h"
#include "rom/PicturePacking.h"
#include "rom/RomLayout.h"
#include "rom/TMemoryWorkFolder.h"

#include <gtest/gtest.h>

using namespace Rom;
using namespace RomTest;

namespace {

TBytes Entry(std::uint32_t address, std::uint32_t size) {
    TBytes e(6);
    PutPictureEntry(e.data(), address, size);
    return e;
}

TEST(PictureEntry, HundredBytesAtTheFirstPictureAddress) {
    EXPECT_EQ(Entry(0x10600, 100), (TBytes{0x10, 0x06, 0x00, 0x00, 0x64, 0x01}));
}

TEST(PictureEntry, SizeBits16To19GoInTheLastByte) {
    TBytes e = Entry(0x10600, 0x12345);
    EXPECT_EQ(TBytes(e.begin() + 3, e.end()), (TBytes{0x23, 0x45, 0x11}));
    TPictureEntry back = GetPictureEntry(e.data());
    EXPECT_TRUE(back.Present);
    EXPECT_TRUE(back.WellFormed);
    EXPECT_EQ(back.Address, 0x10600u);
    EXPECT_EQ(back.Size, 0x12345u);
}

TEST(PictureEntry, FixedBlockEntriesReadBack) {
    TPictureEntry pm = GetPictureEntry(FixedEntryBytes[0]);
    EXPECT_EQ(pm.Address, 0x54000u);
    EXPECT_EQ(pm.Size, 0xFFFFu);
    EXPECT_EQ(GetPictureEntry(FixedEntryBytes[2]).Address, 0x5D000u);
}

TEST(PictureEntry, SetEntryHoldsAWholeAddressByte) {
    TBytes e(6);
    PutSetEntry(e.data(), 0x2A0600, 0x40);
    EXPECT_EQ(e, (TBytes{0x2A, 0x06, 0x00, 0x00, 0x40, 0x01}));
    EXPECT_EQ(GetSetEntry(e.data()).Address, 0x2A0600u);
    EXPECT_EQ(GetPictureEntry(e.data()).WellFormed, false); // low nibble of byte 0 used
}

TEST(PictureEntry, AbsentEntriesAreSixZeros) {
    TBytes e(6, 0);
    EXPECT_FALSE(GetPictureEntry(e.data()).Present);
    EXPECT_TRUE(GetPictureEntry(e.data()).WellFormed);
    e[2] = 7; // stray bits in an absent entry
    EXPECT_FALSE(GetPictureEntry(e.data()).WellFormed);
}

TEST(NumberedPictureSet, IndexThenPicturesBackToBack) {
    TMemoryWorkFolder folder;
    folder.Write("DIR3_1", TBytes(10, 0xA1));
    folder.Write("DIR3_21", TBytes(5, 0xB2));
    folder.Write("DIR3_255", TBytes(2, 0xC3));
    folder.Write("DIR3_256", TBytes(2, 0xD4)); // beyond the set
    ASSERT_TRUE(PackNumberedPictures(folder, "DIR3_", "M_33"));
    TBytes set = *folder.Read("M_33");
    ASSERT_EQ(set.size(), 0x600u + 17);
    EXPECT_EQ(TBytes(set.begin() + 6, set.begin() + 12),
              (TBytes{0x00, 0x06, 0x00, 0x00, 0x0A, 0x01}));
    EXPECT_EQ(TBytes(set.begin() + 21 * 6, set.begin() + 22 * 6),
              (TBytes{0x00, 0x06, 0x0A, 0x00, 0x05, 0x01}));
    EXPECT_EQ(TBytes(set.begin() + 255 * 6, set.begin() + 256 * 6),
              (TBytes{0x00, 0x06, 0x0F, 0x00, 0x02, 0x01}));
    EXPECT_EQ(TBytes(set.begin(), set.begin() + 6), TBytes(6, 0));
    EXPECT_EQ(set[0x600], 0xA1);
    EXPECT_EQ(set[0x60A], 0xB2);
    EXPECT_EQ(set[0x60F], 0xC3);
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"DIR3_256", "M_33"})); // packed files gone
}

TEST(NumberedPictureSet, EmptySetIsTheBareIndex) {
    TMemoryWorkFolder folder;
    ASSERT_TRUE(PackNumberedPictures(folder, "S5_", "M_14"));
    EXPECT_EQ(*folder.Read("M_14"), TBytes(0x600, 0));
}

TEST(PackedBlock, EntriesAfterAnIndexOfCountEntries) {
    TMemoryWorkFolder folder;
    folder.Write("UM_1", TBytes(40, 0x11));
    folder.Write("UM_2", TBytes(8, 0x22));
    TBytes block(UmBlockSize, 0xFF);
    ASSERT_EQ(PackPictureBlock(folder, "UM_", 3, 0, block), TPackResult::Packed);
    EXPECT_EQ(TBytes(block.begin(), block.begin() + 6), TBytes(6, 0)); // UM_0 absent
    EXPECT_EQ(TBytes(block.begin() + 6, block.begin() + 12), Entry(18, 40));
    EXPECT_EQ(TBytes(block.begin() + 12, block.begin() + 18), Entry(58, 8));
    EXPECT_EQ(block[18], 0x11);
    EXPECT_EQ(block[58], 0x22);
    EXPECT_EQ(block[66], 0); // the rest is 0
    EXPECT_EQ(block.back(), 0);
    EXPECT_TRUE(folder.Names().empty());
}

TEST(PackedBlock, PmAddressesAreDeviceAddresses) {
    TMemoryWorkFolder folder;
    for (int k = 0; k < 4; ++k) folder.Write("PM_" + std::to_string(k), TBytes(100, 1));
    TBytes block(PmBlockSize);
    ASSERT_EQ(PackPictureBlock(folder, "PM_", 4, PmBlockAddress, block), TPackResult::Packed);
    EXPECT_EQ(GetPictureEntry(block.data()).Address, 0x54000u + 24);
    EXPECT_EQ(GetPictureEntry(block.data() + 18).Address, 0x54000u + 24 + 300);
}

TEST(PackedBlock, TooLargeWritesAndDeletesNothing) {
    TMemoryWorkFolder folder;
    folder.Write("UM_0", TBytes(4000, 1));
    folder.Write("UM_1", TBytes(100, 1));
    TBytes block(UmBlockSize, 0x5A);
    EXPECT_EQ(PackPictureBlock(folder, "UM_", 3, 0, block), TPackResult::TooLarge);
    EXPECT_EQ(block, TBytes(UmBlockSize, 0x5A));
    EXPECT_EQ(folder.Names().size(), 2u);
    // Exactly full fits.
    folder.Remove("UM_1");
    folder.Write("UM_0", TBytes(UmBlockSize - 18, 1));
    EXPECT_EQ(PackPictureBlock(folder, "UM_", 3, 0, block), TPackResult::Packed);
}

} // namespace
