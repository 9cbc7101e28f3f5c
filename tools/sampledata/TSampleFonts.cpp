#include "tools/sampledata/TSampleFonts.h"

#include "XVclUtil/EXGeneral.h"
#include "XVclUtil/PlatformPaths.h"

#include <QFile>

namespace SampleData {

namespace {

constexpr std::array<const char*, FontFaceCount> FontFiles = {
    "dejavu/DejaVuSans.ttf",
    "dejavu/DejaVuSans-Bold.ttf",
    "dejavu/DejaVuSansCondensed-Bold.ttf",
    "dejavu/DejaVuSerif-Bold.ttf",
    "dejavu/DejaVuSansMono.ttf",
    "dejavu/DejaVuSansMono-Bold.ttf",
    "wqy/wqy-zenhei.ttc",
};

} // namespace

std::string TSampleFonts::RelativePath(TFontFace face) {
    return FontFiles[static_cast<int>(face)];
}

const char* TSampleFonts::PackageOf(TFontFace face) {
    return face == TFontFace::Chinese ? "fonts-wqy-zenhei" : "fonts-dejavu-core";
}

TSampleFonts::TSampleFonts(const std::string& fontRoot) {
    for (int i = 0; i < FontFaceCount; ++i) {
        const auto face = static_cast<TFontFace>(i);
        const std::string path =
            XVclUtil::JoinPath(fontRoot, XVclUtil::NativePath(RelativePath(face)));
        if (!QFile::exists(QString::fromStdString(path)))
            throw XVclUtil::EXGeneral("Font file not found: %s (install the package %s)",
                                      path.c_str(), PackageOf(face));
        Fonts[i] = QRawFont(QString::fromStdString(path), OutlineSize, QFont::PreferNoHinting);
        if (!Fonts[i].isValid())
            throw XVclUtil::EXGeneral("Font file cannot be read: %s (reinstall the package %s)",
                                      path.c_str(), PackageOf(face));
    }
}

} // namespace SampleData
