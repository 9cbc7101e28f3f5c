#include "RomImage.h"

#include "PictureEntry.h"
#include "PicturePacking.h"
#include "XVclUtil/AtomicFile.h"
#include "XVclUtil/Crc8.h"
#include "XVclUtil/FileUtil.h"

#include <algorithm>
#include <cstring>

namespace Rom {

namespace {

void FillHead(std::uint8_t* image) {
    for (std::size_t copy = 0; copy < CrcTableCopies; ++copy)
        std::memcpy(image + copy * 256, XVclUtil::Crc8Table.data(), 256);
    image[SignatureOffset] = 0;
    std::memcpy(image + SignatureOffset + 1, SignatureText, SignatureSize - 1);
}

// Appends prefix<n> to the picture data and writes index entry n, for every n that exists.
void PackPictures(TWorkFolder& folder, const std::string& prefix, std::uint8_t* image) {
    std::size_t used = 0;
    for (const auto& [n, data] : folder.TakeNumbered(prefix, RomIndexEntries)) {
        std::memcpy(image + PictureDataOffset + used, data.data(), data.size());
        PutPictureEntry(image + RomIndexOffset + static_cast<std::size_t>(n) * PictureEntrySize,
                        FirstPictureAddress + static_cast<std::uint32_t>(used),
                        static_cast<std::uint32_t>(data.size()));
        used += data.size();
    }
    const int fixed[3] = {PmIndexEntry, UmIndexEntry, UbfIndexEntry};
    for (int i = 0; i < 3; ++i)
        std::memcpy(image + RomIndexOffset + fixed[i] * PictureEntrySize, FixedEntryBytes[i],
                    PictureEntrySize);
}

// A block shorter than its area leaves the rest 0; a longer one is cut at the area's end.
void CopyBlock(std::uint8_t* out, const std::vector<std::uint8_t>& block, std::size_t area) {
    std::memcpy(out, block.data(), std::min(block.size(), area));
}

} // namespace

std::uint8_t PageCheckByte(const std::uint8_t* image, std::size_t page) {
    return XVclUtil::Crc8(image + PagedAreaOffset + page * PageSize, PageSize);
}

void SealPageChecks(std::vector<std::uint8_t>& image) {
    std::memset(image.data() + PageCheckAreaOffset, 0, PageCheckAreaSize);
    for (std::size_t i = 0; i < PageCount; ++i)
        image[PageCheckOffset + i] = PageCheckByte(image.data(), i);
}

std::optional<std::vector<std::uint8_t>>
BuildRomImage(TWorkFolder& folder, const std::string& prefix, const TRomBlocks& blocks) {
    if (folder.NumberedSize(prefix, RomIndexEntries) > PictureDataCapacity) return std::nullopt;
    std::vector<std::uint8_t> image(RomImageSize, 0);
    FillHead(image.data());
    PackPictures(folder, prefix, image.data());

    std::array<std::uint8_t, CodeTableBlockSize> codeTable = blocks.CodeTable;
    codeTable[CodeTableBlockSize - 1] = XVclUtil::Crc8(codeTable.data(), CodeTableBlockSize - 1);
    std::memcpy(image.data() + CodeTableBlockOffset, codeTable.data(), CodeTableBlockSize);

    CopyBlock(image.data() + PmBlockOffset, blocks.Pm, PmBlockSize);
    CopyBlock(image.data() + UmBlockOffset, blocks.Um, UmBlockSize);
    CopyBlock(image.data() + UbfBlockOffset, blocks.Ubf, UbfBlockSize);

    SealPageChecks(image);
    return image;
}

TRomWriteResult WriteRomImage(TWorkFolder& folder, const std::string& prefix,
                              const std::string& romFileName, const TRomBlocks& blocks,
                              std::string* error) {
    auto image = BuildRomImage(folder, prefix, blocks);
    if (!image) return TRomWriteResult::TooLong;
    if (!XVclUtil::WriteFileAtomically(XVclUtil::ChangeFileExt(romFileName, ".ROM"), *image, error))
        return TRomWriteResult::WriteFailed;
    return TRomWriteResult::Written;
}

bool WriteBinSideFile(const std::string& romFileName, const TConfigBlock& config,
                      std::string* error) {
    return XVclUtil::WriteFileAtomically(XVclUtil::ChangeFileExt(romFileName, ".BIN"),
                                         config.Bytes(), error);
}

} // namespace Rom
