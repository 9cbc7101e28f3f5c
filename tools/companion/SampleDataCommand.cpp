// zkf780a sample-data DIR: writes a ready working folder with the tool settings file, the
// picture library and a demo project. Runs in the companion program, which zkf780a starts.

#include "CompanionCommands.h"

#include "cli/VerbParser.h"

#include "tools/sampledata/TOffscreenApp.h"
#include "tools/sampledata/TSampleDataGenerator.h"

#include "app/core/TStartupContext.h"

#include "XVclUtil/EXGeneral.h"

#include <cstdio>
#include <string>

namespace Companion {

int SampleDataMain(int argc, char** argv) {
    Cli::TVerbParser parser(
        "sample-data",
        "Writes into DIR the tool settings file \"KRVZKF780AS1.INI\", the picture library "
        "\"VRC-780AS1V2.GLB\" and the demo project demo.zkf with the pictures it names. The same "
        "input gives the same bytes on every run.",
        "  0  written\n"
        "  1  a file is already there (without --force), or cannot be written\n"
        "  2  usage error\n");
    SampleData::TSampleDataOptions options;
    std::string programDir;
    parser.add_option("DIR", options.Dir, "the folder to write")->required();
    parser
        .add_option("--png", options.ContactSheetPng,
                    "also write a contact sheet of the whole picture library")
        ->type_name("SHEET.png");
    parser.add_flag("--with-default-images", options.WithDefaultImages,
                    "also write DIR/DefaultImage/ and let the demo project name it (use with: "
                    "zkf780a build --program-dir DIR)");
    parser
        .add_option("--program-dir", programDir,
                    "folder whose DefaultImage/ the demo names (default: the folder of this "
                    "program, where the build puts the tree)")
        ->type_name("DIR2");
    parser
        .add_option("--font-dir", options.FontRoot,
                    "TrueType folder holding dejavu/ and wqy/ (default "
                    "/usr/share/fonts/truetype)")
        ->type_name("FONTDIR");
    parser.add_flag("--force", options.Force,
                    "replace files of these names that are already in DIR; without it, nothing "
                    "is written when any of them is there");
    if (auto status = parser.Parse(argc, argv)) return *status;
    if (programDir.empty() && !options.WithDefaultImages)
        programDir = AppCore::TStartupContext::DefaultProgramDir();
    options.ProgramDir = programDir;
    try {
        SampleData::TOffscreenApp app;
        SampleData::TSampleDataGenerator generator(options);
        generator.Run();
        for (const std::string& path : generator.WrittenFiles()) std::printf("%s\n", path.c_str());
    } catch (const XVclUtil::EXGeneral& e) {
        std::fprintf(stderr, "sample-data: %s\n", e.what());
        return 1;
    }
    return 0;
}

} // namespace Companion
