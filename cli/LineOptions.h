#pragma once
// The options of every verb that talks to the VRC-780A over a serial line (upload, upgrade-ap,
// timesync), parsed into the link's plain session options.

#include "TUploadSession.h"

namespace CLI {
class App;
}

namespace Cli {

// --port (required), --baud, --msg, --trace, --timeout-ms into options.
void AddLineOptions(CLI::App& parser, Cli::TUploadSessionOptions& options);

} // namespace Cli
