#include "AbsDiskLinuxSys.h"

#include "XVclUtil/FileUtil.h"

#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace XVclUtil {

namespace {

std::optional<std::string> ReadFirstLine(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    if (!in || !std::getline(in, line)) return std::nullopt;
    return line;
}

std::optional<uint64_t> ReadNumber(const std::string& path) {
    auto line = ReadFirstLine(path);
    if (!line || line->empty()) return std::nullopt;
    char* end = nullptr;
    const unsigned long long value = std::strtoull(line->c_str(), &end, 10);
    if (end == line->c_str()) return std::nullopt;
    return value;
}

std::optional<dev_t> ParseMajorMinor(const std::string& text) {
    unsigned major = 0, minor = 0;
    char extra = 0;
    if (std::sscanf(text.c_str(), "%u:%u%c", &major, &minor, &extra) < 2) return std::nullopt;
    return makedev(major, minor);
}

std::string MajorMinorText(dev_t dev) {
    return std::to_string(major(dev)) + ":" + std::to_string(minor(dev));
}

std::optional<std::string> CanonicalPath(const std::string& path) {
    char* resolved = realpath(path.c_str(), nullptr);
    if (resolved == nullptr) return std::nullopt;
    std::string result(resolved);
    std::free(resolved);
    return result;
}

std::string BaseName(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string DirName(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

bool IsOctal(char c, char highest) {
    return c >= '0' && c <= highest;
}

// Mountinfo writes space, tab, newline and backslash as \ooo.
std::string DecodeOctalEscapes(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size() && IsOctal(text[i + 1], '3') &&
            IsOctal(text[i + 2], '7') && IsOctal(text[i + 3], '7')) {
            out += static_cast<char>((text[i + 1] - '0') * 64 + (text[i + 2] - '0') * 8 +
                                     (text[i + 3] - '0'));
            i += 3;
        } else {
            out += text[i];
        }
    }
    return out;
}

// The device a mount line names: its major:minor field, or for file systems that report an
// anonymous device (btrfs and friends) the block device given as its source.
std::optional<dev_t> MountDevice(const std::string& majorMinor, const std::string& source) {
    auto dev = ParseMajorMinor(majorMinor);
    if (dev && major(*dev) != 0) return dev;
    struct stat st;
    if (!source.empty() && source[0] == '/' && ::stat(source.c_str(), &st) == 0 &&
        S_ISBLK(st.st_mode))
        return st.st_rdev;
    return std::nullopt;
}

} // namespace

bool TAbsDiskByteRange::Overlaps(const TAbsDiskByteRange& other) const {
    // Ends are compared as differences, so ranges reaching to 2^64 cannot wrap around.
    if (Bytes == 0 || other.Bytes == 0) return false;
    if (First <= other.First) return other.First - First < Bytes;
    return First - other.First < other.Bytes;
}

bool AbsDiskParseMountInfoLine(const std::string& line, std::string& majorMinor,
                               std::string& mountPoint, std::string& source) {
    std::istringstream in(line);
    std::string id, parent, root;
    if (!(in >> id >> parent >> majorMinor >> root >> mountPoint)) return false;
    std::string field;
    while (in >> field && field != "-") {
    }
    std::string fsType;
    if (field != "-" || !(in >> fsType >> source)) return false;
    mountPoint = DecodeOctalEscapes(mountPoint);
    source = DecodeOctalEscapes(source);
    return true;
}

TAbsDiskLinuxSys::TAbsDiskLinuxSys(std::string sysfsRoot, std::string mountInfoPath,
                                   std::string devRoot)
    : SysfsRoot(std::move(sysfsRoot)), MountInfoPath(std::move(mountInfoPath)),
      DevRoot(std::move(devRoot)) {}

std::string TAbsDiskLinuxSys::DeviceNode(const std::string& kernelName) const {
    return DevRoot + "/" + kernelName;
}

std::optional<TAbsDiskBlockInfo> TAbsDiskLinuxSys::BlockInfo(dev_t dev) const {
    auto node = CanonicalPath(SysfsRoot + "/dev/block/" + MajorMinorText(dev));
    if (!node) return std::nullopt;
    TAbsDiskBlockInfo info;
    info.Dev = dev;
    info.Name = BaseName(*node);
    info.Size512 = ReadNumber(*node + "/size").value_or(0);
    info.IsPartition = PathExists(*node + "/partition");
    if (!info.IsPartition) {
        info.WholeDisk = dev;
        info.WholeDiskName = info.Name;
        info.WholeDiskSize512 = info.Size512;
        return info;
    }
    const std::string parent = DirName(*node);
    auto parentLine = ReadFirstLine(parent + "/dev");
    auto parentDev = parentLine ? ParseMajorMinor(*parentLine) : std::nullopt;
    auto start = ReadNumber(*node + "/start");
    if (!parentDev || !start) return std::nullopt;
    info.WholeDisk = *parentDev;
    info.WholeDiskName = BaseName(parent);
    info.Start512 = *start;
    info.WholeDiskSize512 = ReadNumber(parent + "/size").value_or(0);
    return info;
}

std::vector<dev_t> TAbsDiskLinuxSys::MountedDevices() const {
    std::vector<dev_t> devices;
    std::ifstream in(MountInfoPath);
    std::string line, majorMinor, mountPoint, source;
    while (std::getline(in, line)) {
        if (!AbsDiskParseMountInfoLine(line, majorMinor, mountPoint, source)) continue;
        if (auto dev = MountDevice(majorMinor, source)) devices.push_back(*dev);
    }
    return devices;
}

bool TAbsDiskLinuxSys::DeviceMounted(dev_t dev) const {
    for (dev_t mounted : MountedDevices())
        if (mounted == dev) return true;
    return false;
}

bool TAbsDiskLinuxSys::DiskInUse(dev_t disk) const {
    for (dev_t mounted : MountedDevices()) {
        if (mounted == disk) return true;
        auto info = BlockInfo(mounted);
        if (info && info->WholeDisk == disk) return true;
    }
    return false;
}

std::vector<TAbsDiskByteRange> TAbsDiskLinuxSys::MountedRangesOfDisk(dev_t disk) const {
    std::vector<TAbsDiskByteRange> ranges;
    for (dev_t mounted : MountedDevices()) {
        auto info = BlockInfo(mounted);
        if (!info || info->WholeDisk != disk) continue;
        ranges.push_back({info->Start512 * 512, info->Size512 * 512});
    }
    return ranges;
}

std::vector<dev_t> TAbsDiskLinuxSys::LoopDevicesBackedBy(const std::string& file) const {
    std::vector<dev_t> loops;
    auto wanted = CanonicalPath(file);
    if (!wanted) return loops;
    const std::string blockDir = SysfsRoot + "/block";
    DIR* dir = ::opendir(blockDir.c_str());
    if (dir == nullptr) return loops;
    while (dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.rfind("loop", 0) != 0) continue;
        auto devLine = ReadFirstLine(blockDir + "/" + name + "/dev");
        auto dev = devLine ? ParseMajorMinor(*devLine) : std::nullopt;
        auto loop = dev ? LoopInfo(*dev) : std::nullopt;
        if (loop && loop->BackingFile == *wanted) loops.push_back(*dev);
    }
    ::closedir(dir);
    return loops;
}

std::optional<TAbsDiskLoopInfo> TAbsDiskLinuxSys::LoopInfo(dev_t loop) const {
    const std::string dir = SysfsRoot + "/dev/block/" + MajorMinorText(loop) + "/loop";
    auto backing = ReadFirstLine(dir + "/backing_file");
    if (!backing) return std::nullopt;
    const std::string deleted = " (deleted)";
    if (backing->size() > deleted.size() &&
        backing->compare(backing->size() - deleted.size(), deleted.size(), deleted) == 0)
        return std::nullopt; // the file it names is gone, so it is nobody's backing file
    return TAbsDiskLoopInfo{*backing, ReadNumber(dir + "/offset").value_or(0)};
}

std::optional<dev_t> TAbsDiskLinuxSys::RootDisk() const {
    std::ifstream in(MountInfoPath);
    std::string line, majorMinor, mountPoint, source;
    std::optional<dev_t> root;
    while (std::getline(in, line)) { // the last mount on "/" is the one in effect
        if (!AbsDiskParseMountInfoLine(line, majorMinor, mountPoint, source)) continue;
        if (mountPoint == "/") root = MountDevice(majorMinor, source);
    }
    if (!root) return std::nullopt;
    auto info = BlockInfo(*root);
    return info ? info->WholeDisk : *root;
}

bool TAbsDiskLinuxSys::NotifyChange(dev_t dev) const {
    std::ofstream out(SysfsRoot + "/dev/block/" + MajorMinorText(dev) + "/uevent");
    if (!out) return false;
    out << "change";
    out.flush();
    return static_cast<bool>(out);
}

} // namespace XVclUtil
