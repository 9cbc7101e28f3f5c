#pragma once
// A simulated device's end of a serial line: a serial device opened raw (8 data bits, no
// parity, one stop bit, no handshake) at a baud rate, or, on POSIX systems, a fresh
// pseudo-terminal pair whose other end a PC-side program opens by its path. One thread waits
// and reads; any thread may write (one at a time) and wake the waiting thread.
//
// On POSIX the line is a non-blocking descriptor waited for with poll() beside an eventfd; on
// Windows a COM port opened for overlapped I/O, whose wait is an overlapped read beside an event.

#include <cstddef>
#include <memory>
#include <stdexcept>
#include <string>

namespace SimLine {

// A line that cannot be opened. SystemError is the errno (POSIX) or GetLastError() (Windows)
// of the failed call, 0 when the system did not refuse anything.
class ESimLine : public std::runtime_error {
public:
    ESimLine(const std::string& message, int systemError)
        : std::runtime_error(message), Error(systemError) {}
    int SystemError() const { return Error; }

private:
    int Error;
};

enum class TLineWait {
    Readable, // Read returns bytes now
    TimedOut, // nothing yet (may come before the time-out is over: wait again)
    Woken,    // another thread called Wake
    HungUp,   // nobody on the far end, or the device is gone: wait a while before trying again
    Failed,   // the wait itself failed
};

class TSimLine {
public:
    TSimLine();
    ~TSimLine();
    TSimLine(TSimLine&& other) noexcept;
    TSimLine& operator=(TSimLine&& other) noexcept;
    TSimLine(const TSimLine&) = delete;
    TSimLine& operator=(const TSimLine&) = delete;

    // Opens a serial device raw at baud, 8N1, no handshake. On Windows "COMn" names
    // "\\.\COMn"; any other name is opened as it stands. Throws ESimLine with the reason.
    static TSimLine OpenDevice(const std::string& name, unsigned baud = 115200);
    // Creates a pseudo-terminal pair; the line is the master, PeerPath() names the end for the
    // PC. The peer end is held open and raw here too, so nothing is echoed back and the line
    // does not hang up between two PC sessions. Throws ESimLine with the reason (on Windows,
    // which has no pseudo-terminals, always).
    static TSimLine CreatePty(unsigned baud = 115200);
#ifndef _WIN32
    // The line's descriptor (non-blocking), for tests that talk to it directly.
    int Fd() const;
#endif

    bool IsOpen() const;
    // The name the PC opens: the pseudo-terminal's other end, or the device itself.
    const std::string& PeerPath() const;

    // Waits up to timeoutMs (negative: without end) for received bytes or a wake-up.
    TLineWait WaitReadable(int timeoutMs);
    // Ends the current or the next WaitReadable with Woken. Any thread.
    void Wake();
    // Up to size received bytes; 0 when none are there.
    std::size_t Read(void* buffer, std::size_t size);
    // Writes the bytes; while the line takes no more (nobody reads the far end) it waits up to
    // waitMs for room, then gives up. The bytes written, or -1 when the line failed first.
    long Write(const void* data, std::size_t size, int waitMs);
    // Closes the line: a PC on the other end sees the device disappear. No thread may be
    // waiting on it.
    void Close();

private:
    struct TImpl;
    std::unique_ptr<TImpl> Impl;
};

} // namespace SimLine
