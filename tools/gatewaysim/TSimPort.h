#pragma once
// The gateway's end of a serial line: a fresh pseudo-terminal pair whose other end the host
// opens by its path, or an existing serial device.

#include <string>

namespace GatewaySim {

class TSimPort {
public:
    TSimPort() = default;
    ~TSimPort();
    TSimPort(const TSimPort&) = delete;
    TSimPort& operator=(const TSimPort&) = delete;

    // Creates a pseudo-terminal pair. The host end is kept open and raw here too, so nothing
    // is echoed back and the line does not hang up between two host sessions. Returns false
    // with the reason in Error.
    bool CreatePty();
    // Opens a serial device raw at 38400 baud, 8N1. Returns false with the reason in Error.
    bool OpenDevice(const std::string& path);
    void Close();

    int Fd() const { return LineFd; }
    // The path the host opens (the pseudo-terminal's other end, or the device itself).
    const std::string& HostPath() const { return Host; }
    const std::string& Error() const { return LastError; }

private:
    bool Fail(const std::string& what);

    int LineFd = -1;
    int HostHoldFd = -1;
    std::string Host;
    std::string LastError;
};

} // namespace GatewaySim
