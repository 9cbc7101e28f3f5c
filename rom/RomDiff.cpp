#include "RomDiff.h"

#include "RomImageReport.h"
#include "RomLayout.h"
#include "RomOptionFields.h"
#include "TRomImageReader.h"
#include "XVclUtil/Printf.h"

#include <algorithm>
#include <map>
#include <set>

namespace Rom {

namespace {

using XVclUtil::Format;
using TKind = TRomDifference::TKind;

class TDiffer {
public:
    TDiffer(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b) : A(a), B(b) {
        RA.Load(a);
        RB.Load(b);
    }

    std::vector<TRomDifference> Run() {
        Checks();
        Options();
        Cells();
        Pictures();
        CheckBytes();
        if (Out.empty()) RemainingBytes();
        return std::move(Out);
    }

private:
    void Add(TKind kind, std::string text, std::string picture = {}) {
        Out.push_back({kind, std::move(text), std::move(picture)});
    }

    // A check that fails in either image, once per image.
    void Checks() {
        for (const auto& [reader, side] : {std::pair{&RA, "A"}, std::pair{&RB, "B"}})
            for (const TRomCheck& c : reader->Checks())
                if (!c.Ok)
                    Add(TKind::Check, Format("%s fails check \"%s\": %s", side, c.Name.c_str(),
                                             c.Detail.c_str()));
    }

    std::span<const std::uint8_t> Block(std::span<const std::uint8_t> image) const {
        return image.subspan(CodeTableBlockOffset, CodeTableBlockSize);
    }

    void Options() {
        const auto a = Block(A), b = Block(B);
        std::set<std::size_t> named;
        for (const TOptionField& f : OptionFields()) {
            for (std::size_t i = 0; i < f.Length; ++i) named.insert(f.Offset + i);
            const std::size_t at = f.Offset - CodeTableBlockSource;
            if (std::equal(a.begin() + at, a.begin() + at + f.Length, b.begin() + at)) continue;
            Add(TKind::Option, Format("%s %s -> %s", f.Key, OptionFieldText(f, a).c_str(),
                                      OptionFieldText(f, b).c_str()));
        }
        // The signature, the fixed bytes and the bytes MAKE ROM leaves 0, byte by byte.
        for (std::size_t off = OptionsOffset; off < CodeTableBlockSource + CodeTableBlockSize - 1;
             ++off) {
            const std::size_t at = off - CodeTableBlockSource;
            if (named.count(off) || a[at] == b[at]) continue;
            Add(TKind::Option,
                Format("configuration byte 0x%04zX: %02X -> %02X", off, a[at], b[at]));
        }
    }

    static std::string Cell(std::uint8_t kind, std::uint8_t value) {
        const std::string text = CodeText(kind, value);
        bool printable = true;
        for (unsigned char c : text) printable = printable && c >= 0x20 && c < 0x7F;
        if (text.empty()) return "(empty)";
        return printable ? text : Format("(kind %02X, value %02X)", kind, value);
    }

    void Cells() {
        const auto a = Block(A), b = Block(B);
        for (std::size_t t = 0; t < CodeTableCount; ++t)
            for (std::size_t r = 0; r < CodeTableRows; ++r) {
                const std::size_t k = t * 512 + r, v = k + CodeTableRows;
                if (a[k] == b[k] && a[v] == b[v]) continue;
                Add(TKind::Cell, Format("CTBL%zu 0x%02zX: %s -> %s", t, r, Cell(a[k], a[v]).c_str(),
                                        Cell(b[k], b[v]).c_str()));
            }
    }

    static std::map<std::string, const TRomPicture*> ByName(const TRomImageReader& r) {
        std::map<std::string, const TRomPicture*> m;
        for (const TRomPicture& p : r.Pictures()) m.emplace(p.Name, &p);
        return m;
    }

    static std::string Shape(const TRomPicture& p) {
        return p.IsRecord ? Format("%dx%d", p.Width, p.Height) : Format("%zu bytes", p.Size);
    }

    static std::string Label(const std::string& name) {
        const std::string meaning = PictureSlotMeaning(name);
        return meaning.empty() ? name : name + " (" + meaning + ")";
    }

    void Pictures() {
        const auto a = ByName(RA), b = ByName(RB);
        std::vector<const TRomPicture*> order; // A's order, then what only B holds
        for (const TRomPicture& p : RA.Pictures()) order.push_back(&p);
        for (const TRomPicture& p : RB.Pictures())
            if (!a.count(p.Name)) order.push_back(&p);
        std::set<int> setsWithEntries; // sets whose own entries were reported
        for (const TRomPicture* p : order) {
            if (p->Kind == TPictureKind::Set) continue;
            const auto ia = a.find(p->Name), ib = b.find(p->Name);
            const std::string label = Label(p->Name);
            std::string line;
            if (ib == b.end())
                line = "picture " + label + ": only in A (" + Shape(*ia->second) + ")";
            else if (ia == a.end())
                line = "picture " + label + ": only in B (" + Shape(*ib->second) + ")";
            else {
                const auto pa = RA.Bytes(*ia->second), pb = RB.Bytes(*ib->second);
                if (std::equal(pa.begin(), pa.end(), pb.begin(), pb.end())) continue;
                line = "picture " + label + ": differs (" + Shape(*ia->second) + " -> " +
                       Shape(*ib->second) + ")";
            }
            if (p->SetEntry >= 0) setsWithEntries.insert(p->Index);
            Add(TKind::Picture, line, p->Name);
        }
        // A set whose pictures all agree can still differ in its own index.
        for (const TRomPicture* p : order) {
            if (p->Kind != TPictureKind::Set || setsWithEntries.count(p->Index)) continue;
            const auto ia = a.find(p->Name), ib = b.find(p->Name);
            if (ia == a.end() || ib == b.end()) {
                Add(TKind::Picture,
                    "picture " + Label(p->Name) + (ia == a.end() ? ": only in B" : ": only in A"),
                    p->Name);
                continue;
            }
            const auto pa = RA.Bytes(*ia->second), pb = RB.Bytes(*ib->second);
            if (!std::equal(pa.begin(), pa.end(), pb.begin(), pb.end()))
                Add(TKind::Picture, "picture " + Label(p->Name) + ": index differs", p->Name);
        }
    }

    void CheckBytes() {
        int pages = 0;
        std::string first;
        for (std::size_t i = 0; i < PageCount; ++i) {
            const std::size_t at = PageCheckOffset + i;
            if (A[at] == B[at]) continue;
            if (pages++ == 0)
                first = Format(", first page %zu (file offset 0x%05zX): %02X -> %02X", i,
                               PagedAreaOffset + i * PageSize, A[at], B[at]);
        }
        if (pages > 0)
            Add(TKind::CheckBytes, Format("check bytes: %d of %zu page check bytes differ%s", pages,
                                          PageCount, first.c_str()));
        const std::size_t crc = CodeTableBlockOffset + CodeTableBlockSize - 1;
        if (A[crc] != B[crc])
            Add(TKind::CheckBytes,
                Format("check bytes: code-table block check byte %02X -> %02X", A[crc], B[crc]));
    }

    // Bytes that none of the above explains (the head, the space after the pictures).
    void RemainingBytes() {
        std::size_t count = 0, first = 0;
        for (std::size_t i = 0; i < A.size() && i < B.size(); ++i)
            if (A[i] != B[i] && count++ == 0) first = i;
        if (A.size() != B.size())
            Add(TKind::Bytes, Format("size %zu -> %zu bytes", A.size(), B.size()));
        if (count > 0)
            Add(TKind::Bytes,
                Format("bytes: %zu differ, the first at file offset 0x%05zX", count, first));
    }

    std::span<const std::uint8_t> A, B;
    TRomImageReader RA, RB;
    std::vector<TRomDifference> Out;
};

} // namespace

std::vector<TRomDifference> DiffRomImages(std::span<const std::uint8_t> a,
                                          std::span<const std::uint8_t> b) {
    if (std::equal(a.begin(), a.end(), b.begin(), b.end())) return {};
    if (a.size() != RomImageSize || b.size() != RomImageSize)
        return {{TKind::Bytes, Format("size %zu -> %zu bytes", a.size(), b.size()), {}}};
    return TDiffer(a, b).Run();
}

std::string FormatDifferences(const std::vector<TRomDifference>& differences) {
    std::string text;
    for (const TRomDifference& d : differences) text += d.Text + "\n";
    return text;
}

} // namespace Rom
