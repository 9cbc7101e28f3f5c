#include "NearestName.h"

#include <algorithm>

namespace Cli {

namespace {

// Optimal string alignment distance: Levenshtein plus the swap of two neighbouring letters,
// the commonest typo.
std::size_t EditDistance(const std::string& a, const std::string& b) {
    std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
    for (std::size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
    for (std::size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i)
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t cost = a[i - 1] == b[j - 1] ? 0 : 1;
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + cost});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    return d[a.size()][b.size()];
}

} // namespace

std::string NearestName(const std::string& typed, const std::vector<std::string>& candidates) {
    // Arguments are short; a longer one is no typo of a name and costs nothing to skip.
    if (typed.size() > 64) return {};
    std::string best;
    std::size_t bestDistance = 0;
    for (const std::string& name : candidates) {
        const std::size_t distance = EditDistance(typed, name);
        if (best.empty() || distance < bestDistance) {
            best = name;
            bestDistance = distance;
        }
    }
    // A third of the name may be wrong, at least one letter, at most three.
    const std::size_t limit = std::clamp<std::size_t>(typed.size() / 3, 1, 3);
    return bestDistance <= limit ? best : std::string();
}

} // namespace Cli
