#pragma once
// What a code table cell means: nothing, one or two floor-font characters, or a floor picture.

#include <string>

namespace AppCore {

enum class TCellKind { Empty, OneChar, TwoChars, Picture };

struct TCellMeaning {
    TCellKind Kind = TCellKind::Empty;
    std::string Text; // trimmed, upper-cased; "0x" two-character texts keep both characters
};

// Leading and trailing blanks (space, tab, control characters) removed.
std::string TrimText(const std::string& text);
// ASCII upper-casing; other bytes unchanged.
std::string UpperText(const std::string& text);
// Trimmed and upper-cased, as project files store cells and MAKE ROM reads them.
std::string NormaliseCell(const std::string& cell);

TCellMeaning CellMeaning(const std::string& cell);

// Folder of the floor pictures of style defFl: prefix + the style digit.
std::string FloorPictureFolder(const std::string& floorStylePrefix, int defFl);
// prefix + defFl + "/" + name + ".bmp"; name is the cell's trimmed, upper-cased text.
std::string FloorPicturePath(const std::string& floorStylePrefix, int defFl,
                             const std::string& name);

} // namespace AppCore
