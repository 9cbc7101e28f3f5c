// Editor core hot paths: saving and loading a full project file, picture-library lookups and
// extraction, and drawing the code grid preview.

#include "app/core/ProjectFile.h"
#include "app/core/Startup.h"
#include "app/core/TPictureLibrary.h"
#include "app/core/TScriptedPrompts.h"
#include "app/core/qt/PreviewComposer.h"

#include "XVclUtil/MessageBox.h"

#include <QBuffer>
#include <QImage>
#include <benchmark/benchmark.h>
#include <filesystem>
#include <unistd.h>

namespace {

std::vector<uint8_t> Glyph() {
    QImage image(56, 80, QImage::Format_Mono);
    image.fill(1);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return {buffer.data().begin(), buffer.data().end()};
}

std::vector<uint8_t> Library() {
    AppCore::TPictureLibraryBuilder builder(8);
    for (int group = 1; group <= 5; ++group)
        for (int c = '0'; c <= 'Z'; ++c) builder.Set(group, c, Glyph());
    return builder.Build();
}

// A temporary folder as current directory for the whole run.
struct TBenchFolder {
    TBenchFolder() {
        const auto dir = std::filesystem::temp_directory_path() /
                         ("zkf_core_bench_" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        std::filesystem::current_path(dir);
        Dir = dir.string();
        XVclUtil::SetMessageSink([](const std::string&, const std::string&) {});
    }
    ~TBenchFolder() {
        std::error_code ec;
        std::filesystem::current_path("/", ec);
        std::filesystem::remove_all(Dir, ec);
    }
    std::string Dir;
};

TBenchFolder& Folder() {
    static TBenchFolder folder;
    return folder;
}

void FillDocument(AppCore::ProjectDocument& doc) {
    for (int t = 0; t < AppCore::CodeTableCount; ++t)
        for (int n = 0; n < AppCore::CodeCount; ++n)
            doc.CodeTables[t][n] = n % 3 ? std::to_string(n % 50) : "B" + std::to_string(n % 5);
    AppCore::SetDefaultLiftStateImages(doc, Folder().Dir + "/");
}

void BM_SaveProject(benchmark::State& state) {
    AppCore::TScriptedPrompts prompts;
    AppCore::TEditorSession session(prompts);
    FillDocument(session.Document);
    const std::string path = Folder().Dir + "/bench.zkf";
    for (auto _ : state) {
        std::filesystem::remove(path);
        benchmark::DoNotOptimize(AppCore::WriteProjectFile(session, path));
    }
}
BENCHMARK(BM_SaveProject)->Unit(benchmark::kMillisecond);

void BM_LoadProject(benchmark::State& state) {
    AppCore::TScriptedPrompts prompts;
    prompts.PictureLoader = [](int, const std::string&) { return true; };
    AppCore::TEditorSession session(prompts);
    FillDocument(session.Document);
    const std::string path = Folder().Dir + "/load.zkf";
    std::filesystem::remove(path);
    AppCore::WriteProjectFile(session, path);
    for (auto _ : state) {
        prompts.LoadedPictures.clear();
        benchmark::DoNotOptimize(AppCore::LoadProjectFile(session, path));
    }
}
BENCHMARK(BM_LoadProject)->Unit(benchmark::kMillisecond);

void BM_LibraryLookup(benchmark::State& state) {
    AppCore::TPictureLibrary library;
    library.Assign(Library());
    for (auto _ : state)
        for (int c = '0'; c <= 'Z'; ++c) benchmark::DoNotOptimize(library.Picture(3, c).size());
}
BENCHMARK(BM_LibraryLookup);

void BM_DecodeLibraryPicture(benchmark::State& state) {
    Folder();
    AppCore::TPictureLibrary library;
    library.Assign(Library());
    for (auto _ : state)
        benchmark::DoNotOptimize(AppCore::DecodePictureBytes(library.Picture(1, 'A')));
}
BENCHMARK(BM_DecodeLibraryPicture)->Unit(benchmark::kMicrosecond);

void BM_RenderTwoGlyphPreview(benchmark::State& state) {
    AppCore::TPictureLibrary library;
    library.Assign(Library());
    QImage canvas = AppCore::BlankPreview();
    const AppCore::TPreviewPlan plan = AppCore::PlanPreview("B1", 0, "");
    for (auto _ : state) benchmark::DoNotOptimize(AppCore::RenderPreview(canvas, plan, library));
}
BENCHMARK(BM_RenderTwoGlyphPreview)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
