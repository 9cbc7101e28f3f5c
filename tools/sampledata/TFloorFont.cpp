#include "tools/sampledata/TFloorFont.h"

#include "tools/sampledata/MonoImage.h"
#include "tools/sampledata/TSegmentFont.h"
#include "tools/sampledata/TextOutline.h"

#include <algorithm>

namespace SampleData {

namespace {

constexpr double Margin = 2;       // free columns left and right of a glyph
constexpr double OutlinePen = 3.2; // stroke width of the outline style
constexpr double SegmentBar = 8;   // bar width of the segment style

struct TFontStyle {
    TFontFace Face;
    double CapHeight; // pixels
    double Baseline;  // y of the baseline in the glyph
    double Narrowing; // width factor against the face's own proportions
};

TFontStyle FontStyle(int style) {
    switch (style) {
    case 1:
        return {TFontFace::SerifBold, 64, 72, 1.0};
    case 2:
        return {TFontFace::SansBold, 62, 71, 1.0};
    case 3:
        return {TFontFace::SansCondensedBold, 70, 75, 0.62};
    default:
        return {TFontFace::SansBold, 66, 73, 1.0};
    }
}

// Moves (and if need be shrinks) a placed glyph so that it keeps clear of the cell's top and
// bottom rows: descenders (J, Q) rise above the bottom edge instead of being cut.
QPainterPath KeptInside(const QPainterPath& path, double top, double bottom) {
    QRectF r = path.boundingRect();
    QPainterPath out = path;
    if (r.height() > bottom - top) {
        QTransform t;
        t.translate(r.center().x(), r.top());
        t.scale(1.0, (bottom - top) / r.height());
        t.translate(-r.center().x(), -r.top());
        out = t.map(out);
        r = out.boundingRect();
    }
    if (r.bottom() > bottom) out.translate(0, bottom - r.bottom());
    if (r.top() < top) out.translate(0, top - r.top());
    return out;
}

} // namespace

TFloorFont::TFloorFont(const TSampleFonts& fonts, int style) : Fonts(fonts), Style(style) {}

const char* TFloorFont::StyleName(int style) {
    static const char* names[StyleCount] = {"bold", "serif", "outline", "condensed", "segment"};
    return names[style];
}

QString TFloorFont::Characters() {
    return QStringLiteral("-0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ");
}

QPainterPath TFloorFont::GlyphOutline(QChar c) const {
    if (Style == 4)
        return TSegmentFont(SegmentBar).Glyph(c, QRectF(6, 5, GlyphWidth - 12, GlyphHeight - 10));
    const TFontStyle fs = FontStyle(Style);
    const QRawFont& font = Fonts.Font(fs.Face);
    const QPainterPath outline = TextOutline(font, QString(c));
    const QRectF r = outline.boundingRect();
    const double sy = fs.CapHeight / CapHeight(font);
    const double room = GlyphWidth - 2 * Margin - (Style == 2 ? OutlinePen : 0);
    const double sx = std::min(sy * fs.Narrowing, room / r.width());
    QTransform t;
    t.scale(sx, sy);
    QPainterPath scaled = t.map(outline);
    const QRectF s = scaled.boundingRect();
    // Centred across; on the common baseline, except the dash, which sits at mid-height.
    const double dy = c == '-' ? (fs.Baseline - fs.CapHeight / 2) - s.center().y() : fs.Baseline;
    const double pen = Style == 2 ? OutlinePen / 2 : 0;
    return KeptInside(scaled.translated(GlyphWidth / 2.0 - s.center().x(), dy), 2 + pen,
                      GlyphHeight - 2 - pen);
}

QPainterPath TFloorFont::LabelOutline(const QString& text, const QRectF& box) const {
    if (Style == 4) {
        const int n = static_cast<int>(text.size());
        const double pitch = box.width() / n;
        const double cellW = std::min(40.0, pitch - 4);
        const double cellH = std::min(box.height() - 4, cellW * 1.8);
        const double bar = std::max(3.0, std::min(SegmentBar, cellW / 5));
        QPainterPath path;
        for (int i = 0; i < n; ++i) {
            const double x = box.left() + i * pitch + (pitch - cellW) / 2;
            const QRectF cell(x, box.center().y() - cellH / 2, cellW, cellH);
            path.addPath(TSegmentFont(bar).Glyph(text[i], cell));
        }
        return path;
    }
    const TFontStyle fs = FontStyle(Style);
    const QRawFont& font = Fonts.Font(fs.Face);
    QTransform narrow;
    narrow.scale(fs.Narrowing, 1);
    return FittedOutline(narrow.map(TextOutline(font, text)), CapHeight(font), box,
                         fs.CapHeight / GlyphHeight);
}

QImage TFloorFont::Render(const QPainterPath& path, int width, int height) const {
    QImage canvas = NewCanvas(width, height);
    if (Style == 2)
        StrokeBlack(canvas, path, OutlinePen);
    else
        FillBlack(canvas, path);
    return ToMono(canvas);
}

QImage TFloorFont::Glyph(QChar c) const {
    return Render(GlyphOutline(c), GlyphWidth, GlyphHeight);
}

QImage TFloorFont::Label(const QString& text, int width, int height) const {
    const double pad = Style == 2 ? 4 : 3;
    return Render(LabelOutline(text, QRectF(pad, pad, width - 2 * pad, height - 2 * pad)), width,
                  height);
}

} // namespace SampleData
