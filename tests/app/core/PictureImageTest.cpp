// Pictures of the BMP reader as QImage and back: every width, including the pixels left over
// after whole blocks of eight.

#include "app/core/qt/PictureImage.h"

#include <gtest/gtest.h>

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

} // namespace
