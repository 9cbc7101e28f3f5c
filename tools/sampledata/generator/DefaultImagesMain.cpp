// zkf780a-defaultimages PARENTDIR: draws the default picture tree into PARENTDIR/DefaultImage.
// The build runs it so that the executables find the tree beside themselves.

#include "tools/sampledata/TOffscreenApp.h"
#include "tools/sampledata/TSampleDataGenerator.h"

#include "XVclUtil/EXGeneral.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: zkf780a-defaultimages PARENTDIR\n");
        return 2;
    }
    try {
        SampleData::TOffscreenApp app;
        SampleData::GenerateDefaultImages(argv[1]);
    } catch (const XVclUtil::EXGeneral& e) {
        std::fprintf(stderr, "zkf780a-defaultimages: %s\n", e.what());
        return 1;
    }
    return 0;
}
