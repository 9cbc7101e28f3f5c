#include "app/ui/TMainWindow.h"

#include "app/core/CodeTableLabels.h"
#include "app/core/Messages.h"
#include "app/core/Startup.h"
#include "app/ui/TFolderBrowser.h"
#include "app/ui/TImage.h"
#include "app/ui/TStringGrid.h"
#include "ui_MainWindow.h"

#include "XVclUtil/EConvertError.h"
#include "XVclUtil/EXGeneral.h"
#include "XVclUtil/MessageBox.h"

#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QSignalBlocker>
#include <QTimer>

namespace AppUi {

namespace {

constexpr int GridColCount = 8;
constexpr int GridRowCount = 257;
constexpr int GridFixedCols = 2;
constexpr int GridRowHeight = 24;
const std::vector<int> GridColWidths = {88, 88, 72, 64, 64, 64, 64, 64};
constexpr int StatusPanelWidths[3] = {450, 160, 300};
constexpr int ResponseTimerMs = 10000;
constexpr int ImageCount = 72;

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

TMainWindow::TMainWindow(const std::string& programDir, QWidget* parent)
    : QMainWindow(parent), UiForm(std::make_unique<Ui::TMainWindow>()),
      ProgramDir(programDir.empty() ? AppCore::TStartupContext::DefaultProgramDir() : programDir) {
    SetupForm();
    FormCreate();
}

TMainWindow::~TMainWindow() {
    FormDestroy();
}

TImage* TMainWindow::Image(int number) const {
    return number >= 1 && number <= ImageCount ? Images[number] : nullptr;
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

void TMainWindow::SetupForm() {
    UiForm->setupUi(this);
    for (int n = 1; n <= ImageCount; ++n)
        Images[n] = findChild<TImage*>(QStringLiteral("Image%1").arg(n));
    SetupGrid();
    SetupStatusBar();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(ResponseTimerMs);

    Browser = std::make_unique<TFolderBrowser>(UiForm->DriveComboBox1, UiForm->DirectoryListBox1,
                                               UiForm->FileListBox2, QStringLiteral("*.ROM"));
    WindowPrompts.Attach(
        this, [this](int number) { return Image(number); }, UiForm->RichEdit1, Browser.get());

    ConnectCodeTablePage();
    ConnectStylePage();
    ConnectMakePage();
    ConnectLinkControls();
}

void TMainWindow::SetupGrid() {
    TStringGrid* grid = UiForm->StringGrid5;
    grid->SetDimensions(GridColCount, GridRowCount, GridFixedCols);
    grid->SetColWidths(GridColWidths);
    grid->SetDefaultRowHeight(GridRowHeight);
    grid->SetCells(0, 0, QString::fromLatin1(AppCore::GridHeaderBits));
    grid->SetCells(1, 0, QString::fromLatin1(AppCore::GridHeaderHexDec));
    for (int t = 0; t < AppCore::CodeTableCount; ++t)
        grid->SetCells(t + 2, 0, Q(AppCore::CodeTableHeader(t)));
    for (int code = 0; code < AppCore::CodeCount; ++code)
        grid->SetCells(1, code + 1, Q(AppCore::HexDecLabel(code)));
}

void TMainWindow::SetupStatusBar() {
    for (int i = 0; i < 3; ++i) {
        auto* panel = new QLabel(this);
        panel->setObjectName(QStringLiteral("StatusBar1Panel%1").arg(i));
        panel->setFixedWidth(StatusPanelWidths[i]);
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        UiForm->StatusBar1->addWidget(panel);
        StatusPanels[i] = panel;
    }
}

void TMainWindow::FormCreate() {
    // The folder list shows the working directory; that is the start folder.
    const std::string startDir = Browser->Directory().toStdString();
    SetCommandButtonsEnabled(false);
    ShowCaptionAndStatus();
    Guarded([&] { StartupDone = AppCore::RunStartup(EditorSession, ProgramDir, startDir); });
    ShowDocument();
}

void TMainWindow::FormDestroy() {
    AppCore::ReleaseLibraries(EditorSession);
}

void TMainWindow::closeEvent(QCloseEvent* event) {
    Timer1->stop();
    QMainWindow::closeEvent(event);
}

void TMainWindow::SetCommandButtonsEnabled(bool enabled) {
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
}

void TMainWindow::ShowCaptionAndStatus() {
    setWindowTitle(Q(EditorSession.Caption));
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
    if (selected < 0) list->setEditText(Q(EditorSession.Document.CODEVER));
}

void TMainWindow::ShowBitColumn() {
    TStringGrid* grid = UiForm->StringGrid5;
    for (int row = 1; row <= AppCore::BitLabelRowCount; ++row)
        grid->SetCells(0, row, Q(EditorSession.BitColumnLabels[row - 1]));
}

void TMainWindow::ShowCodeTables() {
    TStringGrid* grid = UiForm->StringGrid5;
    const AppCore::TCodeTables& tables = EditorSession.Document.CodeTables;
    for (int t = 0; t < AppCore::CodeTableCount; ++t)
        for (int code = 0; code < AppCore::CodeCount; ++code)
            grid->SetCells(t + 2, code + 1, Q(tables[t][code]));
}

} // namespace AppUi
