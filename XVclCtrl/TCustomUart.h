#pragma once
// The serial port component: one serial port with its line settings, driver queues, time-outs,
// a receive filter that cuts the incoming byte stream into packets, and text-file sending.
// Open starts a port monitor thread that waits on the port; received data, line errors,
// modem-line changes and transmitter-empty notices reach the owner as events that always run on
// the thread the component lives on (the main thread), while the monitor thread waits for them.
//
// Properties with a setter rule have a reader named after the property and a writer pw_...;
// the others are plain fields. Every property, operation and event handler belongs to the main
// thread.

#include "SerialPortRecords.h"
#include "TEventProperty.h"
#include "UartEnums.h"
#include "XVclUtil/PrintfFormat.h"
#include "XVclUtil/TComponent.h"

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace XVclCtrl {

class TCommMonitorThread;
class TSerialPort;

using XVclUtil::TComponent;
using TNotifyEvent = TEventProperty<void(TComponent* Sender)>;
// Datas holds exactly Bytes bytes (no terminator) and stays valid until the next delivery.
using TRxdDatasEvent = TEventProperty<void(TComponent* Sender, int Bytes, void* Datas)>;

// The component's Name captions its error boxes.
class TCustomUart : public TComponent {
public:
    explicit TCustomUart(TComponent* owner = nullptr);
    ~TCustomUart() override;

    // ---- Published properties, in publishing order ----
    // COM port number 1..16; resolved to a device through the COM port table at Open.
    uint32_t UartPortNumber() const { return FUartPortNumber; }
    void pw_UartPortNumber(uint32_t value);
    // 300..921600.
    uint32_t UartBaud() const { return FUartBaud; }
    void pw_UartBaud(uint32_t value);
    // 7..8.
    uint32_t UartBitsPerByte() const { return FUartBitsPerByte; }
    void pw_UartBitsPerByte(uint32_t value);
    TUartParityBit UartParityBit = upb_None;
    TUartStopBits UartStopBits = usb_1bit;
    TFlowCtrlStyle FlowCtrlStyle() const { return FFlowCtrlStyle; }
    void pw_FlowCtrlStyle(TFlowCtrlStyle value);
    TFlowCtrlHwRxd FlowCtrlHwRxd() const { return FFlowCtrlHwRxd; }
    void pw_FlowCtrlHwRxd(TFlowCtrlHwRxd value);
    TFlowCtrlHwTxd FlowCtrlHwTxd() const { return FFlowCtrlHwTxd; }
    void pw_FlowCtrlHwTxd(TFlowCtrlHwTxd value);
    TSysUartWriteStyle SysUartWriteStyle = suws_WriteViaQueue;
    uint32_t SysUartTxdQueueSize() const { return FSysUartTxdQueueSize; }
    void pw_SysUartTxdQueueSize(uint32_t value);
    uint32_t SysUartRxdQueueSize() const { return FSysUartRxdQueueSize; }
    void pw_SysUartRxdQueueSize(uint32_t value);
    uint32_t SysUartRxdIntervalTimeout = 3; // milliseconds between two received bytes
    // The monitor thread reads these two while the port is open.
    std::atomic<TRxdFilter> RxdFilter_Style{rfs_None};
    std::atomic<char> RxdFilter_DelimiterChar{'\n'};
    uint32_t RxdFilter_BytesOfPacket() const { return FRxdFilter_BytesOfPacket.load(); }
    void pw_RxdFilter_BytesOfPacket(uint32_t value);

    // A device path (/dev/ttyUSB0, /dev/pts/7) opened instead of COM UartPortNumber when set.
    std::string UartDevicePath;

    // ---- Events, in publishing order ----
    TNotifyEvent OnRiChanged;
    TNotifyEvent OnCdChanged;
    TNotifyEvent OnDsrChanged;
    TNotifyEvent OnCtsChanged;
    TNotifyEvent OnTxdEmpty;
    TRxdDatasEvent OnRxdDatas;
    TNotifyEvent OnFrameErr;
    TNotifyEvent OnParityErr;
    TNotifyEvent OnBreakLevelErr;
    TNotifyEvent OnRxOverrunErr;
    TNotifyEvent OnTxOverrunErr;
    // The device went away while open (a USB adapter pulled, a hang-up); fired once per Open.
    TNotifyEvent OnDeviceLost;

    // ---- Public state ----
    bool Opened() const { return FOpened; }
    // Failure text of the last Open, Close, SendData or SendTxtFile; empty after a success.
    const std::string& LastErrorText() const { return FLastErrorText; }
    // The platform's error number of the last failed Open (0 otherwise), for explaining why.
    int LastOpenSystemError() const { return FLastOpenSystemError; }
    // The system's error (errno, GetLastError) behind the last failure of Open, Close, SendData
    // or SendTxtFile; 0 after a success or a failure the system did not report.
    int LastSystemError() const { return FLastSystemError; }
    // LastErrorText with the system's reason beside it, "Can not send to comm (Input/output
    // error)"; empty after a success.
    std::string ErrorString() const;
    // The device the component opens (or has open).
    std::string DevicePathToOpen() const;
    // Modem input lines; reading one while closed raises std::runtime_error.
    bool pr_RiState() const;
    bool pr_CdState() const;
    bool pr_DsrState() const;
    bool pr_CtsState() const;
    // Line settings and time-outs applied by the last successful Open.
    const TPortDcb& PortConfig() const { return Dcb; }
    const TPortTimeouts& PortTimeouts() const { return Timeouts; }
    // The monitor thread's fatal error text (a receive-filter overflow); empty while none.
    std::string MonitorFatalError() const;

    // ---- Operations ----
    bool Open();
    bool Close(); // always true
    // Result codes: 0 done, 1 write failed, 2 port not open, 3 text file being sent,
    // 4 write time-out (fewer bytes written).
    int SendData(unsigned int Bytes, const void* Data);
    // Formats printf-style (at most 1,023 bytes are sent) and sends through SendData.
    int SendData_printf(const char* Format, ...) ZKF_PRINTF_FORMAT(2, 3);
    // Sends a text file line by line, each line after the transmitter became empty (and
    // LineIntervalMs later). Codes as SendData, plus 1 no memory, 5 cannot open or read.
    int SendTxtFile(const char* FileName, unsigned int LineIntervalMs);

    // Run on the main thread at the monitor thread's request.
    void FireUartErrEvent(unsigned long Errors);
    void FireModemSignalEvent(unsigned long EventMask);
    void FireTxdEmptyEvent();
    void FireRxdDatasEvent(unsigned int Bytes);
    void FireDeviceLostEvent();

    // Run on the monitor thread.
    bool PrrallelProcessingWhenDetectedTxdEmpty();
    bool PrrallelProcessingTrySendNextLineOfTxtFile();

    // Character length in bits of the current line settings (start, data, parity, stop bits).
    uint32_t CharacterBits() const;
    // The event mask Open sets, from the assigned events and the flow control.
    uint32_t CommEventMask() const;
    bool TextFileSending() const { return TxtFileSending.load() != 0; }
    // Size in bytes of each of the three receive buffers (SysUartRxdQueueSize + 8 when made).
    uint32_t RxdBufferSize() const { return RxdBuffSize; }
    // Bytes the receive filter holds back for the next delivery (0 while closed).
    int RxdCollectedCount() const;

private:
    friend class TCommMonitorThread;

    bool FailOpen(const char* text);
    bool ApplyPortSettings();
    void FillDcb();
    void FillTimeouts();
    void AllocRxdBuffers(uint32_t queueSize);
    void StopMonitorThread();
    void ReapRetiredThreads();
    void StopTxtFile();
    bool ReadTxtLine();
    int WriteTxtLine();
    bool ModemLine(uint32_t bit) const;
    // Runs one step handed over by the monitor thread (main thread).
    void RunHandOff(TCommMonitorThread* thread, const std::function<void()>& step);

    // Port configuration and time-out records, filled by Open.
    TPortDcb Dcb;
    TPortTimeouts Timeouts;
    TCommMonitorThread* MonitorThread = nullptr;
    // Threads that Close left to end by themselves (Close ran inside one of their hand-offs).
    std::vector<TCommMonitorThread*> RetiredThreads;
    // Receive buffers of RxdBuffSize bytes each: delivery, filter collection and raw read.
    std::unique_ptr<uint8_t[]> RxdDatasBuff, FilteredRxdBuff, RawRxdBuff;
    uint32_t RxdBuffSize = 0;
    // Counts of the last SendData write and of the last text-file line write.
    uint32_t OlapWrFileBytesWritten = 0;
    uint32_t OlapWrTxtFileBytesWritten = 0;
    // Text file being sent.
    std::FILE* TxtFile = nullptr;
    std::unique_ptr<char[]> TxtLineBuff;
    uint32_t TxtLineBuffSize = 0;
    uint32_t TxtLineLength = 0;
    uint32_t TxtLineBytesWritten = 0;
    uint32_t TxtLineIntervalMs = 0;
    bool FOpened = false;
    uint32_t FUartPortNumber = 1;
    uint32_t FUartBaud = 9600;
    uint32_t FUartBitsPerByte = 8;
    TFlowCtrlStyle FFlowCtrlStyle = fcs_None;
    TFlowCtrlHwRxd FFlowCtrlHwRxd = fchr_None;
    TFlowCtrlHwTxd FFlowCtrlHwTxd = fcht_None;
    uint32_t FSysUartTxdQueueSize = 0;
    uint32_t FSysUartRxdQueueSize = 0;
    std::atomic<uint32_t> FRxdFilter_BytesOfPacket{1};
    std::atomic<uint8_t> TxtFileSending{0};
    std::shared_ptr<TSerialPort> Port; // null while closed
    std::string FLastErrorText;
    int FLastOpenSystemError = 0;
    int FLastSystemError = 0;
    int HandOffDepth = 0; // > 0 while a handed-over step runs
    bool Closing = false;
};

} // namespace XVclCtrl
