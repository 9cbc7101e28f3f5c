#include "app/ui/TStringGridModel.h"

#include <algorithm>
#include <utility>

namespace AppUi {

void TStringGridModel::SetDimensions(int colCount, int rowCount, int fixedCols,
                                     const QBrush& fixedBrush) {
    beginResetModel();
    Cols = std::max(0, colCount);
    Rows = std::max(1, rowCount);
    Fixed = fixedCols;
    FixedBrush = fixedBrush;
    Texts.assign(std::size_t(Cols) * Rows, QString());
    endResetModel();
}

QString TStringGridModel::Cells(int col, int row) const {
    return Valid(col, row) ? Cell(col, row) : QString();
}

void TStringGridModel::SetCells(int col, int row, const QString& text) {
    if (!Valid(col, row) || Cell(col, row) == text) return;
    Cell(col, row) = text;
    if (UpdateDepth > 0)
        NoteChanged(col, row);
    else if (row == 0)
        emit headerDataChanged(Qt::Horizontal, col, col);
    else
        emit dataChanged(index(row - 1, col), index(row - 1, col), {Qt::DisplayRole});
}

void TStringGridModel::NoteChanged(int col, int row) {
    TChangedCells& c = Changed;
    const auto widen = [](int& first, int& last, int value) {
        first = first < 0 ? value : std::min(first, value);
        last = std::max(last, value);
    };
    if (row == 0) {
        widen(c.FirstHeaderCol, c.LastHeaderCol, col);
    } else {
        widen(c.Left, c.Right, col);
        widen(c.Top, c.Bottom, row);
    }
}

void TStringGridModel::EndUpdate() {
    if (UpdateDepth == 0 || --UpdateDepth > 0) return;
    const TChangedCells c = std::exchange(Changed, TChangedCells{});
    if (c.FirstHeaderCol >= 0)
        emit headerDataChanged(Qt::Horizontal, c.FirstHeaderCol, c.LastHeaderCol);
    if (c.Left >= 0)
        emit dataChanged(index(c.Top - 1, c.Left), index(c.Bottom - 1, c.Right), {Qt::DisplayRole});
}

int TStringGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Rows - 1;
}

int TStringGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Cols;
}

QVariant TStringGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return Cell(index.column(), index.row() + 1);
    if (role == Qt::BackgroundRole && index.column() < Fixed) return FixedBrush;
    return {};
}

QVariant TStringGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < Cols)
        return Cell(section, 0);
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags TStringGridModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    if (index.column() < Fixed) return Qt::ItemIsEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

bool TStringGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole || index.column() < Fixed) return false;
    const int col = index.column();
    const int row = index.row() + 1;
    const QString text = value.toString();
    if (Cell(col, row) != text) {
        Cell(col, row) = text;
        emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    }
    emit CellEdited(col, row, text);
    return true;
}

} // namespace AppUi
