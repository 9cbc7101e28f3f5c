#pragma once
// The private work folder of one build, held in memory: it starts empty, nothing from the
// working directory or an earlier build can enter it, and it vanishes with the build, on
// success, on failure and on a crash alike.
//
// The files are kept by prefix and number (M_, 150 for "M_150"), as the build names them, so
// a lookup compares a short prefix and an integer, and a numbered range is visited through
// the files that exist only.

#include "TWorkFolder.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string_view>

namespace Rom {

class TMemoryWorkFolder : public TWorkFolder {
public:
    bool Exists(const std::string& name) const override;
    std::optional<std::size_t> Size(const std::string& name) const override;
    std::optional<std::vector<std::uint8_t>> Read(const std::string& name) const override;
    std::optional<std::span<const std::uint8_t>> View(const std::string& name) const override;
    bool Write(const std::string& name, std::span<const std::uint8_t> data) override;
    bool Put(const std::string& name, std::vector<std::uint8_t>&& data) override;
    bool Remove(const std::string& name) override;
    std::optional<std::vector<std::uint8_t>> Take(const std::string& name) override;
    std::size_t NumberedSize(const std::string& prefix, int count) const override;
    void RemoveNumbered(const std::string& prefix, int count) override;
    std::vector<TNumberedFile> TakeNumbered(const std::string& prefix, int count) override;
    std::vector<std::string> Names() const override;

private:
    // A name split into its prefix and the decimal number it ends with; a name without such a
    // number (none, a leading zero, more than nine digits) is all prefix, with number -1.
    struct TKey {
        std::string_view Prefix;
        std::int32_t Number;
    };
    static TKey Split(std::string_view name);
    // A prefix that ends in a digit is not where Split cuts ("M1" and 0 make "M10", kept as
    // "M" and 10): its numbered files are visited name by name.
    static bool SplitsAsItself(const std::string& prefix);
    using TNumbered = std::map<std::int32_t, std::vector<std::uint8_t>>;
    // A build uses a few dozen prefixes: an ordered map looked up by view builds no string
    // and hashes nothing.
    using TPrefixes = std::map<std::string, TNumbered, std::less<>>;
    struct TPlace {
        TPrefixes::iterator Prefix;
        TNumbered::iterator File;
    };
    const std::vector<std::uint8_t>* Find(const std::string& name) const;
    std::optional<TPlace> Locate(const std::string& name);

    TPrefixes Files;
};

} // namespace Rom
