#pragma once
// A module on the JKNet, bound to a topology through which it sends its packets.

#include "KrvCtrl/TJKNet.h"

#include "XVclUtil/TComponent.h"

namespace KrvCtrl {

class TJKNet_Topologic;

class TJKNet_Node : public TJKNet {
public:
    explicit TJKNet_Node(XVclUtil::TComponent* AOwner);
    // Addressed and copying forms: bind to ATopologic and register there (mode 2).
    TJKNet_Node(XVclUtil::TComponent* AOwner, _EJknClsId AJknClsId, TJKNet_Topologic* ATopologic,
                std::uint8_t AJknSegId, std::uint8_t AJknNodeId);
    TJKNet_Node(XVclUtil::TComponent* AOwner, _EJknClsId AJknClsId, TJKNet_Topologic* ATopologic,
                std::uint8_t AJknSegId, std::uint8_t AJknNodeId, const TJKNet* ATemplate);
    ~TJKNet_Node() override;

    void pw_JknSegId(std::uint8_t Value) override;
    void pw_JknNodeId(std::uint8_t Value) override;
    TJKNet_Topologic* pr_BindTo() const;
    virtual void pw_BindTo(TJKNet_Topologic* Value);

    // Registers the node in BindTo once BindTo, segment and node have all been assigned.
    void Loaded() override;
    // Hands the packet to BindTo; nothing is sent when the node is not bound.
    void SendJknPacket(const _SJKNTXDPACKET& TxdPacket) override;

    void RequestToReset();
    void QueryJknProtocolVersion();
    void QueryJknClsId();
    void QueryJknCustomerId();

    using TJKNet::OnGotJknClsId;
    using TJKNet::OnGotJknCustomerId;
    using TJKNet::OnGotJknProtocolVersion;
    using TJKNet::OnPacketUnreachable;
    using TJKNet::OnSuccessfulReset;
    using TJKNet::OnUnfilteredRxdJknPacket;

    // Which of BindTo (bit 0), JknSegId (bit 1) and JknNodeId (bit 2) have been assigned.
    enum : unsigned { amBindTo = 1, amJknSegId = 2, amJknNodeId = 4, amAll = 7 };
    unsigned pr_AssignedMask() const { return AssignedMask; }

protected:
    virtual void BeforeRunRequestToReset() = 0;
    // Sends a one-byte command to the node's own address.
    void SendJknCommand(std::uint8_t Code);
    // Registers in ATopologic; a failure is swallowed only while designing.
    void RegisterIn(TJKNet_Topologic* ATopologic, unsigned Mode);

private:
    void CopyNodeStateFrom(const TJKNet* ATemplate);

    XVclUtil::TComponentRef<TJKNet_Topologic> BindTo;
    unsigned AssignedMask = 0;
};

} // namespace KrvCtrl
