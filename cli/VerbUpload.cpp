// zkf780a upload: the ROM image upload (UpLoad ROM Image) from the command line.

#include "TransferVerb.h"
#include "Verb.h"

namespace {

const Cli::TTransferVerb Upload{
    "upload", "Uploads a ROM image file (at most 458,752 bytes) to the VRC-780A in 64-byte blocks.",
    Link::TTransferMode::RomImage};

int UploadMain(int argc, char** argv) {
    return Cli::RunTransferVerb(Upload, argc, argv);
}

Cli::TVerbRegistrar reg("upload", "upload a ROM image to the VRC-780A controller", UploadMain);

} // namespace
