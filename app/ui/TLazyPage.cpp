#include "app/ui/TLazyPage.h"

namespace AppUi {

TLazyPage::TLazyPage(QWidget* parent) : QWidget(parent) {}

void TLazyPage::Build() {
    if (Made || !Builder) return;
    Made = true;
    Builder();
    emit Built();
}

void TLazyPage::setVisible(bool visible) {
    if (visible) Build();
    QWidget::setVisible(visible);
}

} // namespace AppUi
