#include "tools/gatewaysim/TGatewayModel.h"

#include <cstdio>

namespace GatewaySim {

namespace {

constexpr std::uint8_t CmdQueryProtocolVersion = 3;
constexpr std::uint8_t CmdQueryClassId = 4;
constexpr std::uint8_t CmdQueryCustomerId = 5;
constexpr std::uint8_t CmdReset = 15;
constexpr std::uint8_t CmdOutputs = 0x84;
constexpr std::uint8_t ReplyOffset = 16;
constexpr std::uint8_t CmdUnreachable = 33;
constexpr std::uint8_t CmdInputReport = 0x81;

std::uint16_t Key(std::uint8_t segment, std::uint8_t node) {
    return static_cast<std::uint16_t>(segment << 8 | node);
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() &&
           (s.front() == ' ' || s.front() == '\t' || s.front() == '\r' || s.front() == '\n'))
        s.remove_prefix(1);
    while (!s.empty() &&
           (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n'))
        s.remove_suffix(1);
    return s;
}

} // namespace

std::string RegisterReplyLine(char reg, std::uint8_t value) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "*R%c=%02X\r\n", reg, value);
    return buf;
}

std::string PacketLine(const std::vector<std::uint8_t>& bytes) {
    std::string line = "@";
    char pair[3];
    for (std::uint8_t b : bytes) {
        std::snprintf(pair, sizeof pair, "%02X", b);
        line += pair;
    }
    return line + "\r\n";
}

TGatewayModel::TGatewayModel(TGatewaySimOptions options) : Options(std::move(options)) {
    for (const TSimModule& m : Options.Modules) AddModule(m);
    PowerOn();
}

void TGatewayModel::PowerOn() {
    for (int i = 0; i < 16; ++i) Registers[i] = Options.Registers[i];
}

bool TGatewayModel::AddModule(const TSimModule& module) {
    if (module.Segment > 0x80 || module.Node > 0x7F) return false;
    ModuleMap[Key(module.Segment, module.Node)] = module;
    return true;
}

int TGatewayModel::RegisterIndex(char reg) {
    const int v = HexValue(reg);
    return (reg >= 'a' && reg <= 'f') ? -1 : v;
}

std::uint8_t TGatewayModel::Register(char reg) const {
    const int i = RegisterIndex(reg);
    return i < 0 ? 0 : Registers[i];
}

TSimModule* TGatewayModel::FindModule(std::uint8_t segment, std::uint8_t node) {
    auto it = ModuleMap.find(Key(segment, node));
    return it == ModuleMap.end() ? nullptr : &it->second;
}

const TSimModule* TGatewayModel::Module(std::uint8_t segment, std::uint8_t node) const {
    auto it = ModuleMap.find(Key(segment, node));
    return it == ModuleMap.end() ? nullptr : &it->second;
}

std::vector<TSimModule> TGatewayModel::Modules() const {
    std::vector<TSimModule> all;
    for (const auto& [key, m] : ModuleMap) all.push_back(m);
    return all;
}

void TGatewayModel::DropReplies(char reg, int count) {
    Dropped[reg] = count;
}

void TGatewayModel::SetModuleSilent(std::uint8_t segment, std::uint8_t node, bool silent) {
    if (TSimModule* m = FindModule(segment, node)) m->Silent = silent;
}

std::vector<std::string> TGatewayModel::HandleHostLine(std::string_view line) {
    line = Trim(line);
    if (line.empty()) return {};
    if (line.size() == 3 && line[0] == '?' && line[1] == 'R') return Query(line[2]);
    if (line.size() == 6 && line[0] == '+' && line[1] == 'R' && line[3] == '=') {
        const int high = HexValue(line[4]), low = HexValue(line[5]);
        if (high >= 0 && low >= 0)
            return Write(line[2], static_cast<std::uint8_t>(high * 16 + low));
    }
    if (line[0] == '>') return Packet(line.substr(1));
    ++Malformed;
    return {};
}

std::vector<std::string> TGatewayModel::Query(char reg) {
    const int i = RegisterIndex(reg);
    if (i < 0) {
        ++Malformed;
        return {};
    }
    auto drop = Dropped.find(reg);
    if (drop != Dropped.end() && drop->second != 0) {
        if (drop->second > 0) --drop->second;
        return {};
    }
    return {RegisterReplyLine(reg, Registers[i])};
}

std::vector<std::string> TGatewayModel::Write(char reg, std::uint8_t value) {
    const int i = RegisterIndex(reg);
    if (i < 0 || reg == '1') { // R1 holds the gateway's inputs: not writable
        ++Malformed;
        return {};
    }
    if (reg == 'F') return WatchdogReset(); // the same reset, asked for by the host
    Registers[i] = (reg == '0') ? static_cast<std::uint8_t>(value & 0x0F) : value;
    return {};
}

// A reset brings the registers back to their power-on values; the inputs stay what they are.
std::vector<std::string> TGatewayModel::WatchdogReset() {
    ++Resets;
    const std::uint8_t inputs = Registers[1];
    PowerOn();
    Registers[1] = inputs;
    return {RegisterReplyLine('F', 0x00)};
}

std::vector<std::string> TGatewayModel::SetGatewayInputs(std::uint8_t inputs) {
    inputs &= 0x0F;
    if (Registers[1] == inputs) return {};
    Registers[1] = inputs;
    if (!Options.ReportGatewayInputChanges) return {};
    return {RegisterReplyLine('1', inputs)};
}

std::vector<std::string> TGatewayModel::SetModuleInputs(std::uint8_t segment, std::uint8_t node,
                                                        std::uint8_t inputs) {
    TSimModule* m = FindModule(segment, node);
    inputs &= 0x0F;
    if (m == nullptr || m->Inputs == inputs) return {};
    m->Inputs = inputs;
    if (m->Silent) return {};
    return {PacketLine({segment, node, 0x02, CmdInputReport, inputs})};
}

std::vector<std::string> TGatewayModel::Packet(std::string_view hex) {
    std::vector<std::uint8_t> bytes;
    if (hex.size() % 2 != 0) {
        ++Malformed;
        return {};
    }
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const int high = HexValue(hex[i]), low = HexValue(hex[i + 1]);
        if (high < 0 || low < 0 || (hex[i] >= 'a') || (hex[i + 1] >= 'a')) {
            ++Malformed;
            return {};
        }
        bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
    }
    // The gateway takes packets of 1 to R7 data bytes whose count matches their length.
    if (bytes.size() < 4 || bytes[2] == 0 || bytes[2] > Registers[7] ||
        bytes.size() != bytes[2] + 3u) {
        ++Malformed;
        return {};
    }
    TSimModule* m = FindModule(bytes[0], bytes[1]);
    if (m == nullptr)
        return {
            PacketLine({bytes[0], bytes[1], 0x04, CmdUnreachable, bytes[0], bytes[1], bytes[3]})};
    return ModuleCommand(*m, bytes);
}

std::vector<std::string> TGatewayModel::ModuleCommand(TSimModule& m,
                                                      const std::vector<std::uint8_t>& p) {
    const std::uint8_t code = p[3];
    std::vector<std::uint8_t> reply{m.Segment, m.Node, 0x02,
                                    static_cast<std::uint8_t>(code + ReplyOffset), 0};
    switch (code) {
    case CmdQueryProtocolVersion:
        reply[4] = m.ProtocolVersion;
        break;
    case CmdQueryClassId:
        reply[4] = m.ClassId;
        break;
    case CmdQueryCustomerId:
        reply[4] = m.CustomerId;
        break;
    case CmdReset:
        m.Outputs = 0;
        reply.pop_back();
        reply[2] = 0x01;
        break;
    case CmdOutputs:
        if (p.size() >= 5) m.Outputs = p[4] & 0x0F;
        return {};
    default:
        return {};
    }
    if (m.Silent) return {};
    return {PacketLine(reply)};
}

} // namespace GatewaySim
