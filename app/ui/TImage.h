#pragma once
// A picture box: shows one picture at a fixed box size and lets single pixels be read and
// written. A picture larger than the box is cropped at the box's right and bottom edges (or,
// with Proportional set, scaled down to fit), so a big file never stretches the window.

#include <QImage>
#include <QString>
#include <QWidget>

class QPainter;

namespace AppUi {

class TImage : public QWidget {
    Q_OBJECT
    Q_PROPERTY(bool Proportional READ Proportional WRITE setProportional)

public:
    explicit TImage(QWidget* parent = nullptr);

    // Loads a picture file; false when it cannot be read as a picture (the box keeps its
    // picture).
    bool LoadFromFile(const QString& fileName);
    void SetPicture(const QImage& picture);
    const QImage& Picture() const { return Canvas; }
    bool HasPicture() const { return !Canvas.isNull(); }
    void ClearPicture();

    // Drawing surface of the given size, painted white; keeps the picture when it already has
    // that size and format.
    QImage& PrepareCanvas(int width, int height);
    // Shows changes made to the canvas returned by PrepareCanvas.
    void CanvasChanged() { PictureChanged(); }

    // On: the box draws its picture as the display will show it (only pure black pixels, rows
    // padded to a multiple of 8 as on a Vertical or Horizontal display).
    void SetDisplayView(bool on, bool vertical);
    // What the box draws: the picture, or its display view.
    const QImage& ShownPicture() const;
    // Drawn with a dashed frame while the box has no picture, so that it can be found.
    void SetEmptyHint(const QString& hint);

    bool Proportional() const { return ScaleToFit; }
    void setProportional(bool on);

    QSize sizeHint() const override;

signals:
    void Click();
    void DblClick();
    // Enter, Return or Space while the box has the focus (boxes that take the focus by Tab).
    void KeyActivated();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void PictureChanged();
    void PaintPicture(QPainter& painter);

    QImage Canvas;
    bool DisplayView = false;
    bool Vertical = false;
    mutable QImage DisplayCanvas; // Canvas as on the display; null until drawn
    QString EmptyHint;
    bool ScaleToFit = false;
    bool Pressed = false;
};

} // namespace AppUi
