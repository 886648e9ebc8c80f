#include "platform/JpegCodec.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace pictova {
namespace {

TRgbImage Gradient(int w, int h) {
    TRgbImage img{w, h, std::vector<uint8_t>(size_t(w * h * 3))};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = &img.Pixels[size_t((y * w + x) * 3)];
            p[0] = uint8_t(x * 255 / (w - 1));
            p[1] = uint8_t(y * 255 / (h - 1));
            p[2] = 128;
        }
    return img;
}

TEST(JpegCodec, BaselineRoundTrip) {
    const TRgbImage source = Gradient(40, 24);
    const auto jpeg = EncodeBaselineJpeg(source, 90);
    ASSERT_GT(jpeg.size(), 4u);
    EXPECT_EQ(jpeg[0], 0xFF);
    EXPECT_EQ(jpeg[1], 0xD8);
    EXPECT_FALSE(JpegIsProgressive(jpeg));
    const TRgbImage decoded = DecodeJpeg(jpeg);
    ASSERT_EQ(decoded.Width, 40);
    ASSERT_EQ(decoded.Height, 24);
    int worst = 0;
    for (size_t i = 0; i < source.Pixels.size(); ++i)
        worst = std::max(worst, std::abs(int(source.Pixels[i]) - int(decoded.Pixels[i])));
    EXPECT_LE(worst, 12);
}

TEST(JpegCodec, TellsProgressiveFiles) {
    const auto progressive = EncodeJpeg(Gradient(32, 32), 80, true);
    EXPECT_TRUE(JpegIsProgressive(progressive));
    const TRgbImage decoded = DecodeJpeg(progressive);
    EXPECT_EQ(decoded.Width, 32);
    EXPECT_FALSE(JpegIsProgressive(EncodeBaselineJpeg(decoded, 90)));
}

TEST(JpegCodec, BrokenDataIsAnErrorNotACrash) {
    const auto jpeg = EncodeBaselineJpeg(Gradient(16, 16), 90);
    const std::vector<uint8_t> truncated(jpeg.begin(), jpeg.begin() + 20);
    EXPECT_THROW(DecodeJpeg(truncated), std::runtime_error);
    const std::vector<uint8_t> garbage = {'n', 'o', 't', ' ', 'j', 'p', 'e', 'g'};
    EXPECT_THROW(JpegIsProgressive(garbage), std::runtime_error);
}

} // namespace
} // namespace pictova
