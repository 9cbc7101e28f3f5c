#pragma once
// The name a mistyped verb or option was most likely meant to be, for "did you mean ...?".

#include <string>
#include <vector>

namespace Cli {

// The candidate closest to typed by edit distance (insert, delete, replace, swap of two
// neighbours), or "" when none is close enough to be a plausible typo.
std::string NearestName(const std::string& typed, const std::vector<std::string>& candidates);

} // namespace Cli
