#pragma once
// The INI engine's text rules: line scanning for loading, and the number and date texts of the
// typed reads and writes.

#include <cstddef>
#include <ctime>
#include <functional>
#include <string>
#include <utility>

namespace XVclUtil {

// (section, section length, key, value, value length); section and key are NUL-terminated.
using TIniPairSink = std::function<void(const char* section, std::size_t sectionLen,
                                        const char* key, const char* value, std::size_t valueLen)>;

constexpr std::size_t IniLineLimit = 8191; // a longer line is taken as several lines

// Scans INI text line by line and hands every key line under a section header to the sink.
// Text may arrive in pieces: Scan takes the complete lines at the start of data and reports
// how many bytes it used; the caller keeps the rest for the next call. Keys are NUL-terminated
// in place.
class TIniTextScanner {
public:
    explicit TIniTextScanner(TIniPairSink sink) : Sink(std::move(sink)) {}
    std::size_t Scan(char* data, std::size_t size, bool atEnd);

private:
    void ScanLine(char* line, std::size_t len);

    TIniPairSink Sink;
    std::string Section; // the current section; empty before the first header
};

// Scans a whole text at once.
void ParseIniText(std::string& text, const TIniPairSink& sink);

// Locale formats of the date and time texts, read back by the same patterns.
constexpr const char* TimeFormat = "%X";
constexpr const char* DateFormat = "%x";
constexpr const char* DateTimeFormat = "%x %X";

std::string DateTimeToIniText(const std::tm& value, const char* format);
// Raises EConvertError for text that does not match the format.
std::tm IniTextToDateTime(const std::string& text, const char* format);
std::tm CurrentDateTime();

// "%f" with a point as decimal separator, whatever the locale.
std::string FloatToIniText(double value);
// Unsigned conversion: "0x" prefix for hexadecimal, else decimal; strtoul rules in 32 bits.
unsigned int IniTextToUnsigned(const std::string& text, unsigned int def);
double IniTextToFloat(const std::string& text, double def);

// Locale-aware comparison: negative, 0 or positive.
int LocaleCompare(const std::string& a, const std::string& b, bool ignoreCase);

} // namespace XVclUtil
