#include "KrvCtrl/JKNetVrc232Lines.h"

#include "XVclUtil/HexAscii.h"

namespace KrvCtrl {

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

int UpperHexDigit(char c) {
    return (c >= 'a' && c <= 'f') ? -1 : HexDigit(c);
}

bool IsRegisterChar(char c) {
    return c == '0' || c == '1' || (c >= '3' && c <= '9') || c == 'E' || c == 'F';
}

} // namespace

bool ParseVrc232RegisterReply(std::string_view Line, TVrc232RegisterReply& Out) {
    if (Line.size() < 6 || Line[0] != '*' || Line[1] != 'R' || !IsRegisterChar(Line[2]) ||
        Line[3] != '=')
        return false;
    const int high = HexDigit(Line[4]);
    const int low = HexDigit(Line[5]);
    if (high < 0 || low < 0) return false;
    if (Line.size() > 6 && HexDigit(Line[6]) >= 0) return false; // more than two digits
    Out.Register = Line[2];
    Out.Bit = 1u << HexDigit(Line[2]);
    Out.Value = static_cast<std::uint8_t>(high * 16 + low);
    return true;
}

bool DecodeVrc232PacketLine(std::string_view Line, TJknRxdPacket& Out) {
    if (Line.empty() || Line[0] != '@') return false;
    TJknRxdPacket packet{};
    auto* bytes = reinterpret_cast<std::uint8_t*>(&packet);
    unsigned count = 0;
    std::size_t i = 1;
    for (;; i += 2) {
        if (i >= Line.size()) return false; // no carriage return or line feed at the end
        if (Line[i] == '\r' || Line[i] == '\n') break;
        const int high = UpperHexDigit(Line[i]);
        const int low = (i + 1 < Line.size()) ? UpperHexDigit(Line[i + 1]) : -1;
        if (high < 0 || low < 0) return false;
        if (count == JknRxdPacketMaxBytes) return false; // longer than the packet record
        bytes[count++] = static_cast<std::uint8_t>(high * 16 + low);
    }
    if (count < 4 || count != packet.BytesOfDatas + 3u) return false;
    Out = packet;
    return true;
}

std::string EncodeVrc232PacketLine(const _SJKNTXDPACKET& Packet) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&Packet);
    const unsigned count = Packet.BytesOfDatas + 3u;
    std::string line(1 + 2 * count + 2, '\0');
    line[0] = '>';
    for (unsigned i = 0; i < count; ++i) XVclUtil::BinToHexAscii(bytes[i], &line[1 + 2 * i]);
    line[1 + 2 * count] = '\r';
    line[2 + 2 * count] = '\n';
    return line;
}

} // namespace KrvCtrl
