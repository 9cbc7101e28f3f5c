#pragma once
// Codes exchanged between the serial port layer, the monitor thread and the component. They
// keep the values of the classic serial driver interface so that event masks, line-error flags
// and modem status words read the same on every platform.

#include <cstdint>

namespace XVclCtrl {

// Comm events (event mask of the comm-event wait).
constexpr uint32_t EV_RXCHAR = 0x0001;  // a character was received
constexpr uint32_t EV_TXEMPTY = 0x0004; // the transmit queue became empty
constexpr uint32_t EV_CTS = 0x0008;     // CTS changed
constexpr uint32_t EV_DSR = 0x0010;     // DSR changed
constexpr uint32_t EV_RLSD = 0x0020;    // carrier detect changed
constexpr uint32_t EV_ERR = 0x0080;     // a line error occurred
constexpr uint32_t EV_RING = 0x0100;    // ring indicator changed

constexpr uint32_t EV_MODEM_LINES = EV_CTS | EV_DSR | EV_RLSD | EV_RING;

// Line-error flags (reported by the error-state query).
constexpr uint32_t CE_RXOVER = 0x0001;   // input queue overflow
constexpr uint32_t CE_OVERRUN = 0x0002;  // character buffer overrun
constexpr uint32_t CE_RXPARITY = 0x0004; // parity error
constexpr uint32_t CE_FRAME = 0x0008;    // framing error
constexpr uint32_t CE_BREAK = 0x0010;    // break condition
constexpr uint32_t CE_TXFULL = 0x0100;   // output queue full

// Modem status word.
constexpr uint32_t MS_CTS_ON = 0x0010;
constexpr uint32_t MS_DSR_ON = 0x0020;
constexpr uint32_t MS_RING_ON = 0x0040;
constexpr uint32_t MS_RLSD_ON = 0x0080;

// Purge flags.
constexpr uint32_t PURGE_TXABORT = 0x0001;
constexpr uint32_t PURGE_RXABORT = 0x0002;
constexpr uint32_t PURGE_TXCLEAR = 0x0004;
constexpr uint32_t PURGE_RXCLEAR = 0x0008;

} // namespace XVclCtrl
