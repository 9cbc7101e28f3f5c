#include "Console.h"

#include <unistd.h>

namespace Cli {

void PrepareConsole() {}

bool StdoutIsTerminal() {
    return ::isatty(STDOUT_FILENO) == 1;
}

} // namespace Cli
