#include "EPictureLoad.h"

namespace Rom {

EPictureLoad::EPictureLoad(const std::string& fileName, const std::string& reason)
    : XVclUtil::EXGeneral("Err: picture \"%s\": %s", fileName.c_str(), reason.c_str()),
      FileName(fileName), Reason(reason) {}

} // namespace Rom
