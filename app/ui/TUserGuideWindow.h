#pragma once
// Help > User guide (F1): the user guide (docs/user-guide.md) shown by the editor itself, with
// its screenshots, in a window beside the main window; no desktop viewer is needed.

#include <QDialog>
#include <QString>

class QTextBrowser;

namespace AppUi {

class TUserGuideWindow : public QDialog {
public:
    explicit TUserGuideWindow(QWidget* parent = nullptr);

    // The guide beside the program, in the installed doc folder (share/doc/zkf780a) or in the
    // source tree's docs folder; empty when none is found.
    static QString FindGuide();

    // Shows the guide; false when it was not found or cannot be read.
    bool ShowGuide(const QString& path);

    QTextBrowser* Browser() const { return Text; }

private:
    QTextBrowser* Text;
};

} // namespace AppUi
