#include "WorkFolder.h"

#include "XVclUtil/PlatformPaths.h"
#include "app/core/TStartupContext.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace Cli {

std::string ProgramDirArgument(const std::string& given, const std::string& here) {
    return given.empty() ? AppCore::TStartupContext::DefaultProgramDir()
                         : XVclUtil::AbsolutePath(given, here);
}

bool EnterWorkFolder(const char* verb, const std::string& dir) {
    if (dir.empty() || ::chdir(dir.c_str()) == 0) return true;
    std::fprintf(stderr, "%s: cannot enter the working folder \"%s\": %s\n", verb, dir.c_str(),
                 std::strerror(errno));
    return false;
}

} // namespace Cli
