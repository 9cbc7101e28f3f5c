#pragma once
// The terminal the command-line tool writes to, one file per platform (Console_Posix.cpp,
// Console_Win32.cpp).

namespace Cli {

// Sets the console up for the tool's output: on Windows UTF-8 text (file names outside the
// ANSI code page) and the escape sequences the progress bar uses.
void PrepareConsole();
// True when standard output is a terminal or console (the progress bar), false for a file or
// pipe (a progress line every 10%).
bool StdoutIsTerminal();

} // namespace Cli
