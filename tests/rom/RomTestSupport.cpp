#include "RomTestSupport.h"

#include <QBuffer>

#include <algorithm>

#include <cstdlib>
#include <dirent.h>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace RomTest {

TTempDir::TTempDir() {
    std::string templ = (std::filesystem::temp_directory_path() / "romtest.XXXXXX").string();
    if (!::mkdtemp(templ.data())) throw std::runtime_error("mkdtemp failed");
    Dir = templ;
}

TTempDir::~TTempDir() {
    std::error_code ec;
    std::filesystem::permissions(Dir, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(Dir, ec);
}

std::vector<std::string> TTempDir::Names() const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(Dir))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

Rom::TPicture Pic(const QImage& image) {
    Rom::TPicture picture(image.width(), image.height());
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            picture.SetPixel(x, y, image.pixel(x, y) & 0xFFFFFF);
    return picture;
}

QImage MonoPicture(int w, int h, std::initializer_list<std::pair<int, int>> black) {
    QImage image(w, h, QImage::Format_Mono);
    image.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    image.fill(0);
    for (auto [x, y] : black) image.setPixel(x, y, 1);
    return image;
}

QImage NumberedPicture(int w, int h, int number) {
    QImage image = MonoPicture(w, h);
    // A frame so that every record has black bits, and the number's bits along the top row.
    for (int x = 0; x < w; ++x) image.setPixel(x, h - 1, 1);
    for (int bit = 0; bit < 16 && bit < w; ++bit)
        if (number >> bit & 1) image.setPixel(bit, 0, 1);
    return image;
}

TBytes BmpBytes(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return TBytes(bytes.begin(), bytes.end());
}

void SaveBmp(const std::string& path, const QImage& image) {
    if (!image.save(QString::fromStdString(path), "BMP"))
        throw std::runtime_error("cannot save " + path);
}

void WriteBytes(const std::string& path, const TBytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

TBytes ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return TBytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void TFakeLibrary::FillForBuild(int bank, int offset, int setOffset) {
    auto pic = [&](int g, int i, int w, int h) {
        PutPicture(g, i, NumberedPicture(w, h, g * 256 + i));
    };
    auto raw = [&](int g, int i, std::size_t n) {
        TBytes bytes(n);
        for (std::size_t k = 0; k < n; ++k) bytes[k] = static_cast<std::uint8_t>(g * 31 + i + k);
        Put(g, i, std::move(bytes));
    };
    for (int i : {0, 5}) pic(0, i, 128, 24);
    pic(0, 222, 128, 32);
    for (int i : {4, 9}) pic(0, i, 32, 16);
    for (int i = 197; i <= 210; ++i) pic(0, i, 16, 16);
    for (int i = 219; i <= 229; ++i) pic(0, i, 16, 16);
    for (int i : {1, 2, 3, 6, 7, 8}) raw(0, i, 64);
    raw(0, 247, 3400);
    raw(0, 248, 4096);
    raw(0, 251, 3328);
    raw(0, 252, 1000);
    for (int s = 0; s < 12; ++s)
        for (int k = 0; k < 12; ++k) pic(1, 100 + 13 * s + k, 16, 16);
    for (int g = 1; g <= 5; ++g)
        for (int c : {'0', '1', '2', '3', '4', '5', '6', '7', '8', '9', 'B', '-'})
            pic(g, c, 24, 32);
    for (int g : {6, 7})
        for (int i = 0; i < 92; ++i) pic(g, i, 16, 8);
    for (int i : {offset, offset + 1, offset + 2, offset + 3, setOffset, setOffset + 1,
                  setOffset + 2, setOffset + 3})
        raw(bank, i, 200);
}

const TBytes* TFakeLibrary::Find(int group, int index) const {
    auto it = Entries.find({group, index});
    return it == Entries.end() ? nullptr : &it->second;
}

Rom::TLibraryReader TFakeLibrary::Reader() const {
    return [this](int group, int index) {
        Rom::TLibraryEntry e;
        e.State = Rom::TLibraryEntry::TState::Empty;
        if (const TBytes* bytes = Find(group, index)) {
            e.State = Rom::TLibraryEntry::TState::Found;
            e.Bytes = *bytes;
        }
        return e;
    };
}

} // namespace RomTest
