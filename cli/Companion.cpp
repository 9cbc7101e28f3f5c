#include "Companion.h"

#include "app/core/TStartupContext.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#ifdef _WIN32
#include <windows.h>
#else
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;
#endif

namespace Cli {

namespace {
const char* const CompanionName = "zkf780a-qt";
}

#ifdef _WIN32
namespace {
// One argument as the C runtime of the started program splits it again: in quotes, with
// backslashes doubled before a quote and quotes escaped.
void AppendQuoted(std::string& line, const std::string& arg) {
    line += " \"";
    std::size_t slashes = 0;
    for (const char c : arg) {
        if (c == '\\') {
            ++slashes;
        } else {
            if (c == '"') line.append(slashes + 1, '\\');
            slashes = 0;
        }
        line += c;
    }
    line.append(slashes, '\\');
    line += '"';
}
} // namespace

int RunCompanion(const std::vector<std::string>& args) {
    const std::string path = AppCore::TStartupContext::ExecutableDir() + CompanionName + ".exe";
    std::string line = "\"" + path + "\"";
    for (const std::string& a : args) AppendQuoted(line, a);
    std::fflush(stdout); // what this process printed comes before the companion's output
    std::fflush(stderr);
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!::CreateProcessA(path.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                          &startup, &process)) {
        std::fprintf(stderr,
                     "zkf780a: cannot start %s (Windows error %lu); this command needs the "
                     "companion program that comes with the editor's Qt build\n",
                     path.c_str(), ::GetLastError());
        return 1;
    }
    ::CloseHandle(process.hThread);
    ::WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 1;
    ::GetExitCodeProcess(process.hProcess, &code);
    ::CloseHandle(process.hProcess);
    return static_cast<int>(code);
}
#else
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

#endif

} // namespace Cli
