#include "tools/sampledata/DefaultImageTree.h"

#include "tools/sampledata/MonoImage.h"
#include "tools/sampledata/PictureFormats.h"
#include "tools/sampledata/SampleFiles.h"
#include "tools/sampledata/TFloorFont.h"
#include "tools/sampledata/TextOutline.h"

#include "XVclUtil/EXGeneral.h"
#include "XVclUtil/PlatformPaths.h"
#include "XVclUtil/Printf.h"

#include <array>
#include <filesystem>
#include <system_error>

namespace SampleData {

namespace {

namespace fs = std::filesystem;

struct TLiftState {
    const char* EnglishWord; // file-name word of the English slots
    const char* SecondWord;  // file-name word of the second-language slots
    const char* EnglishText; // what the picture says
    const char* ChineseText; // traditional Chinese, as the "CHT" pictures say it
};

const std::array<TLiftState, 10>& LiftStates() {
    static const std::array<TLiftState, 10> states = {{
        {"FIRE", "FIRE", "FIRE", "火警"},
        {"EARTHQUAKE", "EARTHQUAKE", "EARTHQUAKE", "地震"},
        {"ALARM", "BREAKDOWN", "ALARM", "故障"},
        {"OUT_OF_SERVICE", "OUT_OF_SERVICE", "OUT OF SERVICE", "暫停服務"},
        {"OVERLOAD", "OVERLOAD", "OVERLOAD", "超載"},
        {"MAINTENANCE", "MAINTENANCE", "MAINTENANCE", "保養中"},
        {"FULL", "FULL", "FULL", "滿載"},
        {"VIP", "VIP", "VIP", "貴賓專用"},
        {"PARKING", "PARKING", "PARKING", "停梯"},
        {"IND", "IND", "INDEPENDENT", "獨立運轉"},
    }};
    return states;
}

} // namespace

std::string LiftStateFileName(int state, int variant) {
    const TLiftState& s = LiftStates().at(state);
    const bool english = variant == 0 || variant == 2;
    const bool inverted = variant >= 2;
    return std::string(english ? s.EnglishWord : s.SecondWord) + (inverted ? "-INV" : "") +
           "-128x32_" + (english ? "EN" : "CHT") + ".bmp";
}

QImage LiftStatePicture(const TSampleFonts& fonts, int state, int variant) {
    const TLiftState& s = LiftStates().at(state);
    const bool english = variant == 0 || variant == 2;
    const QImage normal =
        english ? TextImage(fonts.Font(TFontFace::SansBold), s.EnglishText, LiftStatePictureWidth,
                            LiftStatePictureHeight, 0.6, 3)
                : TextImage(fonts.Font(TFontFace::Chinese), QString::fromUtf8(s.ChineseText),
                            LiftStatePictureWidth, LiftStatePictureHeight, 0.9, 2);
    return variant >= 2 ? InvertMono(normal) : normal;
}

const std::vector<std::string>& SampleFloorPictureNames() {
    static const std::vector<std::string> names = {"LOBBY", "ROOF", "MEZ", "SKY", "PARK",
                                                   "POOL",  "GYM",  "B1F", "B2F", "12A"};
    return names;
}

TFileSet BuildDefaultImageTree(const TSampleFonts& fonts) {
    TFileSet files;
    for (int s = 0; s < 10; ++s)
        for (int v = 0; v < 4; ++v)
            files["DefaultImage/LiftState/" + LiftStateFileName(s, v)] =
                EncodeBmp1(LiftStatePicture(fonts, s, v));
    for (int style = 0; style < TFloorFont::StyleCount; ++style) {
        const TFloorFont font(fonts, style);
        for (const std::string& name : SampleFloorPictureNames())
            files[XVclUtil::Format("DefaultImage/UserDefine/Floor/Style%d/%s.bmp", style,
                                   name.c_str())] =
                EncodeBmp1(font.Label(QString::fromStdString(name), FloorPictureWidth,
                                      FloorPictureHeight));
    }
    return files;
}

void WriteDefaultImageTree(const TFileSet& files, const std::string& parentDir) {
    const fs::path parent = XVclUtil::FsPath(parentDir);
    const fs::path target = parent / "DefaultImage";
    const fs::path fresh = parent / ".DefaultImage.new";
    const fs::path old = parent / ".DefaultImage.old";
    std::error_code ec;
    fs::remove_all(fresh, ec);
    fs::remove_all(old, ec);
    try {
        WriteFiles(files, XVclUtil::FsString(fresh), "DefaultImage/");
    } catch (...) {
        fs::remove_all(fresh, ec);
        throw;
    }
    // Swap: the old tree steps aside, the new one takes its name, the old one goes.
    if (fs::exists(target)) fs::rename(target, old, ec);
    if (!ec) fs::rename(fresh, target, ec);
    if (ec) {
        const std::string why = ec.message();
        std::error_code ignored;
        fs::remove_all(fresh, ignored);
        if (fs::exists(old) && !fs::exists(target)) fs::rename(old, target, ignored);
        throw XVclUtil::EXGeneral("Cannot put the folder %s in place: %s", target.c_str(),
                                  why.c_str());
    }
    fs::remove_all(old, ec);
}

} // namespace SampleData
