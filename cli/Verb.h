#pragma once
// Verb registry of the zkf780a command-line tool. Each verb lives in its own source file,
// registers itself with a static TVerbRegistrar and parses its arguments with a TVerbParser.

#include <functional>
#include <string>
#include <vector>

namespace Cli {

// argv[0] is the verb name; returns the process exit code.
using TVerbMain = std::function<int(int argc, char** argv)>;

struct TVerb {
    std::string Name;
    std::string Summary; // one line for the tool's own --help
    TVerbMain Main;
};

std::vector<TVerb>& Verbs();

struct TVerbRegistrar {
    TVerbRegistrar(std::string name, std::string summary, TVerbMain main) {
        Verbs().push_back({std::move(name), std::move(summary), std::move(main)});
    }
};

} // namespace Cli
