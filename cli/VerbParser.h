#pragma once
// The arguments of every zkf780a verb are parsed by CLI11. These helpers make all verbs answer
// --help, a usage error and a mistyped option the same way.

#include <CLI/CLI.hpp>

#include <optional>
#include <string>

namespace Cli {

// The exit status of a usage error, on every verb.
inline constexpr int ExitUsage = 2;

// The parser of "zkf780a VERB" (of zkf780a itself when verb is empty): the description
// first, then the options, then the exit codes.
class TVerbParser : public CLI::App {
public:
    TVerbParser(const std::string& verb, const std::string& description,
                const std::string& exitCodes);

    // Parses argv (argv[0] is the verb). Returns the exit status when parsing ends the run: 0
    // after printing --help, ExitUsage after a usage error on stderr (an unknown option with the
    // nearest known one); nothing when the verb goes on.
    std::optional<int> Parse(int argc, char** argv);

    // Reports a usage error found after parsing, as Parse reports its own; returns ExitUsage.
    int UsageError(const std::string& what);

private:
    std::string UnknownArgument() const;
};

} // namespace Cli
