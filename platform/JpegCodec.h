#pragma once
// The JPEG codec: tells progressive files from baseline ones, decodes to RGB
// and encodes baseline JPEGs.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace pictova {

struct TRgbImage {
    int Width = 0;
    int Height = 0;
    std::vector<uint8_t> Pixels; // rows top to bottom, 3 bytes R, G, B per pixel
};

// True when the JPEG data has multiple scans. Throws std::runtime_error with
// the codec's message when the data is not a JPEG it can read.
bool JpegIsProgressive(std::span<const uint8_t> jpeg);
TRgbImage DecodeJpeg(std::span<const uint8_t> jpeg);
// Baseline (sequential) JPEG at the given quality; progressive on request
// (test pictures and benchmarks).
std::vector<uint8_t> EncodeJpeg(const TRgbImage& image, int quality, bool progressive = false);
inline std::vector<uint8_t> EncodeBaselineJpeg(const TRgbImage& image, int quality) {
    return EncodeJpeg(image, quality, false);
}

} // namespace pictova
