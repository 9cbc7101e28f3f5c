#include "CompanionCommands.h"

#include "XVclUtil/EXGeneral.h"
#include "XVclUtil/FileUtil.h"
#include "rom/TRomImageReader.h"
#include "tools/rompng/RomPicturePngs.h"
#include "tools/sampledata/TOffscreenApp.h"

#include <cstdio>
#include <string>

namespace Companion {

int RomPicturePngMain(int argc, char** argv) {
    std::string romFile, pngDir;
    bool json = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--json")
            json = true;
        else if (romFile.empty())
            romFile = arg;
        else if (pngDir.empty())
            pngDir = arg;
    }
    if (romFile.empty() || pngDir.empty()) {
        std::fprintf(stderr, "usage: %s inspect-png ROMFILE DIR [--json]\n", ProgramName);
        return 2;
    }
    auto bytes = XVclUtil::ReadWholeFile(romFile);
    if (!bytes) {
        std::fprintf(stderr, "inspect: cannot read \"%s\"\n", romFile.c_str());
        return 1;
    }
    Rom::TRomImageReader reader;
    reader.Load(*bytes);
    try {
        SampleData::TOffscreenApp app; // fonts for the contact sheet's labels
        const auto written = RomPng::WritePicturePngs(reader, pngDir);
        std::fprintf(json ? stderr : stdout, "\n%zu PNG files in %s; contact sheet: %s/%s\n",
                     written.size(), pngDir.c_str(), pngDir.c_str(), RomPng::ContactSheetFileName);
    } catch (const XVclUtil::EXGeneral& e) {
        std::fprintf(stderr, "inspect: %s\n", e.what());
        return 1;
    }
    return 0;
}

} // namespace Companion
