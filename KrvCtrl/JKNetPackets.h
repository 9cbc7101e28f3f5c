#pragma once
// JKNet packet records, command codes, class ids and the event types of the network stack.

#include <cstdint>
#include <functional>

namespace XVclUtil {
class TComponent;
}

namespace KrvCtrl {

// Kind of network member; values are what the modules report for their class id.
enum _EJknClsId : std::uint32_t {
    ejci_None = 0,       // a base member made without class id, an empty topology entry
    ejci_Vrc4i4o = 0x80, // TVrc4i4o, the 4-input/4-output module
    ejci_Rnsm = 0xA0,    // the gateway side of the network
};

// Address ranges: segments 0x00..0x80 (0x80 is the gateway's own), nodes 0x00..0x7F.
constexpr std::uint8_t JknMaxSegId = 0x80;
constexpr std::uint8_t JknMaxNodeId = 0x7F;
constexpr std::uint8_t JknRnsmSegId = 0x80;
constexpr std::uint8_t JknRnsmNodeId = 0x80;

// Command codes. A module's reply carries the request's code plus JknCmd_ReplyOffset.
enum : std::uint8_t {
    JknCmd_QueryJknProtocolVersion = 3,
    JknCmd_QueryJknClsId = 4,
    JknCmd_QueryJknCustomerId = 5,
    JknCmd_RequestToReset = 15,
    JknCmd_Vrc4i4oYout = 0x84,

    JknCmd_ReplyOffset = 16,
    JknCmd_GotJknProtocolVersion = 19,
    JknCmd_GotJknClsId = 20,
    JknCmd_GotJknCustomerId = 21,
    JknCmd_SuccessfulReset = 31,
    JknCmd_PacketUnreachable = 33,
    JknCmd_Vrc4i4oInput = 0x81,
};

// Packet to a module. BytesOfDatas counts the bytes of Datas in use (command code first);
// Datas holds every count an 8-bit BytesOfDatas can name, so a sender never reads past it.
struct _SJKNTXDPACKET {
    std::uint8_t JknSegId;
    std::uint8_t JknNodeId;
    std::uint8_t BytesOfDatas;
    std::uint8_t Datas[255];
};

// Packet from a module, at most 20 bytes: source address, count, command code, its data.
struct _SJKNRXDPACKET {
    std::uint8_t JknSegId;
    std::uint8_t JknNodeId;
    std::uint8_t BytesOfDatas;
    std::uint8_t Datas[17];
};
using TJknRxdPacket = _SJKNRXDPACKET;

constexpr unsigned JknRxdPacketMaxBytes = sizeof(_SJKNRXDPACKET);
static_assert(sizeof(_SJKNRXDPACKET) == 20, "the received packet record is 20 bytes");
static_assert(sizeof(_SJKNTXDPACKET) == 258, "the sent packet record has no padding");

// Events: a member's reply events name the receiving member and its own address.
using TJknNodeEvent = std::function<void(XVclUtil::TComponent* Sender, std::uint8_t AJknSegId,
                                         std::uint8_t AJknNodeId)>;
using TJknRxdPacketEvent =
    std::function<void(XVclUtil::TComponent* Sender, const TJknRxdPacket& RxdPacket)>;
using TJknNotifyEvent = std::function<void(XVclUtil::TComponent* Sender)>;

} // namespace KrvCtrl
