#include "app/ui/TLazyPage.h"

namespace AppUi {

TLazyPage::TLazyPage(QWidget* parent) : QWidget(parent) {}

void TLazyPage::Build() {
    if (Built || !Builder) return;
    Built = true;
    Builder();
}

void TLazyPage::setVisible(bool visible) {
    if (visible) Build();
    QWidget::setVisible(visible);
}

} // namespace AppUi
