#pragma once
// Memory straight from the system's page mapping (mmap on POSIX, VirtualAlloc on Windows):
// zero-filled and read/write. The string table's block pool and the hashed list's large bucket
// arrays take their memory here, so a freed region goes back to the system at once instead of
// leaving holes in the heap.

#include <cstddef>

namespace XVclUtil {

constexpr std::size_t XVirtualMemAlignment = 8192;

// A region aligned to 8,192 bytes; null on failure or for size 0.
void* XAllocVirtualMem(std::size_t size);
// Releases a whole region from XAllocVirtualMem; false for null or an unknown pointer.
bool XFreeVirtualMem(void* p);

// Pages for an array that grows; the caller keeps the size. Null on failure.
void* XMapPages(std::size_t bytes);
// The pages of old (oldBytes long) resized to bytes, moved where the system can; the contents
// need not survive. Null on failure, old then kept.
void* XRemapPages(void* old, std::size_t oldBytes, std::size_t bytes);
void XUnmapPages(void* p, std::size_t bytes);

// The platform files' part of XAllocVirtualMem: a region of length bytes (a multiple of the
// alignment) aligned to XVirtualMemAlignment.
void* MapAlignedRegion(std::size_t length);

} // namespace XVclUtil
