#pragma once
// The picture library (GLB file) held whole in memory. After an 8-byte header lies a directory
// of groups of 256 entries of 8 bytes: a big-endian offset from the start of the file, then a
// big-endian length (0 = no picture).

#include <cstddef>
#include <cstdint>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace AppCore {

struct TLibraryEntry {
    uint32_t Offset = 0;
    uint32_t Length = 0;
};

class TPictureLibrary {
public:
    static constexpr std::size_t HeaderSize = 8;
    static constexpr std::size_t EntrySize = 8;
    static constexpr int EntriesPerGroup = 256;
    static constexpr std::size_t GroupSize = EntrySize * EntriesPerGroup; // 2048 bytes
    // The temporary picture file earlier versions left in the working folder. Pictures are
    // now decoded from memory; start-up only removes a stale one.
    static constexpr const char* TempFileName = "KRV_TEMPBMP.BMP";
    // Far beyond any real library (a few MB): a larger file is refused before it is read.
    static constexpr std::uint64_t MaxFileSize = 64u << 20;

    // Reads the whole file; false (library absent) when it cannot be read or is larger than
    // MaxFileSize.
    bool LoadFile(const std::string& path);
    // Takes a library image built in memory.
    void Assign(std::vector<uint8_t> bytes);
    void Release();

    bool IsLoaded() const { return Loaded; }
    std::size_t Size() const { return Bytes.size(); }
    const uint8_t* Data() const { return Bytes.data(); }

    // Directory entry (group, index); nullopt when group or index is negative, index is 256 or
    // more, or the entry itself lies outside the file.
    std::optional<TLibraryEntry> Entry(int group, int index) const;
    // The picture bytes of (group, index); empty when there is no picture or the entry points
    // outside the file (reported once per entry on the debug channel).
    std::span<const uint8_t> Picture(int group, int index) const;
    // True when the library is loaded and entry (group, index) of a real directory slot, or
    // the picture it names, lies outside the file: what a 0-byte or truncated library gives.
    bool IsCutOff(int group, int index) const;

private:
    std::vector<uint8_t> Bytes;
    bool Loaded = false;
    mutable std::set<std::pair<int, int>> ReportedBadEntries;
};

// Builds a library image: used by the tests and the sample data generator.
class TPictureLibraryBuilder {
public:
    // Groups 0 .. groupCount-1 get a directory; pictures follow the directory in the order set.
    explicit TPictureLibraryBuilder(int groupCount = 8);
    void SetHeader(const uint8_t (&header)[8]);
    void Set(int group, int index, std::vector<uint8_t> bytes);
    std::vector<uint8_t> Build() const;
    bool Save(const std::string& path) const;

private:
    int GroupCount;
    uint8_t Header[8] = {'K', 'R', 'V', 'G', 'L', 'B', 0, 0};
    std::vector<std::pair<std::pair<int, int>, std::vector<uint8_t>>> Pictures;
};

} // namespace AppCore
