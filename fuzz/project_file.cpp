// Loads arbitrary bytes as a project file against a small picture library and settings file,
// then saves the loaded document and loads the saved file again, which must succeed.

#include "app/core/ProjectFile.h"
#include "app/core/Startup.h"
#include "app/core/TPictureLibrary.h"
#include "app/core/TScriptedPrompts.h"

#include "XVclUtil/MessageBox.h"

#include "FuzzWorkDir.h"

#include <QBuffer>
#include <QImage>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

std::vector<uint8_t> Bmp(int width, int height) {
    QImage image(width, height, QImage::Format_Mono);
    image.fill(1);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return {buffer.data().begin(), buffer.data().end()};
}

// A working folder with settings and library, made once; the fuzzer runs inside it.
struct TWorkFolder {
    std::string Dir;
    AppCore::TScriptedPrompts Prompts;
    AppCore::TEditorSession Session{Prompts};

    TWorkFolder() {
        XVclUtil::SetMessageSink([](const std::string&, const std::string&) {});
        Dir = std::filesystem::current_path().string();
        std::ofstream(Dir + "/KRVZKF780AS1.INI")
            << "[GLOBAL]\r\nVCN=2\r\nITEM1=KRV-RS\r\nITEM2=KRV-GRY\r\n";
        AppCore::TPictureLibraryBuilder builder(8);
        builder.Set(0, 0, Bmp(128, 24));
        builder.Set(0, 5, Bmp(104, 24));
        builder.Save(Dir + "/VRC-780AS1V2.GLB");
        Prompts.PictureLoader = [](int, const std::string& file) {
            return !file.empty() && std::filesystem::is_regular_file(file);
        };
        AppCore::RunStartup(Session, Dir + "/", Dir);
    }
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    EnterPrivateWorkDir(argc, argv, "zkf_fuzz_project"); // pictures are extracted into it
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    static TWorkFolder work;
    static const std::string input = work.Dir + "/fuzz.zkf", saved = work.Dir + "/saved.zkf";
    {
        std::ofstream out(input, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), std::streamsize(size));
    }
    work.Prompts.LoadedPictures.clear();
    work.Prompts.FailedPictures.clear();
    if (AppCore::LoadProjectFile(work.Session, input)) {
        std::remove(saved.c_str());
        if (AppCore::WriteProjectFile(work.Session, saved) &&
            !AppCore::LoadProjectFile(work.Session, saved))
            std::abort(); // a file this program wrote must load again
    }
    return 0;
}
