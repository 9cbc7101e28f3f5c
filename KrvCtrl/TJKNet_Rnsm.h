#pragma once
// The gateway side of a JKNet: the topology plus the template for modules listed in the
// topology file and the dispatch of received packets to the members.

#include "KrvCtrl/TJKNet_Topologic.h"
#include "KrvCtrl/TVrc4i4o.h"

#include "XVclUtil/TComponent.h"

namespace KrvCtrl {

class TJKNet_Rnsm : public TJKNet_Topologic {
public:
    // Class id 0xA0 at segment 0x80, node 0x80.
    explicit TJKNet_Rnsm(XVclUtil::TComponent* AOwner);

    // The gateway's address is fixed: writes are ignored.
    void pw_JknSegId(std::uint8_t) override {}
    void pw_JknNodeId(std::uint8_t) override {}

    TVrc4i4o* pr_DefHandler_Vrc4i4o() const { return DefHandler_Vrc4i4o.get(); }
    void pw_DefHandler_Vrc4i4o(TVrc4i4o* Value) { DefHandler_Vrc4i4o = Value; }
    // The I/O module registered at that address.
    TVrc4i4o* pr_Vrc4i4o(std::uint8_t AJknSegId, std::uint8_t AJknNodeId) const;

    bool pr_Connected() const { return Connected; }
    virtual void Connect() = 0;
    virtual void Disconnect() = 0;

    // Hands a packet to the member at its source address, or raises the unhandled events.
    void FilteringReceivedJknPacket(const TJknRxdPacket& RxdPacket) override;
    // Copies DefHandler_Vrc4i4o into a new module owned by the gateway.
    TJKNet* CreateDefaultJknComponentAndAddToJknTopologic(_EJknClsId AJknClsId,
                                                          std::uint8_t AJknSegId,
                                                          TJKNet_Topologic* ATopologic,
                                                          std::uint8_t AJknNodeId) override;

    // The member events, reporting packets that no topology member took.
    TJknNodeEvent& OnUnhandledPacketUnreachable = OnPacketUnreachable;
    TJknNodeEvent& OnUnhandledSuccessfulReset = OnSuccessfulReset;
    TJknNodeEvent& OnUnhandledGotJknProtocolVersion = OnGotJknProtocolVersion;
    TJknNodeEvent& OnUnhandledGotJknClsId = OnGotJknClsId;
    TJknNodeEvent& OnUnhandledGotJknCustomerId = OnGotJknCustomerId;
    TJknRxdPacketEvent& OnUnhandledRxdJknPacket = OnUnfilteredRxdJknPacket;

protected:
    bool Connected = false;

private:
    XVclUtil::TComponentRef<TVrc4i4o> DefHandler_Vrc4i4o;
};

} // namespace KrvCtrl
