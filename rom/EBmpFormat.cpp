#include "EBmpFormat.h"

namespace Rom {

EBmpFormat::EBmpFormat(const std::string& reason)
    : XVclUtil::EXGeneral("%s", reason.c_str()), Reason(reason) {}

} // namespace Rom
