#pragma once
// The working folder the editor starts in when it opens a project at start (an argument, a file
// dropped on the program, a double-click): the settings file and the picture library lie in
// the working folder, so a project opened from its own working folder keeps its model there.

#include <QString>

namespace AppUi {

// True when folder holds the settings file "KRVZKF780AS1.INI".
bool HoldsToolSettings(const QString& folder);

// The folder start-up should run in: the project's folder when currentDir holds no settings
// file and the project's folder does; currentDir otherwise.
QString StartFolderForProject(const QString& currentDir, const QString& projectPath);

// The working folder of the last start-up that found the settings file, while it still holds
// one; empty otherwise. The desktop entry's start without a project goes there.
QString LastWorkingFolder();
// Remembers folder as the last working folder when it holds the settings file.
void RememberWorkingFolder(const QString& folder);

} // namespace AppUi
