#include "VirtualMem.h"

#include <cstdint>
#include <mutex>
#include <unordered_map>
#ifdef _WIN32
#include <windows.h>
#else
#include <sys/mman.h>
#endif

namespace XVclUtil {

namespace {

// munmap needs the length; the regions are few and large, so a map keyed by start is cheap.
struct TRegionRegistry {
    std::mutex Lock;
    std::unordered_map<void*, std::size_t> Sizes;
};

TRegionRegistry& Registry() {
    static TRegionRegistry* registry = new TRegionRegistry; // outlives static destructors
    return *registry;
}

std::size_t RoundUp(std::size_t n, std::size_t to) {
    return (n + to - 1) / to * to;
}

#ifdef _WIN32
// VirtualAlloc's regions start on the allocation granularity (64 KiB), beyond the alignment
// asked for, and come zero-filled.
void* MapRegion(std::size_t length) {
    return ::VirtualAlloc(nullptr, length, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
}
bool UnmapRegion(void* p, std::size_t) {
    return ::VirtualFree(p, 0, MEM_RELEASE) != 0;
}
#else
void* MapRegion(std::size_t length) {
    // Map one alignment unit more, then trim the misaligned head and the tail.
    const std::size_t mapped = length + XVirtualMemAlignment;
    void* raw = mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) return nullptr;
    auto start = reinterpret_cast<std::uintptr_t>(raw);
    std::uintptr_t aligned = RoundUp(start, XVirtualMemAlignment);
    if (aligned > start) munmap(raw, aligned - start);
    std::uintptr_t end = start + mapped;
    if (end > aligned + length)
        munmap(reinterpret_cast<void*>(aligned + length), end - aligned - length);
    return reinterpret_cast<void*>(aligned);
}
bool UnmapRegion(void* p, std::size_t length) {
    return munmap(p, length) == 0;
}
#endif

} // namespace

void* XAllocVirtualMem(std::size_t size) {
    if (size == 0 || size > (SIZE_MAX >> 1)) return nullptr;
    const std::size_t length = RoundUp(size, XVirtualMemAlignment);
    void* p = MapRegion(length);
    if (p == nullptr) return nullptr;
    std::lock_guard<std::mutex> guard(Registry().Lock);
    Registry().Sizes[p] = length;
    return p;
}

bool XFreeVirtualMem(void* p) {
    if (p == nullptr) return false;
    std::size_t length;
    {
        std::lock_guard<std::mutex> guard(Registry().Lock);
        auto it = Registry().Sizes.find(p);
        if (it == Registry().Sizes.end()) return false;
        length = it->second;
        Registry().Sizes.erase(it);
    }
    return UnmapRegion(p, length);
}

} // namespace XVclUtil
