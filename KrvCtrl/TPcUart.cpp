#include "TPcUart.h"

namespace KrvCtrl {

TPcUart::TPcUart(QObject* owner) : XVclCtrl::TCustomUart(owner) {}

TPcUart::~TPcUart() = default;

} // namespace KrvCtrl
