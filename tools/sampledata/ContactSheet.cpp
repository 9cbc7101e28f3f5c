#include "tools/sampledata/ContactSheet.h"

#include "tools/sampledata/PictureFormats.h"
#include "tools/sampledata/TextOutline.h"

#include <QPainter>

#include <algorithm>
#include <vector>

namespace SampleData {

namespace {

constexpr int SheetWidth = 1280;
constexpr int Gap = 8;
constexpr int LabelHeight = 11;
const QColor Ink(0, 0, 0);
const QColor Paper(255, 255, 255);
const QColor Frame(200, 200, 210);
const QColor LabelInk(40, 60, 150);

// A decoded record as it appears on the display: rotated records are turned back upright.
QImage RecordPreview(const std::string& bytes, bool rotated) {
    const QImage stored = DecodeMonoRecord(bytes);
    if (stored.isNull() || !rotated) return stored;
    return stored.transformed(QTransform().rotate(90));
}

// Pictures side by side, wrapping after maxWidth, one pixel apart.
QImage Tiled(const std::vector<QImage>& pictures, int maxWidth) {
    int x = 0, y = 0, rowHeight = 0, width = 0;
    std::vector<QPoint> places;
    for (const QImage& p : pictures) {
        if (x > 0 && x + p.width() > maxWidth) {
            x = 0;
            y += rowHeight + 1;
            rowHeight = 0;
        }
        places.emplace_back(x, y);
        x += p.width() + 1;
        width = std::max(width, x);
        rowHeight = std::max(rowHeight, p.height());
    }
    QImage out(std::max(width, 1), std::max(y + rowHeight, 1), QImage::Format_RGB32);
    out.fill(Frame);
    QPainter painter(&out);
    for (std::size_t i = 0; i < pictures.size(); ++i) painter.drawImage(places[i], pictures[i]);
    return out;
}

QImage SetPreview(const std::string& bytes, bool rotated) {
    std::vector<QImage> glyphs;
    for (const auto& [code, record] : DecodePictureSet(bytes)) {
        const QImage g = RecordPreview(record, rotated);
        if (!g.isNull()) glyphs.push_back(g);
    }
    return glyphs.empty() ? QImage() : Tiled(glyphs, 400);
}

QImage BootFontPreview(const std::string& bytes) {
    if (bytes.size() < std::size_t(BootFontSize)) return {};
    std::vector<QImage> glyphs;
    for (int code = 0; code < 256; ++code) glyphs.push_back(DecodeBootFontGlyph(bytes, code));
    return Tiled(glyphs, 16 * (BootFontGlyphWidth + 1));
}

void DrawLabel(QPainter& p, const TSampleFonts& fonts, const QString& text, const QRectF& box,
               const QColor& colour) {
    const QRawFont& font = fonts.Font(TFontFace::Mono);
    const QPainterPath outline = TextOutline(font, text);
    const double s = box.height() * 0.7 / CapHeight(font);
    QTransform t;
    t.translate(box.left(), box.bottom() - box.height() * 0.2);
    t.scale(s, s);
    p.fillPath(t.map(outline), colour);
}

QString GroupTitle(int group) {
    switch (group) {
    case 0:
        return "Group 0: titles, frames, clock digits, status lines, raw fonts, boot font and "
               "screen";
    case 1:
        return "Group 1: FL style 0 glyphs, arrow styles 0 to 11 (up frames, then down frames)";
    case 2:
        return "Group 2: FL style 1 glyphs, PM pictures (BANK 2)";
    case 6:
        return "Group 6: month and week-day names, vertical display";
    case 7:
        return "Group 7: month and week-day names, horizontal display";
    default:
        return QStringLiteral("Group %1: FL style %2 glyphs").arg(group).arg(group - 1);
    }
}

} // namespace

QImage EntryPreview(const TSampleEntry& entry) {
    const std::string& b = entry.Bytes;
    switch (entry.Kind) {
    case TEntryKind::Bmp:
        return QImage::fromData(reinterpret_cast<const uchar*>(b.data()), int(b.size()), "BMP");
    case TEntryKind::RecordRowMajor:
    case TEntryKind::RecordBootScreen:
        return RecordPreview(b, false);
    case TEntryKind::RecordRotated:
        return RecordPreview(b, true);
    case TEntryKind::SetRowMajor:
        return SetPreview(b, false);
    case TEntryKind::SetRotated:
        return SetPreview(b, true);
    case TEntryKind::BootFont:
        return BootFontPreview(b);
    }
    return {};
}

QImage RenderContactSheet(const TSampleLibrary& library, const TSampleFonts& fonts) {
    struct TCell {
        QPoint At;
        QImage Picture;
        QString Label;
    };
    std::vector<TCell> cells;
    std::vector<std::pair<int, QString>> headings; // y, text
    int x = Gap, y = Gap, rowHeight = 0, group = -1;
    for (const auto& [key, entry] : library.Entries()) {
        if (key.first != group) {
            group = key.first;
            y += (x > Gap ? rowHeight + Gap : 0);
            headings.emplace_back(y, GroupTitle(group));
            y += 18;
            x = Gap;
            rowHeight = 0;
        }
        const QImage picture = EntryPreview(entry).convertToFormat(QImage::Format_RGB32);
        const int w = std::max(picture.width(), 40) + 2, h = picture.height() + 2 + LabelHeight;
        if (x > Gap && x + w > SheetWidth - Gap) {
            x = Gap;
            y += rowHeight + Gap;
            rowHeight = 0;
        }
        cells.push_back(
            {QPoint(x, y), picture, QStringLiteral("%1:%2").arg(key.first).arg(key.second)});
        x += w + Gap;
        rowHeight = std::max(rowHeight, h);
    }
    y += rowHeight + Gap;

    QImage sheet(SheetWidth, y, QImage::Format_RGB32);
    sheet.fill(Paper);
    QPainter p(&sheet);
    p.setRenderHint(QPainter::Antialiasing, true);
    for (const auto& [hy, text] : headings)
        DrawLabel(p, fonts, text, QRectF(Gap, hy, SheetWidth, 16), Ink);
    for (const TCell& c : cells) {
        p.setPen(Frame);
        p.drawRect(QRect(c.At, QSize(c.Picture.width() + 1, c.Picture.height() + 1)));
        p.drawImage(c.At + QPoint(1, 1), c.Picture);
        DrawLabel(p, fonts, c.Label,
                  QRectF(c.At.x(), c.At.y() + c.Picture.height() + 2, 60, LabelHeight), LabelInk);
    }
    p.end();
    return sheet;
}

} // namespace SampleData
