#pragma once
// The verbs that talk to the VRC-780A over a serial line (upload, upgrade-ap, timesync) share
// their options and the session that runs the transfer; upload and upgrade-ap also share their
// argument, the ROM image file.

#include "LineOptions.h"

#include "link/TTransferState.h"

namespace Cli {

struct TTransferVerb {
    const char* Name;        // the verb as typed, "upload"
    const char* Description; // what the verb sends
    Link::TTransferMode Mode;
};

// --help prints the usage (0); a usage error exits 2; else the transfer runs and its exit code
// is returned.
int RunTransferVerb(const TTransferVerb& verb, int argc, char** argv);

// The session's exit codes, for the end of a --help.
extern const char* const TransferExitCodes;

} // namespace Cli
