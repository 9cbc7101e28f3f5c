#include "SystemError.h"

#include <cerrno>
#include <cstring>

namespace XVclUtil {

int LastSystemError() {
    return errno;
}

std::string SystemErrorText(int code) {
    return code == 0 ? std::string() : std::string(std::strerror(code));
}

} // namespace XVclUtil
