// One run of one INI library on one file, for the side-by-side comparison script:
//   ini_compare LIB FILE SECTIONS KEYS
// LIB: txini | inih | simpleini | inireader. The file holds sections "sec%05d" with keys
// "key%05d". Prints one line: lib load_ms read_ms absent_ms save_ms keys checksum peak_kb.

#include "XVclUtil/TXIniFile.h"

#include <INIReader.h>
#include <ini.h>
#define SI_NO_CONVERSION
#include <SimpleIni.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double, std::milli>(b - a).count();
}

std::uint64_t Mix(std::uint64_t sum, const char* s) {
    for (; *s; ++s) sum = sum * 131 + static_cast<unsigned char>(*s);
    return sum;
}

struct TResult {
    double Load = 0, Read = 0, Absent = 0, Save = -1;
    long Keys = 0;
    std::uint64_t Checksum = 0;
};

struct TNames {
    std::vector<std::string> Sections, Keys;
    TNames(int sections, int keys) {
        char buf[32];
        for (int s = 0; s < sections; ++s)
            Sections.push_back((std::snprintf(buf, sizeof buf, "sec%05d", s), buf));
        for (int k = 0; k < keys; ++k)
            Keys.push_back((std::snprintf(buf, sizeof buf, "key%05d", k), buf));
    }
};

// Times the three read phases and a save around a library's lookup function.
template <typename Lookup, typename Save>
void Phases(TResult& r, const TNames& n, Lookup lookup, Save save) {
    auto t0 = Clock::now();
    for (const auto& s : n.Sections)
        for (const auto& k : n.Keys) {
            const char* v = lookup(s, k);
            if (v) {
                ++r.Keys;
                r.Checksum = Mix(r.Checksum, v);
            }
        }
    auto t1 = Clock::now();
    long found = 0;
    for (const auto& s : n.Sections)
        for (const auto& k : n.Keys) found += lookup(s, k + "x") != nullptr;
    auto t2 = Clock::now();
    r.Read = Ms(t0, t1);
    r.Absent = Ms(t1, t2);
    if (found) std::fprintf(stderr, "absent keys found: %ld\n", found);
    save(r);
}

TResult RunTxIni(const char* file, const TNames& n) {
    TResult r;
    auto t0 = Clock::now();
    XVclUtil::TXIniFile ini(file);
    r.Load = Ms(t0, Clock::now());
    std::string value;
    Phases(
        r, n,
        [&](const std::string& s, const std::string& k) -> const char* {
            value = ini.ReadString(s, k, "\x01");
            return value == "\x01" ? nullptr : value.c_str();
        },
        [&](TResult& res) {
            auto t = Clock::now();
            ini.WriteString(n.Sections[0], n.Keys[0], "changed");
            ini.UpdateFile();
            res.Save = Ms(t, Clock::now());
        });
    return r;
}

TResult RunInihBare(const char* file) {
    TResult r;
    auto t0 = Clock::now();
    ini_parse(
        file,
        [](void* user, const char*, const char*, const char* value) -> int {
            auto* res = static_cast<TResult*>(user);
            ++res->Keys;
            res->Checksum = Mix(res->Checksum, value);
            return 1;
        },
        &r);
    r.Load = Ms(t0, Clock::now());
    // The bare parse has no store: its checksum runs in file order, which is the lookup order.
    return r;
}

TResult RunSimpleIni(const char* file, const TNames& n) {
    TResult r;
    auto t0 = Clock::now();
    CSimpleIniA ini;
    ini.LoadFile(file);
    r.Load = Ms(t0, Clock::now());
    Phases(
        r, n,
        [&](const std::string& s, const std::string& k) {
            return ini.GetValue(s.c_str(), k.c_str(), nullptr);
        },
        [&](TResult& res) {
            auto t = Clock::now();
            ini.SetValue(n.Sections[0].c_str(), n.Keys[0].c_str(), "changed");
            ini.SaveFile(file);
            res.Save = Ms(t, Clock::now());
        });
    return r;
}

TResult RunIniReader(const char* file, const TNames& n) {
    TResult r;
    auto t0 = Clock::now();
    INIReader ini(file);
    r.Load = Ms(t0, Clock::now());
    std::string value;
    Phases(
        r, n,
        [&](const std::string& s, const std::string& k) -> const char* {
            value = ini.Get(s, k, "\x01");
            return value == "\x01" ? nullptr : value.c_str();
        },
        [](TResult&) {});
    return r;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr,
                     "usage: ini_compare txini|inih|simpleini|inireader FILE SECTIONS KEYS\n");
        return 2;
    }
    const std::string lib = argv[1];
    const char* file = argv[2];
    const TNames names(std::atoi(argv[3]), std::atoi(argv[4]));
    TResult r;
    if (lib == "txini")
        r = RunTxIni(file, names);
    else if (lib == "inih")
        r = RunInihBare(file);
    else if (lib == "simpleini")
        r = RunSimpleIni(file, names);
    else if (lib == "inireader")
        r = RunIniReader(file, names);
    else
        return 2;
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%s %.3f %.3f %.3f %.3f %ld %016llx %ld\n", lib.c_str(), r.Load, r.Read, r.Absent,
                r.Save, r.Keys, static_cast<unsigned long long>(r.Checksum), usage.ru_maxrss);
    return 0;
}
