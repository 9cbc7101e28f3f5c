#include "TRomImageReader.h"

#include "PictureEntry.h"
#include "RomImage.h"
#include "RomImageCompleteness.h"
#include "RomLayout.h"
#include "XVclUtil/Crc8.h"
#include "XVclUtil/Printf.h"

#include <algorithm>
#include <cstring>

namespace Rom {

namespace {

using XVclUtil::Format;

// Appends one problem to a list, keeping the list short enough to read.
void Note(std::string& list, int& count, const std::string& what) {
    if (++count <= 8)
        list += (list.empty() ? "" : "; ") + what;
    else if (count == 9)
        list += "; ...";
}

bool IsSetEntry(int n) {
    return (n >= 10 && n <= 14) || (n >= 30 && n <= 41);
}

} // namespace

TPictureKind TRomImageReader::KindOfIndexEntry(int n) {
    if (n >= 1 && n <= 3) return TPictureKind::Raw;
    if (IsSetEntry(n)) return TPictureKind::Set;
    if (n >= PmIndexEntry && n <= UbfIndexEntry) return TPictureKind::Block;
    return TPictureKind::Mono;
}

void TRomImageReader::Check(const std::string& name, bool ok, const std::string& detail) {
    CheckList.push_back({name, ok, detail});
}

bool TRomImageReader::AllChecksPass() const {
    return !CheckList.empty() &&
           std::all_of(CheckList.begin(), CheckList.end(), [](const TRomCheck& c) { return c.Ok; });
}

bool TRomImageReader::Load(std::span<const std::uint8_t> image) {
    Image.assign(image.begin(), image.end());
    CheckList.clear();
    PictureList.clear();
    Decoded = TDecodedCodeTableBlock();
    CodeTableRead = false;
    FloorCount = 0;
    const bool sizeOk = Image.size() == RomImageSize;
    Check("size", sizeOk, Format("%zu bytes%s", Image.size(), sizeOk ? "" : ", expected 458752"));
    if (!sizeOk) return false;
    CheckHead();
    CheckPages();
    CheckCodeTableBlock();
    ReadIndex();
    GuessOrientation();
    return AllChecksPass();
}

void TRomImageReader::CheckHead() {
    const std::uint8_t* d = Image.data();
    const bool sigOk = d[SignatureOffset] == 0 &&
                       std::memcmp(d + SignatureOffset + 1, SignatureText, SignatureSize - 1) == 0;
    Check("signature", sigOk, sigOk ? "\"PX KRV LCD MONO\"" : "not \"PX KRV LCD MONO\" at 0x7FF0");

    std::string bad;
    int badCount = 0;
    for (std::size_t copy = 0; copy < CrcTableCopies; ++copy)
        for (std::size_t i = 0; i < 256; ++i) {
            const std::size_t at = copy * 256 + i;
            const bool overlaid =
                (at >= PageCheckAreaOffset && at < PageCheckAreaOffset + PageCheckAreaSize) ||
                at >= SignatureOffset;
            if (!overlaid && d[at] != XVclUtil::Crc8Table[i]) {
                Note(bad, badCount, Format("copy %zu", copy));
                break;
            }
        }
    Check("CRC-8 table copies", badCount == 0,
          badCount == 0 ? "128 copies" : Format("%d copies differ: %s", badCount, bad.c_str()));

    bool padOk = true;
    for (std::size_t at = PageCheckAreaOffset; at < PageCheckAreaOffset + PageCheckAreaSize; ++at)
        if ((at < PageCheckOffset || at >= PageCheckOffset + PageCount) && d[at] != 0)
            padOk = false;
    Check("page check area", padOk,
          padOk ? "0x800-0x807 and 0x870-0x87F are 0" : "stray bytes beside the page check bytes");
}

void TRomImageReader::CheckPages() {
    std::string bad;
    int badCount = 0;
    for (std::size_t i = 0; i < PageCount; ++i)
        if (Image[PageCheckOffset + i] != PageCheckByte(Image.data(), i))
            Note(bad, badCount, Format("page %zu (0x%05zX)", i, PagedAreaOffset + i * PageSize));
    Check("page check bytes", badCount == 0,
          badCount == 0 ? "104 pages" : Format("%d pages differ: %s", badCount, bad.c_str()));
}

void TRomImageReader::CheckCodeTableBlock() {
    const std::uint8_t* block = Image.data() + CodeTableBlockOffset;
    const std::uint8_t crc = XVclUtil::Crc8(block, CodeTableBlockSize - 1);
    const bool ok = crc == block[CodeTableBlockSize - 1];
    Check("code-table block check byte", ok,
          ok ? Format("0x%02X", crc)
             : Format("stored 0x%02X, computed 0x%02X", block[CodeTableBlockSize - 1], crc));
    Decoded = DecodeCodeTableBlock(std::span<const std::uint8_t>(block, CodeTableBlockSize));
    CodeTableRead = true;
    Check("code-table block signature", Decoded.SignatureOk,
          Decoded.SignatureOk ? "\"KRVFLLCD02\"" : "no \"KRVFLLCD02\" with its fixed bytes");
}

void TRomImageReader::AddPicture(TRomPicture p) {
    auto bytes = Bytes(p);
    if (p.Kind == TPictureKind::Mono && IsMonoRecord(bytes)) {
        p.IsRecord = true;
        p.Width = bytes[0] | bytes[1] << 8;
        p.Height = bytes[2] | bytes[3] << 8;
    }
    PictureList.push_back(std::move(p));
}

void TRomImageReader::ReadIndex() {
    const std::uint8_t* index = Image.data() + RomIndexOffset;
    bool fixedOk = true;
    for (int i = 0; i < 3; ++i)
        if (std::memcmp(index + (PmIndexEntry + i) * PictureEntrySize, FixedEntryBytes[i],
                        PictureEntrySize) != 0)
            fixedOk = false;
    Check("fixed index entries 140-142", fixedOk,
          fixedOk ? "PM 0x54000, UM 0x5C000, UBF 0x5D000" : "not the PM, UM and UBF block entries");

    std::string problems;
    int count = 0;
    const std::uint32_t dataEnd =
        FirstPictureAddress + static_cast<std::uint32_t>(PictureDataCapacity);
    std::vector<TRomPicture> sets;
    EmptyEntries = 0;
    for (int n = 0; n < static_cast<int>(RomIndexEntries); ++n) {
        if (n >= PmIndexEntry && n <= UbfIndexEntry) continue;
        TPictureEntry e = GetPictureEntry(index + n * PictureEntrySize);
        if (!e.WellFormed) Note(problems, count, Format("entry %d malformed", n));
        if (!e.Present) {
            ++EmptyEntries;
            continue;
        }
        if (e.Address < FirstPictureAddress || e.Size == 0 || e.Address + e.Size > dataEnd) {
            Note(problems, count, Format("entry %d outside the picture data", n));
            continue;
        }
        TRomPicture p;
        p.Name = Format("M_%d", n);
        p.Index = n;
        p.Kind = KindOfIndexEntry(n);
        p.Address = e.Address;
        p.FileOffset = e.Address - RomDeviceBase;
        p.Size = e.Size;
        if (p.Kind == TPictureKind::Set) sets.push_back(p);
        AddPicture(p);
    }
    for (const TRomPicture& set : sets) ReadSet(set, problems);
    ReadBlocks(problems);
    Check("index entries in range", problems.empty(),
          problems.empty() ? Format("%zu pictures", PictureList.size()) : problems);
}

void TRomImageReader::ReadSet(const TRomPicture& set, std::string& problems) {
    int count = 0;
    if (set.Size < SetIndexSize) {
        Note(problems, count, set.Name + " shorter than its index");
        return;
    }
    const std::uint8_t* index = Image.data() + set.FileOffset;
    int pictures = 0;
    for (int k = 0; k < static_cast<int>(SetEntries); ++k) {
        TPictureEntry e = GetSetEntry(index + k * PictureEntrySize);
        if (!e.WellFormed)
            Note(problems, count, Format("%s entry %d malformed", set.Name.c_str(), k));
        if (!e.Present) continue;
        if (e.Address < SetIndexSize || e.Size == 0 || e.Address + e.Size > set.Size) {
            Note(problems, count, Format("%s entry %d outside the set", set.Name.c_str(), k));
            continue;
        }
        TRomPicture p;
        p.Name = Format("%s.%d", set.Name.c_str(), k);
        p.Index = set.Index;
        p.SetEntry = k;
        p.Address = e.Address;
        p.FileOffset = set.FileOffset + e.Address;
        p.Size = e.Size;
        AddPicture(p);
        ++pictures;
    }
    for (TRomPicture& p : PictureList)
        if (p.Index == set.Index && p.SetEntry < 0) p.SetPictures = pictures;
}

void TRomImageReader::ReadBlocks(std::string& problems) {
    ReadBlock("PM_", PmBlockOffset, PmBlockSize, static_cast<int>(PmEntries), PmBlockAddress,
              problems);
    ReadBlock("UM_", UmBlockOffset, UmBlockSize, static_cast<int>(UmEntries), 0, problems);
    // The UBF index holds one entry per floor picture; entry 0 starts right after it.
    const std::uint8_t* ubf = Image.data() + UbfBlockOffset;
    TPictureEntry first = GetPictureEntry(ubf);
    int count = 0;
    if (first.Present) {
        if (first.Address % PictureEntrySize != 0 ||
            first.Address / PictureEntrySize > MaxFloorPictures) {
            int n = 0;
            Note(problems, n, "UBF index size unreadable");
            return;
        }
        count = static_cast<int>(first.Address / PictureEntrySize);
    }
    FloorCount = count;
    ReadBlock("UBF_", UbfBlockOffset, UbfBlockSize, count, 0, problems);
}

void TRomImageReader::ReadBlock(const char* prefix, std::size_t offset, std::size_t size, int count,
                                std::uint32_t base, std::string& problems) {
    int noted = 0;
    const std::uint8_t* block = Image.data() + offset;
    const std::size_t indexSize = static_cast<std::size_t>(count) * PictureEntrySize;
    for (int k = 0; k < count; ++k) {
        TPictureEntry e = GetPictureEntry(block + k * PictureEntrySize);
        if (!e.WellFormed) Note(problems, noted, Format("%s%d malformed", prefix, k));
        if (!e.Present) continue;
        if (e.Address < base + indexSize || e.Size == 0 || e.Address - base + e.Size > size) {
            Note(problems, noted, Format("%s%d outside its block", prefix, k));
            continue;
        }
        TRomPicture p;
        p.Name = Format("%s%d", prefix, k);
        p.Index = k;
        p.Kind = std::strcmp(prefix, "PM_") == 0 ? TPictureKind::Raw : TPictureKind::Mono;
        p.Address = e.Address;
        p.FileOffset = offset + (e.Address - base);
        p.Size = e.Size;
        AddPicture(p);
    }
}

std::span<const std::uint8_t> TRomImageReader::Bytes(const TRomPicture& picture) const {
    if (picture.FileOffset > Image.size() || picture.Size > Image.size() - picture.FileOffset)
        return {};
    return std::span<const std::uint8_t>(Image.data() + picture.FileOffset, picture.Size);
}

TPicture TRomImageReader::StoredImage(const TRomPicture& picture) const {
    return picture.IsRecord ? DecodeMonoBitmap(Bytes(picture)) : TPicture();
}

TPicture TRomImageReader::ViewImage(const TRomPicture& picture) const {
    TPicture stored = StoredImage(picture);
    if (stored.IsNull() || Orientation == TDisplayType::Horizontal) return stored;
    // A vertical display's records are the pictures turned counter-clockwise.
    return TurnedClockwise(stored);
}

void TRomImageReader::GuessOrientation() {
    auto find = [&](const std::string& name) -> const TRomPicture* {
        for (const TRomPicture& p : PictureList)
            if (p.Name == name && p.IsRecord) return &p;
        return nullptr;
    };
    // Titles are wider than high; floor-number glyphs higher than wide.
    if (const TRomPicture* title = find("UM_1")) {
        Orientation =
            title->Width < title->Height ? TDisplayType::Vertical : TDisplayType::Horizontal;
        return;
    }
    for (const TRomPicture& p : PictureList)
        if (p.SetEntry >= 0 && p.Index >= 10 && p.Index <= 14 && p.IsRecord) {
            Orientation = p.Width > p.Height ? TDisplayType::Vertical : TDisplayType::Horizontal;
            return;
        }
}

namespace {

// The first check that fails, as "name: detail".
std::string FirstFailure(const TRomImageReader& reader) {
    for (const TRomCheck& check : reader.Checks())
        if (!check.Ok) return check.Name + ": " + check.Detail;
    return "unreadable";
}

} // namespace

std::string RomImageProblem(std::span<const std::uint8_t> image) {
    TRomImageReader reader;
    return reader.Load(image) ? std::string() : FirstFailure(reader);
}

std::string RomImageObjection(std::span<const std::uint8_t> image) {
    TRomImageReader reader;
    if (!reader.Load(image)) return "Not a ROM image made by MAKE ROM: " + FirstFailure(reader);
    const std::vector<std::string> warnings = IncompleteImageWarnings(reader);
    if (warnings.empty()) return "";
    std::string text = "Incomplete ROM image: ";
    for (std::size_t i = 0; i < warnings.size(); ++i) text += (i ? "; " : "") + warnings[i];
    return text;
}

} // namespace Rom
