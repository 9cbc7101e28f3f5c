// The INI engine at sizes where fixed buckets and one mapping per block used to bite: the
// bucket table grows with the item count without changing any result, and string-table blocks
// come from a few larger mappings.
#include "XVclUtil/TempDir.h"
#include "XVclUtil/ini/StrTabBlockPool.h"
#include "XVclUtil/ini/TXHashedStringList.h"
#include "XVclUtil/ini/TXIniFile.h"

#include <algorithm>
#include <cstdint>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>

using namespace XVclUtil;

namespace {
int LongestChain(TXHashedStringList& list) {
    int longest = 0;
    for (int b = 0; b < list.BucketCount; ++b) {
        int n = 0;
        for (auto* c = list.BucketHead(b); c; c = list.NextItem(c)) ++n;
        longest = std::max(longest, n);
    }
    return longest;
}
} // namespace

TEST(IniEngineScale, BlocksComeFromFewMappingsAndAreReused) {
    TStrTabBlockPool pool;
    std::set<void*> blocks;
    for (int i = 0; i < 600; ++i) {
        auto* b = static_cast<unsigned char*>(pool.Take());
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(b) % TStrTabBlockPool::BlockBytes, 0u);
        EXPECT_EQ(b[0] | b[TStrTabBlockPool::BlockBytes - 1], 0);
        b[0] = b[TStrTabBlockPool::BlockBytes - 1] = 0xAA; // dirty it for the reuse check
        blocks.insert(b);
    }
    EXPECT_EQ(blocks.size(), 600u);
    EXPECT_EQ(pool.MappingCount(), 7u); // 8 + 16 + ... + 128 blocks, then 2 MB (256) at a time
    void* given = *blocks.begin();
    pool.Give(given);
    auto* again = static_cast<unsigned char*>(pool.Take());
    EXPECT_EQ(again, given);
    EXPECT_EQ(again[0] | again[TStrTabBlockPool::BlockBytes - 1], 0); // zero-filled again
    pool.ReleaseAll();
    EXPECT_EQ(pool.MappingCount(), 0u);

    // The table gives its mappings back once it holds no string.
    TXStrTab t;
    std::vector<_XSTRTABCELL*> strings;
    for (int i = 0; i < 20000; ++i)
        strings.push_back(t.Add(("string " + std::to_string(i)).c_str()));
    EXPECT_GT(t.BlockCount, 70u);
    for (auto* s : strings) ASSERT_TRUE(t.Delete(s));
    EXPECT_EQ(t.BlockCount, 0u);
    EXPECT_NE(t.Add("fresh"), nullptr);
}

TEST(IniEngineScale, BucketTableGrowsWithoutChangingResults) {
    TXStrTab t;
    TXHashedStringList list(&t);
    EXPECT_EQ(list.BucketCount, TXHashedStringList::InitialBucketCount);
    const int n = 40000;
    for (int i = 0; i < n; ++i) ASSERT_EQ(list.Add(("key" + std::to_string(i)).c_str()), i);
    EXPECT_GE(list.BucketCount, n * TXHashedStringList::BucketsPerItem);
    EXPECT_EQ(list.BucketCount & (list.BucketCount - 1), 0);
    EXPECT_LE(LongestChain(list), 16);
    // The bucket is still the low bits of the unchanged key.
    const std::uint64_t key = TXHashedStringList::StrToHashKey("key123", nullptr);
    const auto bucket = static_cast<std::uint32_t>(key) & (list.BucketCount - 1);
    bool inBucket = false;
    for (auto* c = list.BucketHead(static_cast<int>(bucket)); c; c = list.NextItem(c))
        inBucket |= c->Index == 123;
    EXPECT_TRUE(inBucket);

    ASSERT_TRUE(list.Delete(5));
    EXPECT_EQ(list.IndexOf("key5"), -1);
    for (int i = 997; i < n; i += 997) // later items moved down by one
        EXPECT_EQ(list.IndexOf(("key" + std::to_string(i)).c_str()), i - 1);
    EXPECT_EQ(list.pr_Strings(n - 2), "key" + std::to_string(n - 1));
    EXPECT_EQ(list.Add("key6"), 5); // present: the existing index, no new item
    EXPECT_EQ(list.Count, n - 1);

    list.DeleteAll();
    EXPECT_EQ(list.BucketCount, TXHashedStringList::InitialBucketCount);
    EXPECT_EQ(list.Add("again"), 0);
    EXPECT_EQ(list.IndexOf("again"), 0);
}

TEST(IniEngineScale, NewRecordFollowsTheObjectStoredJustBefore) {
    TXStrTab t;
    TXHashedStringList list(&t);
    for (int i = 0; i < 600; ++i) { // several blocks of 85 (value, record, name) triples
        _XSTRTABCELL* value = t.Add(("value " + std::to_string(i)).c_str());
        const std::string key = "key " + std::to_string(i);
        ASSERT_EQ(list.Add(key.c_str(), value), i);
        _XHASHEDSTRINGLISTCELL* item = list.FindItem(key.c_str());
        EXPECT_EQ(reinterpret_cast<char*>(item) - reinterpret_cast<char*>(value),
                  static_cast<std::ptrdiff_t>(sizeof(_XSTRTABCELL)));
        EXPECT_EQ(list.pr_Strings(i), key);
        EXPECT_EQ(item->Object, value);
    }
}

TEST(IniEngineScale, ManySectionsAndKeysRoundTrip) {
    TTempDir dir;
    const std::string path = dir.File("big.ini");
    std::string text;
    for (int s = 0; s < 3000; ++s) {
        text += "[sec" + std::to_string(s) + "]\r\n";
        for (int k = 0; k < 3; ++k)
            text += "k" + std::to_string(k) + "=" + std::to_string(s * 3 + k) + "\r\n";
        text += "\r\n";
    }
    for (int k = 0; k < 5000; ++k)
        text += "k" + std::to_string(k) + "=" + std::to_string(k) + "\r\n";
    TTempDir::Write(path, text + "[sec1]\r\nk0=again\r\n");
    {
        TXIniFile ini(path);
        EXPECT_EQ(ini.SectionNames().size(), 3000u);
        EXPECT_EQ(ini.KeyNames("sec2999").size(), 5000u);
        EXPECT_EQ(ini.ReadString("sec2999", "k4999", ""), "4999");
        EXPECT_EQ(ini.ReadString("sec2999", "k1", ""), "1"); // the later line wins, in place
        EXPECT_EQ(ini.KeyNames("sec2999")[1], "k1");
        EXPECT_EQ(ini.ReadString("sec1", "k0", ""), "again");
        EXPECT_EQ(ini.ReadString("sec1234", "k2", ""), std::to_string(1234 * 3 + 2));
        ini.EraseSection("sec1234");
        EXPECT_FALSE(ini.SectionExists("sec1234"));
        EXPECT_EQ(ini.ReadString("sec1235", "k0", ""), std::to_string(1235 * 3));
        ini.WriteString("sec1234", "k0", "back");
        EXPECT_EQ(ini.SectionNames().back(), "sec1234");
        ini.pw_FileName(path);
    }
    TXIniFile again(path);
    EXPECT_EQ(again.SectionNames().size(), 3000u);
    EXPECT_EQ(again.ReadString("sec1234", "k0", ""), "back");
    EXPECT_EQ(again.ReadString("sec0", "k2", ""), "2");
}

TEST(IniEngineScale, LargeBucketArraysGrowEmptyAndGrowAgain) {
    TXStrTab t;
    TXHashedStringList list(&t);
    for (const int n : {3000, 6000}) { // both past 2,048 buckets, where the arrays are mapped
        for (int i = 0; i < n; ++i) ASSERT_EQ(list.Add(("k" + std::to_string(i)).c_str()), i);
        EXPECT_GE(list.BucketCount, 2048);
        for (int i = 0; i < n; i += 7)
            ASSERT_EQ(list.IndexOf(("k" + std::to_string(i)).c_str()), i);
        EXPECT_EQ(list.IndexOf("absent"), -1);
        list.DeleteAll();
        EXPECT_EQ(list.BucketCount, TXHashedStringList::InitialBucketCount);
        EXPECT_EQ(list.IndexOf("k0"), -1);
    }
}

TEST(IniEngineScale, InOrderHintNeverChangesWhatIsFound) {
    TXStrTab t;
    TXHashedStringList list(&t);
    for (int i = 0; i < 10; ++i) list.Add(("k" + std::to_string(i)).c_str());
    for (const int hint : {-5, 0, 3, 8, 9, 42}) { // neighbour, wrong neighbour, past the end
        EXPECT_EQ(list.FindItem("k4", hint)->Index, 4);
        EXPECT_EQ(list.FindItem("absent", hint), nullptr);
    }

    TTempDir dir;
    TXIniFile ini(dir.File("order.ini"));
    for (int k = 0; k < 6; ++k) ini.WriteInteger("S", "k" + std::to_string(k), k);
    ini.WriteInteger("T", "k0", 100);
    for (int k = 0; k < 6; ++k) EXPECT_EQ(ini.ReadInteger("S", "k" + std::to_string(k), -1), k);
    ini.DeleteKey("S", "k3"); // the keys after it move down while reading in order
    for (const int k : {0, 1, 2, 4, 5, 3})
        EXPECT_EQ(ini.ReadInteger("S", "k" + std::to_string(k), -1), k == 3 ? -1 : k);
    EXPECT_EQ(ini.ReadInteger("T", "k0", -1), 100);
    EXPECT_EQ(ini.ReadInteger("S", "k1", -1), 1);
}

TEST(IniEngineScale, SavedLinesKeepLongestKeyAndValue) {
    TTempDir dir;
    const std::string path = dir.File("long.ini");
    const std::string key(TXHashedStringList::MaxStringBytes, 'k');
    {
        TXIniFile ini(path);
        ini.WriteString("S", key, std::string(8191, 'v')); // the longest value that is saved
        ini.WriteString("S", "over", std::string(8192, 'o'));
    }
    EXPECT_EQ(TTempDir::Read(path),
              "[S]\r\n" + key + "=" + std::string(8191, 'v') + "\r\nover=\r\n\r\n");

    // Lines are put together in batches: long and short lines across many batches come out
    // exactly as written, in order, with the longest section names too.
    std::string expected;
    {
        TXIniFile ini(path);
        for (char s = 'a'; s <= 'd'; ++s) {
            const std::string section(TXHashedStringList::MaxStringBytes - 1, 'N');
            expected += "[" + section + s + "]\r\n";
            for (char k = 'a'; k <= 'e'; ++k) {
                const std::string longKey = std::string(255, s) + k;
                const std::string value(k == 'c' ? 7 : 8191 - (k - 'a'), k);
                ini.WriteString(section + s, longKey, value);
                ini.WriteString(section + s, std::string(1, k), std::string(1, s));
                expected += longKey + "=" + value + "\r\n" + k + "=" + s + "\r\n";
            }
            expected += "\r\n";
        }
        ini.EraseSection("S");
    }
    EXPECT_EQ(TTempDir::Read(path), expected);
}
