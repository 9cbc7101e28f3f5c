// Paths and names as Windows users expect them, in the Windows build under Wine: the program
// folder ends in a backslash and the folders built from it use backslashes, and a file is
// found whatever the case of its name. The path rules of the running platform agree with the
// Windows rows of the table the native build checks.

#include "../XVclUtil/PathSyntaxCases.h"
#include "XVclUtil/FileUtil.h"
#include "app/core/TStartupContext.h"
#include "rom/TDiskWorkFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

TEST(WindowsPaths, ProgramDirAndItsFoldersUseBackslashes) {
    AppCore::TStartupContext context;
    context.SetProgramDir("C:\\Tools\\zkf780a");
    EXPECT_EQ(context.ProgramDir, "C:\\Tools\\zkf780a\\");
    EXPECT_EQ(context.FloorStylePrefix,
              "C:\\Tools\\zkf780a\\DefaultImage\\UserDefine\\Floor\\Style");
    context.SetStartDir("C:\\Work\\");
    EXPECT_EQ(context.StartDir, "C:\\Work");

    const std::string exeDir = AppCore::TStartupContext::ExecutableDir();
    ASSERT_FALSE(exeDir.empty());
    EXPECT_EQ(exeDir.back(), '\\');
    EXPECT_EQ(exeDir.find('/'), std::string::npos) << exeDir;
    EXPECT_TRUE(std::filesystem::is_directory(exeDir)) << exeDir;
}

TEST(WindowsPaths, FileNamesCompareWithoutRegardToCase) {
    const auto folder = std::filesystem::temp_directory_path() / "zkf780a-paths-test";
    std::filesystem::create_directories(folder);
    const std::string file = (folder / "Demo.ZKF").string();
    ASSERT_TRUE(XVclUtil::WriteWholeFile(file, std::vector<std::uint8_t>{1, 2, 3}));
    const std::string other = (folder / "dEMO.zkf").string();
    EXPECT_TRUE(XVclUtil::FileExists(other));
    EXPECT_EQ(XVclUtil::ReadWholeFile(other)->size(), 3u);
    EXPECT_TRUE(XVclUtil::FileExists(XVclUtil::ResolveFileCase(other)));
    std::filesystem::remove_all(folder);
}

TEST(WindowsPaths, PathRulesAreTheWindowsOnes) {
    EXPECT_EQ(XVclUtil::PathDelim, '\\');
    const std::vector<TPathCase> cases = ReadPathCases();
    ASSERT_GT(cases.size(), 30u) << "tests/data/paths/path-rules.txt not found";
    for (const TPathCase& c : cases) {
        if (!c.Windows) continue;
        EXPECT_EQ(ApplyPlatformPathRule(c.Rule, c.Path, c.Base), c.Expected) << c.Line;
    }
}

// A work folder given as "C:\..." takes full paths as they are and joins plain names.
TEST(WindowsPaths, WorkFolderTakesDriveAndUncPaths) {
    const auto folder = std::filesystem::temp_directory_path() / "zkf780a-work-folder-test";
    std::filesystem::create_directories(folder);
    const std::string dir = XVclUtil::NativePath(folder.string());
    Rom::TDiskWorkFolder work(dir);
    ASSERT_TRUE(work.Write("A.TMP", std::vector<std::uint8_t>{7}));
    EXPECT_TRUE(XVclUtil::FileExists(dir + "\\A.TMP"));
    EXPECT_TRUE(work.Exists(dir + "\\A.TMP"));
    EXPECT_TRUE(work.Exists(XVclUtil::NativePath(folder.string()) + "/A.TMP"));
    EXPECT_TRUE(work.Remove("A.TMP"));
    std::filesystem::remove_all(folder);
}
