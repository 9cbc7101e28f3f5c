#pragma once
// The folders a verb that builds works with: the program folder the user gave (or the
// default), and the working folder it moves into with -C.

#include <string>

namespace Cli {

// given made absolute against here, or the default program folder when none was given.
std::string ProgramDirArgument(const std::string& given, const std::string& here);
// Moves into dir (nothing to do when empty); false, with the reason on stderr, when it cannot.
bool EnterWorkFolder(const char* verb, const std::string& dir);

} // namespace Cli
