// MBR partition tables: parsing the first sector and choosing the entry that is a volume.

#include "XVclUtil/disk/AbsDiskMbr.h"
#include "AbsDiskTestSupport.h"

#include <gtest/gtest.h>

using namespace XVclUtil;
using AbsDiskTest::MbrSector;
using AbsDiskTest::TPart;

TEST(AbsDiskMbr, ParsesTheFourEntries) {
    auto sector =
        MbrSector({{0x0C, 2048, 4096, 0x80}, {0x83, 6144, 100}, {}, {0x07, 0x12345678, 9}});
    TAbsDiskMbr mbr = AbsDiskParseMbr(sector.data(), sector.size());
    ASSERT_TRUE(mbr.Valid);
    EXPECT_EQ(mbr.Entries[0].BootFlag, 0x80);
    EXPECT_EQ(mbr.Entries[0].Type, 0x0C);
    EXPECT_EQ(mbr.Entries[0].FirstSector, 2048u);
    EXPECT_EQ(mbr.Entries[0].SectorCount, 4096u);
    EXPECT_EQ(mbr.Entries[1].Type, 0x83);
    EXPECT_EQ(mbr.Entries[2].Type, 0);
    EXPECT_EQ(mbr.Entries[3].FirstSector, 0x12345678u);
}

TEST(AbsDiskMbr, RejectsSectorsThatHoldNoTable) {
    auto sector = MbrSector({{0x0C, 2048, 4096}});
    EXPECT_FALSE(AbsDiskParseMbr(sector.data(), 511).Valid) << "short sector";
    EXPECT_FALSE(AbsDiskParseMbr(nullptr, 512).Valid);
    auto unsigned_ = sector;
    unsigned_[511] = 0;
    EXPECT_FALSE(AbsDiskParseMbr(unsigned_.data(), 512).Valid) << "no 55 AA";
    // A file system boot sector ends in 55 AA too, with code where the table would be.
    auto bootSector = sector;
    for (int i = 446; i < 510; ++i) bootSector[i] = static_cast<uint8_t>(0x31 + i);
    EXPECT_FALSE(AbsDiskParseMbr(bootSector.data(), 512).Valid);
}

TEST(AbsDiskMbr, SelectsTheFirstVolumeOrTheAskedSlot) {
    auto sector = MbrSector({{0x05, 100, 50}, {}, {0x83, 300, 200}, {0x0C, 600, 100}});
    TAbsDiskMbr mbr = AbsDiskParseMbr(sector.data(), sector.size());
    auto first = AbsDiskSelectVolume(mbr, 0, 1000);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->FirstSector, 300u) << "extended container and empty slot are passed over";
    auto fourth = AbsDiskSelectVolume(mbr, 4, 1000);
    ASSERT_TRUE(fourth);
    EXPECT_EQ(fourth->FirstSector, 600u);
    EXPECT_FALSE(AbsDiskSelectVolume(mbr, 1, 1000)) << "an extended container is no volume";
    EXPECT_FALSE(AbsDiskSelectVolume(mbr, 2, 1000)) << "empty slot";
    EXPECT_FALSE(AbsDiskSelectVolume(mbr, 5, 1000));
    EXPECT_FALSE(AbsDiskSelectVolume(TAbsDiskMbr{}, 0, 1000)) << "no table";
}

TEST(AbsDiskMbr, RefusesEntriesOutsideTheDisk) {
    auto sector = MbrSector({{0x0C, 600, 401}, {0x83, 0, 10}, {0x83, 0xFFFFFFF0u, 0x20}});
    TAbsDiskMbr mbr = AbsDiskParseMbr(sector.data(), sector.size());
    EXPECT_FALSE(AbsDiskSelectVolume(mbr, 1, 1000)) << "ends one sector past the disk";
    EXPECT_TRUE(AbsDiskSelectVolume(mbr, 1, 1001)) << "ends exactly at the disk's end";
    EXPECT_FALSE(AbsDiskSelectVolume(mbr, 2, 1000)) << "starts on the MBR itself";
    EXPECT_FALSE(AbsDiskSelectVolume(mbr, 3, 0x100000000ull)) << "32-bit wrap-around";
    // The first volume entry is broken: no later entry stands in for it.
    EXPECT_FALSE(AbsDiskSelectVolume(mbr, 0, 1000));
}

TEST(AbsDiskMbr, AGptDisksProtectiveMbrListsNoVolume) {
    TAbsDiskCause why = TAbsDiskCause::None;
    for (auto parts : {std::vector<TPart>{{0xEE, 1, 999}},
                       std::vector<TPart>{{0x0C, 100, 50}, {0xEE, 1, 99}}, // hybrid table
                       std::vector<TPart>{{}, {0xEF, 1, 999}}}) {          // a lone EFI entry
        auto sector = MbrSector(parts);
        TAbsDiskMbr mbr = AbsDiskParseMbr(sector.data(), sector.size());
        EXPECT_TRUE(mbr.Protective);
        for (unsigned slot = 0; slot <= 2; ++slot)
            EXPECT_FALSE(AbsDiskSelectVolume(mbr, slot, 1000, &why)) << "slot " << slot;
        EXPECT_EQ(why, TAbsDiskCause::GptDisk);
    }
    // An EFI system partition beside other entries is an ordinary volume of an MBR disk.
    auto sector = MbrSector({{0xEF, 100, 50}, {0x83, 200, 50}});
    EXPECT_TRUE(AbsDiskSelectVolume(AbsDiskParseMbr(sector.data(), 512), 1, 1000));
}

TEST(AbsDiskMbr, SaysWhyNoVolumeWasChosen) {
    auto sector = MbrSector({{0x05, 100, 50}, {}, {0x83, 900, 200}});
    TAbsDiskMbr mbr = AbsDiskParseMbr(sector.data(), sector.size());
    TAbsDiskCause why = TAbsDiskCause::None;
    AbsDiskSelectVolume(mbr, 2, 1000, &why);
    EXPECT_EQ(why, TAbsDiskCause::EmptySlot);
    AbsDiskSelectVolume(mbr, 1, 1000, &why);
    EXPECT_EQ(why, TAbsDiskCause::UnusableEntry) << "extended container";
    AbsDiskSelectVolume(mbr, 3, 1000, &why);
    EXPECT_EQ(why, TAbsDiskCause::UnusableEntry) << "past the disk's end";
    AbsDiskSelectVolume(TAbsDiskMbr{}, 0, 1000, &why);
    EXPECT_EQ(why, TAbsDiskCause::NoPartitionTable);
    auto onlyExtended = MbrSector({{0x0F, 100, 50}});
    AbsDiskSelectVolume(AbsDiskParseMbr(onlyExtended.data(), 512), 0, 1000, &why);
    EXPECT_EQ(why, TAbsDiskCause::NoVolume);
}
