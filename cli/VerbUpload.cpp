// zkf780a upload: the ROM image upload (UpLoad ROM Image) from the command line.

#include "Verb.h"

#include "link/TUploadSession.h"

#include <QCoreApplication>

#include <cstdio>

namespace {

const char* const Usage =
    "usage: zkf780a upload ROMFILE --port PORT [--baud N] [--msg] [--trace] [--timeout-ms N]\n"
    "Uploads a ROM image file (at most 458,752 bytes) to the VRC-780A in 64-byte blocks.\n"
    "The controller starts the transfer with 'C'. The message-box lines go to stdout, with a\n"
    "progress bar when stdout is a terminal.\n"
    "  --port PORT      device path (/dev/ttyUSB0, /dev/pts/7) or COMn (COMPORT table of\n"
    "                   KRVZKF780AS1.INI in the current folder, else /dev/ttyS(n-1))\n"
    "  --baud N         line speed (default 115200)\n"
    "  --msg            the \"Msg. on\" lines: every block sent and the transfer time\n"
    "  --trace          every byte sent and received to stderr, hexadecimal, time-stamped\n"
    "  --timeout-ms N   response timer interval (default 10000; ten silent intervals abort)\n"
    "Exit status: 0 on \"===> UpLoad ROM image finish.<===\", 1 on failure or abort.\n";

int UploadMain(int argc, char** argv) {
    if (Cli::WantsHelp(argc, argv)) {
        std::fputs(Usage, stdout);
        return 0;
    }
    Link::TUploadSessionOptions options;
    std::vector<std::string> files;
    std::string error;
    if (!Link::ParseUploadArgs(argc, argv, options, files, error) || files.size() != 1) {
        std::fprintf(stderr, "zkf780a upload: %s\n%s",
                     error.empty() ? "one ROMFILE is needed" : error.c_str(), Usage);
        return 2;
    }
    QCoreApplication app(argc, argv);
    return Link::TUploadSession(options).Run(Link::TTransferMode::RomImage, files[0]);
}

Cli::TVerbRegistrar reg("upload", "upload a ROM image to the VRC-780A controller", UploadMain);

} // namespace
