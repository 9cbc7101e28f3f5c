// Takes arbitrary bytes as a picture library: every directory entry of the addressed groups is
// looked up, its picture bytes read and, for a few, decoded and drawn as a preview glyph.

#include "app/core/PreviewComposer.h"
#include "app/core/TPictureLibrary.h"

#include "app/core/PictureDecode.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    AppCore::TPictureLibrary library;
    library.Assign(std::vector<uint8_t>(data, data + size));
    const uint8_t* begin = library.Data();
    const uint8_t* end = begin + library.Size();
    for (int group = 0; group < 9; ++group)
        for (int index = 0; index < 256; ++index) {
            const auto picture = library.Picture(group, index);
            if (!picture.empty() &&
                (picture.data() < begin || picture.data() + picture.size() > end))
                __builtin_trap(); // pictures always lie inside the library
        }
    AppCore::DecodePicture(library.Picture(0, 0));
    if (library.IsCutOff(0, 0) && !library.Picture(0, 0).empty()) __builtin_trap();
    QImage canvas = AppCore::BlankPreview();
    AppCore::RenderPreview(canvas, AppCore::PlanPreview("B1", 0, ""), library);
    return 0;
}
