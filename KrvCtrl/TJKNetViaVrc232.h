#pragma once
// The host side of the VRC232 gateway: opens its serial port, runs the connect handshake with a
// time-out, keeps the gateway's register values, sends JKNet packets as hexadecimal text lines
// and hands received packets to the members of its topology.

#include "KrvCtrl/JKNetVrc232Lines.h"
#include "KrvCtrl/TJKNet_Rnsm.h"
#include "XVclUtil/TMainLoop.h"

#include <cstdint>
#include <memory>
#include <string>

namespace KrvCtrl {

class TPcUart;

class TJKNetViaVrc232 : public TJKNet_Rnsm {
public:
    static constexpr int ConnectTimeoutMs = 2000;

    explicit TJKNetViaVrc232(XVclUtil::TComponent* AOwner);
    ~TJKNetViaVrc232() override;

    // COM port number (default 1), or a device path that takes its place when not empty.
    // Neither may change while connected.
    int pr_UartPortNumber() const { return UartPortNumber; }
    void pw_UartPortNumber(int Value);
    const std::string& pr_UartDevicePath() const { return UartDevicePath; }
    void pw_UartDevicePath(const std::string& Value);

    // Loads and checks the topology file, opens the port and starts the handshake; the result
    // comes as OnConnectOK or OnConnectFail. Refused (std::runtime_error) while connected or
    // connecting: a second handshake would leave the first one's state behind.
    void Connect() override;
    void Disconnect() override;

    // Registers of the gateway; every access needs the connected state.
    std::uint8_t pr_Yout() const;
    void pw_Yout(std::uint8_t Value);
    bool pr_Y(int Index) const;
    void pw_Y(int Index, bool Value);
    std::uint8_t pr_Xin() const;
    bool pr_X(int Index) const;
    bool pr_Old_X(int Index) const;
    std::uint8_t pr_R3() const;
    std::uint8_t pr_R4() const;
    std::uint8_t pr_R5() const;
    std::uint8_t pr_R6() const;
    std::uint8_t pr_R7() const;
    std::uint8_t pr_R8() const;
    std::uint8_t pr_R9() const;
    std::uint8_t pr_RE() const;
    void pw_R8(std::uint8_t Value);
    void pw_R9(std::uint8_t Value);
    void QueryYout();
    void QueryXin();
    void QueryJknFlags();
    // Turns the outputs off and resets the gateway; OnResetRnsm_OK follows.
    void ResetRnsm();
    void SendJknPacket(const _SJKNTXDPACKET& TxdPacket) override;
    void SendTxtFileToRS232(const std::string& FileName, unsigned int LineIntervalMs);

    bool pr_Connecting() const { return Connecting; }
    bool pr_ResetPending() const { return ResetPending; }
    std::uint32_t pr_ConnectReplies() const { return ConnectReplies; }
    TPcUart* pr_PcUart() const { return PcUart; }

    // Receive handler of the serial port (one line per call) and the time-out handler.
    void OnPcUartRxdDatas(XVclUtil::TComponent* Sender, int Bytes, void* Datas);
    void OnTimeoutTimerReach(XVclUtil::TComponent* Sender);

    TJknNotifyEvent OnConnectOK;
    TJknNotifyEvent OnConnectFail;
    TJknNotifyEvent OnUartTxdFail;
    TJknNotifyEvent OnReplyYout;
    TJknNotifyEvent OnReplyXin;
    TJknNotifyEvent OnReplyJknFlags;
    TJknNotifyEvent OnResetRnsm_OK;
    TJknNotifyEvent OnResetRnsm_WDT;
    // The gateway's serial device went away (adapter pulled, line hung up); the link is down.
    TJknNotifyEvent OnLinkLost;

private:
    void CheckConnected() const;
    void Fire(const TJknNotifyEvent& Event);
    // Sends text to the gateway; a failure calls OnUartTxdFail. Returns success.
    bool SendText(const std::string& Text);
    void ReceiveLine(std::string_view Line);
    void ReceiveRegisterReply(const TVrc232RegisterReply& Reply);
    void ReactToRegisterReply(const TVrc232RegisterReply& Reply);
    void SendYout();
    void LinkLost();

    TPcUart* PcUart = nullptr;
    int UartPortNumber = 1;
    std::string UartDevicePath;
    std::unique_ptr<XVclUtil::TTimer> TimeoutTimer;
    std::uint8_t Yout = 0;
    std::uint8_t Xin = 0;
    std::uint8_t R3 = 0, R4 = 0, R5 = 0, R6 = 0, R7 = 0, R8 = 0, R9 = 0;
    std::uint8_t RE = 0;
    bool Connecting = false;
    bool ResetPending = false;
    std::uint32_t ConnectReplies = 0;
    std::uint8_t Old_Xin = 0;
};

} // namespace KrvCtrl
