#pragma once
// The sample picture library being put together: every entry with its bytes, what kind of bytes
// they are and a caption, and the GLB file made from them (8-byte header, a directory of groups
// 0 to 7 of 256 eight-byte entries with big-endian offset and length, then the pictures).

#include <QImage>

#include <map>
#include <string>
#include <utility>

namespace SampleData {

enum class TEntryKind {
    Bmp,              // a 1-bit BMP file the build encodes
    RecordRowMajor,   // a mono bitmap record for a horizontal display, copied unchanged
    RecordRotated,    // a mono bitmap record for a vertical display, copied unchanged
    SetRowMajor,      // a numbered picture set of row-major records, copied unchanged
    SetRotated,       // a numbered picture set of rotated records, copied unchanged
    BootFont,         // the 8 x 13 font of 256 glyphs at the head of the configuration block
    RecordBootScreen, // a row-major record behind the checksummed configuration block
};

struct TSampleEntry {
    TEntryKind Kind = TEntryKind::Bmp;
    std::string Bytes;
    std::string Caption;
};

class TSampleLibrary {
public:
    static constexpr int GroupCount = 8;
    static constexpr int EntriesPerGroup = 256;
    static constexpr std::size_t HeaderSize = 8;
    static constexpr std::size_t DirectorySize = HeaderSize + GroupCount * EntriesPerGroup * 8;

    // Stores one entry, replacing what was there.
    void Set(int group, int index, TEntryKind kind, std::string bytes, std::string caption);
    // Stores a picture as a 1-bit BMP file.
    void SetPicture(int group, int index, const QImage& mono, std::string caption);

    const TSampleEntry* Find(int group, int index) const;
    const std::map<std::pair<int, int>, TSampleEntry>& Entries() const { return Items; }

    // The GLB file: pictures in (group, index) order right behind the directory.
    std::string GlbBytes() const;

private:
    std::map<std::pair<int, int>, TSampleEntry> Items;
};

// Bytes of entry (group, index) of a GLB file; empty when the entry is empty or out of range.
std::string GlbEntryBytes(const std::string& glb, int group, int index);

} // namespace SampleData
