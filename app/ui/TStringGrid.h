#pragma once
// A string grid addressed as (column, row) with fixed columns at the left and one fixed row at
// the top. The fixed row is the grid's header, so it stays in view while the cells scroll; the
// fixed columns hold read-only cells drawn like the header.

#include "app/ui/TStringGridModel.h"

#include <QRect>
#include <QString>
#include <QTableView>

#include <vector>

namespace AppUi {

class TStringGrid : public QTableView {
    Q_OBJECT

public:
    explicit TStringGrid(QWidget* parent = nullptr);

    // colCount columns and rowCount rows, counting the fixed row 0.
    void SetDimensions(int colCount, int rowCount, int fixedCols);
    void SetColWidths(const std::vector<int>& widths);
    void SetDefaultRowHeight(int height);

    int ColCount() const { return Cells_.ColCount(); }
    int RowCount() const { return Cells_.RowCount(); }
    int FixedCols() const { return Cells_.FixedCols(); }

    QString Cells(int col, int row) const { return Cells_.Cells(col, row); }
    void SetCells(int col, int row, const QString& text) { Cells_.SetCells(col, row, text); }
    // SetCells calls between these reach the view as one change (see TStringGridModel).
    void BeginUpdate() { Cells_.BeginUpdate(); }
    void EndUpdate() { Cells_.EndUpdate(); }
    // True when every character of text is printable ASCII, as the display's font holds.
    static bool IsDisplayText(const QString& text);
    // What the cell editor does when the user confirms a text.
    bool EditCell(int col, int row, const QString& text);
    bool IsEditable(int col, int row) const;

    // The focused cell in grid coordinates; row 0 / col -1 when none.
    int Col() const { return currentIndex().column(); }
    int Row() const { return currentIndex().row() + 1; }
    void SelectCell(int col, int row);
    // The cell's rectangle in the viewport (row 0: none).
    QRect CellRect(int col, int row) const;

signals:
    // The focus moved to (or was clicked on) a cell.
    void CellSelected(int col, int row);
    // An editable cell's text was changed by the user.
    void CellEdited(int col, int row, const QString& text);
    // The right mouse button went down on the grid; the focus does not move.
    void RightMouseDown();
    // The text in an open cell editor changed (each keystroke); not yet stored.
    void CellTextChanging(int col, int row, const QString& text);
    // The cell editor refused a character the display cannot show (not printable ASCII).
    void TextRefused();

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    QModelIndex CellIndex(int col, int row) const;

    TStringGridModel Cells_;
    bool PressMovedFocus = false; // the last left press moved the focus to another cell
};

} // namespace AppUi
