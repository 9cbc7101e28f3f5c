// Raw disk throughput on a disk image file: both families, both modes, by request size, and
// the cost of an open/close pair (image files skip the settle pauses of block devices).

#include "XVclUtil/disk/AbsDiskDriveTable.h"
#include "XVclUtil/disk/AbsDiskVxdEmulator.h"
#include "XVclUtil/disk/TXAbsDiskIO.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

using namespace XVclUtil;

namespace {

constexpr uint32_t kDiskSectors = 131072; // 64 MiB
constexpr uint32_t kVolumeStart = 2048;

// One image for the whole run: an MBR with one volume, every sector written once so that
// reads come from real pages of the page cache rather than holes.
const std::string& Image() {
    static const std::string path = [] {
        static char pattern[] = "/tmp/absdisk_benchXXXXXX"; // still there for atexit
        const int fd = ::mkstemp(pattern);
        if (fd < 0) std::abort();
        std::vector<uint8_t> chunk(1 << 20, 0x5A);
        for (uint32_t i = 0; i < kDiskSectors * 512ull / chunk.size(); ++i)
            if (::write(fd, chunk.data(), chunk.size()) != ssize_t(chunk.size())) std::abort();
        uint8_t mbr[512] = {};
        mbr[446 + 4] = 0x0C;
        const uint32_t first = kVolumeStart, count = kDiskSectors - kVolumeStart;
        std::memcpy(mbr + 446 + 8, &first, 4);
        std::memcpy(mbr + 446 + 12, &count, 4);
        mbr[510] = 0x55;
        mbr[511] = 0xAA;
        if (::pwrite(fd, mbr, sizeof mbr, 0) != ssize_t(sizeof mbr)) std::abort();
        ::close(fd);
        std::atexit([] { ::unlink(pattern); });
        TAbsDiskDriveTable::Map('B', pattern);
        return std::string(pattern);
    }();
    return path;
}

bool Query9x(int& id) {
    id = ABSDISK_PLATFORM_9X;
    return true;
}

// range(0): sectors per request; range(1): 1 physical, 0 logical; range(2): 1 for 9x.
void Transfer(benchmark::State& state, bool write) {
    Image();
    const uint32_t count = static_cast<uint32_t>(state.range(0));
    const bool physical = state.range(1) != 0;
    auto disk =
        state.range(2) ? std::make_unique<TXAbsDiskIO>(Query9x) : std::make_unique<TXAbsDiskIO>();
    if (disk->AbsOpenDisk("B:", physical) != ABSDISK_OK) {
        state.SkipWithError("open failed");
        return;
    }
    std::vector<uint8_t> buffer(uint64_t(count) * 512, 0xA5);
    const uint32_t span = 16384; // sectors cycled through, inside the volume
    // Physical sector numbers start past the MBR, so writes never touch the partition table.
    const uint32_t base = physical ? kVolumeStart : 0;
    uint32_t first = 0;
    for (auto _ : state) {
        const int code = write ? disk->AbsWriteDisk(base + first, count, buffer.data())
                               : disk->AbsReadDisk(base + first, count, buffer.data());
        if (code != ABSDISK_OK) {
            state.SkipWithError("transfer failed");
            break;
        }
        first = (first + count) % (span - count);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * count * 512);
    disk->AbsCloseDisk();
}

void BM_Read(benchmark::State& state) {
    Transfer(state, false);
}
void BM_Write(benchmark::State& state) {
    Transfer(state, true);
}

void Args(benchmark::internal::Benchmark* b) {
    for (int family : {0, 1})
        for (int physical : {1, 0})
            for (int count : {1, 16, 128}) b->Args({count, physical, family});
    b->Args({2048, 1, 0})->Args({2048, 0, 0})->Args({2048, 0, 1});
    b->ArgNames({"sectors", "physical", "9x"})->UseRealTime();
}

void BM_OpenClose(benchmark::State& state) {
    Image();
    const bool physical = state.range(0) != 0;
    auto disk =
        state.range(1) ? std::make_unique<TXAbsDiskIO>(Query9x) : std::make_unique<TXAbsDiskIO>();
    for (auto _ : state) {
        if (disk->AbsOpenDisk("B:", physical) != ABSDISK_OK) {
            state.SkipWithError("open failed");
            break;
        }
        disk->AbsCloseDisk();
    }
}

} // namespace

BENCHMARK(BM_Read)->Apply(Args);
BENCHMARK(BM_Write)->Apply(Args);
BENCHMARK(BM_OpenClose)
    ->Args({1, 0})
    ->Args({0, 0})
    ->Args({1, 1})
    ->Args({0, 1})
    ->ArgNames({"physical", "9x"})
    ->UseRealTime();

BENCHMARK_MAIN();
