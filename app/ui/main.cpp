// zkf780a-editor: the ZKF780A display editor and VRC-780A upload tool.
// zkf780a-editor [project.zkf] opens that project; --help and --version answer and quit.

#include "ZkfVersion.h"
#include "app/ui/MessageBoxSink.h"
#include "app/ui/StartFolder.h"
#include "app/ui/TMainWindow.h"
#include "app/ui/TQtMainLoop.h"

#include "XVclUtil/MessageBox.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

#include <exception>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zkf780a-editor"));
    QApplication::setApplicationVersion(QStringLiteral(ZKF_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("ZKF780A lift display editor and VRC-780A ROM upload tool."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("project"),
                                 QStringLiteral("Project file (.zkf) to open."),
                                 QStringLiteral("[project.zkf]"));
    const QCommandLineOption lastFolder(
        QStringLiteral("last-folder"),
        QStringLiteral("Without a project, and in a folder without KRVZKF780AS1.INI, start in "
                       "the working folder used last (the desktop entry's start)."));
    parser.addOption(lastFolder);
    parser.process(app);

    const QStringList arguments = parser.positionalArguments();
    const QString project =
        arguments.isEmpty() ? QString() : QFileInfo(arguments.front()).absoluteFilePath();
    // A project opened from elsewhere (a double-click starts in the home folder) brings its
    // working folder with it, when that folder holds the settings file and this one does not.
    if (!project.isEmpty())
        QDir::setCurrent(AppUi::StartFolderForProject(QDir::currentPath(), project));
    else if (parser.isSet(lastFolder) && !AppUi::HoldsToolSettings(QDir::currentPath()))
        if (const QString last = AppUi::LastWorkingFolder(); !last.isEmpty())
            QDir::setCurrent(last);

    AppUi::InstallMessageBoxSink();
    AppUi::TQtMainLoop::Install();
    try {
        AppUi::TMainWindow window;
        window.show();
        if (!project.isEmpty()) window.OpenProjectFile(project);
        return app.exec();
    } catch (const std::exception& e) {
        XVclUtil::ShowErrMsgBox_Printf("Error", "%s", e.what());
        return 1;
    }
}
