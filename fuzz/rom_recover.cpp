// Reads arbitrary bytes as a ROM image to recover a project from and to compare with: the
// recovery refuses a damaged image with its reason and reads a sealed one without reading
// outside the bytes; the comparison names what differs. When the first byte asks for it, the
// image's head, fixed entries and check bytes are set right first, so that the recovery reads
// past the checks into the index, the blocks and the pictures.

#include "XVclUtil/Crc8.h"
#include "rom/RomDiff.h"
#include "rom/RomImage.h"
#include "rom/RomLayout.h"
#include "rom/RomRecovery.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

void Seal(std::vector<std::uint8_t>& image) {
    using namespace Rom;
    for (std::size_t copy = 0; copy < CrcTableCopies; ++copy)
        std::memcpy(image.data() + copy * 256, XVclUtil::Crc8Table.data(), 256);
    image[SignatureOffset] = 0;
    std::memcpy(image.data() + SignatureOffset + 1, SignatureText, SignatureSize - 1);
    for (int e = 0; e < 3; ++e)
        std::memcpy(image.data() + RomIndexOffset + (PmIndexEntry + e) * PictureEntrySize,
                    FixedEntryBytes[e], PictureEntrySize);
    std::uint8_t* block = image.data() + CodeTableBlockOffset;
    std::memcpy(block + (OptionsOffset - CodeTableBlockSource), OptionSignature, 10);
    const std::uint8_t fixed[4] = {1, 2, 0xFF, 0x70};
    std::memcpy(block + (OptionsOffset - CodeTableBlockSource) + 10, fixed, 4);
    block[CodeTableBlockSize - 1] = XVclUtil::Crc8(block, CodeTableBlockSize - 1);
    SealPageChecks(image);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    std::vector<std::uint8_t> image(data, data + size);
    if (size > 0 && size < Rom::RomImageSize && data[0] & 1)
        image.resize(Rom::RomImageSize, data[size - 1]);
    std::vector<std::uint8_t> sealed = image;
    if (sealed.size() == Rom::RomImageSize) Seal(sealed);
    const std::vector<std::uint8_t>& input = size > 0 && data[0] & 2 ? sealed : image;

    Rom::TRecoveryInput in;
    in.Models = {{"KRV-RS"}, {"KRV-BIN", 1}};
    in.SideFile = std::vector<std::uint8_t>(Rom::ConfigBlockSize, size > 1 ? data[1] : 0);
    Rom::TRecoveredProject project;
    std::string error;
    const bool ok = Rom::RecoverProject(input, in, project, error);
    if (!ok && error.empty()) std::abort(); // a refusal always says why
    for (const Rom::TRecoveredPicture& p : project.Pictures)
        if (p.Picture.IsNull()) std::abort();

    const auto differences = Rom::DiffRomImages(image, sealed);
    if (differences.empty() != (image == sealed)) std::abort();
    Rom::FormatDifferences(differences);
    return 0;
}
