#include "PageMapping.h"

#include <cstdint>
#include <sys/mman.h>

namespace XVclUtil {

void* XMapPages(std::size_t bytes) {
    void* p = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return p == MAP_FAILED ? nullptr : p;
}

void* XRemapPages(void* old, std::size_t oldBytes, std::size_t bytes) {
#ifdef MREMAP_MAYMOVE
    void* p = ::mremap(old, oldBytes, bytes, MREMAP_MAYMOVE);
    return p == MAP_FAILED ? nullptr : p;
#else
    void* fresh = XMapPages(bytes);
    if (fresh != nullptr) XUnmapPages(old, oldBytes);
    return fresh;
#endif
}

void XUnmapPages(void* p, std::size_t bytes) {
    ::munmap(p, bytes);
}

void* MapAlignedRegion(std::size_t length) {
    // Map one alignment unit more, then trim the misaligned head and the tail.
    const std::size_t mapped = length + XVirtualMemAlignment;
    void* raw = XMapPages(mapped);
    if (raw == nullptr) return nullptr;
    const auto start = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t aligned =
        (start + XVirtualMemAlignment - 1) / XVirtualMemAlignment * XVirtualMemAlignment;
    if (aligned > start) ::munmap(raw, aligned - start);
    const std::uintptr_t end = start + mapped;
    if (end > aligned + length)
        ::munmap(reinterpret_cast<void*>(aligned + length), end - aligned - length);
    return reinterpret_cast<void*>(aligned);
}

} // namespace XVclUtil
