#pragma once
// The rows of tests/data/paths/path-rules.txt, and each rule applied to a row: by the rules of
// a given platform (PathSyntax.h) or by the running platform's own functions (PlatformPaths.h).

#include "XVclUtil/PathSyntax.h"
#include "XVclUtil/PlatformPaths.h"

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

struct TPathCase {
    bool Windows = false;
    std::string Rule, Path, Base, Expected, Line;
};

inline std::string TrimmedField(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    const std::string field = text.substr(first, text.find_last_not_of(' ') - first + 1);
    return field == "<empty>" ? std::string() : field;
}

inline std::vector<TPathCase> ReadPathCases() {
    const char* root = std::getenv("ZKF_TEST_DATA");
    std::ifstream in(std::string(root ? root : "tests/data") + "/paths/path-rules.txt");
    std::vector<TPathCase> cases;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> fields;
        for (std::size_t at = 0;;) {
            const std::size_t bar = line.find('|', at);
            fields.push_back(TrimmedField(line.substr(at, bar - at)));
            if (bar == std::string::npos) break;
            at = bar + 1;
        }
        if (fields.size() != 5) continue;
        cases.push_back({fields[0] == "windows", fields[1], fields[2], fields[3], fields[4], line});
    }
    return cases;
}

inline std::string YesNo(bool value) {
    return value ? "yes" : "no";
}

inline std::string ApplyPathRule(const std::string& rule, const XVclUtil::TPathSyntax& syntax,
                                 const std::string& path, const std::string& base) {
    if (rule == "absolute") return YesNo(XVclUtil::IsAbsolutePath(syntax, path));
    if (rule == "join") return XVclUtil::JoinPath(syntax, base, path);
    if (rule == "native") return XVclUtil::NativePath(syntax, path);
    if (rule == "make-absolute") return XVclUtil::AbsolutePath(syntax, path, base);
    return "unknown rule " + rule;
}

inline std::string ApplyPlatformPathRule(const std::string& rule, const std::string& path,
                                         const std::string& base) {
    if (rule == "absolute") return YesNo(XVclUtil::IsAbsolutePath(path));
    if (rule == "join") return XVclUtil::JoinPath(base, path);
    if (rule == "native") return XVclUtil::NativePath(path);
    if (rule == "make-absolute") return XVclUtil::AbsolutePath(path, base);
    return "unknown rule " + rule;
}
