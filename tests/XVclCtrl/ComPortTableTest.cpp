// The COM port table (settings file section COMPORT), the device listing and the plain-words
// reasons for a port that cannot be opened.

#include "support/EventPump.h"
#include "support/PtyPair.h"

#include "XVclCtrl/SerialDevices.h"
#include "XVclCtrl/TComPortTable.h"
#include "XVclCtrl/TCustomUart.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <unistd.h>

using namespace XVclCtrl;
namespace fs = std::filesystem;

namespace {

class TempDir {
public:
    TempDir() {
        Path = fs::temp_directory_path() /
               ("comtable-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(Path);
    }
    ~TempDir() { fs::remove_all(Path); }
    fs::path Path;
};

TEST(ComPortTable, DefaultsToTtyS) {
    TComPortTable table;
    EXPECT_EQ(table.DevicePath(1), "/dev/ttyS0");
    EXPECT_EQ(table.DevicePath(12), "/dev/ttyS11");
    EXPECT_EQ(table.ComNumberOf("/dev/ttyS3"), 4);
    EXPECT_EQ(table.ComNumberOf("/dev/ttyUSB0"), 0);
}

TEST(ComPortTable, ReadsTheComportSection) {
    TempDir dir;
    fs::path ini = dir.Path / "KRVZKF780AS1.INI";
    std::ofstream(ini) << "[MODEL]\nCOM1=ignored\n[COMPORT]\nCOM1=/dev/ttyUSB0\n"
                          "COM3 = /dev/serial/by-id/usb-FTDI_A1\nCOM20=/dev/ttyACM1\n"
                          "COM21=/dev/ttyUSB9\n";
    TComPortTable table;
    ASSERT_TRUE(table.LoadFromIniFile(ini.string()));
    EXPECT_EQ(table.DevicePath(1), "/dev/ttyUSB0");
    EXPECT_EQ(table.DevicePath(2), "/dev/ttyS1");
    EXPECT_EQ(table.DevicePath(3), "/dev/serial/by-id/usb-FTDI_A1");
    EXPECT_EQ(table.DevicePath(20), "/dev/ttyACM1");
    EXPECT_EQ(table.ComNumberOf("/dev/ttyUSB0"), 1);
    EXPECT_EQ(table.ComNumberOf("/dev/ttyUSB9"), 0); // only COM1..COM20 count
    // /dev/ttyS0 is no longer COM1: COM1 names another device.
    EXPECT_EQ(table.ComNumberOf("/dev/ttyS0"), 0);
    EXPECT_EQ(table.ComNumberOf("/dev/ttyS1"), 2);
}

TEST(ComPortTable, MissingFileLeavesTheTableAndCreatesNothing) {
    TempDir dir;
    TComPortTable table;
    table.SetEntry(2, "/dev/ttyUSB3");
    EXPECT_FALSE(table.LoadFromIniFile((dir.Path / "KRVZKF780AS1.INI").string()));
    EXPECT_EQ(table.DevicePath(2), "/dev/ttyUSB3");
    EXPECT_FALSE(fs::exists(dir.Path / "KRVZKF780AS1.INI"));
}

TEST(ComPortTable, ResolvesWhatTheUserTypes) {
    TComPortTable table;
    table.SetEntry(4, "/dev/ttyUSB1");
    EXPECT_EQ(table.Resolve("COM4"), "/dev/ttyUSB1");
    EXPECT_EQ(table.Resolve("com4"), "/dev/ttyUSB1");
    EXPECT_EQ(table.Resolve("2"), "/dev/ttyS1");
    EXPECT_EQ(table.Resolve("/dev/pts/7"), "/dev/pts/7");
    EXPECT_EQ(table.Resolve("COM21"), "");
    EXPECT_EQ(table.Resolve("COM0"), "");
    EXPECT_EQ(table.Resolve("COMX"), "");
    // The form the port list prints.
    EXPECT_EQ(table.Resolve("COM 4"), "/dev/ttyUSB1");
    EXPECT_EQ(table.Resolve("com  2"), "/dev/ttyS1");
    EXPECT_EQ(TComPortTable::ParseComName("COM 5"), 5);
    EXPECT_EQ(TComPortTable::ParseComName("COM "), 0);
    EXPECT_EQ(TComPortTable::ParseComName("COM 5x"), 0);
    EXPECT_EQ(table.Resolve("ttyUSB0"), "");
}

TEST(SerialDevices, ListsAdaptersWithTheirStableNamesAndComNumbers) {
    TestSupport::TPtyPair usb0, acm0;
    TempDir dev;
    fs::create_symlink(usb0.SlavePath(), dev.Path / "ttyUSB0");
    fs::create_symlink(acm0.SlavePath(), dev.Path / "ttyACM0");
    std::ofstream(dev.Path / "ttyUSB9") << "a plain file is no device";
    fs::create_directories(dev.Path / "serial/by-id");
    fs::create_symlink(dev.Path / "ttyUSB0", dev.Path / "serial/by-id/usb-FTDI_FT232R-if00");
    TComPortTable table;
    table.SetEntry(7, (dev.Path / "ttyUSB0").string());

    auto devices = ListSerialDevices(table, dev.Path.string());
    ASSERT_EQ(devices.size(), 2u);
    EXPECT_EQ(devices[0].Path, (dev.Path / "ttyUSB0").string());
    EXPECT_EQ(devices[0].ComNumber, 7);
    ASSERT_EQ(devices[0].Aliases.size(), 1u);
    EXPECT_EQ(devices[0].Aliases[0], (dev.Path / "serial/by-id/usb-FTDI_FT232R-if00").string());
    EXPECT_EQ(devices[1].Path, (dev.Path / "ttyACM0").string());
    EXPECT_EQ(devices[1].ComNumber, 0);

    std::string text = FormatSerialDeviceList(devices);
    EXPECT_NE(text.find("COM7  " + (dev.Path / "ttyUSB0").string()), std::string::npos) << text;
    EXPECT_NE(text.find("usb-FTDI_FT232R-if00"), std::string::npos);
    EXPECT_EQ(FormatSerialDeviceList({}), "No serial devices found.\n");
}

TEST(SerialDevices, TableEntriesOutsideTheUsualNamesAreListed) {
    TestSupport::TPtyPair pty;
    TempDir dev;
    TComPortTable table;
    table.SetEntry(9, pty.SlavePath());
    auto devices = ListSerialDevices(table, dev.Path.string());
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_EQ(devices[0].Path, pty.SlavePath());
    EXPECT_EQ(devices[0].ComNumber, 9);
}

TEST(SerialDevices, OpenFailuresInPlainWords) {
    TCustomUart uart;
    uart.UartDevicePath = "/dev/ttyUSB-not-here";
    ASSERT_FALSE(uart.Open());
    EXPECT_EQ(uart.LastOpenSystemError(), ENOENT);
    EXPECT_EQ(ExplainOpenFailure(uart.UartDevicePath, uart.LastOpenSystemError()),
              "the device /dev/ttyUSB-not-here does not exist (is the adapter plugged in?)");

    TestSupport::TPtyPair pty;
    TCustomUart holder, second;
    holder.UartDevicePath = second.UartDevicePath = pty.SlavePath();
    ASSERT_TRUE(holder.Open());
    ASSERT_FALSE(second.Open());
    EXPECT_EQ(ExplainOpenFailure(pty.SlavePath(), second.LastOpenSystemError()),
              "the device " + pty.SlavePath() + " is in use by another program");

    std::string permission = ExplainOpenFailure(pty.SlavePath(), EACCES);
    EXPECT_EQ(permission.rfind("no permission to use " + pty.SlavePath() +
                                   ": add your user to "
                                   "the group \"",
                               0),
              0u)
        << permission;
    EXPECT_EQ(ExplainOpenFailure("/tmp", EISDIR), "/tmp is a folder, not a serial device");
}

} // namespace
