#include "app/core/TStartupContext.h"

#include <climits>
#include <ctime>
#include <sys/stat.h>
#include <unistd.h>

namespace AppCore {

namespace {
constexpr const char* FloorStyleFolder = "DefaultImage/UserDefine/Floor/Style";
} // namespace

void TStartupContext::SetProgramDir(const std::string& dir) {
    ProgramDir = dir;
    if (ProgramDir.empty() || ProgramDir.back() != '/') ProgramDir += '/';
    FloorStylePrefix = ProgramDir + FloorStyleFolder;
}

void TStartupContext::SetStartDir(const std::string& dir) {
    StartDir = dir;
    while (StartDir.size() > 1 && StartDir.back() == '/') StartDir.pop_back();
}

std::string TStartupContext::ExecutableDir() {
    char path[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return CurrentDir() + "/";
    const std::string full(path, std::size_t(n));
    return full.substr(0, full.find_last_of('/') + 1);
}

std::string TStartupContext::DefaultProgramDir() {
    const std::string exeDir = ExecutableDir();
    struct stat st {};
    if (stat((exeDir + "DefaultImage").c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return exeDir;
    // <prefix>/bin/ -> <prefix>/share/zkf780a/
    std::string prefix = exeDir.substr(0, exeDir.size() - 1);
    prefix = prefix.substr(0, prefix.find_last_of('/') + 1);
    const std::string shared = prefix + "share/zkf780a/";
    if (stat((shared + "DefaultImage").c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return shared;
    return exeDir;
}

std::string TStartupContext::CurrentDir() {
    char path[PATH_MAX];
    if (!getcwd(path, sizeof path)) return ".";
    std::string dir = path;
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    return dir;
}

std::string FileDateYYMMDD(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) return {};
    std::tm local{};
    localtime_r(&st.st_mtime, &local);
    char text[16];
    std::strftime(text, sizeof text, "%y%m%d", &local);
    return text;
}

} // namespace AppCore
