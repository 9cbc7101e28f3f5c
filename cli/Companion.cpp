#include "Companion.h"

#include "app/core/TStartupContext.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace Cli {

namespace {
const char* const CompanionName = "zkf780a-qt";
}

int RunCompanion(const std::vector<std::string>& args) {
    const std::string path = AppCore::TStartupContext::ExecutableDir() + CompanionName;
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(path.c_str()));
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    std::fflush(stdout); // what this process printed comes before the companion's output
    std::fflush(stderr);
    pid_t pid = 0;
    const int err = posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv.data(), environ);
    if (err != 0) {
        std::fprintf(stderr, "zkf780a: cannot start %s (%s)\n", path.c_str(), std::strerror(err));
        return 1;
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0)
        if (errno != EINTR) return 1;
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}

} // namespace Cli
