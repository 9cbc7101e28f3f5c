// zkf780a upgrade-ap: the application upgrade (Upgrade LPV AP) from the command line.

#include "TransferVerb.h"
#include "Verb.h"

namespace {

const Cli::TTransferVerb UpgradeAp{
    "upgrade-ap",
    "Sends the application region (the PM block, file offsets 0x4C000 to 0x53FFF, 512 "
    "blocks of 64 bytes) of a ROM image file to the VRC-780A.",
    Link::TTransferMode::AppUpgrade};

int UpgradeApMain(int argc, char** argv) {
    return Cli::RunTransferVerb(UpgradeAp, argc, argv);
}

Cli::TVerbRegistrar reg("upgrade-ap",
                        "send the application (PM block) of a ROM image to the controller",
                        UpgradeApMain);

} // namespace
