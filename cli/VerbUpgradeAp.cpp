// zkf780a upgrade-ap: the application upgrade (Upgrade LPV AP) from the command line.

#include "Verb.h"

#include "link/TUploadSession.h"

#include <QCoreApplication>

#include <cstdio>

namespace {

const char* const Usage =
    "usage: zkf780a upgrade-ap ROMFILE --port PORT [--baud N] [--msg] [--trace] [--timeout-ms N]\n"
    "Sends the application region (the PM block, file offsets 0x4C000 to 0x53FFF, 512\n"
    "blocks of 64 bytes) of a ROM image file to the VRC-780A.\n"
    "The controller starts the transfer with 'C'. The message-box lines go to stdout, with a\n"
    "progress bar when stdout is a terminal.\n"
    "  --port PORT      device path (/dev/ttyUSB0, /dev/pts/7) or COMn (COMPORT table of\n"
    "                   KRVZKF780AS1.INI in the current folder, else /dev/ttyS(n-1))\n"
    "  --baud N         line speed (default 115200)\n"
    "  --msg            the \"Msg. on\" lines: every block sent and the transfer time\n"
    "  --trace          every byte sent and received to stderr, hexadecimal, time-stamped\n"
    "  --timeout-ms N   response timer interval (default 10000; ten silent intervals abort)\n"
    "Exit status: 0 on \"===> UpLoad ROM image finish.<===\", 1 on failure or abort.\n";

int UpgradeApMain(int argc, char** argv) {
    if (Cli::WantsHelp(argc, argv)) {
        std::fputs(Usage, stdout);
        return 0;
    }
    Link::TUploadSessionOptions options;
    std::vector<std::string> files;
    std::string error;
    if (!Link::ParseUploadArgs(argc, argv, options, files, error) || files.size() != 1) {
        std::fprintf(stderr, "zkf780a upgrade-ap: %s\n%s",
                     error.empty() ? "one ROMFILE is needed" : error.c_str(), Usage);
        return 2;
    }
    QCoreApplication app(argc, argv);
    return Link::TUploadSession(options).Run(Link::TTransferMode::AppUpgrade, files[0]);
}

Cli::TVerbRegistrar reg("upgrade-ap",
                        "send the application (PM block) of a ROM image to the controller",
                        UpgradeApMain);

} // namespace
