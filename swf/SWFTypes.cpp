#include "swf/SWFTypes.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace pictova {

uint8_t GetBitsCount(uint32_t v) {
    if (v == 0)
        return 0;
    for (uint8_t n = 1; n <= 31; ++n) {
        if (v < (uint32_t{1} << n))
            return n;
    }
    return 0;
}

uint8_t GetSignedBitsCount(int32_t v) {
    if (v == 0)
        return 0;
    // |INT32_MIN| does not fit int32; its magnitude is 2^31.
    const uint32_t magnitude = v < 0 ? uint32_t(0) - uint32_t(v) : uint32_t(v);
    return uint8_t(GetBitsCount(magnitude) + 1);
}

int32_t MaxAbs(int32_t a, int32_t b) {
    // In 64 bits so that |INT32_MIN| does not overflow; capped to the result type.
    const int64_t m = std::max(std::llabs(a), std::llabs(b));
    return int32_t(std::min<int64_t>(m, INT32_MAX));
}

int32_t MaxAbs(int32_t a, int32_t b, int32_t c, int32_t d) {
    return std::max(MaxAbs(a, b), MaxAbs(c, d));
}

float Fixed8ToSingle(uint16_t w) {
    return float(w >> 8) + float(w & 0xFF) / 256.0f;
}

uint16_t SingleToFixed8(float x) {
    const double whole = std::trunc(double(x));
    const double frac = double(x) - whole;
    return uint16_t(int32_t(whole) * 256 + RoundHalfEven(frac * 256.0));
}

float Fixed16ToSingle(int32_t i) {
    return float(i) / 65536.0f;
}

int32_t SingleToFixed16(float x) {
    return int32_t(std::trunc(double(x) * 65536.0));
}

SWFRGB MakeRGB(uint8_t r, uint8_t g, uint8_t b) {
    return SWFRGB{r, g, b};
}

SWFRGB MakeRGB(uint32_t colour) {
    return SWFRGB{uint8_t(colour & 0xFF), uint8_t((colour >> 8) & 0xFF),
                  uint8_t((colour >> 16) & 0xFF)};
}

uint32_t MakeRGBA(uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    return uint32_t(r) | uint32_t(g) << 8 | uint32_t(b) << 16 | uint32_t(a) << 24;
}

int32_t RoundHalfEven(double x) {
    return int32_t(std::nearbyint(x)); // default FE_TONEAREST rounds halves to even
}

} // namespace pictova
