#pragma once
// The five floor-number styles of the display: one 56 x 80 glyph per character, and floor
// pictures (labels of three or more characters) drawn in the same style.

#include "tools/sampledata/TSampleFonts.h"

#include <QImage>
#include <QPainterPath>
#include <QString>

namespace SampleData {

class TFloorFont {
public:
    static constexpr int StyleCount = 5;
    static constexpr int GlyphWidth = 56;
    static constexpr int GlyphHeight = 80;

    // style 0 bold sans, 1 bold serif, 2 outline, 3 condensed, 4 segment display.
    TFloorFont(const TSampleFonts& fonts, int style);

    static const char* StyleName(int style);
    // The characters every style has a glyph for: '-', the digits and the capital letters.
    static QString Characters();

    // 56 x 80 glyph of c, on its baseline, centred across.
    QImage Glyph(QChar c) const;
    // text drawn across a width x height picture in this style (floor pictures).
    QImage Label(const QString& text, int width, int height) const;

private:
    QPainterPath GlyphOutline(QChar c) const;
    QPainterPath LabelOutline(const QString& text, const QRectF& box) const;
    QImage Render(const QPainterPath& path, int width, int height) const;

    const TSampleFonts& Fonts;
    int Style;
};

} // namespace SampleData
