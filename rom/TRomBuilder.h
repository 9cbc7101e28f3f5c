#pragma once
// MAKE ROM after the project was saved: encodes the code tables and every picture into
// numbered work files, packs them, lays out the configuration block and the ROM image, writes
// the image (and the .BIN side file when the model asks for it) and reports.
//
// The work files live in a private folder of this build (TMemoryWorkFolder): a file left by
// an earlier build or by anything in the working directory can never enter the image, and
// nothing is left behind, whether the build succeeds or fails. The image and the side file
// are written only when every step succeeded, each to a temporary name renamed into place.

#include "PictureWarnings.h"
#include "RomImage.h"
#include "TConfigBlock.h"
#include "TMemoryWorkFolder.h"
#include "TRomBuildInput.h"

#include <array>
#include <string>
#include <unordered_map>

namespace Rom {

class TRomBuilder {
public:
    TRomBuilder(const TRomBuildInput& input, TRomBuildEvents events);

    // True exactly when "ROM create finish!!" was reached.
    bool Run();

    // The slot 0..255 whose path equals `path` exactly, or -1.
    int FindFloorPicture(const std::string& path) const;

    // State of the last run, for the window and for tests.
    const TCodeTables& CodeTables() const { return Tables; }
    const TConfigBlock& ConfigBlock() const { return Config; }
    const TRomBlocks& Blocks() const { return RomBlocks; }
    int FloorPictureCount() const { return FloorCount; }
    const TWorkFolder& WorkFolder() const { return Work; }

    static constexpr const char* TempPictureName = "KRV_TEMPBMP.BMP";
    // Highest library group the model settings may name (real libraries have eight).
    static constexpr int MaxLibraryGroup = 255;

private:
    void Steps();
    void CheckModelSettings() const;
    void EncodeCodeTables();
    void EncodeCell(int table, int row, const std::string& text);
    void MakeArrowSets();
    void MakeFloorNumberSets();
    void MakeCustomerPictures();
    void FillConfigFromLibrary();
    void MakeMessagePictures();
    void MoveRawEntries();
    void PackBlocks();
    void WriteOutputs();

    // Library entry (group, index) into the work folder as the temporary picture file:
    // its name, "" for an empty entry, or the name of no file when no library is loaded.
    std::string ExtractLibraryPicture(int group, int index);
    void EncodeLibrary(int group, int index, const std::string& target);
    void MoveLibrary(int group, int index, const std::string& target);
    // Also writes the grey-pixel warning, and the size warning when size is given.
    void EncodeFile(const std::string& path, const std::string& target, TSlotSize size = {});
    // EncodeFile once the file is found: path names it in the warnings.
    void EncodeFoundFile(const std::string& path, const std::string& found,
                         const std::string& target, TSlotSize size);
    // Encodes path when the file exists; else a warning line "<what> <path> not found -->
    // <otherwise>" and false. A blank path is no choice: false without a line.
    bool EncodeExistingFile(const std::string& path, const std::string& target, TSlotSize size,
                            const std::string& what, const std::string& otherwise);
    void EncodeTemp(const std::string& name, const std::string& target);
    std::string TempSource() const;

    bool Vertical() const { return Input.DISPLAYTYPE == TDisplayType::Vertical; }
    void Line(const std::string& text) const;
    [[noreturn]] void Stop(const std::string& caption, const std::string& text) const;

    const TRomBuildInput& Input;
    TRomBuildEvents Events;
    TMemoryWorkFolder Work;
    // The library entry the temporary picture file holds, named for messages by TempSource().
    int TempGroup = 0, TempIndex = 0;

    std::array<std::array<std::string, CodeTableRows>, CodeTableCount> CellTable;
    std::array<std::string, MaxFloorPictures> FloorPictures;
    std::unordered_map<std::string, int> FloorSlots; // FloorPictures by path: no scan per cell
    int FloorCount = 0;
    int MissingPictures = 0; // library entries cut off by a 0-byte or truncated library
    TCodeTables Tables;
    TConfigBlock Config;
    TRomBlocks RomBlocks;
};

} // namespace Rom
