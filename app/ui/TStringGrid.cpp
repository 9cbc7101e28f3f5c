#include "app/ui/TStringGrid.h"

#include <QHeaderView>
#include <QMouseEvent>

namespace AppUi {

TStringGrid::TStringGrid(QWidget* parent) : QTableView(parent), Cells_(this) {
    setModel(&Cells_);
    verticalHeader()->hide();
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setWordWrap(false);

    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current, const QModelIndex&) {
                if (current.isValid()) emit CellSelected(current.column(), current.row() + 1);
            });
    // A click on the cell that already has the focus shows it again; a click that moved the
    // focus was already reported by the focus change.
    connect(this, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
        if (!PressMovedFocus) emit CellSelected(index.column(), index.row() + 1);
    });
    connect(&Cells_, &TStringGridModel::CellEdited, this, &TStringGrid::CellEdited);
}

void TStringGrid::SetDimensions(int colCount, int rowCount, int fixedCols) {
    Cells_.SetDimensions(colCount, rowCount, fixedCols, palette().brush(QPalette::Button));
}

void TStringGrid::SetColWidths(const std::vector<int>& widths) {
    for (int col = 0; col < static_cast<int>(widths.size()) && col < ColCount(); ++col)
        setColumnWidth(col, widths[col]);
}

void TStringGrid::SetDefaultRowHeight(int height) {
    verticalHeader()->setMinimumSectionSize(height);
    verticalHeader()->setDefaultSectionSize(height);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setFixedHeight(height);
}

QModelIndex TStringGrid::CellIndex(int col, int row) const {
    return row >= 1 ? Cells_.index(row - 1, col) : QModelIndex();
}

bool TStringGrid::EditCell(int col, int row, const QString& text) {
    return Cells_.setData(CellIndex(col, row), text, Qt::EditRole);
}

bool TStringGrid::IsEditable(int col, int row) const {
    return Cells_.flags(CellIndex(col, row)) & Qt::ItemIsEditable;
}

void TStringGrid::SelectCell(int col, int row) {
    const QModelIndex index = CellIndex(col, row);
    if (index.isValid()) setCurrentIndex(index);
}

QRect TStringGrid::CellRect(int col, int row) const {
    return visualRect(CellIndex(col, row));
}

void TStringGrid::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        // The right button acts on the focused cell; it must not move the focus first.
        emit RightMouseDown();
        event->accept();
        return;
    }
    const QModelIndex before = currentIndex();
    QTableView::mousePressEvent(event);
    PressMovedFocus = currentIndex() != before;
}

} // namespace AppUi
