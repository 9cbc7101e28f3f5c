#pragma once
// A contact sheet of the whole picture library: every entry drawn as it will look on the
// display, labelled "group:index", grouped by library group. Raw entries are decoded from the
// display's formats (picture sets as rows of glyphs, the boot font as a 16 x 16 table).

#include "tools/sampledata/TSampleFonts.h"
#include "tools/sampledata/TSampleLibrary.h"

#include <QImage>

namespace SampleData {

// The picture an entry shows; a null image when its bytes cannot be decoded.
QImage EntryPreview(const TSampleEntry& entry);

QImage RenderContactSheet(const TSampleLibrary& library, const TSampleFonts& fonts);

} // namespace SampleData
