#include "TXRecordPool.h"

#include "VirtualMem.h"

#include <cstring>

namespace XVclUtil {

namespace {
constexpr std::size_t PageBytes = 8192;
}

TXRecordPool::TXRecordPool(std::size_t recordBytes)
    : RecordBytes((recordBytes + alignof(std::max_align_t) - 1) / alignof(std::max_align_t) *
                  alignof(std::max_align_t)) {}

TXRecordPool::~TXRecordPool() { ReleaseAll(); }

void* TXRecordPool::Allocate() {
    if (FreeList == nullptr) {
        auto* page = static_cast<char*>(XAllocVirtualMem(PageBytes));
        if (page == nullptr) return nullptr;
        *reinterpret_cast<void**>(page) = Pages;
        Pages = page;
        // The first record's room holds the page link.
        for (std::size_t at = RecordBytes; at + RecordBytes <= PageBytes; at += RecordBytes) {
            auto* f = reinterpret_cast<TFree*>(page + at);
            f->Next = FreeList;
            FreeList = f;
        }
    }
    TFree* f = FreeList;
    FreeList = f->Next;
    std::memset(f, 0, RecordBytes);
    return f;
}

void TXRecordPool::Release(void* p) {
    auto* f = static_cast<TFree*>(p);
    f->Next = FreeList;
    FreeList = f;
}

void TXRecordPool::ReleaseAll() {
    while (Pages) {
        void* next = *static_cast<void**>(Pages);
        XFreeVirtualMem(Pages);
        Pages = next;
    }
    FreeList = nullptr;
}

} // namespace XVclUtil
