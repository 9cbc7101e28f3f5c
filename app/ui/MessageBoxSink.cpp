#include "app/ui/MessageBoxSink.h"

#include "app/core/Messages.h"

#include "XVclUtil/MessageBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QString>

namespace AppUi {

namespace {

void ShowMessageBox(const std::string& caption, const std::string& text) {
    const QString qCaption = QString::fromStdString(caption);
    const QString qText = QString::fromStdString(text);
    QMessageBox box(MessageBoxIcon(qCaption, qText), qCaption, qText, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

} // namespace

// The editor's boxes are error boxes, except the closing box of a build, warnings, and the
// pictures of a moved project: a warning only when one of them is missing.
QMessageBox::Icon MessageBoxIcon(const QString& caption, const QString& text) {
    if (caption == QLatin1String("Succeeded")) return QMessageBox::Information;
    if (caption == QLatin1String("Warning")) return QMessageBox::Warning;
    if (caption == QLatin1String(AppCore::Msg::CaptionPictures))
        return text.startsWith(QLatin1String(AppCore::Msg::PictureMissing)) ||
                       text.contains(QLatin1Char('\n') +
                                     QLatin1String(AppCore::Msg::PictureMissing))
                   ? QMessageBox::Warning
                   : QMessageBox::Information;
    return QMessageBox::Critical;
}

void InstallMessageBoxSink() {
    XVclUtil::SetMessageSink(ShowMessageBox);
}

} // namespace AppUi
