#include "app/core/TStartupContext.h"

#include <ctime>

namespace AppCore {

namespace {
constexpr const char* FloorStyleFolder = "DefaultImage/UserDefine/Floor/Style";

bool IsDelim(char c) {
    return c == '/' || c == PathDelim;
}
} // namespace

using XVclUtil::IsFolder;
using XVclUtil::NativePath;

void TStartupContext::SetProgramDir(const std::string& dir) {
    ProgramDir = dir;
    if (ProgramDir.empty() || !IsDelim(ProgramDir.back())) ProgramDir += PathDelim;
    FloorStylePrefix = ProgramDir + NativePath(FloorStyleFolder);
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
    return XVclUtil::ExecutableDir();
}

std::string TStartupContext::DefaultProgramDir() {
    const std::string exeDir = ExecutableDir();
    if (IsFolder(exeDir + "DefaultImage")) return exeDir;
    // <prefix>/bin/ -> <prefix>/share/zkf780a/
    std::string prefix = exeDir.substr(0, exeDir.size() - 1);
    prefix = prefix.substr(0, prefix.find_last_of(PathDelim) + 1);
    const std::string shared = prefix + NativePath("share/zkf780a/");
    if (IsFolder(shared + "DefaultImage")) return shared;
    return exeDir;
}

std::string TStartupContext::CurrentDir() {
    return XVclUtil::CurrentDir();
}

std::string FileDateYYMMDD(const std::string& path) {
    const std::optional<std::tm> local = XVclUtil::FileModifiedLocalTime(path);
    if (!local) return {};
    char text[16];
    std::strftime(text, sizeof text, "%y%m%d", &*local);
    return text;
}

} // namespace AppCore
