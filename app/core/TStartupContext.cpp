#include "app/core/TStartupContext.h"

#include <climits>
#include <ctime>
#include <sys/stat.h>
#include <unistd.h>
#ifdef _WIN32
#include <windows.h>
#endif

namespace AppCore {

namespace {
constexpr const char* FloorStyleFolder = "DefaultImage/UserDefine/Floor/Style";

// The text with every "/" as the platform's separator.
std::string Native(std::string path) {
    for (char& c : path)
        if (c == '/') c = PathDelim;
    return path;
}

bool IsDelim(char c) {
    return c == '/' || c == PathDelim;
}

bool IsFolder(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}
} // namespace

void TStartupContext::SetProgramDir(const std::string& dir) {
    ProgramDir = dir;
    if (ProgramDir.empty() || !IsDelim(ProgramDir.back())) ProgramDir += PathDelim;
    FloorStylePrefix = ProgramDir + Native(FloorStyleFolder);
}

void TStartupContext::SetStartDir(const std::string& dir) {
    StartDir = dir;
    while (StartDir.size() > 1 && IsDelim(StartDir.back())) StartDir.pop_back();
}

void TStartupContext::NoteProblem(const std::string& file, const std::string& reason) {
    if (!ProblemFile.empty()) return;
    ProblemFile = file;
    ProblemReason = reason.empty() ? std::string("cannot be read") : reason;
}

std::string TStartupContext::ExecutableDir() {
#ifdef _WIN32
    char path[MAX_PATH * 4];
    const DWORD n = ::GetModuleFileNameA(nullptr, path, sizeof path);
    if (n == 0 || n >= sizeof path) return CurrentDir() + PathDelim;
    const std::string full(path, n);
#else
    char path[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return CurrentDir() + PathDelim;
    const std::string full(path, std::size_t(n));
#endif
    return full.substr(0, full.find_last_of(PathDelim) + 1);
}

std::string TStartupContext::DefaultProgramDir() {
    const std::string exeDir = ExecutableDir();
    if (IsFolder(exeDir + "DefaultImage")) return exeDir;
    // <prefix>/bin/ -> <prefix>/share/zkf780a/
    std::string prefix = exeDir.substr(0, exeDir.size() - 1);
    prefix = prefix.substr(0, prefix.find_last_of(PathDelim) + 1);
    const std::string shared = prefix + Native("share/zkf780a/");
    if (IsFolder(shared + "DefaultImage")) return shared;
    return exeDir;
}

std::string TStartupContext::CurrentDir() {
    char path[PATH_MAX];
    if (!getcwd(path, sizeof path)) return ".";
    std::string dir = path;
    while (dir.size() > 1 && IsDelim(dir.back())) dir.pop_back();
    return dir;
}

std::string FileDateYYMMDD(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) return {};
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &st.st_mtime);
#else
    localtime_r(&st.st_mtime, &local);
#endif
    char text[16];
    std::strftime(text, sizeof text, "%y%m%d", &local);
    return text;
}

} // namespace AppCore
