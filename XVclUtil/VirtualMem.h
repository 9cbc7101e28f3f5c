#pragma once
// Memory straight from the page allocator: zero-filled, read/write, aligned to 8,192 bytes.

#include <cstddef>

namespace XVclUtil {

constexpr std::size_t XVirtualMemAlignment = 8192;

// Null on failure or for size 0.
void* XAllocVirtualMem(std::size_t size);
// Releases a whole region from XAllocVirtualMem; false for null or an unknown pointer.
bool XFreeVirtualMem(void* p);

} // namespace XVclUtil
