#pragma once
// The two configuration records of an open port: the device control block (line settings) and
// the time-outs. Their fields follow the classic serial driver interface, so the component
// fills them the same way on every platform and the port layer maps them to the device.

#include <cstdint>

namespace XVclCtrl {

constexpr uint8_t NOPARITY = 0, ODDPARITY = 1, EVENPARITY = 2;
constexpr uint8_t ONESTOPBIT = 0, TWOSTOPBITS = 2;
constexpr uint8_t DTR_CONTROL_DISABLE = 0, DTR_CONTROL_ENABLE = 1, DTR_CONTROL_HANDSHAKE = 2;
constexpr uint8_t RTS_CONTROL_DISABLE = 0, RTS_CONTROL_ENABLE = 1, RTS_CONTROL_HANDSHAKE = 2;

struct TPortDcb {
    uint32_t DCBlength = 0;
    uint32_t BaudRate = 0;
    bool fBinary = false;
    bool fParity = false;      // check parity on input
    bool fOutxCtsFlow = false; // output paused while CTS is low
    bool fOutxDsrFlow = false; // output paused while DSR is low
    uint8_t fDtrControl = 0;   // DTR_CONTROL_...
    bool fDsrSensitivity = false;
    bool fOutX = false, fInX = false;
    bool fErrorChar = false; // replace bytes received with a parity error by ErrorChar
    bool fNull = false;
    uint8_t fRtsControl = 0; // RTS_CONTROL_...
    bool fAbortOnError = false;
    uint16_t XonLim = 0, XoffLim = 0;
    uint8_t ByteSize = 8;
    uint8_t Parity = NOPARITY;
    uint8_t StopBits = ONESTOPBIT;
    char XonChar = 0, XoffChar = 0, ErrorChar = 0, EofChar = 0, EvtChar = 0;
};

// Milliseconds; a total time-out is multiplier x bytes + constant, and 0 for both means none.
struct TPortTimeouts {
    uint32_t ReadIntervalTimeout = 0;
    uint32_t ReadTotalTimeoutMultiplier = 0;
    uint32_t ReadTotalTimeoutConstant = 0;
    uint32_t WriteTotalTimeoutMultiplier = 0;
    uint32_t WriteTotalTimeoutConstant = 0;
};

} // namespace XVclCtrl
