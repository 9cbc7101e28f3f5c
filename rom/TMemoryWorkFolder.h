#pragma once
// The private work folder of one build, held in memory: it starts empty, nothing from the
// working directory or an earlier build can enter it, and it vanishes with the build, on
// success, on failure and on a crash alike.
//
// The files are kept by prefix and number (M_, 150 for "M_150"), as the build names them, so
// a lookup compares a short prefix and an integer, and removing a numbered range visits only
// the files that exist.

#include "TWorkFolder.h"

#include <cstdint>
#include <map>
#include <unordered_map>

namespace Rom {

class TMemoryWorkFolder : public TWorkFolder {
public:
    bool Exists(const std::string& name) const override;
    std::optional<std::size_t> Size(const std::string& name) const override;
    std::optional<std::vector<std::uint8_t>> Read(const std::string& name) const override;
    bool Write(const std::string& name, std::span<const std::uint8_t> data) override;
    bool Remove(const std::string& name) override;
    void RemoveNumbered(const std::string& prefix, int count) override;
    std::vector<std::string> Names() const override;

private:
    // A name split into its prefix and the decimal number it ends with; a name without such a
    // number (none, a leading zero, more than nine digits) is all prefix, with number -1.
    struct TKey {
        std::string Prefix;
        std::int32_t Number;
    };
    static TKey Split(const std::string& name);
    using TNumbered = std::map<std::int32_t, std::vector<std::uint8_t>>;
    const std::vector<std::uint8_t>* Find(const std::string& name) const;

    std::unordered_map<std::string, TNumbered> Files;
};

} // namespace Rom
