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
    "Clear ALL empties all six code tables, puts the library titles in place of the customer "
    "titles V and H, and forgets the project's name and file link.\nClear everything?";
// The same question for a project with unsaved changes, offering to save them first.
inline constexpr const char* ClearAllUnsavedQuestion =
    "The project has unsaved changes.\nClear ALL empties all six code tables, puts the library "
    "titles in place of the customer titles V and H, and forgets the project's name and file "
    "link.\nSave the changes before clearing?";

// "demo.zkf* — <caption>": the project file's name, "*" when modified, then the caption; the
// caption alone for a new, unchanged project.
std::string WindowTitle(const TEditorSession& session);

// The menu's Save: to the project's file without a dialog once it has one (after the date
// check), else the Save button's dialog flow. True when the document is saved.
bool SaveToProjectFile(TEditorSession& session);

// Asked before the document is replaced or the window closes: true to go on. Unsaved changes
// bring the Save / Discard / Cancel question; Save goes on only when the save succeeded.
bool ConfirmDiscardChanges(TEditorSession& session, const char* question = UnsavedChangesText);

// Clear ALL and New: the unsaved-changes question, or, when all is saved, a Yes/No confirmation.
bool ConfirmClearAll(TEditorSession& session);

} // namespace AppCore
