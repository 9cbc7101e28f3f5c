#include "KrvCtrl/TJKNet_Topologic.h"

#include "KrvCtrl/JKNetTopologicLine.h"
#include "XVclUtil/EXGeneral.h"
#include "XVclUtil/FileUtil.h"
#include "XVclUtil/Printf.h"
#include "XVclUtil/ini/TXIniFile.h"

#include <memory>
#include <new>

namespace KrvCtrl {

using XVclUtil::EXGeneral;
using XVclUtil::Format;

namespace {

const char* const HeadSection = "JknTopologic.Head";
const char* const GatewaySection = "NetSegmentId_0x80";
constexpr unsigned NoModuleNodeId = 0xFF;
constexpr int TravelKeyCount = 257;

} // namespace

TJKNet_Topologic::TJKNet_Topologic(XVclUtil::TComponent* AOwner) : TJKNet(AOwner) {}

TJKNet_Topologic::~TJKNet_Topologic() {
    FreeJknTopologic();
}

void TJKNet_Topologic::CheckJknAddress(unsigned AJknSegId, unsigned AJknNodeId) {
    if (AJknSegId > JknMaxSegId || AJknNodeId > JknMaxNodeId)
        throw EXGeneral("\nThe address of node is not belong to the topologic of JKNet !!!\n");
}

TJKNet_Topologic::TSegmentTab& TJKNet_Topologic::AllocSegmentTab(unsigned AJknSegId) {
    if (TopologicTab[AJknSegId] == nullptr) {
        auto* tab = new (std::nothrow) TSegmentTab{};
        if (tab == nullptr) throw EXGeneral("\nErr: Can not allocate memory !!!\n");
        TopologicTab[AJknSegId] = tab;
    }
    return *TopologicTab[AJknSegId];
}

const _SJKNTOPOLOGICNODE* TJKNet_Topologic::pr_TopologicEntry(std::uint8_t AJknSegId,
                                                              std::uint8_t AJknNodeId) const {
    CheckJknAddress(AJknSegId, AJknNodeId);
    const TSegmentTab* tab = TopologicTab[AJknSegId];
    return tab ? &(*tab)[AJknNodeId] : nullptr;
}

_EJknClsId TJKNet_Topologic::pr_TopologicClsId(std::uint8_t AJknSegId,
                                               std::uint8_t AJknNodeId) const {
    const _SJKNTOPOLOGICNODE* entry = pr_TopologicEntry(AJknSegId, AJknNodeId);
    return entry ? static_cast<_EJknClsId>(entry->ClsId) : ejci_None;
}

TJKNet* TJKNet_Topologic::pr_TopologicJknComponent(std::uint8_t AJknSegId,
                                                   std::uint8_t AJknNodeId) const {
    const _SJKNTOPOLOGICNODE* entry = pr_TopologicEntry(AJknSegId, AJknNodeId);
    return entry ? entry->Component : nullptr;
}

void TJKNet_Topologic::AddJknComponentToJknTopologic(TJKNet* AJknComponent, unsigned int Mode) {
    if (AJknComponent == nullptr) return;
    const unsigned seg = AJknComponent->pr_JknSegId();
    const unsigned node = AJknComponent->pr_JknNodeId();
    CheckJknAddress(seg, node);
    _SJKNTOPOLOGICNODE& entry = AllocSegmentTab(seg)[node];
    // An entry is free when no component holds it, whatever class id it was left with.
    if (entry.Component != nullptr && entry.Component != AJknComponent)
        throw EXGeneral("\nErr: Duplicated JKNet Address !!!\nJknSegId  = 0x%02X\n"
                        "JknNodeId = 0x%02X\n",
                        seg, node);
    entry.ClsId = AJknComponent->pr_JknClsId();
    entry.Component = AJknComponent;
    entry.Flags = (entry.Flags & ~jtfModeMask) | (Mode & jtfModeMask);
    // A member that goes away must not leave its address behind in the table.
    FreeNotification(AJknComponent);
}

void TJKNet_Topologic::Notification(XVclUtil::TComponent* AComponent) {
    ForgetJknComponent(AComponent);
}

void TJKNet_Topologic::ForgetJknComponent(XVclUtil::TComponent* AComponent) {
    for (TSegmentTab* tab : TopologicTab) {
        if (tab == nullptr) continue;
        for (_SJKNTOPOLOGICNODE& entry : *tab)
            if (entry.Component != nullptr &&
                static_cast<XVclUtil::TComponent*>(entry.Component) == AComponent)
                entry = _SJKNTOPOLOGICNODE{};
    }
}

void TJKNet_Topologic::FreeJknTopologic() {
    for (TSegmentTab*& tab : TopologicTab) {
        if (tab == nullptr) continue;
        for (_SJKNTOPOLOGICNODE& entry : *tab) {
            if ((entry.Flags & jtfFromFile) == 0 || entry.Component == nullptr) continue;
            TJKNet* member = entry.Component;
            entry = _SJKNTOPOLOGICNODE{};
            delete member;
        }
        delete tab;
        tab = nullptr;
    }
}

void TJKNet_Topologic::LoadAndChkTopologicIniAndAssignDefaultJknComponentToJknTopologic() {
    if (FileName.empty())
        throw EXGeneral("\nErr: The FileName property is not defined !!!\nComponentName = %s\n",
                        Name().c_str());
    // Only a regular file can be a topology file; a folder or a device counts as missing.
    if (!XVclUtil::FileExists(FileName))
        throw EXGeneral("\nErr: The topologic ini file is not exist !!!\nComponentName = %s\n"
                        "FileName = %s\n",
                        Name().c_str(), FileName.c_str());

    for (TSegmentTab* tab : TopologicTab)
        if (tab != nullptr)
            for (_SJKNTOPOLOGICNODE& entry : *tab) entry.Flags &= ~jtfDeclared;

    {
        auto ini = std::make_unique<XVclUtil::TXIniFile>(FileName);
        const std::string signature = ini->ReadString(HeadSection, "Signature", "");
        if (!SameTextAscii(signature, "KRV") || !ini->SectionExists(GatewaySection))
            throw EXGeneral("\nErr: Invalid header in the topologic ini file !!!\n"
                            "ComponentName = %s\nFileName = %s\n",
                            Name().c_str(), FileName.c_str());
        for (unsigned seg = 0; seg <= JknMaxSegId; ++seg) LoadSegmentSection(*ini, seg);
    }
    CheckEveryMemberDeclared();
}

void TJKNet_Topologic::LoadSegmentSection(XVclUtil::TXIniFile& Ini, unsigned AJknSegId) {
    const std::string section = Format("NetSegmentId_0x%02X", AJknSegId);
    if (!Ini.SectionExists(section)) return;
    for (int k = 0; k < TravelKeyCount; ++k) {
        const std::string key = Format("Travel_%03d", k);
        const std::string value = Ini.ReadString(section, key, "");
        if (!value.empty()) LoadMemberLine(section, key, value, AJknSegId);
    }
}

void TJKNet_Topologic::LoadMemberLine(const std::string& Section, const std::string& Key,
                                      const std::string& Value, unsigned AJknSegId) {
    TJknMemberLine line;
    // A node number must index the 128 entries of a segment table, or mark an empty slot.
    if (!ScanJknMemberLine(Value, line) ||
        (line.NetNodeId > JknMaxNodeId && line.NetNodeId != NoModuleNodeId))
        throw EXGeneral("\nErr: Invalid syntax in the topologic ini file !!!\nComponentName = %s\n"
                        "FileName = %s\nIniSection = %s\nIniKey = %s\n",
                        Name().c_str(), FileName.c_str(), Section.c_str(), Key.c_str());
    if (line.NetNodeId == NoModuleNodeId) return;
    const unsigned node = line.NetNodeId;
    TSegmentTab& tab = AllocSegmentTab(AJknSegId);
    if (!SameTextAscii(line.Device, "VRC_4i4o"))
        throw EXGeneral("\nErr: Unknown Device() in the topologic ini file !!!\n"
                        "ComponentName = %s\nFileName = %s\nIniSection = %s\nIniKey = %s\n"
                        "Device = %s\n",
                        Name().c_str(), FileName.c_str(), Section.c_str(), Key.c_str(),
                        line.Device.c_str());

    _SJKNTOPOLOGICNODE& entry = tab[node];
    if (entry.Component != nullptr) {
        if (entry.ClsId != ejci_Vrc4i4o)
            throw EXGeneral("\nErr: Current Topologic is not conform to topologic ini file !!!\n"
                            "ComponentName = %s\nFileName = %s\nIniSection = %s\nIniKey = %s\n"
                            "Device = %s\n",
                            Name().c_str(), FileName.c_str(), Section.c_str(), Key.c_str(),
                            line.Device.c_str());
        entry.Flags |= jtfDeclared;
        return;
    }

    TJKNet* created = CreateDefaultJknComponentAndAddToJknTopologic(
        ejci_Vrc4i4o, static_cast<std::uint8_t>(AJknSegId), this, static_cast<std::uint8_t>(node));
    if (created == nullptr)
        throw EXGeneral(
            "\nErr: 發現一個於拓墣 INI 檔內有宣告使用的元件,但卻又找不到\n"
            "該元件存在的情形,同時也找不到該類型元件的 DefHandler !!!\n"
            "ComponentName = %s\nFileName = %s\nJknSegId = 0x%02X\nJknNodeId = 0x%02X\n",
            Name().c_str(), FileName.c_str(), AJknSegId, node);
    // The entry must hold the new member before it is marked as created from the file, so
    // that freeing the topology never destroys a member it did not create.
    if (tab[node].Component != created)
        throw EXGeneral("\nErr: CreateDefaultJknComponentAndAddToJknTopologic() !!!\n");
    tab[node].Flags = (tab[node].Flags & ~jtfModeMask) | jtfFromFile | jtfDeclared;
}

void TJKNet_Topologic::CheckEveryMemberDeclared() const {
    for (unsigned seg = 0; seg < SegmentCount; ++seg) {
        const TSegmentTab* tab = TopologicTab[seg];
        if (tab == nullptr) continue;
        for (unsigned node = 0; node < NodesPerSegment; ++node) {
            const _SJKNTOPOLOGICNODE& entry = (*tab)[node];
            if (entry.Component == nullptr || (entry.Flags & jtfDeclared) != 0) continue;
            throw EXGeneral("\nErr: 發現一個於拓墣 INI 檔內並沒有宣告使用的元件\n"
                            "但該元件不但已經存在,而且也已掛入了拓墣結構內 !!!\n"
                            "ComponentName = %s\nFileName = %s\nJknSegId = 0x%02X\n"
                            "JknNodeId = 0x%02X\n",
                            Name().c_str(), FileName.c_str(), seg, node);
        }
    }
}

} // namespace KrvCtrl
