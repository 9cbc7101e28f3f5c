// Reads one value from a settings file with the installed INI engine:
//   ini-consumer FILE SECTION KEY   prints the value, or "(none)"
#include "XVclUtil/ini/TXIniFile.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: ini-consumer FILE SECTION KEY\n");
        return 2;
    }
    XVclUtil::TXIniFile ini(argv[1]);
    const std::string value = ini.ReadString(argv[2], argv[3], "(none)");
    std::printf("%s\n", value.c_str());
    return 0;
}
