// zkf780a disk: raw sector access to a drive letter that stands for a block device or a disk
// image file: show the geometry, read sectors to a file, write a file to sectors.

#include "DiskOutputFile.h"
#include "NearestName.h"
#include "Verb.h"
#include "VerbParser.h"

#include "XVclUtil/disk/AbsDiskDriveTable.h"
#include "XVclUtil/disk/AbsDiskSystemDrive.h"
#include "XVclUtil/disk/TXAbsDiskIO.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <vector>

using namespace XVclUtil;

namespace {

constexpr uint32_t kChunkSectors = 2048; // sectors moved per request on large transfers

// Exit codes: usage errors, refusals and file errors stand apart from the raw disk result
// codes, which come out as 10 + code.
constexpr int kExitUsage = Cli::ExitUsage;
constexpr int kExitRefused = 3; // refused or not confirmed: nothing was written
constexpr int kExitFile = 4;    // INFILE or OUTFILE cannot be read or written
constexpr int kExitResultBase = 10;

const char* const DescriptionRest =
    "Logical mode (the default) addresses the "
    "drive's volume: a partition device, or the MBR partition of a whole disk or image file; "
    "--physical addresses the whole disk that holds it.\n"
    "FIRST and COUNT are sector numbers (decimal or 0x hex); COUNT and the size of INFILE must "
    "be at least one sector. A mounted volume (in physical mode: any mounted volume on the "
    "disk) cannot be opened; writing also refuses the disk that holds the running system, and "
    "asks before it writes. OUTFILE is replaced atomically when it is a regular file or a new "
    "name (through a symbolic link: its target); a character device or FIFO is written in "
    "place; anything else is refused.";

// The usage lines and what a drive letter stands for: a mapping on POSIX systems, the
// system's own drive on Windows.
std::string Description() {
    const bool mapped = AbsDiskDrivesNeedMapping();
    const std::string map = mapped ? " --map X:=PATH\n" : "\n";
    return "zkf780a disk info  X: [--physical]" + map +
           "zkf780a disk read  X: FIRST COUNT OUTFILE [--physical]" + map +
           "zkf780a disk write X: FIRST INFILE [--physical] [--yes]" + map +
           "Raw sector access to drive X. " +
           (mapped ? "A drive letter stands for a block device or a disk image file; --map "
                     "X:=PATH says which (repeatable). "
                   : "A drive letter is the system's own drive; --map X:=PATH serves only the "
                     "emulated 9x family (--9x). ") +
           DescriptionRest;
}

const char* const ExitCodes =
    "  0      success\n"
    "  2      usage error\n"
    "  3      refused (the running system's disk) or not confirmed: nothing written\n"
    "  4      INFILE or OUTFILE cannot be read or written\n"
    "  11-15  raw disk result code 1-5 of the failed open, read or write, plus 10:\n"
    "         11 a platform or driver request failed (the message names the cause),\n"
    "         12 not a drive name, 13 9x service or driver missing, 14 9x driver\n"
    "         buffer too small, 15 sector range outside the disk or volume\n";

struct TOptions {
    std::string Command;
    std::vector<std::string> Positional;
    bool Physical = false;
    bool Yes = false;
    bool Win9x = false;
    unsigned Partition = 0;
    std::vector<std::pair<int, std::string>> Maps; // drive number, path
};

bool ParseUnsigned32(const std::string& text, uint32_t& value) {
    if (text.empty() || text[0] == '-' || text[0] == '+') return false;
    errno = 0;
    char* end = nullptr;
    const unsigned long long v = std::strtoull(text.c_str(), &end, 0);
    if (errno != 0 || *end != '\0' || v > 0xFFFFFFFFull) return false;
    value = static_cast<uint32_t>(v);
    return true;
}

bool ParseMap(const std::string& text, TOptions& options) {
    const auto eq = text.find('=');
    if (eq == std::string::npos || eq + 1 >= text.size()) return false;
    const int number = TXAbsDiskIO::DriveNumberOf(text.substr(0, eq).c_str());
    if (number == 0) return false;
    options.Maps.emplace_back(number, text.substr(eq + 1));
    return true;
}

// The exit status when parsing ends the run.
std::optional<int> ParseArgs(int argc, char** argv, TOptions& options) {
    Cli::TVerbParser parser("disk", Description(), ExitCodes);
    std::vector<std::string> maps;
    parser.add_option("COMMAND", options.Command, "info, read or write")->required();
    parser.add_option("ARGS", options.Positional, "X: and the command's arguments");
    parser.add_flag("--physical", options.Physical, "address the whole disk");
    parser
        .add_option("--map", maps,
                    AbsDiskDrivesNeedMapping()
                        ? "drive X stands for PATH (repeatable)"
                        : "drive X stands for PATH under --9x only (repeatable)")
        ->type_name("X:=PATH");
    parser
        .add_option("--partition", options.Partition,
                    "MBR slot 1..4 of a whole disk or image file that is the volume "
                    "(default: the first partition in the table)")
        ->check(CLI::Range(0u, 4u))
        ->type_name("N");
    parser.add_flag("--yes", options.Yes, "write without asking");
    parser.add_flag("--9x", options.Win9x,
                    "use the 9x family on the emulated VWIN32 service and drivers");
    if (auto status = parser.Parse(argc, argv)) return status;
    for (const std::string& map : maps)
        if (!ParseMap(map, options))
            return parser.UsageError("--map wants X:=PATH, not \"" + map + "\"");
    static const std::pair<const char*, std::size_t> kArity[] = {
        {"info", 1}, {"read", 4}, {"write", 3}};
    for (auto [name, arity] : kArity)
        if (options.Command == name) {
            if (options.Positional.size() == arity) return std::nullopt;
            return parser.UsageError(std::string("wrong number of arguments for ") + name);
        }
    std::string text = "unknown command \"" + options.Command + "\"";
    const std::string nearest = Cli::NearestName(options.Command, {"info", "read", "write"});
    if (!nearest.empty()) text += "; did you mean \"" + nearest + "\"?";
    return parser.UsageError(text);
}

// Reports a failed open, read or write with its result code and cause; gives the exit code.
int Failed(const char* operation, const std::string& drive, int code, const std::string& why) {
    std::fprintf(stderr, "disk: %s of %s failed with result code %d: %s%s%s%s\n", operation,
                 drive.c_str(), code, AbsDiskResultText(code), why.empty() ? "" : " (", why.c_str(),
                 why.empty() ? "" : ")");
    return kExitResultBase + code;
}

int Failed(const char* operation, const std::string& drive, int code, const TXAbsDiskIO& d) {
    return Failed(operation, drive, code, d.FailureText());
}

std::unique_ptr<TXAbsDiskIO> MakeDisk(const TOptions& options) {
    if (!options.Win9x) return std::make_unique<TXAbsDiskIO>();
    return std::make_unique<TXAbsDiskIO>([](int& id) { return id = ABSDISK_PLATFORM_9X, true; });
}

void PrintInfo(const TXAbsDiskIO& d, const std::string& drive, const std::string& path) {
    std::printf("Drive %s (%s mode) -> %s\n", drive.c_str(),
                d.PhysicalMode ? "physical" : "logical", path.c_str());
    std::printf("Platform family: %s\n", d.IsNtPlatform ? "NT" : "9x");
    std::printf("BytesPerSector: %u\n", d.BytesPerSector);
    std::printf("LastSector: %u\n", d.LastSector);
    std::printf("Cylinders: %u\n", d.Cylinders);
    std::printf("TracksPerCylinder: %u\n", d.TracksPerCylinder);
    std::printf("SectorsPerTrack: %u\n", d.SectorsPerTrack);
    std::printf("PartitionStartSector: %u\n", d.PartitionStartSector);
    std::printf("VolumeSectorCount: %u\n", d.VolumeSectorCount);
    std::printf("LockCount: %d\n", d.LockCount);
}

// A range is checked as a whole before any sector moves, by touching its last sector, so a
// transfer cut into chunks never stops half-way on a range error. Nothing to move is a range
// error too: a request that moves nothing is not what was asked for.
int CheckRange(TXAbsDiskIO& d, uint32_t first, uint32_t count) {
    if (count == 0 || uint64_t(first) + count - 1 > 0xFFFFFFFFull) return ABSDISK_ERR_RANGE;
    std::vector<uint8_t> sector(d.BytesPerSector);
    return d.AbsReadDisk(first + count - 1, 1, sector.data());
}

// Sectors per request: the chunk size, or less where the open cannot move that many at once
// (the 9x driver's transfer buffer).
uint32_t ChunkSectors(const TXAbsDiskIO& d) {
    const uint32_t most = d.MaxTransferSectors();
    return most == 0 ? 1 : std::min(most, kChunkSectors);
}

int ReadCommand(TXAbsDiskIO& d, const std::string& drive, uint32_t first, uint32_t count,
                const std::string& outFile) {
    int code = CheckRange(d, first, count);
    if (code != ABSDISK_OK)
        return Failed("reading", drive, code, count == 0 ? "COUNT is 0" : d.FailureText());
    Cli::TDiskOutputFile out;
    std::string error;
    if (!out.Open(outFile, error)) {
        std::fprintf(stderr, "disk: cannot write \"%s\": %s\n", outFile.c_str(), error.c_str());
        return kExitFile;
    }
    const uint32_t chunk = ChunkSectors(d);
    std::vector<uint8_t> buffer(uint64_t(chunk) * d.BytesPerSector);
    for (uint32_t done = 0; done < count;) {
        const uint32_t n = std::min(count - done, chunk);
        code = d.AbsReadDisk(first + done, n, buffer.data());
        if (code != ABSDISK_OK) return Failed("reading", drive, code, d);
        if (!out.Write(buffer.data(), uint64_t(n) * d.BytesPerSector)) break;
        done += n;
    }
    if (!out.Commit(error)) {
        std::fprintf(stderr, "disk: cannot write \"%s\": %s\n", outFile.c_str(), error.c_str());
        return kExitFile;
    }
    std::printf("Read %u sectors (%llu bytes) from %s sector %u to %s\n", count,
                static_cast<unsigned long long>(uint64_t(count) * d.BytesPerSector), drive.c_str(),
                first, outFile.c_str());
    return 0;
}

bool Confirmed(const std::string& question) {
    std::fprintf(stderr, "%s [y/N] ", question.c_str());
    std::fflush(stderr);
    std::string answer;
    if (!std::getline(std::cin, answer)) return false;
    return answer == "y" || answer == "Y" || answer == "yes" || answer == "YES";
}

// Refuses a drive whose disk holds the running system. Mounted volumes are refused by the open.
bool RefusedForWriting(int driveNumber) {
    std::string reason;
    if (!AbsDiskDriveHoldsRunningSystem(driveNumber, reason)) return false;
    std::fprintf(stderr, "disk: refusing to write: %s\n", reason.c_str());
    return true;
}

int WriteCommand(TXAbsDiskIO& d, const TOptions& o, const std::string& drive, uint32_t first,
                 const std::string& inFile) {
    // Only a regular file has a size to check before writing; a FIFO would also block here.
    struct stat st;
    const bool found = ::stat(inFile.c_str(), &st) == 0;
    if (!found || !S_ISREG(st.st_mode)) {
        std::fprintf(stderr, "disk: cannot read \"%s\": %s\n", inFile.c_str(),
                     found ? "it is not a regular file" : std::strerror(errno));
        return kExitFile;
    }
    std::ifstream in(inFile, std::ios::binary);
    const uint64_t size = static_cast<uint64_t>(st.st_size);
    if (!in) {
        std::fprintf(stderr, "disk: cannot read \"%s\"\n", inFile.c_str());
        return kExitFile;
    }
    if (size % d.BytesPerSector != 0 || size / d.BytesPerSector > 0xFFFFFFFFull) {
        std::fprintf(stderr, "disk: \"%s\" is %llu bytes, not a whole number of %u-byte sectors\n",
                     inFile.c_str(), static_cast<unsigned long long>(size), d.BytesPerSector);
        return kExitFile;
    }
    const uint32_t count = static_cast<uint32_t>(size / d.BytesPerSector);
    int code = CheckRange(d, first, count);
    if (code != ABSDISK_OK)
        return Failed("writing", drive, code, count == 0 ? "INFILE is empty" : d.FailureText());
    char question[256];
    std::snprintf(question, sizeof question, "Write %u sectors to %s %s at sector %u?", count,
                  drive.c_str(), o.Physical ? "(the whole disk)" : "(its volume)", first);
    if (!o.Yes && !Confirmed(question)) {
        std::fprintf(stderr, "disk: nothing written\n");
        return kExitRefused;
    }
    const uint32_t chunk = ChunkSectors(d);
    std::vector<uint8_t> buffer(uint64_t(chunk) * d.BytesPerSector);
    for (uint32_t done = 0; done < count;) {
        const uint32_t n = std::min(count - done, chunk);
        if (!in.read(reinterpret_cast<char*>(buffer.data()), uint64_t(n) * d.BytesPerSector)) {
            std::fprintf(stderr, "disk: reading \"%s\" failed after %u sectors were written\n",
                         inFile.c_str(), done);
            return kExitFile;
        }
        code = d.AbsWriteDisk(first + done, n, buffer.data());
        if (code != ABSDISK_OK) return Failed("writing", drive, code, d);
        done += n;
    }
    std::printf("Wrote %u sectors (%llu bytes) from %s to %s sector %u\n", count,
                static_cast<unsigned long long>(size), inFile.c_str(), drive.c_str(), first);
    return 0;
}

int DiskMain(int argc, char** argv) {
    TOptions o;
    if (auto status = ParseArgs(argc, argv, o)) return *status;
    for (const auto& [number, path] : o.Maps)
        TAbsDiskDriveTable::Map(static_cast<char>('A' + number - 1), path, o.Partition);
    const int number = TXAbsDiskIO::DriveNumberOf(o.Positional[0].c_str());
    // Messages name the drive as "C:"; a text that is no drive name is shown as given.
    const std::string drive =
        number != 0 ? std::string(1, char('A' + number - 1)) + ":" : o.Positional[0];
    uint32_t first = 0, count = 0;
    if ((o.Command != "info" && !ParseUnsigned32(o.Positional[1], first)) ||
        (o.Command == "read" && !ParseUnsigned32(o.Positional[2], count))) {
        std::fprintf(stderr, "disk %s: sector numbers are unsigned 32-bit numbers\n",
                     o.Command.c_str());
        return kExitUsage;
    }
    if (o.Command == "write" && number != 0 && RefusedForWriting(number)) return kExitRefused;

    auto disk = MakeDisk(o);
    const int code = disk->AbsOpenDisk(o.Positional[0].c_str(), o.Physical);
    if (code != ABSDISK_OK) return Failed("opening", drive, code, *disk);
    const auto entry = TAbsDiskDriveTable::Lookup(number);
    int rc = 0;
    if (o.Command == "info")
        PrintInfo(*disk, drive, entry ? entry->Path : std::string());
    else if (o.Command == "read")
        rc = ReadCommand(*disk, drive, first, count, o.Positional[3]);
    else
        rc = WriteCommand(*disk, o, drive, first, o.Positional[2]);
    disk->AbsCloseDisk();
    return rc;
}

Cli::TVerbRegistrar reg("disk", "raw sector access to a drive mapped to a block device or image",
                        DiskMain);

} // namespace
