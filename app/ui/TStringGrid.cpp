#include "app/ui/TStringGrid.h"

#include <QHeaderView>
#include <QMouseEvent>

namespace AppUi {

TStringGrid::TStringGrid(QWidget* parent) : QTableWidget(parent) {
    verticalHeader()->hide();
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setWordWrap(false);

    connect(this, &QTableWidget::currentCellChanged, this, [this](int row, int col, int, int) {
        if (row >= 0 && col >= 0) emit CellSelected(col, row + 1);
    });
    // A click on the cell that already has the focus shows it again; a click that moved the
    // focus was already reported by the focus change.
    connect(this, &QTableWidget::cellClicked, this, [this](int row, int col) {
        if (!PressMovedFocus) emit CellSelected(col, row + 1);
    });
    connect(this, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (!Filling && item->column() >= FixedColCount)
            emit CellEdited(item->column(), item->row() + 1, item->text());
    });
}

void TStringGrid::SetDimensions(int colCount, int rowCount, int fixedCols) {
    Filling = true;
    clear();
    setColumnCount(colCount);
    setRowCount(rowCount - 1);
    FixedColCount = fixedCols;
    const QBrush fixedBrush = palette().brush(QPalette::Button);
    for (int col = 0; col < colCount; ++col) {
        setHorizontalHeaderItem(col, new QTableWidgetItem());
        for (int row = 0; row < rowCount - 1; ++row) {
            auto* item = new QTableWidgetItem();
            if (col < fixedCols) {
                item->setFlags(Qt::ItemIsEnabled);
                item->setBackground(fixedBrush);
            }
            setItem(row, col, item);
        }
    }
    Filling = false;
}

void TStringGrid::SetColWidths(const std::vector<int>& widths) {
    for (int col = 0; col < static_cast<int>(widths.size()) && col < columnCount(); ++col)
        setColumnWidth(col, widths[col]);
}

void TStringGrid::SetDefaultRowHeight(int height) {
    verticalHeader()->setMinimumSectionSize(height);
    verticalHeader()->setDefaultSectionSize(height);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setFixedHeight(height);
}

QTableWidgetItem* TStringGrid::CellItem(int col, int row) const {
    if (col < 0 || col >= columnCount() || row < 0 || row > rowCount()) return nullptr;
    return row == 0 ? horizontalHeaderItem(col) : item(row - 1, col);
}

QString TStringGrid::Cells(int col, int row) const {
    const QTableWidgetItem* cell = CellItem(col, row);
    return cell ? cell->text() : QString();
}

void TStringGrid::SetCells(int col, int row, const QString& text) {
    QTableWidgetItem* cell = CellItem(col, row);
    if (!cell || cell->text() == text) return;
    Filling = true;
    cell->setText(text);
    Filling = false;
}

void TStringGrid::SelectCell(int col, int row) {
    if (row >= 1) setCurrentCell(row - 1, col);
}

void TStringGrid::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        // The right button acts on the focused cell; it must not move the focus first.
        emit RightMouseDown();
        event->accept();
        return;
    }
    const QModelIndex before = currentIndex();
    QTableWidget::mousePressEvent(event);
    PressMovedFocus = currentIndex() != before;
}

} // namespace AppUi
