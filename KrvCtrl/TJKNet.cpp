#include "KrvCtrl/TJKNet.h"

#include "XVclUtil/EXGeneral.h"

namespace KrvCtrl {

namespace {

bool OwnerIsDesigning(XVclUtil::TComponent* AOwner) {
    auto* owner = dynamic_cast<TJKNet*>(AOwner);
    return owner != nullptr && owner->Designing;
}

} // namespace

TJKNet::TJKNet(XVclUtil::TComponent* AOwner) : TComponent(AOwner) {
    Designing = OwnerIsDesigning(AOwner);
}

TJKNet::TJKNet(XVclUtil::TComponent* AOwner, _EJknClsId AJknClsId, std::uint8_t AJknSegId,
               std::uint8_t AJknNodeId)
    : TComponent(AOwner), FJknClsId(AJknClsId), FJknSegId(AJknSegId), FJknNodeId(AJknNodeId) {
    Designing = OwnerIsDesigning(AOwner);
}

TJKNet::TJKNet(XVclUtil::TComponent* AOwner, _EJknClsId AJknClsId, std::uint8_t AJknSegId,
               std::uint8_t AJknNodeId, const TJKNet* ATemplate)
    : TComponent(AOwner) {
    if (ATemplate == nullptr || ATemplate->FJknClsId != AJknClsId)
        throw XVclUtil::EXGeneral("\nErr: JKNet 元件的類別不同,故無法進行拷貝式的建構 !!!\n");
    CopyJknStateFrom(*ATemplate);
    FJknClsId = AJknClsId;
    FJknSegId = AJknSegId;
    FJknNodeId = AJknNodeId;
    Designing = OwnerIsDesigning(AOwner);
}

void TJKNet::CopyJknStateFrom(const TJKNet& ATemplate) {
    FJknClsId = ATemplate.FJknClsId;
    FJknSegId = ATemplate.FJknSegId;
    FJknNodeId = ATemplate.FJknNodeId;
    OnPacketUnreachable = ATemplate.OnPacketUnreachable;
    for (int i = 0; i < 3; ++i) UnreachableInfo[i] = ATemplate.UnreachableInfo[i];
    OnSuccessfulReset = ATemplate.OnSuccessfulReset;
    OnGotJknProtocolVersion = ATemplate.OnGotJknProtocolVersion;
    GotJknProtocolVersion = ATemplate.GotJknProtocolVersion;
    OnGotJknClsId = ATemplate.OnGotJknClsId;
    GotJknClsId = ATemplate.GotJknClsId;
    OnGotJknCustomerId = ATemplate.OnGotJknCustomerId;
    GotJknCustomerId = ATemplate.GotJknCustomerId;
    OnUnfilteredRxdJknPacket = ATemplate.OnUnfilteredRxdJknPacket;
}

std::uint8_t TJKNet::pr_UnreachableInfo(int Index) const {
    return (Index >= 0 && Index < 3) ? UnreachableInfo[Index] : 0;
}

void TJKNet::FireNodeEvent(const TJknNodeEvent& Event) {
    Event(this, FJknSegId, FJknNodeId);
}

// The replies every member can give. Returns true when an assigned event took the packet.
bool TJKNet::DispatchReply(const TJknRxdPacket& RxdPacket) {
    switch (RxdPacket.Datas[0]) {
    case JknCmd_PacketUnreachable:
        BeforeFireOnPacketUnreachableEvent(RxdPacket);
        for (int i = 0; i < 3; ++i) UnreachableInfo[i] = RxdPacket.Datas[1 + i];
        if (!OnPacketUnreachable) return false;
        FireNodeEvent(OnPacketUnreachable);
        return true;
    case JknCmd_SuccessfulReset:
        BeforeFireOnSuccessfulResetEvent(RxdPacket);
        if (!OnSuccessfulReset) return false;
        FireNodeEvent(OnSuccessfulReset);
        return true;
    case JknCmd_GotJknProtocolVersion:
        BeforeFireOnGotJknProtocolVersionEvent(RxdPacket);
        GotJknProtocolVersion = RxdPacket.Datas[1];
        if (!OnGotJknProtocolVersion) return false;
        FireNodeEvent(OnGotJknProtocolVersion);
        return true;
    case JknCmd_GotJknClsId:
        BeforeFireOnGotJknClsIdEvent(RxdPacket);
        GotJknClsId = RxdPacket.Datas[1];
        if (!OnGotJknClsId) return false;
        FireNodeEvent(OnGotJknClsId);
        return true;
    case JknCmd_GotJknCustomerId:
        BeforeFireOnGotJknCustomerIdEvent(RxdPacket);
        GotJknCustomerId = RxdPacket.Datas[1];
        if (!OnGotJknCustomerId) return false;
        FireNodeEvent(OnGotJknCustomerId);
        return true;
    default:
        return false;
    }
}

void TJKNet::FilteringReceivedJknPacket(const TJknRxdPacket& RxdPacket) {
    if (DispatchReply(RxdPacket)) return;
    BeforeFireOnUnfilteredRxdJknPacketEvent(RxdPacket);
    if (OnUnfilteredRxdJknPacket) OnUnfilteredRxdJknPacket(this, RxdPacket);
}

} // namespace KrvCtrl
