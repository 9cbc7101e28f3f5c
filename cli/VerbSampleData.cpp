// zkf780a sample-data DIR: the sample data is drawn from fonts with Qt, so the companion
// program does it with the same arguments (and prints the help).

#include "Companion.h"
#include "Verb.h"

namespace {

int SampleDataMain(int argc, char** argv) {
    std::vector<std::string> args(argv, argv + argc);
    return Cli::RunCompanion(args);
}

Cli::TVerbRegistrar reg("sample-data",
                        "write a working folder with settings, picture library and demo project",
                        SampleDataMain);

} // namespace
