#include "tools/sampledata/TArrowStyle.h"

#include "tools/sampledata/MonoImage.h"

#include <QPainter>

#include <array>

namespace SampleData {

namespace {

constexpr double W = TArrowStyle::Width;
constexpr double H = TArrowStyle::Height;
constexpr double Step = H / TArrowStyle::FrameCount; // scroll distance per frame

QPainterPath Polygon(std::initializer_list<QPointF> points) {
    QPainterPath path;
    path.addPolygon(QPolygonF(points));
    path.closeSubpath();
    return path;
}

QPainterPath BlockArrow(double top, double bottom) {
    const double neck = top + (bottom - top) * 0.45;
    return Polygon(
        {{24, top}, {44, neck}, {33, neck}, {33, bottom}, {15, bottom}, {15, neck}, {4, neck}});
}

QPainterPath SlimArrow() {
    return Polygon({{24, 4}, {41, 26}, {27.5, 26}, {27.5, 60}, {20.5, 60}, {20.5, 26}, {7, 26}});
}

QPainterPath Triangle(double top, double bottom, double halfWidth) {
    return Polygon({{24, top}, {24 + halfWidth, bottom}, {24 - halfWidth, bottom}});
}

// A chevron pointing up whose tip is at y = tip; arm thickness t (vertical).
QPainterPath Chevron(double tip, double height, double t) {
    return Polygon({{24, tip},
                    {44, tip + height},
                    {44, tip + height + t},
                    {24, tip + t},
                    {4, tip + height + t},
                    {4, tip + height}});
}

// The shape repeated one picture height apart, moved up by offset: it scrolls and wraps.
QPainterPath Scrolled(const QPainterPath& shape, double offset) {
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    path.addPath(shape.translated(0, -offset));
    path.addPath(shape.translated(0, H - offset));
    return path;
}

QPainterPath Scaled(const QPainterPath& shape, double factor) {
    QTransform t;
    t.translate(W / 2, H / 2);
    t.scale(factor, factor);
    t.translate(-W / 2, -H / 2);
    return t.map(shape);
}

QPainterPath Clipped(const QPainterPath& shape, const QRectF& keep) {
    QPainterPath box;
    box.addRect(keep);
    return shape.intersected(box);
}

QPainterPath Ring(const QPointF& centre, double outer, double inner) {
    QPainterPath path;
    path.addEllipse(centre, outer, outer);
    path.addEllipse(centre, inner, inner);
    return path; // odd-even fill leaves the inside open
}

QPainterPath OutlineOf(const QPainterPath& shape, double width) {
    QPainterPathStroker stroker;
    stroker.setWidth(width);
    stroker.setJoinStyle(Qt::MiterJoin);
    return stroker.createStroke(shape);
}

// Dot matrix: 5 columns, 7 rows; the arrow pattern repeats every 6 rows and moves up one row
// per frame.
QPainterPath DotMatrix(int frame) {
    static const std::array<const char*, 6> pattern = {"..#..", ".###.", "#####",
                                                       "..#..", "..#..", "....."};
    QPainterPath path;
    for (int r = 0; r < 7; ++r)
        for (int c = 0; c < 5; ++c)
            if (pattern[(r + frame) % 6][c] == '#')
                path.addEllipse(QPointF(6 + 9 * c, 5 + 9 * r), 3.8, 3.8);
    return path;
}

// Three chevrons lit in a wave from the bottom up; unlit ones show as outlines.
QPainterPath ChevronWave(int frame) {
    static const bool lit[TArrowStyle::FrameCount][3] = {
        {true, false, false}, {true, true, false},  {true, true, true},
        {false, true, true},  {false, false, true}, {false, false, false}};
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    for (int i = 0; i < 3; ++i) { // i = 0 is the lowest chevron
        const QPainterPath chevron = Chevron(42 - i * 19, 14, 7);
        path.addPath(lit[frame][i] ? chevron : OutlineOf(chevron, 1.6));
    }
    return path;
}

} // namespace

const char* TArrowStyle::StyleName(int style) {
    static const char* names[StyleCount] = {"block, scrolling",   "triangle, scrolling",
                                            "chevron, scrolling", "double chevron, scrolling",
                                            "block, wiping in",   "triangle, filling",
                                            "chevron wave",       "slim arrow, scrolling",
                                            "block, pulsing",     "triangle in a ring",
                                            "arrow over a bar",   "dot matrix, scrolling"};
    return names[style];
}

QImage TArrowStyle::UpFrame(int k) const {
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    switch (Style) {
    case 0:
        path = Scrolled(BlockArrow(2, 62), k * Step);
        break;
    case 1:
        path = Scrolled(Triangle(14, 50, 21), k * Step);
        break;
    case 2:
        path = Scrolled(Chevron(18, 18, 12), k * Step);
        break;
    case 3: {
        QPainterPath two = Chevron(6, 16, 9);
        two.addPath(Chevron(32, 16, 9));
        path = Scrolled(two, k * Step);
        break;
    }
    case 4:
        path = Clipped(BlockArrow(2, 62), QRectF(0, H - (k + 1) * Step, W, H));
        break;
    case 5: {
        const QPainterPath triangle = Triangle(6, 58, 22);
        path = OutlineOf(triangle, 3);
        path.addPath(Clipped(triangle, QRectF(0, H - 6 - k * 52.0 / 5, W, H)));
        break;
    }
    case 6:
        path = ChevronWave(k);
        break;
    case 7:
        path = Scrolled(SlimArrow(), k * Step);
        break;
    case 8:
        path = Scaled(BlockArrow(2, 62), 0.5 + 0.1 * k);
        break;
    case 9: {
        path = Ring(QPointF(24, 32), 23.5, 19.5);
        const QPainterPath inner = Scrolled(Triangle(20, 44, 12), k * Step);
        QPainterPath disc;
        disc.addEllipse(QPointF(24, 32), 17, 17);
        path.addPath(inner.intersected(disc));
        break;
    }
    case 10: {
        path.addRect(4, 55, 40, 6);
        path.addPath(Clipped(Scrolled(BlockArrow(4, 48), k * Step), QRectF(0, 0, W, 51)));
        break;
    }
    default:
        path = DotMatrix(k);
        break;
    }
    QImage canvas = NewCanvas(Width, Height);
    QPainter p(&canvas);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.fillPath(path, Qt::black);
    p.end();
    return ToMono(canvas);
}

QImage TArrowStyle::Frame(int frame, bool up) const {
    const QImage image = UpFrame(frame);
    return up ? image : image.mirrored(false, true);
}

} // namespace SampleData
