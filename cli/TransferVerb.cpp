#include "TransferVerb.h"

#include "VerbParser.h"

#include "rom/TRomImageReader.h"

#include <cstdio>

namespace Cli {

const char* const TransferExitCodes =
    "  0    the finish line was reached\n"
    "  1    failure, abort, a port that cannot be opened or a refused file\n"
    "  2    usage error\n"
    "  130  stopped by SIGINT (Ctrl-C): the controller may hold a partial image\n"
    "  143  stopped by SIGTERM\n";

int RunTransferVerb(const TTransferVerb& verb, int argc, char** argv) {
    TVerbParser parser(verb.Name,
                       std::string(verb.Description) +
                           "\nThe controller starts the transfer with 'C'. The message-box "
                           "lines go to stdout, with the progress: a bar on a terminal, else a "
                           "line every 10%. Ctrl-C (SIGINT) or SIGTERM stops the transfer.",
                       TransferExitCodes);
    Cli::TUploadSessionOptions options;
    std::string romFile;
    parser.add_option("ROMFILE", romFile, "the ROM image file")->required();
    AddLineOptions(parser, options);
    parser.add_flag("--force", options.Force,
                    "send a file that is not a ROM image made by MAKE ROM (the size, signature "
                    "and check bytes that inspect verifies), or an image that lacks pictures "
                    "its options use (the warning lines of inspect)");
    parser.add_flag("-q,--quiet", options.Quiet, "no progress bar or progress lines");
    if (auto status = parser.Parse(argc, argv)) return *status;

    // The same checks and warnings as inspect, before anything reaches the controller.
    options.CheckImage = [&](std::span<const std::uint8_t> file) {
        const std::string objection = Rom::RomImageObjection(file);
        if (objection.empty()) return true;
        std::fprintf(stderr, "zkf780a %s: %s%s\n", verb.Name, objection.c_str(),
                     options.Force ? " (sent anyway: --force)" : "");
        return options.Force;
    };
    return Cli::TUploadSession(options).Run(verb.Mode, romFile);
}

} // namespace Cli
