// zkf780a-qt: the companion program of zkf780a for the commands that need Qt.

#include "CompanionCommands.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "sample-data") return Companion::SampleDataMain(argc - 1, argv + 1);
    if (command == "inspect-png") return Companion::RomPicturePngMain(argc - 1, argv + 1);
    if (command == "diff-png") return Companion::DiffPngMain(argc - 1, argv + 1);
    std::fprintf(stderr,
                 "usage: %s sample-data DIR ... | inspect-png ROMFILE DIR [--json]\n"
                 "       | diff-png A.ROM B.ROM DIR\n"
                 "(started by zkf780a for sample-data, inspect --png and diff --png)\n",
                 Companion::ProgramName);
    return 2;
}
