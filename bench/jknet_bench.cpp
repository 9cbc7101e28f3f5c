// JKNet stack: decoding gateway lines, dispatching received packets to members, loading a full
// topology file, and a query's round trip through the gateway simulator on a pseudo-terminal.

#include "KrvCtrl/JKNetVrc232Lines.h"
#include "KrvCtrl/TJKNetViaVrc232.h"
#include "tools/gatewaysim/TGatewaySim.h"

#include "XVclUtil/TEventLoop.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

using namespace KrvCtrl;

namespace {

// A topology file declaring every node 0x00..0x7F of the given number of segments.
std::string WriteTopology(int segments) {
    const std::string path =
        "/tmp/jknet_bench_" + std::to_string(::getpid()) + "_" + std::to_string(segments) + ".ini";
    std::ofstream out(path, std::ios::binary);
    out << "[JknTopologic.Head]\r\nSignature=KRV\r\n";
    for (int s = 0; s < segments; ++s) {
        char section[32];
        std::snprintf(section, sizeof section, "[NetSegmentId_0x%02X]\r\n", 0x80 - s);
        out << section;
        for (int n = 0; n < 128; ++n) {
            char line[96];
            std::snprintf(line, sizeof line,
                          "Travel_%03d=Device( \"VRC_4i4o\" ) , NetNodeId( 0x%02X )\r\n", n, n);
            out << line;
        }
    }
    return path;
}

void BM_DecodePacketLine(benchmark::State& state) {
    const std::string line = "@0105021480\r\n";
    TJknRxdPacket p;
    for (auto _ : state) {
        benchmark::DoNotOptimize(DecodeVrc232PacketLine(line, p));
        benchmark::DoNotOptimize(p);
    }
}
BENCHMARK(BM_DecodePacketLine);

void BM_ParseRegisterReply(benchmark::State& state) {
    const std::string line = "*R1=0A\r\n";
    TVrc232RegisterReply r;
    for (auto _ : state) benchmark::DoNotOptimize(ParseVrc232RegisterReply(line, r));
}
BENCHMARK(BM_ParseRegisterReply);

// A received input report, from the serial handler to the module's OnInputChanged.
void BM_DispatchInputReport(benchmark::State& state) {
    const std::string file = WriteTopology(1);
    TVrc4i4o templ(nullptr);
    long changes = 0;
    templ.OnInputChanged = [&](XVclUtil::TComponent*, std::uint8_t, std::uint8_t) { ++changes; };
    TJKNetViaVrc232 gateway(nullptr);
    gateway.pw_DefHandler_Vrc4i4o(&templ);
    gateway.pw_FileName(file);
    gateway.LoadAndChkTopologicIniAndAssignDefaultJknComponentToJknTopologic();
    std::string line = "@8045028105\r\n";
    for (auto _ : state)
        gateway.OnPcUartRxdDatas(nullptr, static_cast<int>(line.size()), line.data());
    state.counters["changes"] = static_cast<double>(changes);
    std::filesystem::remove(file);
}
BENCHMARK(BM_DispatchInputReport);

// Loading a topology of range(0) full segments (128 modules each) and creating its modules.
void BM_LoadTopology(benchmark::State& state) {
    const std::string file = WriteTopology(static_cast<int>(state.range(0)));
    TVrc4i4o templ(nullptr);
    for (auto _ : state) {
        TJKNetViaVrc232 gateway(nullptr);
        gateway.pw_DefHandler_Vrc4i4o(&templ);
        gateway.pw_FileName(file);
        gateway.LoadAndChkTopologicIniAndAssignDefaultJknComponentToJknTopologic();
        state.PauseTiming();
        gateway.FreeJknTopologic();
        state.ResumeTiming();
    }
    state.counters["modules"] = static_cast<double>(state.range(0) * 128);
    std::filesystem::remove(file);
}
BENCHMARK(BM_LoadTopology)->Arg(1)->Arg(129)->Unit(benchmark::kMillisecond);

// A module query and its reply through the serial port, the simulator and back to the event.
void BM_QueryRoundTrip(benchmark::State& state) {
    GatewaySim::TGatewaySimOptions options;
    options.Modules.push_back(GatewaySim::TSimModule{0x80, 0x01});
    GatewaySim::TGatewaySim sim(options);
    if (!sim.StartOnPty()) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    const std::string file = WriteTopology(0) + ".one";
    std::ofstream(file, std::ios::binary)
        << "[JknTopologic.Head]\r\nSignature=KRV\r\n[NetSegmentId_0x80]\r\n"
           "Travel_000=Device( \"VRC_4i4o\" ) , NetNodeId( 0x01 )\r\n";
    TVrc4i4o templ(nullptr);
    TJKNetViaVrc232 gateway(nullptr);
    bool connected = false;
    gateway.OnConnectOK = [&](XVclUtil::TComponent*) { connected = true; };
    gateway.OnConnectFail = [](XVclUtil::TComponent*) {};
    gateway.OnUartTxdFail = [](XVclUtil::TComponent*) {};
    gateway.pw_DefHandler_Vrc4i4o(&templ);
    gateway.pw_FileName(file);
    gateway.pw_UartDevicePath(sim.HostPath());
    gateway.Connect();
    XVclUtil::TEventLoop& loop = XVclUtil::TEventLoop::Main();
    loop.RunUntil([&] { return connected; }, 3000);
    if (!connected) {
        state.SkipWithError("no handshake");
        return;
    }
    TVrc4i4o* module = gateway.pr_Vrc4i4o(0x80, 0x01);
    long replies = 0;
    module->OnGotJknClsId = [&](XVclUtil::TComponent*, std::uint8_t, std::uint8_t) { ++replies; };
    for (auto _ : state) {
        const long before = replies;
        module->QueryJknClsId();
        while (replies == before) loop.ProcessEvents(1000);
    }
    gateway.Disconnect();
    sim.Stop();
    std::filesystem::remove(file);
}
BENCHMARK(BM_QueryRoundTrip)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
