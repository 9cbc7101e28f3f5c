#include "VerbParser.h"

#include "NearestName.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace Cli {

namespace {

constexpr std::size_t HelpWidth = 79;
constexpr std::size_t OptionColumn = 26;

// text broken into lines of at most width columns at spaces; its own line breaks stay.
std::string Wrap(const std::string& text, std::size_t width) {
    std::string out, line;
    auto flush = [&] {
        out += line;
        line.clear();
    };
    std::size_t at = 0;
    while (at <= text.size()) {
        const std::size_t end = std::min(text.find_first_of(" \n", at), text.size());
        const std::string word = text.substr(at, end - at);
        if (!line.empty() && line.size() + 1 + word.size() > width) {
            flush();
            out += '\n';
        } else if (!line.empty()) {
            line += ' ';
        }
        line += word;
        if (end < text.size() && text[end] == '\n') {
            flush();
            out += '\n';
        }
        at = end + 1;
    }
    flush();
    return out;
}

// CLI11's help, with the descriptions wrapped and each option's value named plainly
// ("--port PORT", not "--port TEXT REQUIRED": the usage line says what is required).
class THelpFormatter : public CLI::Formatter {
public:
    THelpFormatter() { column_width(OptionColumn); }
    std::string make_description(const CLI::App* app) const override {
        const std::string& text = app->get_description();
        return text.empty() ? std::string() : Wrap(text, HelpWidth) + "\n\n";
    }
    std::string make_option_opts(const CLI::Option* option) const override {
        if (option->get_positional() || option->get_type_size() == 0) return {};
        if (!option->get_option_text().empty()) return " " + option->get_option_text();
        const std::string type = option->get_type_name();
        return " " + type.substr(0, type.find(':'));
    }
    std::string make_option_desc(const CLI::Option* option) const override {
        return Wrap(option->get_description(), HelpWidth - OptionColumn);
    }
};

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
    : CLI::App(description, verb.empty() ? "zkf780a" : "zkf780a " + verb) {
    footer("Exit status:\n" + exitCodes);
    formatter(std::make_shared<THelpFormatter>());
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
