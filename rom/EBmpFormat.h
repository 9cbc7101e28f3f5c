#pragma once
// Raised by the BMP reader when bytes are not a picture it reads: holds the reason.

#include "XVclUtil/EXGeneral.h"

#include <string>

namespace Rom {

class EBmpFormat : public XVclUtil::EXGeneral {
public:
    explicit EBmpFormat(const std::string& reason);

    std::string Reason;
};

} // namespace Rom
