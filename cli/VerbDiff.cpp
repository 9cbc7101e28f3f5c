// zkf780a diff A.ROM B.ROM: what differs between two ROM images, by meaning: options by key,
// code-table cells, pictures by slot and name, check bytes. With --png the companion program
// draws each differing picture of both images side by side.

#include "Companion.h"
#include "Verb.h"
#include "VerbParser.h"

#include "app/core/RecoverProject.h"
#include "rom/RomDiff.h"

#include <cstdio>
#include <string>

namespace {

constexpr int ExitSame = 0, ExitDifferent = 1, ExitTrouble = 2;

int DiffMain(int argc, char** argv) {
    Cli::TVerbParser parser(
        "diff",
        "Compares two ROM images by meaning: failing checks, options by project-file key "
        "(\"DEF_MSG 5 -> 3\"), code-table cells (\"CTBL2 0x0A: B1 -> B2\"), pictures by slot "
        "and name, and check bytes.",
        "  0  the images are the same\n"
        "  1  the images differ\n"
        "  2  trouble: a file cannot be read or is no ROM image, the pictures cannot be written, "
        "or usage error\n");
    std::string a, b, pngDir;
    parser.add_option("A.ROM", a, "the first image")->required();
    parser.add_option("B.ROM", b, "the second image")->required();
    parser
        .add_option("--png", pngDir,
                    "write each differing picture as DIR/<name>.png, A's on the left and B's on "
                    "the right, upright as the display shows them")
        ->type_name("DIR");
    if (auto status = parser.Parse(argc, argv)) return *status;
    std::string error;
    const auto imageA = AppCore::ReadRomImageFile(a, error);
    const auto imageB = imageA ? AppCore::ReadRomImageFile(b, error) : std::nullopt;
    if (!imageA || !imageB) {
        std::fprintf(stderr, "diff: %s\n", error.c_str());
        return ExitTrouble;
    }
    const auto differences = Rom::DiffRomImages(*imageA, *imageB);
    std::fputs(Rom::FormatDifferences(differences).c_str(), stdout);
    std::fflush(stdout);
    if (!pngDir.empty() && !differences.empty() &&
        Cli::RunCompanion({"diff-png", a, b, pngDir}) != 0)
        return ExitTrouble;
    return differences.empty() ? ExitSame : ExitDifferent;
}

Cli::TVerbRegistrar reg("diff", "compare two ROM images by meaning", DiffMain);

} // namespace
