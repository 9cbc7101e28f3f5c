#pragma once
// Two ROM images compared by meaning: failing checks, option bytes by project-file key, code
// table cells, pictures by slot and name, check bytes. Whatever differs beyond those is still
// named by file offset, so two images with different bytes never compare as the same.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace Rom {

struct TRomDifference {
    enum class TKind { Check, Option, Cell, Picture, CheckBytes, Bytes };
    TKind Kind = TKind::Bytes;
    std::string Text;    // one line, for example "DEF_MSG 5 -> 3"
    std::string Picture; // the picture's name for a picture difference ("M_150", "M_30.7")
};

// Both spans must hold a whole image (RomImageSize bytes). Empty exactly when the bytes are the
// same.
std::vector<TRomDifference> DiffRomImages(std::span<const std::uint8_t> a,
                                          std::span<const std::uint8_t> b);

// The lines one per difference, each ending in "\n".
std::string FormatDifferences(const std::vector<TRomDifference>& differences);

} // namespace Rom
