// zkf780a version: prints the editor's caption and build.

#include "Verb.h"
#include "VerbParser.h"

#include <cstdio>

namespace {

int VersionMain(int argc, char** argv) {
    Cli::TVerbParser parser("version", "Prints the editor's caption and build.",
                            "  0  printed\n  2  usage error\n");
    if (auto status = parser.Parse(argc, argv)) return *status;
    std::printf("VRC-780A & VRC-780AS1 Lift LCD Editor (R6-Build100429.V2)\n");
    return 0;
}

Cli::TVerbRegistrar reg("version", "print the tool's name and build", VersionMain);

} // namespace
