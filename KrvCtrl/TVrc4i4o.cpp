#include "KrvCtrl/TVrc4i4o.h"

namespace KrvCtrl {

namespace {

bool ValidBitIndex(int Index) {
    return Index >= 0 && Index <= 3;
}

bool BitOf(std::uint8_t Byte, int Index) {
    return ValidBitIndex(Index) && (Byte & (1u << Index)) != 0;
}

} // namespace

TVrc4i4o::TVrc4i4o(XVclUtil::TComponent* AOwner) : TJKNet_Node(AOwner) {
    FJknClsId = ejci_Vrc4i4o;
}

TVrc4i4o::TVrc4i4o(XVclUtil::TComponent* AOwner, _EJknClsId AJknClsId, TJKNet_Topologic* ATopologic,
                   std::uint8_t AJknSegId, std::uint8_t AJknNodeId)
    : TJKNet_Node(AOwner, AJknClsId, ATopologic, AJknSegId, AJknNodeId) {}

TVrc4i4o::TVrc4i4o(XVclUtil::TComponent* AOwner, _EJknClsId AJknClsId, TJKNet_Topologic* ATopologic,
                   std::uint8_t AJknSegId, std::uint8_t AJknNodeId, const TJKNet* ATemplate)
    : TJKNet_Node(AOwner, AJknClsId, ATopologic, AJknSegId, AJknNodeId, ATemplate) {
    CopyModuleStateFrom(ATemplate);
}

void TVrc4i4o::CopyModuleStateFrom(const TJKNet* ATemplate) {
    if (auto* module = dynamic_cast<const TVrc4i4o*>(ATemplate)) {
        Yout = module->Yout;
        Xin = module->Xin;
        Old_Xin = module->Old_Xin;
        OnInputChanged = module->OnInputChanged;
    }
}

void TVrc4i4o::pw_Yout(std::uint8_t Value) {
    Yout = Value;
    _SJKNTXDPACKET packet{};
    packet.JknSegId = FJknSegId;
    packet.JknNodeId = FJknNodeId;
    packet.BytesOfDatas = 2;
    packet.Datas[0] = JknCmd_Vrc4i4oYout;
    packet.Datas[1] = Value;
    SendJknPacket(packet);
}

bool TVrc4i4o::pr_BitOfY(int Index) const {
    return BitOf(Yout, Index);
}

void TVrc4i4o::pw_BitOfY(int Index, bool Value) {
    if (!ValidBitIndex(Index)) return;
    const auto mask = static_cast<std::uint8_t>(1u << Index);
    pw_Yout(Value ? static_cast<std::uint8_t>(Yout | mask)
                  : static_cast<std::uint8_t>(Yout & ~mask));
}

bool TVrc4i4o::pr_BitOfX(int Index) const {
    return BitOf(Xin, Index);
}
bool TVrc4i4o::pr_Old_BitOfX(int Index) const {
    return BitOf(Old_Xin, Index);
}

void TVrc4i4o::FilteringReceivedJknPacket(const TJknRxdPacket& RxdPacket) {
    if (RxdPacket.Datas[0] != JknCmd_Vrc4i4oInput) {
        TJKNet_Node::FilteringReceivedJknPacket(RxdPacket);
        return;
    }
    Old_Xin = Xin;
    Xin = RxdPacket.Datas[1];
    if (OnInputChanged) FireNodeEvent(OnInputChanged);
}

// After a reset the module's outputs are off: restore the ones the host had set.
void TVrc4i4o::BeforeFireOnSuccessfulResetEvent(const TJknRxdPacket&) {
    if (Yout != 0) pw_Yout(Yout);
}

// A reset the host asked for clears the outputs, so they are not restored afterwards.
void TVrc4i4o::BeforeRunRequestToReset() {
    Yout = 0;
}

} // namespace KrvCtrl
