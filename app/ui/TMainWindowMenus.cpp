// The menu bar: File, Edit, Build, Device and Help. The commands are the page buttons' own,
// with the usual shortcuts; File's Save writes to the project's file without a dialog.

#include "ZkfVersion.h"
#include "app/ui/TMainWindow.h"

#include "app/core/DocumentPictures.h"
#include "app/core/ProjectFile.h"
#include "app/core/ProjectGuard.h"
#include "app/core/qt/DocumentHistory.h"
#include "app/ui/StartFolder.h"
#include "app/ui/TFolderBrowser.h"
#include "app/ui/TLazyPage.h"
#include "app/ui/TMainWindowForm.h"
#include "app/ui/TUserGuideWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QMenuBar>
#include <QMessageBox>
#include <QSettings>
#include <QUndoStack>

#include <functional>

namespace AppUi {

namespace {

constexpr int RecentProjectCount = 8;
const QString RecentKey = QStringLiteral("RecentProjects");

QAction* AddAction(QMenu* menu, const char* name, const QString& text,
                   const QList<QKeySequence>& keys = {}) {
    QAction* action = menu->addAction(text);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcuts(keys);
    return action;
}

// The text with an access key: "&" before the first occurrence of key (either case).
QString WithAccessKey(QString text, QChar key) {
    const int at = text.indexOf(key, 0, Qt::CaseInsensitive);
    if (at >= 0) text.insert(at, QLatin1Char('&'));
    return text;
}

// A menu entry doing what a button of the page does, enabled and named as the button is, with
// key as its access key. button() makes the page if it was not made yet; the entry takes the
// button's name when the page is made and whenever the menu opens.
QAction* AddButtonAction(QMenu* menu, const char* name, TLazyPage* page,
                         const std::function<QPushButton*()>& button, QChar key) {
    QAction* action = AddAction(menu, name, QString());
    const auto show = [action, button, key] {
        action->setText(WithAccessKey(button()->text(), key));
        action->setEnabled(button()->isEnabled());
    };
    QObject::connect(action, &QAction::triggered, menu, [button] { button()->click(); });
    QObject::connect(menu, &QMenu::aboutToShow, action, show);
    QObject::connect(page, &TLazyPage::Built, action, show);
    return action;
}

QSettings RecentSettings() {
    return QSettings(QStringLiteral("zkf780a"), QStringLiteral("zkf780a-editor"));
}

} // namespace

void TMainWindow::SetupMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    connect(
        AddAction(file, "actionNew", QStringLiteral("&New"), {QKeySequence(Qt::CTRL | Qt::Key_N)}),
        &QAction::triggered, this, &TMainWindow::FileNew);
    connect(AddAction(file, "actionOpen", QStringLiteral("&Open\u2026"),
                      {QKeySequence(Qt::CTRL | Qt::Key_O)}),
            &QAction::triggered, this, &TMainWindow::SpeedButton12Click);
    connect(AddAction(file, "actionSave", QStringLiteral("&Save"),
                      {QKeySequence(Qt::CTRL | Qt::Key_S)}),
            &QAction::triggered, this, &TMainWindow::FileSave);
    connect(AddAction(file, "actionSaveAs", QStringLiteral("Save &As\u2026"),
                      {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)}),
            &QAction::triggered, this, &TMainWindow::SpeedButton13Click);
    QMenu* recent = file->addMenu(QStringLiteral("&Recent projects"));
    recent->setObjectName(QStringLiteral("menuRecent"));
    connect(recent, &QMenu::aboutToShow, this, [this, recent] {
        recent->clear();
        for (const QString& path : RecentSettings().value(RecentKey).toStringList())
            connect(recent->addAction(path), &QAction::triggered, this,
                    [this, path] { OpenProjectFile(path); });
        recent->setEnabled(true);
    });
    file->addSeparator();
    connect(AddAction(file, "actionImportRom", QStringLiteral("&Import ROM image\u2026")),
            &QAction::triggered, this, &TMainWindow::FileImportRom);
    connect(AddAction(file, "actionCompareRom", QStringLiteral("&Compare with ROM image\u2026")),
            &QAction::triggered, this, &TMainWindow::FileCompareRom);
    file->addSeparator();
    connect(AddAction(file, "actionQuit", QStringLiteral("&Quit"),
                      {QKeySequence(Qt::CTRL | Qt::Key_Q)}),
            &QAction::triggered, this, &QWidget::close);

    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    QUndoStack& stack = UndoHistory->Stack();
    QAction* undo = stack.createUndoAction(this, QStringLiteral("&Undo"));
    undo->setObjectName(QStringLiteral("actionUndo"));
    undo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Z)});
    QAction* redo = stack.createRedoAction(this, QStringLiteral("&Redo"));
    redo->setObjectName(QStringLiteral("actionRedo"));
    redo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    edit->addActions({undo, redo});
    edit->addSeparator();
    connect(AddAction(edit, "actionClearAll",
                      WithAccessKey(UiForm->SpeedButton11->text(), QLatin1Char('C'))),
            &QAction::triggered, this, &TMainWindow::SpeedButton11Click);

    // The display view switch of the status bar, also here where a small screen still shows it.
    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    QAction* displayView = AddAction(view, "actionDisplayView",
                                     WithAccessKey(DisplayViewSwitch->text(), QLatin1Char('S')));
    displayView->setCheckable(true);
    connect(displayView, &QAction::toggled, DisplayViewSwitch, &QCheckBox::setChecked);
    connect(DisplayViewSwitch, &QCheckBox::toggled, displayView, &QAction::setChecked);

    TLazyPage* makePage = UiForm->TabSheet3;
    const auto makePageButton = [this](QPushButton* Ui_TMakePage::*button) {
        return [this, button] { return MakePageForm().*button; };
    };
    QMenu* build = menuBar()->addMenu(QStringLiteral("&Build"));
    AddButtonAction(build, "actionMakeRom", makePage, makePageButton(&Ui_TMakePage::SpeedButton10),
                    QLatin1Char('M'))
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_B));

    QMenu* device = menuBar()->addMenu(QStringLiteral("&Device"));
    AddButtonAction(device, "actionConnect", makePage, makePageButton(&Ui_TMakePage::SpeedButton5),
                    QLatin1Char('C'));
    AddButtonAction(device, "actionDateTime", makePage, makePageButton(&Ui_TMakePage::SpeedButton6),
                    QLatin1Char('D'));
    AddButtonAction(device, "actionUpload", makePage, makePageButton(&Ui_TMakePage::SpeedButton9),
                    QLatin1Char('U'));

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    connect(AddAction(help, "actionUserGuide", QStringLiteral("User &guide"),
                      {QKeySequence(Qt::Key_F1)}),
            &QAction::triggered, this, &TMainWindow::ShowUserGuide);
    connect(AddAction(help, "actionAbout", QStringLiteral("&About")), &QAction::triggered, this,
            [this] {
                QMessageBox box(
                    QMessageBox::NoIcon, QStringLiteral("About"),
                    QStringLiteral("%1\n%2\nzkf780a-editor %3, built %4\nQt %5")
                        .arg(QString::fromStdString(AppCore::DesignCaption),
                             QStringLiteral("Edits ZKF780A display projects, makes their ROM "
                                            "image and uploads it to a VRC-780A controller."),
                             QStringLiteral(ZKF_VERSION), QStringLiteral(__DATE__).simplified(),
                             QString::fromLatin1(qVersion())),
                    QMessageBox::Ok, this);
                box.setObjectName(QStringLiteral("AboutBox"));
                box.setIconPixmap(windowIcon().pixmap(64, 64));
                box.exec();
            });
}

void TMainWindow::ShowUserGuide() {
    if (!GuideWindow) GuideWindow = new TUserGuideWindow(this);
    const QString guide = TUserGuideWindow::FindGuide();
    if (guide.isEmpty() || !GuideWindow->ShowGuide(guide)) {
        QMessageBox::information(this, QStringLiteral("User guide"),
                                 QStringLiteral("The user guide (user-guide.md) was not found "
                                                "beside the program, in share/doc/zkf780a or in "
                                                "the docs folder of the source tree."));
        return;
    }
    GuideWindow->show();
    GuideWindow->raise();
    GuideWindow->activateWindow();
}

void TMainWindow::FileNew() {
    SpeedButton11Click();
}

void TMainWindow::FileSave() {
    Guarded([this] { AppCore::SaveToProjectFile(EditorSession); });
    ShowDocument();
    AddRecentProject();
}

bool TMainWindow::OpenProjectFile(const QString& path) {
    if (!AppCore::ConfirmDiscardChanges(EditorSession)) return false;
    return LoadProjectPath(path);
}

bool TMainWindow::LoadProjectPath(const QString& path) {
    StartInProjectFolder(path);
    bool loaded = false;
    Guarded([&] { loaded = AppCore::LoadProjectFile(EditorSession, path.toStdString()); });
    // Boxes the file left alone (title 2, a picture that could not be read) show what MAKE ROM
    // will build too.
    if (loaded) Guarded([this] { AppCore::ShowDocumentPictures(EditorSession); });
    ShowDocument();
    AddRecentProject();
    return loaded;
}

void TMainWindow::StartInProjectFolder(const QString& path) {
    const QString current = QString::fromStdString(EditorSession.Context.StartDir);
    if (HoldsToolSettings(current) || !QFileInfo::exists(path)) return;
    const QString folder = StartFolderForProject(current, path);
    if (folder == current || !FolderBrowser().SetDirectory(folder)) return;
    // The document was saved or given up before; a fresh start reads the folder's settings
    // file, Model list and picture library.
    FormDestroy();
    const AppCore::TEditorSession fresh(WindowPrompts);
    EditorSession.Document = fresh.Document;
    EditorSession.ProjectPath.clear();
    EditorSession.Settings = fresh.Settings;
    EditorSession.Context = fresh.Context;
    EditorSession.Caption = fresh.Caption;
    EditorSession.StatusPanels = fresh.StatusPanels;
    EditorSession.SaveIncomplete = true;
    EditorSession.History().Reset();
    FormCreate();
}

void TMainWindow::AddRecentProject() {
    if (EditorSession.ProjectPath.empty()) return;
    const QString path =
        QFileInfo(QString::fromStdString(EditorSession.ProjectPath)).absoluteFilePath();
    QSettings settings = RecentSettings();
    QStringList list = settings.value(RecentKey).toStringList();
    list.removeAll(path);
    list.prepend(path);
    settings.setValue(RecentKey, QStringList(list.mid(0, RecentProjectCount)));
}

} // namespace AppUi
