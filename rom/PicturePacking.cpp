#include "PicturePacking.h"

#include "PictureEntry.h"
#include "RomLayout.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace Rom {

std::size_t SumNumberedFiles(const TWorkFolder& folder, const std::string& prefix, int count) {
    std::size_t sum = 0;
    for (int k = 0; k < count; ++k)
        if (auto size = folder.Size(prefix + std::to_string(k))) sum += *size;
    return sum;
}

bool PackNumberedPictures(TWorkFolder& folder, const std::string& prefix,
                          const std::string& target) {
    const std::size_t total = SumNumberedFiles(folder, prefix, SetEntries);
    std::vector<std::uint8_t> set(SetIndexSize, 0);
    set.reserve(SetIndexSize + total);
    for (std::size_t k = 0; k < SetEntries; ++k) {
        const std::string name = prefix + std::to_string(k);
        auto data = folder.Read(name);
        if (!data) continue;
        const std::size_t address = set.size(); // relative to the set: 0x600 + bytes before it
        set.insert(set.end(), data->begin(), data->end());
        folder.Remove(name);
        PutSetEntry(set.data() + k * PictureEntrySize, static_cast<std::uint32_t>(address),
                    static_cast<std::uint32_t>(data->size()));
    }
    return folder.Write(target, set);
}

TPackResult PackPictureBlock(TWorkFolder& folder, const std::string& prefix, int count,
                             std::uint32_t addressBase, std::span<std::uint8_t> block) {
    const std::size_t indexSize = static_cast<std::size_t>(std::max(count, 0)) * PictureEntrySize;
    if (indexSize + SumNumberedFiles(folder, prefix, count) > block.size())
        return TPackResult::TooLarge;
    std::fill(block.begin(), block.end(), 0);
    std::size_t used = indexSize;
    for (int k = 0; k < count; ++k) {
        const std::string name = prefix + std::to_string(k);
        auto data = folder.Read(name);
        if (!data) continue; // the entry stays six 0 bytes
        std::memcpy(block.data() + used, data->data(), data->size());
        PutPictureEntry(block.data() + static_cast<std::size_t>(k) * PictureEntrySize,
                        addressBase + static_cast<std::uint32_t>(used),
                        static_cast<std::uint32_t>(data->size()));
        used += data->size();
        folder.Remove(name);
    }
    return TPackResult::Packed;
}

} // namespace Rom
