#include "TXStrTab.h"

#include "XVclUtil/EXGeneral.h"
#include "XVclUtil/MessageBox.h"

#include <cstring>

namespace XVclUtil {

TXStrTab::TXStrTab() = default;

TXStrTab::~TXStrTab() {
    DeleteAll();
}

_XSTRTABMEMBLOCK* TXStrTab::BlockByLink(std::uint32_t link) const {
    return link == 0 ? nullptr : Directory[link - 1];
}

bool TXStrTab::Owns(const _XSTRTABCELL* h) const {
    return StringCount != 0 && h != nullptr && SlotOf(h) != 0 && BlockOf(h)->Owner == this;
}

bool TXStrTab::AllocateMemBlock() {
    void* region = Pool.Take();
    const char* failure = nullptr;
    if (region == nullptr)
        failure = "Err: Can not allocate memory for TXStrTab !!!";
    else if (reinterpret_cast<std::uintptr_t>(region) % BlockBytes != 0)
        failure = "Err: The alignment of allocate memory for TXStrTab is not 4KB !!!";
    if (failure != nullptr) {
        ShowErrMsgBox_Printf("TXStrTab", "%s", failure);
        if (region != nullptr) Pool.Give(region);
        throw EXGeneral("Err: TXStrTab::AllocateMemBlock() !!!");
    }
    std::uint32_t number;
    if (!FreeNumbers.empty()) {
        number = FreeNumbers.back();
        FreeNumbers.pop_back();
    } else {
        number = static_cast<std::uint32_t>(Directory.size());
        Directory.push_back(nullptr);
    }
    Directory[number] = static_cast<_XSTRTABMEMBLOCK*>(region);

    auto* b = static_cast<_XSTRTABMEMBLOCK*>(region); // region arrives zero-filled
    b->Owner = this;
    b->Number = number;
    b->FreeCells = CellsPerBlock;
    b->FreeCellList = 1;
    auto* cells = reinterpret_cast<_XSTRTABCELL*>(region);
    for (unsigned slot = 1; slot < CellsPerBlock; ++slot)
        cells[slot].Next = (number << 8) | (slot + 1);

    b->NextBlock = BlockList ? BlockList->Number + 1 : 0;
    if (BlockList) BlockList->PrevBlock = number + 1;
    BlockList = b;

    _XSTRTABMEMBLOCK* tail = FreeBlockList;
    while (tail && tail->NextFreeBlock) tail = BlockByLink(tail->NextFreeBlock);
    if (tail) {
        tail->NextFreeBlock = number + 1;
        b->PrevFreeBlock = tail->Number + 1;
    } else {
        FreeBlockList = b;
    }
    ++BlockCount;
    ++FreeBlockCount;
    FreeCellCount += CellsPerBlock;
    return true;
}

void TXStrTab::UnlinkFreeBlock(_XSTRTABMEMBLOCK* b) {
    _XSTRTABMEMBLOCK* prev = BlockByLink(b->PrevFreeBlock);
    _XSTRTABMEMBLOCK* next = BlockByLink(b->NextFreeBlock);
    if (prev)
        prev->NextFreeBlock = b->NextFreeBlock;
    else
        FreeBlockList = next;
    if (next) next->PrevFreeBlock = b->PrevFreeBlock;
    b->PrevFreeBlock = b->NextFreeBlock = 0;
    --FreeBlockCount;
}

void TXStrTab::PushFreeBlock(_XSTRTABMEMBLOCK* b) {
    b->PrevFreeBlock = 0;
    b->NextFreeBlock = FreeBlockList ? FreeBlockList->Number + 1 : 0;
    if (FreeBlockList) FreeBlockList->PrevFreeBlock = b->Number + 1;
    FreeBlockList = b;
    ++FreeBlockCount;
}

bool TXStrTab::FreeMemBlock(_XSTRTABMEMBLOCK* b) {
    if (b == nullptr || b->Owner != this || b->FreeCells != CellsPerBlock) return false;
    _XSTRTABMEMBLOCK* prev = BlockByLink(b->PrevBlock);
    _XSTRTABMEMBLOCK* next = BlockByLink(b->NextBlock);
    if (prev)
        prev->NextBlock = b->NextBlock;
    else
        BlockList = next;
    if (next) next->PrevBlock = b->PrevBlock;
    UnlinkFreeBlock(b);
    --BlockCount;
    FreeCellCount -= CellsPerBlock;
    Directory[b->Number] = nullptr;
    FreeNumbers.push_back(b->Number);
    Pool.Give(b);
    if (BlockCount == 0) { // a table without strings holds no memory
        Pool.ReleaseAll();
        Directory.clear();
        FreeNumbers.clear();
    }
    return true;
}

_XSTRTABCELL* TXStrTab::TakeFreeCell() {
    _XSTRTABMEMBLOCK* b = FreeBlockList;
    auto* cell = reinterpret_cast<_XSTRTABCELL*>(b) + b->FreeCellList;
    b->FreeCellList = cell->Next ? static_cast<std::uint16_t>(cell->Next & 0xFF) : 0;
    --b->FreeCells;
    --FreeCellCount;
    if (b->FreeCells == 0) UnlinkFreeBlock(b);
    return cell;
}

_XSTRTABCELL* TXStrTab::Add(const char* s) {
    if (s == nullptr || *s == '\0') return nullptr;
    return Add(s, static_cast<unsigned int>(std::strlen(s)));
}

_XSTRTABCELL* TXStrTab::Add(const char* s, unsigned int n) {
    if (s == nullptr || n == 0) return nullptr;
    // A long string gets as many blocks as it needs, so no length is ever refused for room.
    const std::uint64_t cellsNeeded =
        (static_cast<std::uint64_t>(n) + CellDataBytes - 1) / CellDataBytes;
    while (FreeCellCount < cellsNeeded) AllocateMemBlock();
    ++StringCount;
    _XSTRTABCELL* first = nullptr;
    _XSTRTABCELL* prev = nullptr;
    while (n > 0) {
        _XSTRTABCELL* cell = TakeFreeCell();
        const unsigned chunk = n < CellDataBytes ? n : CellDataBytes;
        std::memcpy(cell->Chars, s, chunk);
        cell->Size = static_cast<std::uint8_t>(chunk);
        cell->Next = 0;
        if (prev)
            prev->Next = RefOf(cell);
        else
            first = cell;
        prev = cell;
        s += chunk;
        n -= chunk;
    }
    return first;
}

bool TXStrTab::Get(const _XSTRTABCELL* h, char* buf) {
    return Get(h, buf, 0, nullptr);
}

bool TXStrTab::Get(const _XSTRTABCELL* h, char* buf, unsigned int max) {
    return Get(h, buf, max, nullptr);
}

bool TXStrTab::Get(const _XSTRTABCELL* h, char* buf, unsigned int max, unsigned int* len) {
    if (!Owns(h) || buf == nullptr) return false;
    unsigned int total = 0;
    for (const _XSTRTABCELL* c = h; c; c = Resolve(c->Next)) {
        const unsigned size = c->Size & 0x7F;
        if (max != 0) {
            total += size;
            if (total >= max) return false;
        }
        std::memcpy(buf, c->Chars, size);
        buf += size;
    }
    *buf = '\0';
    if (len) *len = total;
    return true;
}

unsigned int TXStrTab::Length(const _XSTRTABCELL* h) {
    if (!Owns(h)) return 0;
    unsigned int total = 0;
    for (const _XSTRTABCELL* c = h; c; c = Resolve(c->Next)) total += c->Size & 0x7F;
    return total;
}

bool TXStrTab::ReadHeldInto(const _XSTRTABCELL* h, std::string& out, unsigned int limit) const {
    if (h == nullptr) return false;
    out.clear();
    for (const _XSTRTABCELL* c = h; c; c = Resolve(c->Next)) {
        out.append(c->Chars, c->Size & 0x7F);
        if (out.size() >= limit) return false;
    }
    return true;
}

bool TXStrTab::Compare(const _XSTRTABCELL* h, const char* s) {
    if (!Owns(h) || s == nullptr) return false;
    for (const _XSTRTABCELL* c = h; c; c = Resolve(c->Next)) {
        for (unsigned i = 0; i < c->Size; ++i) {
            if (static_cast<unsigned char>(c->Chars[i]) != static_cast<unsigned char>(s[i]))
                return false;
            if (s[i] == '\0') return false;
        }
        s += c->Size;
    }
    return true;
}

void TXStrTab::ReturnCell(_XSTRTABCELL* c) {
    _XSTRTABMEMBLOCK* b = BlockOf(c);
    c->Size = 0;
    c->Next = b->FreeCellList ? (b->Number << 8) | b->FreeCellList : 0;
    b->FreeCellList = static_cast<std::uint16_t>(SlotOf(c));
    ++b->FreeCells;
    ++FreeCellCount;
    if (b->FreeCells == 1)
        PushFreeBlock(b);
    else if (b->FreeCells == CellsPerBlock)
        FreeMemBlock(b);
}

bool TXStrTab::Delete(_XSTRTABCELL* h) {
    if (!Owns(h)) return false;
    for (_XSTRTABCELL* c = h; c;) {
        _XSTRTABCELL* next = Resolve(c->Next); // resolve before the block may be released
        ReturnCell(c);
        c = next;
    }
    --StringCount;
    return true;
}

bool TXStrTab::DeleteAll() {
    Pool.ReleaseAll();
    Directory.clear();
    FreeNumbers.clear();
    BlockCount = StringCount = FreeBlockCount = FreeCellCount = 0;
    BlockList = FreeBlockList = nullptr;
    return true;
}

void* TXStrTab::malloc(unsigned int size) {
    if (size == 0 || size > RecordBytes) return nullptr;
    const char nul = '\0';
    _XSTRTABCELL* cell = Add(&nul, 1);
    return &cell->Size;
}

bool TXStrTab::free(void* p) {
    if (p == nullptr) return false;
    auto* cell =
        reinterpret_cast<_XSTRTABCELL*>(static_cast<char*>(p) - offsetof(_XSTRTABCELL, Size));
    return Delete(cell);
}

} // namespace XVclUtil
