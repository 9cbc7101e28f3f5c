#include "Console.h"

#include <windows.h>

namespace Cli {

void PrepareConsole() {
    ::SetConsoleOutputCP(CP_UTF8);
    const HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (::GetConsoleMode(out, &mode))
        ::SetConsoleMode(out, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
}

// _isatty answers any non-zero value for a console (not 1 as on POSIX systems), and also for a
// serial device; GetConsoleMode succeeds for a console only.
bool StdoutIsTerminal() {
    DWORD mode = 0;
    return ::GetConsoleMode(::GetStdHandle(STD_OUTPUT_HANDLE), &mode) != 0;
}

} // namespace Cli
