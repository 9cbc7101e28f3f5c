#include "SerialDevices.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <grp.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace XVclCtrl {

namespace fs = std::filesystem;

namespace {

bool StartsWith(const std::string& s, const char* prefix) {
    return s.rfind(prefix, 0) == 0;
}

bool IsCharDevice(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISCHR(st.st_mode);
}

// A /dev/ttyS node answers when a UART stands behind it.
bool UartAnswers(const std::string& path, bool& accessible) {
    accessible = true;
    int fd = ::open(path.c_str(), O_RDWR | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == EACCES || errno == EPERM) {
            accessible = false;
            return true; // cannot ask; list it and say so
        }
        return errno == EBUSY;
    }
    serial_struct info{};
    bool answers = ::ioctl(fd, TIOCGSERIAL, &info) == 0 && info.type != PORT_UNKNOWN;
    ::close(fd);
    return answers;
}

std::string Canonical(const std::string& path) {
    std::error_code ec;
    fs::path p = fs::canonical(path, ec);
    return ec ? path : p.string();
}

std::string GroupOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return "dialout";
    if (const group* g = ::getgrgid(st.st_gid)) return g->gr_name;
    return std::to_string(st.st_gid);
}

} // namespace

std::vector<TSerialDeviceInfo> ListSerialDevices(const TComPortTable& table,
                                                 const std::string& devDir) {
    std::vector<TSerialDeviceInfo> found;
    auto add = [&](const std::string& path, bool accessible) {
        for (auto& d : found)
            if (Canonical(d.Path) == Canonical(path)) return;
        TSerialDeviceInfo info;
        info.Path = path;
        info.Accessible = accessible;
        info.ComNumber = table.ComNumberOf(path);
        found.push_back(std::move(info));
    };
    std::error_code ec;
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(devDir, ec))
        names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    for (const auto& name : names) {
        std::string path = devDir + "/" + name;
        if ((StartsWith(name, "ttyUSB") || StartsWith(name, "ttyACM")) && IsCharDevice(path)) {
            add(path, ::access(path.c_str(), R_OK | W_OK) == 0);
        } else if (StartsWith(name, "ttyS") && IsCharDevice(path)) {
            bool accessible;
            if (UartAnswers(path, accessible)) add(path, accessible);
        }
    }
    for (int n = 1; n <= TComPortTable::MaxComNumber; ++n) {
        if (!table.HasEntry(n)) continue;
        std::string path = table.DevicePath(n);
        if (IsCharDevice(path)) add(path, ::access(path.c_str(), R_OK | W_OK) == 0);
    }
    // Stable names of USB adapters point at the devices found above.
    for (const auto& entry : fs::directory_iterator(devDir + "/serial/by-id", ec)) {
        std::string target = Canonical(entry.path().string());
        for (auto& d : found)
            if (Canonical(d.Path) == target) d.Aliases.push_back(entry.path().string());
    }
    for (auto& d : found) {
        std::sort(d.Aliases.begin(), d.Aliases.end());
        // A by-id name in the table gives the device its COM number too.
        for (const auto& alias : d.Aliases)
            if (d.ComNumber == 0) d.ComNumber = table.ComNumberOf(alias);
    }
    std::stable_sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        int ka = a.ComNumber ? a.ComNumber : 1000, kb = b.ComNumber ? b.ComNumber : 1000;
        return ka != kb ? ka < kb : a.Path < b.Path;
    });
    return found;
}

std::string NoPermissionHint(const std::string& devicePath) {
    const std::string group = GroupOf(devicePath);
    return "no permission: group " + group + "; sudo usermod -aG " + group +
           " $USER, then log in again";
}

std::string ExplainOpenFailure(const std::string& devicePath, int systemError) {
    switch (systemError) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
    case EIO:
        return "the device " + devicePath + " does not exist (is the adapter plugged in?)";
    case EBUSY:
    case EWOULDBLOCK:
        return "the device " + devicePath + " is in use by another program";
    case EACCES:
    case EPERM: {
        std::string group = GroupOf(devicePath);
        return "no permission to use " + devicePath + ": add your user to the group \"" + group +
               "\" (sudo usermod -aG " + group + " $USER) and log in again";
    }
    case EISDIR:
        return devicePath + " is a folder, not a serial device";
    case ENOTTY:
        return devicePath + " is not a serial device";
    case 0:
        return "";
    default:
        return devicePath + ": " + std::strerror(systemError);
    }
}

} // namespace XVclCtrl
