// Loading and checking the topology file; registration; freeing.

#include "JKNetTestSupport.h"

#include "KrvCtrl/TVrc4i4o.h"
#include "XVclUtil/EXGeneral.h"

#include <gtest/gtest.h>

#include <functional>

using namespace KrvCtrl;
using JKNetTest::TRecordingRnsm;
using JKNetTest::TTempDir;

namespace {

class JKNetTopologic : public ::testing::Test {
protected:
    JKNetTopologic() {
        Gateway.SetName("JKNetViaVrc2321");
        Gateway.pw_DefHandler_Vrc4i4o(&Template);
        Gateway.pw_FileName(Dir.File("topo.ini"));
    }

    // Loads text as the topology file and returns the message raised, or "" on success.
    std::string Load(const std::string& text) {
        Dir.Write("topo.ini", text);
        return LoadMessage();
    }
    std::string LoadMessage() {
        try {
            Gateway.LoadAndChkTopologicIniAndAssignDefaultJknComponentToJknTopologic();
            return "";
        } catch (const XVclUtil::EXGeneral& e) {
            return e.Message;
        }
    }
    std::string Header(const std::string& gatewayLine =
                           "Travel_000=Device( \"VRC_4i4o\" ) , NetNodeId( 0xFF )\r\n") {
        return "[JknTopologic.Head]\r\nSignature=KRV\r\n[NetSegmentId_0x80]\r\n" + gatewayLine;
    }
    std::string InvalidHeader() const {
        return "\nErr: Invalid header in the topologic ini file !!!\nComponentName = "
               "JKNetViaVrc2321\nFileName = " +
               Gateway.pr_FileName() + "\n";
    }
    std::string InvalidSyntax(const std::string& section, const std::string& key) const {
        return "\nErr: Invalid syntax in the topologic ini file !!!\nComponentName = "
               "JKNetViaVrc2321\nFileName = " +
               Gateway.pr_FileName() + "\nIniSection = " + section + "\nIniKey = " + key + "\n";
    }
    int CountModules() const {
        int n = 0;
        for (XVclUtil::TComponent* child : Gateway.Components())
            if (dynamic_cast<TVrc4i4o*>(child)) ++n;
        return n;
    }

    TTempDir Dir;
    TRecordingRnsm Gateway;
    TVrc4i4o Template{nullptr};
};

} // namespace

TEST_F(JKNetTopologic, ExampleFileCreatesTheDeclaredModulesFromTheTemplate) {
    int inputs = 0;
    Template.OnInputChanged = [&](XVclUtil::TComponent*, std::uint8_t, std::uint8_t) { ++inputs; };
    ASSERT_EQ(Load(JKNetTest::ExampleTopology()), "");
    TVrc4i4o* a = Gateway.pr_Vrc4i4o(0x80, 0x01);
    TVrc4i4o* b = Gateway.pr_Vrc4i4o(0x02, 0x10);
    EXPECT_EQ(a->Owner(), &Gateway);
    EXPECT_EQ(b->pr_BindTo(), &Gateway);
    EXPECT_EQ(Gateway.pr_TopologicEntry(0x02, 0x10)->Flags, 0x80000004u);
    EXPECT_EQ(CountModules(), 2);
    EXPECT_EQ(Gateway.pr_TopologicClsId(0x80, 0x00), ejci_None);
    EXPECT_EQ(Gateway.pr_TopologicClsId(0x05, 0x00), ejci_None); // no table
    // The template's callbacks came along.
    Gateway.FilteringReceivedJknPacket(JKNetTest::RxdPacket({0x02, 0x10, 0x02, 0x81, 0x01}));
    EXPECT_EQ(inputs, 1);
    EXPECT_TRUE(b->pr_BitOfX(0));
}

TEST_F(JKNetTopologic, LoadingTheSameFileTwiceCreatesNoSecondSet) {
    ASSERT_EQ(Load(JKNetTest::ExampleTopology()), "");
    TVrc4i4o* first = Gateway.pr_Vrc4i4o(0x02, 0x10);
    ASSERT_EQ(LoadMessage(), "");
    EXPECT_EQ(Gateway.pr_Vrc4i4o(0x02, 0x10), first);
    EXPECT_EQ(CountModules(), 2);
}

TEST_F(JKNetTopologic, FileNameMissingOrFileAbsent) {
    Gateway.pw_FileName("");
    EXPECT_EQ(LoadMessage(),
              "\nErr: The FileName property is not defined !!!\nComponentName = JKNetViaVrc2321\n");
    Gateway.pw_FileName(Dir.File("absent.ini"));
    EXPECT_EQ(LoadMessage(), "\nErr: The topologic ini file is not exist !!!\nComponentName = "
                             "JKNetViaVrc2321\nFileName = " +
                                 Dir.File("absent.ini") + "\n");
    Gateway.pw_FileName(Dir.Path); // a folder is no topology file
    EXPECT_NE(LoadMessage().find("is not exist"), std::string::npos);
}

TEST_F(JKNetTopologic, HeaderChecks) {
    EXPECT_EQ(Load("[NetSegmentId_0x80]\r\nTravel_000=x\r\n"), InvalidHeader());
    EXPECT_EQ(Load("[JknTopologic.Head]\r\nSignature=KRW\r\n[NetSegmentId_0x80]\r\nA=1\r\n"),
              InvalidHeader());
    EXPECT_EQ(Load("[JknTopologic.Head]\r\nSignature=KRV\r\n[NetSegmentId_0x80]\r\n"),
              InvalidHeader()); // the gateway's section has no key
    EXPECT_EQ(Load("[JknTopologic.Head]\r\nSignature=KRV\r\n[NetSegmentId_0x01]\r\nA=1\r\n"),
              InvalidHeader());
    EXPECT_EQ(Load("[JknTopologic.Head]\r\nSignature=krv\r\n[NetSegmentId_0x80]\r\nA=1\r\n"), "");
    EXPECT_EQ(Load("[JknTopologic.Head]\r\nSignature=KrV\r\n[NetSegmentId_0x80]\r\nA=1\r\n"), "");
    EXPECT_EQ(Load("[jkntopologic.head]\r\nSignature=KRV\r\n[NetSegmentId_0x80]\r\nA=1\r\n"),
              InvalidHeader());
}

TEST_F(JKNetTopologic, LowerCaseSectionNameIsNotRead) {
    ASSERT_EQ(Load(Header() + "[NetSegmentId_0x1f]\r\nTravel_000=Device(\"VRC_4i4o\"),"
                              "NetNodeId(0x05)\r\n[NetSegmentId_0x1F]\r\n"
                              "Travel_001=Device(\"vrc_4I4O\"),NetNodeId(0x06)\r\n"),
              "");
    EXPECT_EQ(Gateway.pr_TopologicClsId(0x1F, 0x05), ejci_None);
    EXPECT_EQ(Gateway.pr_TopologicClsId(0x1F, 0x06), ejci_Vrc4i4o);
}

TEST_F(JKNetTopologic, InvalidSyntaxNamesSectionAndKey) {
    EXPECT_EQ(Load(Header() + "[NetSegmentId_0x03]\r\nTravel_007=Device( \"VRC_4i4o\" )\r\n"),
              InvalidSyntax("NetSegmentId_0x03", "Travel_007"));
    EXPECT_EQ(Load(Header("Travel_256=Device(VRC_4i4o),NetNodeId(0x01)\r\n")),
              InvalidSyntax("NetSegmentId_0x80", "Travel_256"));
    EXPECT_EQ(Load(Header("Travel_000=Device(\"\"),NetNodeId(0x01)\r\n")),
              InvalidSyntax("NetSegmentId_0x80", "Travel_000"));
    EXPECT_EQ(Load(Header("Travel_000=Device(\"VRC_4i4o\"),NetNodeId(0X01)\r\n")),
              InvalidSyntax("NetSegmentId_0x80", "Travel_000"));
}

TEST_F(JKNetTopologic, NodeNumbersBeyondTheSegmentTableAreRefused) {
    for (const char* number : {"0x80", "0xFE", "0x100", "0x1FF", "0xFFFFFFFFFFFF", "-0x1"}) {
        const std::string line =
            std::string("Travel_000=Device(\"VRC_4i4o\"),NetNodeId(") + number + ")\r\n";
        EXPECT_EQ(Load(Header(line)), InvalidSyntax("NetSegmentId_0x80", "Travel_000")) << number;
    }
    EXPECT_EQ(CountModules(), 0);
    EXPECT_EQ(Load(Header("Travel_000=Device(\"VRC_4i4o\"),NetNodeId(0x7F)\r\n")), "");
    EXPECT_EQ(Gateway.pr_TopologicClsId(0x80, 0x7F), ejci_Vrc4i4o);
}

TEST_F(JKNetTopologic, OnlyTravelKeysUpTo256AreRead) {
    std::string text = Header();
    text += "[NetSegmentId_0x04]\r\n";
    for (int k = 0; k <= 257; ++k) {
        char line[96];
        std::snprintf(line, sizeof line, "Travel_%03d=Device(\"VRC_4i4o\"),NetNodeId(0x%02X)\r\n",
                      k, k == 257 ? 0x7E : (k < 0x7E ? k : 0xFF));
        text += line;
    }
    text += "Other=Device(\"VRC_4i4o\"),NetNodeId(0x7F)\r\n";
    ASSERT_EQ(Load(text), "");
    EXPECT_EQ(CountModules(), 0x7E);
    EXPECT_EQ(Gateway.pr_TopologicClsId(0x04, 0x7D), ejci_Vrc4i4o);
    EXPECT_EQ(Gateway.pr_TopologicClsId(0x04, 0x7E), ejci_None); // Travel_257 is not read
    EXPECT_EQ(Gateway.pr_TopologicClsId(0x04, 0x7F), ejci_None); // other keys neither
}

TEST_F(JKNetTopologic, UnknownDeviceNamesItAfterTheEmptySlotTest) {
    EXPECT_EQ(Load(Header("Travel_000=Device(\"FOO\"),NetNodeId(0xFF)\r\n")), "");
    EXPECT_EQ(Load(Header("Travel_001=Device( \"VRC_8i8o\" ) , NetNodeId( 0x02 )\r\n")),
              "\nErr: Unknown Device() in the topologic ini file !!!\nComponentName = "
              "JKNetViaVrc2321\nFileName = " +
                  Gateway.pr_FileName() +
                  "\nIniSection = NetSegmentId_0x80\nIniKey = Travel_001\nDevice = VRC_8i8o\n");
}

TEST_F(JKNetTopologic, DeclaredModuleWithoutDefHandler) {
    Gateway.pw_DefHandler_Vrc4i4o(nullptr);
    EXPECT_EQ(Load(Header("Travel_000=Device(\"VRC_4i4o\"),NetNodeId(0x01)\r\n")),
              "\nErr: 發現一個於拓墣 INI 檔內有宣告使用的元件,但卻又找不到\n"
              "該元件存在的情形,同時也找不到該類型元件的 DefHandler !!!\n"
              "ComponentName = JKNetViaVrc2321\nFileName = " +
                  Gateway.pr_FileName() + "\nJknSegId = 0x80\nJknNodeId = 0x01\n");
}

TEST_F(JKNetTopologic, TemplateDestroyedIsTakenAsNoDefHandler) {
    auto templ = std::make_unique<TVrc4i4o>(nullptr);
    Gateway.pw_DefHandler_Vrc4i4o(templ.get());
    templ.reset();
    EXPECT_EQ(Gateway.pr_DefHandler_Vrc4i4o(), nullptr);
    EXPECT_NE(
        Load(Header("Travel_000=Device(\"VRC_4i4o\"),NetNodeId(0x01)\r\n")).find("DefHandler"),
        std::string::npos);
}

TEST_F(JKNetTopologic, UndeclaredMemberIsReportedAfterTheWholeFile) {
    TVrc4i4o placed(nullptr);
    placed.pw_BindTo(&Gateway);
    placed.pw_JknSegId(0x02);
    placed.pw_JknNodeId(0x10);
    placed.Loaded();
    EXPECT_EQ(Load(Header("Travel_000=Device(\"VRC_4i4o\"),NetNodeId(0x01)\r\n")),
              "\nErr: 發現一個於拓墣 INI 檔內並沒有宣告使用的元件\n"
              "但該元件不但已經存在,而且也已掛入了拓墣結構內 !!!\n"
              "ComponentName = JKNetViaVrc2321\nFileName = " +
                  Gateway.pr_FileName() + "\nJknSegId = 0x02\nJknNodeId = 0x10\n");
    // The whole file was read first: the declared module exists.
    EXPECT_EQ(Gateway.pr_TopologicClsId(0x80, 0x01), ejci_Vrc4i4o);
    // Declared, the placed module is taken as it is, with its registration mode kept.
    ASSERT_EQ(Load(Header("Travel_000=Device(\"VRC_4i4o\"),NetNodeId(0x01)\r\n"
                          "[NetSegmentId_0x02]\r\nTravel_000=Device(\"VRC_4i4o\"),"
                          "NetNodeId(0x10)\r\n")),
              "");
    EXPECT_EQ(Gateway.pr_Vrc4i4o(0x02, 0x10), &placed);
    EXPECT_EQ(Gateway.pr_TopologicEntry(0x02, 0x10)->Flags, 0x80000001u);
}

TEST_F(JKNetTopologic, MemberOfAnotherClassAtADeclaredAddress) {
    struct TOtherNode : TJKNet_Node {
        TOtherNode(TJKNet_Topologic* t)
            : TJKNet_Node(nullptr, static_cast<_EJknClsId>(0x90), t, 2, 0x10) {}
        void BeforeRunRequestToReset() override {}
    } other(&Gateway);
    EXPECT_EQ(Load(Header() + "[NetSegmentId_0x02]\r\nTravel_003=Device(\"VRC_4i4o\"),"
                              "NetNodeId(0x10)\r\n"),
              "\nErr: Current Topologic is not conform to topologic ini file !!!\n"
              "ComponentName = JKNetViaVrc2321\nFileName = " +
                  Gateway.pr_FileName() +
                  "\nIniSection = NetSegmentId_0x02\nIniKey = Travel_003\nDevice = VRC_4i4o\n");
    try {
        Gateway.pr_Vrc4i4o(0x02, 0x10);
        FAIL();
    } catch (const XVclUtil::EXGeneral& e) {
        EXPECT_EQ(e.Message, "\nThe address of node is not a TVrc4i4o component !!!\n");
    }
}

TEST_F(JKNetTopologic, DuplicatedAddress) {
    TVrc4i4o first(nullptr, ejci_Vrc4i4o, &Gateway, 0x02, 0x10);
    try {
        TVrc4i4o second(nullptr, ejci_Vrc4i4o, &Gateway, 0x02, 0x10);
        FAIL() << "second member at the same address";
    } catch (const XVclUtil::EXGeneral& e) {
        EXPECT_EQ(e.Message,
                  "\nErr: Duplicated JKNet Address !!!\nJknSegId  = 0x02\nJknNodeId = 0x10\n");
    }
    EXPECT_EQ(Gateway.pr_TopologicJknComponent(0x02, 0x10), &first);
    // Registering the same member again only changes its mode.
    Gateway.AddJknComponentToJknTopologic(&first, 1);
    EXPECT_EQ(Gateway.pr_TopologicEntry(0x02, 0x10)->Flags, 1u);
}

TEST_F(JKNetTopologic, AddressQueriesRefuseOutOfRangeAddresses) {
    const std::string msg = "\nThe address of node is not belong to the topologic of JKNet !!!\n";
    auto expectRefused = [&](const std::function<void()>& f) {
        try {
            f();
            ADD_FAILURE() << "accepted";
        } catch (const XVclUtil::EXGeneral& e) {
            EXPECT_EQ(e.Message, msg);
        }
    };
    expectRefused([&] { Gateway.pr_TopologicClsId(0x81, 0x00); });
    expectRefused([&] { Gateway.pr_TopologicJknComponent(0x00, 0x80); });
    expectRefused([&] { Gateway.pr_Vrc4i4o(0x00, 0x80); });
    expectRefused([&] { Gateway.pr_Vrc4i4o(0x07, 0x01); }); // no table for segment 7
    TVrc4i4o node(nullptr);
    expectRefused([&] { Gateway.AddJknComponentToJknTopologic(&Gateway, 2); }); // node 0x80
    EXPECT_EQ(Gateway.pr_TopologicClsId(0x80, 0x00), ejci_None);
}

TEST_F(JKNetTopologic, FailedLoadKeepsWhatWasCreatedAndFreeDestroysOnlyFileMembers) {
    TVrc4i4o placed(nullptr, ejci_Vrc4i4o, &Gateway, 0x80, 0x01);
    EXPECT_NE(Load(Header("Travel_000=Device(\"VRC_4i4o\"),NetNodeId(0x01)\r\n"
                          "Travel_001=Device(\"VRC_4i4o\"),NetNodeId(0x02)\r\n"
                          "Travel_002=Device(\"bad\"),NetNodeId(0x03)\r\n")),
              "");
    ASSERT_EQ(CountModules(), 1);
    XVclUtil::TComponentRef<TVrc4i4o> created = Gateway.pr_Vrc4i4o(0x80, 0x02);
    Gateway.FreeJknTopologic();
    EXPECT_EQ(created.get(), nullptr);
    EXPECT_EQ(placed.pr_BindTo(), &Gateway); // belongs to its owner, stays alive
    EXPECT_EQ(Gateway.pr_TopologicEntry(0x80, 0x01), nullptr);
}

TEST_F(JKNetTopologic, HugeAndHostileValuesAreRefusedCleanly) {
    EXPECT_NE(
        Load(Header("Travel_000=Device(\"" + std::string(10000, 'V') + "\"),NetNodeId(0x01)\r\n")),
        "");
    EXPECT_NE(Load(Header("Travel_000=Device(\"VRC_4i4o\"),NetNodeId(0x" + std::string(5000, 'F') +
                          ")\r\n")),
              "");
    EXPECT_NE(Load(Header(std::string("Travel_000=") + '\x01' + "\xff\xfe\r\n")), "");
    EXPECT_EQ(CountModules(), 0);
}
