#include "XVclUtil/ini/TXStrTab.h"
#include "XVclUtil/EXGeneral.h"
#include "XVclUtil/MessageBox.h"
#include "XVclUtil/ini/TXHashedStringList.h"

#include <cstring>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

using namespace XVclUtil;

namespace {
unsigned ChainCells(TXStrTab& t, const _XSTRTABCELL* h) {
    unsigned n = 0;
    for (const _XSTRTABCELL* c = h; c; c = t.NextCell(c)) ++n;
    return n;
}
std::string Read(TXStrTab& t, const _XSTRTABCELL* h) {
    std::vector<char> buf(t.Length(h) + 1);
    EXPECT_TRUE(t.Get(h, buf.data()));
    return std::string(buf.data());
}
} // namespace

TEST(TXStrTab, CellCountsFollowTheTwentySevenByteRule) {
    TXStrTab t;
    EXPECT_EQ(t.Add("x", 0), nullptr);
    EXPECT_EQ(t.Add(nullptr), nullptr);
    EXPECT_EQ(t.Add(""), nullptr);
    std::string s27(27, 'a'), s28(28, 'b');
    _XSTRTABCELL* a = t.Add(s27.c_str());
    _XSTRTABCELL* b = t.Add(s28.c_str());
    EXPECT_EQ(ChainCells(t, a), 1u);
    ASSERT_EQ(ChainCells(t, b), 2u);
    EXPECT_EQ(b->Size, 27);
    EXPECT_EQ(t.NextCell(b)->Size, 1);
    EXPECT_EQ(t.BlockCount, 1u);
    EXPECT_EQ(t.FreeCellCount, 255u - 3);
    EXPECT_EQ(t.StringCount, 2u);
    EXPECT_EQ(Read(t, b), s28);
}

TEST(TXStrTab, BoundedGetAndReportedLength) {
    TXStrTab t;
    _XSTRTABCELL* h = t.Add("hello");
    char buf[16];
    unsigned len = 99;
    EXPECT_FALSE(t.Get(h, buf, 5, &len));
    EXPECT_TRUE(t.Get(h, buf, 6, &len));
    EXPECT_STREQ(buf, "hello");
    EXPECT_EQ(len, 5u);
    EXPECT_TRUE(t.Get(h, buf, 0, &len));
    EXPECT_EQ(len, 0u); // the length is only counted with a bound
}

TEST(TXStrTab, CompareIsPrefixMatch) {
    TXStrTab t;
    _XSTRTABCELL* h = t.Add("abc");
    EXPECT_TRUE(t.Compare(h, "abcd"));
    EXPECT_TRUE(t.Compare(h, "abc"));
    EXPECT_FALSE(t.Compare(h, "ab"));
    EXPECT_FALSE(t.Compare(h, nullptr));
}

TEST(TXStrTab, DeletingTheLastStringReleasesTheBlock) {
    TXStrTab t;
    _XSTRTABCELL* h = t.Add("only");
    EXPECT_TRUE(t.Delete(h));
    EXPECT_EQ(t.BlockCount, 0u);
    EXPECT_EQ(t.StringCount, 0u);
    EXPECT_EQ(t.FreeCellCount, 0u);
    char buf[8];
    EXPECT_FALSE(t.Get(h, buf));
    EXPECT_FALSE(t.Delete(h));
}

TEST(TXStrTab, ForeignReferencesAreRefused) {
    TXStrTab a, b;
    _XSTRTABCELL* ha = a.Add("mine");
    b.Add("other");
    char buf[8];
    EXPECT_FALSE(b.Get(ha, buf));
    EXPECT_FALSE(b.Compare(ha, "mine"));
    EXPECT_FALSE(b.Delete(ha));
    EXPECT_EQ(a.StringCount, 1u);
}

TEST(TXStrTab, SmallRecords) {
    TXStrTab t;
    EXPECT_EQ(t.malloc(0), nullptr);
    EXPECT_EQ(t.malloc(29), nullptr);
    auto* r = static_cast<unsigned char*>(t.malloc(28));
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r[0], 1);
    EXPECT_EQ(r[1], 0);
    EXPECT_EQ(t.StringCount, 1u);
    std::memset(r + 1, 0x55, 27); // the payload after the size byte is the caller's
    EXPECT_TRUE(t.free(r));
    EXPECT_EQ(t.StringCount, 0u);
    EXPECT_EQ(t.BlockCount, 0u);
}

TEST(TXStrTab, StringsLongerThanOneBlockGetEnoughBlocks) {
    TXStrTab t;
    std::string big(100000, '\0');
    for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>('a' + i % 26);
    _XSTRTABCELL* h = t.Add(big.data(), static_cast<unsigned>(big.size()));
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(Read(t, h), big);
    EXPECT_EQ(ChainCells(t, h), (big.size() + 26) / 27);
    EXPECT_TRUE(t.Delete(h));
    EXPECT_EQ(t.BlockCount, 0u);
}

// Random adds and deletes keep the counters' invariants and every string intact.
TEST(TXStrTab, ChurnKeepsInvariants) {
    TXStrTab t;
    std::mt19937 rng(7);
    std::vector<std::pair<_XSTRTABCELL*, std::string>> live;
    for (int step = 0; step < 20000; ++step) {
        if (live.empty() || rng() % 3 != 0) {
            std::string s(1 + rng() % 120, 'x');
            for (char& c : s) c = static_cast<char>(rng() % 255 + 1);
            live.emplace_back(t.Add(s.c_str()), s);
        } else {
            std::size_t i = rng() % live.size();
            ASSERT_TRUE(t.Delete(live[i].first));
            live.erase(live.begin() + static_cast<long>(i));
        }
    }
    EXPECT_EQ(t.StringCount, live.size());
    std::size_t cells = 0;
    for (auto& [h, s] : live) {
        ASSERT_EQ(Read(t, h), s);
        cells += ChainCells(t, h);
    }
    EXPECT_EQ(t.BlockCount * 255u - t.FreeCellCount, cells);
    EXPECT_LE(t.FreeBlockCount, t.BlockCount);
    for (auto& entry : live) t.Delete(entry.first);
    EXPECT_EQ(t.BlockCount, 0u);
}

TEST(TXHashedStringList, HashKeyWorkedValues) {
    unsigned len = 0;
    std::uint64_t a = TXHashedStringList::StrToHashKey("a", &len);
    EXPECT_EQ(a >> 32, 0x10000003u);
    EXPECT_EQ(a & 0xFFFFFFFF, 0x7FFFFCE7u);
    EXPECT_EQ(len, 1u);
    std::uint64_t abc = TXHashedStringList::StrToHashKey("abc", &len);
    EXPECT_EQ(abc >> 32, 0x3D83FF29u);
    EXPECT_EQ(abc & 0xFFFFFFFF, 0xF3DF2A68u);
    EXPECT_EQ((abc & 0xFFFFFFFF) & 127, 104u);
    EXPECT_EQ(TXHashedStringList::StrToHashKey("", &len), 0u);
    EXPECT_EQ(len, 0u);
    EXPECT_EQ(TXHashedStringList::StrToHashKey(nullptr, nullptr), 0u);
}

TEST(TXHashedStringList, AddLimitsAndReplace) {
    TXStrTab t;
    TXHashedStringList list(&t);
    EXPECT_EQ(list.Add(""), -1);
    EXPECT_EQ(list.Add(nullptr), -1);
    EXPECT_EQ(list.Add(std::string(257, 'k').c_str()), -1);
    EXPECT_EQ(list.Add(std::string(256, 'k').c_str()), 0);

    std::vector<std::pair<int, void*>> replaced;
    TXHashedStringListEvents events;
    events.OnReplace = [&](void* sender, int index) {
        EXPECT_EQ(sender, &list);
        replaced.emplace_back(index, list.pr_Objects(index)); // still the old object
    };
    list.Events = &events;
    int one = 1, two = 2;
    EXPECT_EQ(list.Add("Alpha", &one), 1);
    EXPECT_EQ(list.Add("Alpha", &two), 1);
    ASSERT_EQ(replaced.size(), 1u);
    EXPECT_EQ(replaced[0], std::make_pair(1, static_cast<void*>(&one)));
    EXPECT_EQ(list.pr_Objects(1), &two);
    EXPECT_EQ(list.Count, 2);
    EXPECT_EQ(list.Add("alpha"), 2);
    EXPECT_EQ(list.IndexOf("Alpha"), 1);
    EXPECT_EQ(list.IndexOf("beta"), -1);
    EXPECT_EQ(list.pr_Strings(2), "alpha");
}

TEST(TXHashedStringList, DeleteRenumbersAndNotifiesFirst) {
    std::vector<std::string> deleted; // outlives the list, whose destructor still notifies
    TXHashedStringListEvents events;
    TXStrTab t;
    TXHashedStringList list(&t);
    list.Add("A");
    list.Add("B");
    list.Add("C");
    events.OnDelete = [&](void*, int index) { deleted.push_back(list.pr_Strings(index)); };
    list.Events = &events;
    EXPECT_TRUE(list.Delete(0));
    EXPECT_EQ(deleted, std::vector<std::string>{"A"});
    EXPECT_EQ(list.IndexOf("B"), 0);
    EXPECT_EQ(list.IndexOf("C"), 1);
    EXPECT_EQ(list.IndexOf("A"), -1);
    EXPECT_FALSE(list.Delete(2));
    EXPECT_FALSE(list.Delete(-1));
    list.DeleteAll();
    EXPECT_EQ(deleted.size(), 3u);
    EXPECT_EQ(list.Count, 0);
    EXPECT_EQ(t.StringCount, 0u);
    EXPECT_EQ(list.Add("again"), 0); // usable after DeleteAll
}

TEST(TXHashedStringList, IndexErrorsAndReadOnlyStrings) {
    TXStrTab t;
    TXHashedStringList list(&t);
    list.Add("x");
    try {
        list.pr_Strings(list.Count);
        FAIL();
    } catch (const EXGeneral& e) {
        EXPECT_EQ(e.Message, "TXHashedStringList: Invalid Index for Strings[1]");
    }
    try {
        list.pw_Objects(-1, nullptr);
        FAIL();
    } catch (const EXGeneral& e) {
        EXPECT_EQ(e.Message, "TXHashedStringList: Invalid Index for Objects[-1]");
    }
    EXPECT_THROW(list.pw_Strings(0, "y"), EXGeneral);
}

TEST(TXHashedStringList, NullTableIsReported) {
    TMessageCapture capture;
    TXHashedStringList list(nullptr);
    ASSERT_EQ(capture.Messages.size(), 1u);
    EXPECT_EQ(capture.Messages[0].first, "TXHashedStringList");
    EXPECT_EQ(capture.Messages[0].second, "Err: The user specified TXStrTab* is NULL !!!");
    EXPECT_EQ(list.Add("x"), -1);
}

// The index table starts in the object and doubles; it halves once a quarter full, so one item
// added and deleted at a boundary does not resize it each time.
TEST(TXHashedStringList, IndexTableGrowsAndShrinksGeometrically) {
    TXStrTab t;
    TXHashedStringList list(&t);
    EXPECT_EQ(list.ListTabSize, TXHashedStringList::InitialListSize);
    for (int i = 0; i < 1025; ++i) ASSERT_EQ(list.Add(("k" + std::to_string(i)).c_str()), i);
    EXPECT_EQ(list.ListTabSize, 2048);
    list.Delete(list.Count - 1);
    EXPECT_EQ(list.ListTabSize, 2048);
    while (list.Count > 512) list.Delete(list.Count - 1);
    EXPECT_EQ(list.ListTabSize, 1024);
    for (int i = 0; i < 512; ++i) ASSERT_EQ(list.IndexOf(("k" + std::to_string(i)).c_str()), i);
    while (list.Count > 1) list.Delete(0);
    EXPECT_EQ(list.ListTabSize, 2); // one item is more than a quarter of two entries
    EXPECT_EQ(list.pr_Strings(0), "k511");
    list.DeleteAll();
    EXPECT_EQ(list.ListTabSize, TXHashedStringList::InitialListSize);
    EXPECT_EQ(list.Add("again"), 0);
}

// Two names with the same 64-bit key are two items: adding, finding, replacing and deleting one
// leaves the other as it is, in either order of adding.
TEST(TXHashedStringList, NamesSharingAKeyStayApart) {
    const char* a = "_yoOABAiIlF";
    const char* b = "D6DqpRv1JaG";
    ASSERT_EQ(TXHashedStringList::StrToHashKey(a, nullptr), 0x5291198fb55b59a2u);
    ASSERT_EQ(TXHashedStringList::StrToHashKey(b, nullptr), 0x5291198fb55b59a2u);
    for (const auto& [first, second] : {std::pair{a, b}, std::pair{b, a}}) {
        TXStrTab t;
        TXHashedStringList list(&t);
        int one = 1, two = 2, three = 3;
        EXPECT_EQ(list.Add(first, &one), 0);
        EXPECT_EQ(list.IndexOf(second), -1);
        EXPECT_EQ(list.FindItem(second), nullptr);
        EXPECT_EQ(list.Add(second, &two), 1);
        EXPECT_EQ(list.Add(second, &three), 1);
        EXPECT_EQ(list.pr_Objects(0), &one);
        EXPECT_EQ(list.pr_Objects(1), &three);
        EXPECT_EQ(list.FindItem(first, -1)->Object, &one);
        EXPECT_EQ(list.FindItem(second, 0)->Object, &three); // the in-order hint
        EXPECT_EQ(list.FindItem(first, 0)->Object, &one);
        EXPECT_TRUE(list.Delete(0));
        EXPECT_EQ(list.IndexOf(first), -1);
        EXPECT_EQ(list.IndexOf(second), 0);
        EXPECT_EQ(list.pr_Strings(0), second);
    }
}
