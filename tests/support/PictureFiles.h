#pragma once
// Picture files of one flat colour, made on the fly for build tests: a
// 24-bit BMP written byte by byte, and a baseline JPEG from the codec; and
// metadata put into a JPEG.

#include "platform/JpegCodec.h"
#include "tests/support/TempDir.h"

#include <algorithm>
#include <cstddef>
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

// A JPEG file's bytes (starting with a JFIF segment) with camera-like
// metadata of `padding` bytes after that segment: APP1 segments (at most
// 64 KiB each) and a comment. The padding is full of
// frame-header look-alikes (FF C0 with a size of 258 x 772), so a search for
// the marker instead of a walk over the segments finds the wrong size.
inline std::string JpegWithMetadata(const std::string& jpeg, size_t padding) {
    const size_t app0End = 4 + (size_t(uint8_t(jpeg[4])) << 8 | uint8_t(jpeg[5]));
    const std::string lookAlike("\xFF\xC0\x00\x11\x08\x03\x04\x01\x02\x03", 10);
    std::string segments;
    for (bool first = true; padding > 0; first = false) {
        const size_t body = std::min<size_t>(padding, 65533);
        padding -= body;
        const char marker = first || padding > 0 ? '\xE1' : '\xFE'; // a comment last
        std::string data = first ? std::string("Exif\0\0", 6) : std::string();
        while (data.size() < body)
            data += lookAlike;
        data.resize(body);
        segments += std::string{'\xFF', marker, char((body + 2) >> 8), char((body + 2) & 0xFF)};
        segments += data;
    }
    return jpeg.substr(0, app0End) + segments + jpeg.substr(app0End);
}

} // namespace pictova::test
