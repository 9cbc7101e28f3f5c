// Feeds arbitrary bytes to the gateway component as received lines (one line per delivery, as
// the serial filter cuts them, and once as a whole) and to the line decoders directly.

#include "KrvCtrl/JKNetVrc232Lines.h"
#include "KrvCtrl/TJKNetViaVrc232.h"
#include "XVclUtil/EXGeneral.h"
#include "XVclUtil/MessageBox.h"

#include <cstdio>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unistd.h>

namespace {

const char* const Topology =
    "[JknTopologic.Head]\r\nSignature=KRV\r\n"
    "[NetSegmentId_0x80]\r\nTravel_000=Device(\"VRC_4i4o\"),NetNodeId(0x01)\r\n"
    "[NetSegmentId_0x01]\r\nTravel_000=Device(\"VRC_4i4o\"),NetNodeId(0x05)\r\n";

// A gateway whose topology is loaded once; it is never connected, so replies that would send
// (a module restoring its outputs) raise the not-connected exception, which is caught.
KrvCtrl::TJKNetViaVrc232& Gateway() {
    static KrvCtrl::TVrc4i4o moduleTemplate(nullptr);
    static KrvCtrl::TJKNetViaVrc232* gateway = [] {
        const std::string path = "/tmp/zkf_fuzz_gwlines_" + std::to_string(::getpid()) + ".ini";
        if (FILE* f = std::fopen(path.c_str(), "wb")) {
            std::fputs(Topology, f);
            std::fclose(f);
        }
        auto* g = new KrvCtrl::TJKNetViaVrc232(nullptr);
        moduleTemplate.OnInputChanged = [](XVclUtil::TComponent*, std::uint8_t, std::uint8_t) {};
        g->pw_DefHandler_Vrc4i4o(&moduleTemplate);
        g->pw_FileName(path);
        g->LoadAndChkTopologicIniAndAssignDefaultJknComponentToJknTopologic();
        return g;
    }();
    return *gateway;
}

void Deliver(std::string chunk) {
    try {
        Gateway().OnPcUartRxdDatas(nullptr, static_cast<int>(chunk.size()), chunk.data());
    } catch (const std::runtime_error&) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    static XVclUtil::TMessageSink quiet = XVclUtil::SetMessageSink([](auto&, auto&) {});
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    KrvCtrl::TVrc232RegisterReply reply;
    KrvCtrl::ParseVrc232RegisterReply(text, reply);
    KrvCtrl::TJknRxdPacket packet;
    if (KrvCtrl::DecodeVrc232PacketLine(text, packet) && packet.BytesOfDatas + 3u > 20)
        __builtin_trap(); // a decoded packet always fits its record

    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t end = text.find('\n', pos);
        const std::size_t next = end == std::string_view::npos ? text.size() : end + 1;
        Deliver(std::string(text.substr(pos, next - pos)));
        pos = next;
    }
    Deliver(std::string(text));
    return 0;
}
