#include "app/core/CodeTableLabels.h"

#include "app/core/CodeCell.h"

#include <cstdio>

namespace AppCore {

namespace {

std::string SixBits(int value) {
    std::string bits(6, '0');
    for (int bit = 0; bit < 6; ++bit)
        if (value & (1 << bit)) bits[5 - bit] = '1';
    return bits;
}

std::array<std::string, 64> MakeLabels(bool gray) {
    std::array<std::string, 64> labels;
    for (int i = 0; i < 64; ++i) {
        const int low = i & 31;
        // Only the low five bits are Gray coded; bit 5 stays as it is.
        labels[i] = SixBits(gray ? ((i & 32) | (low ^ (low >> 1))) : i);
    }
    return labels;
}

std::array<std::string, 256> MakeFloorLabels() {
    std::array<std::string, 256> table;
    for (int k = 1; k <= 49; ++k) table[k] = std::to_string(k);
    for (int k = 50; k <= 58; ++k) table[k] = std::to_string(-(k - 49));
    for (int k = 60; k <= 64; ++k) table[k] = "B" + std::to_string(k - 59);
    table[70] = "G";
    table[71] = "M";
    table[72] = "O";
    table[75] = "P";
    for (int k = 76; k <= 78; ++k) table[k] = "P" + std::to_string(k - 75);
    table[79] = "R";
    for (int k = 80; k <= 82; ++k) table[k] = "R" + std::to_string(k - 79);
    table[127] = "CF";
    table[128] = "LB";
    table[132] = "LG";
    for (int k = 151; k <= 155; ++k) table[k] = std::to_string(k - 150) + "P";
    table[165] = "HP";
    return table;
}

} // namespace

std::string CodeTableHeader(int table) {
    return "CTBL" + std::to_string(table);
}

std::string HexDecLabel(int code) {
    char text[16];
    std::snprintf(text, sizeof text, "%02X (%d )", code & 0xFF, code & 0xFF);
    return text;
}

const std::array<std::string, 64>& BinaryOrderLabels() {
    static const std::array<std::string, 64> labels = MakeLabels(false);
    return labels;
}

const std::array<std::string, 64>& GrayOrderLabels() {
    static const std::array<std::string, 64> labels = MakeLabels(true);
    return labels;
}

const std::array<std::string, 64>& BitLabelsForModel(const std::string& model) {
    return TrimText(model) == GrayCodeModel ? GrayOrderLabels() : BinaryOrderLabels();
}

const std::string& FloorLabel(int k) {
    static const std::array<std::string, 256> table = MakeFloorLabels();
    static const std::string empty;
    return k >= 0 && k < 256 ? table[k] : empty;
}

} // namespace AppCore
