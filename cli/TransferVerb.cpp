#include "TransferVerb.h"

#include "Verb.h"

#include "link/TUploadSession.h"
#include "rom/TRomImageReader.h"

#include <QCoreApplication>

#include <cstdio>
#include <vector>

namespace Cli {

namespace {

const char* const SharedUsage =
    "The controller starts the transfer with 'C'. The message-box lines go to stdout, with a\n"
    "progress bar when stdout is a terminal.\n"
    "  --port PORT      device path (/dev/ttyUSB0, /dev/pts/7) or COMn (COMPORT table of\n"
    "                   KRVZKF780AS1.INI in the current folder, else /dev/ttyS(n-1))\n"
    "  --baud N         line speed (default 115200)\n"
    "  --msg            the \"Msg. on\" lines: every block sent and the transfer time\n"
    "  --trace          every byte sent and received to stderr, hexadecimal, time-stamped\n"
    "  --timeout-ms N   response timer interval (default 10000; ten silent intervals abort)\n"
    "  --force          send a file that is not a ROM image made by MAKE ROM (the size,\n"
    "                   signature and check bytes that inspect verifies)\n"
    "Ctrl-C (SIGINT) or SIGTERM stops the transfer; the controller may then hold a partial\n"
    "image. Exit status: 0 on \"===> UpLoad ROM image finish.<===\", 1 on failure, abort or\n"
    "a refused file, 130 after SIGINT, 143 after SIGTERM.\n";

} // namespace

std::string TransferVerbUsage(const TTransferVerb& verb) {
    return std::string("usage: zkf780a ") + verb.Name +
           " ROMFILE --port PORT [--baud N] [--msg] [--trace] [--timeout-ms N] [--force]\n" +
           verb.Description + SharedUsage;
}

int RunTransferVerb(const TTransferVerb& verb, int argc, char** argv) {
    const std::string usage = TransferVerbUsage(verb);
    if (WantsHelp(argc, argv)) {
        std::fputs(usage.c_str(), stdout);
        return 0;
    }
    Link::TUploadSessionOptions options;
    std::vector<std::string> files;
    std::string error;
    if (!Link::ParseUploadArgs(argc, argv, options, files, error) || files.size() != 1) {
        std::fprintf(stderr, "zkf780a %s: %s\n%s", verb.Name,
                     error.empty() ? "one ROMFILE is needed" : error.c_str(), usage.c_str());
        return 2;
    }
    // The same checks as inspect, before anything reaches the controller.
    options.CheckImage = [&](std::span<const std::uint8_t> file) {
        const std::string problem = Rom::RomImageProblem(file);
        if (problem.empty()) return true;
        std::fprintf(stderr, "zkf780a %s: Not a ROM image made by MAKE ROM: %s%s\n", verb.Name,
                     problem.c_str(), options.Force ? " (sent anyway: --force)" : "");
        return options.Force;
    };
    QCoreApplication app(argc, argv);
    return Link::TUploadSession(options).Run(verb.Mode, files[0]);
}

} // namespace Cli
