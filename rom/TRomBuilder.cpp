#include "TRomBuilder.h"

#include "EPictureLoad.h"
#include "PicturePacking.h"
#include "PictureWarnings.h"
#include "Text.h"
#include "WorkFiles.h"
#include "XVclUtil/AtomicFile.h"
#include "XVclUtil/FileUtil.h"
#include "XVclUtil/PlatformPaths.h"
#include "XVclUtil/Printf.h"

#include <algorithm>
#include <cctype>
#include <exception>
#include <new>
#include <optional>

namespace Rom {

namespace {

// A step that cannot go on: the message box that ends the build.
struct TBuildStop {
    std::string Caption;
    std::string Text;
};

const char* const TooLongText = "Error!!\n\nFile size too long\n\nPlease remove some files.!!\n";

// Two names of one file on a file system that does not tell case apart.
bool SameNameAnyCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) ==
                      std::toupper(static_cast<unsigned char>(y));
           });
}

std::string Num(const char* prefix, int n) {
    return prefix + std::to_string(n);
}

// A floor picture name must stay inside its style folder and be a plain file name.
bool IsPlainFileName(const std::string& name) {
    for (unsigned char c : name)
        if (c < 0x20 || c == 0x7F || c == '/' || c == '\\') return false;
    return true;
}

} // namespace

TRomBuilder::TRomBuilder(const TRomBuildInput& input, TRomBuildEvents events)
    : Input(input), Events(std::move(events)) {}

void TRomBuilder::Line(const std::string& text) const {
    if (Events.OnMessageLine) Events.OnMessageLine(text);
}

void TRomBuilder::Stop(const std::string& caption, const std::string& text) const {
    throw TBuildStop{caption, text};
}

bool TRomBuilder::Run() {
    auto show = [&](const std::string& caption, const std::string& text) {
        if (Events.OnMessageBox) Events.OnMessageBox(caption, text);
    };
    bool finished = false;
    try {
        Steps();
        finished = true;
    } catch (const TBuildStop& stop) {
        show(stop.Caption, stop.Text);
    } catch (const EPictureLoad& e) {
        show("File error",
             "Error!!\n\nPicture file cannot be loaded:\n" + e.FileName + "\n(" + e.Reason + ")\n");
    } catch (const std::bad_alloc&) {
        show("Error", "Error!!\n\nOut of memory!!\n");
    } catch (const std::exception& e) {
        show("Error", std::string("Error!!\n\n") + e.what() + "!!\n");
    }
    // The private work folder goes with the build, whatever happened.
    for (const std::string& name : Work.Names()) Work.Remove(name);
    if (finished) show("Succeeded", "ROM create finish!!\n\n");
    return finished;
}

void TRomBuilder::Steps() {
    for (std::size_t t = 0; t < CodeTableCount; ++t)
        for (std::size_t r = 0; r < CodeTableRows; ++r)
            CellTable[t][r] = TrimUpper(Input.Cells[t][r]);
    FloorPictures.fill(std::string());
    FloorSlots.clear();
    FloorCount = 0;
    MissingPictures = 0;
    CheckModelSettings();

    EncodeCodeTables();
    MakeArrowSets();
    MakeFloorNumberSets();
    Config.Clear();
    Config.Fill(Input.Options, Tables);
    MakeCustomerPictures();
    FillConfigFromLibrary();
    MakeMessagePictures();
    MoveRawEntries();
    // An image short of the library pictures would be taken for a whole one: no image.
    if (MissingPictures > 0)
        Stop("File error",
             XVclUtil::Format("Error!!\n\nThe picture library %s cannot be read whole:\n%d "
                              "pictures lie past its end (the file is cut short, or its "
                              "directory points past its end)\n\nNo ROM image was written.!!\n",
                              Input.LibraryName.c_str(), MissingPictures));
    PackBlocks();
    RomBlocks.CodeTable = Config.CodeTableBlock();
    WriteOutputs();
    Work.Remove(TempPictureName);
}

int TRomBuilder::FindFloorPicture(const std::string& path) const {
    auto it = FloorSlots.find(path);
    return it == FloorSlots.end() ? -1 : it->second;
}

// The library indices of the model settings, checked before any arithmetic on them: the PM
// pairs take OFFSET..OFFSET+3 and SETOFFSET..SETOFFSET+3 of group BANK.
void TRomBuilder::CheckModelSettings() const {
    auto check = [&](const char* key, int value, int last) {
        if (value < 0 || value > last)
            Stop("Data error",
                 XVclUtil::Format("Error!!\n\nModel setting %s=%d is out of range (0 to %d)\n\n"
                                  "Please check the model settings.!!\n",
                                  key, value, last));
    };
    check("BANK", Input.BANK, MaxLibraryGroup);
    check("OFFSET", Input.OFFSET, 255 - 3);
    check("SETOFFSET", Input.SETOFFSET, 255 - 3);
    check("CFI", Input.CFI, 255);
    check("IFI", Input.IFI, 255);
}

void TRomBuilder::EncodeCodeTables() {
    for (int t = 0; t < static_cast<int>(CodeTableCount); ++t)
        for (int r = 0; r < static_cast<int>(CodeTableRows); ++r) EncodeCell(t, r, CellTable[t][r]);
}

void TRomBuilder::EncodeCell(int t, int r, const std::string& text) {
    std::uint8_t& kind = Tables.Kind[t][r];
    std::uint8_t& value = Tables.Value[t][r];
    kind = value = 0;
    auto code = [](char c) { return static_cast<std::uint8_t>(c); };
    if (text.empty()) return;
    if (text.size() == 1) {
        value = code(text[0]);
        return;
    }
    if (text.size() == 2) {
        kind = text[0] == '0' ? 0 : code(text[0]);
        value = code(text[1]);
        return;
    }
    const std::string path = Input.FloorStylePrefix + std::to_string(Input.Options.DEF_FL) +
                             XVclUtil::PathDelim + text + ".bmp";
    const std::string found =
        IsPlainFileName(text) ? XVclUtil::FindFileNoCase(path) : std::string();
    if (found.empty()) {
        Line(
            XVclUtil::Format("[Warning] CTBL%d-%02X (%d ) not found --> auto cancel !!!", t, r, r));
        const std::string name = XVclUtil::FileNameOfPath(path);
        Line("[Warning] " + name + " was looked for in " +
             path.substr(0, path.size() - name.size()));
        if (Events.OnCellCancelled) Events.OnCellCancelled(t, r);
        return;
    }
    int slot = FindFloorPicture(path);
    if (slot < 0) {
        if (FloorCount >= static_cast<int>(MaxFloorPictures))
            Stop("File error", "Error!!\n\nUBF block: more than 256 floor pictures\n\n"
                               "Please remove some files.!!\n");
        EncodeFile(found, Num("UBF_", FloorCount));
        FloorPictures[static_cast<std::size_t>(FloorCount)] = path;
        FloorSlots.emplace(path, FloorCount);
        slot = FloorCount++;
    }
    kind = 254;
    value = static_cast<std::uint8_t>(slot);
}

void TRomBuilder::MakeArrowSets() {
    for (int s = 0; s < 12; ++s)
        for (int k = 0; k < 6; ++k) {
            const std::string prefix = Num("DIR", s) + "_";
            EncodeLibrary(1, 100 + 13 * s + k, Num(prefix.c_str(), k + 1));
            EncodeLibrary(1, 106 + 13 * s + k, Num(prefix.c_str(), k + 21));
        }
    for (int s = 0; s < 12; ++s)
        if (!PackNumberedPictures(Work, Num("DIR", s) + "_", Num("M_", 30 + s)))
            Stop("File error",
                 "Error!!\n\nCannot write the arrow set " + Num("M_", 30 + s) + "!!\n");
    for (int s = 0; s < 12; ++s) DeleteNumberedFiles(Work, Num("DIR", s) + "_", 255);
}

void TRomBuilder::MakeFloorNumberSets() {
    for (int g = 1; g <= 5; ++g)
        for (int i = 0; i < 100; ++i) EncodeLibrary(g, i, Num("S", g) + "_" + std::to_string(i));
    for (int g = 1; g <= 5; ++g)
        if (!PackNumberedPictures(Work, Num("S", g) + "_", Num("M_", 9 + g)))
            Stop("File error",
                 "Error!!\n\nCannot write the floor-number set " + Num("M_", 9 + g) + "!!\n");
    for (int g = 1; g <= 5; ++g) DeleteNumberedFiles(Work, Num("S", g) + "_", 255);
}

void TRomBuilder::MakeCustomerPictures() {
    const std::string& title = Vertical() ? Input.TITLEFILENAME_V : Input.TITLEFILENAME_H;
    // A chosen file that is gone is named in a warning and replaced as if none was chosen.
    const TSlotSize titleSize = Vertical() ? TSlotSize{128, 24} : TSlotSize{104, 24};
    if (!EncodeExistingFile(title, "UM_1", titleSize, "customer title",
                            "the library title is used"))
        EncodeLibrary(0, Vertical() ? 0 : 5, "UM_1");
    if (!EncodeExistingFile(Input.TITLEFILENAME_2, "UM_2", TSlotSize{128, 32}, "customer title 2",
                            "the library title is used"))
        EncodeLibrary(0, 222, "UM_2");
    EncodeExistingFile(Input.TITLEFILENAME_C, "UM_0", TSlotSize{112, 80}, "customer logo",
                       "no logo");
    EncodeLibrary(0, Vertical() ? 4 : 9, "M_4");
}

void TRomBuilder::FillConfigFromLibrary() {
    std::string cfi = ExtractLibraryPicture(0, Input.CFI);
    CopyFileRange(std::span<std::uint8_t>(Config.Data.data() + CfiOffset, CfiSize), Work, cfi, 0,
                  CfiSize);
    std::string ifi = ExtractLibraryPicture(0, Input.IFI);
    if (auto size = Work.Size(ifi); size && *size > IfiCapacity)
        Stop("Data error", XVclUtil::Format("Error!!\n\nLibrary entry IFI (group 0, index %d) "
                                            "holds %zu bytes, more than 4096\n\n"
                                            "Please check the model settings.!!\n",
                                            Input.IFI, *size));
    CopyFileTail(std::span<std::uint8_t>(Config.Data.data() + IfiOffset, IfiCapacity), Work, ifi,
                 0);
    Config.SealCheckByte();
}

void TRomBuilder::MakeMessagePictures() {
    const int group = Vertical() ? 6 : 7;
    const int lang =
        Input.Options.WEEKLANG >= 0 && Input.Options.WEEKLANG <= 2 ? Input.Options.WEEKLANG : 0;
    const int month = 32 + 20 * lang;
    for (int j = 0; j < 7; ++j) EncodeLibrary(group, month + j, Num("M_", 143 + j));
    for (int s = 0; s < 10; ++s)
        for (int v = 0; v < 4; ++v) {
            const std::string& path =
                Input.LiftStateImageTable[static_cast<std::size_t>(4 * s + v)];
            const std::string target = Num("M_", 150 + 10 * v + s);
            EncodeExistingFile(path, target, TSlotSize{128, 32}, "lift-state picture " + target,
                               "left out");
        }
    for (int j = 0; j < 7; ++j) EncodeLibrary(group, 12 + j, Num("M_", 211 + j));
    for (int n = 197; n <= 210; ++n) EncodeLibrary(0, n, Num("M_", n));
    for (int n = 219; n <= 229; ++n) EncodeLibrary(0, n, Num("M_", n));
    const int week = Input.Options.WEEKTYPE ? 0 : 20 + 20 * lang;
    for (int j = 0; j < 12; ++j) EncodeLibrary(group, week + j, Num("M_", 231 + j));
}

void TRomBuilder::MoveRawEntries() {
    const int first = Vertical() ? 1 : 6;
    for (int j = 0; j < 3; ++j) MoveLibrary(0, first + j, Num("M_", 1 + j));
    const int pair = Vertical() ? 2 : 0;
    MoveLibrary(Input.BANK, Input.OFFSET + pair, "PM_0");
    MoveLibrary(Input.BANK, Input.OFFSET + pair + 1, "PM_1");
    MoveLibrary(Input.BANK, Input.SETOFFSET + pair, "PM_2");
    MoveLibrary(Input.BANK, Input.SETOFFSET + pair + 1, "PM_3");
}

void TRomBuilder::PackBlocks() {
    auto pack = [&](const char* block, const char* prefix, int count, std::uint32_t base,
                    std::vector<std::uint8_t>& area) {
        if (PackPictureBlock(Work, prefix, count, base, area) == TPackResult::TooLarge)
            Stop("File error", std::string("Error!!\n\n") + block +
                                   " block: file size too long\n\nPlease remove some files.!!\n");
    };
    pack("PM", "PM_", static_cast<int>(PmEntries), PmBlockAddress, RomBlocks.Pm);
    pack("UM", "UM_", static_cast<int>(UmEntries), 0, RomBlocks.Um);
    pack("UBF", "UBF_", FloorCount, 0, RomBlocks.Ubf);
}

// Both files go to temporaries and are flushed first. Then the old side file is moved out of
// the way, the image is put in place, and the new side file last: a failure before the image's
// rename puts the old side file back, and a crash at any moment leaves either the old pair,
// or an image without its side file, never an image beside a side file made for another.
void TRomBuilder::WriteOutputs() {
    auto image = BuildRomImage(Work, "M_", RomBlocks);
    if (!image) Stop("File error", TooLongText);
    const bool withBin = Input.OUTCPUBIN == 1;
    if (withBin && SameNameAnyCase(Input.RomFileName, Input.BinFileName))
        Stop("File error",
             "Error!!\n\nThe side file " + Input.BinFileName + " would replace the ROM image!!\n");
    XVclUtil::TAtomicFileWriter rom(Input.RomFileName);
    std::optional<XVclUtil::TAtomicFileWriter> bin;
    if (withBin) bin.emplace(Input.BinFileName);
    rom.Write(image->data(), image->size());
    if (bin) bin->Write(Config.Bytes().data(), Config.Bytes().size());
    // The system's reason comes first: a name can be long enough to push it out of sight.
    auto fail = [&](const XVclUtil::TAtomicFileWriter& file, const std::string& name) {
        Stop("File error",
             "Error!!\n\nCannot write the file (" + file.ErrorText() + "):\n" + name + "!!\n");
    };
    if (!rom.Sync()) fail(rom, Input.RomFileName);
    if (bin && !bin->Sync()) fail(*bin, Input.BinFileName);
    // A side file that already holds these bytes belongs to the new image as much as to the
    // old one: it stays in place meanwhile, and one flush of the folder covers both renames.
    const bool binCurrent = bin && bin->TargetHolds(Config.Bytes());
    if (bin && !binCurrent && !bin->SetAsideOld()) fail(*bin, Input.BinFileName);
    const bool oneFlush = binCurrent && bin->TargetFolder() == rom.TargetFolder();
    if (!rom.Commit(oneFlush ? XVclUtil::TFolderFlush::Later : XVclUtil::TFolderFlush::Now))
        fail(rom, Input.RomFileName); // the old side file goes back
    if (bin) bin->DropOld();          // it belonged to the image just replaced
    if (bin && !bin->Commit()) fail(*bin, Input.BinFileName);
}

std::string TRomBuilder::ExtractLibraryPicture(int group, int index) {
    TempGroup = group;
    TempIndex = index;
    TLibraryEntry entry;
    if (Input.Library && group >= 0 && index >= 0 && index <= 255)
        entry = Input.Library(group, index);
    else if (Input.Library)
        entry.State = TLibraryEntry::TState::Empty; // outside the directory: no such picture
    if (entry.State == TLibraryEntry::TState::Missing) ++MissingPictures;
    const bool noLibrary = entry.State == TLibraryEntry::TState::NoLibrary;
    if (noLibrary || entry.State == TLibraryEntry::TState::Empty || entry.Bytes.empty()) {
        Work.Remove(TempPictureName); // no picture: no temporary file of the one before
        return noLibrary ? TempPictureName : std::string();
    }
    Work.Write(TempPictureName, entry.Bytes); // overwrites the one before
    return TempPictureName;
}

void TRomBuilder::EncodeTemp(const std::string& name, const std::string& target) {
    if (name.empty()) return; // empty library entry: no work file, the index entry stays absent
    auto data = Work.View(name);
    if (!data) throw EPictureLoad(TempSource(), "no picture library loaded");
    // The source's name is spelled out only when a message needs it.
    try {
        Work.Put(target, EncodeMonoData(*data, std::string(), Input.DISPLAYTYPE));
    } catch (const EPictureLoad& e) {
        throw EPictureLoad(TempSource(), e.Reason);
    }
}

std::string TRomBuilder::TempSource() const {
    return Input.LibraryName + XVclUtil::Format(" (group %d, index %d)", TempGroup, TempIndex);
}

void TRomBuilder::EncodeLibrary(int group, int index, const std::string& target) {
    EncodeTemp(ExtractLibraryPicture(group, index), target);
}

void TRomBuilder::MoveLibrary(int group, int index, const std::string& target) {
    const std::string name = ExtractLibraryPicture(group, index);
    auto data = name.empty() ? std::nullopt : Work.Take(name);
    if (data) Work.Put(target, std::move(*data));
}

bool TRomBuilder::EncodeExistingFile(const std::string& path, const std::string& target,
                                     TSlotSize size, const std::string& what,
                                     const std::string& otherwise) {
    if (TrimText(path).empty()) return false;
    const std::string found = XVclUtil::FindFileNoCase(path);
    if (found.empty()) {
        Line("[Warning] " + what + " " + path + " not found --> " + otherwise);
        return false;
    }
    EncodeFoundFile(path, found, target, size);
    return true;
}

void TRomBuilder::EncodeFile(const std::string& path, const std::string& target, TSlotSize size) {
    if (TrimText(path).empty()) return;
    const std::string found = XVclUtil::FindFileNoCase(path);
    EncodeFoundFile(path, found.empty() ? path : found, target, size);
}

void TRomBuilder::EncodeFoundFile(const std::string& path, const std::string& found,
                                  const std::string& target, TSlotSize size) {
    TEncodedFile file = EncodePictureFile(found, Input.DISPLAYTYPE);
    const std::string name = XVclUtil::FileNameOfPath(path);
    for (const std::string& warning : {GreyPixelWarning(name, file.GreyPixels),
                                       SizeWarning(name, file.Width, file.Height, size)})
        if (!warning.empty()) Line(warning);
    Work.Put(target, std::move(file.Record));
}

} // namespace Rom
