// Loads arbitrary bytes as an INI file, reads every key back and saves the document.

#include "XVclUtil/EConvertError.h"
#include "XVclUtil/MessageBox.h"
#include "XVclUtil/ini/TXIniFile.h"

#include <cstdio>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    static const std::string path = "/tmp/zkf_fuzz_ini_" + std::to_string(::getpid()) + ".ini";
    static XVclUtil::TMessageSink quiet = XVclUtil::SetMessageSink([](auto&, auto&) {});
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    try {
        XVclUtil::TXIniFile ini(path);
        for (const std::string& section : ini.SectionNames())
            for (const std::string& key : ini.KeyNames(section)) {
                ini.ReadString(section, key, "");
                ini.ReadUnsigned(section, key, 0);
                ini.ReadFloat(section, key, 0);
                ini.ReadBool(section, key, false);
                try {
                    ini.ReadInteger(section, key, 0);
                } catch (const XVclUtil::EConvertError&) {
                }
            }
        ini.pw_FileName(path);
        ini.UpdateFile();
    } catch (...) {
    }
    return 0;
}
