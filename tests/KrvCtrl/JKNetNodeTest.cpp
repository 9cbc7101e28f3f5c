// Packets sent by nodes, reply dispatch, TVrc4i4o properties, the three constructor forms.

#include "JKNetTestSupport.h"

#include "KrvCtrl/TVrc4i4o.h"
#include "XVclUtil/EXGeneral.h"

#include <gtest/gtest.h>

#include <memory>

using namespace KrvCtrl;
using JKNetTest::Bytes;
using JKNetTest::RxdPacket;
using JKNetTest::TRecordingRnsm;

namespace {

struct TEventLog {
    std::vector<std::string> Lines;
    TJknNodeEvent Node(const std::string& name) {
        return [this, name](XVclUtil::TComponent* sender, std::uint8_t seg, std::uint8_t node) {
            char buf[64];
            std::snprintf(buf, sizeof buf, "%s %p %02X %02X", name.c_str(),
                          static_cast<void*>(sender), seg, node);
            Lines.emplace_back(buf);
        };
    }
    static std::string Expect(const std::string& name, XVclUtil::TComponent* sender, int seg,
                              int node) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%s %p %02X %02X", name.c_str(), static_cast<void*>(sender),
                      seg, node);
        return buf;
    }
};

class JKNetNode : public ::testing::Test {
protected:
    TRecordingRnsm Gateway;
    std::unique_ptr<TVrc4i4o> Module =
        std::make_unique<TVrc4i4o>(nullptr, ejci_Vrc4i4o, &Gateway, 0x01, 0x05);
};

} // namespace

TEST_F(JKNetNode, QueriesSendTheirCommandToTheNodesOwnAddress) {
    Module->QueryJknClsId();
    Module->QueryJknProtocolVersion();
    Module->QueryJknCustomerId();
    ASSERT_EQ(Gateway.Sent.size(), 3u);
    EXPECT_EQ(Gateway.Sent[0], (Bytes{0x01, 0x05, 0x01, 0x04}));
    EXPECT_EQ(Gateway.Sent[1], (Bytes{0x01, 0x05, 0x01, 0x03}));
    EXPECT_EQ(Gateway.Sent[2], (Bytes{0x01, 0x05, 0x01, 0x05}));
}

TEST_F(JKNetNode, BitOfYWritesTheWholeOutputByteOnce) {
    Module->pw_Yout(0x01);
    Gateway.Sent.clear();
    Module->pw_BitOfY(2, true);
    ASSERT_EQ(Gateway.Sent.size(), 1u);
    EXPECT_EQ(Gateway.Sent[0], (Bytes{0x01, 0x05, 0x02, 0x84, 0x05}));
    EXPECT_EQ(Module->pr_Yout(), 0x05);
    Module->pw_BitOfY(0, false);
    EXPECT_EQ(Gateway.Sent.back(), (Bytes{0x01, 0x05, 0x02, 0x84, 0x04}));
    EXPECT_TRUE(Module->pr_BitOfY(2));
    EXPECT_FALSE(Module->pr_BitOfY(0));
}

TEST_F(JKNetNode, BitIndexOutsideZeroToThreeReadsFalseAndWritesNothing) {
    Module->pw_Yout(0xFF);
    Gateway.Sent.clear();
    Module->pw_BitOfY(4, false);
    Module->pw_BitOfY(-1, true);
    EXPECT_TRUE(Gateway.Sent.empty());
    EXPECT_FALSE(Module->pr_BitOfY(4));
    EXPECT_FALSE(Module->pr_BitOfY(-1));
    Module->FilteringReceivedJknPacket(RxdPacket({0x01, 0x05, 0x02, 0x81, 0xFF}));
    EXPECT_FALSE(Module->pr_BitOfX(4));
    EXPECT_FALSE(Module->pr_Old_BitOfX(7));
}

TEST_F(JKNetNode, InputReportMovesTheOldByteAndCallsOnInputChanged) {
    TEventLog log;
    Module->OnInputChanged = log.Node("input");
    Module->FilteringReceivedJknPacket(RxdPacket({0x01, 0x05, 0x02, 0x81, 0x05}));
    Module->FilteringReceivedJknPacket(RxdPacket({0x01, 0x05, 0x02, 0x81, 0x0A}));
    EXPECT_FALSE(Module->pr_BitOfX(0));
    EXPECT_TRUE(Module->pr_BitOfX(1));
    EXPECT_FALSE(Module->pr_BitOfX(2));
    EXPECT_TRUE(Module->pr_BitOfX(3));
    EXPECT_TRUE(Module->pr_Old_BitOfX(0));
    EXPECT_TRUE(Module->pr_Old_BitOfX(2));
    EXPECT_FALSE(Module->pr_Old_BitOfX(1));
    ASSERT_EQ(log.Lines.size(), 2u);
    EXPECT_EQ(log.Lines[1], TEventLog::Expect("input", Module.get(), 0x01, 0x05));
}

TEST_F(JKNetNode, RepliesStoreTheirValueAndCallTheirEvent) {
    TEventLog log;
    Module->OnGotJknProtocolVersion = log.Node("version");
    Module->OnGotJknClsId = log.Node("clsid");
    Module->OnGotJknCustomerId = log.Node("customer");
    Module->OnPacketUnreachable = log.Node("unreachable");
    Module->OnSuccessfulReset = log.Node("reset");
    Module->FilteringReceivedJknPacket(RxdPacket({0x01, 0x05, 0x02, 19, 0x07}));
    Module->FilteringReceivedJknPacket(RxdPacket({0x01, 0x05, 0x02, 20, 0x80}));
    Module->FilteringReceivedJknPacket(RxdPacket({0x01, 0x05, 0x02, 21, 0x33}));
    Module->FilteringReceivedJknPacket(RxdPacket({0x01, 0x05, 0x04, 33, 0x02, 0x10, 0x84}));
    Module->FilteringReceivedJknPacket(RxdPacket({0x01, 0x05, 0x01, 31}));
    EXPECT_EQ(Module->pr_GotJknProtocolVersion(), 0x07);
    EXPECT_EQ(Module->pr_GotJknClsId(), 0x80);
    EXPECT_EQ(Module->pr_GotJknCustomerId(), 0x33);
    EXPECT_EQ(Module->pr_UnreachableInfo(0), 0x02);
    EXPECT_EQ(Module->pr_UnreachableInfo(1), 0x10);
    EXPECT_EQ(Module->pr_UnreachableInfo(2), 0x84);
    EXPECT_EQ(log.Lines,
              (std::vector<std::string>{TEventLog::Expect("version", Module.get(), 1, 5),
                                        TEventLog::Expect("clsid", Module.get(), 1, 5),
                                        TEventLog::Expect("customer", Module.get(), 1, 5),
                                        TEventLog::Expect("unreachable", Module.get(), 1, 5),
                                        TEventLog::Expect("reset", Module.get(), 1, 5)}));
}

TEST_F(JKNetNode, ReplyWithoutItsEventReachesOnUnfilteredRxdJknPacket) {
    std::vector<Bytes> unfiltered;
    Module->OnUnfilteredRxdJknPacket = [&](XVclUtil::TComponent* sender, const TJknRxdPacket& p) {
        EXPECT_EQ(sender, Module.get());
        unfiltered.push_back(
            Bytes{p.JknSegId, p.JknNodeId, p.BytesOfDatas, p.Datas[0], p.Datas[1]});
    };
    Module->FilteringReceivedJknPacket(RxdPacket({0x01, 0x05, 0x02, 20, 0x80}));
    Module->FilteringReceivedJknPacket(RxdPacket({0x01, 0x05, 0x02, 0x55, 0x01}));
    ASSERT_EQ(unfiltered.size(), 2u);
    EXPECT_EQ(unfiltered[0], (Bytes{0x01, 0x05, 0x02, 20, 0x80}));
    EXPECT_EQ(Module->pr_GotJknClsId(), 0x80); // stored even though nobody listened
    EXPECT_EQ(unfiltered[1][3], 0x55);
}

TEST_F(JKNetNode, RequestToResetClearsYoutSoTheResetReplySendsNothing) {
    Module->pw_Yout(0x03);
    Module->RequestToReset();
    EXPECT_EQ(Gateway.Sent.back(), (Bytes{0x01, 0x05, 0x01, 0x0F}));
    EXPECT_EQ(Module->pr_Yout(), 0);
    const std::size_t before = Gateway.Sent.size();
    Module->FilteringReceivedJknPacket(RxdPacket({0x01, 0x05, 0x01, 31}));
    EXPECT_EQ(Gateway.Sent.size(), before);
}

TEST_F(JKNetNode, ResetTheModuleDidByItselfRestoresTheOutputs) {
    int resets = 0;
    Module->OnSuccessfulReset = [&](XVclUtil::TComponent*, std::uint8_t, std::uint8_t) {
        ++resets;
    };
    Module->pw_Yout(0x09);
    Gateway.Sent.clear();
    Module->FilteringReceivedJknPacket(RxdPacket({0x01, 0x05, 0x01, 31}));
    ASSERT_EQ(Gateway.Sent.size(), 1u);
    EXPECT_EQ(Gateway.Sent[0], (Bytes{0x01, 0x05, 0x02, 0x84, 0x09}));
    EXPECT_EQ(resets, 1);
}

TEST(JKNetNodeAddress, RangeChecksOnSegmentAndNode) {
    TVrc4i4o module(nullptr);
    EXPECT_EQ(module.pr_JknClsId(), ejci_Vrc4i4o);
    EXPECT_EQ(module.pr_JknSegId(), 0x80);
    EXPECT_EQ(module.pr_JknNodeId(), 0x00);
    module.pw_JknSegId(0x80);
    module.pw_JknNodeId(0x7F);
    try {
        module.pw_JknSegId(0x81);
        FAIL() << "segment 0x81 accepted";
    } catch (const XVclUtil::EXGeneral& e) {
        EXPECT_EQ(e.Message, "Invalid value, the range must be 0x00~0x80 !!!");
    }
    try {
        module.pw_JknNodeId(0x80);
        FAIL() << "node 0x80 accepted";
    } catch (const XVclUtil::EXGeneral& e) {
        EXPECT_EQ(e.Message, "Invalid value, the range must be 0x00~0x7F !!!");
    }
    EXPECT_EQ(module.pr_JknSegId(), 0x80);
    EXPECT_EQ(module.pr_JknNodeId(), 0x7F);
}

TEST(JKNetNodeAddress, UnboundNodeSendsNothingAndReportsNothing) {
    TVrc4i4o module(nullptr);
    EXPECT_NO_THROW(module.pw_Yout(0x0F));
    EXPECT_NO_THROW(module.QueryJknClsId());
    EXPECT_EQ(module.pr_Yout(), 0x0F);
}

TEST(JKNetNodeLoaded, RegistersOnlyWhenBindToSegmentAndNodeWereAssigned) {
    TRecordingRnsm gateway;
    TVrc4i4o module(nullptr);
    module.pw_BindTo(&gateway);
    module.pw_JknSegId(0x02);
    module.Loaded();
    EXPECT_EQ(gateway.pr_TopologicEntry(0x02, 0x00), nullptr);
    module.pw_JknNodeId(0x10);
    module.Loaded();
    const _SJKNTOPOLOGICNODE* entry = gateway.pr_TopologicEntry(0x02, 0x10);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->Component, &module);
    EXPECT_EQ(entry->ClsId, ejci_Vrc4i4o);
    EXPECT_EQ(entry->Flags & 7u, 1u);
}

TEST(JKNetNodeLoaded, DuplicateAddressIsRaisedUnlessDesigning) {
    TRecordingRnsm gateway;
    TVrc4i4o first(nullptr, ejci_Vrc4i4o, &gateway, 0x02, 0x10);
    TVrc4i4o second(nullptr);
    second.pw_BindTo(&gateway);
    second.pw_JknSegId(0x02);
    second.pw_JknNodeId(0x10);
    EXPECT_THROW(second.Loaded(), XVclUtil::EXGeneral);
    second.Designing = true;
    EXPECT_NO_THROW(second.Loaded());
    EXPECT_EQ(gateway.pr_TopologicJknComponent(0x02, 0x10), &first);
}

TEST(JKNetNodeCopy, CopyingConstructorTakesStateAndCallbacksOfTheTemplate) {
    TRecordingRnsm gateway;
    TVrc4i4o templ(nullptr);
    int inputs = 0;
    XVclUtil::TComponent* lastSender = nullptr;
    templ.OnInputChanged = [&](XVclUtil::TComponent* sender, std::uint8_t, std::uint8_t) {
        ++inputs;
        lastSender = sender;
    };
    templ.FilteringReceivedJknPacket(RxdPacket({0x80, 0x00, 0x02, 20, 0x44}));
    templ.pw_Yout(0x06);

    TVrc4i4o copy(nullptr, ejci_Vrc4i4o, &gateway, 0x03, 0x21, &templ);
    EXPECT_EQ(copy.pr_JknSegId(), 0x03);
    EXPECT_EQ(copy.pr_JknNodeId(), 0x21);
    EXPECT_EQ(copy.pr_BindTo(), &gateway);
    EXPECT_EQ(copy.pr_GotJknClsId(), 0x44);
    EXPECT_EQ(copy.pr_Yout(), 0x06);
    EXPECT_EQ(gateway.pr_TopologicJknComponent(0x03, 0x21), &copy);
    copy.FilteringReceivedJknPacket(RxdPacket({0x03, 0x21, 0x02, 0x81, 0x01}));
    EXPECT_EQ(inputs, 1);
    EXPECT_EQ(lastSender, &copy);
}

TEST(JKNetNodeCopy, TemplateOfAnotherClassIdIsRefused) {
    TRecordingRnsm gateway;
    TVrc4i4o templ(nullptr);
    try {
        TVrc4i4o copy(nullptr, static_cast<_EJknClsId>(0x81), &gateway, 0x03, 0x21, &templ);
        FAIL() << "copy from a template of another class id";
    } catch (const XVclUtil::EXGeneral& e) {
        EXPECT_EQ(e.Message, "\nErr: JKNet 元件的類別不同,故無法進行拷貝式的建構 !!!\n");
    }
    EXPECT_EQ(gateway.pr_TopologicEntry(0x03, 0x21), nullptr);
}

TEST(JKNetNodeLifetime, DestroyedNodeLeavesNoEntryBehind) {
    TRecordingRnsm gateway;
    auto module = std::make_unique<TVrc4i4o>(nullptr, ejci_Vrc4i4o, &gateway, 0x04, 0x02);
    EXPECT_EQ(gateway.pr_TopologicClsId(0x04, 0x02), ejci_Vrc4i4o);
    module.reset();
    EXPECT_EQ(gateway.pr_TopologicJknComponent(0x04, 0x02), nullptr);
    EXPECT_EQ(gateway.pr_TopologicClsId(0x04, 0x02), ejci_None);
    // The address can be taken again and packets for it reach the gateway itself.
    TVrc4i4o again(nullptr, ejci_Vrc4i4o, &gateway, 0x04, 0x02);
    EXPECT_EQ(gateway.pr_TopologicJknComponent(0x04, 0x02), &again);
}

TEST(JKNetNodeLifetime, NodeOutlivingItsTopologyStopsSending) {
    auto gateway = std::make_unique<TRecordingRnsm>();
    TVrc4i4o module(nullptr, ejci_Vrc4i4o, gateway.get(), 0x04, 0x02);
    gateway.reset();
    EXPECT_EQ(module.pr_BindTo(), nullptr);
    EXPECT_NO_THROW(module.pw_Yout(1));
}
