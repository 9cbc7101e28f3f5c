#pragma once
// A folder of named work files: the numbered files (M_n, UM_n, PM_n, UBF_n, DIR<s>_<n>,
// S<g>_<n>) that the encoding steps write and the packing steps read back and delete.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace Rom {

// A numbered work file taken out of the folder: its number and its bytes.
using TNumberedFile = std::pair<int, std::vector<std::uint8_t>>;

class TWorkFolder {
public:
    virtual ~TWorkFolder() = default;

    virtual bool Exists(const std::string& name) const = 0;
    virtual std::optional<std::size_t> Size(const std::string& name) const = 0;
    virtual std::optional<std::vector<std::uint8_t>> Read(const std::string& name) const = 0;
    // The bytes without a copy where the folder keeps them in memory. The view lasts until
    // the folder next changes.
    virtual std::optional<std::span<const std::uint8_t>> View(const std::string& name) const;
    // Creates or overwrites; false when the file cannot be written.
    virtual bool Write(const std::string& name, std::span<const std::uint8_t> data) = 0;
    // Write for bytes the caller no longer needs: a folder in memory keeps them as they are.
    virtual bool Put(const std::string& name, std::vector<std::uint8_t>&& data);
    // False when there was no such file.
    virtual bool Remove(const std::string& name) = 0;
    // Read, then Remove: the packing steps consume each numbered file once.
    virtual std::optional<std::vector<std::uint8_t>> Take(const std::string& name);

    // The numbered files prefix0 .. prefix(count-1) (decimal numbers, no padding) where they
    // exist: their total size; removed; removed and handed back in order of number.
    virtual std::size_t NumberedSize(const std::string& prefix, int count) const;
    virtual void RemoveNumbered(const std::string& prefix, int count);
    virtual std::vector<TNumberedFile> TakeNumbered(const std::string& prefix, int count);

    // Names of the files present, sorted.
    virtual std::vector<std::string> Names() const = 0;

private:
    mutable std::optional<std::vector<std::uint8_t>> Viewed;
};

} // namespace Rom
