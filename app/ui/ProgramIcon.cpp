#include "app/ui/ProgramIcon.h"

#include <QFile>
#include <QIconEngine>
#include <QPainter>

#include <memory>

namespace AppUi {

namespace {

const QString IconResource = QStringLiteral(":/zkf780a.png");

// Hands every request to the icon of the file, made at the first request.
class TDeferredIconEngine : public QIconEngine {
public:
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        Loaded().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return Loaded().actualSize(size, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return Loaded().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override {
        return Loaded().pixmap(size, scale, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        return Loaded().availableSizes(mode, state);
    }
    // Asked whenever the icon is set: answered from the resource's presence, not its pixels.
    bool isNull() override { return Icon ? Icon->isNull() : !QFile::exists(IconResource); }
    QString key() const override { return QStringLiteral("TDeferredIconEngine"); }
    QIconEngine* clone() const override { return new TDeferredIconEngine; }

private:
    const QIcon& Loaded() {
        if (!Icon) Icon = std::make_unique<QIcon>(IconResource);
        return *Icon;
    }

    std::unique_ptr<QIcon> Icon;
};

} // namespace

QIcon ProgramIcon() {
    return QIcon(new TDeferredIconEngine);
}

} // namespace AppUi
