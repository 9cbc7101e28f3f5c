#include "TJsonValue.h"

#include <algorithm>
#include <cstdio>

namespace Rom {

namespace {

// Length of the valid UTF-8 sequence at s[i], or 0 when the byte there does not start one.
std::size_t Utf8Length(const std::string& s, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = byte(i);
    const std::size_t n = c < 0x80         ? 1
                          : (c >> 5) == 6  ? 2
                          : (c >> 4) == 14 ? 3
                          : (c >> 3) == 30 ? 4
                                           : 0;
    if (n == 0 || i + n > s.size()) return 0;
    std::uint32_t cp = n == 1 ? c : c & (0x7F >> n);
    for (std::size_t k = 1; k < n; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
        cp = cp << 6 | (byte(i + k) & 0x3F);
    }
    static const std::uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    const bool ok = cp >= least[n] && cp <= 0x10FFFF && (cp < 0xD800 || cp > 0xDFFF);
    return ok ? n : 0;
}

void WriteString(std::string& out, const std::string& s) {
    out += '"';
    for (std::size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        const std::size_t n = Utf8Length(s, i);
        if (n == 0) {
            out += "\xEF\xBF\xBD";
            ++i;
            continue;
        }
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            const char* named = c == '\b'   ? "\\b"
                                : c == '\f' ? "\\f"
                                : c == '\n' ? "\\n"
                                : c == '\r' ? "\\r"
                                : c == '\t' ? "\\t"
                                            : nullptr;
            char code[8];
            std::snprintf(code, sizeof code, "\\u%04x", c);
            out += named ? named : code;
        } else {
            out.append(s, i, n);
        }
        i += n;
    }
    out += '"';
}

} // namespace

TJsonValue& TJsonValue::operator[](const std::string& key) {
    auto it =
        std::lower_bound(Members.begin(), Members.end(), key,
                         [](const auto& member, const std::string& k) { return member.first < k; });
    if (it == Members.end() || it->first != key) it = Members.insert(it, {key, TJsonValue()});
    return it->second;
}

std::string TJsonValue::Indented() const {
    std::string out;
    Write(out, 0);
    return out + "\n";
}

void TJsonValue::Write(std::string& out, int level) const {
    const std::string indent(static_cast<std::size_t>(4 * (level + 1)), ' ');
    switch (Kind) {
    case TKind::Null:
        out += "null";
        break;
    case TKind::Bool:
        out += Flag ? "true" : "false";
        break;
    case TKind::Number:
        out += std::to_string(Number);
        break;
    case TKind::String:
        WriteString(out, Text);
        break;
    case TKind::Array:
        out += "[\n";
        for (std::size_t i = 0; i < Items.size(); ++i) {
            out += indent;
            Items[i].Write(out, level + 1);
            out += i + 1 < Items.size() ? ",\n" : "\n";
        }
        out += std::string(static_cast<std::size_t>(4 * level), ' ') + "]";
        break;
    case TKind::Object:
        out += "{\n";
        for (std::size_t i = 0; i < Members.size(); ++i) {
            out += indent;
            WriteString(out, Members[i].first);
            out += ": ";
            Members[i].second.Write(out, level + 1);
            out += i + 1 < Members.size() ? ",\n" : "\n";
        }
        out += std::string(static_cast<std::size_t>(4 * level), ' ') + "}";
        break;
    }
}

} // namespace Rom
