#include "IniText.h"

#include "XVclUtil/EConvertError.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstring>
#include <utility>
#ifdef _WIN32
#include <iomanip>
#include <sstream>
#endif

namespace XVclUtil {

namespace {

bool IsScanSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

const char* SkipSpace(const char* p, const char* end) {
    while (p < end && IsScanSpace(*p)) ++p;
    return p;
}

// Cuts trailing space characters (not tabs) from [begin, end).
const char* TrimSpaces(const char* begin, const char* end) {
    while (end > begin && end[-1] == ' ') --end;
    return end;
}

// " [ %[^]]%c" with the byte after the name being "]". Sets [name, nameEnd).
bool ScanHeader(const char* p, const char* end, const char*& name, const char*& nameEnd) {
    p = SkipSpace(p, end);
    if (p == end || *p != '[') return false;
    p = SkipSpace(p + 1, end);
    const char* q = p;
    while (q < end && *q != ']') ++q;
    if (q == p || q == end) return false;
    name = p;
    nameEnd = TrimSpaces(p, q);
    return true;
}

// " %[^=]= %[^\r\n]". Sets the key and value spans.
bool ScanKeyLine(const char* p, const char* end, const char*& key, const char*& keyEnd,
                 const char*& value, const char*& valueEnd) {
    p = SkipSpace(p, end);
    const char* q = p;
    while (q < end && *q != '=') ++q;
    if (q == p || q == end) return false;
    key = p;
    keyEnd = TrimSpaces(p, q);
    p = SkipSpace(q + 1, end);
    q = p;
    while (q < end && *q != '\r' && *q != '\n') ++q;
    if (q == p) return false;
    value = p;
    valueEnd = TrimSpaces(p, q);
    return true;
}

} // namespace

std::size_t TIniTextScanner::Scan(char* data, std::size_t size, bool atEnd) {
    std::size_t at = 0;
    while (at < size) {
        // One line as a buffered line reader with an 8,192-byte buffer returns it.
        const std::size_t room = std::min(IniLineLimit, size - at);
        const void* nl = std::memchr(data + at, '\n', room);
        if (nl == nullptr && room < IniLineLimit && !atEnd) break; // the line goes on
        const std::size_t len = nl ? static_cast<const char*>(nl) - (data + at) + 1 : room;
        ScanLine(data + at, len);
        at += len;
    }
    return at;
}

void TIniTextScanner::ScanLine(char* line, std::size_t len) {
    // The scanners see the line as a C string: it ends at an embedded NUL.
    const void* nul = std::memchr(line, '\0', len);
    const char* end = nul ? static_cast<const char*>(nul) : line + len;
    if (end == line || *line == '\n' || *line == '\r' || *line == '#') return;

    const char *name, *nameEnd;
    if (ScanHeader(line, end, name, nameEnd)) {
        Section.assign(name, nameEnd);
        return;
    }
    const char *key, *keyEnd, *value, *valueEnd;
    if (!Section.empty() && ScanKeyLine(line, end, key, keyEnd, value, valueEnd)) {
        const_cast<char*>(keyEnd)[0] = '\0'; // the '=' or a trimmed space
        Sink(Section.c_str(), Section.size(), key, value, valueEnd - value);
    }
}

void ParseIniText(std::string& text, const TIniPairSink& sink) {
    TIniTextScanner(sink).Scan(text.data(), text.size(), true);
}

std::string DateTimeToIniText(const std::tm& value, const char* format) {
    char buf[128];
    const std::size_t n = std::strftime(buf, sizeof buf, format, &value);
    return std::string(buf, n);
}

namespace {

// Reads text by format into value; the character after what was read, or null on a mismatch.
// Windows' C library has no strptime; the stream reader there uses the same classic locale.
const char* ParseDateTime(const std::string& text, const char* format, std::tm& value) {
#ifdef _WIN32
    std::istringstream in(text);
    in >> std::get_time(&value, format);
    if (in.fail()) return nullptr;
    const auto read = in.eof() ? text.size() : static_cast<std::size_t>(in.tellg());
    return text.c_str() + read;
#else
    return ::strptime(text.c_str(), format, &value);
#endif
}

} // namespace

std::tm IniTextToDateTime(const std::string& text, const char* format) {
    std::tm value{};
    const char* end = ParseDateTime(text, format, value);
    while (end && *end == ' ') ++end;
    if (end == nullptr || *end != '\0')
        throw EConvertError("'" + text + "' is not a valid date and time");
    value.tm_isdst = -1;
    return value;
}

std::tm CurrentDateTime() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    return local;
}

std::string FloatToIniText(double value) {
    char buf[400];
    auto result = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, 6);
    return std::string(buf, result.ptr);
}

unsigned int IniTextToUnsigned(const std::string& text, unsigned int def) {
    const char* p = text.c_str();
    int base = 10;
    if (text.size() >= 3 && p[0] == '0' && p[1] == 'x') {
        base = 16;
        p += 2;
    }
    while (IsScanSpace(*p)) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    if (base == 16 && p[0] == '0' && (p[1] == 'x' || p[1] == 'X') &&
        std::isxdigit(static_cast<unsigned char>(p[2])))
        p += 2;
    unsigned long long value = 0;
    bool overflow = false, anyDigit = false;
    for (;; ++p) {
        const int c = static_cast<unsigned char>(*p);
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && std::isxdigit(c))
            digit = std::tolower(c) - 'a' + 10;
        else
            break;
        anyDigit = true;
        value = value * base + digit;
        if (value > 0xFFFFFFFFull) {
            overflow = true;
            value = 0xFFFFFFFFull;
        }
    }
    if (!anyDigit) return def;
    if (overflow) return 0xFFFFFFFFu;
    const auto result = static_cast<unsigned int>(value);
    return negative ? 0u - result : result;
}

namespace {
// For a number from_chars found out of a double's range: true when it is too large rather than
// too small. Its decimal magnitude (the power of ten of its first non-zero digit plus its
// exponent) is then far above or far below zero, so a rough count decides.
bool BeyondLargest(const char* p, const char* end) {
    const auto digit = [&] { return p < end && *p >= '0' && *p <= '9'; };
    long long intDigits = 0, leadingZeros = 0;
    bool nonZero = false;
    for (; digit(); ++p)
        if (nonZero || *p != '0') {
            nonZero = true;
            ++intDigits;
        }
    if (p < end && *p == '.') {
        for (++p; digit(); ++p) {
            if (!nonZero && *p == '0')
                ++leadingZeros;
            else
                nonZero = true;
        }
    }
    long long exponent = 0;
    if (p < end && (*p == 'e' || *p == 'E')) {
        ++p;
        bool negative = false;
        if (p < end && (*p == '+' || *p == '-')) negative = *p++ == '-';
        for (; digit(); ++p) exponent = std::min(exponent * 10 + (*p - '0'), 1'000'000'000LL);
        if (negative) exponent = -exponent;
    }
    return (intDigits > 0 ? intDigits : -leadingZeros) + exponent > 0;
}
} // namespace

double IniTextToFloat(const std::string& text, double def) {
    const char* p = text.c_str();
    while (IsScanSpace(*p)) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    double value = 0;
    auto result = std::from_chars(p, text.c_str() + text.size(), value, std::chars_format::general);
    if (result.ec == std::errc::invalid_argument) return def;
    // Beyond a double's range the usual conversion rules give infinity, or zero for a number
    // too small; from_chars leaves the value untouched.
    if (result.ec == std::errc::result_out_of_range)
        value = BeyondLargest(p, result.ptr) ? HUGE_VAL : 0.0;
    return negative ? -value : value;
}

int LocaleCompare(const std::string& a, const std::string& b, bool ignoreCase) {
    if (!ignoreCase) return std::strcoll(a.c_str(), b.c_str());
    std::string la = a, lb = b;
    for (char& c : la) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (char& c : lb) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return std::strcoll(la.c_str(), lb.c_str());
}

} // namespace XVclUtil
