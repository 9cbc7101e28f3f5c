#pragma once
// Enumerations of the serial port component's published properties. Values are numbered from 0
// in the order given; a form description stores them by these numbers.

namespace XVclCtrl {

enum TUartParityBit { upb_None, upb_Odd, upb_Even };

enum TUartStopBits { usb_1bit, usb_2bits };

enum TFlowCtrlStyle { fcs_None, fcs_Hardware };

enum TFlowCtrlHwRxd { fchr_None, fchr_RTS, fchr_DTR };

enum TFlowCtrlHwTxd { fcht_None, fcht_CTS, fcht_DSR, fcht_DSR_CTS };

enum TSysUartWriteStyle { suws_WriteViaQueue, suws_WriteThrough };

enum TRxdFilter { rfs_None, rfs_ByDelimiterChar, rfs_ByBytesOfPacket };

} // namespace XVclCtrl
