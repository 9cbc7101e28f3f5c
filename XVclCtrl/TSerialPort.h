#pragma once
// The serial port layer: one open port device and the driver operations the serial port
// component needs. The operations mirror the classic serial driver interface (queues, device
// control block, time-outs, event mask and comm-event wait, modem lines, purge) so the component
// and its monitor thread read the same on every platform. Each platform has its own source
// file: TSerialPort_Posix.cpp (termios) and TSerialPort_Win32.cpp.
//
// Threads: the owner calls everything except the comm-event wait, Read and WaitForAny on the main
// thread; the monitor thread calls those three plus ClearCommError. Write is called by one
// thread at a time (the component guarantees it).

#include "SerialPortRecords.h"
#include "TManualResetEvent.h"
#include "TWaitableTimer.h"

#include <cstdint>
#include <memory>
#include <string>

namespace XVclCtrl {

// Outcome of an operation that may stay outstanding.
enum class TPortResult { Done, Pending, Failed };

// Why a device could not be opened.
enum class TPortOpenFailure { None, NotFound, AccessDenied, Busy, Other };

enum class TPortEscape { SetDtr, ClrDtr, SetRts, ClrRts, SetBreak, ClrBreak };

class TSerialPort {
public:
    // Opens the device for reading and writing with exclusive access: a second open of the same
    // device, by this or another program, fails with AccessDenied. Null on failure, with the
    // reason and the platform's error number.
    static std::unique_ptr<TSerialPort> Open(const std::string& devicePath, bool writeThrough,
                                             TPortOpenFailure& failure, int& systemError);
    ~TSerialPort();
    TSerialPort(const TSerialPort&) = delete;
    TSerialPort& operator=(const TSerialPort&) = delete;

    // Closes the device; false when the platform reported an error (it is closed regardless).
    bool Close();
    bool IsOpen() const;
    const std::string& DevicePath() const;

    // Driver queue sizes where the platform has them (elsewhere they are remembered only).
    bool SetupComm(uint32_t inQueue, uint32_t outQueue);
    bool SetCommConfig(const TPortDcb& dcb);
    bool SetCommTimeouts(const TPortTimeouts& timeouts);
    // Events the comm-event wait reports. Changing the mask completes a pending wait with an
    // empty event mask.
    bool SetCommMask(uint32_t mask);
    bool EscapeCommFunction(TPortEscape function);
    bool PurgeComm(uint32_t flags);
    bool GetCommModemStatus(uint32_t& status);
    // Line errors since the last call (CE_...) and the bytes waiting in the input queue.
    bool ClearCommError(uint32_t& errors, uint32_t& inQueue);
    // Cancels the calling thread's outstanding operations.
    void CancelIo();

    // Writes all bytes or as many as the write time-out allows (written tells how many);
    // Failed when the device refused the write.
    TPortResult Write(const void* data, uint32_t bytes, uint32_t& written);
    // Starts a read of up to bytes; Done (got is set), Pending (ask ReadResult) or Failed.
    TPortResult Read(void* buffer, uint32_t bytes, uint32_t& got);
    TPortResult ReadResult(uint32_t& got);

    // Starts the comm-event wait: Done with the events that hold now, Pending, or Failed.
    TPortResult StartCommEventWait(uint32_t& eventMask);
    // Zero-time query of a pending comm-event wait.
    TPortResult CommEventWaitResult(uint32_t& eventMask);
    // Blocks until terminate is set, the pending comm-event wait may have completed (when
    // commWaitPending), a pending read may have completed (when readPending) or lineTimer has
    // expired (when it is not null).
    void WaitForAny(const TManualResetEvent& terminate, bool commWaitPending, bool readPending,
                    const TWaitableTimer* lineTimer);
    // True once the device has gone away (a USB adapter pulled out, the far end of a
    // pseudo-terminal closed): no further event will come from it.
    bool DeviceLost() const;

    struct TImpl;

private:
    explicit TSerialPort(std::unique_ptr<TImpl> impl);
    std::unique_ptr<TImpl> Impl;
};

} // namespace XVclCtrl
