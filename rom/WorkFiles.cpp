#include "WorkFiles.h"

#include "TDiskWorkFolder.h"
#include "Text.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace Rom {

std::size_t CopyFileRange(std::span<std::uint8_t> dest, const TWorkFolder& folder,
                          const std::string& name, std::size_t start, std::size_t end) {
    if (TrimText(name).empty()) return 0;
    auto data = folder.View(name);
    if (!data || start >= data->size() || start >= end) return 0;
    std::size_t n = std::min({end, data->size()}) - start;
    n = std::min(n, dest.size());
    std::memcpy(dest.data(), data->data() + start, n);
    return n;
}

std::size_t CopyFileTail(std::span<std::uint8_t> dest, const TWorkFolder& folder,
                         const std::string& name, std::size_t start) {
    return CopyFileRange(dest, folder, name, start, std::numeric_limits<std::size_t>::max());
}

std::size_t CopyFileTail(std::span<std::uint8_t> dest, const std::string& fileName,
                         std::size_t start) {
    return CopyFileTail(dest, TDiskWorkFolder(), fileName, start);
}

std::size_t CopyFileRange(std::span<std::uint8_t> dest, const std::string& fileName,
                          std::size_t start, std::size_t end) {
    return CopyFileRange(dest, TDiskWorkFolder(), fileName, start, end);
}

void DeleteNumberedFiles(TWorkFolder& folder, const std::string& prefix, int count) {
    folder.RemoveNumbered(prefix, count);
}

void DeleteNumberedFiles(const std::string& prefix, int count) {
    TDiskWorkFolder folder;
    DeleteNumberedFiles(folder, prefix, count);
}

} // namespace Rom
