#include "StrTabBlockPool.h"

#include "PageMapping.h"

#include <algorithm>
#include <cstring>

namespace XVclUtil {

static_assert(XVirtualMemAlignment % TStrTabBlockPool::BlockBytes == 0);

void* TStrTabBlockPool::Take() {
    if (FreeList != nullptr) {
        void* block = FreeList;
        std::memcpy(&FreeList, block, sizeof FreeList);
        std::memset(block, 0, BlockBytes);
        return block;
    }
    if (Unused == UnusedEnd) {
        // Small tables stay small; large ones soon map 2 MB at a time.
        const std::size_t bytes = std::min(
            MaxMappingBytes, FirstMappingBytes << std::min<std::size_t>(Mappings.size(), 8));
        Mappings.reserve(Mappings.size() + 1);   // so recording the mapping cannot fail
        void* mapping = XAllocVirtualMem(bytes); // zero-filled, aligned to 8,192 bytes
        if (mapping == nullptr) return nullptr;
        Mappings.push_back(mapping);
        Unused = static_cast<char*>(mapping);
        UnusedEnd = Unused + bytes;
    }
    void* block = Unused;
    Unused += BlockBytes;
    return block;
}

void TStrTabBlockPool::Give(void* block) {
    std::memcpy(block, &FreeList, sizeof FreeList);
    FreeList = block;
}

void TStrTabBlockPool::ReleaseAll() {
    for (void* mapping : Mappings) XFreeVirtualMem(mapping);
    Mappings.clear();
    FreeList = nullptr;
    Unused = UnusedEnd = nullptr;
}

} // namespace XVclUtil
