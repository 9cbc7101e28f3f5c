#include "app/ui/MessageBoxSink.h"

#include "XVclUtil/MessageBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QString>

namespace AppUi {

namespace {

// The editor's boxes are error boxes, except the closing box of a build and warnings.
QMessageBox::Icon IconForCaption(const QString& caption) {
    if (caption == QLatin1String("Succeeded")) return QMessageBox::Information;
    if (caption == QLatin1String("Warning")) return QMessageBox::Warning;
    return QMessageBox::Critical;
}

void ShowMessageBox(const std::string& caption, const std::string& text) {
    const QString qCaption = QString::fromStdString(caption);
    QMessageBox box(IconForCaption(qCaption), qCaption, QString::fromStdString(text),
                    QMessageBox::Ok, QApplication::activeWindow());
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

} // namespace

void InstallMessageBoxSink() {
    XVclUtil::SetMessageSink(ShowMessageBox);
}

} // namespace AppUi
