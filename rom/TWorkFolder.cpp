#include "TWorkFolder.h"

namespace Rom {

std::optional<std::span<const std::uint8_t>> TWorkFolder::View(const std::string& name) const {
    Viewed = Read(name);
    if (!Viewed) return std::nullopt;
    return std::span<const std::uint8_t>(*Viewed);
}

bool TWorkFolder::Put(const std::string& name, std::vector<std::uint8_t>&& data) {
    return Write(name, data);
}

std::optional<std::vector<std::uint8_t>> TWorkFolder::Take(const std::string& name) {
    auto data = Read(name);
    if (data) Remove(name);
    return data;
}

std::size_t TWorkFolder::NumberedSize(const std::string& prefix, int count) const {
    std::size_t sum = 0;
    for (int n = 0; n < count; ++n)
        if (auto size = Size(prefix + std::to_string(n))) sum += *size;
    return sum;
}

void TWorkFolder::RemoveNumbered(const std::string& prefix, int count) {
    for (int n = 0; n < count; ++n) Remove(prefix + std::to_string(n));
}

std::vector<TNumberedFile> TWorkFolder::TakeNumbered(const std::string& prefix, int count) {
    std::vector<TNumberedFile> files;
    for (int n = 0; n < count; ++n)
        if (auto data = Take(prefix + std::to_string(n))) files.emplace_back(n, std::move(*data));
    return files;
}

} // namespace Rom
