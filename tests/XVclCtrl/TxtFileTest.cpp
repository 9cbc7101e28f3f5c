// Sending a text file line by line, paced by the transmitter-empty event and an optional line
// interval; failure codes; Close ending a file being sent.

#include "support/EventPump.h"
#include "support/PtyPair.h"

#include "XVclCtrl/TCustomUart.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace XVclCtrl;
using TestSupport::PumpUntil;

namespace {

using TClock = std::chrono::steady_clock;

class TxtFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        Dir = std::filesystem::temp_directory_path() /
              ("uart-txt-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(Dir);
        Uart.UartDevicePath = Pty.SlavePath();
        Uart.pw_UartBaud(115200);
        Uart.OnTxdEmpty = [this](XVclUtil::TComponent*) { ++TxdEmpty; };
    }
    void TearDown() override {
        Uart.Close();
        std::filesystem::remove_all(Dir);
    }
    std::string File(const std::string& name, const std::string& content) {
        std::string path = (Dir / name).string();
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }
    // Reads what the peer receives until the component has finished sending.
    std::string ReceiveUntilDone(int timeoutMs = 5000) {
        std::string got;
        PumpUntil(
            [&] {
                got += Pty.ReadFor(0);
                return !Uart.TextFileSending() && TxdEmpty > 0;
            },
            timeoutMs);
        return got + Pty.ReadFor(20);
    }

    std::filesystem::path Dir;
    TestSupport::TPtyPair Pty;
    TCustomUart Uart;
    int TxdEmpty = 0;
};

TEST_F(TxtFileTest, SendsEveryLineAndFiresTxdEmptyOnce) {
    std::string text = "line one\nline two\n\nlast line without feed";
    ASSERT_TRUE(Uart.Open());
    EXPECT_EQ(Uart.SendTxtFile(File("a.txt", text).c_str(), 0), 0);
    EXPECT_EQ(Uart.LastErrorText(), "");
    EXPECT_EQ(ReceiveUntilDone(), text);
    TestSupport::PumpFor(30);
    EXPECT_EQ(TxdEmpty, 1);
    EXPECT_FALSE(Uart.TextFileSending());
    EXPECT_EQ(Uart.SendData(2, "ok"), 0); // sending is over
}

TEST_F(TxtFileTest, SendDataAndSendTxtFileWaitWhileAFileIsSent) {
    std::string text;
    for (int i = 0; i < 5; ++i) text += "paced line " + std::to_string(i) + "\n";
    ASSERT_TRUE(Uart.Open());
    ASSERT_EQ(Uart.SendTxtFile(File("b.txt", text).c_str(), 100), 0);
    EXPECT_TRUE(Uart.TextFileSending());
    EXPECT_EQ(Uart.SendData(1, "x"), 3);
    EXPECT_EQ(Uart.SendTxtFile(File("c.txt", "other\n").c_str(), 0), 3);
    EXPECT_EQ(Uart.LastErrorText(), "");
    EXPECT_EQ(ReceiveUntilDone(), text);
}

TEST_F(TxtFileTest, LineIntervalSpacesTheLines) {
    std::string text = "A\nB\nC\nD\n";
    ASSERT_TRUE(Uart.Open());
    auto start = TClock::now();
    ASSERT_EQ(Uart.SendTxtFile(File("d.txt", text).c_str(), 100), 0);
    std::vector<double> arrivals; // ms after the start, one per line
    std::string got;
    PumpUntil(
        [&] {
            std::string more = Pty.ReadFor(0);
            for (char c : more)
                if (c == '\n')
                    arrivals.push_back(
                        std::chrono::duration<double, std::milli>(TClock::now() - start).count());
            got += more;
            return arrivals.size() == 4 && TxdEmpty == 1;
        },
        3000);
    EXPECT_EQ(got, text);
    ASSERT_EQ(arrivals.size(), 4u);
    for (int i = 1; i < 4; ++i) {
        double gap = arrivals[i] - arrivals[i - 1];
        EXPECT_GE(gap, 90.0) << "line " << i;
        EXPECT_LT(gap, 250.0) << "line " << i;
    }
    EXPECT_EQ(TxdEmpty, 1); // after the timer has run out behind the last line
}

TEST_F(TxtFileTest, LongLinesGoOutInPiecesOfTheQueueSize) {
    std::string text = std::string(3000, 'L') + "\nshort\n";
    ASSERT_TRUE(Uart.Open());
    ASSERT_EQ(Uart.SendTxtFile(File("e.txt", text).c_str(), 0), 0);
    EXPECT_EQ(ReceiveUntilDone(), text);
}

TEST_F(TxtFileTest, ZeroBytesInsideALineAreSent) {
    std::string text("a\0b\nc\0\n", 7);
    ASSERT_TRUE(Uart.Open());
    ASSERT_EQ(Uart.SendTxtFile(File("z.txt", text).c_str(), 0), 0);
    EXPECT_EQ(ReceiveUntilDone(), text);
}

TEST_F(TxtFileTest, FailureCodes) {
    EXPECT_EQ(Uart.SendTxtFile(File("f.txt", "x\n").c_str(), 0), 2);
    EXPECT_EQ(Uart.LastErrorText(), "");
    ASSERT_TRUE(Uart.Open());
    EXPECT_EQ(Uart.SendTxtFile(File("empty.txt", "").c_str(), 0), 5);
    EXPECT_EQ(Uart.LastErrorText(), "Can not read file");
    EXPECT_EQ(Uart.SendTxtFile((Dir / "missing.txt").c_str(), 0), 5);
    EXPECT_EQ(Uart.LastErrorText(), "Can not open file");
    EXPECT_EQ(Uart.SendTxtFile(nullptr, 0), 5);
    EXPECT_FALSE(Uart.TextFileSending());
    EXPECT_EQ(Uart.SendData(1, "k"), 0);
}

TEST_F(TxtFileTest, ReadOnlyFileCannotBeOpened) {
    if (::geteuid() == 0) GTEST_SKIP() << "the superuser may write any file";
    std::string path = File("ro.txt", "text\n");
    ::chmod(path.c_str(), 0444);
    ASSERT_TRUE(Uart.Open());
    EXPECT_EQ(Uart.SendTxtFile(path.c_str(), 0), 5);
    EXPECT_EQ(Uart.LastErrorText(), "Can not open file");
}

TEST_F(TxtFileTest, CloseEndsTheFileBeingSent) {
    std::string text;
    for (int i = 0; i < 50; ++i) text += "slow line\n";
    ASSERT_TRUE(Uart.Open());
    ASSERT_EQ(Uart.SendTxtFile(File("g.txt", text).c_str(), 200), 0);
    EXPECT_TRUE(Uart.TextFileSending());
    Uart.Close();
    EXPECT_FALSE(Uart.TextFileSending());
    ASSERT_TRUE(Uart.Open());
    Pty.ReadFor(20);
    EXPECT_EQ(Uart.SendData(3, "new"), 0);
    EXPECT_EQ(Pty.ReadExactly(3, 1000), "new");
}

TEST_F(TxtFileTest, PeerThatNeverReadsTimesTheFirstLineOut) {
    // Fill the pseudo-terminal's buffers so that nothing more can be written.
    ASSERT_TRUE(Uart.Open());
    std::string block(1 << 20, 'f');
    ASSERT_EQ(Uart.SendData(static_cast<unsigned>(block.size()), block.data()), 4);
    EXPECT_EQ(Uart.SendTxtFile(File("h.txt", "stuck\n").c_str(), 0), 4);
    EXPECT_EQ(Uart.LastErrorText(), "Timeout when send txt file to comm");
    EXPECT_FALSE(Uart.TextFileSending());
}

} // namespace
