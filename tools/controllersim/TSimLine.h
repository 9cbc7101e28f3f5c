#pragma once
// The controller's end of a serial line: a device opened raw at a given baud rate, or a fresh
// pseudo-terminal pair whose other end a PC-side program opens by its path.

#include <string>

namespace ControllerSim {

class TSimLine {
public:
    TSimLine() = default;
    ~TSimLine();
    TSimLine(TSimLine&& other) noexcept;
    TSimLine& operator=(TSimLine&& other) noexcept;
    TSimLine(const TSimLine&) = delete;
    TSimLine& operator=(const TSimLine&) = delete;

    // Opens a serial device (or a pseudo-terminal end) raw, 8N1, no handshake. Throws
    // XVclUtil::EXGeneral with the reason when it cannot; systemError, when given, receives
    // the errno of a failed open (0 when the open itself succeeded).
    static TSimLine OpenDevice(const std::string& path, unsigned baud = 115200,
                               int* systemError = nullptr);
    // Creates a pseudo-terminal pair; the controller keeps the master, PeerPath() names the
    // end for the PC. The peer end is held open and raw here too, so nothing is echoed back
    // and the line does not hang up between two PC sessions.
    static TSimLine CreatePty();

    int Fd() const { return LineFd; }
    const std::string& PeerPath() const { return Peer; }
    // Closes the line: a PC on the other end sees the controller disappear.
    void Close();

private:
    int LineFd = -1;
    int PeerHoldFd = -1;
    std::string Peer;
};

} // namespace ControllerSim
