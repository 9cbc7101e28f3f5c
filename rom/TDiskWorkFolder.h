#pragma once
// Work files as plain files of one directory (the process's current directory by default),
// for the file routines that take plain work-file names.

#include "TWorkFolder.h"

namespace Rom {

class TDiskWorkFolder : public TWorkFolder {
public:
    explicit TDiskWorkFolder(std::string directory = ".");

    bool Exists(const std::string& name) const override;
    std::optional<std::size_t> Size(const std::string& name) const override;
    std::optional<std::vector<std::uint8_t>> Read(const std::string& name) const override;
    bool Write(const std::string& name, std::span<const std::uint8_t> data) override;
    bool Remove(const std::string& name) override;
    std::vector<std::string> Names() const override;

    std::string PathOf(const std::string& name) const;

private:
    std::string Directory;
};

} // namespace Rom
