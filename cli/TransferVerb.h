#pragma once
// The verbs that send a ROM image file to the VRC-780A (upload, upgrade-ap) share their
// options, their argument check and the session that runs the transfer.

#include "link/TTransferState.h"

#include <string>

namespace Cli {

struct TTransferVerb {
    const char* Name;        // the verb as typed, "upload"
    const char* Description; // the usage lines between the synopsis and the shared part
    Link::TTransferMode Mode;
};

// Synopsis, description, the shared notes and options, and the exit status.
std::string TransferVerbUsage(const TTransferVerb& verb);
// --help prints the usage (0); arguments other than one ROMFILE and the options are reported
// with the usage (2); else the transfer runs and its exit code (0 or 1) is returned.
int RunTransferVerb(const TTransferVerb& verb, int argc, char** argv);

} // namespace Cli
