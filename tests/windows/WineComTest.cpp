// The Win32 serial port layer under Wine, against the Linux controller simulator on the other
// end of a pseudo-terminal that the Wine prefix maps as a COM port (run-wine-com.sh sets it
// up). ZKF_WINE_COM names the port ("COM5"), ZKF_WINE_SENT the file that receives the image
// sent, for the script to compare with what the simulator received.

#include "PortUploadDriver.h"

#include "XVclCtrl/CommEventCodes.h"
#include "XVclCtrl/TComPortTable.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

using namespace std::chrono_literals;

namespace {

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::unique_ptr<XVclCtrl::TSerialPort> OpenComPort(XVclCtrl::TPortOpenFailure& failure) {
    int error = 0;
    return XVclCtrl::TSerialPort::Open("\\\\.\\" + Env("ZKF_WINE_COM"), false, failure, error);
}

class WineCom : public ::testing::Test {
protected:
    void SetUp() override {
        if (Env("ZKF_WINE_COM").empty()) GTEST_SKIP() << "run through run-wine-com.sh";
        XVclCtrl::TPortOpenFailure failure;
        Port = OpenComPort(failure);
        ASSERT_NE(Port, nullptr) << "open failed: " << static_cast<int>(failure);
        ASSERT_TRUE(PortUpload::ConfigureLine(*Port, false));
    }
    std::unique_ptr<XVclCtrl::TSerialPort> Port;
};

void SaveSent(const std::vector<std::uint8_t>& image) {
    std::ofstream(Env("ZKF_WINE_SENT"), std::ios::binary)
        .write(reinterpret_cast<const char*>(image.data()), std::streamsize(image.size()));
}

void Report(const char* what, const PortUpload::TResult& r) {
    std::printf("%s: %u frames in %.3f s, %.1f us per frame, %u NAKs, %u timeouts\n", what,
                r.Frames, r.Elapsed.count() / 1e6,
                r.Frames ? double(r.Elapsed.count()) / r.Frames : 0.0, r.Naks, r.Timeouts);
}

} // namespace

TEST_F(WineCom, TheOpenIsExclusive) {
    XVclCtrl::TPortOpenFailure failure;
    EXPECT_EQ(OpenComPort(failure), nullptr);
    EXPECT_EQ(failure, XVclCtrl::TPortOpenFailure::Busy); // in use, as on POSIX (flock)
}

TEST_F(WineCom, ModemLinesWhereTheDeviceHasThem) {
    std::uint32_t status = 0;
    if (!Port->GetCommModemStatus(status))
        GTEST_SKIP() << "Wine cannot read modem lines on a pseudo-terminal";
    EXPECT_TRUE(Port->EscapeCommFunction(XVclCtrl::TPortEscape::SetDtr));
    EXPECT_TRUE(Port->EscapeCommFunction(XVclCtrl::TPortEscape::SetRts));
    EXPECT_EQ(status & ~(XVclCtrl::MS_CTS_ON | XVclCtrl::MS_DSR_ON | XVclCtrl::MS_RING_ON |
                         XVclCtrl::MS_RLSD_ON),
              0u);
}

// run-wine-com.sh full: a clean line; the script compares the image byte for byte.
TEST_F(WineCom, FullImageUpload) {
    if (Env("ZKF_WINE_SCENARIO") != "full") GTEST_SKIP() << "another scenario";
    const auto image = PortUpload::TestImage(17);
    SaveSent(image);
    const auto r = PortUpload::UploadImage(*Port, image, 10'000, 600s);
    Report("Wine COM upload", r);
    ASSERT_TRUE(r.Ended);
    EXPECT_EQ(r.Outcome, Link::TTransferOutcome::Finished);
    EXPECT_EQ(r.Frames, 7168u);
}

// run-wine-com.sh faults: the simulator NAKs good frames and loses replies; the short response
// timer runs out on each lost reply before the simulator asks again. The image still arrives.
TEST_F(WineCom, NaksAndTimeoutsStillDeliverTheImage) {
    if (Env("ZKF_WINE_SCENARIO") != "faults") GTEST_SKIP() << "another scenario";
    const auto image = PortUpload::TestImage(29);
    SaveSent(image);
    const auto r = PortUpload::UploadImage(*Port, image, 150, 600s);
    Report("Wine COM upload with faults", r);
    ASSERT_TRUE(r.Ended);
    EXPECT_EQ(r.Outcome, Link::TTransferOutcome::Finished);
    EXPECT_GT(r.Naks, 0u);
    EXPECT_GT(r.Timeouts, 0u);
    EXPECT_GT(r.Frames, 7168u); // resends
}

// run-wine-com.sh silent: the simulator stops answering; the tenth timeout aborts.
TEST_F(WineCom, ASilentControllerAbortsAfterTenTimeouts) {
    if (Env("ZKF_WINE_SCENARIO") != "silent") GTEST_SKIP() << "another scenario";
    const auto r = PortUpload::UploadImage(*Port, PortUpload::TestImage(3), 100, 60s);
    ASSERT_TRUE(r.Ended);
    EXPECT_EQ(r.Outcome, Link::TTransferOutcome::Aborted);
    // Expiries before the first 'C' count too, but the protocol's count restarts with it.
    ASSERT_GE(r.Lines.size(), 2u);
    EXPECT_EQ(r.Lines[r.Lines.size() - 2], "===> VRC-780A respond timeout #10<===");
}

// COMn names the Windows device directly; no table entry is needed. The open above goes through
// the same name.
TEST(WindowsComNames, ComNumbersOpenTheirDeviceDirectly) {
    XVclCtrl::TComPortTable table;
    EXPECT_EQ(table.Resolve("COM5"), "\\\\.\\COM5");
    EXPECT_EQ(table.Resolve("com12"), "\\\\.\\COM12");
    EXPECT_EQ(table.ComNumberOf("\\\\.\\COM7"), 7);
}
