#pragma once
// A project read back from a ROM image: the code tables as cell texts, the options, the model
// whose settings give the image's PM block (and side file), and the pictures a rebuild needs
// as files. What an image does not hold, or holds in a form no project file can give back, is
// listed, never guessed silently.

#include "MonoBitmap.h"
#include "RomLayout.h"
#include "RomOptions.h"
#include "TRomBuildInput.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace Rom {

// One model of the tool settings file.
struct TModelSettings {
    std::string Name;
    int OUTCPUBIN = 0, CFI = 251, IFI = 252, BANK = 2, OFFSET = 116, SETOFFSET = 251;
};

struct TRecoveryInput {
    TLibraryReader Library; // null when no picture library is at hand
    std::vector<TModelSettings> Models;
    // The file bytes of lift-state slot 4s + v's default picture; nullopt when there is none.
    std::function<std::optional<TBytes>(int slot)> DefaultLiftState;
    std::optional<TBytes> SideFile; // the .BIN file beside the image, when there is one
};

enum class TRecoveredRole { Floor, LiftState, TitleV, TitleH, Title2, Logo };

struct TRecoveredPicture {
    TRecoveredRole Role = TRecoveredRole::Floor;
    int Slot = 0;         // floor picture number, or lift-state slot 4s + v
    std::string FileName; // "UBF_0.bmp", "TITLE_V.bmp"; lift-state pictures are named by the caller
    TPicture Picture;     // upright, black and white
};

// Where a lift-state slot's picture comes from in the recovered project.
enum class TLiftStateSource { Absent, Default, File };

struct TRecoveredProject {
    std::array<std::array<std::string, CodeTableRows>, CodeTableCount> Cells;
    TDisplayType DisplayType = TDisplayType::Vertical;
    TRomOptions Options;
    std::string Model; // the first model that reproduces the image; empty when none does
    std::array<TLiftStateSource, 40> LiftStates{};
    std::vector<TRecoveredPicture> Pictures;
    std::vector<std::string> Lost;  // what cannot come back, one line each
    std::vector<std::string> Notes; // how choices were made, one line each
};

// Reads the image; false with `error` when it is not an intact ROM image.
bool RecoverProject(std::span<const std::uint8_t> image, const TRecoveryInput& input,
                    TRecoveredProject& out, std::string& error);

// The name a floor picture cell gets: "UBF_<n>".
std::string FloorPictureName(int n);

} // namespace Rom
