// Initial values, setter rules and their error boxes, and the port settings Open derives from
// the properties (device control block, time-outs, event mask).

#include "support/EventPump.h"
#include "support/PtyPair.h"

#include "XVclCtrl/CommEventCodes.h"
#include "XVclCtrl/TCustomUart.h"
#include "XVclUtil/MessageBox.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace XVclCtrl;

namespace {

class PropertyRulesTest : public ::testing::Test {
protected:
    PropertyRulesTest() { Uart.SetName("PcUart1"); }

    // The single box shown since the last call, as "caption|text".
    std::string Box() {
        if (Boxes.Messages.size() != 1) return "boxes: " + std::to_string(Boxes.Messages.size());
        std::string s = Boxes.Messages[0].first + "|" + Boxes.Messages[0].second;
        Boxes.Messages.clear();
        return s;
    }
    bool NoBox() { return Boxes.Messages.empty(); }

    XVclUtil::TMessageCapture Boxes;
    TCustomUart Uart;
};

TEST_F(PropertyRulesTest, InitialValues) {
    EXPECT_FALSE(Uart.Opened());
    EXPECT_EQ(Uart.UartPortNumber(), 1u);
    EXPECT_EQ(Uart.UartBaud(), 9600u);
    EXPECT_EQ(Uart.UartBitsPerByte(), 8u);
    EXPECT_EQ(Uart.UartParityBit, upb_None);
    EXPECT_EQ(Uart.UartStopBits, usb_1bit);
    EXPECT_EQ(Uart.FlowCtrlStyle(), fcs_None);
    EXPECT_EQ(Uart.FlowCtrlHwRxd(), fchr_None);
    EXPECT_EQ(Uart.FlowCtrlHwTxd(), fcht_None);
    EXPECT_EQ(Uart.SysUartWriteStyle, suws_WriteViaQueue);
    EXPECT_EQ(Uart.SysUartTxdQueueSize(), 1024u);
    EXPECT_EQ(Uart.SysUartRxdQueueSize(), 1024u);
    EXPECT_EQ(Uart.SysUartRxdIntervalTimeout, 3u);
    EXPECT_EQ(Uart.RxdFilter_Style.load(), rfs_None);
    EXPECT_EQ(Uart.RxdFilter_DelimiterChar.load(), '\n');
    EXPECT_EQ(Uart.RxdFilter_BytesOfPacket(), 1u);
    EXPECT_EQ(Uart.RxdBufferSize(), 1032u);
    EXPECT_FALSE(Uart.OnRxdDatas.Assigned());
    EXPECT_TRUE(NoBox());
}

TEST_F(PropertyRulesTest, PortNumberAcceptsOneToSixteen) {
    Uart.pw_UartPortNumber(16);
    EXPECT_EQ(Uart.UartPortNumber(), 16u);
    EXPECT_TRUE(NoBox());
    Uart.pw_UartPortNumber(17);
    EXPECT_EQ(Box(), "PcUart1|Invalid value !!!");
    EXPECT_EQ(Uart.UartPortNumber(), 16u);
    Uart.pw_UartPortNumber(0);
    EXPECT_EQ(Box(), "PcUart1|Invalid value !!!");
    EXPECT_EQ(Uart.UartPortNumber(), 16u);
}

TEST_F(PropertyRulesTest, BaudOutsideRangeFallsBackTo9600) {
    Uart.pw_UartBaud(300);
    EXPECT_EQ(Uart.UartBaud(), 300u);
    Uart.pw_UartBaud(921600);
    EXPECT_EQ(Uart.UartBaud(), 921600u);
    EXPECT_TRUE(NoBox());
    Uart.pw_UartBaud(1000000);
    EXPECT_EQ(Box(), "PcUart1|Invalid or unsupported value !!!");
    EXPECT_EQ(Uart.UartBaud(), 9600u);
    Uart.pw_UartBaud(115200);
    Uart.pw_UartBaud(299);
    EXPECT_EQ(Box(), "PcUart1|Invalid or unsupported value !!!");
    EXPECT_EQ(Uart.UartBaud(), 9600u);
}

TEST_F(PropertyRulesTest, BitsPerByteSevenOrEight) {
    Uart.pw_UartBitsPerByte(7);
    EXPECT_EQ(Uart.UartBitsPerByte(), 7u);
    Uart.pw_UartBitsPerByte(9);
    EXPECT_EQ(Box(), "PcUart1|Invalid value !!!");
    EXPECT_EQ(Uart.UartBitsPerByte(), 7u);
    Uart.pw_UartBitsPerByte(6);
    EXPECT_EQ(Box(), "PcUart1|Invalid value !!!");
    EXPECT_EQ(Uart.UartBitsPerByte(), 7u);
}

TEST_F(PropertyRulesTest, FlowControlStyleSetsTheLineChoices) {
    Uart.pw_FlowCtrlStyle(fcs_Hardware);
    EXPECT_EQ(Uart.FlowCtrlHwRxd(), fchr_None);
    EXPECT_EQ(Uart.FlowCtrlHwTxd(), fcht_CTS);
    Uart.pw_FlowCtrlHwRxd(fchr_DTR);
    Uart.pw_FlowCtrlHwTxd(fcht_DSR_CTS);
    EXPECT_TRUE(NoBox());
    EXPECT_EQ(Uart.FlowCtrlHwRxd(), fchr_DTR);
    EXPECT_EQ(Uart.FlowCtrlHwTxd(), fcht_DSR_CTS);
    Uart.pw_FlowCtrlStyle(fcs_None);
    EXPECT_TRUE(NoBox());
    EXPECT_EQ(Uart.FlowCtrlHwRxd(), fchr_None);
    EXPECT_EQ(Uart.FlowCtrlHwTxd(), fcht_None);
}

TEST_F(PropertyRulesTest, HardwareLineChoiceNeedsHardwareStyle) {
    const char* text = "PcUart1|Invalid selection !!!\n Because FlowCtrlStyle != fcs_Hardware";
    Uart.pw_FlowCtrlHwTxd(fcht_DSR);
    EXPECT_EQ(Box(), text);
    EXPECT_EQ(Uart.FlowCtrlHwTxd(), fcht_None);
    Uart.pw_FlowCtrlHwRxd(fchr_RTS);
    EXPECT_EQ(Box(), text);
    EXPECT_EQ(Uart.FlowCtrlHwRxd(), fchr_None);
    Uart.pw_FlowCtrlHwTxd(fcht_None);
    EXPECT_TRUE(NoBox());
}

TEST_F(PropertyRulesTest, TxdQueueSizeAtLeast1024) {
    Uart.pw_SysUartTxdQueueSize(4096);
    EXPECT_EQ(Uart.SysUartTxdQueueSize(), 4096u);
    Uart.pw_SysUartTxdQueueSize(1023);
    EXPECT_EQ(Box(), "PcUart1|Invalid value !!!\n Because SysUartTxdQueueSize must >= 1024");
    EXPECT_EQ(Uart.SysUartTxdQueueSize(), 1024u);
}

TEST_F(PropertyRulesTest, RxdQueueSizeRenewsTheBuffers) {
    Uart.pw_SysUartRxdQueueSize(4096);
    EXPECT_EQ(Uart.RxdBufferSize(), 4104u);
    Uart.pw_SysUartRxdQueueSize(512);
    EXPECT_EQ(Box(), "PcUart1|Invalid value !!!\n Because SysUartRxdQueueSize must >= 1024");
    EXPECT_EQ(Uart.SysUartRxdQueueSize(), 1024u);
    EXPECT_EQ(Uart.RxdBufferSize(), 4104u); // the buffers stay as they were
}

TEST_F(PropertyRulesTest, BytesOfPacketBetweenOneAndTheQueueSize) {
    Uart.pw_RxdFilter_BytesOfPacket(64);
    EXPECT_EQ(Uart.RxdFilter_BytesOfPacket(), 64u);
    Uart.pw_RxdFilter_BytesOfPacket(0);
    EXPECT_EQ(Box(), "PcUart1|Invalid value !!!\n Because this value must >= 1");
    EXPECT_EQ(Uart.RxdFilter_BytesOfPacket(), 1u);
    Uart.pw_RxdFilter_BytesOfPacket(1024);
    EXPECT_TRUE(NoBox());
    Uart.pw_RxdFilter_BytesOfPacket(1025);
    EXPECT_EQ(Box(), "PcUart1|Invalid value \nBecause great then SysUartRxdQueueSize");
    EXPECT_EQ(Uart.RxdFilter_BytesOfPacket(), 1024u);
}

TEST_F(PropertyRulesTest, ModemLinesCannotBeReadWhileClosed) {
    for (auto read : {&TCustomUart::pr_CtsState, &TCustomUart::pr_DsrState,
                      &TCustomUart::pr_RiState, &TCustomUart::pr_CdState}) {
        try {
            (Uart.*read)();
            FAIL() << "no exception";
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(),
                         "Illegal property access, because TCustomUart not in opened state !!!");
        }
    }
}

TEST_F(PropertyRulesTest, CharacterLength) {
    EXPECT_EQ(Uart.CharacterBits(), 10u);
    Uart.UartParityBit = upb_Even;
    Uart.UartStopBits = usb_2bits;
    EXPECT_EQ(Uart.CharacterBits(), 12u);
    Uart.pw_UartBitsPerByte(7);
    Uart.UartParityBit = upb_None;
    Uart.UartStopBits = usb_1bit;
    EXPECT_EQ(Uart.CharacterBits(), 9u);
}

TEST_F(PropertyRulesTest, EventMaskFollowsAssignedEvents) {
    EXPECT_EQ(Uart.CommEventMask(), EV_RXCHAR | EV_TXEMPTY);
    Uart.OnRxdDatas = [](XVclUtil::TComponent*, int, void*) {};
    EXPECT_EQ(Uart.CommEventMask(), 0x0005u);
    Uart.OnParityErr = [](XVclUtil::TComponent*) {};
    Uart.OnRiChanged = [](XVclUtil::TComponent*) {};
    Uart.OnCdChanged = [](XVclUtil::TComponent*) {};
    Uart.OnCtsChanged = [](XVclUtil::TComponent*) {};
    Uart.OnDsrChanged = [](XVclUtil::TComponent*) {};
    EXPECT_EQ(Uart.CommEventMask(), 0x01BDu);
    // CTS and DSR changes are not reported for the lines that pace the output.
    Uart.pw_FlowCtrlStyle(fcs_Hardware);
    EXPECT_EQ(Uart.CommEventMask(), 0x01B5u);
    Uart.pw_FlowCtrlHwTxd(fcht_DSR);
    EXPECT_EQ(Uart.CommEventMask(), 0x01ADu);
    Uart.pw_FlowCtrlHwTxd(fcht_DSR_CTS);
    EXPECT_EQ(Uart.CommEventMask(), 0x01A5u);
    Uart.OnCtsChanged = nullptr;
    Uart.OnParityErr = nullptr;
    EXPECT_EQ(Uart.CommEventMask(), 0x0125u);
}

class PortSettingsTest : public ::testing::Test {
protected:
    void SetUp() override { Uart.UartDevicePath = Pty.SlavePath(); }
    TestSupport::TPtyPair Pty;
    TCustomUart Uart;
};

TEST_F(PortSettingsTest, FormSettingsGiveTheDefaultLine) {
    Uart.pw_UartBaud(115200);
    ASSERT_TRUE(Uart.Open());
    const TPortDcb& dcb = Uart.PortConfig();
    EXPECT_EQ(dcb.DCBlength, 28u);
    EXPECT_TRUE(dcb.fBinary);
    EXPECT_EQ(dcb.BaudRate, 115200u);
    EXPECT_EQ(dcb.ByteSize, 8);
    EXPECT_FALSE(dcb.fParity);
    EXPECT_EQ(dcb.Parity, NOPARITY);
    EXPECT_FALSE(dcb.fErrorChar);
    EXPECT_EQ(dcb.StopBits, ONESTOPBIT);
    EXPECT_FALSE(dcb.fOutxCtsFlow);
    EXPECT_FALSE(dcb.fOutxDsrFlow);
    EXPECT_EQ(dcb.fDtrControl, DTR_CONTROL_ENABLE);
    EXPECT_EQ(dcb.fRtsControl, RTS_CONTROL_ENABLE);
    EXPECT_FALSE(dcb.fOutX || dcb.fInX || dcb.fDsrSensitivity || dcb.fAbortOnError || dcb.fNull);
    const TPortTimeouts& t = Uart.PortTimeouts();
    EXPECT_EQ(t.ReadIntervalTimeout, 3u);
    EXPECT_EQ(t.ReadTotalTimeoutMultiplier, 0u);
    EXPECT_EQ(t.ReadTotalTimeoutConstant, 5000u);
    EXPECT_EQ(t.WriteTotalTimeoutMultiplier, 0u);
    EXPECT_EQ(t.WriteTotalTimeoutConstant, 5000u);
}

TEST_F(PortSettingsTest, ParityStopBitsAndHandshake) {
    Uart.pw_UartBaud(300);
    Uart.UartParityBit = upb_Odd;
    Uart.UartStopBits = usb_2bits;
    Uart.pw_FlowCtrlStyle(fcs_Hardware);
    Uart.pw_FlowCtrlHwRxd(fchr_DTR);
    Uart.pw_FlowCtrlHwTxd(fcht_DSR);
    Uart.pw_SysUartTxdQueueSize(4096);
    ASSERT_TRUE(Uart.Open()) << Uart.LastErrorText();
    const TPortDcb& dcb = Uart.PortConfig();
    EXPECT_TRUE(dcb.fParity);
    EXPECT_EQ(dcb.Parity, ODDPARITY);
    EXPECT_TRUE(dcb.fErrorChar);
    EXPECT_EQ(dcb.ErrorChar, 0x0A);
    EXPECT_EQ(dcb.StopBits, TWOSTOPBITS);
    EXPECT_FALSE(dcb.fOutxCtsFlow);
    EXPECT_TRUE(dcb.fOutxDsrFlow);
    EXPECT_EQ(dcb.fDtrControl, DTR_CONTROL_HANDSHAKE);
    EXPECT_EQ(dcb.fRtsControl, RTS_CONTROL_ENABLE);
    // 12 bits at 300 baud: the queue's time in whole seconds (40.96, 163.84) plus 5000.
    EXPECT_EQ(Uart.PortTimeouts().ReadTotalTimeoutConstant, 40u + 5000u);
    EXPECT_EQ(Uart.PortTimeouts().WriteTotalTimeoutConstant, 163u + 5000u);
}

TEST_F(PortSettingsTest, RtsHandshakeForInput) {
    Uart.pw_FlowCtrlStyle(fcs_Hardware);
    Uart.pw_FlowCtrlHwRxd(fchr_RTS);
    ASSERT_TRUE(Uart.Open());
    EXPECT_TRUE(Uart.PortConfig().fOutxCtsFlow);
    EXPECT_EQ(Uart.PortConfig().fRtsControl, RTS_CONTROL_HANDSHAKE);
    EXPECT_EQ(Uart.PortConfig().fDtrControl, DTR_CONTROL_ENABLE);
}

TEST_F(PortSettingsTest, OpenOnAnOpenPortKeepsItsConfiguration) {
    Uart.pw_UartBaud(115200);
    ASSERT_TRUE(Uart.Open());
    Uart.pw_UartBaud(38400);
    Uart.UartParityBit = upb_Even;
    EXPECT_TRUE(Uart.Open());
    EXPECT_EQ(Uart.PortConfig().BaudRate, 115200u);
    EXPECT_EQ(Uart.PortConfig().Parity, NOPARITY);
    Uart.Close();
    ASSERT_TRUE(Uart.Open());
    EXPECT_EQ(Uart.PortConfig().BaudRate, 38400u);
    EXPECT_EQ(Uart.PortConfig().Parity, EVENPARITY);
}

TEST_F(PortSettingsTest, RxdQueueSizeWhileOpenTakesEffectAtTheNextOpen) {
    ASSERT_TRUE(Uart.Open());
    Uart.pw_SysUartRxdQueueSize(2048);
    EXPECT_EQ(Uart.SysUartRxdQueueSize(), 2048u);
    EXPECT_EQ(Uart.RxdBufferSize(), 1032u); // the monitor thread still works in these
    Uart.Close();
    ASSERT_TRUE(Uart.Open());
    EXPECT_EQ(Uart.RxdBufferSize(), 2056u);
}

TEST_F(PortSettingsTest, ModemLinesOfAPseudoTerminalReadLow) {
    ASSERT_TRUE(Uart.Open());
    // A pseudo-terminal has no modem lines: every state reads low.
    EXPECT_FALSE(Uart.pr_CtsState());
    EXPECT_FALSE(Uart.pr_DsrState());
    EXPECT_FALSE(Uart.pr_RiState());
    EXPECT_FALSE(Uart.pr_CdState());
}

} // namespace
