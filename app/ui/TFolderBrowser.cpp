#include "app/ui/TFolderBrowser.h"

#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QListWidget>
#include <QSignalBlocker>
#include <QStorageInfo>
#include <QStyle>

namespace AppUi {

namespace {

constexpr int PathRole = Qt::UserRole;

// Mounted file systems that hold the user's files; kernel and runtime mounts are left out.
bool IsUserVolume(const QStorageInfo& volume) {
    if (!volume.isValid() || !volume.isReady()) return false;
    const QString root = volume.rootPath();
    if (root == QLatin1String("/")) return true;
    static const QStringList userRoots = {"/media/", "/mnt/", "/run/media/", "/home/"};
    for (const QString& prefix : userRoots)
        if (root.startsWith(prefix)) return true;
    return false;
}

} // namespace

TFolderBrowser::TFolderBrowser(QComboBox* driveBox, QListWidget* folderList, QListWidget* fileList,
                               const QString& mask, QObject* parent)
    : QObject(parent), DriveBox(driveBox), FolderList(folderList), FileList(fileList), Mask(mask) {
    for (QWidget* list : {static_cast<QWidget*>(DriveBox), static_cast<QWidget*>(FolderList),
                          static_cast<QWidget*>(FileList)})
        list->installEventFilter(this);
    connect(DriveBox, &QComboBox::activated, this, [this](int index) {
        const QString place = DriveBox->itemData(index, PathRole).toString();
        if (!SetDirectory(place)) SelectPlaceFor(Folder);
    });
    connect(FolderList, &QListWidget::itemActivated, this, &TFolderBrowser::OnFolderActivated);
    connect(FileList, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { emit FileClicked(item->text()); });
    Relink();
}

QStringList TFolderBrowser::Places() {
    QStringList places{QStringLiteral("/"), QDir::homePath()};
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes())
        if (IsUserVolume(volume) && !places.contains(volume.rootPath()))
            places.append(volume.rootPath());
    return places;
}

bool TFolderBrowser::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show) EnsureFilled();
    return QObject::eventFilter(watched, event);
}

void TFolderBrowser::EnsureFilled() {
    if (!DrivesFilled) {
        FillDriveBox();
        DrivesFilled = true;
    }
    if (!ListsStale) return;
    ListsStale = false;
    SelectPlaceFor(Folder);
    FillFolderList();
    FillFileList();
}

void TFolderBrowser::FillDriveBox() {
    const QSignalBlocker block(DriveBox);
    DriveBox->clear();
    const QIcon icon = DriveBox->style()->standardIcon(QStyle::SP_DriveHDIcon);
    for (const QString& place : Places()) DriveBox->addItem(icon, place, place);
}

void TFolderBrowser::SelectPlaceFor(const QString& folder) {
    // The place that holds the folder: the longest place path that is a prefix of it.
    int best = -1;
    int bestLength = -1;
    for (int i = 0; i < DriveBox->count(); ++i) {
        const QString place = DriveBox->itemData(i, PathRole).toString();
        const bool holds = folder == place || place == QLatin1String("/") ||
                           folder.startsWith(place + QLatin1Char('/'));
        if (holds && place.size() > bestLength) {
            best = i;
            bestLength = static_cast<int>(place.size());
        }
    }
    const QSignalBlocker block(DriveBox);
    DriveBox->setCurrentIndex(best);
}

bool TFolderBrowser::SetDirectory(const QString& folder) {
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    if (canonical.isEmpty() || !QFileInfo(canonical).isDir() || !QDir::setCurrent(canonical))
        return false;
    Folder = canonical;
    ListsStale = true;
    EnsureFilled();
    emit DirectoryChanged(Folder);
    return true;
}

void TFolderBrowser::Relink() {
    Folder = QDir::currentPath();
    ListsStale = true;
    if (FolderList->isVisible()) EnsureFilled();
}

void TFolderBrowser::FillFolderList() {
    // The path down to the folder, one level per line, then the folder's sub-folders one level
    // deeper, as a folder list shows them.
    FolderList->clear();
    const QIcon open = FolderList->style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = FolderList->style()->standardIcon(QStyle::SP_DirClosedIcon);
    QStringList chain;
    for (QDir dir(Folder);; dir.cdUp()) {
        chain.prepend(dir.absolutePath());
        if (dir.isRoot()) break;
    }
    int depth = 0;
    for (const QString& path : chain) {
        const QString name = depth == 0 ? path : QFileInfo(path).fileName();
        auto* item = new QListWidgetItem(open, QString(depth * 2, QLatin1Char(' ')) + name);
        item->setData(PathRole, path);
        FolderList->addItem(item);
        ++depth;
    }
    FolderList->setCurrentRow(FolderList->count() - 1);
    const QDir dir(Folder);
    const QStringList subFolders =
        dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString& sub : subFolders) {
        auto* item = new QListWidgetItem(closed, QString(depth * 2, QLatin1Char(' ')) + sub);
        item->setData(PathRole, dir.absoluteFilePath(sub));
        FolderList->addItem(item);
    }
}

void TFolderBrowser::FillFileList() {
    FileList->clear();
    const QDir dir(Folder);
    FileList->addItems(
        dir.entryList(QStringList{Mask}, QDir::Files, QDir::Name | QDir::IgnoreCase));
}

QStringList TFolderBrowser::FileNames() {
    EnsureFilled();
    QStringList names;
    for (int i = 0; i < FileList->count(); ++i) names.append(FileList->item(i)->text());
    return names;
}

void TFolderBrowser::OnFolderActivated(QListWidgetItem* item) {
    const QString path = item->data(PathRole).toString();
    if (path != Folder && !SetDirectory(path)) FillFolderList();
}

} // namespace AppUi
