#include "app/ui/TImage.h"

#include "app/core/qt/PictureImage.h"
#include "rom/PictureWarnings.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace AppUi {

TImage::TImage(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

bool TImage::LoadFromFile(const QString& fileName) {
    QImage loaded;
    if (fileName.isEmpty() || !loaded.load(fileName)) return false;
    SetPicture(loaded);
    return true;
}

void TImage::SetPicture(const QImage& picture) {
    Canvas = picture;
    PictureChanged();
}

void TImage::ClearPicture() {
    Canvas = QImage();
    PictureChanged();
}

void TImage::PictureChanged() {
    DisplayCanvas = QImage();
    update();
}

void TImage::SetDisplayView(bool on, bool vertical) {
    if (on == DisplayView && vertical == Vertical) return;
    DisplayView = on;
    Vertical = vertical;
    PictureChanged();
}

const QImage& TImage::ShownPicture() const {
    if (!DisplayView || Canvas.isNull()) return Canvas;
    if (DisplayCanvas.isNull())
        DisplayCanvas = AppCore::ToQImage(Rom::DisplayedPicture(
            AppCore::FromQImage(Canvas),
            Vertical ? Rom::TDisplayType::Vertical : Rom::TDisplayType::Horizontal));
    return DisplayCanvas;
}

void TImage::SetEmptyHint(const QString& hint) {
    EmptyHint = hint;
    if (toolTip().isEmpty()) setToolTip(hint); // the form's own hint stays
    update();
}

QImage& TImage::PrepareCanvas(int width, int height) {
    if (Canvas.size() != QSize(width, height) || Canvas.format() != QImage::Format_RGB32)
        Canvas = QImage(width, height, QImage::Format_RGB32);
    Canvas.fill(Qt::white);
    return Canvas;
}

void TImage::setProportional(bool on) {
    ScaleToFit = on;
    update();
}

QSize TImage::sizeHint() const {
    return minimumSize().isEmpty() ? QSize(32, 32) : minimumSize();
}

void TImage::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    PaintPicture(painter);
    if (hasFocus()) {
        // The box chosen with Tab: Enter or Space picks its picture.
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
        painter.drawRect(rect().adjusted(1, 1, -1, -1));
    }
}

void TImage::PaintPicture(QPainter& painter) {
    if (Canvas.isNull()) {
        if (EmptyHint.isEmpty()) return;
        painter.setPen(QPen(palette().color(QPalette::Mid), 1, Qt::DashLine));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
        painter.setPen(palette().color(QPalette::PlaceholderText));
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap, EmptyHint);
        return;
    }
    const QImage& shown = ShownPicture();
    const bool tooBig = shown.width() > width() || shown.height() > height();
    if (ScaleToFit && tooBig) {
        const QImage scaled = shown.scaled(size(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
        painter.drawImage(QPoint((width() - scaled.width()) / 2, 0), scaled);
    } else {
        // Clipped to the widget: a picture larger than the box shows its top-left part.
        painter.drawImage(QPoint(0, 0), shown);
    }
}

void TImage::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (focusPolicy() & Qt::TabFocus) {
            emit KeyActivated();
            event->accept();
            return;
        }
        break;
    default:
        break;
    }
    QWidget::keyPressEvent(event);
}

void TImage::focusInEvent(QFocusEvent* event) {
    update();
    QWidget::focusInEvent(event);
}

void TImage::focusOutEvent(QFocusEvent* event) {
    update();
    QWidget::focusOutEvent(event);
}

void TImage::mousePressEvent(QMouseEvent* event) {
    Pressed = event->button() == Qt::LeftButton;
    QWidget::mousePressEvent(event);
}

void TImage::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = Pressed && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    Pressed = false;
    if (click) emit Click();
    QWidget::mouseReleaseEvent(event);
}

void TImage::mouseDoubleClickEvent(QMouseEvent* event) {
    // The base class would treat the second press as a new press and so a second Click.
    if (event->button() == Qt::LeftButton) emit DblClick();
    event->accept();
}

} // namespace AppUi
