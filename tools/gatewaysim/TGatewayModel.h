#pragma once
// The behaviour of a VRC232 gateway and the 4-in/4-out modules behind it, without any I/O: a host
// line goes in, the lines the gateway answers come out. Holds registers R0..R9, RE and RF, the
// simulated modules, and the faults to inject.

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace GatewaySim {

struct TSimModule {
    std::uint8_t Segment = 0x80;
    std::uint8_t Node = 0x01;
    std::uint8_t Outputs = 0; // bits 0..3, as last written by the host
    std::uint8_t Inputs = 0;  // bits 0..3
    std::uint8_t ProtocolVersion = 0x01;
    std::uint8_t ClassId = 0x80;
    std::uint8_t CustomerId = 0x00;
    bool Silent = false; // takes packets but never answers
};

struct TGatewaySimOptions {
    // Power-on register values (index 0..15: R0..R9, RA..RF).
    std::uint8_t Registers[16] = {0x00, 0x00, 0x00, 0x01, 0x02, 0x03, 0x04, 0x10,
                                  0x00, 0x10, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
    std::vector<TSimModule> Modules;
    // Report a change of the gateway's own inputs (R1) as an unsolicited register reply.
    bool ReportGatewayInputChanges = true;
};

class TGatewayModel {
public:
    explicit TGatewayModel(TGatewaySimOptions options = {});

    // One line from the host, with or without its line end. Returns the reply lines, each
    // ending in carriage return and line feed.
    std::vector<std::string> HandleHostLine(std::string_view line);

    // Scenario steps; each returns the lines the gateway sends because of it.
    std::vector<std::string> SetModuleInputs(std::uint8_t segment, std::uint8_t node,
                                             std::uint8_t inputs);
    std::vector<std::string> SetGatewayInputs(std::uint8_t inputs);
    // The gateway resets by itself (its watchdog): outputs off, "*RF=00" reported.
    std::vector<std::string> WatchdogReset();

    // Faults: the next count queries of a register get no reply (count < 0: none ever again).
    void DropReplies(char reg, int count);
    void SetModuleSilent(std::uint8_t segment, std::uint8_t node, bool silent);
    bool AddModule(const TSimModule& module);

    std::uint8_t Register(char reg) const;
    const TSimModule* Module(std::uint8_t segment, std::uint8_t node) const;
    std::vector<TSimModule> Modules() const;
    // Host lines that were not understood (for tests and the log).
    int MalformedLines() const { return Malformed; }
    int ResetCount() const { return Resets; }

private:
    static int RegisterIndex(char reg);
    std::vector<std::string> Query(char reg);
    std::vector<std::string> Write(char reg, std::uint8_t value);
    std::vector<std::string> Packet(std::string_view hex);
    std::vector<std::string> ModuleCommand(TSimModule& module, const std::vector<std::uint8_t>& p);
    TSimModule* FindModule(std::uint8_t segment, std::uint8_t node);
    void PowerOn();

    TGatewaySimOptions Options;
    std::uint8_t Registers[16] = {};
    std::map<std::uint16_t, TSimModule> ModuleMap;
    std::map<char, int> Dropped;
    int Malformed = 0;
    int Resets = 0;
};

// Formats "*R<reg>=<two upper-case hex digits>\r\n".
std::string RegisterReplyLine(char reg, std::uint8_t value);
// Formats "@" + upper-case hex pairs + "\r\n".
std::string PacketLine(const std::vector<std::uint8_t>& bytes);

} // namespace GatewaySim
