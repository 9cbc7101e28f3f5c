#include "app/core/TPictureLibrary.h"

#include "XVclUtil/FileUtil.h"
#include "XVclUtil/MessageBox.h"

namespace AppCore {

namespace {

uint32_t BigEndian32(const uint8_t* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

void PutBigEndian32(uint8_t* p, uint32_t value) {
    p[0] = uint8_t(value >> 24);
    p[1] = uint8_t(value >> 16);
    p[2] = uint8_t(value >> 8);
    p[3] = uint8_t(value);
}

} // namespace

bool TPictureLibrary::LoadFile(const std::string& path) {
    Release();
    std::optional<std::vector<uint8_t>> bytes = XVclUtil::ReadWholeFile(path, MaxFileSize);
    if (!bytes) return false;
    Assign(std::move(*bytes));
    return true;
}

void TPictureLibrary::Assign(std::vector<uint8_t> bytes) {
    Bytes = std::move(bytes);
    Loaded = true;
    ReportedBadEntries.clear();
}

void TPictureLibrary::Release() {
    Bytes.clear();
    Bytes.shrink_to_fit();
    Loaded = false;
    ReportedBadEntries.clear();
}

std::optional<TLibraryEntry> TPictureLibrary::Entry(int group, int index) const {
    if (!Loaded || group < 0 || index < 0 || index >= EntriesPerGroup) return std::nullopt;
    const uint64_t position =
        HeaderSize + uint64_t(group) * GroupSize + uint64_t(index) * EntrySize;
    if (position + EntrySize > Bytes.size()) return std::nullopt;
    const uint8_t* p = Bytes.data() + position;
    return TLibraryEntry{BigEndian32(p), BigEndian32(p + 4)};
}

std::span<const uint8_t> TPictureLibrary::Picture(int group, int index) const {
    const std::optional<TLibraryEntry> entry = Entry(group, index);
    const bool inside = entry && uint64_t(entry->Offset) + entry->Length <= Bytes.size();
    if (entry && entry->Length != 0 && inside) return {Bytes.data() + entry->Offset, entry->Length};
    const bool broken = !entry || (entry->Length != 0 && !inside);
    if (Loaded && broken && ReportedBadEntries.insert({group, index}).second)
        XVclUtil::SendDbgString_Printf("TPictureLibrary: entry (%d, %d) lies outside the library\n",
                                       group, index);
    return {};
}

bool TPictureLibrary::IsCutOff(int group, int index) const {
    if (!Loaded || group < 0 || index < 0 || index >= EntriesPerGroup) return false;
    const std::optional<TLibraryEntry> entry = Entry(group, index);
    return !entry || uint64_t(entry->Offset) + entry->Length > Bytes.size();
}

TPictureLibraryBuilder::TPictureLibraryBuilder(int groupCount) : GroupCount(groupCount) {}

void TPictureLibraryBuilder::SetHeader(const uint8_t (&header)[8]) {
    std::copy(std::begin(header), std::end(header), Header);
}

void TPictureLibraryBuilder::Set(int group, int index, std::vector<uint8_t> bytes) {
    if (group < 0 || index < 0 || index >= TPictureLibrary::EntriesPerGroup) return;
    if (group >= GroupCount) GroupCount = group + 1;
    for (auto& picture : Pictures) {
        if (picture.first == std::make_pair(group, index)) {
            picture.second = std::move(bytes);
            return;
        }
    }
    Pictures.push_back({{group, index}, std::move(bytes)});
}

std::vector<uint8_t> TPictureLibraryBuilder::Build() const {
    const std::size_t directoryEnd =
        TPictureLibrary::HeaderSize + std::size_t(GroupCount) * TPictureLibrary::GroupSize;
    std::vector<uint8_t> image(directoryEnd, 0);
    std::copy(std::begin(Header), std::end(Header), image.begin());
    for (const auto& [key, bytes] : Pictures) {
        uint8_t* entry = image.data() + TPictureLibrary::HeaderSize +
                         std::size_t(key.first) * TPictureLibrary::GroupSize +
                         std::size_t(key.second) * TPictureLibrary::EntrySize;
        PutBigEndian32(entry, bytes.empty() ? 0 : uint32_t(image.size()));
        PutBigEndian32(entry + 4, uint32_t(bytes.size()));
        // The entry is written before the append, which may move the buffer.
        image.insert(image.end(), bytes.begin(), bytes.end());
    }
    return image;
}

bool TPictureLibraryBuilder::Save(const std::string& path) const {
    return XVclUtil::WriteWholeFile(path, Build());
}

} // namespace AppCore
