#include "PictureDecode.h"

#include <limits>

namespace AppCore {

QImage DecodePicture(std::span<const std::uint8_t> bytes) {
    QImage picture;
    if (bytes.empty() || bytes.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()))
        return picture;
    picture.loadFromData(bytes.data(), static_cast<int>(bytes.size()));
    return picture;
}

} // namespace AppCore
