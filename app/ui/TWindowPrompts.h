#pragma once
// The editor logic's requests to the user, served by the main window: file dialogs and the
// Yes/No question as Qt dialogs, pictures into the window's picture boxes, the busy cursor, the
// Make page's message box and file browser. Tests may answer the dialogs from a script.

#include "app/core/TUserPrompts.h"
#include "app/ui/TBusyCursor.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class QTextEdit;
class QWidget;

namespace AppUi {

class TFolderBrowser;
class TPictureBoxes;

// "description (*.ext)|*.ext|..." as a Qt name filter list.
QString QtNameFilters(const std::string& vclFilter);

class TWindowPrompts : public AppCore::TUserPrompts {
public:
    // Parts of the window; set once the form is built.
    void Attach(QWidget* dialogParent, TPictureBoxes* boxes, QTextEdit* messageBox,
                TFolderBrowser* browser);
    // The Make page's message box and file browser, when the page is made later: the box takes
    // the lines written so far.
    void AttachMakePage(QTextEdit* messageBox, TFolderBrowser* browser);
    // Answers the file dialogs and the question from another prompt object (a script) instead
    // of Qt dialogs; null restores the dialogs.
    void SetDialogAnswers(AppCore::TUserPrompts* answers) { Answers = answers; }

    std::optional<std::string> SaveFileDialog(const AppCore::TFileDialog& dialog) override;
    std::optional<std::string> OpenFileDialog(const AppCore::TFileDialog& dialog) override;
    bool AskYesNo(const std::string& caption, const std::string& text) override;
    AppCore::TSaveChoice AskSaveChanges(const std::string& text) override;
    bool LoadPicture(int imageNumber, const std::string& fileName) override;
    bool ShowDecodedPicture(int imageNumber, const Rom::TPicture& picture,
                            const std::string& source) override;
    // The picture of box loadedInto, shared with box imageNumber (no second read or decode).
    bool ShowSamePicture(int imageNumber, int loadedInto, const std::string& fileName) override;
    void ClearPicture(int imageNumber) override;
    void SetBusy(bool busy) override;
    void ClearMessageLines() override;
    void AppendMessageLine(const std::string& line) override;
    void RelinkFileBrowser() override;

    // Called after every picture load with the box number and whether it loaded.
    std::function<void(int imageNumber, bool loaded)> OnPictureLoaded;

private:
    std::optional<std::string> RunFileDialog(const AppCore::TFileDialog& dialog, bool save);
    void WriteLine(const QString& line);

    QWidget* DialogParent = nullptr;
    TPictureBoxes* Boxes = nullptr;
    QTextEdit* MessageBox = nullptr;
    QStringList KeptLines; // written before there was a message box
    TFolderBrowser* Browser = nullptr;
    AppCore::TUserPrompts* Answers = nullptr;
    std::vector<std::unique_ptr<TBusyCursor>> BusyCursors;
};

} // namespace AppUi
