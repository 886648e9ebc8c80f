#pragma once
// Picture files of one flat colour, made on the fly for build tests: a
// 24-bit BMP written byte by byte, and a baseline JPEG from the codec.

#include "platform/JpegCodec.h"
#include "tests/support/TempDir.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace pictova::test {

struct FlatColour {
    uint8_t R = 0, G = 0, B = 0;
};

inline void PutLe(std::string& out, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(char((v >> (8 * i)) & 0xFF));
}

// Bottom-up BMP with BITMAPINFOHEADER; width and height may be 0.
inline void WriteBmpFile(const std::filesystem::path& file, int width, int height,
                         FlatColour c = {200, 40, 40}) {
    const uint32_t row = uint32_t(width * 3 + 3) / 4 * 4;
    const uint32_t pixels = row * uint32_t(height);
    std::string b = "BM";
    PutLe(b, 54 + pixels, 4); // file size
    PutLe(b, 0, 4);           // reserved
    PutLe(b, 54, 4);          // offset of the pixels
    PutLe(b, 40, 4);          // BITMAPINFOHEADER
    PutLe(b, uint32_t(width), 4);
    PutLe(b, uint32_t(height), 4);
    PutLe(b, 1, 2);      // planes
    PutLe(b, 24, 2);     // bits per pixel
    PutLe(b, 0, 4);      // BI_RGB
    PutLe(b, pixels, 4); // image size
    PutLe(b, 2835, 4);   // 72 dpi
    PutLe(b, 2835, 4);
    PutLe(b, 0, 4); // colours used
    PutLe(b, 0, 4); // important colours
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            b.push_back(char(c.B));
            b.push_back(char(c.G));
            b.push_back(char(c.R));
        }
        b.append(row - uint32_t(width) * 3, '\0');
    }
    WriteFile(file, b);
}

inline void WriteJpegFile(const std::filesystem::path& file, int width, int height,
                          FlatColour c = {40, 40, 200}, bool progressive = false) {
    TRgbImage image;
    image.Width = width;
    image.Height = height;
    for (int i = 0; i < width * height; ++i) {
        image.Pixels.push_back(c.R);
        image.Pixels.push_back(c.G);
        image.Pixels.push_back(c.B);
    }
    const std::vector<uint8_t> jpeg = EncodeJpeg(image, 90, progressive);
    WriteFile(file, std::string(jpeg.begin(), jpeg.end()));
}

} // namespace pictova::test
