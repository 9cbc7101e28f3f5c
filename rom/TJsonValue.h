#pragma once
// A small JSON value for the reports tools read: null, true/false, integers, strings, arrays
// and objects. Objects write their keys in sorted order, so the same report gives the same
// text on every run.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace Rom {

class TJsonValue {
public:
    TJsonValue() = default; // null
    TJsonValue(bool value) : Kind(TKind::Bool), Flag(value) {}
    TJsonValue(long long value) : Kind(TKind::Number), Number(value) {}
    TJsonValue(int value) : TJsonValue(static_cast<long long>(value)) {}
    TJsonValue(std::string value) : Kind(TKind::String), Text(std::move(value)) {}
    TJsonValue(const char* value) : TJsonValue(std::string(value)) {}

    static TJsonValue Array() { return TJsonValue(TKind::Array); }
    static TJsonValue Object() { return TJsonValue(TKind::Object); }

    // Member `key` of an object, added (null) when missing.
    TJsonValue& operator[](const std::string& key);
    // Appends to an array.
    void Append(TJsonValue value) { Items.push_back(std::move(value)); }

    // The document indented by four spaces a level, ending in a line break. Text that is not
    // valid UTF-8 has each bad byte replaced by U+FFFD.
    std::string Indented() const;

private:
    enum class TKind { Null, Bool, Number, String, Array, Object };
    explicit TJsonValue(TKind kind) : Kind(kind) {}
    void Write(std::string& out, int level) const;

    TKind Kind = TKind::Null;
    bool Flag = false;
    long long Number = 0;
    std::string Text;
    std::vector<TJsonValue> Items;
    std::vector<std::pair<std::string, TJsonValue>> Members; // sorted by key
};

} // namespace Rom
