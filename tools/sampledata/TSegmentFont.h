#pragma once
// A segment-display face: digits on the seven segments of a classic display, letters on the
// fourteen segments of a starburst display (the seven, the middle bar split in two, two centre
// verticals and four diagonals).

#include <QChar>
#include <QPainterPath>
#include <QRectF>

namespace SampleData {

class TSegmentFont {
public:
    // thickness: bar width in pixels.
    explicit TSegmentFont(double thickness) : Thickness(thickness) {}

    // True for the characters the face has: 0-9, A-Z, '-' and blank.
    static bool Has(QChar c);
    // Outline of the lit segments of c, filling cell.
    QPainterPath Glyph(QChar c, const QRectF& cell) const;

private:
    double Thickness;
};

} // namespace SampleData
