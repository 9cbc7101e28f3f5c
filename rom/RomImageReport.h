#pragma once
// The report of a verified ROM image: checks, options, code tables and pictures, as text for a
// person and as JSON for tools.

#include "TRomImageReader.h"

#include <string>

namespace Rom {

std::string FormatInspectText(const TRomImageReader& reader, const std::string& fileName);
std::string FormatInspectJson(const TRomImageReader& reader, const std::string& fileName);

// How one code is shown: "" (nothing), "5", "B1", or "UBF_3" for a floor picture.
std::string CodeText(std::uint8_t kind, std::uint8_t value);

} // namespace Rom
