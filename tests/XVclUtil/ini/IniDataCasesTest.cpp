// The INI reader against the cases in tests/data/ini: each <case>.ini is loaded and its document
// written out as "section/key=value" lines in document order (bytes escaped as in DataCases.h),
// followed by any message the engine showed. A case is added as a file pair.

#include "DataCases.h"
#include "XVclUtil/MessageBox.h"
#include "XVclUtil/TempDir.h"
#include "XVclUtil/ini/TXIniFile.h"

#include <gtest/gtest.h>

using namespace XVclUtil;

namespace {

std::string DumpDocument(TXIniFile& ini) {
    std::string dump;
    for (const std::string& section : ini.SectionNames()) {
        for (const std::string& key : ini.KeyNames(section)) {
            dump += DataCases::Escape(section) + "/" + DataCases::Escape(key);
            if (ini.ValueExists(section, key))
                dump += "=" + DataCases::Escape(ini.ReadString(section, key, ""));
            dump += "\n";
        }
    }
    return dump;
}

} // namespace

TEST(IniDataCases, EveryCaseLoadsAsExpected) {
    const std::vector<DataCases::TCase> cases = DataCases::List("ini", ".ini");
    ASSERT_FALSE(cases.empty()) << DataCases::DataFolder();
    for (const DataCases::TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TTempDir dir;
        const std::string path = dir.File(c.Input.filename().string());
        const std::string bytes = DataCases::ReadBytes(c.Input);
        TTempDir::Write(path, bytes);
        TMessageCapture messages;
        std::string dump;
        {
            TXIniFile ini(path);
            dump = DumpDocument(ini);
        }
        for (const auto& [caption, text] : messages.Messages)
            dump += "message " + caption + ": " + DataCases::Escape(text) + "\n";
        DataCases::Check(c, dump);
        EXPECT_EQ(TTempDir::Read(path), bytes) << "reading changed the file";
    }
}
