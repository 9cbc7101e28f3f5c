#include "app/ui/TPictureBoxes.h"

#include "app/ui/TImage.h"

#include <utility>

namespace AppUi {

QImage TPictureBoxes::Picture(int number) const {
    if (!Exists(number)) return {};
    return Boxes[number] ? Boxes[number]->Picture() : Kept[number];
}

void TPictureBoxes::SetPicture(int number, const QImage& picture) {
    if (!Exists(number)) return;
    if (Boxes[number])
        Boxes[number]->SetPicture(picture);
    else
        Kept[number] = picture;
}

void TPictureBoxes::ClearPicture(int number) {
    if (!Exists(number)) return;
    if (Boxes[number])
        Boxes[number]->ClearPicture();
    else
        Kept[number] = QImage();
}

void TPictureBoxes::SetDisplayView(bool on, bool vertical) {
    DisplayView = on;
    Vertical = vertical;
    for (TImage* box : Boxes)
        if (box) box->SetDisplayView(on, vertical);
}

void TPictureBoxes::Adopt(const QList<TImage*>& boxes) {
    for (TImage* box : boxes) {
        const QString name = box->objectName();
        bool isNumber = false;
        const int n = name.startsWith(QLatin1String("Image")) ? name.mid(5).toInt(&isNumber) : 0;
        if (!isNumber || !Exists(n) || Boxes[n]) continue;
        Boxes[n] = box;
        if (!Kept[n].isNull()) box->SetPicture(std::exchange(Kept[n], QImage()));
        box->SetDisplayView(DisplayView, Vertical);
    }
}

} // namespace AppUi
