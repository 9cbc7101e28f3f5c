// zkf780a-editor-screenshots: starts the editor window offscreen in a working folder, loads a
// project the way the Load button does, runs MAKE ROM on it (the project file itself is not
// rewritten), and saves a picture of each page, for the user guide.
//
// usage: zkf780a-editor-screenshots WORKDIR PROJECT.zkf OUTDIR [--program-dir DIR]

#include "app/core/TScriptedPrompts.h"
#include "app/ui/TMainWindow.h"
#include "app/ui/TMainWindowForm.h"
#include "app/ui/TQtMainLoop.h"

#include "XVclUtil/MessageBox.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QTabWidget>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

bool Grab(AppUi::TMainWindow& window, const QString& path) {
    QApplication::processEvents();
    const bool saved = window.grab().save(path, "PNG");
    std::printf("%s %s\n", saved ? "wrote" : "could not write", qPrintable(path));
    return saved;
}

} // namespace

int main(int argc, char* argv[]) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    AppUi::TQtMainLoop::Install();
    const QStringList args = QApplication::arguments();
    if (args.size() < 4) {
        std::fprintf(stderr, "usage: zkf780a-editor-screenshots WORKDIR PROJECT.zkf OUTDIR "
                             "[--program-dir DIR]\n");
        return 2;
    }
    const QString outDir = QDir(args[3]).absolutePath();
    const QString project = QFileInfo(args[2]).absoluteFilePath();
    std::string programDir;
    if (args.size() >= 6 && args[4] == QLatin1String("--program-dir"))
        programDir = QDir(args[5]).absolutePath().toStdString() + "/";
    if (!QDir::setCurrent(args[1])) {
        std::fprintf(stderr, "cannot enter %s\n", qPrintable(args[1]));
        return 1;
    }
    QDir().mkpath(outDir);

    AppUi::TMainWindow window(programDir);
    AppCore::TScriptedPrompts answers;
    window.Prompts().SetDialogAnswers(&answers);
    answers.OpenAnswers.push_back(project.toStdString());
    window.SpeedButton12Click(); // Load
    window.resize(window.sizeHint().expandedTo(QSize(1000, 760)));
    window.show();

    QTabWidget* pages = window.Form().PageControl1;
    // The preview of a two-character cell, as after a click on it.
    window.Form().StringGrid5->SelectCell(2, 2);
    bool ok = true;
    const char* names[] = {"editor-codetable.png", "editor-style.png", "editor-make.png"};
    for (int page = 0; page < pages->count(); ++page) {
        pages->setCurrentIndex(page);
        if (page == 2) {
            // MAKE ROM as confirmed with the project's own path, overwriting declined.
            answers.SaveAnswers.push_back(project.toStdString());
            answers.YesNoAnswers.push_back(false);
            window.SpeedButton10Click();
        }
        ok = Grab(window, outDir + "/" + names[page]) && ok;
    }
    // The Make page as the display shows its pictures, with the build's warnings.
    if (auto* view = window.findChild<QCheckBox*>(QStringLiteral("DisplayViewCheckBox")))
        view->setChecked(true);
    ok = Grab(window, outDir + "/editor-display-view.png") && ok;
    // The File and Edit menus, opened.
    QPixmap menus;
    for (QAction* action : window.menuBar()->actions()) {
        QMenu* menu = action->menu();
        if (!menu || (action->text() != "&File" && action->text() != "&Edit")) continue;
        menu->popup(window.mapToGlobal(QPoint(0, 0)));
        QApplication::processEvents();
        const QPixmap shot = menu->grab();
        menu->hide();
        QPixmap joined(menus.width() + shot.width() + 8, std::max(menus.height(), shot.height()));
        joined.fill(Qt::white);
        QPainter painter(&joined);
        painter.drawPixmap(0, 0, menus);
        painter.drawPixmap(menus.isNull() ? 0 : menus.width() + 8, 0, shot);
        painter.end();
        menus = joined;
    }
    const QString menuPath = outDir + "/editor-menus.png";
    const bool menusSaved = menus.save(menuPath, "PNG");
    std::printf("%s %s\n", menusSaved ? "wrote" : "could not write", qPrintable(menuPath));
    return ok && menusSaved ? 0 : 1;
}
