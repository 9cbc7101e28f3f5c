#include "tools/sampledata/TSampleLibrary.h"

#include "tools/sampledata/PictureFormats.h"

#include "XVclUtil/EXGeneral.h"

#include <cstdint>

namespace SampleData {

namespace {

// "KRVGLB", format 2, eight groups.
constexpr char GlbHeader[TSampleLibrary::HeaderSize] = {'K', 'R', 'V', 'G', 'L', 'B', 2, 8};

void PutBe32(std::string& s, std::size_t at, uint32_t v) {
    for (int b = 0; b < 4; ++b) s[at + b] = static_cast<char>((v >> (24 - 8 * b)) & 0xFF);
}

uint32_t Be32(const std::string& s, std::size_t at) {
    uint32_t v = 0;
    for (int b = 0; b < 4; ++b) v = (v << 8) | static_cast<uint8_t>(s[at + b]);
    return v;
}

std::size_t EntryPosition(int group, int index) {
    return TSampleLibrary::HeaderSize + std::size_t(group) * TSampleLibrary::EntriesPerGroup * 8 +
           std::size_t(index) * 8;
}

} // namespace

void TSampleLibrary::Set(int group, int index, TEntryKind kind, std::string bytes,
                         std::string caption) {
    if (group < 0 || group >= GroupCount || index < 0 || index >= EntriesPerGroup || bytes.empty())
        throw XVclUtil::EXGeneral("Err: library entry (%d, %d) out of range or empty", group,
                                  index);
    Items[{group, index}] = {kind, std::move(bytes), std::move(caption)};
}

void TSampleLibrary::SetPicture(int group, int index, const QImage& mono, std::string caption) {
    Set(group, index, TEntryKind::Bmp, EncodeBmp1(mono), std::move(caption));
}

const TSampleEntry* TSampleLibrary::Find(int group, int index) const {
    const auto it = Items.find({group, index});
    return it == Items.end() ? nullptr : &it->second;
}

std::string TSampleLibrary::GlbBytes() const {
    std::string glb(DirectorySize, '\0');
    glb.replace(0, HeaderSize, GlbHeader, HeaderSize);
    for (const auto& [key, entry] : Items) {
        const std::size_t at = EntryPosition(key.first, key.second);
        PutBe32(glb, at, static_cast<uint32_t>(glb.size()));
        PutBe32(glb, at + 4, static_cast<uint32_t>(entry.Bytes.size()));
        glb += entry.Bytes;
    }
    return glb;
}

std::string GlbEntryBytes(const std::string& glb, int group, int index) {
    if (group < 0 || index < 0 || index >= TSampleLibrary::EntriesPerGroup) return {};
    const std::size_t at = EntryPosition(group, index);
    if (at + 8 > glb.size()) return {};
    const uint32_t offset = Be32(glb, at), length = Be32(glb, at + 4);
    if (length == 0 || offset + uint64_t(length) > glb.size()) return {};
    return glb.substr(offset, length);
}

} // namespace SampleData
