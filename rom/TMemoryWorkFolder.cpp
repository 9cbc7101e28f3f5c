#include "TMemoryWorkFolder.h"

namespace Rom {

bool TMemoryWorkFolder::Exists(const std::string& name) const {
    return Files.count(name) != 0;
}

std::optional<std::size_t> TMemoryWorkFolder::Size(const std::string& name) const {
    auto it = Files.find(name);
    if (it == Files.end()) return std::nullopt;
    return it->second.size();
}

std::optional<std::vector<std::uint8_t>> TMemoryWorkFolder::Read(const std::string& name) const {
    auto it = Files.find(name);
    if (it == Files.end()) return std::nullopt;
    return it->second;
}

bool TMemoryWorkFolder::Write(const std::string& name, std::span<const std::uint8_t> data) {
    Files[name].assign(data.begin(), data.end());
    return true;
}

bool TMemoryWorkFolder::Remove(const std::string& name) {
    return Files.erase(name) != 0;
}

std::vector<std::string> TMemoryWorkFolder::Names() const {
    std::vector<std::string> names;
    names.reserve(Files.size());
    for (const auto& [name, data] : Files) names.push_back(name);
    return names;
}

} // namespace Rom
