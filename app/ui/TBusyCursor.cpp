#include "app/ui/TBusyCursor.h"

#include <QApplication>
#include <QCursor>

namespace AppUi {

TBusyCursor::TBusyCursor() {
    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

TBusyCursor::~TBusyCursor() {
    QApplication::restoreOverrideCursor();
}

} // namespace AppUi
