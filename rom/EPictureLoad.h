#pragma once
// Raised when a picture cannot be loaded or encoded: names the file and the reason.

#include "XVclUtil/EXGeneral.h"

#include <string>

namespace Rom {

class EPictureLoad : public XVclUtil::EXGeneral {
public:
    EPictureLoad(const std::string& fileName, const std::string& reason);

    std::string FileName;
    std::string Reason;
};

} // namespace Rom
