#pragma once
// Base of every JKNet component: class id, address, the replies every member can give, and the
// dispatch of a received packet to events.

#include "KrvCtrl/JKNetPackets.h"

#include "XVclUtil/TComponent.h"

#include <cstdint>
#include <string>

namespace KrvCtrl {

class TJKNet : public XVclUtil::TComponent {
public:
    // Plain form: class id 0, segment 0x80, node 0.
    explicit TJKNet(XVclUtil::TComponent* AOwner);
    // Addressed form: sets class id, segment and node.
    TJKNet(XVclUtil::TComponent* AOwner, _EJknClsId AJknClsId, std::uint8_t AJknSegId,
           std::uint8_t AJknNodeId);
    // Copying form: copies the template's network state (events included), then sets class id,
    // segment and node. The template must carry the same class id.
    TJKNet(XVclUtil::TComponent* AOwner, _EJknClsId AJknClsId, std::uint8_t AJknSegId,
           std::uint8_t AJknNodeId, const TJKNet* ATemplate);
    ~TJKNet() override = default;

    TJKNet(const TJKNet&) = delete;
    TJKNet& operator=(const TJKNet&) = delete;

    _EJknClsId pr_JknClsId() const { return FJknClsId; }
    std::uint8_t pr_JknSegId() const { return FJknSegId; }
    std::uint8_t pr_JknNodeId() const { return FJknNodeId; }
    virtual void pw_JknSegId(std::uint8_t Value) = 0;
    virtual void pw_JknNodeId(std::uint8_t Value) = 0;

    // Stored data of the last replies received (0 until the first one).
    std::uint8_t pr_UnreachableInfo(int Index) const;
    std::uint8_t pr_GotJknProtocolVersion() const { return GotJknProtocolVersion; }
    std::uint8_t pr_GotJknClsId() const { return GotJknClsId; }
    std::uint8_t pr_GotJknCustomerId() const { return GotJknCustomerId; }

    // Handles a packet received from this member's address.
    virtual void FilteringReceivedJknPacket(const TJknRxdPacket& RxdPacket);
    virtual void SendJknPacket(const _SJKNTXDPACKET& TxdPacket) = 0;

    // Called once the component's properties have been set from a stored description.
    virtual void Loaded() {}

    // True while the component is being edited in a form designer: registration failures are
    // then swallowed instead of raised. Inherited from an owner that is a JKNet component.
    bool Designing = false;

protected:
    virtual void BeforeFireOnPacketUnreachableEvent(const TJknRxdPacket&) {}
    virtual void BeforeFireOnSuccessfulResetEvent(const TJknRxdPacket&) {}
    virtual void BeforeFireOnGotJknProtocolVersionEvent(const TJknRxdPacket&) {}
    virtual void BeforeFireOnGotJknClsIdEvent(const TJknRxdPacket&) {}
    virtual void BeforeFireOnGotJknCustomerIdEvent(const TJknRxdPacket&) {}
    virtual void BeforeFireOnUnfilteredRxdJknPacketEvent(const TJknRxdPacket&) {}

    // Calls a reply event with this member as sender and its own address.
    void FireNodeEvent(const TJknNodeEvent& Event);

    _EJknClsId FJknClsId = ejci_None;
    std::uint8_t FJknSegId = JknMaxSegId;
    std::uint8_t FJknNodeId = 0;

    // Events; node components publish them under these names, the gateway under others.
    TJknNodeEvent OnPacketUnreachable;
    std::uint8_t UnreachableInfo[3] = {0, 0, 0};
    TJknNodeEvent OnSuccessfulReset;
    TJknNodeEvent OnGotJknProtocolVersion;
    std::uint8_t GotJknProtocolVersion = 0;
    TJknNodeEvent OnGotJknClsId;
    std::uint8_t GotJknClsId = 0;
    TJknNodeEvent OnGotJknCustomerId;
    std::uint8_t GotJknCustomerId = 0;
    TJknRxdPacketEvent OnUnfilteredRxdJknPacket;

private:
    void CopyJknStateFrom(const TJKNet& ATemplate);
    bool DispatchReply(const TJknRxdPacket& RxdPacket);
};

} // namespace KrvCtrl
