// zkf780a inspect ROMFILE: verifies a ROM image and prints what it holds; optionally writes
// every picture as PNG plus a contact sheet (through the companion program, which uses Qt).

#include "Companion.h"
#include "Verb.h"

#include "XVclUtil/FileUtil.h"
#include "rom/RomImageReport.h"
#include "rom/RomLayout.h"
#include "rom/TRomImageReader.h"

#include <cstdio>
#include <string>

namespace {

void PrintHelp() {
    std::printf(
        "usage: zkf780a inspect ROMFILE [--png DIR] [--json]\n"
        "Verifies a ROM image: size, signature, the CRC-8 table copies, the 104 page check\n"
        "bytes, the code-table block check byte, the fixed index entries and that every index\n"
        "entry lies inside the image; then prints the pictures, sizes and options it holds.\n"
        "  --png DIR   write every picture as DIR/<name>.png, upright as the display shows it,\n"
        "              and DIR/contact-sheet.png with all of them\n"
        "  --json      print the report as JSON\n"
        "Exit status 0 when every check holds, 2 when one fails, 1 when the file cannot be "
        "read.\n");
}

int InspectMain(int argc, char** argv) {
    if (Cli::WantsHelp(argc, argv)) {
        PrintHelp();
        return 0;
    }
    std::string romFile, pngDir;
    bool json = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--png" && i + 1 < argc) {
            pngDir = argv[++i];
        } else if (arg == "--json") {
            json = true;
        } else if (!arg.empty() && arg[0] != '-' && romFile.empty()) {
            romFile = arg;
        } else {
            std::fprintf(stderr, "inspect: unexpected argument \"%s\" (see --help)\n", arg.c_str());
            return 2;
        }
    }
    if (romFile.empty()) {
        std::fprintf(stderr, "usage: zkf780a inspect ROMFILE [--png DIR] [--json]\n");
        return 2;
    }
    // The size first: a huge or sparse file is refused before a byte of it is read.
    const auto size = XVclUtil::RegularFileSize(romFile);
    if (size && *size > Rom::RomImageSize) {
        std::fprintf(stderr, "inspect: \"%s\" holds %llu bytes; a ROM image holds %zu\n",
                     romFile.c_str(), static_cast<unsigned long long>(*size), Rom::RomImageSize);
        return 2;
    }
    auto bytes = XVclUtil::ReadWholeFile(romFile, Rom::RomImageSize);
    if (!bytes) {
        std::fprintf(stderr, "inspect: cannot read \"%s\"\n", romFile.c_str());
        return 1;
    }
    Rom::TRomImageReader reader;
    const bool ok = reader.Load(*bytes);
    const std::string report =
        json ? Rom::FormatInspectJson(reader, romFile) : Rom::FormatInspectText(reader, romFile);
    std::fputs(report.c_str(), stdout);
    if (!pngDir.empty()) { // drawn with Qt by the companion program
        std::vector<std::string> args = {"inspect-png", romFile, pngDir};
        if (json) args.push_back("--json");
        if (const int status = Cli::RunCompanion(args); status != 0) return status;
    }
    return ok ? 0 : 2;
}

Cli::TVerbRegistrar reg("inspect", "verify a ROM image and show its pictures and options",
                        InspectMain);

} // namespace
