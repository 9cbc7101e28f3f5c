#pragma once
// A picture box: shows one picture at a fixed box size and lets single pixels be read and
// written. A picture larger than the box is cropped at the box's right and bottom edges (or,
// with Proportional set, scaled down to fit), so a big file never stretches the window.

#include <QImage>
#include <QString>
#include <QWidget>

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
    void CanvasChanged() { update(); }

    bool Proportional() const { return ScaleToFit; }
    void setProportional(bool on);

    QSize sizeHint() const override;

signals:
    void Click();
    void DblClick();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QImage Canvas;
    bool ScaleToFit = false;
    bool Pressed = false;
};

} // namespace AppUi
