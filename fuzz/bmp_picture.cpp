// Loads arbitrary bytes as a picture file and encodes it both ways: either the loader refuses
// it with EPictureLoad, or both records have the shape their header states.

#include "rom/EPictureLoad.h"
#include "rom/MonoBitmap.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    try {
        const Rom::TPicture picture =
            Rom::LoadPictureData(std::span<const std::uint8_t>(data, size), "fuzz.bmp");
        if (!Rom::IsMonoRecord(Rom::EncodeRowMajor(picture))) std::abort();
        if (!Rom::IsMonoRecord(Rom::EncodeRotated(picture))) std::abort();
    } catch (const Rom::EPictureLoad&) {
    }
    return 0;
}
