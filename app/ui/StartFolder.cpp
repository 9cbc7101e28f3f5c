#include "app/ui/StartFolder.h"

#include "app/core/ModelSettings.h"

#include "XVclUtil/FileUtil.h"

#include <QFileInfo>

namespace AppUi {

bool HoldsToolSettings(const QString& folder) {
    return !folder.isEmpty() &&
           XVclUtil::FileExists(AppCore::ToolSettingsPath(folder.toStdString()));
}

QString StartFolderForProject(const QString& currentDir, const QString& projectPath) {
    if (projectPath.isEmpty() || HoldsToolSettings(currentDir)) return currentDir;
    const QString projectFolder = QFileInfo(projectPath).absolutePath();
    return HoldsToolSettings(projectFolder) ? projectFolder : currentDir;
}

} // namespace AppUi
