#include "app/core/qt/PictureImage.h"

#include "app/core/TPictureLibrary.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace AppCore {

QImage DecodePicture(std::span<const std::uint8_t> bytes) {
    return ToQImage(DecodePictureBytes(bytes));
}

namespace {

// A row of 0xRRGGBB values as 0xFFRRGGBB. Eight pixels at a time through a local block, so
// that the compiler turns the loop into vector instructions (every picture box of the window
// is filled through here at start-up).
void OpaqueRow(const std::uint32_t* row, QRgb* line, int width) {
    int x = 0;
    for (; x + 8 <= width; x += 8) {
        std::uint32_t eight[8];
        std::memcpy(eight, row + x, sizeof eight);
        for (std::uint32_t& pixel : eight) pixel |= 0xFF000000u;
        std::memcpy(line + x, eight, sizeof eight);
    }
    for (; x < width; ++x) line[x] = 0xFF000000u | row[x];
}

// Eight pixels as bits, the first in the least significant (QImage::Format_MonoLSB): 0 where a
// pixel has colour zero, 1 where it has colour one. False when one of them has neither colour.
bool PackEight(const std::uint32_t* pixels, int count, std::uint32_t zero, std::uint32_t one,
               uchar* bits) {
    unsigned byte = 0;
    for (int k = 0; k < count; ++k) {
        if (pixels[k] != zero && pixels[k] != one) return false;
        byte |= unsigned(pixels[k] != zero) << k;
    }
    *bits = static_cast<uchar>(byte);
    return true;
}

// A row of pixels of colours zero and one as bits (see PackEight); false at another colour.
// With SSE2 eight pixels take a few vector instructions: every picture box is filled through
// here at start-up.
bool PackRow(const std::uint32_t* row, int width, std::uint32_t zero, std::uint32_t one,
             uchar* bits) {
    int x = 0;
#if defined(__SSE2__)
    const __m128i zeros = _mm_set1_epi32(static_cast<int>(zero));
    const __m128i ones = _mm_set1_epi32(static_cast<int>(one));
    for (; x + 8 <= width; x += 8) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x + 4));
        const __m128i isZero =
            _mm_packs_epi32(_mm_cmpeq_epi32(a, zeros), _mm_cmpeq_epi32(b, zeros));
        const __m128i isOne = _mm_packs_epi32(_mm_cmpeq_epi32(a, ones), _mm_cmpeq_epi32(b, ones));
        if (_mm_movemask_epi8(_mm_or_si128(isZero, isOne)) != 0xFFFF) return false;
        bits[x / 8] = static_cast<uchar>(~_mm_movemask_epi8(_mm_packs_epi16(isZero, isZero)));
    }
#endif
    for (; x < width; x += 8)
        if (!PackEight(row + x, std::min(8, width - x), zero, one, bits + x / 8)) return false;
    return true;
}

} // namespace

QImage ToCompactQImage(const Rom::TPicture& picture) {
    if (picture.IsNull()) return {};
    const std::uint32_t zero = picture.Pixels.front();
    std::uint32_t one = zero; // until the picture shows a second colour
    QImage image(picture.Width, picture.Height, QImage::Format_MonoLSB);
    for (int y = 0; y < picture.Height; ++y) {
        const std::uint32_t* row = picture.Row(y);
        if (PackRow(row, picture.Width, zero, one, image.scanLine(y))) continue;
        if (one != zero) return ToQImage(picture); // a third colour
        one = *std::find_if(row, row + picture.Width, [zero](auto p) { return p != zero; });
        if (!PackRow(row, picture.Width, zero, one, image.scanLine(y))) return ToQImage(picture);
    }
    image.setColorTable({0xFF000000u | zero, 0xFF000000u | one});
    return image;
}

QImage ToQImage(const Rom::TPicture& picture) {
    if (picture.IsNull()) return {};
    QImage image(picture.Width, picture.Height, QImage::Format_RGB32);
    for (int y = 0; y < picture.Height; ++y)
        OpaqueRow(picture.Row(y), reinterpret_cast<QRgb*>(image.scanLine(y)), picture.Width);
    return image;
}

Rom::TPicture FromQImage(const QImage& image) {
    if (image.isNull()) return {};
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    Rom::TPicture picture(rgb.width(), rgb.height());
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        std::uint32_t* row = picture.Row(y);
        for (int x = 0; x < rgb.width(); ++x) row[x] = line[x] & 0x00FFFFFFu;
    }
    return picture;
}

} // namespace AppCore
