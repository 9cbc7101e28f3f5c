#pragma once
// Keeping the user's work: the window title with the modified mark, the menu's Save, and the
// Save / Discard / Cancel question before the document is replaced or the window closes.

#include "app/core/TEditorSession.h"

#include <string>

namespace AppCore {

inline constexpr const char* UntitledName = "Untitled";
inline constexpr const char* UnsavedChangesText =
    "The project has unsaved changes.\nSave them before going on?";
inline constexpr const char* CaptionClearAll = "Clear ALL";
inline constexpr const char* ClearAllQuestion =
    "Clear ALL empties all six code tables, shows the library titles in the title previews and "
    "forgets the project file name.\nClear everything?";

// "demo.zkf* — <caption>": the project file's name, "*" when modified, then the caption; the
// caption alone for a new, unchanged project.
std::string WindowTitle(const TEditorSession& session);

// The menu's Save: to the project's file without a dialog once it has one (after the date
// check), else the Save button's dialog flow. True when the document is saved.
bool SaveToProjectFile(TEditorSession& session);

// Asked before the document is replaced or the window closes: true to go on. Unsaved changes
// bring the Save / Discard / Cancel question; Save goes on only when the save succeeded.
bool ConfirmDiscardChanges(TEditorSession& session);

// Clear ALL and New: the unsaved-changes question, or, when all is saved, a Yes/No confirmation.
bool ConfirmClearAll(TEditorSession& session);

} // namespace AppCore
