#include "KrvCtrl/TJKNet_Node.h"

#include "KrvCtrl/TJKNet_Topologic.h"
#include "XVclUtil/EXGeneral.h"

namespace KrvCtrl {

TJKNet_Node::TJKNet_Node(XVclUtil::TComponent* AOwner) : TJKNet(AOwner) {}

TJKNet_Node::TJKNet_Node(XVclUtil::TComponent* AOwner, _EJknClsId AJknClsId,
                         TJKNet_Topologic* ATopologic, std::uint8_t AJknSegId,
                         std::uint8_t AJknNodeId)
    : TJKNet(AOwner, AJknClsId, AJknSegId, AJknNodeId), BindTo(ATopologic) {
    RegisterIn(ATopologic, TJKNet_Topologic::jtfConstructed);
}

TJKNet_Node::TJKNet_Node(XVclUtil::TComponent* AOwner, _EJknClsId AJknClsId,
                         TJKNet_Topologic* ATopologic, std::uint8_t AJknSegId,
                         std::uint8_t AJknNodeId, const TJKNet* ATemplate)
    : TJKNet(AOwner, AJknClsId, AJknSegId, AJknNodeId, ATemplate) {
    CopyNodeStateFrom(ATemplate);
    BindTo = ATopologic;
    RegisterIn(ATopologic, TJKNet_Topologic::jtfConstructed);
}

// The topology forgets a member when it is destroyed (it watches the object's end).
TJKNet_Node::~TJKNet_Node() = default;

void TJKNet_Node::CopyNodeStateFrom(const TJKNet* ATemplate) {
    if (auto* node = dynamic_cast<const TJKNet_Node*>(ATemplate)) {
        BindTo = node->BindTo;
        AssignedMask = node->AssignedMask;
    }
}

void TJKNet_Node::RegisterIn(TJKNet_Topologic* ATopologic, unsigned Mode) {
    if (ATopologic == nullptr) return;
    try {
        ATopologic->AddJknComponentToJknTopologic(this, Mode);
    } catch (const XVclUtil::EXGeneral&) {
        if (!Designing) throw;
    }
}

void TJKNet_Node::pw_JknSegId(std::uint8_t Value) {
    if (Value > JknMaxSegId)
        throw XVclUtil::EXGeneral("Invalid value, the range must be 0x00~0x80 !!!");
    FJknSegId = Value;
    AssignedMask |= amJknSegId;
}

void TJKNet_Node::pw_JknNodeId(std::uint8_t Value) {
    if (Value > JknMaxNodeId)
        throw XVclUtil::EXGeneral("Invalid value, the range must be 0x00~0x7F !!!");
    FJknNodeId = Value;
    AssignedMask |= amJknNodeId;
}

TJKNet_Topologic* TJKNet_Node::pr_BindTo() const {
    return BindTo.get();
}

void TJKNet_Node::pw_BindTo(TJKNet_Topologic* Value) {
    BindTo = Value;
    AssignedMask |= amBindTo;
}

void TJKNet_Node::Loaded() {
    TJKNet::Loaded();
    if ((AssignedMask & amAll) == amAll) RegisterIn(BindTo.get(), TJKNet_Topologic::jtfLoaded);
}

void TJKNet_Node::SendJknPacket(const _SJKNTXDPACKET& TxdPacket) {
    if (BindTo) BindTo->SendJknPacket(TxdPacket);
}

void TJKNet_Node::SendJknCommand(std::uint8_t Code) {
    _SJKNTXDPACKET packet{};
    packet.JknSegId = FJknSegId;
    packet.JknNodeId = FJknNodeId;
    packet.BytesOfDatas = 1;
    packet.Datas[0] = Code;
    SendJknPacket(packet);
}

void TJKNet_Node::RequestToReset() {
    BeforeRunRequestToReset();
    SendJknCommand(JknCmd_RequestToReset);
}

void TJKNet_Node::QueryJknProtocolVersion() {
    SendJknCommand(JknCmd_QueryJknProtocolVersion);
}
void TJKNet_Node::QueryJknClsId() {
    SendJknCommand(JknCmd_QueryJknClsId);
}
void TJKNet_Node::QueryJknCustomerId() {
    SendJknCommand(JknCmd_QueryJknCustomerId);
}

} // namespace KrvCtrl
