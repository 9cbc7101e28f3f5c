#include "KrvCtrl/JKNetTopologicLine.h"

#include <cstdint>

namespace KrvCtrl {

namespace {

bool IsScanSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// A cursor over the line with the scanner's primitive steps.
class TScanner {
public:
    explicit TScanner(std::string_view text) : Text(text) {}

    void SkipSpace() {
        while (Pos < Text.size() && IsScanSpace(Text[Pos])) ++Pos;
    }
    bool Literal(std::string_view word) {
        if (Text.substr(Pos, word.size()) != word) return false;
        Pos += word.size();
        return true;
    }
    // A blank in the pattern, then a literal.
    bool SpaceThen(std::string_view word) {
        SkipSpace();
        return Literal(word);
    }
    // %[^"]: one or more bytes up to a double quote.
    bool QuotedText(std::string& out) {
        const std::size_t end = Text.find('"', Pos);
        const std::size_t stop = (end == std::string_view::npos) ? Text.size() : end;
        if (stop == Pos) return false;
        out.assign(Text.substr(Pos, stop - Pos));
        Pos = stop;
        return true;
    }
    // %X: blanks, optional sign, optional 0x prefix, hex digits; large numbers saturate.
    bool HexNumber(unsigned& out) {
        SkipSpace();
        bool negative = false;
        if (Pos < Text.size() && (Text[Pos] == '+' || Text[Pos] == '-')) {
            negative = Text[Pos] == '-';
            ++Pos;
        }
        bool digits = false;
        if (Pos + 1 < Text.size() && Text[Pos] == '0' && LowerAscii(Text[Pos + 1]) == 'x') {
            Pos += 2;
            digits = true; // the scanner takes a bare "0x" as the number 0
        }
        std::uint64_t value = 0;
        while (Pos < Text.size() && HexDigitValue(Text[Pos]) >= 0) {
            value = value * 16 + static_cast<unsigned>(HexDigitValue(Text[Pos]));
            if (value > 0xFFFFFFFFu) value = 0x100000000u; // stays out of range
            digits = true;
            ++Pos;
        }
        if (!digits) return false;
        auto result = static_cast<std::uint32_t>(value > 0xFFFFFFFFu ? 0xFFFFFFFFu : value);
        out = negative ? static_cast<std::uint32_t>(0u - result) : result;
        return true;
    }

private:
    std::string_view Text;
    std::size_t Pos = 0;
};

} // namespace

bool ScanJknMemberLine(std::string_view Line, TJknMemberLine& Out) {
    TScanner scan(Line);
    std::string device;
    unsigned node = 0;
    if (!scan.SpaceThen("Device(") || !scan.SpaceThen("\"") || !scan.QuotedText(device))
        return false;
    if (!scan.Literal("\"") || !scan.SpaceThen(")") || !scan.SpaceThen(",") ||
        !scan.SpaceThen("NetNodeId(") || !scan.SpaceThen("0x") || !scan.HexNumber(node))
        return false;
    Out.Device = std::move(device);
    Out.NetNodeId = node;
    return true;
}

bool SameTextAscii(std::string_view A, std::string_view B) {
    if (A.size() != B.size()) return false;
    for (std::size_t i = 0; i < A.size(); ++i)
        if (LowerAscii(A[i]) != LowerAscii(B[i])) return false;
    return true;
}

} // namespace KrvCtrl
