// File > Import ROM image... and Compare with ROM image...: the project a ROM image was built
// from, recovered into a folder the user chooses and opened; and the image MAKE ROM would build
// now, compared with a ROM image file. Both report in the Make page's message box.

#include "app/ui/TMainWindow.h"

#include "XVclUtil/FileUtil.h"
#include "XVclUtil/MessageBox.h"
#include "app/core/CompareImage.h"
#include "app/core/ProjectFile.h"
#include "app/core/ProjectGuard.h"
#include "app/core/RecoverProject.h"

namespace AppUi {

namespace {

constexpr const char* RomImageFilter = "ROM image (*.ROM)|*.ROM;*.rom";
constexpr const char* ImportCaption = "Import ROM image";
constexpr const char* CompareCaption = "Compare with ROM image";

} // namespace

void TMainWindow::FileImportRom() {
    AppCore::TEditorSession& s = EditorSession;
    if (!AppCore::ConfirmDiscardChanges(s)) return;
    const auto rom = s.Prompts.OpenFileDialog(AppCore::TFileDialog{"", RomImageFilter, "", ""});
    if (!rom) return;
    const std::string name = XVclUtil::ChangeFileExt(XVclUtil::FileNameOfPath(*rom), ".zkf");
    const auto project =
        s.Prompts.SaveFileDialog(AppCore::TFileDialog{name, AppCore::ProjectFileFilter, "zkf", ""});
    if (!project) return;
    const std::string folder =
        project->substr(0, project->size() - XVclUtil::FileNameOfPath(*project).size());
    // A recovery that fails half way leaves the project as it was.
    const AppCore::ProjectDocument before = s.Document;
    const AppCore::ToolSettings settingsBefore = s.Settings;
    AppCore::TRecoverResult r;
    Guarded([&] {
        r = AppCore::RecoverProjectFromImage(s, *rom, folder.empty() ? "." : folder, *project);
    });
    if (!r.Ok) {
        s.Document = before;
        s.Settings = settingsBefore;
        ShowDocument();
        XVclUtil::ShowErrMsgBox_Printf(ImportCaption, "%s!!\n", r.Error.c_str());
        return;
    }
    // The floor and default pictures lie in the folder's own DefaultImage tree: it serves as
    // the program folder of this project, so MAKE ROM builds the imported image again.
    const std::string& path = r.ProjectPath;
    s.Context.SetProgramDir(path.substr(0, path.size() - XVclUtil::FileNameOfPath(path).size()));
    Guarded([&] { AppCore::LoadProjectFile(s, r.ProjectPath); });
    ShowDocument();
    AddRecentProject();
    s.Prompts.AppendMessageLine("Imported " + *rom + " as " + r.ProjectPath);
    for (const std::string& line : r.Notes) s.Prompts.AppendMessageLine("  " + line);
    for (const std::string& line : r.Lost) s.Prompts.AppendMessageLine("[Warning] " + line);
}

void TMainWindow::FileCompareRom() {
    AppCore::TEditorSession& s = EditorSession;
    const auto rom = s.Prompts.OpenFileDialog(AppCore::TFileDialog{"", RomImageFilter, "", ""});
    if (!rom) return;
    AppCore::TImageComparison c;
    {
        AppCore::TBusyGuard busy(s.Prompts);
        c = AppCore::CompareWithImage(s, *rom);
    }
    if (!c.Error.empty()) {
        XVclUtil::ShowErrMsgBox_Printf(CompareCaption, "%s!!\n", c.Error.c_str());
        return;
    }
    s.Prompts.AppendMessageLine("Compare: MAKE ROM now (A) with " + *rom + " (B)");
    if (c.Lines.empty()) s.Prompts.AppendMessageLine("  the images are the same");
    for (const std::string& line : c.Lines) s.Prompts.AppendMessageLine("  " + line);
}

} // namespace AppUi
