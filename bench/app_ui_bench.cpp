// Editor window hot paths, in-process: the whole start-up of the main window from the sample
// working folder (form, grid, settings, library, the seventy start-up pictures), showing a
// loaded project in every control, and the preview of a two-character cell.

#include "XVclUtil/MessageBox.h"
#include "app/core/ProjectFile.h"
#include "app/core/TScriptedPrompts.h"
#include "app/ui/TMainWindow.h"
#include "app/ui/TStringGrid.h"
#include "tools/sampledata/TSampleDataGenerator.h"
#include "ui_MainWindow.h"

#include <QApplication>
#include <QDir>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

namespace {

int Argc = 1;
char Name[] = "app_ui_bench";
char* Argv[] = {Name, nullptr};

// The sample working folder with its default picture tree; the process works inside it.
const std::string& SampleDir() {
    static const std::string dir = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        new QApplication(Argc, Argv);
        std::string d = (std::filesystem::temp_directory_path() / "app_ui_bench_XXXXXX").string();
        if (!::mkdtemp(d.data())) std::abort();
        SampleData::TSampleDataOptions o;
        o.Dir = d;
        o.WithDefaultImages = true;
        SampleData::TSampleDataGenerator(o).Run();
        QDir::setCurrent(QString::fromStdString(d));
        std::atexit([] { std::filesystem::remove_all(SampleDir()); });
        return d;
    }();
    return dir;
}

void BM_MainWindowStartup(benchmark::State& state) {
    const std::string programDir = SampleDir() + "/";
    XVclUtil::TMessageCapture messages;
    for (auto _ : state) {
        AppUi::TMainWindow window(programDir);
        benchmark::DoNotOptimize(window.StartupCompleted());
    }
    if (!messages.Messages.empty()) state.SkipWithError(messages.Messages[0].second.c_str());
}
BENCHMARK(BM_MainWindowStartup)->Unit(benchmark::kMillisecond);

void BM_LoadDemoProject(benchmark::State& state) {
    const std::string programDir = SampleDir() + "/";
    XVclUtil::TMessageCapture messages;
    AppUi::TMainWindow window(programDir);
    AppCore::TScriptedPrompts answers;
    window.Prompts().SetDialogAnswers(&answers);
    for (auto _ : state) {
        answers.OpenAnswers.push_back(SampleDir() + "/demo.zkf");
        window.SpeedButton12Click();
    }
    if (!messages.Messages.empty()) state.SkipWithError(messages.Messages[0].second.c_str());
}
BENCHMARK(BM_LoadDemoProject)->Unit(benchmark::kMillisecond);

void BM_PreviewTwoCharacters(benchmark::State& state) {
    XVclUtil::TMessageCapture messages;
    AppUi::TMainWindow window(SampleDir() + "/");
    window.Form().StringGrid5->SetCells(2, 1, "B1");
    window.StringGrid5CellEdited(2, 1, "B1");
    for (auto _ : state) window.StringGrid5Click(2, 1);
    if (!messages.Messages.empty()) state.SkipWithError(messages.Messages[0].second.c_str());
}
BENCHMARK(BM_PreviewTwoCharacters)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
