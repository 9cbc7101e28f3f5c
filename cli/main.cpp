// zkf780a: the command-line face of the ZKF780A editor.

#include "Console.h"
#include "NearestName.h"
#include "Verb.h"
#include "VerbParser.h"

#include "ZkfVersion.h"

#include <algorithm>
#include <cstdio>
#include <exception>

namespace Cli {

std::vector<TVerb>& Verbs() {
    static std::vector<TVerb> verbs;
    return verbs;
}

} // namespace Cli

namespace {

std::string VerbList() {
    auto verbs = Cli::Verbs();
    std::sort(verbs.begin(), verbs.end(),
              [](const Cli::TVerb& a, const Cli::TVerb& b) { return a.Name < b.Name; });
    std::string text = "Verbs (zkf780a VERB --help for each):\n";
    for (const auto& v : verbs) {
        char line[160];
        std::snprintf(line, sizeof line, "  %-20s %s\n", v.Name.c_str(), v.Summary.c_str());
        text += line;
    }
    return text;
}

const Cli::TVerb* FindVerb(const std::string& name) {
    for (const auto& v : Cli::Verbs())
        if (v.Name == name) return &v;
    return nullptr;
}

// No verb ends in an uncaught exception: what escapes it is reported and the verb fails.
int RunVerb(const Cli::TVerb& verb, int argc, char** argv) {
    try {
        return verb.Main(argc, argv);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zkf780a %s: %s\n", verb.Name.c_str(), e.what());
    } catch (...) {
        std::fprintf(stderr, "zkf780a %s: unexpected failure\n", verb.Name.c_str());
    }
    return 1;
}

int UnknownVerb(const std::string& typed) {
    std::vector<std::string> names;
    for (const auto& v : Cli::Verbs()) names.push_back(v.Name);
    const std::string nearest = Cli::NearestName(typed, names);
    std::fprintf(stderr, "zkf780a: unknown verb \"%s\"", typed.c_str());
    if (!nearest.empty()) std::fprintf(stderr, "; did you mean \"%s\"?", nearest.c_str());
    std::fprintf(stderr, "\nRun \"zkf780a --help\" for the verbs.\n");
    return Cli::ExitUsage;
}

} // namespace

int main(int argc, char** argv) {
    Cli::PrepareConsole();
    // The tool's own options come before the verb; everything from the verb on is the verb's.
    int verbAt = 1;
    while (verbAt < argc && argv[verbAt][0] == '-') ++verbAt;

    Cli::TVerbParser tool("", "The ZKF780A editor's work without a window.",
                          "  0  success\n"
                          "  2  usage error (unknown verb or option)\n"
                          "  other: that of the verb (zkf780a VERB --help)\n");
    std::string verbShown; // only for the help: the verb's arguments are never parsed here
    tool.add_option("VERB", verbShown, "the verb to run, then its arguments (below)");
    tool.footer(VerbList() + "\n" + tool.get_footer());
    tool.set_version_flag("-V,--version", std::string("zkf780a ") + ZKF_VERSION,
                          "print the version and exit");
    if (auto status = tool.Parse(verbAt, argv)) return *status;
    if (verbAt == argc) {
        std::fputs(tool.help().c_str(), stderr);
        return Cli::ExitUsage;
    }
    const Cli::TVerb* verb = FindVerb(argv[verbAt]);
    if (!verb) return UnknownVerb(argv[verbAt]);
    return RunVerb(*verb, argc - verbAt, argv + verbAt);
}
