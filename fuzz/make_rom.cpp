// A whole MAKE ROM from a fuzzed tool settings file and project over the sample library, as
// `zkf780a build` runs it. The input is the settings file, a NUL byte, then the project file.
// A build that reports "ROM create finish!!" must leave an image that passes every check of
// the ROM reader, inside the working folder; the images are removed after each run.

#include "app/core/MakeRom.h"
#include "app/core/ProjectFile.h"
#include "app/core/Startup.h"
#include "app/core/TScriptedPrompts.h"
#include "rom/TRomImageReader.h"
#include "tools/sampledata/TOffscreenApp.h"
#include "tools/sampledata/TSampleDataGenerator.h"

#include "XVclUtil/FileUtil.h"
#include "XVclUtil/MessageBox.h"

#include "FuzzWorkDir.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

std::string WorkDir;

void WriteBytes(const std::string& path, const unsigned char* data, std::size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

// ROM images and side files a run left in the working folder.
void RemoveImages() {
    for (const auto& entry : fs::directory_iterator(WorkDir)) {
        std::string ext = entry.path().extension().string();
        std::transform(ext.begin(), ext.end(), ext.begin(),
                       [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        if ((ext == ".ROM" || ext == ".BIN") && entry.is_regular_file()) fs::remove(entry.path());
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    WorkDir = EnterPrivateWorkDir(argc, argv, "zkf_fuzz_makerom");
    static SampleData::TOffscreenApp app; // fonts for drawing the sample library
    SampleData::TSampleDataOptions options;
    options.Dir = WorkDir;
    options.WithDefaultImages = true; // the demo's DefaultImage/ lies in the working folder
    SampleData::TSampleDataGenerator(options).Run();
    XVclUtil::SetMessageSink([](const std::string&, const std::string&) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    const unsigned char* cut = std::find(data, data + size, '\0');
    const std::string settings = WorkDir + "/KRVZKF780AS1.INI";
    const std::string project = WorkDir + "/fuzz.zkf";
    WriteBytes(settings, data, static_cast<std::size_t>(cut - data));
    const unsigned char* rest = cut == data + size ? cut : cut + 1;
    WriteBytes(project, rest, static_cast<std::size_t>(data + size - rest));

    AppCore::TScriptedPrompts prompts;
    AppCore::TEditorSession session(prompts);
    AppCore::RunStartup(session, WorkDir + "/", WorkDir);
    if (AppCore::LoadProjectFile(session, project)) {
        prompts.SaveAnswers.push_back(project); // the save dialog, confirmed
        prompts.YesNoAnswers.push_back(false);  // "File exist!! Overlay?" -> No
        if (AppCore::MakeRom(session, "")) {
            const std::string rom = AppCore::RomBuildInput(session, "").RomFileName;
            if (rom.find('/') != std::string::npos) __builtin_trap(); // stays in the folder
            const auto image = XVclUtil::ReadWholeFile(WorkDir + "/" + rom);
            Rom::TRomImageReader reader;
            if (!image || !reader.Load(*image)) __builtin_trap(); // "finish" means a sound image
        }
    }
    RemoveImages();
    return 0;
}
