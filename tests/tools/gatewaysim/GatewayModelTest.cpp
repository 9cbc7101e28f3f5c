// The simulated gateway's behaviour, line in, lines out.

#include "tools/gatewaysim/TGatewayModel.h"

#include <gtest/gtest.h>

using namespace GatewaySim;
using Lines = std::vector<std::string>;

namespace {

TGatewaySimOptions TwoModules() {
    TGatewaySimOptions o;
    o.Modules.push_back(TSimModule{0x80, 0x01});
    o.Modules.push_back(TSimModule{0x02, 0x10});
    return o;
}

} // namespace

TEST(GatewayModel, AnswersRegisterQueries) {
    TGatewayModel m(TwoModules());
    EXPECT_EQ(m.HandleHostLine(" ?R7\r\n"), Lines{"*R7=10\r\n"});
    EXPECT_EQ(m.HandleHostLine("?R9"), Lines{"*R9=10\r\n"});
    EXPECT_EQ(m.HandleHostLine(" ?RE\r"), Lines{"*RE=00\r\n"});
    EXPECT_EQ(m.HandleHostLine(" "), Lines{});
    EXPECT_EQ(m.HandleHostLine(" ?Rx\r\n"), Lines{});
    EXPECT_EQ(m.HandleHostLine(" ?re\r\n"), Lines{});
    EXPECT_EQ(m.MalformedLines(), 2);
}

TEST(GatewayModel, WritesAreSilentAndRFResets) {
    TGatewayModel m(TwoModules());
    EXPECT_EQ(m.HandleHostLine(" +R0=0F\r\n"), Lines{});
    EXPECT_EQ(m.Register('0'), 0x0F);
    EXPECT_EQ(m.HandleHostLine(" +R8=12\r\n"), Lines{});
    EXPECT_EQ(m.HandleHostLine(" ?R8\r\n"), Lines{"*R8=12\r\n"});
    EXPECT_EQ(m.HandleHostLine(" +R1=01\r\n"), Lines{}); // inputs are not writable
    EXPECT_EQ(m.Register('1'), 0x00);
    m.SetGatewayInputs(0x03);
    EXPECT_EQ(m.HandleHostLine(" +RF=00\r\n"), Lines{"*RF=00\r\n"});
    EXPECT_EQ(m.Register('0'), 0x00);
    EXPECT_EQ(m.Register('8'), 0x00);
    EXPECT_EQ(m.Register('1'), 0x03);
    EXPECT_EQ(m.ResetCount(), 1);
}

TEST(GatewayModel, ModulesAnswerQueriesAndResets) {
    TGatewayModel m(TwoModules());
    EXPECT_EQ(m.HandleHostLine(">02100104\r\n"), Lines{"@0210021480\r\n"});
    EXPECT_EQ(m.HandleHostLine(">02100103\r\n"), Lines{"@0210021301\r\n"});
    EXPECT_EQ(m.HandleHostLine(">02100105\r\n"), Lines{"@0210021500\r\n"});
    EXPECT_EQ(m.HandleHostLine(">021002840B\r\n"), Lines{});
    EXPECT_EQ(m.Module(0x02, 0x10)->Outputs, 0x0B);
    EXPECT_EQ(m.HandleHostLine(">0210010F\r\n"), Lines{"@0210011F\r\n"});
    EXPECT_EQ(m.Module(0x02, 0x10)->Outputs, 0x00);
}

TEST(GatewayModel, PacketForNobodyIsReportedUnreachable) {
    TGatewayModel m(TwoModules());
    EXPECT_EQ(m.HandleHostLine(">03200104\r\n"), Lines{"@0320042103200"
                                                       "4\r\n"});
}

TEST(GatewayModel, RefusesMalformedAndOversizedPackets) {
    TGatewayModel m(TwoModules());
    EXPECT_EQ(m.HandleHostLine(">0210010\r\n"), Lines{});    // half a pair
    EXPECT_EQ(m.HandleHostLine(">02100204\r\n"), Lines{});   // count 2, one byte
    EXPECT_EQ(m.HandleHostLine(">021000\r\n"), Lines{});     // too short
    EXPECT_EQ(m.HandleHostLine(">02100184\r\n"), Lines{});   // fine: no reply for outputs
    EXPECT_EQ(m.HandleHostLine(">0210028a0f\r\n"), Lines{}); // lower-case
    std::string big = ">021011";
    for (int i = 0; i < 17; ++i) big += "04";
    EXPECT_EQ(m.HandleHostLine(big), Lines{}); // 17 data bytes, R7 = 16
    EXPECT_EQ(m.MalformedLines(), 5);
}

TEST(GatewayModel, InputChangesAreReportedOnce) {
    TGatewayModel m(TwoModules());
    EXPECT_EQ(m.SetModuleInputs(0x80, 0x01, 0x0A), Lines{"@800102810A\r\n"});
    EXPECT_EQ(m.SetModuleInputs(0x80, 0x01, 0x0A), Lines{});
    EXPECT_EQ(m.SetModuleInputs(0x05, 0x05, 0x01), Lines{});
    EXPECT_EQ(m.SetGatewayInputs(0x05), Lines{"*R1=05\r\n"});
    EXPECT_EQ(m.SetGatewayInputs(0x05), Lines{});
}

TEST(GatewayModel, FaultsDropRepliesAndSilenceModules) {
    TGatewayModel m(TwoModules());
    m.DropReplies('7', 1);
    EXPECT_EQ(m.HandleHostLine(" ?R7"), Lines{});
    EXPECT_EQ(m.HandleHostLine(" ?R7"), Lines{"*R7=10\r\n"});
    m.DropReplies('7', -1);
    EXPECT_EQ(m.HandleHostLine(" ?R7"), Lines{});
    EXPECT_EQ(m.HandleHostLine(" ?R7"), Lines{});
    m.SetModuleSilent(0x02, 0x10, true);
    EXPECT_EQ(m.HandleHostLine(">02100104"), Lines{});
    EXPECT_EQ(m.SetModuleInputs(0x02, 0x10, 0x01), Lines{});
    EXPECT_EQ(m.WatchdogReset(), Lines{"*RF=00\r\n"});
}
