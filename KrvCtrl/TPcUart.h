#pragma once
// The serial port component as a form places it: TCustomUart with its properties published,
// so that a form description (or QObject::setProperty) sets them through their writers.
// It adds no data and no behaviour.

#include "XVclCtrl/TCustomUart.h"

namespace KrvCtrl {

class TPcUart : public XVclCtrl::TCustomUart {
    Q_OBJECT
    Q_PROPERTY(quint32 UartPortNumber READ UartPortNumber WRITE pw_UartPortNumber)
    Q_PROPERTY(quint32 UartBaud READ UartBaud WRITE pw_UartBaud)
    Q_PROPERTY(quint32 UartBitsPerByte READ UartBitsPerByte WRITE pw_UartBitsPerByte)
    Q_PROPERTY(XVclCtrl::TUartParityBit UartParityBit MEMBER UartParityBit)
    Q_PROPERTY(XVclCtrl::TUartStopBits UartStopBits MEMBER UartStopBits)
    Q_PROPERTY(XVclCtrl::TFlowCtrlStyle FlowCtrlStyle READ FlowCtrlStyle WRITE pw_FlowCtrlStyle)
    Q_PROPERTY(XVclCtrl::TFlowCtrlHwRxd FlowCtrlHwRxd READ FlowCtrlHwRxd WRITE pw_FlowCtrlHwRxd)
    Q_PROPERTY(XVclCtrl::TFlowCtrlHwTxd FlowCtrlHwTxd READ FlowCtrlHwTxd WRITE pw_FlowCtrlHwTxd)
    Q_PROPERTY(XVclCtrl::TSysUartWriteStyle SysUartWriteStyle MEMBER SysUartWriteStyle)
    Q_PROPERTY(quint32 SysUartTxdQueueSize READ SysUartTxdQueueSize WRITE pw_SysUartTxdQueueSize)
    Q_PROPERTY(quint32 SysUartRxdQueueSize READ SysUartRxdQueueSize WRITE pw_SysUartRxdQueueSize)
    Q_PROPERTY(quint32 SysUartRxdIntervalTimeout MEMBER SysUartRxdIntervalTimeout)
    Q_PROPERTY(
        XVclCtrl::TRxdFilter RxdFilter_Style READ pr_RxdFilter_Style WRITE pw_RxdFilter_Style)
    Q_PROPERTY(char RxdFilter_DelimiterChar READ pr_RxdFilter_DelimiterChar WRITE
                   pw_RxdFilter_DelimiterChar)
    Q_PROPERTY(quint32 RxdFilter_BytesOfPacket READ RxdFilter_BytesOfPacket WRITE
                   pw_RxdFilter_BytesOfPacket)

public:
    explicit TPcUart(QObject* owner = nullptr);
    ~TPcUart() override;

private:
    // Property access to the two filter fields the monitor thread also reads.
    XVclCtrl::TRxdFilter pr_RxdFilter_Style() const { return RxdFilter_Style.load(); }
    void pw_RxdFilter_Style(XVclCtrl::TRxdFilter value) { RxdFilter_Style = value; }
    char pr_RxdFilter_DelimiterChar() const { return RxdFilter_DelimiterChar.load(); }
    void pw_RxdFilter_DelimiterChar(char value) { RxdFilter_DelimiterChar = value; }
};

} // namespace KrvCtrl
