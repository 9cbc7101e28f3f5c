// Reads arbitrary bytes as a ROM image: verification, the picture and option report, and the
// pictures decoded upright, all without reading outside the bytes.

#include "rom/RomImageReport.h"
#include "rom/TRomImageReader.h"

#include <cstdint>
#include <cstdlib>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    // Short inputs are stretched to the image size so that the checks behind the size run too.
    std::vector<std::uint8_t> image(data, data + size);
    if (size > 0 && size < 458752 && data[0] & 1) image.resize(458752, data[size - 1]);
    Rom::TRomImageReader reader;
    reader.Load(image);
    Rom::FormatInspectText(reader, "fuzz.ROM");
    Rom::FormatInspectJson(reader, "fuzz.ROM");
    for (const Rom::TRomPicture& p : reader.Pictures()) {
        if (reader.Bytes(p).size() != p.Size) std::abort();
        if (p.IsRecord && p.Width * p.Height <= 1 << 20) reader.ViewImage(p);
    }
    return 0;
}
