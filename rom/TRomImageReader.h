#pragma once
// Reads a ROM image back: verifies its size, signature, CRC-8 table copies, page check bytes,
// code-table block, fixed index entries and every index entry, and finds its pictures and
// option bytes. Every offset is checked before it is read, so any bytes are safe to give it.

#include "MonoBitmap.h"
#include "TConfigBlock.h"

#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace Rom {

struct TRomCheck {
    std::string Name;
    bool Ok = false;
    std::string Detail;
};

enum class TPictureKind { Mono, Raw, Set, Block };

// One picture found in the image: an entry of the ROM picture index, of a numbered picture
// set, or of the PM, UM or UBF block.
struct TRomPicture {
    std::string Name;  // "M_4", "M_30.7" (entry 7 of set M_30), "UM_1", "UBF_0", "PM_2"
    int Index = 0;     // ROM index entry, or block entry
    int SetEntry = -1; // entry inside a numbered set
    TPictureKind Kind = TPictureKind::Mono;
    std::uint32_t Address = 0;  // as stored in its entry
    std::size_t FileOffset = 0; // where its bytes start in the image
    std::size_t Size = 0;
    bool IsRecord = false;     // a complete mono bitmap record
    int Width = 0, Height = 0; // stored size of a record
    int SetPictures = 0;       // pictures inside a set
};

class TRomImageReader {
public:
    // Verifies and indexes the image; false when any check fails.
    bool Load(std::span<const std::uint8_t> image);

    const std::vector<TRomCheck>& Checks() const { return CheckList; }
    // A check made beside the image (its side file), reported with the others.
    void AddCheck(TRomCheck check) { CheckList.push_back(std::move(check)); }
    bool AllChecksPass() const;
    const std::vector<TRomPicture>& Pictures() const { return PictureList; }
    const TDecodedCodeTableBlock& CodeTableBlock() const { return Decoded; }
    bool HasCodeTableBlock() const { return CodeTableRead; }
    int FloorPictureCount() const { return FloorCount; }
    // Entries of the ROM picture index (the fixed block entries aside) that hold no picture.
    int EmptyIndexEntries() const { return EmptyEntries; }

    std::span<const std::uint8_t> Bytes(const TRomPicture& picture) const;
    // The record as stored (rotated for a vertical display), or null for raw data.
    TPicture StoredImage(const TRomPicture& picture) const;
    // As a person sees it on the display: vertical-display records turned back upright.
    TPicture ViewImage(const TRomPicture& picture) const;
    // Judged from the shape of the customer title (or the floor-number glyphs).
    TDisplayType DisplayType() const { return Orientation; }

    static TPictureKind KindOfIndexEntry(int n);

private:
    void Check(const std::string& name, bool ok, const std::string& detail);
    void CheckHead();
    void CheckPages();
    void CheckCodeTableBlock();
    void ReadIndex();
    void ReadSet(const TRomPicture& set, std::string& problems);
    void ReadBlocks(std::string& problems);
    void ReadBlock(const char* prefix, std::size_t offset, std::size_t size, int count,
                   std::uint32_t base, std::string& problems);
    void AddPicture(TRomPicture p);
    void GuessOrientation();

    std::vector<std::uint8_t> Image;
    std::vector<TRomCheck> CheckList;
    std::vector<TRomPicture> PictureList;
    TDecodedCodeTableBlock Decoded;
    bool CodeTableRead = false;
    int EmptyEntries = 0;
    int FloorCount = 0;
    TDisplayType Orientation = TDisplayType::Vertical;
};

// Why bytes are not a ROM image as MAKE ROM writes it: the first check that fails, as
// "name: detail". Empty when every check holds.
std::string RomImageProblem(std::span<const std::uint8_t> image);

// What the upload commands ask about before sending: "Not a ROM image made by MAKE ROM: ..."
// when a check fails, "Incomplete ROM image: ..." when the checks hold but the image lacks
// what its options use (RomImageCompleteness.h). Empty for a sound, complete image.
std::string RomImageObjection(std::span<const std::uint8_t> image);

} // namespace Rom
