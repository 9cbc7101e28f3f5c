// The simulator on a real pseudo-terminal with the gateway component on the other end.

#include "tools/gatewaysim/TGatewaySim.h"

#include "KrvCtrl/TJKNetViaVrc232.h"
#include "XVclCtrl/support/EventPump.h"
#include "XVclUtil/EXGeneral.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <memory>
#include <poll.h>
#include <unistd.h>

using namespace KrvCtrl;
using GatewaySim::TGatewaySim;
using GatewaySim::TGatewaySimOptions;
using GatewaySim::TSimModule;
using TestSupport::PumpFor;
using TestSupport::PumpUntil;

namespace {

TGatewaySimOptions ThreeModules() {
    TGatewaySimOptions o;
    o.Modules.push_back(TSimModule{0x80, 0x01});
    o.Modules.push_back(TSimModule{0x02, 0x10});
    o.Modules.push_back(TSimModule{0x02, 0x11});
    return o;
}

const char* const TopologyText =
    "[JknTopologic.Head]\r\nSignature=KRV\r\n"
    "[NetSegmentId_0x80]\r\nTravel_000=Device( \"VRC_4i4o\" ) , NetNodeId( 0x01 )\r\n"
    "[NetSegmentId_0x02]\r\nTravel_000=Device( \"VRC_4i4o\" ) , NetNodeId( 0x10 )\r\n"
    "Travel_001=Device( \"VRC_4i4o\" ) , NetNodeId( 0x11 )\r\n"
    "Travel_002=Device( \"VRC_4i4o\" ) , NetNodeId( 0x12 )\r\n";

class GatewaySimLink : public ::testing::Test {
protected:
    GatewaySimLink() : Sim(ThreeModules()) {
        char tmpl[] = "/tmp/gatewaysim-XXXXXX";
        Dir = mkdtemp(tmpl);
        std::ofstream(Dir + "/topo.ini", std::ios::binary) << TopologyText;
        Gateway = std::make_unique<TJKNetViaVrc232>(nullptr);
        Gateway->SetName("JKNetViaVrc2321");
        Gateway->pw_FileName(Dir + "/topo.ini");
        Gateway->pw_DefHandler_Vrc4i4o(&Template);
        Gateway->OnConnectOK = [this](XVclUtil::TComponent*) { ++ConnectOK; };
        Gateway->OnConnectFail = [this](XVclUtil::TComponent*) { ++ConnectFail; };
        Gateway->OnUartTxdFail = [this](XVclUtil::TComponent*) { ++TxdFail; };
        Template.OnInputChanged = [this](XVclUtil::TComponent* s, std::uint8_t seg,
                                         std::uint8_t node) {
            auto* module = static_cast<TVrc4i4o*>(s);
            Inputs.push_back((seg << 16) | (node << 8) | module->pr_Xin());
        };
    }
    ~GatewaySimLink() override {
        Gateway.reset();
        Sim.Stop();
        std::filesystem::remove_all(Dir);
    }

    void StartSim() {
        ASSERT_TRUE(Sim.StartOnPty()) << Sim.Error();
        Gateway->pw_UartDevicePath(Sim.HostPath());
    }
    void Connect() {
        StartSim();
        Gateway->Connect();
        ASSERT_TRUE(PumpUntil([&] { return ConnectOK + ConnectFail > 0; }, 4000));
        ASSERT_EQ(ConnectOK, 1);
    }

    std::string Dir;
    TGatewaySim Sim;
    TVrc4i4o Template{nullptr};
    std::unique_ptr<TJKNetViaVrc232> Gateway;
    int ConnectOK = 0, ConnectFail = 0, TxdFail = 0;
    std::vector<int> Inputs;
};

} // namespace

TEST_F(GatewaySimLink, HandshakeReadsTheSimulatedRegisters) {
    Connect();
    EXPECT_EQ(Gateway->pr_R7(), 0x10);
    EXPECT_EQ(Gateway->pr_R9(), 0x10);
    EXPECT_EQ(Sim.HostLines().front(), " ");
    EXPECT_EQ(Sim.HostLines().size(), 10u);
    EXPECT_EQ(Sim.MalformedLines(), 0);
}

TEST_F(GatewaySimLink, OutputsReachTheModulesAndInputsComeBack) {
    Connect();
    TVrc4i4o* module = Gateway->pr_Vrc4i4o(0x02, 0x10);
    module->pw_BitOfY(1, true);
    module->pw_BitOfY(3, true);
    ASSERT_TRUE(PumpUntil([&] { return Sim.ModuleOutputs(0x02, 0x10) == 0x0A; }));
    module->pw_BitOfY(1, false);
    ASSERT_TRUE(PumpUntil([&] { return Sim.ModuleOutputs(0x02, 0x10) == 0x08; }));
    EXPECT_EQ(Sim.ModuleOutputs(0x02, 0x11), 0x00);

    Sim.SetModuleInputs(0x02, 0x11, 0x05);
    Sim.SetModuleInputs(0x80, 0x01, 0x0F);
    ASSERT_TRUE(PumpUntil([&] { return Inputs.size() == 2; }));
    EXPECT_EQ(Inputs[0], 0x021105);
    EXPECT_EQ(Inputs[1], 0x80010F);
    EXPECT_TRUE(Gateway->pr_Vrc4i4o(0x02, 0x11)->pr_BitOfX(2));
}

TEST_F(GatewaySimLink, QueriesGetTheModulesReplies) {
    Connect();
    int clsIds = 0, versions = 0;
    TVrc4i4o* module = Gateway->pr_Vrc4i4o(0x80, 0x01);
    module->OnGotJknClsId = [&](XVclUtil::TComponent*, std::uint8_t, std::uint8_t) { ++clsIds; };
    module->OnGotJknProtocolVersion = [&](XVclUtil::TComponent*, std::uint8_t, std::uint8_t) {
        ++versions;
    };
    module->QueryJknClsId();
    module->QueryJknProtocolVersion();
    ASSERT_TRUE(PumpUntil([&] { return clsIds == 1 && versions == 1; }));
    EXPECT_EQ(module->pr_GotJknClsId(), 0x80);
    EXPECT_EQ(module->pr_GotJknProtocolVersion(), 0x01);
}

TEST_F(GatewaySimLink, ModuleMissingOnTheNetworkIsReportedUnreachable) {
    Connect();
    TVrc4i4o* declared = Gateway->pr_Vrc4i4o(0x02, 0x12); // in the file, not on the network
    int unreachable = 0;
    declared->OnPacketUnreachable = [&](XVclUtil::TComponent*, std::uint8_t, std::uint8_t) {
        ++unreachable;
    };
    declared->QueryJknClsId();
    ASSERT_TRUE(PumpUntil([&] { return unreachable == 1; }));
    EXPECT_EQ(declared->pr_UnreachableInfo(0), 0x02);
    EXPECT_EQ(declared->pr_UnreachableInfo(1), 0x12);
    EXPECT_EQ(declared->pr_UnreachableInfo(2), 0x04);
}

TEST_F(GatewaySimLink, ModuleResetRestoresNothingWhenTheHostAskedForIt) {
    Connect();
    TVrc4i4o* module = Gateway->pr_Vrc4i4o(0x02, 0x10);
    int resets = 0;
    module->OnSuccessfulReset = [&](XVclUtil::TComponent*, std::uint8_t, std::uint8_t) {
        ++resets;
    };
    module->pw_Yout(0x03);
    ASSERT_TRUE(PumpUntil([&] { return Sim.ModuleOutputs(0x02, 0x10) == 0x03; }));
    module->RequestToReset();
    ASSERT_TRUE(PumpUntil([&] { return resets == 1; }));
    PumpFor(50);
    EXPECT_EQ(Sim.ModuleOutputs(0x02, 0x10), 0x00);
    EXPECT_EQ(module->pr_Yout(), 0x00);
}

TEST_F(GatewaySimLink, WatchdogResetOfTheGatewayRestoresItsOutputs) {
    int wdt = 0, ok = 0;
    Gateway->OnResetRnsm_WDT = [&](XVclUtil::TComponent*) { ++wdt; };
    Gateway->OnResetRnsm_OK = [&](XVclUtil::TComponent*) { ++ok; };
    Connect();
    Gateway->pw_Yout(0x06);
    ASSERT_TRUE(PumpUntil([&] { return Sim.Register('0') == 0x06; }));
    Sim.WatchdogReset();
    ASSERT_TRUE(PumpUntil([&] { return wdt == 1; }));
    ASSERT_TRUE(PumpUntil([&] { return Sim.Register('0') == 0x06; }));
    Gateway->ResetRnsm();
    ASSERT_TRUE(PumpUntil([&] { return ok == 1; }));
    EXPECT_EQ(Sim.Register('0'), 0x00);
    EXPECT_EQ(Sim.ResetCount(), 2);
    EXPECT_EQ(wdt, 1);
}

TEST_F(GatewaySimLink, GatewayInputsAndFlags) {
    int xin = 0, flags = 0;
    Gateway->OnReplyXin = [&](XVclUtil::TComponent*) { ++xin; };
    Gateway->OnReplyJknFlags = [&](XVclUtil::TComponent*) { ++flags; };
    Connect();
    Sim.SetGatewayInputs(0x0A);
    ASSERT_TRUE(PumpUntil([&] { return xin == 1; }));
    EXPECT_TRUE(Gateway->pr_X(1));
    EXPECT_TRUE(Gateway->pr_X(3));
    Gateway->QueryJknFlags();
    Gateway->pw_R9(0x33);
    ASSERT_TRUE(PumpUntil([&] { return flags == 1 && Sim.Register('9') == 0x33; }));
    EXPECT_EQ(Gateway->pr_R9(), 0x33);
}

TEST_F(GatewaySimLink, MissingR7ReplyFailsTheHandshake) {
    Sim.DropReplies('7', 1);
    StartSim();
    Gateway->Connect();
    ASSERT_TRUE(PumpUntil([&] { return ConnectFail == 1; }, 4000));
    EXPECT_EQ(ConnectOK, 0);
    // The next attempt gets every reply.
    Gateway->Connect();
    ASSERT_TRUE(PumpUntil([&] { return ConnectOK == 1; }, 4000));
}

TEST_F(GatewaySimLink, SplitAndMalformedLinesFromTheGateway) {
    Sim.SetSplitWrites(true);
    Connect();
    Sim.SendRaw("@021002810\r\n@0210028A0F\r\n@021002810f\r\n*R1=5\r\n*R1 05\r\n"
                "@02100381050000000000\r\n\r\n\xff\xfe\r\n");
    Sim.SetModuleInputs(0x02, 0x10, 0x09);
    ASSERT_TRUE(PumpUntil([&] { return Inputs.size() == 1; }));
    EXPECT_EQ(Inputs[0], 0x021009);
    EXPECT_TRUE(Gateway->pr_Connected());
}

TEST_F(GatewaySimLink, SilentModuleSimplyNeverAnswers) {
    Connect();
    Sim.SetModuleSilent(0x02, 0x11, true);
    int clsIds = 0;
    TVrc4i4o* module = Gateway->pr_Vrc4i4o(0x02, 0x11);
    module->OnGotJknClsId = [&](XVclUtil::TComponent*, std::uint8_t, std::uint8_t) { ++clsIds; };
    module->QueryJknClsId();
    PumpFor(200);
    EXPECT_EQ(clsIds, 0);
    EXPECT_EQ(Sim.HostLines().back(), ">02110104");
}

TEST(GatewaySimPort, RepliesOnTheWireAsTheHostSeesThem) {
    TGatewaySimOptions o;
    o.Modules.push_back(TSimModule{0x80, 0x01});
    TGatewaySim sim(o);
    ASSERT_TRUE(sim.StartOnPty()) << sim.Error();
    const int fd = open(sim.HostPath().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
    const std::string query = " \n ?R7\r\n>80010104\r\n";
    ASSERT_EQ(write(fd, query.data(), query.size()), static_cast<ssize_t>(query.size()));
    std::string got;
    char buf[64];
    for (int i = 0; i < 50 && got.size() < 21; ++i) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 100) > 0) {
            const ssize_t n = read(fd, buf, sizeof buf);
            if (n > 0) got.append(buf, static_cast<std::size_t>(n));
        }
    }
    EXPECT_EQ(got, "*R7=10\r\n@8001021480\r\n");
    close(fd);
    sim.Stop();
    sim.Stop(); // stopping twice is harmless
}
