// Loads arbitrary bytes as a JKNet topology file, twice (the second load finds the modules of
// the first), into a gateway with a module template and one module placed beforehand.

#include "KrvCtrl/TJKNet_Rnsm.h"
#include "XVclUtil/EXGeneral.h"
#include "XVclUtil/MessageBox.h"

#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

class TFuzzGateway : public KrvCtrl::TJKNet_Rnsm {
public:
    TFuzzGateway() : TJKNet_Rnsm(nullptr) {}
    void Connect() override {}
    void Disconnect() override {}
    void SendJknPacket(const KrvCtrl::_SJKNTXDPACKET&) override {}
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    static const std::string path = "/tmp/zkf_fuzz_jknet_" + std::to_string(::getpid()) + ".ini";
    static XVclUtil::TMessageSink quiet = XVclUtil::SetMessageSink([](auto&, auto&) {});
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);

    TFuzzGateway gateway;
    KrvCtrl::TVrc4i4o moduleTemplate(nullptr);
    gateway.pw_DefHandler_Vrc4i4o(&moduleTemplate);
    gateway.pw_FileName(path);
    KrvCtrl::TVrc4i4o placed(nullptr, KrvCtrl::ejci_Vrc4i4o, &gateway, 0x02, 0x10);
    for (int pass = 0; pass < 2; ++pass) {
        try {
            gateway.LoadAndChkTopologicIniAndAssignDefaultJknComponentToJknTopologic();
        } catch (const XVclUtil::EXGeneral&) {
        }
    }
    return 0;
}
