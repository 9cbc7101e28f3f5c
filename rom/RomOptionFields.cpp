#include "RomOptionFields.h"

#include "RomLayout.h"
#include "XVclUtil/Printf.h"

#include <cstdlib>

namespace Rom {

using XVclUtil::Format;

const std::vector<TOptionField>& OptionFields() {
    static const std::vector<TOptionField> fields = {
        {"DEF_DIR", OptArrowSet, 1},      {"DEF_FL", OptFloorSet, 1},
        {"DATEFORMAT", OptDateFormat, 1}, {"CUSTOMERTITLE", OptCustomerTitle, 1},
        {"DEF_MSG", OptDefMsg, 1},        {"DPDATETIME", OptDateTime, 1},
        {"OUTDATE", OptOutDate, 6},       {"WEEKTYPE", OptWeekType, 1},
        {"FLFRAME", OptFlFrame, 1},       {"DEFCODETABLE", OptDefCodeTable, 1},
        {"CUSIDCODE", OptIdCode, 4},      {"CUSLOGOENABLE", OptLogoEnable, 1},
        {"SWAPTIME", OptLogoTime, 1},     {"PWRSAVING", OptPwrSaving, 1},
        {"DPSTYLE", OptDpStyle, 1},
    };
    return fields;
}

namespace {

std::string Hex(unsigned byte) {
    return Format("0x%02X", byte);
}

// Printable ASCII as it is; any other byte as \xNN, so that no byte can upset a terminal.
std::string Printable(std::span<const std::uint8_t> bytes) {
    std::size_t n = bytes.size();
    while (n > 0 && bytes[n - 1] == 0) --n; // the 0 padding of a short code
    std::string text;
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned c = bytes[i];
        text += c >= 0x20 && c < 0x7F && c != '\\' ? std::string(1, static_cast<char>(c))
                                                   : Format("\\x%02X", c);
    }
    return text.empty() ? "\"\"" : text;
}

std::string Pick(unsigned byte, const char* zero, const char* one) {
    return byte == 0 ? zero : byte == 1 ? one : Hex(byte);
}

} // namespace

std::string OptionFieldText(const TOptionField& field, std::span<const std::uint8_t> block) {
    const std::size_t at = field.Offset - CodeTableBlockSource;
    if (at + field.Length > block.size()) return "?";
    const auto bytes = block.subspan(at, field.Length);
    const unsigned b = bytes[0];
    const std::string key = field.Key;
    if (key == "DEF_DIR") return b >= 30 && b <= 41 ? std::to_string(b - 30) : Hex(b);
    if (key == "DEF_FL") return b >= 10 && b <= 14 ? std::to_string(b - 10) : Hex(b);
    if (key == "DATEFORMAT") return Pick(b, "TYPE1", "TYPE2");
    if (key == "CUSTOMERTITLE" || key == "FLFRAME") return Pick(b, "OFF", "ON");
    if (key == "WEEKTYPE") return Pick(b, "second language", "ENGLISH");
    if (key == "DPSTYLE") return b == 1 ? "1 (Right)" : b == 2 ? "2 (Left)" : Hex(b);
    if (key == "SWAPTIME") return b == 0 ? "off" : b <= 30 ? std::to_string(b - 1) : Hex(b);
    if (key == "OUTDATE" || key == "CUSIDCODE") return Printable(bytes);
    return std::to_string(b);
}

namespace {

const char* const StateNames[10] = {"FIRE",     "EARTHQUAKE",  "ALARM", "OUT_OF_SERVICE",
                                    "OVERLOAD", "MAINTENANCE", "FULL",  "VIP",
                                    "PARKING",  "IND"};

bool NumberAfter(const std::string& name, const char* prefix, int& n) {
    const std::string p = prefix;
    if (name.compare(0, p.size(), p) != 0) return false;
    const std::string rest = name.substr(p.size());
    if (rest.empty() || rest.size() > 3) return false;
    for (char c : rest)
        if (c < '0' || c > '9') return false;
    n = std::atoi(rest.c_str());
    return true;
}

} // namespace

std::string PictureSlotMeaning(const std::string& name) {
    int n = 0;
    const std::size_t dot = name.find('.');
    if (dot != std::string::npos) {
        const std::string set = PictureSlotMeaning(name.substr(0, dot));
        return set.empty() ? set : set + ", picture " + name.substr(dot + 1);
    }
    if (NumberAfter(name, "UBF_", n)) return Format("floor picture %d", n);
    if (NumberAfter(name, "PM_", n)) return Format("model picture %d", n);
    if (name == "UM_0") return "customer logo";
    if (name == "UM_1") return "customer title";
    if (name == "UM_2") return "customer title 2";
    if (!NumberAfter(name, "M_", n)) return "";
    if (n >= 1 && n <= 3) return "raw library picture";
    if (n == 4) return "library picture (0, 4 or 9)";
    if (n >= 10 && n <= 14) return Format("floor-number style %d", n - 10);
    if (n >= 30 && n <= 41) return Format("arrow style %d", n - 30);
    if (n >= 143 && n <= 149) return "month names";
    if (n >= 150 && n <= 189) {
        const int v = (n - 150) / 10, s = (n - 150) % 10;
        return Format("lift state %s, variant %c", StateNames[s], "ABCD"[v]);
    }
    if (n >= 231 && n <= 242) return "week names";
    return "library picture";
}

} // namespace Rom
