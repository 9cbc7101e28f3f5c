#pragma once
// Source of the string table's 8,192-byte blocks: carves them out of larger mappings from the
// page allocator and keeps released blocks on a free list, so a table of thousands of blocks
// costs a few mappings instead of one mapping (and its trimming) per block.

#include <cstddef>
#include <vector>

namespace XVclUtil {

class TStrTabBlockPool {
public:
    static constexpr std::size_t BlockBytes = 8192;
    static constexpr std::size_t FirstMappingBytes = 64 * 1024; // doubles with each mapping
    static constexpr std::size_t MaxMappingBytes = 2 * 1024 * 1024;

    TStrTabBlockPool() = default;
    ~TStrTabBlockPool() { ReleaseAll(); }
    TStrTabBlockPool(const TStrTabBlockPool&) = delete;
    TStrTabBlockPool& operator=(const TStrTabBlockPool&) = delete;

    // A zero-filled block aligned to 8,192 bytes; null when the page allocator gives nothing.
    void* Take();
    // Puts a block from Take back for reuse; its memory stays mapped until ReleaseAll.
    void Give(void* block);
    // Returns every mapping to the page allocator; every block handed out becomes invalid.
    void ReleaseAll();

    std::size_t MappingCount() const { return Mappings.size(); }

private:
    std::vector<void*> Mappings;
    void* FreeList = nullptr; // released blocks, linked through their first word
    char* Unused = nullptr;   // never handed out part of the newest mapping
    char* UnusedEnd = nullptr;
};

} // namespace XVclUtil
