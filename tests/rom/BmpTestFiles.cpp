#include "BmpTestFiles.h"

namespace RomTest {

namespace {

void Put16(Rom::TBytes& b, std::uint32_t v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}

void Put32(Rom::TBytes& b, std::uint32_t v) {
    Put16(b, v);
    Put16(b, v >> 16);
}

} // namespace

Rom::TBytes MakeBmp(const TBmpLayout& layout, const Rom::TBytes& pixels) {
    Rom::TBytes info;
    const bool core = layout.HeaderSize == 12;
    Put32(info, layout.HeaderSize);
    if (core) {
        Put16(info, static_cast<std::uint32_t>(layout.Width));
        Put16(info, static_cast<std::uint32_t>(layout.Height));
        Put16(info, 1);
        Put16(info, static_cast<std::uint32_t>(layout.Bits));
    } else {
        Put32(info, static_cast<std::uint32_t>(layout.Width));
        Put32(info, static_cast<std::uint32_t>(layout.TopDown ? -layout.Height : layout.Height));
        Put16(info, 1);
        Put16(info, static_cast<std::uint32_t>(layout.Bits));
        Put32(info, layout.Compression);
        Put32(info, static_cast<std::uint32_t>(pixels.size()));
        Put32(info, 2835);
        Put32(info, 2835);
        Put32(info, layout.ColoursUsed);
        Put32(info, 0);
        // Masks sit in the header from 52 bytes on, else behind it for BI_BITFIELDS.
        if (layout.HeaderSize > 40 || layout.Compression == 3)
            for (std::uint32_t m : layout.Masks) Put32(info, m);
        info.resize(
            layout.HeaderSize + (layout.HeaderSize == 40 && layout.Compression == 3 ? 12 : 0), 0);
    }
    for (std::uint32_t c : layout.Palette) {
        info.push_back(static_cast<std::uint8_t>(c));
        info.push_back(static_cast<std::uint8_t>(c >> 8));
        info.push_back(static_cast<std::uint8_t>(c >> 16));
        if (!core) info.push_back(0);
    }
    Rom::TBytes file = {'B', 'M'};
    Put32(file, static_cast<std::uint32_t>(14 + info.size() + pixels.size()));
    Put32(file, 0);
    Put32(file, static_cast<std::uint32_t>(14 + info.size()));
    file.insert(file.end(), info.begin(), info.end());
    file.insert(file.end(), pixels.begin(), pixels.end());
    return file;
}

Rom::TBytes PackRows(const TBmpLayout& layout,
                     const std::vector<std::vector<std::uint32_t>>& values) {
    const std::size_t stride = (static_cast<std::size_t>(layout.Width) * layout.Bits + 31) / 32 * 4;
    Rom::TBytes out;
    for (int r = 0; r < layout.Height; ++r) {
        const auto& row =
            values[static_cast<std::size_t>(layout.TopDown ? r : layout.Height - 1 - r)];
        Rom::TBytes bytes(stride, 0);
        for (std::size_t x = 0; x < row.size(); ++x) {
            const std::uint32_t v = row[x];
            if (layout.Bits < 8) {
                const std::size_t bit = x * static_cast<std::size_t>(layout.Bits);
                bytes[bit / 8] = static_cast<std::uint8_t>(
                    bytes[bit / 8] | v << (8 - layout.Bits - static_cast<int>(bit % 8)));
            } else {
                for (int k = 0; k < layout.Bits / 8; ++k)
                    bytes[x * static_cast<std::size_t>(layout.Bits / 8) +
                          static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(v >> (8 * k));
            }
        }
        out.insert(out.end(), bytes.begin(), bytes.end());
    }
    return out;
}

} // namespace RomTest
