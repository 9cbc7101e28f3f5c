#pragma once
// Warning lines about a picture that the display will not show as it looks on screen: pixels
// neither pure black nor pure white (the record keeps only pure black), and a size other than
// that of the picture's slot.

#include "MonoBitmap.h"
#include "TPicture.h"

#include <string>

namespace Rom {

// The size of a picture's place on the display; 0 x 0 when the place takes any size.
struct TSlotSize {
    int Width = 0;
    int Height = 0;
    bool IsValid() const { return Width > 0 && Height > 0; }
};

// Pixels whose colour (RGB) is neither pure black nor pure white.
long long GreyPixelCount(const TPicture& picture);

// "[Warning] TITLE.bmp: 1,234 grey pixels will show as white"; empty when there are none.
std::string GreyPixelWarning(const std::string& name, const TPicture& picture);
std::string GreyPixelWarning(const std::string& name, long long greyPixels);
// "[Warning] TITLE.bmp: 100 x 20 pixels, its place holds 128 x 24"; empty when they agree.
std::string SizeWarning(const std::string& name, const TPicture& picture, TSlotSize slot);
std::string SizeWarning(const std::string& name, int width, int height, TSlotSize slot);

// What the display shows of a picture, upright: the record's pixels, only pure black set, and
// the stored rows padded with white to a multiple of 8 (the width on a Horizontal display, the
// height on a Vertical one, whose records are turned). A null picture gives a null picture.
TPicture DisplayedPicture(const TPicture& picture, TDisplayType type);

} // namespace Rom
