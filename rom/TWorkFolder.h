#pragma once
// A folder of named work files: the numbered files (M_n, UM_n, PM_n, UBF_n, DIR<s>_<n>,
// S<g>_<n>) that the encoding steps write and the packing steps read back and delete.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace Rom {

class TWorkFolder {
public:
    virtual ~TWorkFolder() = default;

    virtual bool Exists(const std::string& name) const = 0;
    virtual std::optional<std::size_t> Size(const std::string& name) const = 0;
    virtual std::optional<std::vector<std::uint8_t>> Read(const std::string& name) const = 0;
    // Creates or overwrites; false when the file cannot be written.
    virtual bool Write(const std::string& name, std::span<const std::uint8_t> data) = 0;
    // False when there was no such file.
    virtual bool Remove(const std::string& name) = 0;
    // Removes prefix0 .. prefix(count-1) (decimal numbers, no padding) where they exist.
    virtual void RemoveNumbered(const std::string& prefix, int count) {
        for (int n = 0; n < count; ++n) Remove(prefix + std::to_string(n));
    }
    // Names of the files present, sorted.
    virtual std::vector<std::string> Names() const = 0;
};

} // namespace Rom
