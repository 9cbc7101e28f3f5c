#pragma once
// The font files the sample pictures are drawn from, loaded by path so that the output does not
// depend on what the font configuration of the machine would pick.

#include <QRawFont>

#include <array>
#include <string>

namespace SampleData {

enum class TFontFace {
    Sans,              // DejaVu Sans
    SansBold,          // DejaVu Sans Bold
    SansCondensedBold, // DejaVu Sans Condensed Bold
    SerifBold,         // DejaVu Serif Bold
    Mono,              // DejaVu Sans Mono
    MonoBold,          // DejaVu Sans Mono Bold
    Chinese,           // WenQuanYi Zen Hei (first face of the collection)
};
constexpr int FontFaceCount = 7;

class TSampleFonts {
public:
    // The folder holding dejavu/ (fonts-dejavu-core) and wqy/ (fonts-wqy-zenhei): Debian's
    // TrueType folder, or on Windows fonts\ beside the program, where the package puts them.
    static std::string DefaultFontRoot();
    // Outlines are taken at this pixel size and scaled by the painters.
    static constexpr double OutlineSize = 256.0;

    // Loads every face; raises XVclUtil::EXGeneral naming the missing or unreadable file and its
    // package. Needs a QGuiApplication.
    explicit TSampleFonts(const std::string& fontRoot = DefaultFontRoot());

    const QRawFont& Font(TFontFace face) const { return Fonts[static_cast<int>(face)]; }

    // Path of a face's file below fontRoot, and the Debian package that holds it.
    static std::string RelativePath(TFontFace face);
    static const char* PackageOf(TFontFace face);

private:
    std::array<QRawFont, FontFaceCount> Fonts;
};

} // namespace SampleData
