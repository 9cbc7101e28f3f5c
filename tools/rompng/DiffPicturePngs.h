#pragma once
// The pictures that differ between two ROM images, each as one PNG file with the first image's
// picture on the left and the second's on the right, upright as the display shows them.

#include "rom/RomDiff.h"
#include "rom/TRomImageReader.h"

#include <string>
#include <vector>

namespace RomPng {

// Writes <name>.png into dir (created when missing) for every picture difference. Returns the
// files written; raises EXGeneral when a file cannot be written.
std::vector<std::string> WriteDiffPngs(const Rom::TRomImageReader& a, const Rom::TRomImageReader& b,
                                       const std::vector<Rom::TRomDifference>& differences,
                                       const std::string& dir);

} // namespace RomPng
