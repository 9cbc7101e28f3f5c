#include "RomRecovery.h"

#include "EPictureLoad.h"
#include "RomOptionFields.h"
#include "TConfigBlock.h"
#include "TRomImageReader.h"
#include "XVclUtil/Printf.h"

#include <algorithm>
#include <map>
#include <set>

namespace Rom {

using XVclUtil::Format;

std::string FloorPictureName(int n) {
    return Format("UBF_%d", n);
}

namespace {

using TMaybeBytes = std::optional<TBytes>;

// A byte a cell can hold and give back unchanged: not trimmed away, not changed to upper case.
bool Typeable(unsigned c) {
    return c > 0x20 && c != 0x7F && !(c >= 'a' && c <= 'z');
}

bool Same(const TMaybeBytes& a, const TMaybeBytes& b) {
    return a.has_value() == b.has_value() && (!a || *a == *b);
}

const char* const WeekLanguages[3] = {"Chinese", "Deutsch", "Spanish"};

class TRecoverer {
public:
    TRecoverer(const TRecoveryInput& in, TRecoveredProject& out) : In(in), Out(out) {}

    bool Run(std::span<const std::uint8_t> image, std::string& error) {
        if (image.size() != RomImageSize) {
            error = Format("it holds %zu bytes; a ROM image holds %zu", image.size(), RomImageSize);
            return false;
        }
        if (!Reader.Load(image)) {
            error = "it is damaged: " + RomImageProblem(image);
            return false;
        }
        Block = image.subspan(CodeTableBlockOffset, CodeTableBlockSize);
        for (const TRomPicture& p : Reader.Pictures()) ByName.emplace(p.Name, &p);
        Out = TRecoveredProject{};
        HasLibrary = In.Library && In.Library(0, 0).State != TLibraryEntry::TState::NoLibrary;
        DisplayType();
        Options();
        WeekLanguage();
        Cells();
        FloorPictures();
        Titles();
        Logo();
        LiftStates();
        Model();
        CompareBlock();
        Out.Notes.push_back(
            "floor picture names are not stored in a ROM image: the floor "
            "pictures are named UBF_0, UBF_1, ... in the order the image holds them");
        Out.Notes.push_back("the project memo is not stored in a ROM image");
        return true;
    }

private:
    TMaybeBytes ImageBytes(const std::string& name) const {
        const auto it = ByName.find(name);
        if (it == ByName.end()) return std::nullopt;
        const auto bytes = Reader.Bytes(*it->second);
        return TBytes(bytes.begin(), bytes.end());
    }
    const TRomPicture* Picture(const std::string& name) const {
        const auto it = ByName.find(name);
        return it == ByName.end() ? nullptr : it->second;
    }
    TMaybeBytes LibRaw(int group, int index) const {
        if (!HasLibrary || group < 0 || index < 0 || index > 255) return std::nullopt;
        const TLibraryEntry e = In.Library(group, index);
        if (e.State != TLibraryEntry::TState::Found || e.Bytes.empty()) return std::nullopt;
        return TBytes(e.Bytes.begin(), e.Bytes.end());
    }
    static TMaybeBytes Record(const TMaybeBytes& file, TDisplayType type) {
        if (!file) return std::nullopt;
        try {
            return EncodeMonoRecord(LoadPictureData(*file, "library picture"), type);
        } catch (const EPictureLoad&) {
            return std::nullopt;
        }
    }
    TMaybeBytes LibRecord(int group, int index) const {
        return Record(LibRaw(group, index), Out.DisplayType);
    }
    bool Vertical() const { return Out.DisplayType == TDisplayType::Vertical; }

    // The picture a rebuild must encode to give the stored record back.
    TPicture Upright(const TRomPicture& p) const {
        const TPicture stored = Reader.StoredImage(p);
        return Vertical() && !stored.IsNull() ? TurnedClockwise(stored) : stored;
    }
    void AddPicture(TRecoveredRole role, int slot, std::string file, const std::string& name) {
        const TRomPicture* p = Picture(name);
        if (!p || !p->IsRecord) {
            Out.Lost.push_back(name + " is no picture record and cannot be written as a file");
            return;
        }
        Out.Pictures.push_back({role, slot, std::move(file), Upright(*p)});
    }
    void Lose(const std::string& key, const std::string& line) {
        LostKeys.insert(key);
        Out.Lost.push_back(line);
    }

    // Library pictures that only one display type gives decide it; else the picture shapes.
    void DisplayType() {
        int score[2] = {0, 0};
        for (const TDisplayType type : {TDisplayType::Horizontal, TDisplayType::Vertical}) {
            const bool v = type == TDisplayType::Vertical;
            int& s = score[v ? 1 : 0];
            for (int j = 0; j < 3; ++j)
                if (auto img = ImageBytes(Format("M_%d", 1 + j));
                    img && Same(img, LibRaw(0, (v ? 1 : 6) + j)))
                    ++s;
            if (auto img = ImageBytes("M_4"); img && Same(img, Record(LibRaw(0, v ? 4 : 9), type)))
                ++s;
            if (auto img = ImageBytes("M_211");
                img && Same(img, Record(LibRaw(v ? 6 : 7, 12), type)))
                ++s;
        }
        if (score[0] != score[1]) {
            Out.DisplayType =
                score[1] > score[0] ? TDisplayType::Vertical : TDisplayType::Horizontal;
            Out.Notes.push_back(std::string("display type: ") +
                                (Vertical() ? "Vertical" : "Horizontal") +
                                " (the library pictures of that display type are in the image)");
        } else {
            Out.DisplayType = Reader.DisplayType();
            Out.Notes.push_back(std::string("display type: ") +
                                (Vertical() ? "Vertical" : "Horizontal") +
                                " (judged from the shape of the pictures)");
        }
    }

    void Flag(const char* key, int& field, int count, int fallback) {
        if (field >= 0 && field < count) return;
        Lose(key, Format("%s: the image holds %d, which no project gives", key, field));
        field = fallback;
    }

    void Options() {
        const TDecodedCodeTableBlock& d = Reader.CodeTableBlock();
        TRomOptions& o = Out.Options;
        o = d.Options;
        Flag("DEF_DIR", o.DEF_DIR, 12, 0);
        Flag("DEF_FL", o.DEF_FL, 5, 0);
        Flag("DATEFORMAT", o.DATEFORMAT, 2, 0);
        Flag("CUSTOMERTITLE", o.CUSTOMERTITLE, 2, 1);
        Flag("DPDATETIME", o.DPDATETIME, 2, 1);
        Flag("WEEKTYPE", o.WEEKTYPE, 2, 1);
        Flag("FLFRAME", o.FLFRAME, 2, 0);
        Flag("DEFCODETABLE", o.DEFCODETABLE, 6, 0);
        Flag("PWRSAVING", o.PWRSAVING, 17, 0);
        if (o.DPSTYLE != 1 && o.DPSTYLE != 2) {
            Lose("DPSTYLE",
                 Format("DPSTYLE: the image holds %d, which no project gives", o.DPSTYLE));
            o.DPSTYLE = 1;
        }
        OutDate();
        IdCode();
    }

    std::span<const std::uint8_t> Field(std::size_t offset, std::size_t n) const {
        return Block.subspan(offset - CodeTableBlockSource, n);
    }

    void OutDate() {
        const auto bytes = Field(OptOutDate, 6);
        const std::string text(bytes.begin(), bytes.end());
        const bool digits =
            std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
        Out.Options.OUTDATE = text == "000000" || !digits ? "" : text;
        if (!digits)
            Lose("OUTDATE", "OUTDATE: the image holds bytes that are not six digits; a project's "
                            "date must be six digits");
    }

    void IdCode() {
        const auto bytes = Field(OptIdCode, 4);
        std::size_t n = 0;
        while (n < 4 && bytes[n] != 0) ++n;
        const std::string text(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n));
        bool ok = n > 0 && std::all_of(bytes.begin() + static_cast<std::ptrdiff_t>(n), bytes.end(),
                                       [](std::uint8_t c) { return c == 0; });
        for (unsigned char c : text) ok = ok && c >= 0x20 && c != 0x7F;
        ok = ok && static_cast<unsigned char>(text.front()) > 0x20 &&
             static_cast<unsigned char>(text.back()) > 0x20;
        Out.Options.CUSIDCODE = !ok || text == DefaultIdCode ? "" : text;
        if (!ok)
            Lose("CUSIDCODE",
                 "CUSIDCODE: the image holds bytes no ID code typed into a project gives");
    }

    void WeekLanguage() {
        TRomOptions& o = Out.Options;
        o.WEEKLANG = 0;
        if (!HasLibrary) {
            Out.Notes.push_back("week language: no picture library to compare the month names "
                                "with; Chinese is assumed");
            return;
        }
        const int group = Vertical() ? 6 : 7;
        int found = -1;
        for (int lang = 0; lang < 3 && found < 0; ++lang) {
            bool all = true;
            for (int j = 0; j < 7; ++j)
                all = all && Same(ImageBytes(Format("M_%d", 143 + j)),
                                  LibRecord(group, 32 + 20 * lang + j));
            if (o.WEEKTYPE == 0)
                for (int j = 0; j < 12; ++j)
                    all = all && Same(ImageBytes(Format("M_%d", 231 + j)),
                                      LibRecord(group, 20 + 20 * lang + j));
            if (all) found = lang;
        }
        if (found < 0) {
            Out.Lost.push_back("WEEKLANG: the month and week names match no language of the "
                               "picture library; Chinese is assumed");
            return;
        }
        if (o.WEEKTYPE == 0) {
            o.WEEKLANG = found;
        } else if (found != 0) {
            Out.Lost.push_back(std::string("WEEKLANG: month names in ") + WeekLanguages[found] +
                               " with English week names; a project keeps its week language "
                               "only while that language is chosen for the week names");
        }
    }

    void Cells() {
        const TCodeTables& tables = Reader.CodeTableBlock().Tables;
        const int floors = Reader.FloorPictureCount();
        int lost = 0;
        bool any = false;
        for (std::size_t t = 0; t < CodeTableCount; ++t)
            for (std::size_t r = 0; r < CodeTableRows; ++r) {
                const unsigned k = tables.Kind[t][r], v = tables.Value[t][r];
                std::string& cell = Out.Cells[t][r];
                if (k == 254 && static_cast<int>(v) < floors) {
                    cell = FloorPictureName(static_cast<int>(v));
                    if (std::find(FirstUse.begin(), FirstUse.end(), int(v)) == FirstUse.end())
                        FirstUse.push_back(static_cast<int>(v));
                } else if (k == 0 && v == 0) {
                    continue;
                } else if (k == 0 && Typeable(v)) {
                    cell = std::string(1, static_cast<char>(v));
                } else if (k != 0 && k != '0' && Typeable(k) && Typeable(v)) {
                    cell = {static_cast<char>(k), static_cast<char>(v)};
                } else {
                    if (++lost <= 8)
                        Lose(Format("CTBL%zu", t),
                             Format("CTBL%zu 0x%02zX: kind %02X, value %02X is no text a cell "
                                    "can hold; the cell is left empty",
                                    t, r, k, v));
                    continue;
                }
                any = true;
            }
        if (lost > 8) Out.Lost.push_back(Format("... and %d more such cells", lost - 8));
        if (!any)
            Out.Lost.push_back("every code table is empty: MAKE ROM builds no image from such a "
                               "project (\"All CTBL is empty!!\")");
    }

    void FloorPictures() {
        const int floors = Reader.FloorPictureCount();
        for (int n = 0; n < floors; ++n)
            AddPicture(TRecoveredRole::Floor, n, FloorPictureName(n) + ".bmp", FloorPictureName(n));
        bool inOrder = static_cast<int>(FirstUse.size()) == floors;
        for (std::size_t i = 0; inOrder && i < FirstUse.size(); ++i)
            inOrder = FirstUse[i] == static_cast<int>(i);
        if (static_cast<int>(FirstUse.size()) < floors)
            Out.Lost.push_back(Format("%d of the %d floor pictures are named in no code table; a "
                                      "rebuild leaves them out",
                                      floors - static_cast<int>(FirstUse.size()), floors));
        else if (!inOrder)
            Out.Lost.push_back("the floor pictures are not stored in the order the code tables "
                               "first name them; a rebuild stores them in that order");
    }

    // A title is written as a file unless the library gives the same picture.
    void Title(const char* name, int libraryIndex, TRecoveredRole role, const char* file,
               const char* what) {
        const TMaybeBytes image = ImageBytes(name);
        const TMaybeBytes library = LibRecord(0, libraryIndex);
        if (HasLibrary && Same(image, library)) return;
        if (image) {
            AddPicture(role, 0, file, name);
        } else if (library) {
            Out.Lost.push_back(std::string(what) + ": the image holds none where the library has "
                                                   "one; a rebuild takes the library's");
        }
    }

    void Titles() {
        if (Vertical())
            Title("UM_1", 0, TRecoveredRole::TitleV, "TITLE_V.bmp", "customer title");
        else
            Title("UM_1", 5, TRecoveredRole::TitleH, "TITLE_H.bmp", "customer title");
        Title("UM_2", 222, TRecoveredRole::Title2, "TITLE_2.bmp", "customer title 2");
    }

    void Logo() {
        TRomOptions& o = Out.Options;
        const int seconds = Reader.CodeTableBlock().LogoSeconds;
        const bool picture = Picture("UM_0") != nullptr;
        o.SWAPTIME = 0;
        if (o.CUSLOGOENABLE == 1) {
            if (seconds >= 1 && seconds <= 30)
                o.SWAPTIME = seconds - 1;
            else
                Lose("SWAPTIME", Format("SWAPTIME: the logo shows for %d seconds; a project "
                                        "gives 1 to 30",
                                        seconds));
            if (picture)
                AddPicture(TRecoveredRole::Logo, 0, "LOGO.bmp", "UM_0");
            else
                Lose("CUSLOGOENABLE", "CUSLOGOENABLE: the logo is ON without a logo picture; a "
                                      "project without its logo file loads with the logo OFF");
        } else {
            if (o.CUSLOGOENABLE != 0)
                Lose("CUSLOGOENABLE", Format("CUSLOGOENABLE: the image holds %d, which no project "
                                             "gives",
                                             o.CUSLOGOENABLE));
            if (seconds != 0)
                Lose("SWAPTIME", "SWAPTIME: a logo time with the logo OFF, which no project gives");
            if (picture)
                Out.Lost.push_back("customer logo: the image holds a logo picture with the logo "
                                   "OFF; a project keeps its logo only while the logo is ON");
            o.CUSLOGOENABLE = 0;
        }
    }

    void LiftStates() {
        int replaced = 0;
        for (int s = 0; s < 10; ++s)
            for (int v = 0; v < 4; ++v) {
                const int slot = 4 * s + v;
                const std::string name = Format("M_%d", 150 + 10 * v + s);
                const TMaybeBytes image = ImageBytes(name);
                TLiftStateSource& source = Out.LiftStates[static_cast<std::size_t>(slot)];
                if (!image) {
                    source = TLiftStateSource::Absent;
                    continue;
                }
                const TMaybeBytes def = In.DefaultLiftState
                                            ? Record(In.DefaultLiftState(slot), Out.DisplayType)
                                            : std::nullopt;
                if (Same(image, def)) {
                    source = TLiftStateSource::Default;
                    continue;
                }
                source = TLiftStateSource::File;
                AddPicture(TRecoveredRole::LiftState, slot, "", name);
                ++replaced;
            }
        Out.Notes.push_back(
            Format("lift-state pictures: %d differ from the default pictures", replaced));
    }

    // What model's PM pictures (and configuration block head and tail) differ from the image.
    std::string ModelDifferences(const TModelSettings& m) const {
        std::string diff;
        auto note = [&](const std::string& what) { diff += (diff.empty() ? "" : ", ") + what; };
        if (m.BANK < 0 || m.BANK > 255 || m.OFFSET < 0 || m.OFFSET > 252 || m.SETOFFSET < 0 ||
            m.SETOFFSET > 252)
            return "settings out of range";
        const int pair = Vertical() ? 2 : 0;
        const int index[4] = {m.OFFSET + pair, m.OFFSET + pair + 1, m.SETOFFSET + pair,
                              m.SETOFFSET + pair + 1};
        for (int k = 0; k < 4; ++k)
            if (!Same(ImageBytes(Format("PM_%d", k)), LibRaw(m.BANK, index[k])))
                note(Format("PM_%d (library %d, %d)", k, m.BANK, index[k]));
        if (In.SideFile) {
            const TBytes& side = *In.SideFile;
            if (m.OUTCPUBIN != 1) {
                note("writes no side file");
            } else if (side.size() != ConfigBlockSize) {
                note("side file size");
            } else {
                auto region = [&](int entry, std::size_t at, std::size_t size, const char* what) {
                    TBytes want(size, 0);
                    if (auto lib = LibRaw(0, entry))
                        std::copy_n(lib->begin(), std::min(size, lib->size()), want.begin());
                    if (!std::equal(want.begin(), want.end(),
                                    side.begin() + static_cast<std::ptrdiff_t>(at)))
                        note(Format("%s (library 0, %d)", what, entry));
                };
                region(m.CFI, CfiOffset, CfiSize, "CFI");
                region(m.IFI, IfiOffset, IfiCapacity, "IFI");
            }
        }
        return diff;
    }

    void Model() {
        if (!HasLibrary || In.Models.empty()) {
            Out.Lost.push_back(std::string("model: ") +
                               (!HasLibrary ? "no picture library" : "no model list") +
                               " to compare the PM block with; the first model is taken");
            return;
        }
        std::vector<std::string> others, differ;
        for (const TModelSettings& m : In.Models) {
            const std::string d = ModelDifferences(m);
            if (!d.empty())
                differ.push_back(m.Name + ": " + d);
            else if (Out.Model.empty())
                Out.Model = m.Name;
            else
                others.push_back(m.Name);
        }
        if (Out.Model.empty()) {
            std::string text = "model: no model of the settings file reproduces the PM block";
            if (In.SideFile) text += " and the side file";
            for (const std::string& line : differ) text += "\n  " + line + " differ";
            Out.Lost.push_back(text);
            return;
        }
        std::string note = "model: " + Out.Model;
        if (!others.empty()) {
            note += " (";
            for (std::size_t i = 0; i < others.size(); ++i) note += (i ? ", " : "") + others[i];
            note += " give the same image)";
        }
        if (!In.SideFile)
            note += "; no side file beside the image, so CFI and IFI are not compared";
        Out.Notes.push_back(note);
    }

    // The code-table block a rebuild writes, against the image's: any byte still unexplained.
    void CompareBlock() {
        TCodeTables tables;
        std::map<std::string, int> floors;
        for (int n = 0; n < Reader.FloorPictureCount(); ++n) floors[FloorPictureName(n)] = n;
        for (std::size_t t = 0; t < CodeTableCount; ++t)
            for (std::size_t r = 0; r < CodeTableRows; ++r) {
                const std::string& cell = Out.Cells[t][r];
                std::uint8_t& k = tables.Kind[t][r];
                std::uint8_t& v = tables.Value[t][r];
                if (const auto it = floors.find(cell); it != floors.end()) {
                    k = 254;
                    v = static_cast<std::uint8_t>(it->second);
                } else if (cell.size() == 1) {
                    v = static_cast<std::uint8_t>(cell[0]);
                } else if (cell.size() == 2) {
                    k = cell[0] == '0' ? 0 : static_cast<std::uint8_t>(cell[0]);
                    v = static_cast<std::uint8_t>(cell[1]);
                }
            }
        TConfigBlock config;
        config.Fill(Out.Options, tables);
        const auto rebuilt = config.CodeTableBlock();
        std::set<std::string> reported;
        for (std::size_t i = 0; i + 1 < CodeTableBlockSize; ++i) {
            if (rebuilt[i] == Block[i]) continue;
            const std::size_t off = CodeTableBlockSource + i;
            std::string key = Format("configuration byte 0x%04zX", off);
            if (off < OptionsOffset) key = Format("CTBL%zu", (off - CodeTablesOffset) / 512);
            for (const TOptionField& f : OptionFields())
                if (off >= f.Offset && off < f.Offset + f.Length) key = f.Key;
            if (LostKeys.count(key) || !reported.insert(key).second) continue;
            Out.Lost.push_back(key + ": the image holds bytes a rebuild does not write");
        }
    }

    const TRecoveryInput& In;
    TRecoveredProject& Out;
    TRomImageReader Reader;
    std::span<const std::uint8_t> Block;
    std::map<std::string, const TRomPicture*> ByName;
    bool HasLibrary = false;
    std::vector<int> FirstUse;
    std::set<std::string> LostKeys;
};

} // namespace

bool RecoverProject(std::span<const std::uint8_t> image, const TRecoveryInput& input,
                    TRecoveredProject& out, std::string& error) {
    return TRecoverer(input, out).Run(image, error);
}

} // namespace Rom
