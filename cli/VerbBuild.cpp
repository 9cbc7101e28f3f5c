// zkf780a build PROJECT.zkf: MAKE ROM without a window. Start-up reads the tool settings file
// and the picture library from the working folder, the project is loaded as the Load button
// loads it, and MAKE ROM runs as if its save dialog were confirmed with the project's own path
// and the overwrite question answered No, so the project file is not rewritten.

#include "Verb.h"
#include "VerbParser.h"
#include "WorkFolder.h"

#include "XVclUtil/FileUtil.h"
#include "XVclUtil/MessageBox.h"
#include "XVclUtil/PlatformPaths.h"
#include "app/core/MakeRom.h"
#include "app/core/ProjectFile.h"
#include "app/core/Startup.h"
#include "app/core/TScriptedPrompts.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

namespace {

using XVclUtil::AbsolutePath;

constexpr int ExitWarnings = 3;

// Lines starting "[Warning]" that MAKE ROM wrote, for --strict.
int WarningLines = 0;

void CountWarnings(const std::string& text) {
    std::size_t at = 0;
    while (at < text.size()) {
        if (text.compare(at, 9, "[Warning]") == 0) ++WarningLines;
        const std::size_t end = text.find('\n', at);
        if (end == std::string::npos) break;
        at = end + 1;
    }
}

// The Make page's message box prints its lines as they come.
class TConsolePrompts : public AppCore::TScriptedPrompts {
public:
    void AppendMessageLine(const std::string& line) override {
        TScriptedPrompts::AppendMessageLine(line);
        CountWarnings(line);
        std::printf("%s\n", line.c_str());
    }
};

// Message boxes: the closing success box on stdout, every other box on stderr.
void PrintMessageBox(const std::string& caption, const std::string& text) {
    CountWarnings(text);
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
    bool Strict = false;
};

// The exit status when parsing ends the run.
std::optional<int> ParseArgs(int argc, char** argv, TBuildArgs& a) {
    Cli::TVerbParser parser("build",
                            "Runs MAKE ROM on the project without a window. Message-box lines go "
                            "to stdout, errors to stderr.",
                            "  0  \"ROM create finish!!\" was reached\n"
                            "  1  the build failed\n"
                            "  2  usage error\n"
                            "  3  --strict and MAKE ROM wrote a \"[Warning]\" line (the image is "
                            "written)\n");
    parser.add_option("PROJECT.zkf", a.Project, "the project file")->required();
    parser
        .add_option("-C", a.WorkDir,
                    "working folder: the tool settings file \"KRVZKF780AS1.INI\" and the "
                    "picture library are read there, and the ROM image is written there under "
                    "the project's ROM file name (default: the current folder)")
        ->type_name("WORKDIR");
    parser
        .add_option("--program-dir", a.ProgramDir,
                    "folder holding DefaultImage/ (default: this program's folder)")
        ->type_name("DIR");
    parser
        .add_option("-o", a.RomFile,
                    "write the ROM image to ROMFILE instead (the .BIN side file, when the "
                    "model asks for one, takes ROMFILE's name with \".BIN\"; so ROMFILE itself "
                    "must not end in \".BIN\")")
        ->type_name("ROMFILE");
    parser.add_flag("--strict", a.Strict, "exit 3 when MAKE ROM wrote any \"[Warning]\" line");
    if (auto status = parser.Parse(argc, argv)) return status;
    if (!a.RomFile.empty() && IsSideFileName(a.RomFile))
        return parser.UsageError("-o " + a.RomFile +
                                 " is the name of the .BIN side file; the side file would "
                                 "overwrite the ROM image");
    return std::nullopt;
}

int BuildMain(int argc, char** argv) {
    TBuildArgs a;
    if (auto status = ParseArgs(argc, argv, a)) return *status;
    const std::string invocationDir = AppCore::TStartupContext::CurrentDir();
    a.Project = AbsolutePath(a.Project, invocationDir);
    a.RomFile = AbsolutePath(a.RomFile, invocationDir);
    a.ProgramDir = Cli::ProgramDirArgument(a.ProgramDir, invocationDir);
    if (!Cli::EnterWorkFolder("build", a.WorkDir)) return 1;
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
            AbsolutePath(AppCore::RomBuildInput(session, a.RomFile).RomFileName, workDir);
        std::printf("ROM image: %s\n", rom.c_str());
        if (session.Settings.OUTCPUBIN == 1)
            std::printf("side file: %s\n", XVclUtil::ChangeFileExt(rom, ".BIN").c_str());
    }
    if (!finished) return 1;
    if (a.Strict && WarningLines > 0) {
        std::fprintf(stderr, "build: %d warning line%s (--strict)\n", WarningLines,
                     WarningLines == 1 ? "" : "s");
        return ExitWarnings;
    }
    return 0;
}

Cli::TVerbRegistrar reg("build", "MAKE ROM: build the project's ROM image without a window",
                        BuildMain);

} // namespace
