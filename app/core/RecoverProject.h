#pragma once
// Import of a ROM image: the project it was built from, written as a project file and the
// pictures it needs into one folder, so that MAKE ROM with that folder as the program folder
// (its DefaultImage/ tree holds the floor and default lift-state pictures) builds the same
// image again. The session gives the working folder's settings file and picture library.

#include "app/core/TEditorSession.h"

#include <cstdint>
#include <string>
#include <vector>

namespace AppCore {

struct TRecoverResult {
    bool Ok = false;
    bool NotAnImage = false;          // the file is no intact ROM image
    std::string Error;                // why nothing (or not everything) was written
    std::string ProjectPath;          // folder/<image name>.zkf
    std::vector<std::string> Written; // every file written, project file last
    std::vector<std::string> Lost;    // what cannot come back
    std::vector<std::string> Notes;   // how choices were made
};

// Recovers romPath into folder (created when missing). The session must have run start-up in
// the working folder; its document is replaced by the recovered project and its model set to
// the recovered one.
// projectName, when given, names the project file instead of the image's name with ".zkf".
TRecoverResult RecoverProjectFromImage(TEditorSession& session, const std::string& romPath,
                                       const std::string& folder,
                                       const std::string& projectName = {});

// Builds projectPath as `zkf780a build PROJECT -C workDir --program-dir programDir` does, in a
// private temporary folder, and compares the result with the image: the differences, empty
// when the bytes are the same. error is set, and the result empty, when no image was built.
std::vector<std::string> CheckRebuild(const std::string& projectPath, const std::string& workDir,
                                      const std::string& programDir,
                                      const std::vector<std::uint8_t>& image, std::string& error);

// Reads a ROM image file, refusing anything larger than an image before reading it.
std::optional<std::vector<std::uint8_t>> ReadRomImageFile(const std::string& path,
                                                          std::string& error);

} // namespace AppCore
