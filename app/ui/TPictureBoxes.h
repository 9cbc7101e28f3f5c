#pragma once
// The window's picture boxes Image1 .. Image72 by number. A box whose page is not built yet
// keeps what is shown in it here until the page's box takes it over, so the editor shows
// pictures in every box whether or not its page has been made.

#include <QImage>
#include <QList>

#include <array>

namespace AppUi {

class TImage;

class TPictureBoxes {
public:
    static constexpr int Count = 72;

    bool Exists(int number) const { return number >= 1 && number <= Count; }
    // Box Image<number>, or null while its page is not built.
    TImage* Box(int number) const { return Exists(number) ? Boxes[number] : nullptr; }

    QImage Picture(int number) const;
    void SetPicture(int number, const QImage& picture);
    void ClearPicture(int number);
    // Every box draws its picture as loaded or as the display shows it, now and once built.
    void SetDisplayView(bool on, bool vertical);

    // The boxes of a page just made, by the number in their names: they take over the
    // pictures kept for them and the display view.
    void Adopt(const QList<TImage*>& boxes);

private:
    std::array<TImage*, Count + 1> Boxes{};
    std::array<QImage, Count + 1> Kept{}; // pictures of boxes not built yet
    bool DisplayView = false;
    bool Vertical = false;
};

} // namespace AppUi
