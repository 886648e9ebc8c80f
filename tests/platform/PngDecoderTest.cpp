#include "platform/PngDecoder.h"
#include "tests/support/SwfWalker.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace pictova {
namespace {

std::vector<uint8_t> Load(const std::string& name) {
    const std::string bytes = test::ReadFileBytes(std::string(PICTOVA_TEST_DATA) + "/png/" + name);
    return {bytes.begin(), bytes.end()};
}

// Each picture against ffmpeg's decoding of the same file (the .rgba twin).
TEST(PngDecoder, MatchesAnIndependentDecoder) {
    struct Row {
        const char* Name;
        int Width, Height, Bits;
    };
    const Row rows[] = {
        {"rgb-37x21", 37, 21, 24},
        {"palette-37x21", 37, 21, 8},
        {"grey-37x21", 37, 21, 8},
        {"translucent-36x20", 36, 20, 24}, // colours kept, alpha dropped
    };
    for (const Row& r : rows) {
        const TDecodedPicture pic = DecodePng(Load(std::string(r.Name) + ".png"));
        const std::vector<uint8_t> expected = Load(std::string(r.Name) + ".rgba");
        ASSERT_EQ(pic.Width, r.Width) << r.Name;
        ASSERT_EQ(pic.Height, r.Height) << r.Name;
        ASSERT_EQ(pic.BitsPerPixel, r.Bits) << r.Name;
        int mismatches = 0;
        for (int i = 0; i < r.Width * r.Height; ++i) {
            uint8_t rgb[3];
            if (pic.BitsPerPixel == 8) {
                const TPaletteEntry& e = pic.Palette.at(pic.Pixels[size_t(i)]);
                rgb[0] = e.R, rgb[1] = e.G, rgb[2] = e.B;
            } else {
                for (int c = 0; c < 3; ++c)
                    rgb[c] = pic.Pixels[size_t(3 * i + c)];
            }
            for (int c = 0; c < 3; ++c)
                mismatches += rgb[c] != expected[size_t(4 * i + c)];
        }
        EXPECT_EQ(mismatches, 0) << r.Name;
    }
}

TEST(PngDecoder, BrokenFilesAreErrors) {
    for (const char* name : {"not-a-png.png", "truncated.png"})
        EXPECT_THROW(DecodePng(Load(name)), std::runtime_error) << name;
}

} // namespace
} // namespace pictova
