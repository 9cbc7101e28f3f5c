// One run of one INI library on one file, for the side-by-side comparison script:
//   ini_compare LIB FILE SECTIONS KEYS ORDER
// LIB: txini | inih | simpleini_cs | simpleini | inireader (simpleini_cs is SimpleIni's
// case-sensitive form, which matches the engine; simpleini is its case-blind default).
// ORDER: seq reads section by section in file order; shuf reads every key once in a scattered
// order (a stride permutation, so the order costs no memory). The file holds sections
// "sec%05d" with keys "key%05d".
// Prints one line:
//   lib order load_cpu load_wall read_cpu read_wall save_cpu save_wall keys checksum
//   peak_after_load_kb peak_kb
// Times are milliseconds; save is -1 for libraries that cannot save. The checksum is a sum
// of per-value hashes, so it does not depend on the read order: every library must agree.

#include "XVclUtil/ini/TXIniFile.h"

#include <INIReader.h>
#include <ini.h>
#define SI_NO_CONVERSION
#include <SimpleIni.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <numeric>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace {

struct TStamp {
    double Cpu, Wall; // milliseconds
    static TStamp Now() {
        timespec cpu{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
        const auto wall = std::chrono::steady_clock::now().time_since_epoch();
        return {cpu.tv_sec * 1e3 + cpu.tv_nsec / 1e6,
                std::chrono::duration<double, std::milli>(wall).count()};
    }
};

struct TSpan {
    double Cpu = -1, Wall = -1;
    void Set(const TStamp& a, const TStamp& b) {
        Cpu = b.Cpu - a.Cpu;
        Wall = b.Wall - a.Wall;
    }
};

long PeakKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

std::uint64_t ValueHash(const char* s) {
    std::uint64_t h = 1469598103934665603ull;
    for (; *s; ++s) h = (h ^ static_cast<unsigned char>(*s)) * 1099511628211ull;
    return h;
}

struct TResult {
    TSpan Load, Read, Save;
    long Keys = 0;
    std::uint64_t Checksum = 0;
    long PeakAfterLoad = 0;
    void Count(const char* value) {
        if (value == nullptr) return;
        ++Keys;
        Checksum += ValueHash(value);
    }
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

// Visits every (section, key) pair once: in file order, or scattered by a stride coprime with
// the pair count.
template <typename Visit> void ForEachPair(const TNames& n, bool shuffled, Visit visit) {
    const std::uint64_t total = std::uint64_t(n.Sections.size()) * n.Keys.size();
    std::uint64_t stride = 1;
    if (shuffled && total > 2) {
        stride = 2654435761u % total;
        while (stride < 2 || std::gcd(stride, total) != 1) ++stride;
    }
    for (std::uint64_t i = 0, j = 0; i < total; ++i, j = (j + stride) % total)
        visit(n.Sections[j / n.Keys.size()], n.Keys[j % n.Keys.size()]);
}

template <typename Load, typename Lookup, typename Save>
TResult Run(const TNames& n, bool shuffled, Load load, Lookup lookup, Save save) {
    TResult r;
    TStamp t0 = TStamp::Now();
    auto ini = load();
    TStamp t1 = TStamp::Now();
    r.Load.Set(t0, t1);
    r.PeakAfterLoad = PeakKb();
    ForEachPair(n, shuffled,
                [&](const std::string& s, const std::string& k) { r.Count(lookup(*ini, s, k)); });
    TStamp t2 = TStamp::Now();
    r.Read.Set(t1, t2);
    if (save(*ini, n)) r.Save.Set(t2, TStamp::Now());
    return r;
}

const char* const Absent = "\x01";

TResult RunTxIni(const char* file, const TNames& n, bool shuffled) {
    std::string value;
    return Run(
        n, shuffled, [&] { return std::make_unique<XVclUtil::TXIniFile>(file); },
        [&](XVclUtil::TXIniFile& ini, const std::string& s, const std::string& k) -> const char* {
            value = ini.ReadString(s, k, Absent);
            return value == Absent ? nullptr : value.c_str();
        },
        [](XVclUtil::TXIniFile& ini, const TNames& names) {
            ini.WriteString(names.Sections[0], names.Keys[0], "changed");
            return ini.UpdateFile();
        });
}

template <typename Ini> TResult RunSimpleIni(const char* file, const TNames& n, bool shuffled) {
    return Run(
        n, shuffled,
        [&] {
            auto ini = std::make_unique<Ini>();
            ini->LoadFile(file);
            return ini;
        },
        [](Ini& ini, const std::string& s, const std::string& k) {
            return ini.GetValue(s.c_str(), k.c_str(), nullptr);
        },
        [&](Ini& ini, const TNames& names) {
            ini.SetValue(names.Sections[0].c_str(), names.Keys[0].c_str(), "changed");
            return ini.SaveFile(file) == SI_OK;
        });
}

TResult RunIniReader(const char* file, const TNames& n, bool shuffled) {
    std::string value;
    return Run(
        n, shuffled, [&] { return std::make_unique<INIReader>(file); },
        [&](INIReader& ini, const std::string& s, const std::string& k) -> const char* {
            value = ini.Get(s, k, Absent);
            return value == Absent ? nullptr : value.c_str();
        },
        [](INIReader&, const TNames&) { return false; });
}

// The floor: inih's parse with no store; it sees every value once, in file order.
TResult RunInihBare(const char* file) {
    TResult r;
    TStamp t0 = TStamp::Now();
    ini_parse(
        file,
        [](void* user, const char*, const char*, const char* value) -> int {
            static_cast<TResult*>(user)->Count(value);
            return 1;
        },
        &r);
    r.Load.Set(t0, TStamp::Now());
    r.PeakAfterLoad = PeakKb();
    r.Read.Cpu = r.Read.Wall = 0;
    return r;
}

} // namespace

int main(int argc, char** argv) {
    const std::string order = argc == 6 ? argv[5] : "";
    if (argc != 6 || (order != "seq" && order != "shuf")) {
        std::fprintf(stderr, "usage: ini_compare txini|inih|simpleini_cs|simpleini|inireader "
                             "FILE SECTIONS KEYS seq|shuf\n");
        return 2;
    }
    const std::string lib = argv[1];
    const char* file = argv[2];
    const TNames names(std::atoi(argv[3]), std::atoi(argv[4]));
    const bool shuffled = order == "shuf";
    TResult r;
    if (lib == "txini")
        r = RunTxIni(file, names, shuffled);
    else if (lib == "inih")
        r = RunInihBare(file);
    else if (lib == "simpleini_cs")
        r = RunSimpleIni<CSimpleIniCaseA>(file, names, shuffled);
    else if (lib == "simpleini")
        r = RunSimpleIni<CSimpleIniA>(file, names, shuffled);
    else if (lib == "inireader")
        r = RunIniReader(file, names, shuffled);
    else
        return 2;
    std::printf("%s %s %.3f %.3f %.3f %.3f %.3f %.3f %ld %016llx %ld %ld\n", lib.c_str(),
                order.c_str(), r.Load.Cpu, r.Load.Wall, r.Read.Cpu, r.Read.Wall, r.Save.Cpu,
                r.Save.Wall, r.Keys, static_cast<unsigned long long>(r.Checksum), r.PeakAfterLoad,
                PeakKb());
    return 0;
}
