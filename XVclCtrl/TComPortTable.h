#pragma once
// The table that names the device behind each COM port number. It is filled from the COMPORT
// section of the tool settings file (keys COM1 .. COM20, for example COM1=/dev/ttyUSB0); a
// number without an entry is /dev/ttyS(n-1). Everywhere a port is chosen, a device path may be
// given instead of a COM name.

#include <map>
#include <string>
#include <vector>

namespace XVclCtrl {

class TComPortTable {
public:
    static constexpr int MaxComNumber = 20;
    static constexpr const char* Section = "COMPORT";
    static constexpr const char* SettingsFileName = "KRVZKF780AS1.INI";

    // The process's table, used by serial port components that are given a COM number.
    static TComPortTable& Global();

    // Reads the COMPORT section of an INI file; entries of numbers 1..20 replace the table's.
    // A missing or unreadable file leaves the table as it is. Returns whether it was read.
    bool LoadFromIniFile(const std::string& fileName);

    void SetEntry(int comNumber, const std::string& devicePath);
    void Clear();

    // The device of COM n: the table's entry, else /dev/ttyS(n-1).
    std::string DevicePath(int comNumber) const;
    // The COM number whose device is devicePath (an entry, or the /dev/ttyS default), or 0.
    int ComNumberOf(const std::string& devicePath) const;
    // Whether COM n has an entry of its own in the table.
    bool HasEntry(int comNumber) const;

    // A port as the user names it: "COM3", "COM 3", "com3", "3" or a device path. Returns the
    // device path; empty when the text names a COM number outside 1..20.
    std::string Resolve(const std::string& port) const;
    // The COM number a text names ("COM3", "COM 3", "3"), or 0 when it is not a COM name.
    static int ParseComName(const std::string& port);

private:
    std::map<int, std::string> Entries;
};

} // namespace XVclCtrl
