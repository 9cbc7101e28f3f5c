#pragma once
// Fixed texts of the code grid and the floor-label table of the version 2.0 project reader.

#include <array>
#include <string>

namespace AppCore {

inline constexpr const char* GridHeaderBits = "bit [ 5..0 ]";
inline constexpr const char* GridHeaderHexDec = "HEX (DEC)";
inline constexpr const char* GrayCodeModel = "KRV-GRY";

// "CTBL0" .. "CTBL5", the header of grid column table + 2.
std::string CodeTableHeader(int table);
// Column 1 label of code n: "0A (10 )".
std::string HexDecLabel(int code);
// The 64 bit-column labels ("000000" ...) in binary or in Gray order.
const std::array<std::string, 64>& BinaryOrderLabels();
const std::array<std::string, 64>& GrayOrderLabels();
// Labels for a model: Gray order for "KRV-GRY" (trimmed text), binary order otherwise.
const std::array<std::string, 64>& BitLabelsForModel(const std::string& model);
// Floor-label table entry k (0..255); empty for unlisted entries and outside 0..255.
const std::string& FloorLabel(int k);

} // namespace AppCore
