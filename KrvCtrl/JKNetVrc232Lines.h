#pragma once
// The VRC232 gateway's line protocol as text: register replies ("*R1=0A"), packet lines from
// the network ("@0105011400") and packet lines towards it (">01050104").

#include "KrvCtrl/JKNetPackets.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace KrvCtrl {

// Register reply bits: R0 0x0001, R1 0x0002, R3..R9 0x0008..0x0200, RE 0x4000, RF 0x8000.
constexpr std::uint32_t Vrc232ConnectRepliesComplete = 0x3FB; // R0, R1, R3..R9

struct TVrc232RegisterReply {
    char Register = 0;     // '0', '1', '3'..'9', 'E' or 'F'
    std::uint32_t Bit = 0; // the register's reply bit
    std::uint8_t Value = 0;
};

// "*R" register "=" and exactly two hexadecimal digits (no third digit after them).
bool ParseVrc232RegisterReply(std::string_view Line, TVrc232RegisterReply& Out);

// "@" then pairs of upper-case hexadecimal digits ended by carriage return or line feed; the
// packet must hold 4 to 20 bytes and exactly BytesOfDatas + 3 of them. Out is zero-filled
// beyond the packet.
bool DecodeVrc232PacketLine(std::string_view Line, TJknRxdPacket& Out);

// ">" then bytes 0 .. BytesOfDatas + 2 of the packet as upper-case digit pairs, then CR LF.
std::string EncodeVrc232PacketLine(const _SJKNTXDPACKET& Packet);

} // namespace KrvCtrl
