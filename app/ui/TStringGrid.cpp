#include "app/ui/TStringGrid.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QMouseEvent>
#include <QStyledItemDelegate>
#include <QValidator>

namespace AppUi {

namespace {

// Refuses text the display cannot show.
class TDisplayTextValidator : public QValidator {
public:
    TDisplayTextValidator(QObject* parent, TStringGrid* grid) : QValidator(parent), Grid(grid) {}
    State validate(QString& input, int&) const override {
        if (TStringGrid::IsDisplayText(input)) return Acceptable;
        emit Grid->TextRefused();
        return Invalid;
    }

private:
    TStringGrid* Grid;
};

// The cell editor: reports each keystroke and takes only display text.
class TCellDelegate : public QStyledItemDelegate {
public:
    explicit TCellDelegate(TStringGrid* grid) : QStyledItemDelegate(grid), Grid(grid) {}
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* line = qobject_cast<QLineEdit*>(editor)) {
            line->setValidator(new TDisplayTextValidator(line, Grid));
            TStringGrid* grid = Grid;
            QObject::connect(line, &QLineEdit::textEdited, grid, [grid, index](const QString& t) {
                emit grid->CellTextChanging(index.column(), index.row() + 1, t);
            });
        }
        return editor;
    }

private:
    TStringGrid* Grid;
};

} // namespace

bool TStringGrid::IsDisplayText(const QString& text) {
    for (QChar c : text)
        if (c.unicode() < 0x20 || c.unicode() > 0x7E) return false;
    return true;
}

TStringGrid::TStringGrid(QWidget* parent) : QTableView(parent), Cells_(this) {
    setModel(&Cells_);
    setItemDelegate(new TCellDelegate(this));
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
