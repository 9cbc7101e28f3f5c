#include "RomSideFileCheck.h"

#include "RomLayout.h"
#include "XVclUtil/Printf.h"

#include <algorithm>

namespace Rom {

TRomCheck SideFileCheck(std::span<const std::uint8_t> image, std::span<const std::uint8_t> side,
                        const std::string& sideName) {
    TRomCheck check{"side file", false, {}};
    if (side.size() != ConfigBlockSize) {
        check.Detail = XVclUtil::Format("%s holds %zu bytes; a side file holds %zu",
                                        sideName.c_str(), side.size(), ConfigBlockSize);
        return check;
    }
    if (image.size() != RomImageSize) {
        check.Detail = sideName + ": no ROM image to compare it with";
        return check;
    }
    // The block's last byte is its own check byte; the 4,095 before it are the side file's.
    const std::size_t shared = CodeTableBlockSize - 1;
    const auto block = image.subspan(CodeTableBlockOffset, shared);
    const auto tables = side.subspan(CodeTablesOffset, shared);
    const auto diff = std::mismatch(block.begin(), block.end(), tables.begin());
    if (diff.first == block.end()) {
        check.Ok = true;
        check.Detail = sideName + " matches the code-table block";
        return check;
    }
    const std::size_t at = static_cast<std::size_t>(diff.first - block.begin());
    check.Detail = XVclUtil::Format(
        "%s does not belong to this image: its byte 0x%04zX differs from the code-table block",
        sideName.c_str(), CodeTablesOffset + at);
    return check;
}

} // namespace Rom
