#pragma once
// PNG decoding for the movie's pictures: palette and grey-scale pictures
// become colour-mapped bitmaps, colour pictures 24-bit ones. Transparency is
// dropped (colour channels kept as stored).

#include <cstdint>
#include <span>
#include <vector>

namespace pictova {

struct TPaletteEntry {
    uint8_t R = 0, G = 0, B = 0;
};

struct TDecodedPicture {
    int Width = 0;
    int Height = 0;
    // 8: one palette index per pixel; 24: R, G, B per pixel. Rows top to
    // bottom, without padding.
    int BitsPerPixel = 0;
    std::vector<TPaletteEntry> Palette;
    std::vector<uint8_t> Pixels;
};

// Throws std::runtime_error carrying libpng's message for data it rejects.
TDecodedPicture DecodePng(std::span<const uint8_t> png);

} // namespace pictova
