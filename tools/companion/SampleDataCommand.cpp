// zkf780a sample-data DIR: writes a ready working folder with the tool settings file, the
// picture library and a demo project. Runs in the companion program, which zkf780a starts.

#include "tools/companion/CompanionCommands.h"

#include "tools/sampledata/TOffscreenApp.h"
#include "tools/sampledata/TSampleDataGenerator.h"

#include "app/core/TStartupContext.h"

#include "XVclUtil/EXGeneral.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

void PrintHelp() {
    std::printf(
        "usage: zkf780a sample-data DIR [--png SHEET.png] [--with-default-images]\n"
        "                               [--program-dir DIR2] [--font-dir FONTDIR] [--force]\n"
        "Writes into DIR the tool settings file \"KRVZKF780AS1.INI\", the picture library\n"
        "\"VRC-780AS1V2.GLB\" and the demo project demo.zkf with the pictures it names. The same\n"
        "input gives the same bytes on every run.\n"
        "  --png SHEET.png          also write a contact sheet of the whole picture library\n"
        "  --with-default-images    also write DIR/DefaultImage/ and let the demo project name\n"
        "                           it (use with: zkf780a build --program-dir DIR)\n"
        "  --program-dir DIR2       folder whose DefaultImage/ the demo names (default: the\n"
        "                           folder of this program, where the build puts the tree)\n"
        "  --font-dir FONTDIR       TrueType folder holding dejavu/ and wqy/\n"
        "                           (default /usr/share/fonts/truetype)\n"
        "  --force                  replace files of these names that are already in DIR;\n"
        "                           without it, nothing is written when any of them is there\n");
}

bool TakeValue(int argc, char** argv, int& i, std::string& value) {
    if (i + 1 >= argc) {
        std::fprintf(stderr, "sample-data: %s needs a value\n", argv[i]);
        return false;
    }
    value = argv[++i];
    return true;
}

} // namespace

namespace Companion {

int SampleDataMain(int argc, char** argv) {
    if (WantsHelp(argc, argv)) {
        PrintHelp();
        return 0;
    }
    SampleData::TSampleDataOptions options;
    std::string programDir;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--png") {
            if (!TakeValue(argc, argv, i, options.ContactSheetPng)) return 2;
        } else if (arg == "--program-dir") {
            if (!TakeValue(argc, argv, i, programDir)) return 2;
        } else if (arg == "--font-dir") {
            if (!TakeValue(argc, argv, i, options.FontRoot)) return 2;
        } else if (arg == "--force") {
            options.Force = true;
        } else if (arg == "--with-default-images") {
            options.WithDefaultImages = true;
        } else if (!arg.empty() && arg[0] == '-') {
            std::fprintf(stderr, "sample-data: unknown option \"%s\"\n", arg.c_str());
            return 2;
        } else if (options.Dir.empty()) {
            options.Dir = arg;
        } else {
            std::fprintf(stderr, "sample-data: more than one folder given\n");
            return 2;
        }
    }
    if (options.Dir.empty()) {
        std::fprintf(stderr, "usage: zkf780a sample-data DIR (see --help)\n");
        return 2;
    }
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
