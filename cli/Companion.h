#pragma once
// Starts zkf780a-qt, the companion program beside zkf780a that does the work needing Qt
// (sample data, PNG pictures), so that zkf780a itself loads no Qt library.

#include <string>
#include <vector>

namespace Cli {

// Runs the companion with `args` (its command first), sharing this process's standard streams,
// and waits for it. Returns its exit status; 1 with a message on stderr when it cannot be
// started, 128 + n when signal n ended it.
int RunCompanion(const std::vector<std::string>& args);

} // namespace Cli
