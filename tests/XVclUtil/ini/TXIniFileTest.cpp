#include "XVclUtil/ini/TXIniFile.h"
#include "XVclUtil/EConvertError.h"
#include "XVclUtil/EXGeneral.h"
#include "XVclUtil/MessageBox.h"
#include "XVclUtil/TempDir.h"

#include <cmath>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#ifndef _WIN32
#include <sys/wait.h> // the read-only check runs in a forked child when the tests run as root
#endif

using namespace XVclUtil;

namespace {

// Loads text as an INI file and returns the bytes the engine writes back after a change.
std::string Roundtrip(const TTempDir& dir, const std::string& text) {
    const std::string path = dir.File("r.ini");
    TTempDir::Write(path, text);
    {
        TXIniFile ini(path);
        ini.pw_FileName(path); // forces a save of the document as loaded
    }
    return TTempDir::Read(path);
}

} // namespace

TEST(TXIniFile, WritesTheSevenLineExample) {
    TTempDir dir;
    const std::string path = dir.File("x.ini");
    {
        TXIniFile ini(path);
        ini.WriteString("GLOBAL", "A", "1");
        ini.WriteString("GLOBAL", "B", "");
        ini.WriteString("X", "C", "two words");
    }
    EXPECT_EQ(TTempDir::Read(path), "[GLOBAL]\r\nA=1\r\nB=\r\n\r\n[X]\r\nC=two words\r\n\r\n");
}

TEST(TXIniFile, CreatesMissingFileAndOneLevelOfFolder) {
    TTempDir dir;
    const std::string path = dir.File("sub/new.ini");
    { TXIniFile ini(path); }
    struct stat st;
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_size, 0); // no change, no save

    // A file that cannot be made starts empty; the save that needs it says why it failed.
    TMessageCapture capture;
    TXIniFile deep(dir.File("a/b/c.ini"));
    EXPECT_TRUE(capture.Messages.empty());
    deep.WriteString("A", "k", "v");
    EXPECT_FALSE(deep.UpdateFile());
    ASSERT_EQ(capture.Messages.size(), 1u);
    EXPECT_EQ(capture.Messages[0].first, "TXIniFile");
    EXPECT_EQ(capture.Messages[0].second, "Err: Can not save file \n \"" + dir.File("a/b/c.ini") +
                                              "\" \n(No such file or directory)");
    deep.Modified = false;
}

TEST(TXIniFile, ReadingRules) {
    TTempDir dir;
    const std::string path = dir.File("rules.ini");
    TTempDir::Write(path, "orphan=1\n"
                          "[ Main ]  trailing\n"
                          "  key  =   value with = and # ;  \r\n"
                          ";Note=1\n"
                          "#Hidden=1\n"
                          "Empty=\n"
                          "K=1\n"
                          "[Other]\n"
                          "Z=9\n"
                          "[Main]\n"
                          "K=2\n"
                          "[NoKeys]\n"
                          "[]\n"
                          "Tab\t=x");
    TXIniFile ini(path);
    EXPECT_EQ(ini.SectionNames(), (std::vector<std::string>{"Main", "Other", "NoKeys"}));
    EXPECT_EQ(ini.ReadString("Main", "key", "?"), "value with = and # ;");
    EXPECT_EQ(ini.ReadString("Main", ";Note", "?"), "1");
    EXPECT_FALSE(ini.KeyExists("Main", "#Hidden"));
    EXPECT_FALSE(ini.KeyExists("Main", "Empty"));
    EXPECT_FALSE(ini.KeyExists("", "orphan"));
    EXPECT_EQ(ini.KeyNames("Main"), (std::vector<std::string>{"key", ";Note", "K"}));
    EXPECT_EQ(ini.ReadString("Main", "K", "?"), "2");
    // "[]" is not a header, so the last line lands in [NoKeys]; tabs are not trimmed.
    EXPECT_EQ(ini.ReadString("NoKeys", "Tab\t", "?"), "x");
}

TEST(TXIniFile, EmptyValueKeepsKeyWithoutValue) {
    TTempDir dir;
    TXIniFile ini(dir.File("e.ini"));
    ini.WriteString("S", "K", "");
    EXPECT_TRUE(ini.KeyExists("S", "K"));
    EXPECT_FALSE(ini.ValueExists("S", "K"));
    EXPECT_EQ(ini.ReadString("S", "K", "def"), "def");
    ini.WriteString("S", "V", "x");
    ini.DeleteValue("S", "V");
    EXPECT_TRUE(ini.KeyExists("S", "V"));
    EXPECT_FALSE(ini.ValueExists("S", "V"));
    ini.DeleteKey("S", "V");
    EXPECT_FALSE(ini.KeyExists("S", "V"));
}

TEST(TXIniFile, TypedValues) {
    TTempDir dir;
    TXIniFile ini(dir.File("t.ini"));
    ini.WriteUnsigned("N", "u", 4294967295u);
    EXPECT_EQ(ini.ReadString("N", "u", ""), "-1");
    EXPECT_EQ(ini.ReadUnsigned("N", "u", 0), 4294967295u);
    ini.WriteHexNum("N", "h", 255);
    EXPECT_EQ(ini.ReadString("N", "h", ""), "0xFF");
    EXPECT_EQ(ini.ReadHexNum("N", "h", 0), 255u);
    const std::pair<const char*, unsigned> unsignedCases[] = {
        {"0x10", 16},  {"0X10", 0},         {"10", 10}, {"abc", 77},
        {"12abc", 12}, {"-1", 4294967295u}, {"1F", 1},  {"99999999999", 4294967295u},
        {"zz", 77}};
    for (auto [text, want] : unsignedCases) {
        ini.WriteString("N", "x", text);
        EXPECT_EQ(ini.ReadUnsigned("N", "x", 77), want) << text;
    }
    EXPECT_EQ(ini.ReadUnsigned("N", "absent", 5), 5u);

    ini.WriteFloat("F", "f", 2.5);
    EXPECT_EQ(ini.ReadString("F", "f", ""), "2.500000");
    EXPECT_DOUBLE_EQ(ini.ReadFloat("F", "f", 0), 2.5);
    ini.WriteString("F", "g", " -1.5e2xyz");
    EXPECT_DOUBLE_EQ(ini.ReadFloat("F", "g", 0), -150.0);
    ini.WriteString("F", "bad", "x1");
    EXPECT_DOUBLE_EQ(ini.ReadFloat("F", "bad", 9.0), 9.0);
    // Beyond a double's range: infinity for too large, zero (with its sign) for too small.
    const std::pair<const char*, double> rangeCases[] = {
        {"1e309", HUGE_VAL},      {"-1e400", -HUGE_VAL}, {"123456e999999999999", HUGE_VAL},
        {"0.000001e-320", 0.0},   {"-1e-400", -0.0},     {"1e-400x", 0.0},
        {"1797.7e305", HUGE_VAL}, {"1e308", 1e308}};
    for (auto [text, want] : rangeCases) {
        ini.WriteString("F", "r", text);
        const double got = ini.ReadFloat("F", "r", 9.0);
        EXPECT_EQ(got, want) << text;
        EXPECT_EQ(std::signbit(got), std::signbit(want)) << text;
    }

    ini.WriteInteger("I", "i", -12);
    EXPECT_EQ(ini.ReadInteger("I", "i", 0), -12);
    ini.WriteString("I", "bad", "12x");
    EXPECT_THROW(ini.ReadInteger("I", "bad", 0), EConvertError);
    EXPECT_EQ(ini.ReadInteger("I", "absent", 3), 3);
}

TEST(TXIniFile, BoolStylesAndFirstByteRule) {
    TTempDir dir;
    TXIniFile ini(dir.File("b.ini"));
    const std::pair<int, const char*> styles[] = {
        {0, "1"}, {1, "True"}, {2, "High"}, {3, "Yes"}, {7, "1"}};
    for (auto [style, text] : styles) {
        ini.WriteBool("B", "k", true, style);
        EXPECT_EQ(ini.ReadString("B", "k", ""), text);
    }
    ini.WriteBool("B", "k", false, 3);
    EXPECT_EQ(ini.ReadString("B", "k", ""), "Not");
    ini.WriteString("B", "k", "yes");
    EXPECT_TRUE(ini.ReadBool("B", "k", false));
    ini.WriteString("B", "k", "n");
    EXPECT_FALSE(ini.ReadBool("B", "k", true));
    ini.WriteString("B", "k", "Off");
    EXPECT_TRUE(ini.ReadBool("B", "k", true));
    EXPECT_FALSE(ini.ReadBool("B", "k", false));
}

TEST(TXIniFile, DateAndTimeTextsReadBack) {
    TTempDir dir;
    TXIniFile ini(dir.File("d.ini"));
    std::tm when{};
    when.tm_year = 2026 - 1900;
    when.tm_mon = 11;
    when.tm_mday = 7;
    when.tm_hour = 13;
    when.tm_min = 5;
    when.tm_sec = 9;
    ini.WriteDateTime("D", "dt", when);
    std::tm back = ini.ReadDateTime("D", "dt", std::tm{});
    EXPECT_EQ(back.tm_year, when.tm_year);
    EXPECT_EQ(back.tm_mon, when.tm_mon);
    EXPECT_EQ(back.tm_mday, when.tm_mday);
    EXPECT_EQ(back.tm_hour, 13);
    EXPECT_EQ(back.tm_sec, 9);
    ini.WriteTime("D", "t", when);
    EXPECT_EQ(ini.ReadTime("D", "t", std::tm{}).tm_min, 5);
    ini.WriteString("D", "bad", "not a date");
    EXPECT_THROW(ini.ReadDate("D", "bad", std::tm{}), EConvertError);
}

TEST(TXIniFile, EraseSectionKeepsOthersInOrder) {
    TTempDir dir;
    const std::string path = dir.File("s.ini");
    {
        TXIniFile ini(path);
        ini.WriteString("A", "a", "1");
        ini.WriteString("B", "b", "2");
        ini.WriteString("C", "c", "3");
        EXPECT_TRUE(ini.SectionExists("A"));
        ini.EraseSection("A");
        EXPECT_FALSE(ini.SectionExists("A"));
        EXPECT_FALSE(ini.SectionExists(""));
        EXPECT_EQ(ini.ReadString("C", "c", ""), "3");
        ini.EraseSection("missing");
    }
    EXPECT_EQ(TTempDir::Read(path), "[B]\r\nb=2\r\n\r\n[C]\r\nc=3\r\n\r\n");
}

TEST(TXIniFile, NameLimits) {
    TTempDir dir;
    TXIniFile ini(dir.File("n.ini"));
    const std::string n256(256, 's'), n257(257, 's');
    ini.WriteString(n256, n256, "v");
    EXPECT_EQ(ini.ReadString(n256, n256, ""), "v");
    ini.WriteString(n257, "k", "v");
    EXPECT_FALSE(ini.SectionExists(n257));
    ini.WriteString("S", n257, "v");
    EXPECT_FALSE(ini.KeyExists("S", n257));
    ini.WriteString("", "k", "v");
    ini.WriteString("S", "", "v");
    EXPECT_FALSE(ini.KeyExists("S", ""));
}

TEST(TXIniFile, ValueLimitsOnReadAndSave) {
    TTempDir dir;
    const std::string path = dir.File("v.ini");
    {
        TXIniFile ini(path);
        ini.WriteString("S", "big", std::string(8192, 'b'));
        ini.WriteString("S", "huge", std::string(16384, 'h'));
        EXPECT_EQ(ini.ReadString("S", "big", "").size(), 8192u);
        EXPECT_EQ(ini.ReadString("S", "huge", "def"), "def");
    }
    EXPECT_EQ(TTempDir::Read(path), "[S]\r\nbig=\r\nhuge=\r\n\r\n");
}

TEST(TXIniFile, HostileInputNeverCrashes) {
    TTempDir dir;
    std::string garbage;
    for (int i = 0; i < 70000; ++i) garbage += static_cast<char>((i * 7919) % 256);
    Roundtrip(dir, garbage);
    // A 1 MB line is read as 8,191-byte pieces; only a piece that scans as a line counts.
    std::string longLine = "[L]\n" + std::string(1 << 20, 'k') + "=v\n";
    Roundtrip(dir, longLine);
    EXPECT_EQ(Roundtrip(dir, std::string("[A]\nk=v\0hidden\nz=1", 18)),
              "[A]\r\nk=v\r\nz=1\r\n\r\n");
    // CR-only line ends make one line: only its first key survives.
    EXPECT_EQ(Roundtrip(dir, "[A]\rk=1\rj=2\r"), "");
    EXPECT_EQ(Roundtrip(dir, "[A]\nk=1\rj=2\r"), "[A]\r\nk=1\r\n\r\n");
    std::string many;
    for (int i = 0; i < 10000; ++i)
        many += "[S" + std::to_string(i) + "]\nk=" + std::to_string(i) + "\n";
    const std::string out = Roundtrip(dir, many);
    EXPECT_NE(out.find("[S9999]\r\nk=9999\r\n"), std::string::npos);
    EXPECT_EQ(Roundtrip(dir, "[A]\nlast=no newline"), "[A]\r\nlast=no newline\r\n\r\n");
}

TEST(TXIniFile, UnopenableFilesAreReported) {
    TTempDir dir;
    TMessageCapture capture;
    EXPECT_THROW(TXIniFile(dir.Path), EXGeneral); // a folder given as the file name
    ASSERT_EQ(capture.Messages.size(), 1u);
    EXPECT_EQ(capture.Messages[0].second, "Err: Can not open file \n \"" + dir.Path + "\" ");
}

#ifndef _WIN32
// What a user without write permission sees: the file is read, and only the save fails, saying
// why. Empty when that holds, else what went wrong.
std::string ReadOnlyFileCheck(const std::string& path) {
    TMessageCapture capture;
    TXIniFile ini(path);
    if (ini.ReadString("A", "k", "") != "1") return "not read";
    ini.WriteString("A", "k", "2");
    if (ini.UpdateFile()) return "saved";
    ini.Modified = false;
    if (capture.Messages.size() != 1) return "no single message";
    const std::string& text = capture.Messages[0].second;
    return text.find("Permission denied") == std::string::npos ? text : "";
}

TEST(TXIniFile, ReadOnlyFileInReadOnlyFolderIsReadAndOnlyTheSaveFails) {
    TTempDir dir;
    const std::string path = dir.File("ro.ini");
    TTempDir::Write(path, "[A]\nk=1\n");
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    ASSERT_EQ(::chmod(dir.Path.c_str(), 0555), 0);
    if (::geteuid() != 0) {
        EXPECT_EQ(ReadOnlyFileCheck(path), "");
    } else {
        // Root may write anything: the check runs in a child as the unprivileged "nobody".
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(2);
            ::_exit(ReadOnlyFileCheck(path).empty() ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        if (WEXITSTATUS(status) == 2) GTEST_SKIP() << "cannot become the user nobody";
        EXPECT_EQ(WEXITSTATUS(status), 0) << "the file was not read, or the save did not fail";
    }
    EXPECT_EQ(TTempDir::Read(path), "[A]\nk=1\n");
}
#endif

TEST(TXIniFile, FailedSaveKeepsDocumentAndOldFile) {
    TTempDir dir;
    const std::string path = dir.File("keep.ini");
    TTempDir::Write(path, "[A]\nk=old\n");
    TMessageCapture capture;
    {
        TXIniFile ini(path);
        ini.WriteString("A", "k", "new");
        ini.pw_FileName(dir.File("missing-folder/keep.ini"));
        EXPECT_FALSE(ini.UpdateFile());
        EXPECT_TRUE(ini.Modified);
        EXPECT_EQ(ini.ReadString("A", "k", ""), "new");
        ini.pw_FileName(path);
        EXPECT_TRUE(ini.UpdateFile());
        EXPECT_FALSE(ini.Modified);
    }
    EXPECT_EQ(TTempDir::Read(path), "[A]\r\nk=new\r\n\r\n");
    ASSERT_FALSE(capture.Messages.empty());
    EXPECT_EQ(capture.Messages[0].second, "Err: Can not save file \n \"" +
                                              dir.File("missing-folder/keep.ini") +
                                              "\" \n(No such file or directory)");
}

TEST(TXIniFile, RoundTripIsStableAndSharedTableWorks) {
    TTempDir dir;
    const std::string text = "[One]\r\na=1\r\nb=x y\r\n\r\n[Two]\r\nc=3\r\n\r\n";
    EXPECT_EQ(Roundtrip(dir, text), text);
    EXPECT_EQ(Roundtrip(dir, ""), "");
    TXStrTab shared;
    {
        TXIniFile a(dir.File("a.ini"), &shared), b(dir.File("b.ini"), &shared);
        a.WriteString("S", "k", "va");
        b.WriteString("S", "k", "vb");
        EXPECT_EQ(a.ReadString("S", "k", ""), "va");
        EXPECT_EQ(b.ReadString("S", "k", ""), "vb");
        EXPECT_EQ(a.StrCmp("S", "k", "va"), 0);
        EXPECT_EQ(a.StrICmp("S", "k", "VA"), 0);
        EXPECT_LT(a.StrCmp("S", "missing", "a"), 0);
    }
    EXPECT_EQ(shared.StringCount, 0u);
}

TEST(TXIniFile, EmptyNameUsesUnknownIniFileInTheCurrentFolder) {
    TTempDir dir;
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.Path);
    {
        TXIniFile ini("");
        EXPECT_EQ(ini.pr_FileName(), "UnknownIniFile.ini");
        ini.WriteString("S", "k", "v");
    }
    std::filesystem::current_path(previous);
    EXPECT_EQ(TTempDir::Read(dir.File("UnknownIniFile.ini")), "[S]\r\nk=v\r\n\r\n");
}

// Two key or section names with the same 64-bit hash are two entries: writing, reading and
// deleting one leaves the other, and both are saved.
TEST(TXIniFile, NamesSharingAHashStayApart) {
    TTempDir dir;
    const std::string path = dir.File("c.ini");
    const std::string a = "_yoOABAiIlF", b = "D6DqpRv1JaG";
    {
        TXIniFile ini(path);
        ini.WriteString("S", a, "one");
        EXPECT_FALSE(ini.KeyExists("S", b));
        EXPECT_EQ(ini.ReadString("S", b, "none"), "none");
        ini.WriteString("S", b, "two");
        EXPECT_EQ(ini.ReadString("S", a, ""), "one");
        EXPECT_EQ(ini.ReadString("S", b, ""), "two");
        ini.WriteString(a, "k", "in a");
        EXPECT_FALSE(ini.SectionExists(b));
        ini.WriteString(b, "k", "in b");
        EXPECT_EQ(ini.ReadString(a, "k", ""), "in a");
        ini.DeleteKey("S", a);
        EXPECT_EQ(ini.ReadString("S", b, ""), "two");
        EXPECT_FALSE(ini.KeyExists("S", a));
        ini.WriteString("S", a, "back");
        ini.EraseSection(b);
        EXPECT_EQ(ini.ReadString(a, "k", ""), "in a");
    }
    EXPECT_EQ(TTempDir::Read(path),
              "[S]\r\n" + b + "=two\r\n" + a + "=back\r\n\r\n[" + a + "]\r\nk=in a\r\n\r\n");
}
