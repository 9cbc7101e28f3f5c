#pragma once
// The topology of a JKNet: which member sits at which segment and node, loaded from and checked
// against the topology file (INI syntax).

#include "KrvCtrl/TJKNet.h"

#include <array>
#include <cstdint>
#include <string>

namespace XVclUtil {
class TXIniFile;
}

namespace KrvCtrl {

// One entry of a segment table.
struct _SJKNTOPOLOGICNODE {
    std::uint32_t ClsId; // _EJknClsId of the member; 0 = empty
    TJKNet* Component;   // the member
    std::uint32_t Flags; // bits 0..2: how it was registered; bit 31: declared in this load
};

class TJKNet_Topologic : public TJKNet {
public:
    // Registration modes (bits 0..2 of an entry's Flags) and the declared mark.
    enum : std::uint32_t {
        jtfLoaded = 1,      // a node loaded with its properties registered itself
        jtfConstructed = 2, // a node constructed with this topology
        jtfFromFile = 4,    // created here from the topology file
        jtfModeMask = 7,
        jtfDeclared = 0x80000000u,
    };
    static constexpr int SegmentCount = 0x81;
    static constexpr int NodesPerSegment = 0x80;
    using TSegmentTab = std::array<_SJKNTOPOLOGICNODE, NodesPerSegment>;

    explicit TJKNet_Topologic(XVclUtil::TComponent* AOwner);
    ~TJKNet_Topologic() override;

    const std::string& pr_FileName() const { return FileName; }
    void pw_FileName(const std::string& Value) { FileName = Value; }

    _EJknClsId pr_TopologicClsId(std::uint8_t AJknSegId, std::uint8_t AJknNodeId) const;
    TJKNet* pr_TopologicJknComponent(std::uint8_t AJknSegId, std::uint8_t AJknNodeId) const;
    // The whole entry (null when the segment has no table); for walking the members.
    const _SJKNTOPOLOGICNODE* pr_TopologicEntry(std::uint8_t AJknSegId,
                                                std::uint8_t AJknNodeId) const;

    void AddJknComponentToJknTopologic(TJKNet* AJknComponent, unsigned int Mode);
    void LoadAndChkTopologicIniAndAssignDefaultJknComponentToJknTopologic();
    void FreeJknTopologic();

    // Creates a member for an address that the file declares but nobody holds; null if the
    // class cannot be created.
    virtual TJKNet* CreateDefaultJknComponentAndAddToJknTopologic(_EJknClsId AJknClsId,
                                                                  std::uint8_t AJknSegId,
                                                                  TJKNet_Topologic* ATopologic,
                                                                  std::uint8_t AJknNodeId) = 0;

protected:
    // Raises the out-of-range address error for segments above 0x80 and nodes above 0x7F.
    static void CheckJknAddress(unsigned AJknSegId, unsigned AJknNodeId);
    TSegmentTab* SegmentTab(unsigned AJknSegId) const { return TopologicTab[AJknSegId]; }
    TSegmentTab& AllocSegmentTab(unsigned AJknSegId);

    std::string FileName;
    std::array<TSegmentTab*, SegmentCount> TopologicTab{};

protected:
    // A member that is destroyed leaves the table.
    void Notification(XVclUtil::TComponent* AComponent) override;

private:
    void ForgetJknComponent(XVclUtil::TComponent* AComponent);
    void LoadSegmentSection(XVclUtil::TXIniFile& Ini, unsigned AJknSegId);
    void LoadMemberLine(const std::string& Section, const std::string& Key,
                        const std::string& Value, unsigned AJknSegId);
    void CheckEveryMemberDeclared() const;
};

} // namespace KrvCtrl
