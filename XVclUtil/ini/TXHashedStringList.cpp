#include "TXHashedStringList.h"

#include "PageMapping.h"

#include "XVclUtil/EXGeneral.h"
#include "XVclUtil/MessageBox.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>

namespace XVclUtil {

namespace {

std::uint32_t Ror(std::uint32_t v, int n) {
    return (v >> n) | (v << (32 - n));
}
std::uint32_t Rol(std::uint32_t v, int n) {
    return (v << n) | (v >> (32 - n));
}

std::uint32_t KeyLowOf(std::uint64_t key) {
    return static_cast<std::uint32_t>(key);
}
std::uint32_t KeyHighOf(std::uint64_t key) {
    return static_cast<std::uint32_t>(key >> 32);
}

// Bucket arrays of 8 KB (2,048 buckets) or more are mapped pages. Growing one remaps it, so the
// old and the new array never take memory side by side, and a freed one goes back to the system
// at once; the heap would keep the holes that an array doubling in steps leaves behind.
constexpr std::size_t MappedBucketBytes = 8192;

void FreeBuckets(void* p, std::size_t bytes) {
    if (bytes >= MappedBucketBytes)
        XUnmapPages(p, bytes);
    else
        std::free(p);
}

// The array resized to bytes, contents unspecified; null (the old array kept) on failure.
void* ResizeBuckets(void* old, std::size_t oldBytes, std::size_t bytes) {
    if (bytes < MappedBucketBytes) {
        void* fresh = std::malloc(bytes);
        if (fresh != nullptr && old != nullptr) FreeBuckets(old, oldBytes);
        return fresh;
    }
    void* fresh =
        oldBytes >= MappedBucketBytes ? XRemapPages(old, oldBytes, bytes) : XMapPages(bytes);
    if (fresh == nullptr) return nullptr;
    if (oldBytes < MappedBucketBytes) std::free(old);
    return fresh;
}

} // namespace

TXHashedStringList::TXHashedStringList(TXStrTab* strTab) : StrTab(strTab) {
    if (StrTab == nullptr) {
        HashTab = nullptr; // an unusable list: every call refuses
        ShowErrMsgBox_Printf("TXHashedStringList", "Err: The user specified TXStrTab* is NULL !!!");
    }
}

TXHashedStringList::~TXHashedStringList() {
    if (StrTab && HashTab) DeleteAll();
    if (HashTab != SmallHashTab && HashTab != nullptr)
        FreeBuckets(HashTab, sizeof(*HashTab) * BucketCount);
    if (ListTab != SmallListTab) std::free(ListTab);
}

std::uint64_t TXHashedStringList::StrToHashKey(const char* s, unsigned int* len) {
    if (s == nullptr || *s == '\0') {
        if (len) *len = 0;
        return 0;
    }
    std::uint32_t h1 = 0, h2 = 0, i = 0;
    for (; *s; ++s) {
        const auto c =
            static_cast<std::uint32_t>(static_cast<std::int32_t>(static_cast<signed char>(*s)));
        ++i;
        h2 = Ror(h2 + ((i ^ h1) + c), 5);
        h1 = Rol(h1 - (h2 + c), 3);
    }
    if (len) *len = i;
    return (static_cast<std::uint64_t>(h2 | 1) << 32) | h1;
}

// True when c's string is the len bytes at s. Two names can share a 64-bit key
// ("_yoOABAiIlF" and "D6DqpRv1JaG" do), so a key match alone does not identify an item. The
// name usually sits in the cell after the record, taken just after it.
bool TXHashedStringList::HoldsName(const _XHASHEDSTRINGLISTCELL* c, const char* s,
                                   unsigned int len) const {
    for (const _XSTRTABCELL* cell = StrOf(c); cell; cell = StrTab->NextCell(cell)) {
        const unsigned int size = cell->Size & 0x7F;
        if (size > len || std::memcmp(cell->Chars, s, size) != 0) return false;
        s += size;
        len -= size;
    }
    return len == 0;
}

// Walks the bucket of key for the item holding s; the last item seen goes to *last, so that a
// new item can be appended at the chain's tail.
_XHASHEDSTRINGLISTCELL* TXHashedStringList::Find(std::uint64_t key, const char* s, unsigned int len,
                                                 _XHASHEDSTRINGLISTCELL** last) {
    _XHASHEDSTRINGLISTCELL* seen = nullptr;
    for (_XHASHEDSTRINGLISTCELL* c = ItemAt(Bucket(KeyLowOf(key))); c; c = NextItem(c)) {
        seen = c;
        if (Matches(c, key, s, len)) return c;
    }
    if (last) *last = seen;
    return nullptr;
}

int TXHashedStringList::Add(const char* s, void* obj) {
    unsigned int len;
    const std::uint64_t key = StrToHashKey(s, &len);
    if (key == 0 || len > MaxStringBytes || HashTab == nullptr) return -1;
    _XHASHEDSTRINGLISTCELL* last = nullptr;
    if (_XHASHEDSTRINGLISTCELL* match = Find(key, s, len, &last)) {
        const int index = match->Index;
        Notify(&TXHashedStringListEvents::OnReplace, index);
        match->Object = obj;
        return index;
    }
    if (!GrowupListTab()) return -1;
    const int index = Count;
    // The record is taken before the string: a value its owner stored just before then lies
    // beside the record, often in the same cache line, while the string (read only to list or
    // save the names) goes behind.
    _XHASHEDSTRINGLISTCELL* c = AllocateCell();
    if (c == nullptr) return -1;
    _XSTRTABCELL* str = nullptr;
    try {
        str = StrTab->Add(s, len);
    } catch (...) {
        ReleaseCell(c);
        throw;
    }
    if (str == nullptr) {
        ReleaseCell(c);
        return -1;
    }
    c->KeyLow = KeyLowOf(key);
    c->KeyHigh = KeyHighOf(key);
    c->Str = StrTab->RefOf(str);
    c->Object = obj;
    c->Index = index;
    if (last)
        last->Next = RefOf(c);
    else
        Bucket(c->KeyLow) = RefOf(c);
    ListTab[index] = RefOf(c);
    ++Count;
    if (Count * BucketsPerItem > BucketCount) Rehash(BucketCount * 2);
    return index;
}

void TXHashedStringList::LinkAtHead(_XHASHEDSTRINGLISTCELL* c, TXCellRef& head) {
    c->Next = head;
    head = RefOf(c);
}

// Spreads the items over a resized bucket array. Linking them at the chain heads from the last
// index down leaves every chain in index order, which is the order a chain has from appending.
// Without memory for the new size the list keeps its longer chains and still works.
void TXHashedStringList::Rehash(int buckets) {
    const bool small = HashTab == SmallHashTab;
    void* resized =
        buckets == InitialBucketCount
            ? SmallHashTab
            : ResizeBuckets(small ? nullptr : HashTab, small ? 0 : sizeof(*HashTab) * BucketCount,
                            sizeof(*HashTab) * buckets);
    if (resized == nullptr) return;
    if (resized == SmallHashTab && !small) FreeBuckets(HashTab, sizeof(*HashTab) * BucketCount);
    HashTab = static_cast<TXCellRef*>(resized);
    BucketCount = buckets;
    std::memset(HashTab, 0, sizeof(*HashTab) * buckets);
    for (int i = Count - 1; i >= 0; --i) {
        _XHASHEDSTRINGLISTCELL* c = Item(i);
        LinkAtHead(c, Bucket(c->KeyLow));
    }
}

int TXHashedStringList::IndexOf(const char* s) {
    _XHASHEDSTRINGLISTCELL* match = FindItem(s);
    return match ? match->Index : -1;
}

_XHASHEDSTRINGLISTCELL* TXHashedStringList::FindItemByKey(std::uint64_t key, const char* s,
                                                          unsigned int len, int after) {
    if (key == 0 || HashTab == nullptr) return nullptr;
    if (after >= 0 && after < Count - 1) {
        _XHASHEDSTRINGLISTCELL* next = Item(after + 1);
        if (Matches(next, key, s, len)) return next;
    }
    return Find(key, s, len, nullptr);
}

// The chain is singly linked: find the predecessor by walking the bucket.
void TXHashedStringList::Unlink(_XHASHEDSTRINGLISTCELL* c) {
    TXCellRef& head = Bucket(c->KeyLow);
    if (ItemAt(head) == c) {
        head = c->Next;
        return;
    }
    for (_XHASHEDSTRINGLISTCELL* p = ItemAt(head); p; p = NextItem(p))
        if (NextItem(p) == c) {
            p->Next = c->Next;
            return;
        }
}

bool TXHashedStringList::Delete(int index) {
    if (index < 0 || index >= Count) return false;
    Notify(&TXHashedStringListEvents::OnDelete, index);
    _XHASHEDSTRINGLISTCELL* c = Item(index);
    StrTab->Delete(StrOf(c));
    Unlink(c);
    ReleaseCell(c);
    for (int i = index + 1; i < Count; ++i) {
        ListTab[i - 1] = ListTab[i];
        Item(i - 1)->Index = i - 1;
    }
    --Count;
    ShrinkListTab();
    return true;
}

bool TXHashedStringList::DeleteAll() {
    for (int i = 0; i < Count; ++i) {
        Notify(&TXHashedStringListEvents::OnDelete, i);
        _XHASHEDSTRINGLISTCELL* c = Item(i);
        StrTab->Delete(StrOf(c));
        ReleaseCell(c);
    }
    Count = 0;
    ResizeListTab(InitialListSize);
    if (HashTab && BucketCount > InitialBucketCount) Rehash(InitialBucketCount); // Count is 0
    if (HashTab) std::memset(HashTab, 0, sizeof(*HashTab) * BucketCount);
    return true;
}

// The index table moves between the object's own entries and the heap; false (the table kept)
// when the heap refuses.
bool TXHashedStringList::ResizeListTab(std::int32_t entries) {
    TXCellRef* resized = SmallListTab;
    if (entries > InitialListSize) {
        const bool small = ListTab == SmallListTab;
        void* grown = std::realloc(small ? nullptr : ListTab, sizeof(*ListTab) * entries);
        if (grown == nullptr) return false;
        resized = static_cast<TXCellRef*>(grown);
        if (small) std::memcpy(resized, SmallListTab, sizeof(*ListTab) * Count);
    } else if (ListTab != SmallListTab) {
        std::memcpy(SmallListTab, ListTab, sizeof(*ListTab) * Count);
        std::free(ListTab);
    }
    ListTab = resized;
    ListTabSize = entries;
    return true;
}

// Doubling keeps the cost of adding n items linear while a list of one item stays small.
bool TXHashedStringList::GrowupListTab() {
    if (Count < ListTabSize) return true;
    if (ListTabSize > INT32_MAX / 2) return false;
    return ResizeListTab(ListTabSize * 2);
}

// Halves the table once it is no more than a quarter full, so that a list alternating between
// adding and deleting one item does not resize each time.
void TXHashedStringList::ShrinkListTab() {
    if (ListTabSize <= InitialListSize || Count > ListTabSize / 4) return;
    ResizeListTab(ListTabSize / 2);
}

// A record is the payload of a one-cell string; the record struct overlays the whole cell.
_XHASHEDSTRINGLISTCELL* TXHashedStringList::AllocateCell() {
    void* payload = StrTab->malloc(TXStrTab::RecordBytes);
    if (payload == nullptr) return nullptr;
    std::memset(payload, 0, TXStrTab::RecordBytes);
    return reinterpret_cast<_XHASHEDSTRINGLISTCELL*>(static_cast<char*>(payload) -
                                                     offsetof(_XSTRTABCELL, Size));
}

bool TXHashedStringList::ReleaseCell(_XHASHEDSTRINGLISTCELL* c) {
    if (c == nullptr) return false;
    return StrTab->free(&reinterpret_cast<_XSTRTABCELL*>(c)->Size);
}

void TXHashedStringList::CheckIndex(int i, const char* what) const {
    if (i < 0 || i >= Count)
        throw EXGeneral("TXHashedStringList: Invalid Index for %s[%d]", what, i);
}

std::string TXHashedStringList::pr_Strings(int i) {
    CheckIndex(i, "Strings");
    char buf[MaxStringBytes + 8];
    unsigned int len = 0;
    if (!StrTab->Get(StrOf(Item(i)), buf, sizeof buf, &len)) return std::string();
    return std::string(buf, len);
}

void TXHashedStringList::pw_Strings(int, const std::string&) {
    throw EXGeneral("TXHashedStringList: Strings[ ] is read only");
}

void* TXHashedStringList::pr_Objects(int i) {
    CheckIndex(i, "Objects");
    return Item(i)->Object;
}

void TXHashedStringList::pw_Objects(int i, void* obj) {
    CheckIndex(i, "Objects");
    Item(i)->Object = obj;
}

_XSTRTABCELL* TXHashedStringList::StrCell(int i) {
    CheckIndex(i, "Strings");
    return StrOf(Item(i));
}

} // namespace XVclUtil
