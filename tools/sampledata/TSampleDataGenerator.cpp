#include "tools/sampledata/TSampleDataGenerator.h"

#include "tools/sampledata/ContactSheet.h"
#include "tools/sampledata/DefaultImageTree.h"
#include "tools/sampledata/DemoProject.h"
#include "tools/sampledata/LibraryContent.h"
#include "tools/sampledata/SampleFiles.h"
#include "tools/sampledata/TSampleFonts.h"
#include "tools/sampledata/ToolSettingsFile.h"

#include "app/core/ToolSettings.h"

#include "XVclUtil/EXGeneral.h"
#include "XVclUtil/PlatformPaths.h"

#include <QBuffer>

#include <filesystem>

namespace SampleData {

namespace fs = std::filesystem;

namespace {

TSampleFonts LoadFonts(const std::string& fontRoot) {
    return TSampleFonts(fontRoot.empty() ? TSampleFonts::DefaultFontRoot() : fontRoot);
}

std::string PngBytes(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) throw XVclUtil::EXGeneral("Cannot encode the contact sheet");
    return bytes.toStdString();
}

} // namespace

std::string AbsoluteFolder(const std::string& dir, bool withSlash) {
    std::string path = XVclUtil::FsString(fs::absolute(XVclUtil::FsPath(dir)).lexically_normal());
    while (path.size() > 1 && (path.back() == '/' || path.back() == XVclUtil::PathDelim))
        path.pop_back();
    if (withSlash && path != "/") path += XVclUtil::PathDelim;
    return path;
}

namespace {

// The user's own files (a settings file with its COMPORT table, a project) are never replaced
// unasked: every name that is taken, link or not, is listed and nothing is written.
void RefuseExistingFiles(const std::vector<std::string>& targets) {
    std::string taken;
    for (const std::string& path : targets) {
        std::error_code ec;
        if (fs::symlink_status(XVclUtil::FsPath(path), ec).type() != fs::file_type::not_found &&
            !ec)
            taken += "\n  " + path;
    }
    if (!taken.empty())
        throw XVclUtil::EXGeneral("These files are already there; nothing was written (give "
                                  "--force to replace them):%s",
                                  taken.c_str());
}

// With --force the files are replaced, but only files: a FIFO, a device or a folder under one
// of the names is refused before anything is written, never replaced. A link to a file is
// written through and stays a link.
void RefuseSpecialFiles(const std::vector<std::string>& targets) {
    std::string special;
    for (const std::string& path : targets) {
        std::error_code ec;
        const fs::file_status status = fs::status(XVclUtil::FsPath(path), ec);
        if (status.type() == fs::file_type::not_found || fs::is_regular_file(status)) continue;
        const char* what = fs::is_directory(status) ? "a folder"
                           : fs::is_fifo(status)    ? "a FIFO"
                           : fs::is_character_file(status) || fs::is_block_file(status)
                               ? "a device"
                               : "not a regular file";
        special += "\n  " + path + " (" + what + ")";
    }
    if (!special.empty())
        throw XVclUtil::EXGeneral("These names are taken by something that is not a file; nothing "
                                  "was written:%s",
                                  special.c_str());
}

} // namespace

TSampleDataGenerator::TSampleDataGenerator(TSampleDataOptions options)
    : Options(std::move(options)) {}

void TSampleDataGenerator::Run() {
    Written.clear();
    if (Options.Dir.empty()) throw XVclUtil::EXGeneral("No target folder given");
    const TSampleFonts fonts = LoadFonts(Options.FontRoot);
    const std::string dir = AbsoluteFolder(Options.Dir, false);
    const std::string programDir =
        AbsoluteFolder(Options.ProgramDir.empty() ? dir : Options.ProgramDir, true);

    // Everything is drawn before the first file is touched.
    const TSampleLibrary library = BuildSampleLibrary(fonts);
    const std::string glb = library.GlbBytes();
    const TFileSet demoPictures = DemoPictures(fonts);
    const AppCore::ProjectDocument demo = DemoDocument(dir, programDir);
    TFileSet defaultImages;
    if (Options.WithDefaultImages) defaultImages = BuildDefaultImageTree(fonts);
    std::string sheet;
    if (!Options.ContactSheetPng.empty()) sheet = PngBytes(RenderContactSheet(library, fonts));

    std::vector<std::string> targets = {dir + "/" + AppCore::DefaultGlbFileName,
                                        dir + "/" + AppCore::ToolSettingsFileName,
                                        dir + "/" + DemoProjectFileName};
    for (const auto& [name, bytes] : demoPictures) targets.push_back(dir + "/" + name);
    if (!Options.ContactSheetPng.empty())
        targets.push_back(XVclUtil::FsString(
            fs::absolute(XVclUtil::FsPath(Options.ContactSheetPng)).lexically_normal()));
    if (Options.Force) {
        RefuseSpecialFiles(targets);
    } else {
        if (Options.WithDefaultImages) targets.push_back(dir + "/DefaultImage");
        RefuseExistingFiles(targets);
    }
    EnsureWritableFolder(dir);
    auto record = [&](const std::string& path) { Written.push_back(path); };
    WriteSampleFile(dir + "/" + AppCore::DefaultGlbFileName, glb);
    record(dir + "/" + AppCore::DefaultGlbFileName);
    WriteToolSettingsFile(dir + "/" + AppCore::ToolSettingsFileName);
    record(dir + "/" + AppCore::ToolSettingsFileName);
    WriteFiles(demoPictures, dir);
    for (const auto& [name, bytes] : demoPictures) record(dir + "/" + name);
    WriteDemoProject(demo, dir + "/" + DemoProjectFileName);
    record(dir + "/" + DemoProjectFileName);
    if (Options.WithDefaultImages) {
        WriteDefaultImageTree(defaultImages, dir);
        record(dir + "/DefaultImage/");
    }
    if (!Options.ContactSheetPng.empty()) {
        const std::string png = XVclUtil::FsString(
            fs::absolute(XVclUtil::FsPath(Options.ContactSheetPng)).lexically_normal());
        EnsureWritableFolder(XVclUtil::FsString(XVclUtil::FsPath(png).parent_path()));
        WriteSampleFile(png, sheet);
        record(png);
    }
}

void GenerateDefaultImages(const std::string& parentDir, const std::string& fontRoot) {
    const TSampleFonts fonts = LoadFonts(fontRoot);
    const TFileSet files = BuildDefaultImageTree(fonts);
    EnsureWritableFolder(parentDir);
    WriteDefaultImageTree(files, parentDir);
}

} // namespace SampleData
