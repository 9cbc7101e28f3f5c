#pragma once
// Writes a ready working folder: the tool settings file, the picture library, the demo project
// with its pictures, and on request the default picture tree and a contact sheet. Everything is
// drawn in memory first; files are then written one by one, each whole or not at all.

#include <string>
#include <vector>

namespace SampleData {

struct TSampleDataOptions {
    std::string Dir;                // working folder to fill (created when missing)
    std::string ProgramDir;         // folder whose DefaultImage/ tree the demo names; empty = Dir
    std::string FontRoot;           // empty = Debian's TrueType folder
    bool WithDefaultImages = false; // also write Dir/DefaultImage
    std::string ContactSheetPng;    // also write a contact sheet of the library there
    bool Force = false;             // replace files that are already there
};

class TSampleDataGenerator {
public:
    explicit TSampleDataGenerator(TSampleDataOptions options);

    // Raises XVclUtil::EXGeneral with a message for the user when a font is missing, a file
    // cannot be written, or (without Force) any of the files is already there: then nothing
    // is written and the message lists them. Needs a QGuiApplication (TOffscreenApp).
    void Run();

    // Absolute paths of the files written by Run, in order (the default picture tree as one
    // folder).
    const std::vector<std::string>& WrittenFiles() const { return Written; }

private:
    TSampleDataOptions Options;
    std::vector<std::string> Written;
};

// Writes parentDir/DefaultImage (the build step beside the executables).
void GenerateDefaultImages(const std::string& parentDir, const std::string& fontRoot = "");

// An absolute, normalised form of a folder path, ending in "/" when withSlash.
std::string AbsoluteFolder(const std::string& dir, bool withSlash);

} // namespace SampleData
