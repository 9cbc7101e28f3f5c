// zkf780a: the command-line face of the ZKF780A editor.

#include "Verb.h"

#include "ZkfVersion.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <exception>

namespace Cli {

std::vector<TVerb>& Verbs() {
    static std::vector<TVerb> verbs;
    return verbs;
}

bool WantsHelp(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) return true;
    return false;
}

} // namespace Cli

static void PrintUsage(FILE* out) {
    std::fprintf(out,
                 "usage: zkf780a VERB [ARGS...]   (zkf780a VERB --help for details)\n\nverbs:\n");
    auto verbs = Cli::Verbs();
    std::sort(verbs.begin(), verbs.end(),
              [](const Cli::TVerb& a, const Cli::TVerb& b) { return a.Name < b.Name; });
    for (const auto& v : verbs)
        std::fprintf(out, "  %-20s %s\n", v.Name.c_str(), v.Summary.c_str());
}

// No verb ends in an uncaught exception: what escapes it is reported and the verb fails.
static int RunVerb(const Cli::TVerb& verb, int argc, char** argv) {
    try {
        return verb.Main(argc, argv);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zkf780a %s: %s\n", verb.Name.c_str(), e.what());
    } catch (...) {
        std::fprintf(stderr, "zkf780a %s: unexpected failure\n", verb.Name.c_str());
    }
    return 1;
}

int main(int argc, char** argv) {
    if (argc < 2) {
        PrintUsage(stderr);
        return 2;
    }
    if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        PrintUsage(stdout);
        return 0;
    }
    if (std::strcmp(argv[1], "--version") == 0 || std::strcmp(argv[1], "-V") == 0) {
        std::printf("zkf780a %s\n", ZKF_VERSION);
        return 0;
    }
    for (const auto& v : Cli::Verbs())
        if (v.Name == argv[1]) return RunVerb(v, argc - 1, argv + 1);
    std::fprintf(stderr, "zkf780a: unknown verb \"%s\"\n", argv[1]);
    PrintUsage(stderr);
    return 2;
}
