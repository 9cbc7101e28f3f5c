#pragma once
// String arena: byte strings stored as chains of 27-byte cells cut out of 8,192-byte blocks,
// which a block pool carves from larger page-allocator mappings. A string is named by a pointer
// to its first cell.
//
// A block is 256 slots of 32 bytes: a header in slot 0, then 255 cells. The block holding a
// cell is found by clearing the low 13 bits of the cell's address. To keep 32-byte cells
// (4-byte link, size byte, 27 data bytes) with 64-bit pointers, links are 32-bit cell
// references: the block's number in the table's block directory and the cell's slot in the
// block. See docs/architecture.md.

#include "StrTabBlockPool.h"

#include <cstdint>
#include <string>
#include <vector>

namespace XVclUtil {

class TXStrTab;

using TXCellRef = std::uint32_t; // (block number << 8) | slot; 0 is null (slot 0 is the header)

struct _XSTRTABCELL {
    TXCellRef Next;    // next cell of the string; in a free cell the next free cell of the block
    std::uint8_t Size; // bytes used in Chars, 1..27; 0 in a free cell
    char Chars[27];
};
static_assert(sizeof(_XSTRTABCELL) == 32);

struct _XSTRTABMEMBLOCK {
    TXStrTab* Owner;
    std::uint32_t PrevBlock, NextBlock;         // block numbers + 1 in the list of all blocks
    std::uint32_t PrevFreeBlock, NextFreeBlock; // block numbers + 1 in the list with free cells
    std::uint16_t FreeCells;                    // 0..255
    std::uint16_t FreeCellList;                 // slot of the first free cell, 0 = none
    std::uint32_t Number;                       // this block's number in the owner's directory
};
static_assert(sizeof(_XSTRTABMEMBLOCK) == sizeof(_XSTRTABCELL));

class TXStrTab {
public:
    static constexpr unsigned BlockBytes = 8192;
    static constexpr unsigned CellsPerBlock = 255;
    static constexpr unsigned CellDataBytes = 27;
    static constexpr unsigned RecordBytes = 28; // Size + Chars, the payload malloc hands out

    TXStrTab();
    ~TXStrTab();
    TXStrTab(const TXStrTab&) = delete;
    TXStrTab& operator=(const TXStrTab&) = delete;

    _XSTRTABCELL* Add(const char* s);
    _XSTRTABCELL* Add(const char* s, unsigned int n);
    bool Get(const _XSTRTABCELL* h, char* buf);
    bool Get(const _XSTRTABCELL* h, char* buf, unsigned int max);
    bool Get(const _XSTRTABCELL* h, char* buf, unsigned int max, unsigned int* len);
    bool Compare(const _XSTRTABCELL* h, const char* s);
    bool Delete(_XSTRTABCELL* h);
    bool DeleteAll();
    void* malloc(unsigned int size);
    bool free(void* p);

    // Length of a stored string (0 for an invalid reference); not part of the classic interface
    // but lets callers size a buffer without a bounded Get.
    unsigned int Length(const _XSTRTABCELL* h);
    // Next cell of a chain, null at the end.
    _XSTRTABCELL* NextCell(const _XSTRTABCELL* c) const { return Resolve(c->Next); }
    // 32-bit references to cells of this table, for records that link cells compactly.
    _XSTRTABCELL* Resolve(TXCellRef ref) const {
        if (ref == 0) return nullptr;
        return reinterpret_cast<_XSTRTABCELL*>(Directory[ref >> 8]) + (ref & 0xFF);
    }
    TXCellRef RefOf(const _XSTRTABCELL* cell) const {
        return (BlockOf(cell)->Number << 8) | SlotOf(cell);
    }
    // Copies a stored string into out when it is shorter than limit bytes, in one walk of its
    // cells; false (out unspecified) for a null reference or a longer string. For a reference the
    // caller got from this table and still holds (such as a value kept in a record): there is no
    // owner check, which would read the block header, a cache line of its own on every lookup.
    bool ReadHeldInto(const _XSTRTABCELL* h, std::string& out, unsigned int limit) const;

    std::uint32_t BlockCount = 0;
    _XSTRTABMEMBLOCK* BlockList = nullptr;
    std::uint32_t StringCount = 0;
    _XSTRTABMEMBLOCK* FreeBlockList = nullptr;
    std::uint32_t FreeBlockCount = 0;
    std::uint32_t FreeCellCount = 0;

protected:
    bool AllocateMemBlock();
    bool FreeMemBlock(_XSTRTABMEMBLOCK* b);

private:
    static _XSTRTABMEMBLOCK* BlockOf(const void* cell) {
        return reinterpret_cast<_XSTRTABMEMBLOCK*>(reinterpret_cast<std::uintptr_t>(cell) &
                                                   ~std::uintptr_t{BlockBytes - 1});
    }
    static unsigned SlotOf(const void* cell) {
        return static_cast<unsigned>(
            (reinterpret_cast<std::uintptr_t>(cell) & std::uintptr_t{BlockBytes - 1}) /
            sizeof(_XSTRTABCELL));
    }
    _XSTRTABMEMBLOCK* BlockByLink(std::uint32_t link) const;
    bool Owns(const _XSTRTABCELL* h) const;
    _XSTRTABCELL* TakeFreeCell();
    void ReturnCell(_XSTRTABCELL* c);
    void PushFreeBlock(_XSTRTABMEMBLOCK* b);
    void UnlinkFreeBlock(_XSTRTABMEMBLOCK* b);

    std::vector<_XSTRTABMEMBLOCK*> Directory; // block number -> block; null for a free number
    std::vector<std::uint32_t> FreeNumbers;
    TStrTabBlockPool Pool; // emptied whenever the table holds no block
};

} // namespace XVclUtil
