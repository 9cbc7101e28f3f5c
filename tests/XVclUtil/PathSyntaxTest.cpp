// The path rules of both platforms from one table (tests/data/paths/path-rules.txt), so that the
// Windows rules are checked on every build; the Windows build checks the running platform's
// functions against the same table under Wine.

#include "XVclUtil/PathSyntax.h"
#include "PathSyntaxCases.h"

#include <gtest/gtest.h>

using namespace XVclUtil;

TEST(PathSyntax, RulesOfBothPlatformsFollowTheTable) {
    const std::vector<TPathCase> cases = ReadPathCases();
    ASSERT_GT(cases.size(), 30u);
    for (const TPathCase& c : cases) {
        const TPathSyntax& syntax = c.Windows ? WindowsPathSyntax : PosixPathSyntax;
        EXPECT_EQ(ApplyPathRule(c.Rule, syntax, c.Path, c.Base), c.Expected) << c.Line;
    }
}

TEST(PathSyntax, PlatformFunctionsFollowTheirOwnRows) {
    const TPathSyntax& platform = PlatformPathSyntax();
    for (const TPathCase& c : ReadPathCases()) {
        if (c.Windows != platform.Windows) continue;
        EXPECT_EQ(ApplyPlatformPathRule(c.Rule, c.Path, c.Base), c.Expected) << c.Line;
    }
}
