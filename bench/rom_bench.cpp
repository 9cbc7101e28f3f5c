// ROM builder hot paths: encoding one glyph, laying out the image, reading it back, and the
// whole MAKE ROM of the demo project in-process (start-up, load and build as `zkf780a build`).

#include "XVclUtil/FileUtil.h"
#include "XVclUtil/MessageBox.h"
#include "app/core/MakeRom.h"
#include "app/core/ProjectFile.h"
#include "app/core/Startup.h"
#include "app/core/TScriptedPrompts.h"
#include "rom/MonoBitmap.h"
#include "rom/RomImage.h"
#include "rom/TMemoryWorkFolder.h"
#include "rom/TRomImageReader.h"
#include "tools/sampledata/TOffscreenApp.h"
#include "tools/sampledata/TSampleDataGenerator.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

namespace {

// A sample working folder with its default picture tree, made once.
const std::string& SampleDir() {
    static const std::string dir = [] {
        std::string d = (std::filesystem::temp_directory_path() / "rom_bench_XXXXXX").string();
        if (!::mkdtemp(d.data())) std::abort();
        SampleData::TOffscreenApp app;
        SampleData::TSampleDataOptions o;
        o.Dir = d;
        o.WithDefaultImages = true;
        SampleData::TSampleDataGenerator(o).Run();
        std::atexit([] { std::filesystem::remove_all(SampleDir()); });
        return d;
    }();
    return dir;
}

Rom::TPicture Glyph() {
    Rom::TPicture g(56, 80);
    for (int y = 10; y < 70; ++y)
        for (int x = 8; x < 48; x += (y % 3) + 1) g.SetPixel(x, y, Rom::BlackColour);
    return g;
}

void BM_EncodeRotatedGlyph(benchmark::State& state) {
    const Rom::TPicture g = Glyph();
    for (auto _ : state) benchmark::DoNotOptimize(Rom::EncodeRotated(g));
}
BENCHMARK(BM_EncodeRotatedGlyph);

void BM_LoadAndEncodeBmp(benchmark::State& state) {
    const auto bytes = XVclUtil::ReadWholeFile(SampleDir() + "/TITLE_V.bmp");
    for (auto _ : state)
        benchmark::DoNotOptimize(Rom::EncodeRotated(Rom::LoadPictureData(*bytes, "TITLE_V.bmp")));
}
BENCHMARK(BM_LoadAndEncodeBmp);

void BM_BuildEmptyRomImage(benchmark::State& state) {
    Rom::TRomBlocks blocks;
    for (auto _ : state) {
        Rom::TMemoryWorkFolder folder;
        benchmark::DoNotOptimize(Rom::BuildRomImage(folder, "M_", blocks));
    }
}
BENCHMARK(BM_BuildEmptyRomImage);

// The demo build in-process as `zkf780a build` runs it, in three stages: start-up only (arg 0),
// start-up and project load (1), and the whole build (2). The image is then read back by the
// verifier benchmark.
void BM_MakeRomDemo(benchmark::State& state) {
    const std::string dir = SampleDir();
    XVclUtil::TMessageCapture quiet;
    for (auto _ : state) {
        AppCore::TScriptedPrompts prompts;
        AppCore::TEditorSession session(prompts);
        AppCore::RunStartup(session, dir + "/", dir);
        if (state.range(0) >= 1) AppCore::LoadProjectFile(session, dir + "/demo.zkf");
        prompts.SaveAnswers.push_back(dir + "/demo.zkf");
        if (state.range(0) >= 2 && !AppCore::MakeRom(session, dir + "/bench.ROM"))
            state.SkipWithError("build failed");
    }
}
BENCHMARK(BM_MakeRomDemo)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void BM_VerifyDemoImage(benchmark::State& state) {
    const std::string rom = SampleDir() + "/bench.ROM";
    if (!XVclUtil::FileExists(rom)) {
        state.SkipWithError("run BM_MakeRomDemo first");
        return;
    }
    const auto bytes = XVclUtil::ReadWholeFile(rom);
    for (auto _ : state) {
        Rom::TRomImageReader reader;
        benchmark::DoNotOptimize(reader.Load(*bytes));
    }
}
BENCHMARK(BM_VerifyDemoImage)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
