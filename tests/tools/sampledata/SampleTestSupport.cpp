#include "SampleTestSupport.h"

#include "tools/sampledata/LibraryContent.h"
#include "tools/sampledata/TOffscreenApp.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace SampleTest {

namespace fs = std::filesystem;

namespace {

// The application, fonts and library live until the process ends: fonts must not outlive the
// application object, so none of them is destroyed.
class TQtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        static SampleData::TOffscreenApp* app = new SampleData::TOffscreenApp;
        (void)app;
    }
};

[[maybe_unused]] ::testing::Environment* const QtEnvironment =
    ::testing::AddGlobalTestEnvironment(new TQtEnvironment);

} // namespace

const SampleData::TSampleFonts& Fonts() {
    static const auto* fonts = new SampleData::TSampleFonts;
    return *fonts;
}

const SampleData::TSampleLibrary& Library() {
    static const auto* library =
        new SampleData::TSampleLibrary(SampleData::BuildSampleLibrary(Fonts()));
    return *library;
}

const std::string& GlbBytes() {
    static const std::string glb = Library().GlbBytes();
    return glb;
}

TTempDir::TTempDir() {
    std::string pattern = (fs::temp_directory_path() / "zkf-sample-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    Dir = pattern;
}

TTempDir::~TTempDir() {
    std::error_code ec;
    fs::permissions(Dir, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(Dir, ec);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

std::map<std::string, std::string> ReadTree(const std::string& dir) {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(dir))
        if (e.is_regular_file())
            files[fs::relative(e.path(), dir).string()] = ReadFile(e.path().string());
    return files;
}

QImage DecodeBmp(const std::string& bytes) {
    return QImage::fromData(reinterpret_cast<const uchar*>(bytes.data()), int(bytes.size()), "BMP");
}

int BmpBitsPerPixel(const std::string& bytes) {
    if (bytes.size() < 30) return -1;
    return static_cast<uint8_t>(bytes[28]) | (static_cast<uint8_t>(bytes[29]) << 8);
}

} // namespace SampleTest
