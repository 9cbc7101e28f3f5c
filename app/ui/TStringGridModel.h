#pragma once
// The cells of a string grid: colCount x rowCount texts, row 0 being the fixed header row and
// the first fixedCols columns read-only. One flat array of strings, so a grid of thousands of
// cells costs no object per cell.

#include <QAbstractTableModel>
#include <QBrush>
#include <QString>

#include <vector>

namespace AppUi {

class TStringGridModel : public QAbstractTableModel {
    Q_OBJECT

public:
    using QAbstractTableModel::QAbstractTableModel;

    void SetDimensions(int colCount, int rowCount, int fixedCols, const QBrush& fixedBrush);
    int ColCount() const { return Cols; }
    int RowCount() const { return Rows; }
    int FixedCols() const { return Fixed; }

    QString Cells(int col, int row) const;
    // Sets a cell from the program; no CellEdited.
    void SetCells(int col, int row, const QString& text);
    // Between BeginUpdate and EndUpdate, SetCells only stores its texts; EndUpdate then tells
    // the view once about all the cells changed (filling a whole column costs one relayout of
    // the header and one repaint, not one per cell). Pairs nest.
    void BeginUpdate() { ++UpdateDepth; }
    void EndUpdate();

    // Model rows are grid rows 1 .. RowCount-1; grid row 0 is the header.
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // The cell editor's commit: stores the text and reports CellEdited.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

signals:
    void CellEdited(int col, int row, const QString& text);

private:
    bool Valid(int col, int row) const { return col >= 0 && col < Cols && row >= 0 && row < Rows; }
    QString& Cell(int col, int row) { return Texts[std::size_t(row) * Cols + col]; }
    const QString& Cell(int col, int row) const { return Texts[std::size_t(row) * Cols + col]; }

    // The cells changed since BeginUpdate, as column ranges of the header row and a rectangle
    // of the other rows (empty: none).
    struct TChangedCells {
        int FirstHeaderCol = -1, LastHeaderCol = -1;
        int Left = -1, Top = -1, Right = -1, Bottom = -1;
    };
    void NoteChanged(int col, int row);

    std::vector<QString> Texts;
    int UpdateDepth = 0;
    TChangedCells Changed;
    int Cols = 0;
    int Rows = 0;
    int Fixed = 0;
    QBrush FixedBrush;
};

} // namespace AppUi
