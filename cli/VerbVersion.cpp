// zkf780a version: prints the editor's caption and build.

#include "Verb.h"

#include <cstdio>

namespace {

int VersionMain(int argc, char** argv) {
    if (Cli::WantsHelp(argc, argv)) {
        std::printf("usage: zkf780a version\nPrints the tool's name and build.\n");
        return 0;
    }
    std::printf("VRC-780A & VRC-780AS1 Lift LCD Editor (R6-Build100429.V2)\n");
    return 0;
}

Cli::TVerbRegistrar reg("version", "print the tool's name and build", VersionMain);

} // namespace
