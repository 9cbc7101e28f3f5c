#include "PageMapping.h"

#include <cstdint>
#include <mutex>
#include <unordered_map>

namespace XVclUtil {

namespace {

// Unmapping needs the length; the regions are few and large, so a map keyed by start is cheap.
struct TRegionRegistry {
    std::mutex Lock;
    std::unordered_map<void*, std::size_t> Sizes;
};

TRegionRegistry& Registry() {
    static TRegionRegistry* registry = new TRegionRegistry; // outlives static destructors
    return *registry;
}

} // namespace

void* XAllocVirtualMem(std::size_t size) {
    if (size == 0 || size > (SIZE_MAX >> 1)) return nullptr;
    const std::size_t length =
        (size + XVirtualMemAlignment - 1) / XVirtualMemAlignment * XVirtualMemAlignment;
    void* p = MapAlignedRegion(length);
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
    XUnmapPages(p, length);
    return true;
}

} // namespace XVclUtil
