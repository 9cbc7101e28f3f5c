#pragma once
// The private work folder of one build, held in memory: it starts empty, nothing from the
// working directory or an earlier build can enter it, and it vanishes with the build, on
// success, on failure and on a crash alike.

#include "TWorkFolder.h"

#include <map>

namespace Rom {

class TMemoryWorkFolder : public TWorkFolder {
public:
    bool Exists(const std::string& name) const override;
    std::optional<std::size_t> Size(const std::string& name) const override;
    std::optional<std::vector<std::uint8_t>> Read(const std::string& name) const override;
    bool Write(const std::string& name, std::span<const std::uint8_t> data) override;
    bool Remove(const std::string& name) override;
    std::vector<std::string> Names() const override;

private:
    std::map<std::string, std::vector<std::uint8_t>> Files;
};

} // namespace Rom
