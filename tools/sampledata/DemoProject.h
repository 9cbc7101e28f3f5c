#pragma once
// The demo project "demo.zkf": a version 2.2 project that uses every feature (one- and
// two-character labels, labels such as 05, floor pictures, one of them named in two tables, a
// default table other than 0, non-default styles, customer titles and logo, a replaced
// lift-state picture, week language, date format, power saving), and the pictures it names.

#include "tools/sampledata/DefaultImageTree.h"
#include "tools/sampledata/TSampleFonts.h"

#include "app/core/ProjectDocument.h"

#include <string>

namespace SampleData {

inline constexpr const char* DemoProjectFileName = "demo.zkf";

// The demo document. dir: the folder that holds the demo's own pictures; programDir: the
// folder whose DefaultImage/ tree the lift-state paths name. Both absolute, "/"-separated.
AppCore::ProjectDocument DemoDocument(const std::string& dir, const std::string& programDir);
// The model the demo selects.
inline constexpr const char* DemoModel = "KRV-BIN";

// The demo's own pictures, by file name in dir: customer titles, logo, a VIP picture.
TFileSet DemoPictures(const TSampleFonts& fonts);

// Writes the document as a version 2.2 project file to path (fresh, then renamed into place).
// Raises XVclUtil::EXGeneral when it cannot be written.
void WriteDemoProject(const AppCore::ProjectDocument& document, const std::string& path);

} // namespace SampleData
