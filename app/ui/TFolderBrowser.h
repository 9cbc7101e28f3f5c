#pragma once
// The Make page's drive box, folder list and file list, linked: the folder list follows the
// drive box, the file list shows the folder list's folder through its mask. On Linux the drive
// box offers places (the root folder, the home folder, mounted volumes). Changing the folder
// changes the process's working directory, where MAKE ROM writes its files. The lists are
// filled when they are first shown, so a window that opens on another page starts faster.

#include <QObject>
#include <QString>
#include <QStringList>

class QComboBox;
class QListWidget;
class QListWidgetItem;

namespace AppUi {

class TFolderBrowser : public QObject {
    Q_OBJECT

public:
    TFolderBrowser(QComboBox* driveBox, QListWidget* folderList, QListWidget* fileList,
                   const QString& mask, QObject* parent = nullptr);

    QString Directory() const { return Folder; }
    // Shows the folder (and makes it the working directory); false when it cannot be entered.
    bool SetDirectory(const QString& folder);
    // Reads the working directory and the folder's content again.
    void Relink();

    // File names shown in the file list, in order.
    QStringList FileNames();
    // Places of the drive box.
    static QStringList Places();

signals:
    // A file of the file list was clicked: its name without the folder.
    void FileClicked(const QString& fileName);
    // The folder changed.
    void DirectoryChanged(const QString& folder);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Fills the three lists for Folder unless they already show it.
    void EnsureFilled();
    void FillDriveBox();
    void SelectPlaceFor(const QString& folder);
    void FillFolderList();
    void FillFileList();
    void OnFolderActivated(QListWidgetItem* item);

    QComboBox* DriveBox;
    QListWidget* FolderList;
    QListWidget* FileList;
    QString Mask;
    QString Folder;
    bool DrivesFilled = false;
    bool ListsStale = true;
};

} // namespace AppUi
