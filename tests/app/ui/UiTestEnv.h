#pragma once
// Shared set-up of the window tests: one QApplication, and a working folder with a settings
// file, a small picture library and the default picture tree, built inside the test.

#include <QImage>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>
#include <string>

namespace UiTest {

// The command-line tool of the same build, and a run of it: true on exit 0, its output in
// output either way.
inline const QString Cli = QStringLiteral(ZKF780A_CLI);
bool RunCli(const QStringList& args, QString* output);

// The test program's QApplication (offscreen platform), created on first use.
void EnsureApplication();

// Floor-font glyph of style s for character c: 56 x 80, a pattern that differs per character
// and per style.
QImage Glyph(int style, int character);
// The picture as 32-bit RGB, for comparing pixels whatever format each side was read in.
inline QImage Rgb(const QImage& picture) {
    return picture.convertToFormat(QImage::Format_RGB32);
}
// A mono picture of the given size with a frame and a diagonal, marked by the seed.
QImage MarkedPicture(int width, int height, int seed);
// Writes a picture as a 1-bit BMP file, creating its folder.
void SaveMonoBmp(const QImage& picture, const QString& path);

struct TWorkFolderOptions {
    bool WithSettings = true; // KRVZKF780AS1.INI
    bool WithLibrary = true;  // VRC-780AS1V2.GLB
    std::string UserLibrary;  // UBFGLB of the settings file; created when CreateUserLibrary
    bool CreateUserLibrary = false;
    std::string ApNote = "Test note";
};

// A program folder (default pictures) and a working folder (settings file and library); the
// process's working directory moves into the working folder for the fixture's lifetime.
class TWorkFolder {
public:
    explicit TWorkFolder(const TWorkFolderOptions& options = {});
    ~TWorkFolder();

    std::string ProgramDir() const; // ends in "/"
    std::string StartDir() const;   // no trailing "/"
    QString StartPath(const QString& name) const;
    // Default lift-state picture of slot 4s + v.
    QString LiftStatePath(int state, int variant) const;
    // A floor picture in the style's folder.
    QString FloorPicturePath(int style, const QString& name) const;

private:
    void WriteDefaultPictures();
    void WriteSettings(const TWorkFolderOptions& options);
    void WriteLibrary(const QString& path);

    QTemporaryDir Program;
    QTemporaryDir Work;
    QString PreviousDir;
};

} // namespace UiTest
