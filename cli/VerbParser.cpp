#include "VerbParser.h"

#include "NearestName.h"

#include <cstdio>
#include <vector>

namespace Cli {

namespace {

std::vector<std::string> OptionNames(const CLI::App& app) {
    std::vector<std::string> names;
    for (const CLI::Option* option : app.get_options()) {
        for (const std::string& l : option->get_lnames()) names.push_back("--" + l);
        for (const std::string& s : option->get_snames()) names.push_back("-" + s);
    }
    return names;
}

} // namespace

TVerbParser::TVerbParser(const std::string& verb, const std::string& description,
                         const std::string& exitCodes)
    : CLI::App(description, "zkf780a " + verb) {
    footer(ExitCodesText(exitCodes));
    get_formatter()->column_width(26);
}

std::string ExitCodesText(const std::string& lines) {
    return "Exit status:\n" + lines;
}

// The first argument that no option or positional took, as the message to print.
std::string TVerbParser::UnknownArgument() const {
    for (const std::string& arg : remaining()) {
        if (arg.size() < 2 || arg[0] != '-') return "unexpected argument \"" + arg + "\"";
        const std::string name = arg.substr(0, arg.find('='));
        std::string text = "unknown option \"" + name + "\"";
        const std::string nearest = NearestName(name, OptionNames(*this));
        if (!nearest.empty()) text += "; did you mean \"" + nearest + "\"?";
        return text;
    }
    return {};
}

int TVerbParser::UsageError(const std::string& what) {
    std::fprintf(stderr, "%s: %s\nRun \"%s --help\" for the usage.\n", get_name().c_str(),
                 what.c_str(), get_name().c_str());
    return ExitUsage;
}

std::optional<int> TVerbParser::Parse(int argc, char** argv) {
    try {
        parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        std::fputs(help().c_str(), stdout);
        return 0;
    } catch (const CLI::CallForVersion& version) {
        std::printf("%s\n", version.what());
        return 0;
    } catch (const CLI::ParseError& e) {
        // A mistyped option also makes a required one look missing: name the typo first.
        const std::string unknown = UnknownArgument();
        return UsageError(unknown.empty() ? e.what() : unknown);
    }
    return std::nullopt;
}

} // namespace Cli
