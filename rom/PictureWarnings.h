#pragma once
// Warning lines about a picture that the display will not show as it looks on screen: pixels
// neither pure black nor pure white (the record keeps only pure black), and a size other than
// that of the picture's slot.

#include "MonoBitmap.h"

#include <QImage>

#include <string>

namespace Rom {

// Pixels whose colour (RGB, alpha ignored) is neither 0x000000 nor 0xFFFFFF.
long long GreyPixelCount(const QImage& picture);

// "[Warning] TITLE.bmp: 1,234 grey pixels will show as white"; empty when there are none.
std::string GreyPixelWarning(const std::string& name, const QImage& picture);
// "[Warning] TITLE.bmp: 100 x 20 pixels, its place holds 128 x 24"; empty when they agree.
std::string SizeWarning(const std::string& name, const QImage& picture, int width, int height);

// What the display shows of a picture, upright: the record's pixels, only pure black set, and
// the stored rows padded with white to a multiple of 8 (the width on a Horizontal display, the
// height on a Vertical one, whose records are turned). A null picture gives a null picture.
QImage DisplayedPicture(const QImage& picture, TDisplayType type);

} // namespace Rom
