#include "tools/sampledata/TextOutline.h"

#include "tools/sampledata/MonoImage.h"

#include <QImage>
#include <QPainter>

#include <algorithm>

namespace SampleData {

QPainterPath TextOutline(const QRawFont& font, const QString& text) {
    const QList<quint32> glyphs = font.glyphIndexesForString(text);
    const QList<QPointF> advances = font.advancesForGlyphIndexes(glyphs);
    QPainterPath path;
    QPointF pen(0, 0);
    for (qsizetype i = 0; i < glyphs.size(); ++i) {
        path.addPath(font.pathForGlyph(glyphs[i]).translated(pen));
        pen += advances[i];
    }
    return path;
}

double CapHeight(const QRawFont& font) {
    return TextOutline(font, QStringLiteral("H")).boundingRect().height();
}

QPainterPath CentredIn(const QPainterPath& path, const QRectF& box, double sx, double sy) {
    QTransform scale;
    scale.scale(sx, sy);
    const QPainterPath scaled = scale.map(path);
    const QRectF r = scaled.boundingRect();
    return scaled.translated(box.center() - r.center());
}

QPainterPath FittedText(const QRawFont& font, const QString& text, const QRectF& box,
                        double capFraction) {
    return FittedOutline(TextOutline(font, text), CapHeight(font), box, capFraction);
}

QPainterPath FittedOutline(const QPainterPath& outline, double capHeight, const QRectF& box,
                           double capFraction) {
    const QRectF r = outline.boundingRect();
    if (r.isEmpty()) return {};
    double sy = std::min(box.height() * capFraction / capHeight, box.height() / r.height());
    double sx = sy;
    const double widthScale = box.width() / r.width();
    if (widthScale < sx) {
        sx = widthScale;
        sy = std::min(sy, sx / 0.75);
    }
    return CentredIn(outline, box, sx, sy);
}

QPainterPath CellGlyph(const QRawFont& font, QChar c, const QRectF& cell, double capPx,
                       double baseline) {
    const QPainterPath outline = TextOutline(font, QString(c));
    const QRectF r = outline.boundingRect();
    if (r.isEmpty()) return {};
    const double sy = capPx / CapHeight(font);
    const double sx = std::min(sy, (cell.width() - 1) / r.width());
    QTransform t;
    t.scale(sx, sy);
    const QPainterPath scaled = t.map(outline);
    return scaled.translated(cell.center().x() - scaled.boundingRect().center().x(), baseline);
}

QImage CellGlyphImage(const QRawFont& font, QChar c, int width, int height, double capPx,
                      double baseline) {
    QImage canvas = NewCanvas(width, height);
    FillBlack(canvas, CellGlyph(font, c, QRectF(0, 0, width, height), capPx, baseline));
    return ToMono(canvas);
}

QImage TextImage(const QRawFont& font, const QString& text, int width, int height,
                 double capFraction, double pad) {
    QImage canvas = NewCanvas(width, height);
    FillBlack(canvas, FittedText(font, text, QRectF(pad, pad, width - 2 * pad, height - 2 * pad),
                                 capFraction));
    return ToMono(canvas);
}

void FillBlack(QImage& canvas, const QPainterPath& path) {
    QPainter p(&canvas);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.fillPath(path, Qt::black);
}

void StrokeBlack(QImage& canvas, const QPainterPath& path, double width) {
    QPainter p(&canvas);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(Qt::black, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
}

} // namespace SampleData
