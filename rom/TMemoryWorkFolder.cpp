#include "TMemoryWorkFolder.h"

#include <algorithm>

namespace Rom {

TMemoryWorkFolder::TKey TMemoryWorkFolder::Split(const std::string& name) {
    std::size_t start = name.size();
    while (start > 0 && name[start - 1] >= '0' && name[start - 1] <= '9') --start;
    const std::size_t digits = name.size() - start;
    // Only the number's own spelling maps back to the name: "M_05" stays a name of its own.
    if (digits == 0 || digits > 9 || (digits > 1 && name[start] == '0')) return {name, -1};
    std::int32_t number = 0;
    for (std::size_t i = start; i < name.size(); ++i) number = number * 10 + (name[i] - '0');
    return {name.substr(0, start), number};
}

const std::vector<std::uint8_t>* TMemoryWorkFolder::Find(const std::string& name) const {
    const TKey key = Split(name);
    auto prefix = Files.find(key.Prefix);
    if (prefix == Files.end()) return nullptr;
    auto file = prefix->second.find(key.Number);
    return file == prefix->second.end() ? nullptr : &file->second;
}

bool TMemoryWorkFolder::Exists(const std::string& name) const {
    return Find(name) != nullptr;
}

std::optional<std::size_t> TMemoryWorkFolder::Size(const std::string& name) const {
    const auto* data = Find(name);
    if (data == nullptr) return std::nullopt;
    return data->size();
}

std::optional<std::vector<std::uint8_t>> TMemoryWorkFolder::Read(const std::string& name) const {
    const auto* data = Find(name);
    if (data == nullptr) return std::nullopt;
    return *data;
}

bool TMemoryWorkFolder::Write(const std::string& name, std::span<const std::uint8_t> data) {
    TKey key = Split(name);
    Files[std::move(key.Prefix)][key.Number].assign(data.begin(), data.end());
    return true;
}

bool TMemoryWorkFolder::Remove(const std::string& name) {
    const TKey key = Split(name);
    auto prefix = Files.find(key.Prefix);
    if (prefix == Files.end() || prefix->second.erase(key.Number) == 0) return false;
    if (prefix->second.empty()) Files.erase(prefix);
    return true;
}

void TMemoryWorkFolder::RemoveNumbered(const std::string& prefix, int count) {
    // A prefix that ends in a digit is not where Split cuts ("M1" and 0 make "M10", kept as
    // "M" and 10): remove those names one by one.
    if (!prefix.empty() && prefix.back() >= '0' && prefix.back() <= '9') {
        TWorkFolder::RemoveNumbered(prefix, count);
        return;
    }
    auto files = Files.find(prefix);
    if (files == Files.end() || count <= 0) return;
    TNumbered& numbered = files->second;
    numbered.erase(numbered.lower_bound(0), numbered.lower_bound(count));
    if (numbered.empty()) Files.erase(files);
}

std::vector<std::string> TMemoryWorkFolder::Names() const {
    std::vector<std::string> names;
    for (const auto& [prefix, numbered] : Files)
        for (const auto& [number, data] : numbered)
            names.push_back(number < 0 ? prefix : prefix + std::to_string(number));
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace Rom
