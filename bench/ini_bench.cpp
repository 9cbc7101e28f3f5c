// Hot paths of the INI engine: hashing, loading and keyed reads.

#include "XVclUtil/ini/TXHashedStringList.h"
#include "XVclUtil/ini/TXIniFile.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

std::string MakeFile(int sections, int keys) {
    std::string path = "/tmp/zkf_ini_bench_" + std::to_string(::getpid()) + ".ini";
    std::string text;
    char line[64];
    for (int s = 0; s < sections; ++s) {
        text += "[sec" + std::to_string(s) + "]\r\n";
        for (int k = 0; k < keys; ++k) {
            std::snprintf(line, sizeof line, "key%05d=v%09d\r\n", k, s * keys + k);
            text += line;
        }
        text += "\r\n";
    }
    FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
    return path;
}

void BM_StrToHashKey(benchmark::State& state) {
    const char* s = "DEFCODETABLE";
    for (auto _ : state)
        benchmark::DoNotOptimize(XVclUtil::TXHashedStringList::StrToHashKey(s, nullptr));
}
BENCHMARK(BM_StrToHashKey);

void BM_LoadFile(benchmark::State& state) {
    const std::string path = MakeFile(static_cast<int>(state.range(0)), 500);
    for (auto _ : state) {
        XVclUtil::TXIniFile ini(path);
        benchmark::DoNotOptimize(ini.SectionExists("sec0"));
    }
    state.SetBytesProcessed(state.iterations() * state.range(0) * 500 * 21);
    std::remove(path.c_str());
}
BENCHMARK(BM_LoadFile)->Arg(100)->Unit(benchmark::kMillisecond);

void BM_ReadString(benchmark::State& state) {
    const std::string path = MakeFile(100, 500);
    XVclUtil::TXIniFile ini(path);
    int i = 0;
    for (auto _ : state) {
        char key[16];
        std::snprintf(key, sizeof key, "key%05d", i++ % 500);
        benchmark::DoNotOptimize(ini.ReadString("sec42", key, ""));
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_ReadString);

} // namespace

BENCHMARK_MAIN();
