#include "tools/sampledata/PictureFormats.h"

#include "tools/sampledata/MonoImage.h"

namespace SampleData {

namespace {

void PutLe16(std::string& out, unsigned v) {
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>((v >> 8) & 0xFF));
}

void PutLe32(std::string& out, uint32_t v) {
    PutLe16(out, v & 0xFFFF);
    PutLe16(out, v >> 16);
}

unsigned Le16(const std::string& s, std::size_t at) {
    return static_cast<uint8_t>(s[at]) | (static_cast<uint8_t>(s[at + 1]) << 8);
}

// Eight pixels from (x, y) stepping by (dx, dy), the first in the high bit, black = 1.
char PackEight(const QImage& mono, int x, int y, int dx, int dy) {
    unsigned byte = 0;
    for (int b = 0; b < 8; ++b)
        byte = (byte << 1) | (IsBlack(mono, x + b * dx, y + b * dy) ? 1 : 0);
    return static_cast<char>(byte);
}

QImage BlankMono(int width, int height) {
    QImage mono(width, height, QImage::Format_Mono);
    mono.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    mono.fill(1);
    return mono;
}

} // namespace

std::string EncodeBmp1(const QImage& mono) {
    const int w = mono.width(), h = mono.height();
    const uint32_t rowBytes = ((w + 31) / 32) * 4;
    const uint32_t headerSize = 14 + 40 + 8;
    std::string out;
    out += "BM";
    PutLe32(out, headerSize + rowBytes * h);
    PutLe32(out, 0);
    PutLe32(out, headerSize);
    PutLe32(out, 40);
    PutLe32(out, static_cast<uint32_t>(w));
    PutLe32(out, static_cast<uint32_t>(h));
    PutLe16(out, 1); // planes
    PutLe16(out, 1); // bits per pixel
    PutLe32(out, 0); // no compression
    PutLe32(out, rowBytes * h);
    PutLe32(out, 2835); // 72 dpi
    PutLe32(out, 2835);
    PutLe32(out, 2); // palette entries
    PutLe32(out, 2);
    PutLe32(out, 0x00000000); // index 0: black
    PutLe32(out, 0x00FFFFFF); // index 1: white
    for (int y = h - 1; y >= 0; --y) {
        std::string row(rowBytes, '\0');
        for (int x = 0; x < w; ++x)
            if (!IsBlack(mono, x, y))
                row[x / 8] = static_cast<char>(row[x / 8] | (0x80 >> (x % 8)));
        out += row;
    }
    return out;
}

std::string MonoRecord(const QImage& mono, TOrientation orientation) {
    const int w = mono.width(), h = mono.height();
    std::string out;
    if (orientation == TOrientation::RowMajor) {
        PutLe16(out, w);
        PutLe16(out, h);
        for (int y = 0; y < h; ++y)
            for (int bx = 0; bx < w / 8; ++bx) out.push_back(PackEight(mono, bx * 8, y, 1, 0));
    } else {
        PutLe16(out, h);
        PutLe16(out, w);
        for (int x = w - 1; x >= 0; --x)
            for (int by = 0; by < h / 8; ++by) out.push_back(PackEight(mono, x, by * 8, 0, 1));
    }
    return out;
}

QImage DecodeMonoRecord(const std::string& record) {
    if (record.size() < 4) return {};
    const int w = static_cast<int>(Le16(record, 0)), h = static_cast<int>(Le16(record, 2));
    if (w == 0 || h == 0 || w % 8 != 0 || record.size() != 4 + std::size_t(w) * h / 8) return {};
    QImage mono = BlankMono(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const auto byte = static_cast<uint8_t>(record[4 + y * (w / 8) + x / 8]);
            if (byte & (0x80 >> (x % 8))) mono.setPixel(x, y, 0);
        }
    return mono;
}

std::string PictureSet(const std::map<int, std::string>& pictures) {
    std::string index(PictureSetIndexSize, '\0');
    std::string data;
    for (const auto& [k, bytes] : pictures) {
        if (k < 0 || k > 255 || bytes.empty()) continue;
        const uint32_t address = PictureSetIndexSize + static_cast<uint32_t>(data.size());
        const uint32_t size = static_cast<uint32_t>(bytes.size());
        char* e = &index[k * 6];
        e[0] = static_cast<char>((address >> 16) & 0xFF);
        e[1] = static_cast<char>((address >> 8) & 0xFF);
        e[2] = static_cast<char>(address & 0xFF);
        e[3] = static_cast<char>((size >> 8) & 0xFF);
        e[4] = static_cast<char>(size & 0xFF);
        e[5] = static_cast<char>((((size >> 16) & 0x0F) << 4) | 1);
        data += bytes;
    }
    return index + data;
}

std::map<int, std::string> DecodePictureSet(const std::string& set) {
    std::map<int, std::string> out;
    if (set.size() < PictureSetIndexSize) return out;
    for (int k = 0; k < 256; ++k) {
        const auto* e = reinterpret_cast<const uint8_t*>(set.data() + k * 6);
        if ((e[5] & 0x0F) == 0) continue;
        const uint32_t address = (e[0] << 16) | (e[1] << 8) | e[2];
        const uint32_t size = (((e[5] >> 4) & 0x0F) << 16) | (e[3] << 8) | e[4];
        if (address < PictureSetIndexSize || address + uint64_t(size) > set.size()) return {};
        out[k] = set.substr(address, size);
    }
    return out;
}

std::string BootFont(const std::map<int, QImage>& glyphs) {
    std::string font(BootFontSize, '\0');
    for (const auto& [code, glyph] : glyphs) {
        if (code < 0 || code > 255) continue;
        for (int y = 0; y < BootFontGlyphHeight && y < glyph.height(); ++y)
            font[code * BootFontGlyphHeight + y] = PackEight(glyph, 0, y, 1, 0);
    }
    return font;
}

QImage DecodeBootFontGlyph(const std::string& font, int code) {
    QImage mono = BlankMono(BootFontGlyphWidth, BootFontGlyphHeight);
    for (int y = 0; y < BootFontGlyphHeight; ++y) {
        const auto byte = static_cast<uint8_t>(font.at(code * BootFontGlyphHeight + y));
        for (int x = 0; x < 8; ++x)
            if (byte & (0x80 >> x)) mono.setPixel(x, y, 0);
    }
    return mono;
}

} // namespace SampleData
