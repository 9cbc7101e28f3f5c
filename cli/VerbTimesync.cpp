// zkf780a timesync: the date/time sync (Date/Time sync) from the command line.

#include "TransferVerb.h"
#include "Verb.h"
#include "VerbParser.h"

namespace {

int TimesyncMain(int argc, char** argv) {
    Cli::TVerbParser parser("timesync",
                            "Sets the VRC-780A's clock to the PC's local date and time (one "
                            "frame, sent when the controller asks with 'C'). The message-box "
                            "lines go to stdout.",
                            Cli::TransferExitCodes);
    Cli::TUploadSessionOptions options;
    Cli::AddLineOptions(parser, options);
    if (auto status = parser.Parse(argc, argv)) return *status;
    return Cli::TUploadSession(options).Run(Link::TTransferMode::DateTimeSync);
}

Cli::TVerbRegistrar reg("timesync", "set the VRC-780A's clock to the PC's", TimesyncMain);

} // namespace
