#include "tools/sampledata/DemoProject.h"

#include "tools/sampledata/MonoImage.h"
#include "tools/sampledata/PictureFormats.h"
#include "tools/sampledata/SampleFiles.h"
#include "tools/sampledata/TextOutline.h"
#include "tools/sampledata/ToolSettingsFile.h"

#include "app/core/ProjectFile.h"
#include "app/core/TEditorSession.h"
#include "app/core/TScriptedPrompts.h"

#include "XVclUtil/EXGeneral.h"
#include "XVclUtil/MessageBox.h"

#include <QPainter>
#include <filesystem>

#include <cstdio>
#include <initializer_list>

namespace SampleData {

namespace {

// Fills table t from code `first` on with the labels in order.
void FillTable(AppCore::ProjectDocument& doc, int t, int first,
               std::initializer_list<const char*> labels) {
    int code = first;
    for (const char* label : labels) doc.CodeTables[t][code++] = label;
}

void FillCodeTables(AppCore::ProjectDocument& doc) {
    // Office tower: basements, a lobby picture, no 13th floor (12A), a mezzanine and the roof.
    FillTable(doc, 0, 1, {"B2", "B1", "LOBBY", "1",  "2",  "3",   "4",  "5",  "6",   "7",
                          "8",  "9",  "10",    "11", "12", "12A", "14", "15", "MEZ", "ROOF"});
    // Residential tower (the default table): two-digit labels with a leading 0, the same lobby.
    FillTable(doc, 1, 0, {"LOBBY", "01", "02",  "03", "04", "05", "06", "07", "08", "09", "10",
                          "11",    "12", "SKY", "14", "15", "16", "17", "18", "19", "20", "PARK"});
    // Car park: levels below ground as -1, -2, parking letters.
    FillTable(doc, 2, 1, {"P3", "P2", "P1", "-2", "-1", "0", "1", "2", "3", "4", "5", "R"});
    // Hotel, from code 10 on: lettered floors and leisure floors as pictures.
    FillTable(doc, 3, 10,
              {"LB", "LG", "M", "CF", "1P", "2P", "HP", "POOL", "GYM", "B1F", "B2F", "05", "06"});
    // Codes without a bit pattern in the grid (64 and up) and the last code.
    FillTable(doc, 4, 64, {"A", "B", "C", "D", "E", "F", "1A", "2A", "3A", "4A", "5A", "H"});
    doc.CodeTables[4][255] = "R";
    // A small table written in lower case, as a user may type it; saved in upper case.
    FillTable(doc, 5, 0, {"g", "1", "2", "3", "m", "r"});
}

QImage LogoPicture(const TSampleFonts& fonts) {
    QImage canvas = NewCanvas(112, 80);
    QPainter p(&canvas);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(Qt::black, 4));
    p.drawEllipse(QPointF(56, 40), 36, 36);
    p.end();
    FillBlack(canvas,
              FittedText(fonts.Font(TFontFace::SerifBold), "GH", QRectF(30, 22, 52, 36), 0.9));
    return ToMono(canvas);
}

QImage BorderedText(const TSampleFonts& fonts, const QString& text, int width, int height) {
    QImage canvas = NewCanvas(width, height);
    QPainter p(&canvas);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(Qt::black, 2));
    p.drawRect(QRectF(1, 1, width - 2, height - 2));
    p.end();
    FillBlack(canvas, FittedText(fonts.Font(TFontFace::SerifBold), text,
                                 QRectF(5, 4, width - 10, height - 8), 0.75));
    return ToMono(canvas);
}

} // namespace

AppCore::ProjectDocument DemoDocument(const std::string& dir, const std::string& programDir) {
    AppCore::ProjectDocument doc;
    FillCodeTables(doc);
    doc.CODEVER = DemoModel;
    doc.DEFCODETABLE = 1;
    doc.DEF_FL = 2;
    doc.DEF_DIR = 5;
    doc.MsgCheckBoxes = 5; // second language normal and English normal
    doc.DEF_MSG = 5;
    doc.DPSTYLE = AppCore::TDpStyle::Left;
    for (int s = 0; s < AppCore::LiftStateCount; ++s)
        for (int v = 0; v < AppCore::LiftStateVariantCount; ++v)
            doc.LiftStateImageTable[AppCore::LiftStateSlot(s, v)] =
                programDir + "DefaultImage/LiftState/" + LiftStateFileName(s, v);
    doc.LiftStateImageTable[AppCore::LiftStateSlot(7, 0)] = dir + "/VIP-GOLD-128x32_EN.bmp";
    doc.DISPLAYTYPE = AppCore::TDisplayType::Vertical;
    doc.CUSTOMERTITLE = true;
    doc.TITLEFILENAME_V = dir + "/TITLE_V.bmp";
    doc.TITLEFILENAME_H = dir + "/TITLE_H.bmp";
    doc.TITLEFILENAME_2 = dir + "/TITLE_2.bmp";
    doc.CUSLOGOENABLE = true;
    doc.TITLEFILENAME_C = dir + "/LOGO.bmp";
    doc.SWAPTIME = 4; // 5 seconds
    doc.FLFRAME = true;
    doc.WEEKTYPE = AppCore::TWeekType::OtherLanguage;
    doc.WEEKLANG = 1; // Deutsch
    doc.DATEFORMAT = AppCore::TDateFormat::TYPE2;
    doc.PWRSAVING = 8; // 120 seconds
    doc.DPDATETIME = true;
    doc.OUTDATE = "100429";
    doc.CUSIDCODE = "DEMO";
    doc.ROMFILENAME = "DEMO.ROM";
    return doc;
}

TFileSet DemoPictures(const TSampleFonts& fonts) {
    const QRawFont& serif = fonts.Font(TFontFace::SerifBold);
    TFileSet files;
    files["TITLE_V.bmp"] = EncodeBmp1(TextImage(serif, "GRAND HOTEL", 128, 24, 0.72, 2));
    files["TITLE_H.bmp"] = EncodeBmp1(TextImage(serif, "GRAND HOTEL", 104, 24, 0.72, 2));
    files["TITLE_2.bmp"] = EncodeBmp1(BorderedText(fonts, "HAVE A NICE DAY", 128, 32));
    files["LOGO.bmp"] = EncodeBmp1(LogoPicture(fonts));
    files["VIP-GOLD-128x32_EN.bmp"] = EncodeBmp1(BorderedText(fonts, "VIP GOLD", 128, 32));
    return files;
}

void WriteDemoProject(const AppCore::ProjectDocument& document, const std::string& name) {
    // The project is saved under a scratch name; its bytes then go to name through the atomic
    // writer, which keeps a link there a link and refuses a FIFO or a device.
    WriteThroughScratch(name, [&](const std::string& scratch, std::string& why) {
        AppCore::TScriptedPrompts prompts;
        AppCore::TEditorSession session(prompts);
        session.Document = document;
        for (const TSampleModel& m : SampleModels()) session.Settings.ModelList.push_back(m.Name);
        XVclUtil::TMessageCapture messages;
        const bool written = AppCore::WriteProjectFile(session, scratch);
        if (!messages.Messages.empty()) why = messages.Messages.front().second;
        return written;
    });
}

} // namespace SampleData
