// Group 0 of the sample library: the customer titles, the floor-number frames and the date
// and clock digits, which the build encodes; and the raw fonts and configuration entries,
// which it copies unchanged.

#include "tools/sampledata/LibraryContent.h"
#include "tools/sampledata/LibraryLayout.h"
#include "tools/sampledata/MonoImage.h"
#include "tools/sampledata/PictureFormats.h"
#include "tools/sampledata/TextOutline.h"

#include "XVclUtil/Printf.h"

#include <QPainter>

namespace SampleData {

namespace {

QImage TitlePicture(const TSampleFonts& fonts, const QString& text, int width, int height) {
    return TextImage(fonts.Font(TFontFace::SansBold), text, width, height, 0.72, 2);
}

// A rounded double-line frame around the floor number (shown with FL.Frame ON).
QImage FramePicture(int width, int height, double radius) {
    QImage canvas = NewCanvas(width, height);
    QPainter p(&canvas);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(Qt::black, 3));
    p.drawRoundedRect(QRectF(1.5, 1.5, width - 3, height - 3), radius, radius);
    p.setPen(QPen(Qt::black, 1));
    p.drawRoundedRect(QRectF(5.5, 5.5, width - 11, height - 11), radius - 3, radius - 3);
    p.end();
    return ToMono(canvas);
}

// A numbered picture set of one glyph per character code.
std::string GlyphSet(const QRawFont& font, const QString& chars, int width, int height,
                     double capPx, double baseline, TOrientation orientation) {
    std::map<int, std::string> records;
    for (const QChar c : chars)
        records[c.unicode()] =
            MonoRecord(CellGlyphImage(font, c, width, height, capPx, baseline), orientation);
    return PictureSet(records);
}

QString CodeRange(int first, int last) {
    QString s;
    for (int c = first; c <= last; ++c) s += QChar(c);
    return s;
}

struct TRawFont {
    TFontFace Face;
    QString Chars;
    int Width, Height;
    double Cap, Baseline;
    const char* Caption;
};

std::string BootScreen(const TSampleFonts& fonts, int width, int height) {
    QImage canvas = NewCanvas(width, height);
    QPainter p(&canvas);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(Qt::black, 2));
    p.drawRect(QRectF(1, 1, width - 2, height - 2));
    p.end();
    const bool wide = width > height;
    const double line = wide ? 26 : 34;
    const double top = wide ? 14 : 40;
    const QString lines[] = {QStringLiteral("VRC-780AS1"), QStringLiteral("LCD FLOOR"),
                             QStringLiteral("INDICATOR"), QStringLiteral("POWER ON")};
    for (int i = 0; i < 4; ++i) {
        const QRectF box(8, top + i * line, width - 16, line - 6);
        FillBlack(canvas, FittedText(fonts.Font(i == 0 ? TFontFace::SansBold : TFontFace::Sans),
                                     lines[i], box, 0.8));
    }
    return MonoRecord(ToMono(canvas), TOrientation::RowMajor);
}

} // namespace

void AddGroup0Pictures(TSampleLibrary& library, const TSampleFonts& fonts) {
    library.SetPicture(0, Layout::TitleV, TitlePicture(fonts, "KRV ELEVATOR", 128, 24),
                       "customer title V 128 x 24");
    library.SetPicture(0, Layout::TitleH, TitlePicture(fonts, "KRV LIFT", 104, 24),
                       "customer title H 104 x 24");
    QImage title2 = TitlePicture(fonts, "WELCOME", 128, 32);
    library.SetPicture(0, Layout::Title2, title2, "customer title 2 128 x 32");
    library.SetPicture(0, Layout::FrameV, FramePicture(128, 96, 10), "FL frame V 128 x 96");
    library.SetPicture(0, Layout::FrameH, FramePicture(120, 96, 6), "FL frame H 120 x 96");

    const QRawFont& mono = fonts.Font(TFontFace::MonoBold);
    const QString clock = QStringLiteral("0123456789:/- ");
    for (int i = 0; i < clock.size(); ++i)
        library.SetPicture(0, Layout::ClockDigitsFirst + i,
                           CellGlyphImage(mono, clock[i], 16, 24, 17, 21),
                           XVclUtil::Format("clock digit '%c' 16 x 24", clock[i].toLatin1()));
    const char* lines[] = {"IN SERVICE", "DOOR OPENING", "DOOR CLOSING", nullptr,
                           "NEXT STOP",  "GOING UP",     "GOING DOWN",   "PLEASE WAIT",
                           "THANK YOU",  "GOOD MORNING", "GOOD EVENING"};
    for (int i = 0; i < 11; ++i) {
        const int index = Layout::StatusLinesFirst + i;
        if (index == Layout::Title2) continue; // the title 2 picture doubles as this line
        library.SetPicture(0, index, TitlePicture(fonts, lines[i], 128, 16),
                           XVclUtil::Format("status line \"%s\" 128 x 16", lines[i]));
    }
}

void AddGroup0RawEntries(TSampleLibrary& library, const TSampleFonts& fonts) {
    const TRawFont raw[3] = {
        {TFontFace::Mono, CodeRange(32, 126), 8, 16, 10, 13, "text font 8 x 16"},
        {TFontFace::SansBold, CodeRange(32, 95), 16, 16, 11, 13, "bold font 16 x 16"},
        {TFontFace::MonoBold, QStringLiteral("0123456789:/-. "), 24, 32, 24, 28,
         "large digits 24 x 32"},
    };
    for (int i = 0; i < 3; ++i) {
        const TRawFont& f = raw[i];
        library.Set(0, Layout::RawFontsV[i], TEntryKind::SetRotated,
                    GlyphSet(fonts.Font(f.Face), f.Chars, f.Width, f.Height, f.Cap, f.Baseline,
                             TOrientation::Rotated),
                    std::string(f.Caption) + ", vertical");
        library.Set(0, Layout::RawFontsH[i], TEntryKind::SetRowMajor,
                    GlyphSet(fonts.Font(f.Face), f.Chars, f.Width, f.Height, f.Cap, f.Baseline,
                             TOrientation::RowMajor),
                    std::string(f.Caption) + ", horizontal");
    }

    // The boot loader's font: the first 3,328 bytes of the configuration block.
    const QString bootChars = CodeRange(32, 126) + CodeRange(160, 255);
    const TFontFace bootFaces[2] = {TFontFace::Mono, TFontFace::MonoBold};
    const int cfi[2] = {Layout::StartupCfi, Layout::DefaultCfi};
    for (int i = 0; i < 2; ++i) {
        std::map<int, QImage> glyphs;
        for (const QChar c : bootChars)
            glyphs[c.unicode()] = CellGlyphImage(fonts.Font(bootFaces[i]), c, BootFontGlyphWidth,
                                                 BootFontGlyphHeight, 8, 10);
        library.Set(0, cfi[i], TEntryKind::BootFont, BootFont(glyphs),
                    i == 0 ? "boot font 8 x 13 (CFI)" : "bold boot font 8 x 13 (CFI)");
    }
    // The boot loader's power-on screen, behind the checksummed part of the block.
    library.Set(0, Layout::StartupIfi, TEntryKind::RecordBootScreen, BootScreen(fonts, 240, 128),
                "boot screen 240 x 128 (IFI)");
    library.Set(0, Layout::DefaultIfi, TEntryKind::RecordBootScreen, BootScreen(fonts, 128, 240),
                "boot screen 128 x 240 (IFI)");
}

} // namespace SampleData
