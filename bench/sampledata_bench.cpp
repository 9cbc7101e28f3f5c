// Sample data: drawing the whole picture library, the default picture tree, and the byte
// formats the pictures are stored in.

#include "tools/sampledata/DefaultImageTree.h"
#include "tools/sampledata/LibraryContent.h"
#include "tools/sampledata/MonoImage.h"
#include "tools/sampledata/PictureFormats.h"
#include "tools/sampledata/TFloorFont.h"
#include "tools/sampledata/TOffscreenApp.h"

#include <benchmark/benchmark.h>

namespace {

const SampleData::TSampleFonts& Fonts() {
    static const auto* fonts = new SampleData::TSampleFonts;
    return *fonts;
}

void BM_BuildSampleLibrary(benchmark::State& state) {
    for (auto _ : state) {
        const std::string glb = SampleData::BuildSampleLibrary(Fonts()).GlbBytes();
        benchmark::DoNotOptimize(glb.data());
        state.counters["glb_bytes"] = double(glb.size());
    }
}
BENCHMARK(BM_BuildSampleLibrary)->Unit(benchmark::kMillisecond);

void BM_BuildDefaultImageTree(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(SampleData::BuildDefaultImageTree(Fonts()));
}
BENCHMARK(BM_BuildDefaultImageTree)->Unit(benchmark::kMillisecond);

void BM_FloorGlyph(benchmark::State& state) {
    const SampleData::TFloorFont font(Fonts(), int(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(font.Glyph(QChar('8')));
}
BENCHMARK(BM_FloorGlyph)->DenseRange(0, 4)->Unit(benchmark::kMicrosecond);

void BM_EncodeBmp1(benchmark::State& state) {
    const QImage picture = SampleData::TFloorFont(Fonts(), 0).Glyph(QChar('8'));
    for (auto _ : state) benchmark::DoNotOptimize(SampleData::EncodeBmp1(picture));
}
BENCHMARK(BM_EncodeBmp1)->Unit(benchmark::kMicrosecond);

void BM_MonoRecordRotated(benchmark::State& state) {
    const QImage picture = SampleData::TFloorFont(Fonts(), 0).Glyph(QChar('8'));
    for (auto _ : state)
        benchmark::DoNotOptimize(
            SampleData::MonoRecord(picture, SampleData::TOrientation::Rotated));
}
BENCHMARK(BM_MonoRecordRotated)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    SampleData::TOffscreenApp app;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
