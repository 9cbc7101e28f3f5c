// The BMP reader on arbitrary bytes: either it refuses them with EBmpFormat, or the picture has
// the size its header states and every pixel is a colour value (no bits above 0xFFFFFF).

#include "rom/EBmpFormat.h"
#include "rom/TBmpReader.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    try {
        const Rom::TBmpReader reader(std::span<const std::uint8_t>(data, size));
        // As MAKE ROM does: pictures too large for an entry are refused before decoding.
        if (static_cast<long long>(reader.Width()) * reader.Height() > (1 << 23)) return 0;
        const Rom::TPicture picture = reader.Read();
        if (picture.Width != reader.Width() || picture.Height != reader.Height() ||
            picture.Pixels.size() != static_cast<std::size_t>(picture.Width) * picture.Height)
            std::abort();
        for (std::uint32_t c : picture.Pixels)
            if (c > 0xFFFFFF) std::abort();
    } catch (const Rom::EBmpFormat&) {
    }
    return 0;
}
