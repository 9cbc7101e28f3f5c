#pragma once
// Fixed-size records carved out of 8,192-byte pages from the page allocator, with a free
// chain. Gives the hashed string lists their item records on 64-bit platforms, where a record
// no longer fits one string-table cell.

#include <cstddef>

namespace XVclUtil {

class TXRecordPool {
public:
    explicit TXRecordPool(std::size_t recordBytes);
    ~TXRecordPool();
    TXRecordPool(const TXRecordPool&) = delete;
    TXRecordPool& operator=(const TXRecordPool&) = delete;

    // A zeroed record, or null when the page allocator gives nothing.
    void* Allocate();
    void Release(void* p);
    // Gives back every page; every record becomes invalid.
    void ReleaseAll();

private:
    struct TFree {
        TFree* Next;
    };
    std::size_t RecordBytes;
    void* Pages = nullptr; // chain through each page's first word
    TFree* FreeList = nullptr;
};

} // namespace XVclUtil
