#include "app/ui/StartFolder.h"

#include "app/core/ModelSettings.h"

#include "XVclUtil/FileUtil.h"

#include <QFileInfo>
#include <QSettings>

namespace AppUi {

namespace {
const QString WorkingFolderKey = QStringLiteral("WorkingFolder");

QSettings EditorSettings() {
    return QSettings(QStringLiteral("zkf780a"), QStringLiteral("zkf780a-editor"));
}
} // namespace

bool HoldsToolSettings(const QString& folder) {
    return !folder.isEmpty() &&
           XVclUtil::FileExists(AppCore::ToolSettingsPath(folder.toStdString()));
}

QString StartFolderForProject(const QString& currentDir, const QString& projectPath) {
    if (projectPath.isEmpty() || HoldsToolSettings(currentDir)) return currentDir;
    const QString projectFolder = QFileInfo(projectPath).absolutePath();
    return HoldsToolSettings(projectFolder) ? projectFolder : currentDir;
}

QString LastWorkingFolder() {
    const QString folder = EditorSettings().value(WorkingFolderKey).toString();
    return HoldsToolSettings(folder) ? folder : QString();
}

void RememberWorkingFolder(const QString& folder) {
    if (!HoldsToolSettings(folder)) return;
    // Most starts are in the folder of the last one: the settings file is then left as it is,
    // not rewritten (and flushed to disk) at every start.
    QSettings settings = EditorSettings();
    const QString path = QFileInfo(folder).absoluteFilePath();
    if (settings.value(WorkingFolderKey).toString() != path)
        settings.setValue(WorkingFolderKey, path);
}

} // namespace AppUi
