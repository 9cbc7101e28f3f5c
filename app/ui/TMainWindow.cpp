#include "app/ui/TMainWindow.h"

#include "app/core/CodeTableLabels.h"
#include "app/core/DocumentPictures.h"
#include "app/core/Messages.h"
#include "app/core/ModelSettings.h"
#include "app/core/ProjectGuard.h"
#include "app/core/Startup.h"
#include "app/core/qt/DocumentHistory.h"
#include "app/ui/ProgramIcon.h"
#include "app/ui/StartFolder.h"
#include "app/ui/TFolderBrowser.h"
#include "app/ui/TImage.h"
#include "app/ui/TMainWindowForm.h"
#include "app/ui/TMakePageLink.h"
#include "app/ui/TStringGrid.h"

#include "XVclUtil/EConvertError.h"
#include "XVclUtil/EXGeneral.h"
#include "XVclUtil/MessageBox.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QTimer>
#include <QUndoStack>
#include <QVBoxLayout>

#include <utility>

namespace AppUi {

namespace {

constexpr int GridColCount = 8;
constexpr int GridRowCount = 257;
constexpr int GridFixedCols = 2;
constexpr int GridRowHeight = 24;
const std::vector<int> GridColWidths = {88, 88, 72, 64, 64, 64, 64, 64};
constexpr int StatusPanelWidths[3] = {450, 160, 300};
constexpr int ResponseTimerMs = 10000;
constexpr const char* TransferRunningCaption = "Quit";
constexpr const char* TransferRunningQuestion =
    "A transfer is running; the controller will hold a partial image. Stop it and quit?";

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

// A status bar panel of the form's width that gives way on a narrow screen.
class TStatusPanel : public QLabel {
public:
    TStatusPanel(int width, QWidget* parent) : QLabel(parent), Width(width) {
        setMaximumWidth(width);
        resize(width, sizeHint().height());
    }
    QSize sizeHint() const override { return {Width, QLabel::sizeHint().height()}; }
    QSize minimumSizeHint() const override {
        return {MinimumPanelWidth, QLabel::minimumSizeHint().height()};
    }

private:
    static constexpr int MinimumPanelWidth = 40;
    int Width;
};

// A page's scroll area. Its size hint is what QScrollArea gives a page larger than 36 x 24
// lines, as every page of the form is, without asking the page's form: that would lay out
// and measure the controls of the pages not shown (and load the MAKE ROM button's large font)
// before the window's first paint. The window takes its size from the form, not from this hint.
class TPageScrollArea : public QScrollArea {
public:
    using QScrollArea::QScrollArea;
    QSize sizeHint() const override {
        const int lines = fontMetrics().height();
        return {HintColumns * lines, HintRows * lines};
    }

private:
    static constexpr int HintColumns = 36;
    static constexpr int HintRows = 24;
};

// The page's form inside a scroll area, so that a screen smaller than the form (1024 x 768)
// reaches every control by scrolling. The page itself and every control keep their names.
// The scroll area takes its content widget while that is empty (with the form it would measure
// the whole form at once); the form waits in a widget of its own meanwhile, so that its
// controls still follow the scroll area in the Tab order.
void PutPageInScrollArea(QWidget* page) {
    QLayout* form = page->layout();
    if (!form) return;
    QWidget waiting;
    waiting.setLayout(form); // takes the layout and its widgets from the page
    auto* content = new QWidget;
    content->setObjectName(page->objectName() + QStringLiteral("Content"));
    auto* scroll = new TPageScrollArea(page);
    scroll->setObjectName(page->objectName() + QStringLiteral("Scroll"));
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidget(content);
    content->setLayout(form);
    auto* box = new QVBoxLayout(page);
    box->setContentsMargins(0, 0, 0, 0);
    box->addWidget(scroll);
}

// The last widget of the window's Tab order that lies on the page and takes the focus by Tab.
QWidget* LastTabStopOn(QWidget* window, QWidget* page) {
    for (QWidget* w = window->previousInFocusChain(); w != window; w = w->previousInFocusChain())
        if ((w->focusPolicy() & Qt::TabFocus) && page->isAncestorOf(w)) return w;
    return nullptr;
}

} // namespace

TMainWindow::TMainWindow(const std::string& programDir, QWidget* parent)
    : QMainWindow(parent), UiForm(std::make_unique<Ui::TMainWindow>()),
      ProgramDir(programDir.empty() ? AppCore::TStartupContext::DefaultProgramDir() : programDir) {
    SetupForm();
    setWindowIcon(ProgramIcon());
    setAcceptDrops(true);
    FormCreate();
}

TMainWindow::~TMainWindow() {
    // An open cell editor commits while the child widgets go, after the session is gone.
    UiForm->StringGrid5->disconnect(this);
    FormDestroy();
}

Ui::TMainWindow& TMainWindow::Form() {
    UiForm->TabSheet2->Build();
    UiForm->TabSheet3->Build();
    return *UiForm;
}

Ui::TMainWindow& TMainWindow::MakePageForm() {
    UiForm->TabSheet3->Build();
    return *UiForm;
}

TFolderBrowser& TMainWindow::FolderBrowser() {
    MakePageForm();
    return *Browser;
}

TMakePageLink& TMainWindow::MakePageLink() {
    MakePageForm();
    return *MakeLink;
}

QString TMainWindow::WorkingFolder() const {
    return Browser ? Browser->Directory() : QDir::currentPath();
}

TImage* TMainWindow::Image(int number) {
    if (PictureBoxes.Exists(number) && !PictureBoxes.Box(number)) {
        // The page that holds the box is made first: the customer pictures' is the Make page.
        namespace Images = AppCore::Images;
        const bool customer = number == Images::TitleV || number == Images::TitleH ||
                              number == Images::Title2 || number == Images::Logo;
        (customer ? UiForm->TabSheet3 : UiForm->TabSheet2)->Build();
    }
    return PictureBoxes.Box(number);
}

void TMainWindow::Guarded(const std::function<void()>& action) {
    try {
        action();
    } catch (const XVclUtil::EConvertError& e) {
        XVclUtil::ShowErrMsgBox_Printf(AppCore::Msg::CaptionError, "%s", e.what());
    } catch (const XVclUtil::EXGeneral& e) {
        XVclUtil::ShowErrMsgBox_Printf(AppCore::Msg::CaptionError, "%s", e.what());
    } catch (const std::exception& e) {
        XVclUtil::ShowErrMsgBox_Printf(AppCore::Msg::CaptionError, "%s", e.what());
    }
}

void TMainWindow::Change(const char* text, const std::function<void()>& action, int mergeKey) {
    Guarded([&] { EditorSession.History().Record(text, action, mergeKey); });
}

void TMainWindow::SetupForm() {
    UiForm->TMainForm::setupUi(this);
    PutPageInScrollArea(UiForm->TabSheet1);
    // The Style and Make pages (some 160 controls, most of the picture boxes) are made when
    // first shown.
    UiForm->TabSheet2->SetBuilder([this] { BuildStylePage(); });
    UiForm->TabSheet3->SetBuilder([this] { BuildMakePage(); });
    PictureBoxes.Adopt(findChildren<TImage*>());
    SetupGrid();
    SetupStatusBar();
    SetupHistory();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(ResponseTimerMs);
    // The message box and the file browser come with the Make page.
    WindowPrompts.Attach(this, &PictureBoxes, nullptr, nullptr);

    ConnectCodeTablePage();
    SetupMenus();
}

void TMainWindow::SetToolTips() {
    UiForm->SpeedButton5->setToolTip(
        QStringLiteral("Open the chosen COM port to the VRC-780A (115,200 baud), or close it"));
    UiForm->SpeedButton10->setToolTip(
        QStringLiteral("Save the project, then build the ROM image named under \"ROM Filename:\""));
    UiForm->ComboBox3->setToolTip(
        QStringLiteral("Serial port of the controller; opening the list shows the devices found"));
    UiForm->Edit2->setToolTip(
        QStringLiteral("Six digits YYMMDD, for example 100429; empty for none"));
}

void TMainWindow::SetupHistory() {
    auto installed = std::make_unique<AppCore::TDocumentHistory>(EditorSession.Document,
                                                                 &EditorSession.ProjectPath);
    UndoHistory = installed.get();
    EditorSession.UseHistory(std::move(installed));
    AppCore::TDocumentHistory& history = *UndoHistory;
    history.SetAppliedHandler(
        [this](const AppCore::ProjectDocument& before) { ShowAfterUndo(before); });
    connect(&history.Stack(), &QUndoStack::cleanChanged, this, &TMainWindow::ShowTitle);
}

void TMainWindow::ShowAfterUndo(const AppCore::ProjectDocument& before) {
    // A model chosen again brings back that model's settings and bit column.
    if (before.CODEVER != EditorSession.Document.CODEVER)
        Guarded([this] { AppCore::ChangeModel(EditorSession, EditorSession.Document.CODEVER); });
    // Every picture box as MAKE ROM will build it, whatever the boxes showed before.
    Guarded([this] { AppCore::ShowDocumentPictures(EditorSession); });
    // Undo of Clear ALL or New brings back the project's file link.
    std::string& panel = EditorSession.StatusPanels[0];
    if (!EditorSession.ProjectPath.empty())
        panel = "Project file: " + EditorSession.ProjectPath;
    else if (panel != "Project file:")
        panel = "Project file: ";
    ShowDocument();
}

void TMainWindow::SetupGrid() {
    TStringGrid* grid = UiForm->StringGrid5;
    grid->SetDimensions(GridColCount, GridRowCount, GridFixedCols);
    grid->SetColWidths(GridColWidths);
    grid->SetDefaultRowHeight(GridRowHeight);
    grid->BeginUpdate();
    grid->SetCells(0, 0, QString::fromLatin1(AppCore::GridHeaderBits));
    grid->SetCells(1, 0, QString::fromLatin1(AppCore::GridHeaderHexDec));
    for (int t = 0; t < AppCore::CodeTableCount; ++t)
        grid->SetCells(t + 2, 0, Q(AppCore::CodeTableHeader(t)));
    for (int code = 0; code < AppCore::CodeCount; ++code)
        grid->SetCells(1, code + 1, Q(AppCore::HexDecLabel(code)));
    grid->EndUpdate();
}

void TMainWindow::SetupStatusBar() {
    for (int i = 0; i < 3; ++i) {
        auto* panel = new TStatusPanel(StatusPanelWidths[i], this);
        panel->setObjectName(QStringLiteral("StatusBar1Panel%1").arg(i));
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        UiForm->StatusBar1->addWidget(panel);
        StatusPanels[i] = panel;
    }
    DisplayViewSwitch = new QCheckBox(QStringLiteral("Show as on the display"), this);
    DisplayViewSwitch->setObjectName(QStringLiteral("DisplayViewCheckBox"));
    DisplayViewSwitch->setToolTip(QStringLiteral(
        "Draw every picture as the ROM holds it: only pure black pixels, rows padded to 8"));
    UiForm->StatusBar1->addPermanentWidget(DisplayViewSwitch);
    connect(DisplayViewSwitch, &QCheckBox::toggled, this, &TMainWindow::ApplyDisplayView);
}

void TMainWindow::FormCreate() {
    // The folder list shows the working directory; that is the start folder.
    const std::string startDir = WorkingFolder().toStdString();
    EditorSession.ReadyFolderHint =
        "For a ready working folder run \"zkf780a sample-data DIR\" and start the editor there, "
        "or open a project that lies in a working folder with File > Open.";
    SetCommandButtonsEnabled(false);
    ShowCaptionAndStatus();
    Guarded([&] { StartupDone = AppCore::RunStartup(EditorSession, ProgramDir, startDir); });
    RememberWorkingFolder(Q(EditorSession.Context.StartDir));
    // Title 2 and the logo show what MAKE ROM uses for them, as the other boxes do.
    if (StartupDone) Guarded([this] { AppCore::ShowCustomerPictures(EditorSession); });
    ShowDocument();
}

void TMainWindow::FormDestroy() {
    AppCore::ReleaseLibraries(EditorSession);
}

void TMainWindow::closeEvent(QCloseEvent* event) {
    // An image transfer stopped half-way leaves the controller with a partial image: asked
    // first, and stopped as Disconnect stops it.
    if (MakeLink && MakeLink->ImageTransferRunning() &&
        !WindowPrompts.AskYesNo(TransferRunningCaption, TransferRunningQuestion)) {
        event->ignore();
        return;
    }
    if (!AppCore::ConfirmDiscardChanges(EditorSession)) {
        event->ignore();
        return;
    }
    if (MakeLink) MakeLink->StopForQuit();
    Timer1->stop();
    QMainWindow::closeEvent(event);
}

void TMainWindow::ApplyDisplayView() {
    const bool vertical = EditorSession.Document.DISPLAYTYPE == AppCore::TDisplayType::Vertical;
    PictureBoxes.SetDisplayView(DisplayViewSwitch->isChecked(), vertical);
}

void TMainWindow::BuildStylePage() {
    QWidget* page = UiForm->TabSheet2;
    UiForm->TStylePage::setupUi(page);
    PutPageInScrollArea(page);
    PictureBoxes.Adopt(page->findChildren<TImage*>()); // with the pictures shown so far
    ConnectStylePage();
    const bool wasShowing = std::exchange(Showing, true);
    ShowStyleFields();
    Showing = wasShowing;
    KeepSwitchLastInTabOrder(page);
}

void TMainWindow::BuildMakePage() {
    QWidget* page = UiForm->TabSheet3;
    UiForm->TMakePage::setupUi(page);
    PutPageInScrollArea(page);
    PictureBoxes.Adopt(page->findChildren<TImage*>()); // with the pictures shown so far
    Browser = std::make_unique<TFolderBrowser>(UiForm->DriveComboBox1, UiForm->DirectoryListBox1,
                                               UiForm->FileListBox2, QStringLiteral("*.ROM"));
    WindowPrompts.AttachMakePage(UiForm->RichEdit1, Browser.get());
    SetToolTips();
    ConnectMakePage();
    ConnectLinkControls();
    SetCommandButtonsEnabled(CommandButtonsEnabled);
    const bool wasShowing = std::exchange(Showing, true);
    ShowMakeFields();
    Showing = wasShowing;
    KeepSwitchLastInTabOrder(page);
}

void TMainWindow::KeepSwitchLastInTabOrder(QWidget* page) {
    // The Tab order as if the page had been made with the window: the status bar's display
    // view switch comes after the page's controls.
    if (QWidget* last = LastTabStopOn(this, page)) QWidget::setTabOrder(last, DisplayViewSwitch);
}

void TMainWindow::SetCommandButtonsEnabled(bool enabled) {
    CommandButtonsEnabled = enabled;
    if (!UiForm->TabSheet3->IsBuilt()) return; // set when the page is made
    QPushButton* const buttons[] = {UiForm->SpeedButton6, UiForm->SpeedButton7,
                                    UiForm->SpeedButton8, UiForm->SpeedButton9};
    for (QPushButton* button : buttons) button->setEnabled(enabled);
}

void TMainWindow::ShowDocument() {
    Showing = true;
    ShowCaptionAndStatus();
    ShowModelList();
    ShowBitColumn();
    ShowCodeTables();
    ShowStyleFields();
    ShowMakeFields();
    Showing = false;
    // The preview follows the selected cell's text in the document.
    TStringGrid* grid = UiForm->StringGrid5;
    if (grid->Col() >= 2 && grid->Row() >= 1)
        ShowPreview(EditorSession.Document.CodeTables[grid->Col() - 2][grid->Row() - 1], false);
}

void TMainWindow::ShowTitle() {
    setWindowTitle(Q(AppCore::WindowTitle(EditorSession)));
}

void TMainWindow::ShowCaptionAndStatus() {
    ShowTitle();
    for (int i = 0; i < 3; ++i) StatusPanels[i]->setText(Q(EditorSession.StatusPanels[i]));
}

void TMainWindow::ShowModelList() {
    QComboBox* list = UiForm->ComboBox2;
    const QSignalBlocker block(list);
    QStringList items;
    for (const std::string& model : EditorSession.Settings.ModelList) items.append(Q(model));
    QStringList current;
    for (int i = 0; i < list->count(); ++i) current.append(list->itemText(i));
    if (current != items) {
        list->clear();
        list->addItems(items);
    }
    const int selected = EditorSession.SelectedModelIndex();
    list->setCurrentIndex(selected);
    // Also undoes typed text that names no model.
    list->setEditText(selected >= 0 ? list->itemText(selected) : Q(EditorSession.Document.CODEVER));
}

void TMainWindow::ShowBitColumn() {
    TStringGrid* grid = UiForm->StringGrid5;
    grid->BeginUpdate();
    for (int row = 1; row <= AppCore::BitLabelRowCount; ++row)
        grid->SetCells(0, row, Q(EditorSession.BitColumnLabels[row - 1]));
    grid->EndUpdate();
}

void TMainWindow::ShowCodeTables() {
    TStringGrid* grid = UiForm->StringGrid5;
    const AppCore::TCodeTables& tables = EditorSession.Document.CodeTables;
    grid->BeginUpdate(); // a loaded project changes up to 1,536 cells: one repaint
    for (int t = 0; t < AppCore::CodeTableCount; ++t)
        for (int code = 0; code < AppCore::CodeCount; ++code)
            grid->SetCells(t + 2, code + 1, Q(tables[t][code]));
    grid->EndUpdate();
}

} // namespace AppUi
