#pragma once
// All editor state the main window owns for the whole run: the project document, the tool
// settings, the picture library, the start-up directories, and the texts the window shows
// (caption, status panels, the bit column of the code grid).

#include "app/core/ProjectDocument.h"
#include "app/core/TDocumentChanges.h"
#include "app/core/TPictureLibrary.h"
#include "app/core/TStartupContext.h"
#include "app/core/TUserPrompts.h"
#include "app/core/ToolSettings.h"

#include <array>
#include <memory>
#include <string>

namespace AppCore {

inline constexpr const char* DesignCaption =
    "VRC-780A & VRC-780AS1 Lift LCD Editor (R6-Build100429.V2)";
constexpr int BitLabelRowCount = 64; // grid rows 1..64 carry a bit pattern

class TEditorSession {
public:
    explicit TEditorSession(TUserPrompts& prompts) : Prompts(prompts) {}

    TUserPrompts& Prompts;
    ProjectDocument Document;
    // The project file the document was last saved to or loaded from; empty for none.
    std::string ProjectPath;
    ToolSettings Settings;
    TPictureLibrary Library;
    TStartupContext Context;

    std::string Caption = DesignCaption;
    // StatusBar1 panels 0, 1, 2.
    std::array<std::string, 3> StatusPanels = {
        "Project file:", "Version:", "Program start error!!"};
    // Grid column 0, rows 1..64 (index row - 1).
    std::array<std::string, BitLabelRowCount> BitColumnLabels{};
    // 1 until a Save dialog is confirmed; MAKE ROM reads it right after Save.
    bool SaveIncomplete = true;
    // How to get a ready working folder, told after "... file not found!!" at start-up.
    std::string ReadyFolderHint =
        "For a ready working folder run \"zkf780a sample-data DIR\" and start there.";

    // The text of a start-up "... file not found!!" message: the system's text, the folder that
    // was searched and ReadyFolderHint.
    std::string StartupNotFoundText(const char* systemText) const;

    // Item index of CODEVER in the Model list (first entry whose trimmed text equals it), or -1.
    int SelectedModelIndex() const;

    // Records changes to the document and knows whether it differs from its file: the mark of
    // unsaved changes until the window installs its undo history.
    TDocumentChanges& History() { return *Changes; }
    const TDocumentChanges& History() const { return *Changes; }
    void UseHistory(std::unique_ptr<TDocumentChanges> history) { Changes = std::move(history); }

private:
    std::unique_ptr<TDocumentChanges> Changes = std::make_unique<TChangeMark>(Document);
};

} // namespace AppCore
