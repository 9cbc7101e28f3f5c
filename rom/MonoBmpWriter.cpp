#include "MonoBmpWriter.h"

#include <cstddef>
#include <cstdint>

namespace Rom {

namespace {

void Put16(TBytes& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void Put32(TBytes& out, std::uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

} // namespace

TBytes EncodeMonoBmp(const TPicture& picture) {
    const std::uint32_t w = picture.IsNull() ? 0 : static_cast<std::uint32_t>(picture.Width);
    const std::uint32_t h = picture.IsNull() ? 0 : static_cast<std::uint32_t>(picture.Height);
    const std::uint32_t stride = (w + 31) / 32 * 4; // rows padded to 4 bytes
    const std::uint32_t headers = 14 + 40 + 8;      // file header, info header, two colours
    const std::uint32_t size = headers + stride * h;
    TBytes out;
    out.reserve(size);
    out.push_back('B');
    out.push_back('M');
    Put32(out, size);
    Put32(out, 0);
    Put32(out, headers);
    Put32(out, 40);
    Put32(out, w);
    Put32(out, h); // bottom-up rows
    Put16(out, 1);
    Put16(out, 1);
    Put32(out, 0); // BI_RGB
    Put32(out, stride * h);
    Put32(out, 2835); // 72 dpi
    Put32(out, 2835);
    Put32(out, 2);
    Put32(out, 2);
    Put32(out, 0x000000); // index 0: black
    Put32(out, 0xFFFFFF); // index 1: white
    for (std::uint32_t row = h; row-- > 0;) {
        const std::size_t start = out.size();
        out.resize(start + stride, 0);
        for (std::uint32_t x = 0; x < w; ++x)
            if (!picture.IsBlack(static_cast<int>(x), static_cast<int>(row)))
                out[start + x / 8] |= static_cast<std::uint8_t>(0x80u >> (x % 8));
    }
    return out;
}

} // namespace Rom
