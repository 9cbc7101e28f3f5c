#include "app/core/CodeCell.h"

#include "XVclUtil/PlatformPaths.h"

namespace AppCore {

namespace {
bool IsBlank(unsigned char c) {
    return c <= ' ';
}
} // namespace

std::string TrimText(const std::string& text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsBlank(static_cast<unsigned char>(text[begin]))) ++begin;
    while (end > begin && IsBlank(static_cast<unsigned char>(text[end - 1]))) --end;
    return text.substr(begin, end - begin);
}

std::string UpperText(const std::string& text) {
    std::string upper = text;
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return upper;
}

std::string NormaliseCell(const std::string& cell) {
    return UpperText(TrimText(cell));
}

TCellMeaning CellMeaning(const std::string& cell) {
    TCellMeaning meaning;
    meaning.Text = NormaliseCell(cell);
    switch (meaning.Text.size()) {
    case 0:
        meaning.Kind = TCellKind::Empty;
        break;
    case 1:
        meaning.Kind = TCellKind::OneChar;
        break;
    case 2:
        meaning.Kind = TCellKind::TwoChars;
        break;
    default:
        meaning.Kind = TCellKind::Picture;
        break;
    }
    return meaning;
}

std::string FloorPictureFolder(const std::string& floorStylePrefix, int defFl) {
    return floorStylePrefix + std::to_string(defFl);
}

std::string FloorPicturePath(const std::string& floorStylePrefix, int defFl,
                             const std::string& name) {
    return FloorPictureFolder(floorStylePrefix, defFl) + XVclUtil::PathDelim + name + ".bmp";
}

} // namespace AppCore
