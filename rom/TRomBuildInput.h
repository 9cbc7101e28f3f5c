#pragma once
// Everything one MAKE ROM reads, as plain values: the code table cells, the option fields,
// the picture paths, the model settings, the picture library and where the files go.

#include "MonoBitmap.h"
#include "RomLayout.h"
#include "RomOptions.h"

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>

namespace Rom {

// One directory entry of the picture library as the build sees it.
struct TLibraryEntry {
    // Missing: the entry or its picture lies outside a 0-byte or truncated library.
    enum class TState { NoLibrary, Empty, Missing, Found };
    TState State = TState::NoLibrary;
    std::span<const std::uint8_t> Bytes; // valid while the library lives
};
using TLibraryReader = std::function<TLibraryEntry(int group, int index)>;

struct TRomBuildInput {
    // Grid cells as typed: table t (CTBL0..CTBL5), row r (code 0..255).
    std::array<std::array<std::string, CodeTableRows>, CodeTableCount> Cells;

    TDisplayType DISPLAYTYPE = TDisplayType::Vertical;
    TRomOptions Options;

    // Slot 4s + v: lift state s (0..9), variant v (0..3).
    std::array<std::string, 40> LiftStateImageTable;
    std::string TITLEFILENAME_V, TITLEFILENAME_H, TITLEFILENAME_2, TITLEFILENAME_C;

    // Settings of the selected model.
    int OUTCPUBIN = 0;
    int CFI = 247;
    int IFI = 248;
    int BANK = 0;
    int OFFSET = 0;
    int SETOFFSET = 0;

    // Executable's folder + "DefaultImage/UserDefine/Floor/Style"; the floor style digit follows.
    std::string FloorStylePrefix;
    TLibraryReader Library;
    std::string LibraryName = "VRC-780AS1V2.GLB"; // for messages

    // Final names of the image and of the side file.
    std::string RomFileName;
    std::string BinFileName;
};

// What the build tells the window (or the command-line tool) while it runs.
struct TRomBuildEvents {
    std::function<void(const std::string& line)> OnMessageLine; // Make page message box
    std::function<void(int table, int row)> OnCellCancelled;    // grid cell to empty
    std::function<void(const std::string& caption, const std::string& text)> OnMessageBox;
};

} // namespace Rom
