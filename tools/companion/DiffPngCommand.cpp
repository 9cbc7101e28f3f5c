#include "CompanionCommands.h"

#include "XVclUtil/EXGeneral.h"
#include "XVclUtil/FileUtil.h"
#include "rom/RomDiff.h"
#include "rom/RomLayout.h"
#include "rom/TRomImageReader.h"
#include "tools/rompng/DiffPicturePngs.h"
#include "tools/sampledata/TOffscreenApp.h"

#include <cstdio>
#include <string>

namespace Companion {

int DiffPngMain(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s diff-png A.ROM B.ROM DIR\n", ProgramName);
        return 2;
    }
    const auto a = XVclUtil::ReadWholeFile(argv[1], Rom::RomImageSize);
    const auto b = XVclUtil::ReadWholeFile(argv[2], Rom::RomImageSize);
    if (!a || !b) {
        std::fprintf(stderr, "diff: cannot read \"%s\"\n", a ? argv[2] : argv[1]);
        return 2;
    }
    Rom::TRomImageReader readerA, readerB;
    readerA.Load(*a);
    readerB.Load(*b);
    try {
        SampleData::TOffscreenApp app;
        const auto written =
            RomPng::WriteDiffPngs(readerA, readerB, Rom::DiffRomImages(*a, *b), argv[3]);
        std::fprintf(stderr, "%zu PNG files in %s (A left, B right)\n", written.size(), argv[3]);
    } catch (const XVclUtil::EXGeneral& e) {
        std::fprintf(stderr, "diff: %s\n", e.what());
        return 2;
    }
    return 0;
}

} // namespace Companion
