#pragma once
// Enumerations of the serial port component's published properties. Values are numbered from 0
// in the order given; a form description stores them by these numbers.

#include <QObject>

namespace XVclCtrl {
Q_NAMESPACE

enum TUartParityBit { upb_None, upb_Odd, upb_Even };
Q_ENUM_NS(TUartParityBit)

enum TUartStopBits { usb_1bit, usb_2bits };
Q_ENUM_NS(TUartStopBits)

enum TFlowCtrlStyle { fcs_None, fcs_Hardware };
Q_ENUM_NS(TFlowCtrlStyle)

enum TFlowCtrlHwRxd { fchr_None, fchr_RTS, fchr_DTR };
Q_ENUM_NS(TFlowCtrlHwRxd)

enum TFlowCtrlHwTxd { fcht_None, fcht_CTS, fcht_DSR, fcht_DSR_CTS };
Q_ENUM_NS(TFlowCtrlHwTxd)

enum TSysUartWriteStyle { suws_WriteViaQueue, suws_WriteThrough };
Q_ENUM_NS(TSysUartWriteStyle)

enum TRxdFilter { rfs_None, rfs_ByDelimiterChar, rfs_ByBytesOfPacket };
Q_ENUM_NS(TRxdFilter)

} // namespace XVclCtrl
