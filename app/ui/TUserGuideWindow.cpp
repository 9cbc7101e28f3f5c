#include "app/ui/TUserGuideWindow.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace AppUi {

namespace {
constexpr int GuideWidth = 760;
constexpr int GuideHeight = 640;
} // namespace

TUserGuideWindow::TUserGuideWindow(QWidget* parent) : QDialog(parent), Text(new QTextBrowser) {
    setObjectName(QStringLiteral("UserGuideWindow"));
    setWindowTitle(QStringLiteral("ZKF780A editor \u2014 User guide"));
    Text->setObjectName(QStringLiteral("UserGuideBrowser"));
    Text->setOpenExternalLinks(true);
    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    box->addWidget(Text);
    resize(GuideWidth, GuideHeight);
}

QString TUserGuideWindow::FindGuide() {
    const QString appDir = QCoreApplication::applicationDirPath();
    const QString candidates[] = {appDir + QStringLiteral("/user-guide.md"),
                                  appDir + QStringLiteral("/docs/user-guide.md"),
                                  appDir + QStringLiteral("/../share/doc/zkf780a/user-guide.md"),
                                  QStringLiteral(ZKF_DOCS_DIR "/user-guide.md")};
    for (const QString& path : candidates)
        if (QFileInfo(path).isFile()) return QFileInfo(path).canonicalFilePath();
    return {};
}

bool TUserGuideWindow::ShowGuide(const QString& path) {
    const QFileInfo guide(path);
    if (!guide.isFile() || !guide.isReadable()) return false;
    // Pictures are named relative to the guide (screenshots/...): the source URL resolves them.
    Text->setSearchPaths({guide.absolutePath()});
    Text->setSource(QUrl::fromLocalFile(guide.absoluteFilePath()), QTextDocument::MarkdownResource);
    return !Text->document()->isEmpty();
}

} // namespace AppUi
