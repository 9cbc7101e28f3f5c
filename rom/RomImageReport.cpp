#include "RomImageReport.h"

#include "RomImageCompleteness.h"
#include "RomLayout.h"
#include "RomOptions.h"
#include "TJsonValue.h"
#include "XVclUtil/Printf.h"

namespace Rom {

namespace {

using XVclUtil::Format;

const char* KindName(TPictureKind kind) {
    switch (kind) {
    case TPictureKind::Mono:
        return "record";
    case TPictureKind::Raw:
        return "raw";
    case TPictureKind::Set:
        return "set";
    case TPictureKind::Block:
        return "block";
    }
    return "";
}

const char* OnOff(int v) {
    return v ? "ON" : "OFF";
}

// Option lines as (label, value) pairs, shared by the text and the JSON report.
std::vector<std::pair<std::string, std::string>> OptionLines(const TDecodedCodeTableBlock& d) {
    const TRomOptions& o = d.Options;
    const int pwr = o.PWRSAVING >= 0 && o.PWRSAVING < 17 ? PowerSavingSeconds[o.PWRSAVING] : -1;
    return {
        {"arrow set", Format("M_%d (DIR style %d)", d.ArrowSetEntry, o.DEF_DIR)},
        {"floor-number set", Format("M_%d (FL style %d)", d.FloorSetEntry, o.DEF_FL)},
        {"date format", o.DATEFORMAT ? "DD MMM YYYY" : "YYYY / MM / DD"},
        {"customer title", OnOff(o.CUSTOMERTITLE)},
        {"message variants", Format("%d", o.DEF_MSG)},
        {"date-time display", OnOff(o.DPDATETIME)},
        {"date (YYMMDD)", o.OUTDATE},
        {"week format", o.WEEKTYPE ? "English" : "listed language"},
        {"FL.Frame", OnOff(o.FLFRAME)},
        {"default CTBL", Format("%d", o.DEFCODETABLE)},
        {"ID code", "\"" + o.CUSIDCODE + "\""},
        {"customer logo", o.CUSLOGOENABLE ? Format("ON, %d s", d.LogoSeconds) : std::string("OFF")},
        {"LCD BL power saving", pwr < 0 ? Format("item %d", o.PWRSAVING) : Format("%d s", pwr)},
        {"H_Style", o.DPSTYLE == 2   ? "Left"
                    : o.DPSTYLE == 1 ? "Right"
                                     : Format("%d", o.DPSTYLE)},
    };
}

std::string Printable(const std::string& s) {
    std::string out;
    for (unsigned char c : s)
        out +=
            (c >= 0x20 && c < 0x7F) ? std::string(1, static_cast<char>(c)) : Format("\\x%02X", c);
    return out;
}

void AppendCodeTables(std::string& out, const TCodeTables& tables) {
    for (std::size_t t = 0; t < CodeTableCount; ++t) {
        std::string line;
        int codes = 0;
        std::string body;
        std::size_t width = 0;
        for (std::size_t r = 0; r < CodeTableRows; ++r) {
            std::string text = CodeText(tables.Kind[t][r], tables.Value[t][r]);
            if (text.empty()) continue;
            ++codes;
            std::string item = Format("%02zX=%s", r, Printable(text).c_str());
            if (width + item.size() + 1 > 92) {
                body += "\n        ";
                width = 0;
            }
            body += (width ? " " : "") + item;
            width += item.size() + 1;
        }
        out +=
            Format("  CTBL%zu  %d codes%s%s\n", t, codes, codes ? "\n        " : "", body.c_str());
    }
}

} // namespace

std::string CodeText(std::uint8_t kind, std::uint8_t value) {
    if (kind == 254) return Format("UBF_%d", value);
    std::string text;
    if (kind != 0) text += static_cast<char>(kind);
    if (value != 0) text += static_cast<char>(value);
    return text;
}

std::string FormatInspectText(const TRomImageReader& reader, const std::string& fileName) {
    std::string out = Format("%s\n\nchecks:\n", fileName.c_str());
    int failed = 0;
    for (const TRomCheck& c : reader.Checks()) {
        out += Format("  %-4s  %-30s %s\n", c.Ok ? "ok" : "FAIL", c.Name.c_str(), c.Detail.c_str());
        failed += c.Ok ? 0 : 1;
    }
    if (reader.HasCodeTableBlock()) {
        out += "\noptions:\n";
        for (const auto& [label, value] : OptionLines(reader.CodeTableBlock()))
            out += Format("  %-22s %s\n", label.c_str(), Printable(value).c_str());
        out += "\ncode tables:\n";
        AppendCodeTables(out, reader.CodeTableBlock().Tables);
        out += Format("\ndisplay type (judged from the picture shapes): %s\n",
                      reader.DisplayType() == TDisplayType::Vertical ? "Vertical" : "Horizontal");
        out += Format("\npictures: %zu (floor pictures in UBF: %d; empty index entries: %d)\n",
                      reader.Pictures().size(), reader.FloorPictureCount(),
                      reader.EmptyIndexEntries());
        for (const TRomPicture& p : reader.Pictures()) {
            std::string what =
                p.IsRecord ? Format("%d x %d", p.Width, p.Height) : Format("%zu bytes", p.Size);
            if (p.Kind == TPictureKind::Set)
                what = Format("%d pictures, %zu bytes", p.SetPictures, p.Size);
            out += Format("  %-9s %-6s 0x%05X  %s\n", p.Name.c_str(), KindName(p.Kind), p.Address,
                          what.c_str());
        }
    }
    const std::vector<std::string> warnings = IncompleteImageWarnings(reader);
    if (!warnings.empty()) out += "\n";
    for (const std::string& warning : warnings) out += "warning: " + warning + "\n";
    out += failed ? Format("\nresult: %d check%s failed\n", failed, failed == 1 ? "" : "s")
                  : std::string("\nresult: every check holds\n");
    return out;
}

std::string FormatInspectJson(const TRomImageReader& reader, const std::string& fileName) {
    TJsonValue root = TJsonValue::Object();
    root["file"] = fileName;
    root["ok"] = reader.AllChecksPass();
    TJsonValue checks = TJsonValue::Array();
    for (const TRomCheck& c : reader.Checks()) {
        TJsonValue check = TJsonValue::Object();
        check["name"] = c.Name;
        check["ok"] = c.Ok;
        check["detail"] = c.Detail;
        checks.Append(std::move(check));
    }
    root["checks"] = std::move(checks);
    if (reader.HasCodeTableBlock()) {
        TJsonValue& options = root["options"] = TJsonValue::Object();
        for (const auto& [label, value] : OptionLines(reader.CodeTableBlock()))
            options[label] = Printable(value);
        TJsonValue tables = TJsonValue::Array();
        const TCodeTables& t = reader.CodeTableBlock().Tables;
        for (std::size_t i = 0; i < CodeTableCount; ++i) {
            TJsonValue codes = TJsonValue::Array();
            for (std::size_t r = 0; r < CodeTableRows; ++r) {
                const std::string text = CodeText(t.Kind[i][r], t.Value[i][r]);
                if (text.empty()) continue;
                TJsonValue code = TJsonValue::Object();
                code["code"] = static_cast<int>(r);
                code["kind"] = t.Kind[i][r];
                code["value"] = t.Value[i][r];
                code["text"] = Printable(text);
                codes.Append(std::move(code));
            }
            tables.Append(std::move(codes));
        }
        root["codeTables"] = std::move(tables);
        root["displayType"] =
            reader.DisplayType() == TDisplayType::Vertical ? "Vertical" : "Horizontal";
        TJsonValue pictures = TJsonValue::Array();
        for (const TRomPicture& p : reader.Pictures()) {
            TJsonValue o = TJsonValue::Object();
            o["name"] = p.Name;
            o["kind"] = KindName(p.Kind);
            o["address"] = static_cast<long long>(p.Address);
            o["fileOffset"] = static_cast<long long>(p.FileOffset);
            o["size"] = static_cast<long long>(p.Size);
            if (p.IsRecord) {
                o["width"] = p.Width;
                o["height"] = p.Height;
            }
            if (p.Kind == TPictureKind::Set) o["pictures"] = p.SetPictures;
            pictures.Append(std::move(o));
        }
        root["pictures"] = std::move(pictures);
        root["emptyIndexEntries"] = reader.EmptyIndexEntries();
        TJsonValue warnings = TJsonValue::Array();
        for (const std::string& warning : IncompleteImageWarnings(reader))
            warnings.Append(TJsonValue(warning));
        root["warnings"] = std::move(warnings);
    }
    return root.Indented();
}

} // namespace Rom
