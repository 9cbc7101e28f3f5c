#include "tools/sampledata/TSegmentFont.h"

#include <QPainterPathStroker>

#include <cstdint>

namespace SampleData {

namespace {

enum : uint32_t {
    SegA = 1 << 0,   // top
    SegB = 1 << 1,   // upper right
    SegC = 1 << 2,   // lower right
    SegD = 1 << 3,   // bottom
    SegE = 1 << 4,   // lower left
    SegF = 1 << 5,   // upper left
    SegG1 = 1 << 6,  // middle, left half
    SegG2 = 1 << 7,  // middle, right half
    SegI = 1 << 8,   // centre, upper
    SegL = 1 << 9,   // centre, lower
    SegUL = 1 << 10, // diagonal from the upper left corner to the centre
    SegUR = 1 << 11, // diagonal from the upper right corner to the centre
    SegLL = 1 << 12, // diagonal from the centre to the lower left corner
    SegLR = 1 << 13, // diagonal from the centre to the lower right corner
    SegG = SegG1 | SegG2,
};

uint32_t DigitSegments(char c) {
    static const uint32_t digits[10] = {
        SegA | SegB | SegC | SegD | SegE | SegF | SegUR | SegLL, // slashed zero, unlike O
        SegB | SegC,
        SegA | SegB | SegG | SegE | SegD,
        SegA | SegB | SegG | SegC | SegD,
        SegF | SegG | SegB | SegC,
        SegA | SegF | SegG | SegC | SegD,
        SegA | SegF | SegG | SegE | SegD | SegC,
        SegA | SegB | SegC,
        SegA | SegB | SegC | SegD | SegE | SegF | SegG,
        SegA | SegB | SegC | SegD | SegF | SegG,
    };
    return digits[c - '0'];
}

uint32_t LetterSegments(char c) {
    static const uint32_t letters[26] = {
        SegA | SegB | SegC | SegE | SegF | SegG,         // A
        SegA | SegB | SegC | SegD | SegI | SegL | SegG2, // B
        SegA | SegD | SegE | SegF,                       // C
        SegA | SegB | SegC | SegD | SegI | SegL,         // D
        SegA | SegD | SegE | SegF | SegG1,               // E
        SegA | SegE | SegF | SegG1,                      // F
        SegA | SegC | SegD | SegE | SegF | SegG2,        // G
        SegB | SegC | SegE | SegF | SegG,                // H
        SegA | SegD | SegI | SegL,                       // I
        SegB | SegC | SegD | SegE,                       // J
        SegE | SegF | SegG1 | SegUR | SegLR,             // K
        SegD | SegE | SegF,                              // L
        SegB | SegC | SegE | SegF | SegUL | SegUR,       // M
        SegB | SegC | SegE | SegF | SegUL | SegLR,       // N
        SegA | SegB | SegC | SegD | SegE | SegF,         // O
        SegA | SegB | SegE | SegF | SegG,                // P
        SegA | SegB | SegC | SegD | SegE | SegF | SegLR, // Q
        SegA | SegB | SegE | SegF | SegG | SegLR,        // R
        SegA | SegUL | SegG2 | SegC | SegD,              // S (a diagonal, unlike 5)
        SegA | SegI | SegL,                              // T
        SegB | SegC | SegD | SegE | SegF,                // U
        SegE | SegF | SegLL | SegUR,                     // V
        SegB | SegC | SegE | SegF | SegLL | SegLR,       // W
        SegUL | SegUR | SegLL | SegLR,                   // X
        SegUL | SegUR | SegL,                            // Y
        SegA | SegD | SegUR | SegLL,                     // Z
    };
    return letters[c - 'A'];
}

uint32_t SegmentsOf(QChar qc) {
    const char c = qc.toUpper().toLatin1();
    if (c >= '0' && c <= '9') return DigitSegments(c);
    if (c >= 'A' && c <= 'Z') return LetterSegments(c);
    if (c == '-') return SegG;
    return 0;
}

// A bar with pointed ends from p to q (horizontal or vertical), thickness t.
QPolygonF Bar(QPointF p, QPointF q, double t) {
    const double h = t / 2;
    if (p.y() == q.y())
        return QPolygonF({p,
                          {p.x() + h, p.y() - h},
                          {q.x() - h, q.y() - h},
                          q,
                          {q.x() - h, q.y() + h},
                          {p.x() + h, p.y() + h}});
    return QPolygonF({p,
                      {p.x() + h, p.y() + h},
                      {q.x() + h, q.y() - h},
                      q,
                      {q.x() - h, q.y() - h},
                      {p.x() - h, p.y() + h}});
}

QPainterPath Diagonal(QPointF p, QPointF q, double t) {
    QPainterPath line(p);
    line.lineTo(q);
    QPainterPathStroker stroker;
    stroker.setWidth(t * 0.8);
    stroker.setCapStyle(Qt::FlatCap);
    return stroker.createStroke(line);
}

} // namespace

bool TSegmentFont::Has(QChar c) {
    return c == ' ' || SegmentsOf(c) != 0;
}

QPainterPath TSegmentFont::Glyph(QChar c, const QRectF& cell) const {
    const uint32_t segs = SegmentsOf(c);
    const double t = Thickness, gap = t * 0.2;
    const double left = cell.left() + t / 2, right = cell.right() - t / 2;
    const double top = cell.top() + t / 2, bottom = cell.bottom() - t / 2;
    const double mid = (top + bottom) / 2, cx = (left + right) / 2;
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    auto bar = [&](uint32_t seg, QPointF p, QPointF q) {
        if (segs & seg) path.addPolygon(Bar(p, q, t));
    };
    bar(SegA, {left + gap, top}, {right - gap, top});
    bar(SegD, {left + gap, bottom}, {right - gap, bottom});
    bar(SegG1, {left + gap, mid}, {cx - gap, mid});
    bar(SegG2, {cx + gap, mid}, {right - gap, mid});
    bar(SegF, {left, top + gap}, {left, mid - gap});
    bar(SegE, {left, mid + gap}, {left, bottom - gap});
    bar(SegB, {right, top + gap}, {right, mid - gap});
    bar(SegC, {right, mid + gap}, {right, bottom - gap});
    bar(SegI, {cx, top + gap}, {cx, mid - gap});
    bar(SegL, {cx, mid + gap}, {cx, bottom - gap});
    const double in = t * 0.9;
    auto diagonal = [&](uint32_t seg, QPointF p, QPointF q) {
        if (segs & seg) path.addPath(Diagonal(p, q, t));
    };
    diagonal(SegUL, {left + in, top + in}, {cx - in * 0.6, mid - in * 0.6});
    diagonal(SegUR, {right - in, top + in}, {cx + in * 0.6, mid - in * 0.6});
    diagonal(SegLL, {cx - in * 0.6, mid + in * 0.6}, {left + in, bottom - in});
    diagonal(SegLR, {cx + in * 0.6, mid + in * 0.6}, {right - in, bottom - in});
    return path;
}

} // namespace SampleData
