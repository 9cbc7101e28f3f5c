// zkf780a inspect ROMFILE: verifies a ROM image and prints what it holds; optionally writes
// every picture as PNG plus a contact sheet (through the companion program, which uses Qt).

#include "Companion.h"
#include "Verb.h"
#include "VerbParser.h"

#include "XVclUtil/FileUtil.h"
#include "XVclUtil/Printf.h"
#include "rom/RomImageReport.h"
#include "rom/RomLayout.h"
#include "rom/RomSideFileCheck.h"
#include "rom/TRomImageReader.h"

#include <cstdio>
#include <string>

namespace {

// The .BIN side file beside the image, when there is one, must be the one made with it.
void CheckSideFile(const std::string& romFile, std::span<const std::uint8_t> image,
                   Rom::TRomImageReader& reader) {
    const std::string side = XVclUtil::FindFileNoCase(XVclUtil::ChangeFileExt(romFile, ".BIN"));
    if (side.empty() || side == romFile) return;
    const std::string name = XVclUtil::FileNameOfPath(side);
    // Larger than any side file: read only enough to tell.
    const auto bytes = XVclUtil::ReadWholeFile(side, 16 * Rom::ConfigBlockSize);
    if (!bytes) {
        const auto size = XVclUtil::RegularFileSize(side);
        reader.AddCheck(
            {"side file", false,
             size ? XVclUtil::Format("%s holds %llu bytes; a side file holds %zu", name.c_str(),
                                     static_cast<unsigned long long>(*size), Rom::ConfigBlockSize)
                  : name + " cannot be read"});
        return;
    }
    reader.AddCheck(Rom::SideFileCheck(image, *bytes, name));
}

int InspectMain(int argc, char** argv) {
    Cli::TVerbParser parser(
        "inspect",
        "Verifies a ROM image: size, signature, the CRC-8 table copies, the 104 page check "
        "bytes, the code-table block check byte, the fixed index entries, that every index "
        "entry lies inside the image and that a .BIN side file beside it belongs to it; then "
        "prints the pictures, sizes and options it holds, and a warning line for each picture "
        "its options use that it lacks.",
        "  0  every check holds\n"
        "  1  the file cannot be read (or the pictures cannot be written)\n"
        "  2  a check fails, or usage error\n");
    std::string romFile, pngDir;
    bool json = false;
    parser.add_option("ROMFILE", romFile, "the ROM image file")->required();
    parser
        .add_option("--png", pngDir,
                    "write every picture as DIR/<name>.png, upright as the display shows it, "
                    "and DIR/contact-sheet.png with all of them")
        ->type_name("DIR");
    parser.add_flag("--json", json, "print the report as JSON");
    if (auto status = parser.Parse(argc, argv)) return *status;
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
    reader.Load(*bytes);
    CheckSideFile(romFile, *bytes, reader);
    const bool ok = reader.AllChecksPass();
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
