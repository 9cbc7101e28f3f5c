#pragma once
// The tool settings file: model list, per-model picture settings, and the model change.

#include "app/core/TEditorSession.h"

#include <string>

namespace AppCore {

// Path of the settings file in startDir (found without regard to case when the exact name is
// missing).
std::string ToolSettingsPath(const std::string& startDir);

// Reads the settings file into session.Settings and selects the first model. Shows
// "KRVZKF780AS1.INI file not found!!\n\n" when it is missing. Raises XVclUtil::EConvertError
// for an integer key that is not an integer.
void LoadToolSettings(TEditorSession& session);

// Reads the model's section (OUTCPUBIN; CFI and IFI only when OUTCPUBIN is 1; BANK, OFFSET,
// SETOFFSET) with its defaults and sets CurrentModel. A missing settings file gives the defaults
// and is not created. Raises XVclUtil::EConvertError for a non-integer value.
void ReadModelSettings(ToolSettings& settings, const std::string& startDir,
                       const std::string& model);

// The Model list's change: selects entry modelText (trimmed), reads its settings, sets status
// panel 1 and relabels the bit column. Text that matches no entry keeps the current model and
// returns false. A conversion error is shown through the message sink and also gives false.
bool ChangeModel(TEditorSession& session, const std::string& modelText);

// Same as ChangeModel, selecting by item index.
bool ChangeModelIndex(TEditorSession& session, int index);

// Takes settings already read for their CurrentModel: selects that model (CODEVER), sets status
// panel 1 and relabels the bit column.
void ApplyModelSettings(TEditorSession& session, ToolSettings settings);

} // namespace AppCore
