#include "TComPortTable.h"

#include "XVclUtil/EXGeneral.h"
#include "XVclUtil/FileUtil.h"
#include "XVclUtil/ini/TXIniFile.h"

#include <cctype>

namespace XVclCtrl {

TComPortTable& TComPortTable::Global() {
    static TComPortTable table;
    return table;
}

bool TComPortTable::LoadFromIniFile(const std::string& fileName) {
    if (!XVclUtil::FileExists(fileName)) return false;
    try {
        XVclUtil::TXIniFile ini(fileName);
        for (int n = 1; n <= MaxComNumber; ++n) {
            std::string path = ini.ReadString(Section, "COM" + std::to_string(n), "");
            while (!path.empty() && std::isspace(static_cast<unsigned char>(path.back())))
                path.pop_back();
            if (!path.empty()) Entries[n] = path;
        }
    } catch (const XVclUtil::EXGeneral&) {
        return false; // the INI engine has shown why; the table keeps what it had
    }
    return true;
}

void TComPortTable::SetEntry(int comNumber, const std::string& devicePath) {
    if (devicePath.empty())
        Entries.erase(comNumber);
    else
        Entries[comNumber] = devicePath;
}

void TComPortTable::Clear() {
    Entries.clear();
}

std::string TComPortTable::DevicePath(int comNumber) const {
    auto it = Entries.find(comNumber);
    if (it != Entries.end()) return it->second;
#ifdef _WIN32
    return "\\\\.\\COM" + std::to_string(comNumber);
#else
    return "/dev/ttyS" + std::to_string(comNumber - 1);
#endif
}

bool TComPortTable::HasEntry(int comNumber) const {
    return Entries.count(comNumber) != 0;
}

int TComPortTable::ComNumberOf(const std::string& devicePath) const {
    for (const auto& [n, path] : Entries)
        if (path == devicePath) return n;
    for (int n = 1; n <= MaxComNumber; ++n)
        if (!HasEntry(n) && DevicePath(n) == devicePath) return n;
    return 0;
}

int TComPortTable::ParseComName(const std::string& port) {
    std::string digits = port;
    if (digits.size() > 3 && std::toupper(static_cast<unsigned char>(digits[0])) == 'C' &&
        std::toupper(static_cast<unsigned char>(digits[1])) == 'O' &&
        std::toupper(static_cast<unsigned char>(digits[2])) == 'M') {
        // "COM 5" is how the port list and the Make page print a port.
        const std::size_t number = digits.find_first_not_of(' ', 3);
        digits.erase(0, number == std::string::npos ? digits.size() : number);
    }
    if (digits.empty() || digits.size() > 3) return 0;
    int n = 0;
    for (char c : digits) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return 0;
        n = n * 10 + (c - '0');
    }
    return n;
}

std::string TComPortTable::Resolve(const std::string& port) const {
    int n = ParseComName(port);
    if (n == 0) return port.find_first_of("/\\") != std::string::npos ? port : std::string();
    if (n > MaxComNumber) return std::string();
    return DevicePath(n);
}

} // namespace XVclCtrl
