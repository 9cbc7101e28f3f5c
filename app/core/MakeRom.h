#pragma once
// MAKE ROM on the editor session: the project is saved first (the Save button's action), then
// the ROM image builder turns the document, the tool settings and the picture library into the
// ROM image file (and the .BIN side file when the model asks for it).

#include "app/core/TEditorSession.h"
#include "rom/TRomBuildInput.h"

#include <string>

namespace AppCore {

inline constexpr const char* MsgAllCtblEmpty = "All CTBL is empty!!\n\n";
inline constexpr const char* CaptionWarning = "Warning";

// The MAKE ROM button. romFileName, when not empty, replaces the ROM file name of the document
// (the command-line tool's -o); the side file takes its name with the extension ".BIN".
// True exactly when the build reached "ROM create finish!!".
bool MakeRom(TEditorSession& session, const std::string& romFileName = std::string());

// What the builder reads, taken from the session: cells, options, pictures, model settings,
// the picture library (which must outlive the returned value) and the output names.
Rom::TRomBuildInput RomBuildInput(const TEditorSession& session, const std::string& romFileName);

// The ROM image MAKE ROM writes for the document: its ROM file name in the working folder.
std::string RomImagePath(const TEditorSession& session);

// Number of code table cells whose trimmed text is not empty.
int CountCodeCells(const ProjectDocument& document);

// The picture library as the builder reads it: each entry found, missing (past the end of a
// cut-short library) or empty.
Rom::TLibraryReader LibraryReader(const TPictureLibrary& library);

} // namespace AppCore
