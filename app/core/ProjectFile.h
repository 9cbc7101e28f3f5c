#pragma once
// The project file (".zkf"): Save writes version 2.2; Load reads versions 2.2 and 2.0.

#include "app/core/TEditorSession.h"

#include <string>

namespace XVclUtil {
class TXIniFile;
}

namespace AppCore {

inline constexpr const char* ProjectVersion22 = "ZKF780A_2.2";
inline constexpr const char* ProjectVersion20 = "ZKF780A_2.0";

// The Save button: date check, save dialog, overwrite question, then WriteProjectFile.
// session.SaveIncomplete is false exactly when the dialog was confirmed.
// dialog presets the Save As (name, caption); MAKE ROM starts it with the ROM file's name.
void SaveProject(TEditorSession& session, const TFileDialog& dialog = {});
// The Load button: load dialog, then LoadProjectFile.
void LoadProject(TEditorSession& session);

// Writes the document to path as version 2.2 (the steps after the overwrite question): an
// existing file keeps every section this file does not own. Returns false, with a message,
// when the file cannot be written.
bool WriteProjectFile(TEditorSession& session, const std::string& path);
// Loads path (the steps after the load dialog). Returns true when the document was replaced;
// false, with a message and the document unchanged, when the file is missing, not a project
// file, of an unknown version, or holds a value that is not an integer where one is needed.
bool LoadProjectFile(TEditorSession& session, const std::string& path);

// The date check of Save: blank, or the first six characters are digits.
bool IsValidOutDate(const std::string& outDate);
// The ROMFILENAME rule: trimmed, extension replaced by ".ROM"; "ZKF780A.ROM" when blank.
std::string RomFileNameForSave(const std::string& text);

} // namespace AppCore
