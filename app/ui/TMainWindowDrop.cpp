// Files dropped on the window: a project file (.zkf) is opened, after the unsaved-changes
// question; a picture dropped on a customer or message picture box is chosen for that box.

#include "app/ui/TMainWindow.h"

#include "app/ui/TImage.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>

namespace AppUi {

namespace {

QString DroppedFile(const QMimeData* data) {
    if (!data || !data->hasUrls() || data->urls().isEmpty()) return {};
    return data->urls().front().toLocalFile();
}

} // namespace

void TMainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!DroppedFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void TMainWindow::dropEvent(QDropEvent* event) {
    const QString file = DroppedFile(event->mimeData());
    if (file.isEmpty()) return;
    event->acceptProposedAction();
    if (QFileInfo(file).suffix().compare(QLatin1String("zkf"), Qt::CaseInsensitive) == 0) {
        OpenProjectFile(file);
        return;
    }
    QWidget* target = childAt(event->position().toPoint());
    while (target && !qobject_cast<TImage*>(target)) target = target->parentWidget();
    if (target) DropPicture(static_cast<TImage*>(target), file.toStdString());
}

void TMainWindow::DropPicture(TImage* box, const std::string& file) {
    using AppCore::TCustomerPicture;
    for (TCustomerPicture which : {TCustomerPicture::TitleV, TCustomerPicture::TitleH,
                                   TCustomerPicture::Title2, TCustomerPicture::Logo})
        if (PictureBoxes.Box(AppCore::CustomerPictureImage(which)) == box) {
            Change("Customer picture",
                   [&] { AppCore::SetCustomerPicture(EditorSession, which, file); });
            return;
        }
    for (int s = 0; s < AppCore::LiftStateCount; ++s)
        for (int v = 0; v < AppCore::LiftStateVariantCount; ++v)
            if (PictureBoxes.Box(AppCore::Images::LiftStateBox(s, v)) == box) {
                Change("Message picture",
                       [&] { AppCore::SetLiftStatePicture(EditorSession, s, v, file); });
                return;
            }
}

} // namespace AppUi
