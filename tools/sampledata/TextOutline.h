#pragma once
// Text as outlines: glyphs of a raw font laid out along the baseline, then scaled into the box
// of a picture. Working on outlines (not on the platform's text renderer) keeps the pictures
// independent of font configuration and hinting.

#include <QImage>
#include <QPainterPath>
#include <QRawFont>
#include <QRectF>
#include <QString>

namespace SampleData {

// Outline of text at the font's pixel size: baseline at y = 0, first pen position at x = 0.
QPainterPath TextOutline(const QRawFont& font, const QString& text);
// Height of the capital H of the font, in the font's pixels.
double CapHeight(const QRawFont& font);

// Scales path by (sx, sy) and moves its bounding box so that it is centred in box.
QPainterPath CentredIn(const QPainterPath& path, const QRectF& box, double sx, double sy);

// Text centred in box: capitals fill capFraction of the box height when the width allows; wide
// text is first narrowed (down to three quarters of its width) and then made smaller.
QPainterPath FittedText(const QRawFont& font, const QString& text, const QRectF& box,
                        double capFraction = 0.7);
// The same for an outline already made, whose capitals are capHeight high.
QPainterPath FittedOutline(const QPainterPath& outline, double capHeight, const QRectF& box,
                           double capFraction);

// One character in a fixed cell: capitals capPx high on the baseline at y = baseline,
// centred across the cell and narrowed when wider than it.
QPainterPath CellGlyph(const QRawFont& font, QChar c, const QRectF& cell, double capPx,
                       double baseline);
// CellGlyph drawn into a 1-bit picture of the cell's size.
QImage CellGlyphImage(const QRawFont& font, QChar c, int width, int height, double capPx,
                      double baseline);

// FittedText drawn into a 1-bit width x height picture, pad pixels kept free all round.
QImage TextImage(const QRawFont& font, const QString& text, int width, int height,
                 double capFraction = 0.7, double pad = 1);

// Fills the path black on the canvas, antialiased.
void FillBlack(QImage& canvas, const QPainterPath& path);
// Strokes the outline of the path black with the given pen width, antialiased.
void StrokeBlack(QImage& canvas, const QPainterPath& path, double width);

} // namespace SampleData
