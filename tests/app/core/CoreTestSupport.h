#pragma once
// Working folders for the editor core tests: a start folder (the current directory while the
// test runs) with settings file and picture library, and a program folder with the default
// image tree. Pictures are real 1-bit BMP files made with QImage.

#include "app/core/ProjectDocument.h"
#include "app/core/Startup.h"
#include "app/core/TEditorSession.h"
#include "app/core/TPictureLibrary.h"
#include "app/core/TScriptedPrompts.h"

#include "XVclUtil/MessageBox.h"

#include <QBuffer>
#include <QImage>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace CoreTest {

// A 1-bit BMP of the given size; black pixels where (x + y) % period == 0, all white when
// period is 0.
inline std::vector<uint8_t> MakeBmp(int width, int height, int period = 0) {
    QImage image(width, height, QImage::Format_Mono);
    image.setColor(0, qRgb(0, 0, 0));
    image.setColor(1, qRgb(255, 255, 255));
    image.fill(1);
    if (period > 0)
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if ((x + y) % period == 0) image.setPixel(x, y, 0);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    const QByteArray bytes = buffer.data();
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

// A glyph of 56 x 80 whose left column c (0..55) is black: tells glyphs apart in the preview.
inline std::vector<uint8_t> MakeGlyph(int blackColumn) {
    QImage image(56, 80, QImage::Format_Mono);
    image.setColor(0, qRgb(0, 0, 0));
    image.setColor(1, qRgb(255, 255, 255));
    image.fill(1);
    for (int y = 0; y < 80; ++y) image.setPixel(blackColumn % 56, y, 0);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    const QByteArray bytes = buffer.data();
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (!folder.empty()) std::filesystem::create_directories(folder);
    std::ofstream(path, std::ios::binary) << bytes;
}

inline void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    WriteFile(path, std::string(bytes.begin(), bytes.end()));
}

// A library with the pictures start-up and the preview read: titles, style samples, arrows and
// the floor-number glyphs "0".."9", "A".."Z", "-" of every style (black column = code % 56).
inline std::vector<uint8_t> MakeLibrary() {
    AppCore::TPictureLibraryBuilder builder(8);
    builder.Set(0, 0, MakeBmp(128, 24, 3));
    builder.Set(0, 5, MakeBmp(104, 24, 3));
    for (int style = 0; style < 5; ++style) {
        builder.Set(style + 1, 56, MakeBmp(56, 80, 5));
        for (int c = '-'; c <= 'Z'; ++c) builder.Set(style + 1, c, MakeGlyph(c));
    }
    for (int index : {100, 116, 126, 139, 152, 166, 179, 192, 205, 218, 230, 243})
        builder.Set(1, index, MakeBmp(32, 32, 4));
    return builder.Build();
}

// One test's folders; the current directory is the start folder while the fixture lives.
class TCoreFixture : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "zkfcoreXXXXXX").string();
        Root = ::mkdtemp(pattern.data());
        StartDir = Root + "/work";
        ProgramDir = Root + "/prog/";
        std::filesystem::create_directories(StartDir);
        std::filesystem::create_directories(ProgramDir);
        OldDir = std::filesystem::current_path();
        std::filesystem::current_path(StartDir);
        Session.Context.SetProgramDir(ProgramDir);
        Session.Context.SetStartDir(StartDir);
    }
    void TearDown() override {
        std::filesystem::current_path(OldDir);
        std::error_code ec;
        std::filesystem::remove_all(Root, ec);
    }

    std::string Work(const std::string& name) const { return StartDir + "/" + name; }

    void WriteSettings(const std::string& text) { WriteFile(Work("KRVZKF780AS1.INI"), text); }
    void WriteLibrary() { WriteFile(Work("VRC-780AS1V2.GLB"), MakeLibrary()); }
    void WriteDefaultLiftStates() {
        for (int s = 0; s < AppCore::LiftStateCount; ++s)
            for (int v = 0; v < AppCore::LiftStateVariantCount; ++v)
                WriteFile(ProgramDir + "DefaultImage/LiftState/" +
                              AppCore::DefaultLiftStateFileName(s, v),
                          MakeBmp(128, 32, 2 + v));
    }
    // A folder ready for a complete start-up: settings with models, library, default pictures.
    void WriteWorkingFolder() {
        WriteSettings("[GLOBAL]\r\nVCN=3\r\nITEM1=KRV-RS\r\nITEM2=KRV-GRY\r\nITEM3=KRV-BIN\r\n"
                      "APNOTE=note\r\n\r\n[KRV-BIN]\r\nOUTCPUBIN=1\r\nCFI=10\r\nIFI=11\r\n"
                      "BANK=3\r\n");
        WriteLibrary();
        WriteDefaultLiftStates();
    }
    bool Start() { return AppCore::RunStartup(Session, ProgramDir, StartDir); }

    std::string Root, StartDir, ProgramDir;
    std::filesystem::path OldDir;
    XVclUtil::TMessageCapture Messages;
    AppCore::TScriptedPrompts Prompts;
    AppCore::TEditorSession Session{Prompts};
};

} // namespace CoreTest
