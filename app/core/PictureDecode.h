#pragma once
// The one place where a picture held in memory (a picture library entry) is decoded: bytes in,
// picture out. No file is involved, so nothing in the working folder is ever opened for it.

#include <QImage>

#include <cstdint>
#include <span>

namespace AppCore {

// The picture the bytes hold, or a null image when they hold none that can be read.
QImage DecodePicture(std::span<const std::uint8_t> bytes);

} // namespace AppCore
