#include "TMemoryWorkFolder.h"

#include <algorithm>

namespace Rom {

TMemoryWorkFolder::TKey TMemoryWorkFolder::Split(std::string_view name) {
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
    // Locate only finds; the folder is not changed through it.
    const auto place = const_cast<TMemoryWorkFolder*>(this)->Locate(name);
    return place ? &place->File->second : nullptr;
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

std::optional<std::span<const std::uint8_t>>
TMemoryWorkFolder::View(const std::string& name) const {
    const auto* data = Find(name);
    if (data == nullptr) return std::nullopt;
    return std::span<const std::uint8_t>(*data);
}

std::optional<TMemoryWorkFolder::TPlace> TMemoryWorkFolder::Locate(const std::string& name) {
    const TKey key = Split(name);
    auto prefix = Files.find(key.Prefix);
    if (prefix == Files.end()) return std::nullopt;
    auto file = prefix->second.find(key.Number);
    if (file == prefix->second.end()) return std::nullopt;
    return TPlace{prefix, file};
}

bool TMemoryWorkFolder::Write(const std::string& name, std::span<const std::uint8_t> data) {
    // A file written again (the temporary library picture) keeps its buffer.
    if (const auto place = Locate(name)) {
        place->File->second.assign(data.begin(), data.end());
        return true;
    }
    return Put(name, std::vector<std::uint8_t>(data.begin(), data.end()));
}

bool TMemoryWorkFolder::Put(const std::string& name, std::vector<std::uint8_t>&& data) {
    const TKey key = Split(name);
    auto prefix = Files.find(key.Prefix);
    if (prefix == Files.end()) prefix = Files.emplace(std::string(key.Prefix), TNumbered()).first;
    prefix->second.insert_or_assign(key.Number, std::move(data));
    return true;
}

std::optional<std::vector<std::uint8_t>> TMemoryWorkFolder::Take(const std::string& name) {
    const auto place = Locate(name);
    if (!place) return std::nullopt;
    std::vector<std::uint8_t> data = std::move(place->File->second);
    place->Prefix->second.erase(place->File);
    if (place->Prefix->second.empty()) Files.erase(place->Prefix);
    return data;
}

bool TMemoryWorkFolder::Remove(const std::string& name) {
    return Take(name).has_value();
}

bool TMemoryWorkFolder::SplitsAsItself(const std::string& prefix) {
    return prefix.empty() || prefix.back() < '0' || prefix.back() > '9';
}

std::size_t TMemoryWorkFolder::NumberedSize(const std::string& prefix, int count) const {
    if (!SplitsAsItself(prefix)) return TWorkFolder::NumberedSize(prefix, count);
    auto files = Files.find(prefix);
    if (files == Files.end() || count <= 0) return 0;
    std::size_t sum = 0;
    const TNumbered& numbered = files->second;
    for (auto it = numbered.lower_bound(0); it != numbered.end() && it->first < count; ++it)
        sum += it->second.size();
    return sum;
}

void TMemoryWorkFolder::RemoveNumbered(const std::string& prefix, int count) {
    TakeNumbered(prefix, count);
}

std::vector<TNumberedFile> TMemoryWorkFolder::TakeNumbered(const std::string& prefix, int count) {
    if (!SplitsAsItself(prefix)) return TWorkFolder::TakeNumbered(prefix, count);
    std::vector<TNumberedFile> taken;
    auto files = Files.find(prefix);
    if (files == Files.end() || count <= 0) return taken;
    TNumbered& numbered = files->second;
    const auto first = numbered.lower_bound(0), last = numbered.lower_bound(count);
    for (auto it = first; it != last; ++it) taken.emplace_back(it->first, std::move(it->second));
    numbered.erase(first, last);
    if (numbered.empty()) Files.erase(files);
    return taken;
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
