#pragma once
// The code grid's preview (Image2): which floor-font glyphs or which floor picture show the
// selected cell, and their drawing on the 120 x 80 preview canvas.

#include "app/core/TPictureLibrary.h"

#include <QImage>
#include <string>
#include <vector>

namespace AppCore {

constexpr int PreviewWidth = 112;       // visible width
constexpr int PreviewCanvasWidth = 120; // painted width
constexpr int PreviewHeight = 80;
constexpr int GlyphWidth = 56;
constexpr int GlyphHeight = 80;

struct TPreviewGlyph {
    int Group = 0; // floor style + 1
    int Index = 0; // character code
    int X = 0;     // left edge on the preview
};

struct TPreviewPlan {
    enum TKind { Clear, OneGlyph, TwoGlyphs, Picture } Kind = Clear;
    std::vector<TPreviewGlyph> Glyphs; // OneGlyph: one at x 28; TwoGlyphs: at x 0 and 56
    std::string PicturePath;           // Picture: the floor picture (may not exist)
};

TPreviewPlan PlanPreview(const std::string& cell, int defFl, const std::string& floorStylePrefix);

// A white canvas of 120 x 80.
QImage BlankPreview();

// Draws the plan on the canvas. Returns false, leaving the canvas unchanged, when a glyph
// has no picture in the library (or no library is loaded) or cannot be read as a picture; then
// failedName names what failed. A floor picture that does not exist leaves the canvas unchanged
// and returns true.
bool RenderPreview(QImage& canvas, const TPreviewPlan& plan, const TPictureLibrary& library,
                   std::string* failedName = nullptr);

} // namespace AppCore
