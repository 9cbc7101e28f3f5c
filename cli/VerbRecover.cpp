// zkf780a recover IMAGE.ROM -o FOLDER: the project a ROM image was built from, written into
// FOLDER as a project file and the pictures it needs. Start-up reads the tool settings file and
// the picture library of the working folder, as build does; with them the recovery finds the
// model and tells the library's pictures from the user's. The project is then built once in a
// private temporary folder and compared with the image.

#include "Verb.h"
#include "VerbParser.h"
#include "WorkFolder.h"

#include "XVclUtil/FileUtil.h"
#include "XVclUtil/PlatformPaths.h"
#include "app/core/RecoverProject.h"
#include "app/core/Startup.h"
#include "app/core/TScriptedPrompts.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

using XVclUtil::AbsolutePath;

constexpr int ExitDiffers = 3;

struct TRecoverArgs {
    std::string Rom, Folder, WorkDir, ProgramDir;
    bool NoCheck = false;
    bool Force = false;
};

std::optional<int> ParseArgs(int argc, char** argv, TRecoverArgs& a) {
    Cli::TVerbParser parser(
        "recover",
        "Writes the project a ROM image was built from into FOLDER: a project file named after "
        "the image, the floor pictures under FOLDER/DefaultImage/UserDefine/Floor/Style<n>/, the "
        "default lift-state pictures the image uses under FOLDER/DefaultImage/LiftState/, and "
        "every other picture the library does not give beside the project. Then builds the "
        "project once, as \"zkf780a build FOLDER/<name>.zkf -C WORKDIR --program-dir FOLDER\" "
        "does, and compares the result with the image. What a ROM image does not hold is said.",
        "  0  the project was written and builds the same image\n"
        "  1  the project could not be written (or is there already, without --force)\n"
        "  2  the file is no intact ROM image, or usage error\n"
        "  3  the project was written, but it builds another image (the differences are "
        "listed)\n");
    parser.add_option("IMAGE.ROM", a.Rom, "the ROM image file")->required();
    parser.add_option("-o", a.Folder, "the folder to write the project into (made when missing)")
        ->type_name("FOLDER")
        ->required();
    parser
        .add_option("-C", a.WorkDir,
                    "working folder with the tool settings file \"KRVZKF780AS1.INI\" and the "
                    "picture library the image was built with (default: the current folder)")
        ->type_name("WORKDIR");
    parser
        .add_option("--program-dir", a.ProgramDir,
                    "folder holding the default DefaultImage/ tree (default: this program's "
                    "folder)")
        ->type_name("DIR");
    parser.add_flag("--no-check", a.NoCheck, "do not build the project to compare");
    parser.add_flag("--force", a.Force, "replace a project file of that name in FOLDER");
    return parser.Parse(argc, argv);
}

void PrintList(const char* heading, const std::vector<std::string>& lines) {
    if (lines.empty()) return;
    std::printf("%s\n", heading);
    for (const std::string& line : lines) std::printf("  %s\n", line.c_str());
}

int RecoverMain(int argc, char** argv) {
    TRecoverArgs a;
    if (auto status = ParseArgs(argc, argv, a)) return *status;
    const std::string here = AppCore::TStartupContext::CurrentDir();
    a.Rom = AbsolutePath(a.Rom, here);
    a.Folder = AbsolutePath(a.Folder, here);
    a.ProgramDir = Cli::ProgramDirArgument(a.ProgramDir, here);
    if (!Cli::EnterWorkFolder("recover", a.WorkDir)) return 1;
    const std::string workDir = AppCore::TStartupContext::CurrentDir();
    std::string error;
    const auto image = AppCore::ReadRomImageFile(a.Rom, error);
    if (!image) {
        std::fprintf(stderr, "recover: %s\n", error.c_str());
        return 2;
    }

    const std::string project = XVclUtil::JoinPath(
        a.Folder, XVclUtil::ChangeFileExt(XVclUtil::FileNameOfPath(a.Rom), ".zkf"));
    if (!a.Force && XVclUtil::PathExists(project)) {
        std::fprintf(stderr, "recover: %s is there already; --force replaces it\n",
                     project.c_str());
        return 1;
    }
    AppCore::TScriptedPrompts prompts;
    AppCore::TEditorSession session(prompts);
    AppCore::RunStartup(session, a.ProgramDir, workDir);
    const AppCore::TRecoverResult r = AppCore::RecoverProjectFromImage(session, a.Rom, a.Folder);
    if (!r.Ok) {
        std::fprintf(stderr, "recover: %s\n", r.Error.c_str());
        return r.NotAnImage ? 2 : 1;
    }
    std::printf("project: %s\n", r.ProjectPath.c_str());
    std::printf("%zu pictures written\n", r.Written.size() - 1);
    PrintList("recovered:", r.Notes);
    PrintList("cannot come back:", r.Lost);
    if (a.NoCheck) return 0;
    const auto differences = AppCore::CheckRebuild(r.ProjectPath, workDir, a.Folder, *image, error);
    if (!error.empty()) {
        std::printf("check: %s\n", error.c_str());
        return ExitDiffers;
    }
    if (differences.empty()) {
        std::printf("check: the project builds the same image, byte for byte\n");
        return 0;
    }
    PrintList("check: the project builds another image:", differences);
    return ExitDiffers;
}

Cli::TVerbRegistrar reg("recover", "recover the project a ROM image was built from", RecoverMain);

} // namespace
