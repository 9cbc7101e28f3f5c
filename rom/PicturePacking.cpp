#include "PicturePacking.h"

#include "PictureEntry.h"
#include "RomLayout.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace Rom {

bool PackNumberedPictures(TWorkFolder& folder, const std::string& prefix,
                          const std::string& target) {
    const std::vector<TNumberedFile> files = folder.TakeNumbered(prefix, SetEntries);
    std::size_t total = SetIndexSize;
    for (const auto& [k, data] : files) total += data.size();
    std::vector<std::uint8_t> set(SetIndexSize, 0);
    set.reserve(total);
    for (const auto& [k, data] : files) {
        const std::size_t address = set.size(); // relative to the set: 0x600 + bytes before it
        set.insert(set.end(), data.begin(), data.end());
        PutSetEntry(set.data() + static_cast<std::size_t>(k) * PictureEntrySize,
                    static_cast<std::uint32_t>(address), static_cast<std::uint32_t>(data.size()));
    }
    return folder.Put(target, std::move(set));
}

TPackResult PackPictureBlock(TWorkFolder& folder, const std::string& prefix, int count,
                             std::uint32_t addressBase, std::span<std::uint8_t> block) {
    const std::size_t indexSize = static_cast<std::size_t>(std::max(count, 0)) * PictureEntrySize;
    if (indexSize + folder.NumberedSize(prefix, count) > block.size()) return TPackResult::TooLarge;
    std::fill(block.begin(), block.end(), 0);
    std::size_t used = indexSize;
    // An absent file's entry stays six 0 bytes.
    for (const auto& [k, data] : folder.TakeNumbered(prefix, count)) {
        std::memcpy(block.data() + used, data.data(), data.size());
        PutPictureEntry(block.data() + static_cast<std::size_t>(k) * PictureEntrySize,
                        addressBase + static_cast<std::uint32_t>(used),
                        static_cast<std::uint32_t>(data.size()));
        used += data.size();
    }
    return TPackResult::Packed;
}

} // namespace Rom
