// Pictures of the BMP reader as QImage and back: every width, including the pixels left over
// after whole blocks of eight.

#include "app/core/qt/PictureImage.h"

#include <gtest/gtest.h>

#include <set>

namespace {

TEST(PictureImageTest, EveryPixelKeepsItsColourAndBecomesOpaque) {
    for (int width = 1; width <= 19; ++width)
        for (int height : {1, 3}) {
            Rom::TPicture picture(width, height);
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x)
                    picture.SetPixel(x, y, (0x10203u * std::uint32_t(x + 7 * y)) & 0xFFFFFFu);
            const QImage image = AppCore::ToQImage(picture);
            ASSERT_EQ(image.size(), QSize(width, height));
            ASSERT_EQ(image.format(), QImage::Format_RGB32);
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x)
                    ASSERT_EQ(image.pixel(x, y), 0xFF000000u | picture.Pixel(x, y))
                        << width << " x " << height << " at " << x << ", " << y;
            EXPECT_EQ(AppCore::FromQImage(image).Pixels, picture.Pixels);
        }
    EXPECT_TRUE(AppCore::ToQImage(Rom::TPicture()).isNull());
}

// Pictures of one or two colours are held at one bit a pixel, others at 32 bits, with the same
// pixels either way.
TEST(PictureImageTest, CompactImagesHoldTheSamePixels) {
    const std::uint32_t colours[] = {0xFFFFFF, 0x000000, 0x123456};
    for (int width = 1; width <= 19; ++width)
        for (int used = 1; used <= 3; ++used) {
            Rom::TPicture picture(width, 3);
            for (int y = 0; y < 3; ++y)
                for (int x = 0; x < width; ++x)
                    picture.SetPixel(x, y, colours[(x * 5 + y * 3 + x / 4) % used]);
            const QImage compact = AppCore::ToCompactQImage(picture);
            const std::set<std::uint32_t> distinct(picture.Pixels.begin(), picture.Pixels.end());
            EXPECT_EQ(compact.format(),
                      distinct.size() <= 2 ? QImage::Format_MonoLSB : QImage::Format_RGB32)
                << width << " " << used;
            EXPECT_EQ(compact.convertToFormat(QImage::Format_RGB32), AppCore::ToQImage(picture))
                << width << " " << used;
            EXPECT_EQ(AppCore::FromQImage(compact).Pixels, picture.Pixels);
        }
    // A second colour first seen in a later row, and a third one after it.
    Rom::TPicture late(16, 4, 0x00FF00);
    late.SetPixel(9, 2, 0x0000FF);
    EXPECT_EQ(AppCore::FromQImage(AppCore::ToCompactQImage(late)).Pixels, late.Pixels);
    late.SetPixel(15, 3, 0xFF0000);
    const QImage three = AppCore::ToCompactQImage(late);
    EXPECT_EQ(three.format(), QImage::Format_RGB32);
    EXPECT_EQ(AppCore::FromQImage(three).Pixels, late.Pixels);
    EXPECT_TRUE(AppCore::ToCompactQImage(Rom::TPicture()).isNull());
}

} // namespace
