// The BANK group's raw "PM_" pictures, and the month and week-day names of groups 6 and 7.

#include "tools/sampledata/LibraryContent.h"
#include "tools/sampledata/LibraryLayout.h"
#include "tools/sampledata/MonoImage.h"
#include "tools/sampledata/PictureFormats.h"
#include "tools/sampledata/TextOutline.h"

#include "XVclUtil/Printf.h"

#include <QPainter>

#include <array>

namespace SampleData {

namespace {

// A notice screen of the display's programming modes: a heading and a line below it.
QImage NoticePicture(const TSampleFonts& fonts, const QString& heading, const QString& line,
                     int width, int height) {
    QImage canvas = NewCanvas(width, height);
    QPainter p(&canvas);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(Qt::black, 2));
    p.drawRoundedRect(QRectF(1, 1, width - 2, height - 2), 6, 6);
    p.drawLine(QPointF(6, height * 0.55), QPointF(width - 6, height * 0.55));
    p.end();
    FillBlack(canvas, FittedText(fonts.Font(TFontFace::SansBold), heading,
                                 QRectF(6, 5, width - 12, height * 0.55 - 9), 0.8));
    FillBlack(canvas, FittedText(fonts.Font(TFontFace::Sans), line,
                                 QRectF(6, height * 0.55 + 4, width - 12, height * 0.45 - 9), 0.8));
    return ToMono(canvas);
}

struct TCalendarLanguage {
    const char* Name;
    std::array<const char*, 12> Months;
    std::array<const char*, 7> WeekDays; // Sunday first
};

const std::array<TCalendarLanguage, 4>& CalendarLanguages() {
    static const std::array<TCalendarLanguage, 4> languages = {{
        {"English",
         {"JAN", "FEB", "MAR", "APR", "MAY", "JUN", "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"},
         {"SUN", "MON", "TUE", "WED", "THU", "FRI", "SAT"}},
        {"Chinese",
         {"一月", "二月", "三月", "四月", "五月", "六月", "七月", "八月", "九月", "十月", "十一月",
          "十二月"},
         {"星期日", "星期一", "星期二", "星期三", "星期四", "星期五", "星期六"}},
        {"Deutsch",
         {"JAN", "FEB", "MÄR", "APR", "MAI", "JUN", "JUL", "AUG", "SEP", "OKT", "NOV", "DEZ"},
         {"SO", "MO", "DI", "MI", "DO", "FR", "SA"}},
        {"Spanish",
         {"ENE", "FEB", "MAR", "ABR", "MAY", "JUN", "JUL", "AGO", "SEP", "OCT", "NOV", "DIC"},
         {"DOM", "LUN", "MAR", "MIÉ", "JUE", "VIE", "SÁB"}},
    }};
    return languages;
}

} // namespace

void AddPmPictures(TSampleLibrary& library, const TSampleFonts& fonts) {
    struct TPair {
        int First;
        const char* Heading;
        const char* Line;
    };
    const TPair pairs[2] = {{Layout::PmOffset, "PROGRAM MODE", "RECEIVING DATA"},
                            {Layout::PmSetOffset, "SETUP MODE", "SAVING SETTINGS"}};
    for (const TPair& pair : pairs) {
        // Horizontal display: first + 0 and + 1, row-major 240 x 64. Vertical display: first + 2
        // and + 3, 128 x 64 turned for the upright panel.
        const QString heading = pair.Heading, line = pair.Line;
        library.Set(
            Layout::PmBank, pair.First, TEntryKind::RecordRowMajor,
            MonoRecord(NoticePicture(fonts, heading, line, 240, 64), TOrientation::RowMajor),
            XVclUtil::Format("PM %s H 240 x 64", pair.Heading));
        library.Set(
            Layout::PmBank, pair.First + 1, TEntryKind::RecordRowMajor,
            MonoRecord(NoticePicture(fonts, line, "PLEASE WAIT", 240, 64), TOrientation::RowMajor),
            XVclUtil::Format("PM %s H 240 x 64", pair.Line));
        library.Set(Layout::PmBank, pair.First + 2, TEntryKind::RecordRotated,
                    MonoRecord(NoticePicture(fonts, heading, line, 128, 64), TOrientation::Rotated),
                    XVclUtil::Format("PM %s V 128 x 64", pair.Heading));
        library.Set(
            Layout::PmBank, pair.First + 3, TEntryKind::RecordRotated,
            MonoRecord(NoticePicture(fonts, line, "PLEASE WAIT", 128, 64), TOrientation::Rotated),
            XVclUtil::Format("PM %s V 128 x 64", pair.Line));
    }
}

void AddCalendarNames(TSampleLibrary& library, const TSampleFonts& fonts) {
    const auto& languages = CalendarLanguages();
    for (int lang = 0; lang < static_cast<int>(languages.size()); ++lang) {
        const TCalendarLanguage& l = languages[lang];
        const QRawFont& vFont = fonts.Font(lang == 1 ? TFontFace::Chinese : TFontFace::SansBold);
        const QRawFont& hFont =
            fonts.Font(lang == 1 ? TFontFace::Chinese : TFontFace::SansCondensedBold);
        auto add = [&](int index, const char* text, const char* what) {
            const QString s = QString::fromUtf8(text);
            library.SetPicture(Layout::CalendarGroupV, index, TextImage(vFont, s, 48, 16, 0.72, 1),
                               XVclUtil::Format("%s %s V 48 x 16", l.Name, what));
            library.SetPicture(Layout::CalendarGroupH, index, TextImage(hFont, s, 40, 16, 0.72, 1),
                               XVclUtil::Format("%s %s H 40 x 16", l.Name, what));
        };
        const int base = Layout::CalendarLanguageStride * lang;
        for (int m = 0; m < 12; ++m) add(base + m, l.Months[m], "month");
        for (int d = 0; d < 7; ++d)
            add(base + Layout::WeekDayOffset + d, l.WeekDays[d], "week day");
    }
}

} // namespace SampleData
