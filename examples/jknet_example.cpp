// jknet-example: connects to a VRC232 gateway, loads a topology file, lists the I/O modules,
// toggles one output and prints every input change until the time is up.
//
//   jknet-example --port PORT --topology FILE [--toggle SS:NN:BIT] [--seconds N]
//
// PORT is a device path (/dev/ttyUSB0, /dev/pts/7) or COMn.

#include "KrvCtrl/TJKNetViaVrc232.h"
#include "KrvCtrl/TVrc4i4o.h"
#include "XVclCtrl/TComPortTable.h"

#include "XVclUtil/TEventLoop.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

using namespace KrvCtrl;

namespace {

struct TOptions {
    std::string Port;
    std::string Topology;
    int ToggleSeg = -1, ToggleNode = -1, ToggleBit = 0;
    int Seconds = 10;
};

const char* const Usage = "usage: jknet-example --port PORT --topology FILE "
                          "[--toggle SS:NN:BIT] [--seconds N]\n";

bool ParseArgs(int argc, char** argv, TOptions& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (i + 1 >= argc) return false;
        const char* value = argv[++i];
        if (arg == "--port") {
            o.Port = value;
        } else if (arg == "--topology") {
            o.Topology = value;
        } else if (arg == "--seconds") {
            o.Seconds = std::atoi(value);
        } else if (arg == "--toggle") {
            if (std::sscanf(value, "%x:%x:%d", &o.ToggleSeg, &o.ToggleNode, &o.ToggleBit) != 3)
                return false;
        } else {
            return false;
        }
    }
    return !o.Port.empty() && !o.Topology.empty();
}

std::string Bits(std::uint8_t value) {
    std::string s;
    for (int i = 3; i >= 0; --i) s += (value & (1 << i)) ? '1' : '0';
    return s;
}

// Every I/O module of the topology, in segment and node order.
std::vector<TVrc4i4o*> ListModules(const TJKNetViaVrc232& gateway) {
    std::vector<TVrc4i4o*> modules;
    for (unsigned seg = 0; seg <= JknMaxSegId; ++seg)
        for (unsigned node = 0; node <= JknMaxNodeId; ++node)
            if (gateway.pr_TopologicClsId(seg, node) == ejci_Vrc4i4o)
                modules.push_back(gateway.pr_Vrc4i4o(seg, node));
    return modules;
}

void ToggleOutput(const TJKNetViaVrc232& gateway, const TOptions& o) {
    std::vector<TVrc4i4o*> modules = ListModules(gateway);
    if (modules.empty()) return;
    TVrc4i4o* target = modules.front();
    if (o.ToggleSeg >= 0) target = gateway.pr_Vrc4i4o(o.ToggleSeg, o.ToggleNode);
    const bool now = !target->pr_BitOfY(o.ToggleBit);
    target->pw_BitOfY(o.ToggleBit, now);
    std::printf("module %02X:%02X output %d -> %s (Y=%s)\n", target->pr_JknSegId(),
                target->pr_JknNodeId(), o.ToggleBit, now ? "on" : "off",
                Bits(target->pr_Yout()).c_str());
}

} // namespace

int main(int argc, char** argv) {
    XVclUtil::TEventLoop& loop = XVclUtil::TEventLoop::Main();
    TOptions options;
    if (!ParseArgs(argc, argv, options)) {
        std::fputs(Usage, stderr);
        return 2;
    }
    const std::string device = XVclCtrl::TComPortTable::Global().Resolve(options.Port);

    // Modules listed in the topology file are copied from this template, callbacks included.
    TVrc4i4o moduleTemplate(nullptr);
    moduleTemplate.OnInputChanged = [](XVclUtil::TComponent* sender, std::uint8_t seg,
                                       std::uint8_t node) {
        auto* module = static_cast<TVrc4i4o*>(sender);
        std::printf("module %02X:%02X inputs X=%s (was %s)\n", seg, node,
                    Bits(module->pr_Xin()).c_str(), Bits(module->pr_Old_Xin()).c_str());
        std::fflush(stdout);
    };
    moduleTemplate.OnPacketUnreachable = [](XVclUtil::TComponent*, std::uint8_t seg,
                                            std::uint8_t node) {
        std::printf("module %02X:%02X is not on the network\n", seg, node);
    };

    TJKNetViaVrc232 gateway(nullptr);
    gateway.SetName("JKNetViaVrc2321");
    gateway.pw_UartDevicePath(device);
    gateway.pw_FileName(options.Topology);
    gateway.pw_DefHandler_Vrc4i4o(&moduleTemplate);
    int exitCode = 0;
    gateway.OnConnectOK = [&](XVclUtil::TComponent*) {
        std::printf("connected to the gateway on %s (R7=%02X R9=%02X X=%s)\n", device.c_str(),
                    gateway.pr_R7(), gateway.pr_R9(), Bits(gateway.pr_Xin()).c_str());
        for (TVrc4i4o* m : ListModules(gateway))
            std::printf("module %02X:%02X VRC_4i4o%s\n", m->pr_JknSegId(), m->pr_JknNodeId(),
                        m->Owner() == &gateway ? " (from the topology file)" : "");
        ToggleOutput(gateway, options);
        std::fflush(stdout);
    };
    gateway.OnConnectFail = [&](XVclUtil::TComponent*) {
        std::fprintf(stderr, "no answer from a gateway on %s\n", device.c_str());
        exitCode = 1;
        loop.Exit(1);
    };
    gateway.OnUartTxdFail = [](XVclUtil::TComponent*) {
        std::fprintf(stderr, "sending to the gateway failed\n");
    };
    gateway.OnResetRnsm_WDT = [](XVclUtil::TComponent*) {
        std::printf("the gateway reset by itself\n");
    };
    gateway.OnLinkLost = [&](XVclUtil::TComponent*) {
        std::fprintf(stderr, "the gateway on %s went away\n", device.c_str());
        exitCode = 1;
        loop.Exit(exitCode);
    };

    try {
        gateway.Connect();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    const std::unique_ptr<XVclUtil::TTimer> end = loop.NewTimer([&] {
        if (gateway.pr_Connected()) {
            std::printf("done\n");
        } else {
            std::fprintf(stderr, "the gateway on %s is not connected\n", device.c_str());
            exitCode = 1;
        }
        loop.Exit(exitCode);
    });
    end->Start(options.Seconds * 1000);
    loop.Exec();
    gateway.Disconnect();
    return exitCode;
}
