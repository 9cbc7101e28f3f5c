// The CodeTable page: code grid, preview, Model list, Clear ALL, Load and Save.

#include "app/ui/TMainWindow.h"

#include "app/core/DocumentActions.h"
#include "app/core/Messages.h"
#include "app/core/ModelSettings.h"
#include "app/core/ProjectFile.h"
#include "app/core/ProjectGuard.h"
#include "app/core/qt/PreviewComposer.h"
#include "app/ui/TImage.h"
#include "app/ui/TMainWindowForm.h"
#include "app/ui/TStringGrid.h"

#include "XVclUtil/MessageBox.h"

#include <QToolTip>

namespace AppUi {

namespace {

const char* const TextRefusedHint =
    "The display shows only ASCII letters, digits and signs: this character cannot be used.";

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

void TMainWindow::ConnectCodeTablePage() {
    TStringGrid* grid = UiForm->StringGrid5;
    connect(grid, &TStringGrid::CellSelected, this, &TMainWindow::StringGrid5Click);
    connect(grid, &TStringGrid::RightMouseDown, this, &TMainWindow::StringGrid5MouseDown);
    connect(grid, &TStringGrid::CellEdited, this, &TMainWindow::StringGrid5CellEdited);
    connect(grid, &TStringGrid::CellTextChanging, this,
            [this](int col, int row, const QString& text) {
                if (col >= 2 && row >= 1) ShowPreview(text.toStdString(), false);
            });
    connect(grid, &TStringGrid::TextRefused, this, &TMainWindow::ShowTextRefusedHint);
    connect(UiForm->SpeedButton11, &QPushButton::clicked, this, &TMainWindow::SpeedButton11Click);
    connect(UiForm->SpeedButton12, &QPushButton::clicked, this, &TMainWindow::SpeedButton12Click);
    connect(UiForm->SpeedButton13, &QPushButton::clicked, this, &TMainWindow::SpeedButton13Click);
    connect(UiForm->ComboBox2, &QComboBox::currentTextChanged, this, &TMainWindow::ComboBox2Change);
    // A typed name that is no model goes back to the model in use when the typing ends.
    if (QLineEdit* typed = UiForm->ComboBox2->lineEdit())
        connect(typed, &QLineEdit::editingFinished, this, [this] {
            Showing = true;
            ShowModelList();
            Showing = false;
        });

    QRadioButton* const defCtbl[] = {UiForm->RadioButton15, UiForm->RadioButton16,
                                     UiForm->RadioButton17, UiForm->RadioButton18,
                                     UiForm->RadioButton19, UiForm->RadioButton20};
    for (int k = 0; k < AppCore::CodeTableCount; ++k)
        connect(defCtbl[k], &QRadioButton::toggled, this, [this, k](bool on) {
            if (on && !Showing)
                Change("Default CTBL",
                       [this, k] { AppCore::SelectDefCodeTable(EditorSession.Document, k); });
        });
}

void TMainWindow::StringGrid5CellEdited(int col, int row, const QString& text) {
    if (col < 2 || row < 1) return;
    if (!TStringGrid::IsDisplayText(text)) {
        // Pasted or set text with characters the display cannot show is not taken.
        UiForm->StringGrid5->SetCells(col, row,
                                      Q(EditorSession.Document.CodeTables[col - 2][row - 1]));
        ShowTextRefusedHint();
        return;
    }
    Change("Edit cell",
           [&] { EditorSession.Document.CodeTables[col - 2][row - 1] = text.toStdString(); });
}

void TMainWindow::ClearPreview() {
    Image(AppCore::Images::Preview)->SetPicture(AppCore::BlankPreview());
}

void TMainWindow::ShowTextRefusedHint() {
    TStringGrid* grid = UiForm->StringGrid5;
    const QRect cell = grid->CellRect(grid->Col(), grid->Row());
    QToolTip::showText(grid->viewport()->mapToGlobal(cell.bottomLeft()),
                       QString::fromLatin1(TextRefusedHint), grid);
}

void TMainWindow::StringGrid5Click(int col, int row) {
    if (col < 2 || row < 1) return;
    ShowPreview(EditorSession.Document.CodeTables[col - 2][row - 1]);
}

void TMainWindow::ShowPreview(const std::string& cell, bool reportErrors) {
    const AppCore::ProjectDocument& document = EditorSession.Document;
    const AppCore::TPreviewPlan plan =
        AppCore::PlanPreview(cell, document.DEF_FL, EditorSession.Context.FloorStylePrefix);
    if (plan.Kind == AppCore::TPreviewPlan::Clear) {
        ClearPreview();
        return;
    }
    TImage* preview = Image(AppCore::Images::Preview);
    QImage canvas = preview->Picture();
    if (canvas.size() != QSize(AppCore::PreviewCanvasWidth, AppCore::PreviewHeight))
        canvas = AppCore::BlankPreview();
    std::string failed;
    if (AppCore::RenderPreview(canvas, plan, EditorSession.Library, &failed))
        preview->SetPicture(canvas);
    else if (reportErrors)
        XVclUtil::ShowErrMsgBox_Printf(AppCore::Msg::CaptionError, AppCore::Msg::PictureLoadError,
                                       failed.c_str());
}

void TMainWindow::StringGrid5MouseDown() {
    // The right button empties the focused cell, wherever the pointer is.
    TStringGrid* grid = UiForm->StringGrid5;
    const int col = grid->Col();
    const int row = grid->Row();
    if (col < 2 || row < 1) return;
    Change("Clear cell", [&] { AppCore::ClearCell(EditorSession.Document, col - 2, row - 1); });
    grid->SetCells(col, row, QString());
    ClearPreview();
}

void TMainWindow::SpeedButton11Click() {
    if (!AppCore::ConfirmClearAll(EditorSession)) return;
    Change("Clear ALL", [this] { AppCore::ClearAll(EditorSession); });
    ShowDocument();
}

void TMainWindow::SpeedButton12Click() {
    if (!AppCore::ConfirmDiscardChanges(EditorSession)) return;
    const std::optional<std::string> path =
        WindowPrompts.OpenFileDialog(AppCore::TFileDialog{"", AppCore::ProjectFileFilter, "", ""});
    if (path) LoadProjectPath(Q(*path));
}

void TMainWindow::SpeedButton13Click() {
    Guarded([this] { AppCore::SaveProject(EditorSession); });
    ShowDocument();
    AddRecentProject();
}

void TMainWindow::ComboBox2Change() {
    if (Showing) return;
    Change("Model", [this] {
        if (!AppCore::ChangeModel(EditorSession, UiForm->ComboBox2->currentText().toStdString()))
            return;
        Showing = true;
        ShowCaptionAndStatus();
        ShowBitColumn();
        Showing = false;
    });
}

} // namespace AppUi
