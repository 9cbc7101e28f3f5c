#include "RomImageCompleteness.h"

#include "RomLayout.h"
#include "XVclUtil/Printf.h"

#include <array>
#include <set>

namespace Rom {

namespace {

using XVclUtil::Format;

constexpr int FirstLiftStateEntry = 150;
constexpr int LastLiftStateEntry = 189;
constexpr std::size_t MaxNamed = 12; // names listed before "..."

// A list of names, cut short after MaxNamed.
std::string NameList(const std::vector<std::string>& names) {
    std::string text;
    for (std::size_t i = 0; i < names.size() && i < MaxNamed; ++i)
        text += (i ? ", " : "") + names[i];
    if (names.size() > MaxNamed) text += Format(" and %zu more", names.size() - MaxNamed);
    return text;
}

// Picture n of the ROM picture index and, for a set, the entries it holds.
struct TIndexContents {
    std::array<bool, RomIndexEntries> Present{};
    std::array<std::set<int>, RomIndexEntries> SetEntries;
    bool Um[UmEntries] = {};
};

TIndexContents Contents(const TRomImageReader& reader) {
    TIndexContents c;
    for (const TRomPicture& p : reader.Pictures()) {
        if (p.Name.rfind("UM_", 0) == 0 && p.Index >= 0 && p.Index < int(UmEntries))
            c.Um[p.Index] = true;
        if (p.Name.rfind("M_", 0) != 0 || p.Index < 0 || p.Index >= int(RomIndexEntries)) continue;
        if (p.SetEntry < 0)
            c.Present[std::size_t(p.Index)] = true;
        else
            c.SetEntries[std::size_t(p.Index)].insert(p.SetEntry);
    }
    return c;
}

void LiftStates(const TIndexContents& c, std::vector<std::string>& out) {
    std::vector<std::string> empty;
    for (int n = FirstLiftStateEntry; n <= LastLiftStateEntry; ++n)
        if (!c.Present[std::size_t(n)]) empty.push_back(Format("M_%d", n));
    if (!empty.empty()) out.push_back("lift-state entries without a picture: " + NameList(empty));
}

std::string GlyphName(int code) {
    return code > 0x20 && code < 0x7F ? Format("\"%c\"", code) : Format("0x%02X", code);
}

// Every character a one- or two-character cell shows is a glyph of the chosen set, at the
// index of its character code.
void FloorGlyphs(const TDecodedCodeTableBlock& d, const TIndexContents& c,
                 std::vector<std::string>& out) {
    const int set = d.FloorSetEntry;
    const std::set<int> none;
    const std::set<int>& glyphs =
        set >= 0 && set < int(RomIndexEntries) ? c.SetEntries[std::size_t(set)] : none;
    std::set<int> missing;
    std::vector<std::string> cells;
    for (std::size_t t = 0; t < CodeTableCount; ++t)
        for (std::size_t r = 0; r < CodeTableRows; ++r) {
            const int kind = d.Tables.Kind[t][r], value = d.Tables.Value[t][r];
            if (kind == 254) continue; // a floor picture of the UBF block
            bool lacks = false;
            for (int code : {kind, value})
                if (code != 0 && !glyphs.count(code)) {
                    missing.insert(code);
                    lacks = true;
                }
            if (lacks) cells.push_back(Format("CTBL%zu-%02zX", t, r));
        }
    if (missing.empty()) return;
    std::vector<std::string> names;
    for (int code : missing) names.push_back(GlyphName(code));
    out.push_back(Format("floor-number set M_%d has no glyph for %s, used by ", set,
                         NameList(names).c_str()) +
                  NameList(cells));
}

} // namespace

std::vector<std::string> IncompleteImageWarnings(const TRomImageReader& reader) {
    std::vector<std::string> out;
    if (!reader.HasCodeTableBlock()) return out;
    const TDecodedCodeTableBlock& d = reader.CodeTableBlock();
    const TIndexContents c = Contents(reader);
    LiftStates(c, out);
    FloorGlyphs(d, c, out);
    const int arrows = d.ArrowSetEntry;
    if (arrows < 0 || arrows >= int(RomIndexEntries) || c.SetEntries[std::size_t(arrows)].empty())
        out.push_back(Format("arrow set M_%d (DIR style %d) is empty", arrows, d.Options.DEF_DIR));
    if (d.Options.CUSTOMERTITLE && !c.Um[1])
        out.push_back("customer title is ON but UM_1 holds no picture");
    if (d.Options.CUSLOGOENABLE && !c.Um[0])
        out.push_back("customer logo is ON but UM_0 holds no picture");
    return out;
}

} // namespace Rom
