#pragma once
// The editor's main window: the CodeTable, Style and Make pages of the Designer form, showing
// the project document of the editor session and writing the user's changes into it.

#include "app/core/DocumentActions.h"
#include "app/core/TEditorSession.h"
#include "app/ui/TMainWindowForm.h"
#include "app/ui/TPictureBoxes.h"
#include "app/ui/TWindowPrompts.h"

#include <QMainWindow>

#include <array>
#include <functional>
#include <memory>
#include <string>

class QCheckBox;
class QLabel;
class QRadioButton;
class QTimer;

namespace AppCore {
class TDocumentHistory;
}

namespace AppUi {

class TFolderBrowser;
class TImage;
class TMakePageLink;
class TUserGuideWindow;

class TMainWindow : public QMainWindow {
    Q_OBJECT

public:
    // Runs the start-up sequence (FormCreate) with the working directory as start folder.
    // programDir: folder of the default pictures; empty = the executable's folder.
    explicit TMainWindow(const std::string& programDir = {}, QWidget* parent = nullptr);
    ~TMainWindow() override;

    AppCore::TEditorSession& Session() { return EditorSession; }
    TWindowPrompts& Prompts() { return WindowPrompts; }
    // Every control of the window; the Style page is made first if it was not shown yet.
    Ui::TMainWindow& Form();
    // The Make page's place box and folder and file lists (the page is made first).
    TFolderBrowser& FolderBrowser();
    // Picture box Image<number>, 1..72 (its page is made first); null outside.
    TImage* Image(int number);
    QLabel* StatusPanel(int index) const { return StatusPanels.at(index); }
    bool StartupCompleted() const { return StartupDone; }
    // The Make page's serial link: PcUart1, the upload protocol and its commands.
    TMakePageLink& MakePageLink();

    // Shows every field of the document, the model list, the grid, caption and status bar.
    void ShowDocument();
    // Opens a project file, after the unsaved-changes question; true when it was loaded. When
    // start-up found no settings file here but the project's folder holds one, the editor
    // starts again in the project's folder first.
    bool OpenProjectFile(const QString& path);

    // Enables or disables the four command buttons (Date/Time sync, UpLoad FL. code table,
    // Upgrade LPV AP, UpLoad ROM Image) together.
    void SetCommandButtonsEnabled(bool enabled);

public slots:
    // CodeTable page.
    void SpeedButton11Click(); // Clear ALL
    void SpeedButton12Click(); // Load
    void SpeedButton13Click(); // Save
    void ComboBox2Change();    // Model list
    void StringGrid5Click(int col, int row);
    void StringGrid5MouseDown();
    void StringGrid5CellEdited(int col, int row, const QString& text);
    // Make page.
    void SpeedButton10Click(); // MAKE ROM
    void RadioButton3Click();  // Customer Logo OFF
    void RadioButton4Click();  // Customer Logo ON (Sec.)
    void FileListBox2Click(const QString& fileName);

    // Connection controls of the Make page, completed by the upload link.
    void SpeedButton5Click();         // Connect / Disconnect
    void SpeedButton6Click();         // Date/Time sync
    void SpeedButton7Click();         // UpLoad FL. code table (hidden)
    void SpeedButton8Click();         // Upgrade LPV AP (hidden)
    void SpeedButton9Click();         // UpLoad ROM Image
    void ComboBox11Change(int index); // baud rate (hidden)
    void Timer1Timer();               // response timer of a transfer

    // Menu commands.
    void FileNew();
    void FileSave();
    void FileImportRom();  // File > Import ROM image...
    void FileCompareRom(); // File > Compare with ROM image...
    void ShowUserGuide();  // Help > User guide (F1)

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void SetupForm();
    void SetupGrid();
    void SetupStatusBar();
    void SetupMenus();
    void SetupHistory();
    void SetToolTips();
    void AddRecentProject();
    void ConnectCodeTablePage();
    // The Style and Make pages' controls, made when the page is first shown or asked for.
    void BuildStylePage();
    void BuildMakePage();
    // A page made after the window: the display view switch goes back behind its controls.
    void KeepSwitchLastInTabOrder(QWidget* page);
    // The Make page's form, made first if needed.
    Ui::TMainWindow& MakePageForm();
    // The working folder, as the Make page's folder list shows it.
    QString WorkingFolder() const;
    void ConnectStylePage();
    // A third message variant box ticked: unticked again, with a hint.
    void RefuseThirdVariant(int bit);
    void ConnectMakePage();
    void ConnectCustomerPictureBox(AppCore::TCustomerPicture which);
    // A picture file dropped on a customer or message picture box.
    void DropPicture(TImage* box, const std::string& file);
    // Every picture box drawn as loaded or, with "Show as on the display", as the display will
    // show it.
    void ApplyDisplayView();
    void ConnectLinkControls();
    void FormCreate();
    void FormDestroy();
    // Loads a project file whose opening the user has confirmed.
    bool LoadProjectPath(const QString& path);
    // Start-up run again in the project's working folder (see OpenProjectFile).
    void StartInProjectFolder(const QString& path);

    void ShowCaptionAndStatus();
    void ShowTitle();
    // The document after undo or redo; before is its content until then.
    void ShowAfterUndo(const AppCore::ProjectDocument& before);
    void ShowModelList();
    void ShowBitColumn();
    void ShowCodeTables();
    void ShowStyleFields();
    void ShowMakeFields();
    void ClearPreview();
    // The preview of a cell text (the selected cell's, or the one being typed).
    // reportErrors: a picture that cannot be read is reported (not while typing).
    void ShowPreview(const std::string& cell, bool reportErrors = true);
    void ShowTextRefusedHint();
    // Runs an editor action, showing an escaping library exception as a message box.
    void Guarded(const std::function<void()>& action);
    // Runs an action that edits the document as one undoable step named text (guarded).
    void Change(const char* text, const std::function<void()>& action, int mergeKey = 0);

    std::unique_ptr<Ui::TMainWindow> UiForm;
    TWindowPrompts WindowPrompts;
    AppCore::TEditorSession EditorSession{WindowPrompts};
    AppCore::TDocumentHistory* UndoHistory = nullptr; // the session's, installed by SetupHistory
    std::string ProgramDir;
    TPictureBoxes PictureBoxes;
    std::array<QLabel*, 3> StatusPanels{};
    QCheckBox* DisplayViewSwitch = nullptr; // "Show as on the display"
    std::unique_ptr<TFolderBrowser> Browser;
    QTimer* Timer1 = nullptr;
    std::shared_ptr<TMakePageLink> MakeLink; // made by ConnectLinkControls
    TUserGuideWindow* GuideWindow = nullptr; // made on the first F1
    bool StartupDone = false;
    bool CommandButtonsEnabled = false; // the Make page's four command buttons
    bool Showing = false;               // controls are being set from the document
};

} // namespace AppUi
