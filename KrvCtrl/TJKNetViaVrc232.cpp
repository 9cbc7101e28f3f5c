#include "KrvCtrl/TJKNetViaVrc232.h"

#include "KrvCtrl/TPcUart.h"
#include "XVclUtil/MessageBox.h"
#include "XVclUtil/Printf.h"
#include "XVclUtil/TMainLoop.h"

#include <stdexcept>

namespace KrvCtrl {

namespace {

const char* const ConnectText =
    " \n ?R3\r\n ?R4\r\n ?R5\r\n ?R6\r\n ?R7\r\n ?R8\r\n ?R9\r\n ?R0\r\n ?R1\r\n";

bool BitOf(std::uint8_t Byte, int Index) {
    return Index >= 0 && Index <= 3 && (Byte & (1u << Index)) != 0;
}

// Runs an event step that the event loop called; an exception that escaped it is shown the way
// the application shows any unhandled exception, instead of unwinding through the event loop.
template <class Step> void RunGuarded(const TJKNet& Component, Step&& step) {
    try {
        step();
    } catch (const std::exception& e) {
        const std::string caption =
            Component.Name().empty() ? std::string("TJKNetViaVrc232") : Component.Name();
        XVclUtil::ShowErrMsgBox_Printf(caption.c_str(), "%s", e.what());
    }
}

} // namespace

TJKNetViaVrc232::TJKNetViaVrc232(XVclUtil::TComponent* AOwner) : TJKNet_Rnsm(AOwner) {
    PcUart = new TPcUart(this);
    PcUart->pw_UartBaud(38400);
    PcUart->pw_UartBitsPerByte(8);
    PcUart->UartParityBit = XVclCtrl::upb_None;
    PcUart->UartStopBits = XVclCtrl::usb_1bit;
    PcUart->pw_FlowCtrlStyle(XVclCtrl::fcs_Hardware);
    PcUart->pw_FlowCtrlHwRxd(XVclCtrl::fchr_None);
    PcUart->pw_FlowCtrlHwTxd(XVclCtrl::fcht_CTS);
    PcUart->SysUartWriteStyle = XVclCtrl::suws_WriteViaQueue;
    PcUart->pw_SysUartTxdQueueSize(8192);
    PcUart->pw_SysUartRxdQueueSize(8192);
    PcUart->SysUartRxdIntervalTimeout = 3;
    PcUart->RxdFilter_Style = XVclCtrl::rfs_ByDelimiterChar;
    PcUart->RxdFilter_DelimiterChar = '\n';
    PcUart->OnRxdDatas = [this](XVclUtil::TComponent* Sender, int Bytes, void* Datas) {
        RunGuarded(*this, [&] { OnPcUartRxdDatas(Sender, Bytes, Datas); });
    };

    PcUart->OnDeviceLost = [this](auto*) { RunGuarded(*this, [&] { LinkLost(); }); };

    // The timer has no component of its own: its handler names the gateway as sender. The
    // main loop's timers keep their interval exactly (the handshake time-out is 2,000 ms as
    // measured).
    TimeoutTimer = XVclUtil::TMainLoop::Current().NewTimer(
        [this] { RunGuarded(*this, [&] { OnTimeoutTimerReach(this); }); });
}

TJKNetViaVrc232::~TJKNetViaVrc232() {
    TimeoutTimer->Stop();
    Disconnect();
    delete PcUart;
    PcUart = nullptr;
    TimeoutTimer.reset();
}

void TJKNetViaVrc232::pw_UartPortNumber(int Value) {
    if (Connected)
        throw std::runtime_error(
            "Illegal property access, because TJKNetViaVrc232 now in connected state !!!");
    UartPortNumber = Value;
}

void TJKNetViaVrc232::pw_UartDevicePath(const std::string& Value) {
    if (Connected)
        throw std::runtime_error(
            "Illegal property access, because TJKNetViaVrc232 now in connected state !!!");
    UartDevicePath = Value;
}

void TJKNetViaVrc232::Connect() {
    if (Connected || Connecting)
        throw std::runtime_error(std::string("Illegal operation, because TJKNetViaVrc232 now in ") +
                                 (Connected ? "connected" : "connecting") + " state !!!");
    if (!OnConnectOK)
        throw std::runtime_error("The event \"OnConnectOK\" of TJKNetViaVrc232, which handler is "
                                 "not specified !!!");
    if (!OnConnectFail)
        throw std::runtime_error("The event \"OnConnectFail\" of TJKNetViaVrc232, which handler "
                                 "is not specified !!!");
    if (!OnUartTxdFail)
        throw std::runtime_error("The event \"OnUartTxdFail\" of TJKNetViaVrc232, which handler "
                                 "is not specified !!!");
    LoadAndChkTopologicIniAndAssignDefaultJknComponentToJknTopologic();

    PcUart->pw_UartPortNumber(static_cast<std::uint32_t>(UartPortNumber));
    PcUart->UartDevicePath = UartDevicePath;
    if (!PcUart->Open())
        throw std::runtime_error("Open UART fail, when peform TJKNetViaVrc232::Connect() !!!");

    ConnectReplies = 0;
    if (PcUart->SendData_printf("%s", ConnectText) != 0) {
        Disconnect();
        Fire(OnUartTxdFail);
        Fire(OnConnectFail);
        return;
    }
    Connecting = true;
    TimeoutTimer->Start(ConnectTimeoutMs);
}

void TJKNetViaVrc232::Disconnect() {
    if (PcUart != nullptr && PcUart->Opened()) PcUart->Close();
    Connected = false;
}

// A handshake under way ends by its own time-out with OnConnectFail; an established link is
// reported as lost at once.
void TJKNetViaVrc232::LinkLost() {
    if (!Connected) return;
    Disconnect();
    Fire(OnLinkLost);
}

void TJKNetViaVrc232::OnTimeoutTimerReach(XVclUtil::TComponent*) {
    TimeoutTimer->Stop();
    if (Connecting && !Connected) {
        Connecting = false;
        Disconnect();
        Fire(OnConnectFail);
    }
}

void TJKNetViaVrc232::Fire(const TJknNotifyEvent& Event) {
    if (Event) Event(this);
}

void TJKNetViaVrc232::CheckConnected() const {
    if (!Connected)
        throw std::runtime_error(
            "Illegal property access, because TJKNetViaVrc232 not in connected state !!!");
}

bool TJKNetViaVrc232::SendText(const std::string& Text) {
    if (PcUart->SendData(static_cast<unsigned>(Text.size()), Text.data()) == 0) return true;
    Fire(OnUartTxdFail);
    return false;
}

void TJKNetViaVrc232::SendYout() {
    SendText(XVclUtil::Format(" +R0=%02X\r\n", Yout));
}

// ---- Registers ----

std::uint8_t TJKNetViaVrc232::pr_Yout() const {
    CheckConnected();
    return Yout;
}

void TJKNetViaVrc232::pw_Yout(std::uint8_t Value) {
    CheckConnected();
    Yout = Value;
    SendYout();
}

bool TJKNetViaVrc232::pr_Y(int Index) const {
    return BitOf(pr_Yout(), Index);
}

void TJKNetViaVrc232::pw_Y(int Index, bool Value) {
    CheckConnected();
    if (Index < 0 || Index > 3) return;
    const auto mask = static_cast<std::uint8_t>(1u << Index);
    pw_Yout(Value ? static_cast<std::uint8_t>(Yout | mask)
                  : static_cast<std::uint8_t>(Yout & ~mask));
}

std::uint8_t TJKNetViaVrc232::pr_Xin() const {
    CheckConnected();
    return Xin;
}

bool TJKNetViaVrc232::pr_X(int Index) const {
    return BitOf(pr_Xin(), Index);
}

bool TJKNetViaVrc232::pr_Old_X(int Index) const {
    CheckConnected();
    return BitOf(Old_Xin, Index);
}

#define ZKF_VRC232_REGISTER_READER(Reg)                                                            \
    std::uint8_t TJKNetViaVrc232::pr_##Reg() const {                                               \
        CheckConnected();                                                                          \
        return Reg;                                                                                \
    }
ZKF_VRC232_REGISTER_READER(R3)
ZKF_VRC232_REGISTER_READER(R4)
ZKF_VRC232_REGISTER_READER(R5)
ZKF_VRC232_REGISTER_READER(R6)
ZKF_VRC232_REGISTER_READER(R7)
ZKF_VRC232_REGISTER_READER(R8)
ZKF_VRC232_REGISTER_READER(R9)
ZKF_VRC232_REGISTER_READER(RE)
#undef ZKF_VRC232_REGISTER_READER

void TJKNetViaVrc232::pw_R8(std::uint8_t Value) {
    CheckConnected();
    R8 = Value;
    SendText(XVclUtil::Format(" +R8=%02X\r\n ?R8\r\n", Value));
}

void TJKNetViaVrc232::pw_R9(std::uint8_t Value) {
    CheckConnected();
    R9 = Value;
    SendText(XVclUtil::Format(" +R9=%02X\r\n ?R9\r\n", Value));
}

void TJKNetViaVrc232::QueryYout() {
    CheckConnected();
    SendText(" ?R0\r\n");
}

void TJKNetViaVrc232::QueryXin() {
    CheckConnected();
    SendText(" ?R1\r\n");
}

void TJKNetViaVrc232::QueryJknFlags() {
    CheckConnected();
    SendText(" ?RE\r\n");
}

void TJKNetViaVrc232::ResetRnsm() {
    CheckConnected();
    pw_Yout(0);
    SendText(" +RF=00\r\n");
    ResetPending = true;
}

void TJKNetViaVrc232::SendJknPacket(const _SJKNTXDPACKET& TxdPacket) {
    CheckConnected();
    if (TxdPacket.BytesOfDatas < 1)
        throw std::runtime_error("The argument of .BytesOfDatas too small, when perform "
                                 "TJKNetViaVrc232::SendJknPacket(...) !!!");
    if (TxdPacket.BytesOfDatas > R7)
        throw std::runtime_error("The argument of .BytesOfDatas too large, when perform "
                                 "TJKNetViaVrc232::SendJknPacket(...) !!!");
    SendText(EncodeVrc232PacketLine(TxdPacket));
}

void TJKNetViaVrc232::SendTxtFileToRS232(const std::string& FileName, unsigned int LineIntervalMs) {
    CheckConnected();
    PcUart->SendTxtFile(FileName.c_str(), LineIntervalMs);
}

// ---- Receiving ----

void TJKNetViaVrc232::OnPcUartRxdDatas(XVclUtil::TComponent*, int Bytes, void* Datas) {
    if (Bytes <= 0 || Datas == nullptr) return;
    std::string_view text(static_cast<const char*>(Datas), static_cast<std::size_t>(Bytes));
    // The serial filter delivers one line per call; should a call ever carry more, each line
    // is taken on its own.
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::size_t length = (end == std::string_view::npos) ? text.size() : end + 1;
        ReceiveLine(text.substr(0, length));
        text.remove_prefix(length);
    }
}

void TJKNetViaVrc232::ReceiveLine(std::string_view Line) {
    if (Line.empty()) return;
    if (Line[0] == '*') {
        TVrc232RegisterReply reply;
        if (ParseVrc232RegisterReply(Line, reply)) ReceiveRegisterReply(reply);
    } else if (Line[0] == '@') {
        TJknRxdPacket packet;
        if (DecodeVrc232PacketLine(Line, packet)) FilteringReceivedJknPacket(packet);
    }
}

void TJKNetViaVrc232::ReceiveRegisterReply(const TVrc232RegisterReply& Reply) {
    switch (Reply.Register) {
    case '0':
        Yout = Reply.Value;
        break;
    case '1':
        Old_Xin = Xin;
        Xin = Reply.Value;
        break;
    case '3':
        R3 = Reply.Value;
        break;
    case '4':
        R4 = Reply.Value;
        break;
    case '5':
        R5 = Reply.Value;
        break;
    case '6':
        R6 = Reply.Value;
        break;
    case '7':
        R7 = Reply.Value;
        break;
    case '8':
        R8 = Reply.Value;
        break;
    case '9':
        R9 = Reply.Value;
        break;
    case 'E':
        RE = Reply.Value;
        break;
    default:
        break; // RF carries no value
    }
    if (Connecting) {
        ConnectReplies |= Reply.Bit;
        if (ConnectReplies == Vrc232ConnectRepliesComplete) {
            TimeoutTimer->Stop();
            Connected = true;
            Connecting = false;
            Fire(OnConnectOK);
        }
    } else if (Connected) {
        ReactToRegisterReply(Reply);
    }
}

void TJKNetViaVrc232::ReactToRegisterReply(const TVrc232RegisterReply& Reply) {
    switch (Reply.Register) {
    case '0':
        Fire(OnReplyYout);
        break;
    case '1':
        Fire(OnReplyXin);
        break;
    case 'E':
        Fire(OnReplyJknFlags);
        break;
    case 'F':
        if (ResetPending) {
            ResetPending = false;
            Fire(OnResetRnsm_OK);
        } else {
            // The gateway's watchdog reset it: its outputs are off, so restore them.
            SendYout();
            Fire(OnResetRnsm_WDT);
        }
        break;
    default:
        break;
    }
}

} // namespace KrvCtrl
