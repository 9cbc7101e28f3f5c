#pragma once
// The content of the sample picture library, group by group.

#include "tools/sampledata/TSampleFonts.h"
#include "tools/sampledata/TSampleLibrary.h"

namespace SampleData {

// The whole library.
TSampleLibrary BuildSampleLibrary(const TSampleFonts& fonts);

// Groups 1 to 5: the floor-number glyphs of the five styles.
void AddFloorFonts(TSampleLibrary& library, const TSampleFonts& fonts);
// Group 1, indices 100 to 254: the frames of the twelve arrow styles.
void AddArrows(TSampleLibrary& library);
// Group 0: titles, frames and date digits (encoded by the build).
void AddGroup0Pictures(TSampleLibrary& library, const TSampleFonts& fonts);
// Group 0: the raw fonts and the configuration entries (copied by the build).
void AddGroup0RawEntries(TSampleLibrary& library, const TSampleFonts& fonts);
// The BANK group: the raw "PM_" pictures.
void AddPmPictures(TSampleLibrary& library, const TSampleFonts& fonts);
// Groups 6 and 7: month and week-day names in four languages.
void AddCalendarNames(TSampleLibrary& library, const TSampleFonts& fonts);

} // namespace SampleData
