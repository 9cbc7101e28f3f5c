// The CodeTable page: code grid, preview, Model list, Clear ALL, Load and Save.

#include "app/ui/TMainWindow.h"

#include "app/core/DocumentActions.h"
#include "app/core/Messages.h"
#include "app/core/ModelSettings.h"
#include "app/core/PreviewComposer.h"
#include "app/core/ProjectFile.h"
#include "app/ui/TImage.h"
#include "app/ui/TStringGrid.h"
#include "ui_MainWindow.h"

#include "XVclUtil/MessageBox.h"

namespace AppUi {

void TMainWindow::ConnectCodeTablePage() {
    TStringGrid* grid = UiForm->StringGrid5;
    connect(grid, &TStringGrid::CellSelected, this, &TMainWindow::StringGrid5Click);
    connect(grid, &TStringGrid::RightMouseDown, this, &TMainWindow::StringGrid5MouseDown);
    connect(grid, &TStringGrid::CellEdited, this, &TMainWindow::StringGrid5CellEdited);
    connect(UiForm->SpeedButton11, &QPushButton::clicked, this, &TMainWindow::SpeedButton11Click);
    connect(UiForm->SpeedButton12, &QPushButton::clicked, this, &TMainWindow::SpeedButton12Click);
    connect(UiForm->SpeedButton13, &QPushButton::clicked, this, &TMainWindow::SpeedButton13Click);
    connect(UiForm->ComboBox2, &QComboBox::currentTextChanged, this, &TMainWindow::ComboBox2Change);

    QRadioButton* const defCtbl[] = {UiForm->RadioButton15, UiForm->RadioButton16,
                                     UiForm->RadioButton17, UiForm->RadioButton18,
                                     UiForm->RadioButton19, UiForm->RadioButton20};
    for (int k = 0; k < AppCore::CodeTableCount; ++k)
        connect(defCtbl[k], &QRadioButton::toggled, this, [this, k](bool on) {
            if (on && !Showing) AppCore::SelectDefCodeTable(EditorSession.Document, k);
        });
}

void TMainWindow::StringGrid5CellEdited(int col, int row, const QString& text) {
    if (col < 2 || row < 1) return;
    EditorSession.Document.CodeTables[col - 2][row - 1] = text.toStdString();
}

void TMainWindow::ClearPreview() {
    Image(AppCore::Images::Preview)->SetPicture(AppCore::BlankPreview());
}

void TMainWindow::StringGrid5Click(int col, int row) {
    if (col < 2 || row < 1) return;
    const AppCore::ProjectDocument& document = EditorSession.Document;
    const AppCore::TPreviewPlan plan =
        AppCore::PlanPreview(document.CodeTables[col - 2][row - 1], document.DEF_FL,
                             EditorSession.Context.FloorStylePrefix);
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
    else
        XVclUtil::ShowErrMsgBox_Printf(AppCore::Msg::CaptionError, AppCore::Msg::PictureLoadError,
                                       failed.c_str());
}

void TMainWindow::StringGrid5MouseDown() {
    // The right button empties the focused cell, wherever the pointer is.
    TStringGrid* grid = UiForm->StringGrid5;
    const int col = grid->Col();
    const int row = grid->Row();
    if (col < 2 || row < 1) return;
    AppCore::ClearCell(EditorSession.Document, col - 2, row - 1);
    grid->SetCells(col, row, QString());
    ClearPreview();
}

void TMainWindow::SpeedButton11Click() {
    Guarded([this] { AppCore::ClearAll(EditorSession); });
    ShowDocument();
}

void TMainWindow::SpeedButton12Click() {
    Guarded([this] { AppCore::LoadProject(EditorSession); });
    ShowDocument();
}

void TMainWindow::SpeedButton13Click() {
    Guarded([this] { AppCore::SaveProject(EditorSession); });
    ShowDocument();
}

void TMainWindow::ComboBox2Change() {
    if (Showing) return;
    Guarded([this] {
        if (!AppCore::ChangeModel(EditorSession, UiForm->ComboBox2->currentText().toStdString()))
            return;
        Showing = true;
        ShowCaptionAndStatus();
        ShowBitColumn();
        Showing = false;
    });
}

} // namespace AppUi
