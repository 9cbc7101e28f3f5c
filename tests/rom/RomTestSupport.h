#pragma once
// Helpers of the ROM builder tests: temporary folders, pictures made in memory, BMP bytes and
// a picture library held in a map.

#include "rom/MonoBitmap.h"
#include "rom/TRomBuildInput.h"

#include <QImage>

#include <cstdint>
#include <initializer_list>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace RomTest {

using Rom::TBytes;

// A fresh folder under /tmp, removed with everything in it at the end of the test.
class TTempDir {
public:
    TTempDir();
    ~TTempDir();
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;
    const std::string& Path() const { return Dir; }
    std::string operator/(const std::string& name) const { return Dir + "/" + name; }
    std::vector<std::string> Names() const; // entries, sorted

private:
    std::string Dir;
};

// A QImage as the encoder sees a decoded picture: every pixel's colour value.
Rom::TPicture Pic(const QImage& image);
// White picture of w x h with the given pixels black, as a 1-bit image.
QImage MonoPicture(int w, int h, std::initializer_list<std::pair<int, int>> black = {});
// A picture whose pixels spell out a number, so that every library entry differs.
QImage NumberedPicture(int w, int h, int number);
TBytes BmpBytes(const QImage& image);
void SaveBmp(const std::string& path, const QImage& image);
void WriteBytes(const std::string& path, const TBytes& bytes);
TBytes ReadBytes(const std::string& path);

// A picture library held in memory: entries added by (group, index).
class TFakeLibrary {
public:
    void Put(int group, int index, TBytes bytes) { Entries[{group, index}] = std::move(bytes); }
    void PutPicture(int group, int index, const QImage& image) {
        Put(group, index, BmpBytes(image));
    }
    // Every entry MAKE ROM reads, with small numbered pictures (raw entries get raw bytes).
    void FillForBuild(int bank = 2, int offset = 116, int setOffset = 251);
    Rom::TLibraryReader Reader() const;
    const TBytes* Find(int group, int index) const;

    std::map<std::pair<int, int>, TBytes> Entries;
};

} // namespace RomTest
