#include "PageMapping.h"

#include <windows.h>

namespace XVclUtil {

void* XMapPages(std::size_t bytes) {
    return ::VirtualAlloc(nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
}

// Windows cannot move a mapping: a new one is taken and the old released.
void* XRemapPages(void* old, std::size_t oldBytes, std::size_t bytes) {
    void* fresh = XMapPages(bytes);
    if (fresh != nullptr) XUnmapPages(old, oldBytes);
    return fresh;
}

void XUnmapPages(void* p, std::size_t) {
    ::VirtualFree(p, 0, MEM_RELEASE);
}

// VirtualAlloc's regions start on the allocation granularity (64 KiB), beyond the alignment
// asked for, and come zero-filled.
void* MapAlignedRegion(std::size_t length) {
    return XMapPages(length);
}

} // namespace XVclUtil
