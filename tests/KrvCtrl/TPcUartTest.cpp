// TPcUart: its published properties go through the same writers as TCustomUart's, so a form
// description (or setProperty) meets the same rules and error boxes; and the form's settings
// run a link over a pseudo-terminal.

#include "XVclCtrl/support/EventPump.h"
#include "XVclCtrl/support/PtyPair.h"

#include "KrvCtrl/TPcUart.h"
#include "XVclUtil/MessageBox.h"

#include <gtest/gtest.h>

#include <string>

using KrvCtrl::TPcUart;
using namespace XVclCtrl;

namespace {

TEST(TPcUart, PublishedPropertiesUseTheWriters) {
    XVclUtil::TMessageCapture boxes;
    TPcUart uart;
    uart.SetName("PcUart1");
    EXPECT_TRUE(uart.SetProperty("UartBaud", 299));
    EXPECT_EQ(uart.UartBaud(), 9600u);
    ASSERT_EQ(boxes.Messages.size(), 1u);
    EXPECT_EQ(boxes.Messages[0].first, "PcUart1");
    EXPECT_EQ(boxes.Messages[0].second, "Invalid or unsupported value !!!");

    EXPECT_TRUE(uart.SetProperty("FlowCtrlStyle", fcs_Hardware));
    EXPECT_EQ(uart.FlowCtrlHwTxd(), fcht_CTS);
    EXPECT_EQ(uart.Property("FlowCtrlHwTxd"), fcht_CTS);

    EXPECT_TRUE(uart.SetProperty("RxdFilter_Style", rfs_ByBytesOfPacket));
    EXPECT_EQ(uart.RxdFilter_Style.load(), rfs_ByBytesOfPacket);
    EXPECT_TRUE(uart.SetProperty("UartParityBit", upb_Even));
    EXPECT_FALSE(uart.SetProperty("NoSuchProperty", 1));
    EXPECT_EQ(uart.UartParityBit, upb_Even);
}

TEST(TPcUart, PropertiesArePublishedInOrder) {
    const char* expected[] = {"UartPortNumber",         "UartBaud",
                              "UartBitsPerByte",        "UartParityBit",
                              "UartStopBits",           "FlowCtrlStyle",
                              "FlowCtrlHwRxd",          "FlowCtrlHwTxd",
                              "SysUartWriteStyle",      "SysUartTxdQueueSize",
                              "SysUartRxdQueueSize",    "SysUartRxdIntervalTimeout",
                              "RxdFilter_Style",        "RxdFilter_DelimiterChar",
                              "RxdFilter_BytesOfPacket"};
    const auto& published = TPcUart::PublishedProperties();
    ASSERT_EQ(published.size(), 15u);
    for (int i = 0; i < 15; ++i) EXPECT_STREQ(published[i].Name, expected[i]);
}

TEST(TPcUart, FormSettingsRunALink) {
    TestSupport::TPtyPair pty;
    TPcUart PcUart1;
    PcUart1.SetName("PcUart1");
    PcUart1.pw_UartPortNumber(1);
    PcUart1.pw_UartBaud(115200);
    PcUart1.pw_UartBitsPerByte(8);
    PcUart1.pw_SysUartTxdQueueSize(1024);
    PcUart1.pw_SysUartRxdQueueSize(1024);
    PcUart1.SysUartRxdIntervalTimeout = 3;
    PcUart1.RxdFilter_DelimiterChar = '\n';
    PcUart1.pw_RxdFilter_BytesOfPacket(1);
    std::string got;
    PcUart1.OnRxdDatas = [&](XVclUtil::TComponent*, int n, void* d) {
        got.append(static_cast<char*>(d), static_cast<std::size_t>(n));
    };
    PcUart1.UartDevicePath = pty.SlavePath();
    ASSERT_TRUE(PcUart1.Open()) << PcUart1.LastErrorText();
    EXPECT_EQ(PcUart1.CommEventMask(), 0x0005u);
    EXPECT_EQ(PcUart1.PortTimeouts().WriteTotalTimeoutConstant, 5000u);
    pty.Write("C");
    ASSERT_TRUE(TestSupport::PumpUntil([&] { return got == "C"; }));
    EXPECT_EQ(PcUart1.SendData(3, "\x03\x00\x01"), 0);
    EXPECT_EQ(pty.ReadExactly(3, 2000), std::string("\x03\x00\x01", 3));
}

} // namespace
