#pragma once
// A string grid addressed as (column, row) with fixed columns at the left and one fixed row at
// the top. The fixed row is the grid's header, so it stays in view while the cells scroll; the
// fixed columns hold read-only cells drawn like the header.

#include <QString>
#include <QTableWidget>

#include <vector>

namespace AppUi {

class TStringGrid : public QTableWidget {
    Q_OBJECT

public:
    explicit TStringGrid(QWidget* parent = nullptr);

    // colCount columns and rowCount rows, counting the fixed row 0.
    void SetDimensions(int colCount, int rowCount, int fixedCols);
    void SetColWidths(const std::vector<int>& widths);
    void SetDefaultRowHeight(int height);

    int ColCount() const { return columnCount(); }
    int RowCount() const { return rowCount() + 1; }
    int FixedCols() const { return FixedColCount; }

    QString Cells(int col, int row) const;
    void SetCells(int col, int row, const QString& text);

    // The focused cell in grid coordinates; row 0 / col -1 when none.
    int Col() const { return currentColumn(); }
    int Row() const { return currentRow() + 1; }
    void SelectCell(int col, int row);

signals:
    // The focus moved to (or was clicked on) a cell.
    void CellSelected(int col, int row);
    // An editable cell's text was changed by the user.
    void CellEdited(int col, int row, const QString& text);
    // The right mouse button went down on the grid; the focus does not move.
    void RightMouseDown();

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    QTableWidgetItem* CellItem(int col, int row) const;

    int FixedColCount = 0;
    bool Filling = false;         // cells set by the program, not edits of the user
    bool PressMovedFocus = false; // the last left press moved the focus to another cell
};

} // namespace AppUi
