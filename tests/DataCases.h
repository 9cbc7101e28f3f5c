#pragma once
// Test cases kept as files: each input under tests/data/<set>/ with its expected output beside
// it as <case>.expected, so a case is added by adding two files. ZKF_UPDATE_GOLDEN=1 writes the
// actual output as the expected file instead of comparing (review the diff before committing).

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <vector>

namespace DataCases {

struct TCase {
    std::string Name;            // the input's file name without extension
    std::filesystem::path Input; // <case><ext>
    std::filesystem::path Expected;
};

// tests/data, from ZKF_TEST_DATA (set by CTest) or beside this header when run by hand.
inline std::filesystem::path DataFolder() {
    if (const char* data = std::getenv("ZKF_TEST_DATA")) return data;
    std::filesystem::path here = __FILE__;
    if (here.is_relative()) { // relative to the build folder, one above the test binaries
        std::error_code ec;
        const auto exe = std::filesystem::canonical("/proc/self/exe", ec);
        if (!ec) here = exe.parent_path().parent_path() / here;
    }
    return here.parent_path() / "data";
}

// Every <case><ext> in tests/data/<set>, in name order.
inline std::vector<TCase> List(const std::string& set, const std::string& ext) {
    std::vector<TCase> cases;
    for (const auto& entry : std::filesystem::directory_iterator(DataFolder() / set)) {
        const std::filesystem::path& path = entry.path();
        if (!entry.is_regular_file() || path.extension() != ext) continue;
        std::filesystem::path expected = path;
        expected.replace_extension(".expected");
        cases.push_back({path.stem().string(), path, expected});
    }
    std::sort(cases.begin(), cases.end(),
              [](const TCase& a, const TCase& b) { return a.Name < b.Name; });
    return cases;
}

inline std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Bytes as one readable line: printable ASCII as it is, a backslash doubled, tab, CR and LF as
// \t \r \n, other bytes as \xHH, and a run of 32 or more equal bytes as \{count*byte}.
inline std::string Escape(const std::string& bytes) {
    std::string out;
    for (std::size_t i = 0; i < bytes.size();) {
        std::size_t run = 1;
        while (i + run < bytes.size() && bytes[i + run] == bytes[i]) ++run;
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        std::string one;
        if (c == '\\')
            one = "\\\\";
        else if (c == '\t')
            one = "\\t";
        else if (c == '\r')
            one = "\\r";
        else if (c == '\n')
            one = "\\n";
        else if (c >= 0x20 && c < 0x7F)
            one = std::string(1, char(c));
        else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            one = hex;
        }
        if (run >= 32) {
            out += "\\{" + std::to_string(run) + "*" + one + "}";
            i += run;
        } else {
            out += one;
            ++i;
        }
    }
    return out;
}

// Compares actual with the case's expected file, or rewrites that file under ZKF_UPDATE_GOLDEN.
inline void Check(const TCase& c, const std::string& actual) {
    if (std::getenv("ZKF_UPDATE_GOLDEN")) {
        std::ofstream(c.Expected, std::ios::binary) << actual;
        return;
    }
    ASSERT_TRUE(std::filesystem::exists(c.Expected))
        << c.Expected << " is missing (ZKF_UPDATE_GOLDEN=1 writes it)";
    EXPECT_EQ(actual, ReadBytes(c.Expected)) << "case " << c.Name << " (" << c.Expected << ")";
}

} // namespace DataCases
