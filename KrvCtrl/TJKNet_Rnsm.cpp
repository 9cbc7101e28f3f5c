#include "KrvCtrl/TJKNet_Rnsm.h"

#include "XVclUtil/EXGeneral.h"

namespace KrvCtrl {

TJKNet_Rnsm::TJKNet_Rnsm(XVclUtil::TComponent* AOwner) : TJKNet_Topologic(AOwner) {
    FJknClsId = ejci_Rnsm;
    FJknSegId = JknRnsmSegId;
    FJknNodeId = JknRnsmNodeId;
}

TVrc4i4o* TJKNet_Rnsm::pr_Vrc4i4o(std::uint8_t AJknSegId, std::uint8_t AJknNodeId) const {
    const _SJKNTOPOLOGICNODE* entry = pr_TopologicEntry(AJknSegId, AJknNodeId);
    if (entry == nullptr)
        throw XVclUtil::EXGeneral(
            "\nThe address of node is not belong to the topologic of JKNet !!!\n");
    auto* module = dynamic_cast<TVrc4i4o*>(entry->Component);
    if (entry->ClsId != ejci_Vrc4i4o || module == nullptr)
        throw XVclUtil::EXGeneral("\nThe address of node is not a TVrc4i4o component !!!\n");
    return module;
}

void TJKNet_Rnsm::FilteringReceivedJknPacket(const TJknRxdPacket& RxdPacket) {
    if (RxdPacket.JknSegId > JknMaxSegId || RxdPacket.JknNodeId > JknMaxNodeId) return;
    const TSegmentTab* tab = SegmentTab(RxdPacket.JknSegId);
    if (tab != nullptr) {
        const _SJKNTOPOLOGICNODE& entry = (*tab)[RxdPacket.JknNodeId];
        if (entry.ClsId != ejci_None && entry.Component != nullptr) {
            entry.Component->FilteringReceivedJknPacket(RxdPacket);
            return;
        }
    }
    TJKNet_Topologic::FilteringReceivedJknPacket(RxdPacket);
}

TJKNet* TJKNet_Rnsm::CreateDefaultJknComponentAndAddToJknTopologic(_EJknClsId AJknClsId,
                                                                   std::uint8_t AJknSegId,
                                                                   TJKNet_Topologic* ATopologic,
                                                                   std::uint8_t AJknNodeId) {
    if (AJknClsId != ejci_Vrc4i4o || !DefHandler_Vrc4i4o) return nullptr;
    return new TVrc4i4o(this, ejci_Vrc4i4o, ATopologic, AJknSegId, AJknNodeId,
                        DefHandler_Vrc4i4o.get());
}

} // namespace KrvCtrl
