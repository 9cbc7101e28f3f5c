#pragma once
// Writes a picture as a 1-bit BMP file (BITMAPINFOHEADER, two-colour table black and white):
// a pixel is black exactly when its colour is 0, as for a mono bitmap record, so a record
// decoded, written and read back encodes to the same record.

#include "MonoBitmap.h"
#include "TPicture.h"

namespace Rom {

TBytes EncodeMonoBmp(const TPicture& picture);

} // namespace Rom
