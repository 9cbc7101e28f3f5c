#pragma once
// Shared pieces of the sample data tests: the offscreen application, the fonts and the library
// drawn once per test run, temporary folders and file helpers.

#include "tools/sampledata/TSampleFonts.h"
#include "tools/sampledata/TSampleLibrary.h"

#include "XVclUtil/EXGeneral.h"

#include <QImage>

#include <filesystem>
#include <map>
#include <string>

namespace SampleTest {

const SampleData::TSampleFonts& Fonts();
const SampleData::TSampleLibrary& Library();
const std::string& GlbBytes();

// A fresh temporary folder, removed when the object goes.
class TTempDir {
public:
    TTempDir();
    ~TTempDir();
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;
    const std::string& Path() const { return Dir; }
    std::string operator/(const std::string& name) const { return Dir + "/" + name; }

private:
    std::string Dir;
};

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);
// Every regular file below dir: relative path -> bytes.
std::map<std::string, std::string> ReadTree(const std::string& dir);

QImage DecodeBmp(const std::string& bytes);
// Bits per pixel of a BMP file (header field at byte 28).
int BmpBitsPerPixel(const std::string& bytes);

} // namespace SampleTest
