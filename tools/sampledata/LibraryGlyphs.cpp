// The library as a whole, and its glyph groups: floor-number fonts and arrow animations.

#include "tools/sampledata/LibraryContent.h"
#include "tools/sampledata/LibraryLayout.h"
#include "tools/sampledata/TArrowStyle.h"
#include "tools/sampledata/TFloorFont.h"

#include "XVclUtil/Printf.h"

namespace SampleData {

TSampleLibrary BuildSampleLibrary(const TSampleFonts& fonts) {
    TSampleLibrary library;
    AddFloorFonts(library, fonts);
    AddArrows(library);
    AddGroup0Pictures(library, fonts);
    AddGroup0RawEntries(library, fonts);
    AddPmPictures(library, fonts);
    AddCalendarNames(library, fonts);
    return library;
}

void AddFloorFonts(TSampleLibrary& library, const TSampleFonts& fonts) {
    for (int style = 0; style < TFloorFont::StyleCount; ++style) {
        const TFloorFont font(fonts, style);
        for (const QChar c : TFloorFont::Characters())
            library.SetPicture(Layout::FloorFontGroupOfStyle0 + style, c.unicode(), font.Glyph(c),
                               XVclUtil::Format("FL style %d (%s) '%c'", style,
                                                TFloorFont::StyleName(style), c.toLatin1()));
    }
}

void AddArrows(TSampleLibrary& library) {
    for (int s = 0; s < TArrowStyle::StyleCount; ++s) {
        const TArrowStyle arrow(s);
        const int first = Layout::ArrowFirst + Layout::ArrowStride * s;
        for (int k = 0; k < TArrowStyle::FrameCount; ++k) {
            library.SetPicture(
                Layout::ArrowGroup, first + k, arrow.Frame(k, true),
                XVclUtil::Format("DIR style %d (%s) up %d", s, TArrowStyle::StyleName(s), k + 1));
            library.SetPicture(
                Layout::ArrowGroup, first + Layout::ArrowDownOffset + k, arrow.Frame(k, false),
                XVclUtil::Format("DIR style %d (%s) down %d", s, TArrowStyle::StyleName(s), k + 1));
        }
    }
}

} // namespace SampleData
