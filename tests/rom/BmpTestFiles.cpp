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

Rom::TBytes MakeBmp(const TBmpSpec& spec, const Rom::TBytes& pixels) {
    Rom::TBytes info;
    const bool core = spec.HeaderSize == 12;
    Put32(info, spec.HeaderSize);
    if (core) {
        Put16(info, static_cast<std::uint32_t>(spec.Width));
        Put16(info, static_cast<std::uint32_t>(spec.Height));
        Put16(info, 1);
        Put16(info, static_cast<std::uint32_t>(spec.Bits));
    } else {
        Put32(info, static_cast<std::uint32_t>(spec.Width));
        Put32(info, static_cast<std::uint32_t>(spec.TopDown ? -spec.Height : spec.Height));
        Put16(info, 1);
        Put16(info, static_cast<std::uint32_t>(spec.Bits));
        Put32(info, spec.Compression);
        Put32(info, static_cast<std::uint32_t>(pixels.size()));
        Put32(info, 2835);
        Put32(info, 2835);
        Put32(info, spec.ColoursUsed);
        Put32(info, 0);
        // Masks sit in the header from 52 bytes on, else behind it for BI_BITFIELDS.
        if (spec.HeaderSize > 40 || spec.Compression == 3)
            for (std::uint32_t m : spec.Masks) Put32(info, m);
        info.resize(spec.HeaderSize + (spec.HeaderSize == 40 && spec.Compression == 3 ? 12 : 0), 0);
    }
    for (std::uint32_t c : spec.Palette) {
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

Rom::TBytes PackRows(const TBmpSpec& spec, const std::vector<std::vector<std::uint32_t>>& values) {
    const std::size_t stride = (static_cast<std::size_t>(spec.Width) * spec.Bits + 31) / 32 * 4;
    Rom::TBytes out;
    for (int r = 0; r < spec.Height; ++r) {
        const auto& row = values[static_cast<std::size_t>(spec.TopDown ? r : spec.Height - 1 - r)];
        Rom::TBytes bytes(stride, 0);
        for (std::size_t x = 0; x < row.size(); ++x) {
            const std::uint32_t v = row[x];
            if (spec.Bits < 8) {
                const std::size_t bit = x * static_cast<std::size_t>(spec.Bits);
                bytes[bit / 8] = static_cast<std::uint8_t>(
                    bytes[bit / 8] | v << (8 - spec.Bits - static_cast<int>(bit % 8)));
            } else {
                for (int k = 0; k < spec.Bits / 8; ++k)
                    bytes[x * static_cast<std::size_t>(spec.Bits / 8) +
                          static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(v >> (8 * k));
            }
        }
        out.insert(out.end(), bytes.begin(), bytes.end());
    }
    return out;
}

} // namespace RomTest
