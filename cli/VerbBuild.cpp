// zkf780a build PROJECT.zkf: MAKE ROM without a window. Start-up reads the tool settings file
// and the picture library from the working folder, the project is loaded as the Load button
// loads it, and MAKE ROM runs as if its save dialog were confirmed with the project's own path
// and the overwrite question answered No, so the project file is not rewritten.

#include "Verb.h"

#include "XVclUtil/FileUtil.h"
#include "XVclUtil/MessageBox.h"
#include "app/core/MakeRom.h"
#include "app/core/ProjectFile.h"
#include "app/core/Startup.h"
#include "app/core/TScriptedPrompts.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

void PrintHelp() {
    std::printf(
        "usage: zkf780a build PROJECT.zkf [-C WORKDIR] [--program-dir DIR] [-o ROMFILE]\n"
        "Runs MAKE ROM on the project without a window.\n"
        "  -C WORKDIR          working folder: the tool settings file \"KRVZKF780AS1.INI\" and "
        "the\n"
        "                      picture library are read there, and the ROM image is written there\n"
        "                      under the project's ROM file name (default: the current folder)\n"
        "  --program-dir DIR   folder holding DefaultImage/ (default: this program's folder)\n"
        "  -o ROMFILE          write the ROM image to ROMFILE instead (the .BIN side file, when\n"
        "                      the model asks for one, takes ROMFILE's name with \".BIN\"; so\n"
        "                      ROMFILE itself must not end in \".BIN\")\n"
        "Message-box lines go to stdout, errors to stderr. Exit status 0 exactly when\n"
        "\"ROM create finish!!\" was reached.\n");
}

std::string Absolute(const std::string& path, const std::string& base) {
    if (path.empty() || path.front() == '/') return path;
    return base + "/" + path;
}

// The Make page's message box prints its lines as they come.
class TConsolePrompts : public AppCore::TScriptedPrompts {
public:
    void AppendMessageLine(const std::string& line) override {
        TScriptedPrompts::AppendMessageLine(line);
        std::printf("%s\n", line.c_str());
    }
};

// Message boxes: the closing success box on stdout, every other box on stderr.
void PrintMessageBox(const std::string& caption, const std::string& text) {
    std::string body = text;
    while (!body.empty() && body.back() == '\n') body.pop_back();
    std::FILE* out = caption == "Succeeded" ? stdout : stderr;
    std::fprintf(out, "%s: %s\n", caption.c_str(), body.c_str());
    std::fflush(out);
}

// A ROM image whose side file (its name with ".BIN") would be the same file on a file system
// that does not tell case apart.
bool IsSideFileName(const std::string& romFile) {
    const std::string side = XVclUtil::ChangeFileExt(romFile, ".BIN");
    return side.size() == romFile.size() &&
           std::equal(side.begin(), side.end(), romFile.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) ==
                      std::toupper(static_cast<unsigned char>(y));
           });
}

struct TBuildArgs {
    std::string Project, WorkDir, ProgramDir, RomFile;
};

// 0 when parsed, else the exit status.
int ParseArgs(int argc, char** argv, TBuildArgs& a) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        std::string* value = arg == "-C"              ? &a.WorkDir
                             : arg == "--program-dir" ? &a.ProgramDir
                             : arg == "-o"            ? &a.RomFile
                                                      : nullptr;
        if (value) {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "build: %s needs a value\n", arg.c_str());
                return 2;
            }
            *value = argv[++i];
        } else if (!arg.empty() && arg[0] == '-') {
            std::fprintf(stderr, "build: unknown option \"%s\"\n", arg.c_str());
            return 2;
        } else if (a.Project.empty()) {
            a.Project = arg;
        } else {
            std::fprintf(stderr, "build: more than one project given\n");
            return 2;
        }
    }
    if (a.Project.empty()) {
        std::fprintf(stderr, "usage: zkf780a build PROJECT.zkf [-C WORKDIR] [--program-dir DIR] "
                             "[-o ROMFILE] (see --help)\n");
        return 2;
    }
    if (!a.RomFile.empty() && IsSideFileName(a.RomFile)) {
        std::fprintf(stderr,
                     "build: -o %s is the name of the .BIN side file; the side file "
                     "would overwrite the ROM image\n",
                     a.RomFile.c_str());
        return 2;
    }
    return 0;
}

int BuildMain(int argc, char** argv) {
    if (Cli::WantsHelp(argc, argv)) {
        PrintHelp();
        return 0;
    }
    TBuildArgs a;
    if (int status = ParseArgs(argc, argv, a)) return status;
    const std::string invocationDir = AppCore::TStartupContext::CurrentDir();
    a.Project = Absolute(a.Project, invocationDir);
    a.RomFile = Absolute(a.RomFile, invocationDir);
    a.ProgramDir = a.ProgramDir.empty() ? AppCore::TStartupContext::DefaultProgramDir()
                                        : Absolute(a.ProgramDir, invocationDir);
    if (!a.WorkDir.empty() && ::chdir(a.WorkDir.c_str()) != 0) {
        std::fprintf(stderr, "build: cannot enter the working folder \"%s\": %s\n",
                     a.WorkDir.c_str(), std::strerror(errno));
        return 1;
    }
    const std::string workDir = AppCore::TStartupContext::CurrentDir();

    XVclUtil::TMessageSink previous = XVclUtil::SetMessageSink(PrintMessageBox);
    TConsolePrompts prompts;
    AppCore::TEditorSession session(prompts);
    // A start-up that ends early leaves the editor usable too; MAKE ROM reports what is missing.
    AppCore::RunStartup(session, a.ProgramDir, workDir);
    bool finished = false;
    if (AppCore::LoadProjectFile(session, a.Project)) {
        prompts.SaveAnswers.push_back(a.Project); // the save dialog, confirmed
        prompts.YesNoAnswers.push_back(false);    // "File exist!! Overlay?" -> No
        finished = AppCore::MakeRom(session, a.RomFile);
    }
    XVclUtil::SetMessageSink(previous);
    if (finished) {
        const std::string rom =
            Absolute(AppCore::RomBuildInput(session, a.RomFile).RomFileName, workDir);
        std::printf("ROM image: %s\n", rom.c_str());
        if (session.Settings.OUTCPUBIN == 1)
            std::printf("side file: %s\n", XVclUtil::ChangeFileExt(rom, ".BIN").c_str());
    }
    return finished ? 0 : 1;
}

Cli::TVerbRegistrar reg("build", "MAKE ROM: build the project's ROM image without a window",
                        BuildMain);

} // namespace
