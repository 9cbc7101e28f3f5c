#pragma once
// Test helpers for the JKNet stack: a gateway without transport that records what its members
// send, packet builders and topology files in a temporary folder.

#include "KrvCtrl/TJKNet_Rnsm.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace JKNetTest {

using Bytes = std::vector<std::uint8_t>;

// A gateway whose packets go into a list instead of onto a line.
class TRecordingRnsm : public KrvCtrl::TJKNet_Rnsm {
public:
    explicit TRecordingRnsm(XVclUtil::TComponent* owner = nullptr) : TJKNet_Rnsm(owner) {}
    void Connect() override { Connected = true; }
    void Disconnect() override { Connected = false; }
    void SendJknPacket(const KrvCtrl::_SJKNTXDPACKET& p) override {
        const auto* raw = reinterpret_cast<const std::uint8_t*>(&p);
        Sent.emplace_back(raw, raw + 3 + p.BytesOfDatas);
    }
    std::vector<Bytes> Sent;
};

inline KrvCtrl::TJknRxdPacket RxdPacket(const Bytes& bytes) {
    KrvCtrl::TJknRxdPacket p{};
    auto* raw = reinterpret_cast<std::uint8_t*>(&p);
    for (std::size_t i = 0; i < bytes.size() && i < sizeof(p); ++i) raw[i] = bytes[i];
    return p;
}

// A folder removed with everything in it at the end of the test.
class TTempDir {
public:
    TTempDir() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "jknet-XXXXXX").string();
        Path = mkdtemp(tmpl.data()) ? tmpl : std::string();
    }
    ~TTempDir() {
        std::error_code ec;
        std::filesystem::remove_all(Path, ec);
    }
    std::string File(const std::string& name) const { return Path + "/" + name; }
    std::string Write(const std::string& name, const std::string& text) const {
        std::ofstream(File(name), std::ios::binary) << text;
        return File(name);
    }
    std::string Path;
};

// The example topology: module 0x01 on segment 0x80, module 0x10 on segment 0x02.
inline const char* ExampleTopology() {
    return "[JknTopologic.Head]\r\n"
           "Signature=KRV\r\n"
           "[NetSegmentId_0x80]\r\n"
           "Travel_000=Device( \"VRC_4i4o\" ) , NetNodeId( 0x01 )\r\n"
           "Travel_001=Device( \"VRC_4i4o\" ) , NetNodeId( 0xFF )\r\n"
           "[NetSegmentId_0x02]\r\n"
           "Travel_000=Device( \"VRC_4i4o\" ) , NetNodeId( 0x10 )\r\n";
}

} // namespace JKNetTest
