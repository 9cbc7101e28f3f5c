#pragma once
// The I/O module with 4 inputs and 4 outputs (device keyword "VRC_4i4o").

#include "KrvCtrl/TJKNet_Node.h"

namespace KrvCtrl {

class TVrc4i4o : public TJKNet_Node {
public:
    explicit TVrc4i4o(XVclUtil::TComponent* AOwner);
    TVrc4i4o(XVclUtil::TComponent* AOwner, _EJknClsId AJknClsId, TJKNet_Topologic* ATopologic,
             std::uint8_t AJknSegId, std::uint8_t AJknNodeId);
    TVrc4i4o(XVclUtil::TComponent* AOwner, _EJknClsId AJknClsId, TJKNet_Topologic* ATopologic,
             std::uint8_t AJknSegId, std::uint8_t AJknNodeId, const TJKNet* ATemplate);

    // The output byte last sent; writing stores it and sends it to the module.
    std::uint8_t pr_Yout() const { return Yout; }
    void pw_Yout(std::uint8_t Value);
    // Output bit i (0..3); writing sets or clears it and sends the whole byte once.
    bool pr_BitOfY(int Index) const;
    void pw_BitOfY(int Index, bool Value);
    // Input bit i (0..3) of the latest and of the previous input report.
    bool pr_BitOfX(int Index) const;
    bool pr_Old_BitOfX(int Index) const;
    std::uint8_t pr_Xin() const { return Xin; }
    std::uint8_t pr_Old_Xin() const { return Old_Xin; }

    void FilteringReceivedJknPacket(const TJknRxdPacket& RxdPacket) override;

    TJknNodeEvent OnInputChanged;

protected:
    void BeforeFireOnSuccessfulResetEvent(const TJknRxdPacket& RxdPacket) override;
    void BeforeRunRequestToReset() override;

private:
    void CopyModuleStateFrom(const TJKNet* ATemplate);

    std::uint8_t Yout = 0;
    std::uint8_t Xin = 0;
    std::uint8_t Old_Xin = 0;
};

} // namespace KrvCtrl
