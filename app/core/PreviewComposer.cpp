#include "app/core/PreviewComposer.h"

#include "app/core/CodeCell.h"

#include "XVclUtil/FileUtil.h"
#include "app/core/PictureDecode.h"

#include <QString>
#include <algorithm>
#include <optional>

namespace AppCore {

namespace {

constexpr int CentreX = (PreviewWidth - GlyphWidth) / 2; // 28

std::optional<QImage> LoadGlyph(const TPictureLibrary& library, const TPreviewGlyph& glyph) {
    const std::span<const uint8_t> bytes = library.Picture(glyph.Group, glyph.Index);
    QImage image = AppCore::DecodePicture(bytes);
    if (image.isNull()) return std::nullopt;
    return image;
}

// Copies up to 56 x 80 pixels of the glyph to the canvas at x, pixel by pixel.
void CopyGlyph(QImage& canvas, const QImage& glyph, int x) {
    const int width = std::min(glyph.width(), GlyphWidth);
    const int height = std::min(glyph.height(), GlyphHeight);
    for (int gy = 0; gy < height && gy < canvas.height(); ++gy)
        for (int gx = 0; gx < width && x + gx < canvas.width(); ++gx)
            canvas.setPixel(x + gx, gy, glyph.pixel(gx, gy));
}

std::string GlyphName(const TPreviewGlyph& glyph) {
    return "(" + std::to_string(glyph.Group) + ", " + std::to_string(glyph.Index) + ")";
}

} // namespace

TPreviewPlan PlanPreview(const std::string& cell, int defFl, const std::string& floorStylePrefix) {
    TPreviewPlan plan;
    std::string text = NormaliseCell(cell);
    if (text.size() == 2 && text[0] == '0') text.erase(0, 1);
    const int group = defFl + 1;
    if (text.empty()) {
        plan.Kind = TPreviewPlan::Clear;
    } else if (text.size() == 1) {
        plan.Kind = TPreviewPlan::OneGlyph;
        plan.Glyphs.push_back({group, static_cast<unsigned char>(text[0]), CentreX});
    } else if (text.size() == 2) {
        plan.Kind = TPreviewPlan::TwoGlyphs;
        plan.Glyphs.push_back({group, static_cast<unsigned char>(text[0]), 0});
        plan.Glyphs.push_back({group, static_cast<unsigned char>(text[1]), GlyphWidth});
    } else {
        plan.Kind = TPreviewPlan::Picture;
        plan.PicturePath = FloorPicturePath(floorStylePrefix, defFl, text);
    }
    return plan;
}

QImage BlankPreview() {
    QImage canvas(PreviewCanvasWidth, PreviewHeight, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    return canvas;
}

bool RenderPreview(QImage& canvas, const TPreviewPlan& plan, const TPictureLibrary& library,
                   std::string* failedName) {
    if (canvas.size() != QSize(PreviewCanvasWidth, PreviewHeight) ||
        canvas.format() != QImage::Format_RGB32)
        canvas = BlankPreview();
    if (plan.Kind == TPreviewPlan::Clear) {
        canvas.fill(Qt::white);
        return true;
    }
    if (plan.Kind == TPreviewPlan::Picture) {
        const std::string path = XVclUtil::ResolveFileCase(plan.PicturePath);
        if (!XVclUtil::FileExists(path))
            return true; // a missing floor picture leaves the preview as it is
        const QImage picture(QString::fromStdString(path));
        if (picture.isNull()) {
            if (failedName) *failedName = plan.PicturePath;
            return false;
        }
        QImage shown = BlankPreview();
        for (int y = 0; y < std::min(picture.height(), PreviewHeight); ++y)
            for (int x = 0; x < std::min(picture.width(), PreviewCanvasWidth); ++x)
                shown.setPixel(x, y, picture.pixel(x, y));
        canvas = shown;
        return true;
    }
    std::vector<QImage> glyphs;
    for (const TPreviewGlyph& glyph : plan.Glyphs) {
        std::optional<QImage> image = LoadGlyph(library, glyph);
        if (!image) {
            if (failedName) *failedName = GlyphName(glyph);
            return false;
        }
        glyphs.push_back(std::move(*image));
    }
    if (plan.Kind == TPreviewPlan::OneGlyph) canvas.fill(Qt::white);
    for (std::size_t i = 0; i < glyphs.size(); ++i) CopyGlyph(canvas, glyphs[i], plan.Glyphs[i].X);
    return true;
}

} // namespace AppCore
