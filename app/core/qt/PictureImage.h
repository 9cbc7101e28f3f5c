#pragma once
// Pictures between the ROM builder's own BMP reader and Qt's QImage, which the window and the
// preview draw with. Every picture is read by the BMP reader, so what the editor shows is what
// MAKE ROM encodes.

#include "rom/TPicture.h"

#include <QImage>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace AppCore {

// The picture the bytes hold (a picture library entry, decoded in memory without any file), or
// a null image when the BMP reader cannot read them.
QImage DecodePicture(std::span<const std::uint8_t> bytes);

QImage ToQImage(const Rom::TPicture& picture);
// The same pixels as ToQImage, at one bit a pixel with a table of the two colours when the
// picture has no more than two (as the display's pictures have): a sixteenth of the memory for
// the picture boxes, which keep their pictures while the editor runs.
QImage ToCompactQImage(const Rom::TPicture& picture);
Rom::TPicture FromQImage(const QImage& image);

} // namespace AppCore
