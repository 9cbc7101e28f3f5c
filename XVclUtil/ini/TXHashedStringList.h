#pragma once
// Ordered list of distinct strings, each with an object pointer, found by a 64-bit hash key
// spread over a few buckets, more as the list grows (at least two buckets per item); two names
// with the same key stay two items. Strings live in a caller-owned TXStrTab. A list of one item
// takes no memory beyond its own object and its records: a document of many small sections
// holds one list per section.

#include "TXStrTab.h"

#include <cstdint>
#include <functional>
#include <string>

namespace XVclUtil {

class TXHashedStringList;

// (Sender, Index); an unassigned callback is skipped.
using TXHashedStringListNotifyEvent = std::function<void(void* Sender, int Index)>;

// The callbacks of a list, kept by its owner: lists of the same owner share one record, so a
// list costs one pointer for them instead of two callbacks each.
struct TXHashedStringListEvents {
    TXHashedStringListNotifyEvent OnReplace; // a string already present was added again
    TXHashedStringListNotifyEvent OnDelete;  // just before an item is removed
};

// Item record, taken from the string table as one 28-byte record (one cell). With 64-bit
// pointers the links and the string reference are 32-bit cell references of the table, and the
// bucket chain is singly linked, so the record still fits one cell. The first word is the
// cell's own chain link, which stays 0.
struct _XHASHEDSTRINGLISTCELL {
    TXCellRef CellNext; // the hosting cell's link; never touched
    TXCellRef Next;     // next item in the same bucket chain
    std::uint32_t KeyLow;
    std::uint32_t KeyHigh; // always odd
    TXCellRef Str;         // the item's string in StrTab
    std::int32_t Index;
    void* Object;
};
static_assert(sizeof(_XHASHEDSTRINGLISTCELL) == sizeof(_XSTRTABCELL));

class TXHashedStringList {
public:
    // The first buckets and index entries live in the object itself; both tables double as
    // the list grows (and the index table halves as it empties).
    static constexpr int InitialBucketCount = 2;
    static constexpr int BucketsPerItem = 2; // the table doubles when it has fewer buckets
    static constexpr int InitialListSize = 1;
    static constexpr unsigned MaxStringBytes = 256;

    explicit TXHashedStringList(TXStrTab* strTab);
    ~TXHashedStringList();
    TXHashedStringList(const TXHashedStringList&) = delete;
    TXHashedStringList& operator=(const TXHashedStringList&) = delete;

    int Add(const char* s) { return Add(s, nullptr); }
    int Add(const char* s, void* obj);
    int IndexOf(const char* s);
    // The item record for s, or null: a lookup that reads the object without the index table.
    _XHASHEDSTRINGLISTCELL* FindItem(const char* s) { return FindItem(s, -1); }
    // FindItem that first tries the item after index `after`, so a caller reading a list in its
    // order finds each item without a bucket walk. The index is only a hint: that item is taken
    // only when it holds s, and any other value of `after` falls back to the buckets.
    _XHASHEDSTRINGLISTCELL* FindItem(const char* s, int after) {
        unsigned int len;
        const std::uint64_t key = StrToHashKey(s, &len);
        return FindItemByKey(key, s, len, after);
    }
    // FindItem for s (len bytes, NUL-terminated) whose key StrToHashKey gave, so a caller can
    // hash its strings before it needs them (the hash is a chain of dependent steps that then
    // overlaps other work).
    _XHASHEDSTRINGLISTCELL* FindItemByKey(std::uint64_t key, const char* s, unsigned int len,
                                          int after);
    bool Delete(int index);
    bool DeleteAll();

    std::string pr_Strings(int i);
    void pw_Strings(int i, const std::string& s);
    void* pr_Objects(int i);
    void pw_Objects(int i, void* obj);
    // The item's string reference in StrTab (for owners that walk the text without a copy).
    _XSTRTABCELL* StrCell(int i);
    // The record of the item with index i, 0 <= i < Count (not checked).
    _XHASHEDSTRINGLISTCELL* Item(int i) const { return ItemAt(ListTab[i]); }

    static std::uint64_t StrToHashKey(const char* s, unsigned int* len);
    // The first item of bucket b (0 <= b < BucketCount), null for an empty bucket.
    _XHASHEDSTRINGLISTCELL* BucketHead(int b) const { return ItemAt(HashTab[b]); }
    // The item after c in its bucket chain, null at the end.
    _XHASHEDSTRINGLISTCELL* NextItem(const _XHASHEDSTRINGLISTCELL* c) const {
        return ItemAt(c->Next);
    }

    // The members are ordered so that the object has no padding: with 64-bit pointers it
    // takes 56 bytes, the most one 64-byte heap block holds.
    TXStrTab* StrTab;
    // Bucket heads as 32-bit cell references, like the chain links in the records: half the
    // bytes of pointers, so two buckets per item cost what one pointer per item would.
    TXCellRef* HashTab = SmallHashTab;
    // Entry i refers to the item with index i, as a 32-bit cell reference: half the bytes of
    // pointers, which a list of many small sections feels in its memory.
    TXCellRef* ListTab = SmallListTab;
    const TXHashedStringListEvents* Events = nullptr; // kept by the owner; null for none
    std::int32_t BucketCount = InitialBucketCount;    // a power of two; bucket = KeyLow & (n - 1)
    std::int32_t ListTabSize = InitialListSize;
    std::int32_t Count = 0;

protected:
    bool GrowupListTab();
    void ShrinkListTab();
    _XHASHEDSTRINGLISTCELL* AllocateCell();
    bool ReleaseCell(_XHASHEDSTRINGLISTCELL* c);

private:
    _XHASHEDSTRINGLISTCELL* Find(std::uint64_t key, const char* s, unsigned int len,
                                 _XHASHEDSTRINGLISTCELL** last);
    bool HoldsName(const _XHASHEDSTRINGLISTCELL* c, const char* s, unsigned int len) const;
    bool Matches(const _XHASHEDSTRINGLISTCELL* c, std::uint64_t key, const char* s,
                 unsigned int len) const {
        return c->KeyLow == static_cast<std::uint32_t>(key) &&
               c->KeyHigh == static_cast<std::uint32_t>(key >> 32) && HoldsName(c, s, len);
    }
    void Notify(const TXHashedStringListNotifyEvent TXHashedStringListEvents::*event, int index) {
        if (Events && Events->*event) (Events->*event)(this, index);
    }
    bool ResizeListTab(std::int32_t entries);
    _XHASHEDSTRINGLISTCELL* ItemAt(TXCellRef ref) const {
        return reinterpret_cast<_XHASHEDSTRINGLISTCELL*>(StrTab->Resolve(ref));
    }
    TXCellRef RefOf(const _XHASHEDSTRINGLISTCELL* c) const {
        return StrTab->RefOf(reinterpret_cast<const _XSTRTABCELL*>(c));
    }
    _XSTRTABCELL* StrOf(const _XHASHEDSTRINGLISTCELL* c) const { return StrTab->Resolve(c->Str); }
    void CheckIndex(int i, const char* what) const;
    void Unlink(_XHASHEDSTRINGLISTCELL* c);
    TXCellRef& Bucket(std::uint32_t keyLow) {
        return HashTab[keyLow & static_cast<std::uint32_t>(BucketCount - 1)];
    }
    void LinkAtHead(_XHASHEDSTRINGLISTCELL* c, TXCellRef& head);
    void Rehash(int buckets);

    TXCellRef SmallHashTab[InitialBucketCount] = {};
    TXCellRef SmallListTab[InitialListSize] = {};
};

} // namespace XVclUtil
