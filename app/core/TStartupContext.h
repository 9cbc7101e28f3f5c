#pragma once
// The directories and library dates fixed once at start-up.

#include "XVclUtil/PlatformPaths.h"

#include <string>

namespace AppCore {

// The Windows build ends ProgramDir in a backslash and joins its folders with backslashes.
using XVclUtil::PathDelim;

struct TStartupContext {
    std::string ProgramDir;       // folder of the executable, ending in PathDelim
    std::string StartDir;         // working directory at start-up, without a trailing "/"
    std::string FloorStylePrefix; // ProgramDir + "DefaultImage/UserDefine/Floor/Style"
    std::string GlbDate;          // "yymmdd" of the picture library, "000000" when missing
    std::string UbfDate;          // "yymmdd" of the user picture library, "000000" when missing
    // The first file start-up reported an error about (settings file, picture library, user
    // picture library) and why; empty when it reported none. MAKE ROM refuses to build on
    // what such a start-up left, rather than on built-in models or a partial library.
    std::string ProblemFile, ProblemReason;

    // Keeps the first problem reported.
    void NoteProblem(const std::string& file, const std::string& reason);

    // Sets ProgramDir (a trailing "/" is added when missing) and FloorStylePrefix.
    void SetProgramDir(const std::string& dir);
    // Sets StartDir, dropping a trailing "/" (except for the root folder).
    void SetStartDir(const std::string& dir);

    // Folder of the running executable, with a trailing "/".
    static std::string ExecutableDir();
    // The default ProgramDir: the executable's folder when DefaultImage/ is beside it (a build
    // tree), else <prefix>/share/zkf780a/ of an installed program when that holds DefaultImage/.
    static std::string DefaultProgramDir();
    // The process's current working directory, without a trailing "/".
    static std::string CurrentDir();
};

// "yymmdd" of the file's modification date in local time; empty when the file is missing.
std::string FileDateYYMMDD(const std::string& path);

} // namespace AppCore
