#include "app/ui/TWindowPrompts.h"

#include "app/core/qt/PictureImage.h"
#include "app/ui/TFolderBrowser.h"
#include "app/ui/TPictureBoxes.h"
#include "rom/MonoBitmap.h"

#include <QAbstractButton>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMainWindow>
#include <QMessageBox>
#include <QScrollBar>
#include <QStatusBar>
#include <QTextCursor>
#include <QTextEdit>

#include <utility>

namespace AppUi {

namespace {
constexpr const char* WarningPrefix = "[Warning]";
constexpr int StatusWarningMs = 15000;
} // namespace

QString QtNameFilters(const std::string& vclFilter) {
    // Pairs of description and pattern; the description already names its patterns.
    const QStringList parts = QString::fromStdString(vclFilter).split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString pattern = QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' '));
        filters.append(parts[i].contains(QLatin1Char('('))
                           ? parts[i]
                           : parts[i] + QStringLiteral(" (") + pattern + QLatin1Char(')'));
    }
    return filters.join(QStringLiteral(";;"));
}

void TWindowPrompts::Attach(QWidget* dialogParent, TPictureBoxes* boxes, QTextEdit* messageBox,
                            TFolderBrowser* browser) {
    DialogParent = dialogParent;
    Boxes = boxes;
    AttachMakePage(messageBox, browser);
}

void TWindowPrompts::AttachMakePage(QTextEdit* messageBox, TFolderBrowser* browser) {
    MessageBox = messageBox;
    Browser = browser;
    if (MessageBox)
        for (const QString& line : std::exchange(KeptLines, {})) WriteLine(line);
}

std::optional<std::string> TWindowPrompts::RunFileDialog(const AppCore::TFileDialog& dialog,
                                                         bool save) {
    const QString caption = !dialog.Caption.empty() ? QString::fromStdString(dialog.Caption)
                            : save                  ? QStringLiteral("Save As")
                                                    : QStringLiteral("Open");
    // A preset with a folder (the current picture, the ROM image) starts in that folder.
    const QFileInfo preset(QString::fromStdString(dialog.FileName));
    const QString folder =
        !dialog.FileName.empty() && preset.fileName() != preset.filePath() && preset.dir().exists()
            ? preset.absolutePath()
            : QDir::currentPath();
    QFileDialog box(DialogParent, caption, folder, QtNameFilters(dialog.Filter));
    box.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // The overwrite question is the editor's own ("File exist!! Overlay?").
    box.setOption(QFileDialog::DontConfirmOverwrite, true);
    box.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!dialog.DefaultExt.empty()) box.setDefaultSuffix(QString::fromStdString(dialog.DefaultExt));
    if (!dialog.FileName.empty()) box.selectFile(preset.fileName());
    if (box.exec() != QDialog::Accepted || box.selectedFiles().isEmpty()) return std::nullopt;
    // Qt names files with "/" on every platform; paths are shown and saved in the system's style.
    return QDir::toNativeSeparators(box.selectedFiles().front()).toStdString();
}

std::optional<std::string> TWindowPrompts::SaveFileDialog(const AppCore::TFileDialog& dialog) {
    if (Answers) return Answers->SaveFileDialog(dialog);
    return RunFileDialog(dialog, true);
}

std::optional<std::string> TWindowPrompts::OpenFileDialog(const AppCore::TFileDialog& dialog) {
    if (Answers) return Answers->OpenFileDialog(dialog);
    return RunFileDialog(dialog, false);
}

namespace {

// Every answer of a question has an underlined access key (Alt+letter); Cancel is Escape.
QMessageBox::StandardButton Ask(QWidget* parent, QMessageBox::Icon icon, const QString& caption,
                                const QString& text, QMessageBox::StandardButtons buttons,
                                QMessageBox::StandardButton preset) {
    QMessageBox box(icon, caption, text, buttons, parent);
    box.setObjectName(QStringLiteral("QuestionBox"));
    box.setDefaultButton(preset);
    const std::pair<QMessageBox::StandardButton, const char*> keys[] = {
        {QMessageBox::Yes, "&Yes"},
        {QMessageBox::No, "&No"},
        {QMessageBox::Save, "&Save"},
        {QMessageBox::Discard, "&Discard"},
        {QMessageBox::Cancel, "Cancel"}};
    for (const auto& [which, label] : keys)
        if (QAbstractButton* button = box.button(which)) button->setText(QString::fromUtf8(label));
    box.exec();
    return box.standardButton(box.clickedButton());
}

} // namespace

bool TWindowPrompts::AskYesNo(const std::string& caption, const std::string& text) {
    if (Answers) return Answers->AskYesNo(caption, text);
    return Ask(DialogParent, QMessageBox::Question, QString::fromStdString(caption),
               QString::fromStdString(text), QMessageBox::Yes | QMessageBox::No,
               QMessageBox::Yes) == QMessageBox::Yes;
}

AppCore::TSaveChoice TWindowPrompts::AskSaveChanges(const std::string& text) {
    if (Answers) return Answers->AskSaveChanges(text);
    switch (Ask(DialogParent, QMessageBox::Warning, QStringLiteral("Unsaved changes"),
                QString::fromStdString(text),
                QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel,
                QMessageBox::Save)) {
    case QMessageBox::Save:
        return AppCore::TSaveChoice::Save;
    case QMessageBox::Discard:
        return AppCore::TSaveChoice::Discard;
    default:
        return AppCore::TSaveChoice::Cancel;
    }
}

void TWindowPrompts::ClearPicture(int imageNumber) {
    if (Boxes) Boxes->ClearPicture(imageNumber);
}

// Pictures are read by the BMP reader MAKE ROM encodes with, so a picture the window accepts is
// one the ROM can hold.
bool TWindowPrompts::LoadPicture(int imageNumber, const std::string& fileName) {
    const bool box = Boxes && Boxes->Exists(imageNumber);
    Rom::TPicture picture;
    try {
        if (box) picture = Rom::LoadPicture(fileName);
    } catch (const std::exception&) {
    }
    const bool loaded = box && !picture.IsNull();
    if (loaded) Boxes->SetPicture(imageNumber, AppCore::ToCompactQImage(picture));
    if (OnPictureLoaded) OnPictureLoaded(imageNumber, loaded);
    return loaded;
}

bool TWindowPrompts::ShowDecodedPicture(int imageNumber, const Rom::TPicture& picture,
                                        const std::string& /*source*/) {
    const bool shown = Boxes && Boxes->Exists(imageNumber) && !picture.IsNull();
    if (shown) Boxes->SetPicture(imageNumber, AppCore::ToCompactQImage(picture));
    if (OnPictureLoaded) OnPictureLoaded(imageNumber, shown);
    return shown;
}

bool TWindowPrompts::ShowSamePicture(int imageNumber, int loadedInto, const std::string& fileName) {
    const QImage loaded =
        Boxes && Boxes->Exists(imageNumber) ? Boxes->Picture(loadedInto) : QImage();
    if (loaded.isNull()) return LoadPicture(imageNumber, fileName);
    Boxes->SetPicture(imageNumber, loaded); // QImage shares its pixels until one box changes them
    if (OnPictureLoaded) OnPictureLoaded(imageNumber, true);
    return true;
}

void TWindowPrompts::SetBusy(bool busy) {
    if (busy)
        BusyCursors.push_back(std::make_unique<TBusyCursor>());
    else if (!BusyCursors.empty())
        BusyCursors.pop_back();
}

void TWindowPrompts::ClearMessageLines() {
    KeptLines.clear();
    if (MessageBox) MessageBox->clear();
}

void TWindowPrompts::AppendMessageLine(const std::string& line) {
    const QString text = QString::fromStdString(line);
    if (MessageBox)
        WriteLine(text);
    else
        KeptLines.append(text); // until the Make page is made
    // A warning raised where the message box is out of sight (the Style page) also shows in
    // the status bar, where the user acts.
    auto* window = qobject_cast<QMainWindow*>(DialogParent);
    if (window && (!MessageBox || !MessageBox->isVisible()) && line.rfind(WarningPrefix, 0) == 0)
        window->statusBar()->showMessage(text, StatusWarningMs);
}

void TWindowPrompts::WriteLine(const QString& line) {
    // Plain text: the lines hold "<<<" and ">>>", which must not be read as markup.
    QTextCursor cursor(MessageBox->document());
    cursor.movePosition(QTextCursor::End);
    if (!MessageBox->document()->isEmpty()) cursor.insertBlock();
    cursor.insertText(line);
    MessageBox->verticalScrollBar()->setValue(MessageBox->verticalScrollBar()->maximum());
}

void TWindowPrompts::RelinkFileBrowser() {
    if (Browser) Browser->Relink();
}

} // namespace AppUi
