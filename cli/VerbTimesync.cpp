// zkf780a timesync: the date/time sync (Date/Time sync) from the command line.

#include "Verb.h"

#include "link/TUploadSession.h"

#include <QCoreApplication>

#include <cstdio>

namespace {

const char* const Usage =
    "usage: zkf780a timesync --port PORT [--baud N] [--msg] [--trace] [--timeout-ms N]\n"
    "Sets the VRC-780A's clock to the PC's local date and time (one frame, sent when the\n"
    "controller asks with 'C'). The message-box lines go to stdout.\n"
    "  --port PORT      device path (/dev/ttyUSB0, /dev/pts/7) or COMn\n"
    "  --baud N         line speed (default 115200)\n"
    "  --msg            the \"Msg. on\" lines\n"
    "  --trace          every byte sent and received to stderr, hexadecimal, time-stamped\n"
    "  --timeout-ms N   response timer interval (default 10000; ten silent intervals abort)\n"
    "Exit status: 0 on \"===> Date & Time Sync. finish <===\", 1 on failure or abort,\n"
    "130 after SIGINT (Ctrl-C), 143 after SIGTERM.\n";

int TimesyncMain(int argc, char** argv) {
    if (Cli::WantsHelp(argc, argv)) {
        std::fputs(Usage, stdout);
        return 0;
    }
    Link::TUploadSessionOptions options;
    std::vector<std::string> rest;
    std::string error;
    if (!Link::ParseUploadArgs(argc, argv, options, rest, error) || !rest.empty()) {
        std::fprintf(stderr, "zkf780a timesync: %s\n%s",
                     error.empty() ? "unexpected argument" : error.c_str(), Usage);
        return 2;
    }
    QCoreApplication app(argc, argv);
    return Link::TUploadSession(options).Run(Link::TTransferMode::DateTimeSync);
}

Cli::TVerbRegistrar reg("timesync", "set the VRC-780A's clock to the PC's", TimesyncMain);

} // namespace
