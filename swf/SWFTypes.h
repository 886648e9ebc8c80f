#pragma once
// Plain value records shared by the writer, the tags and the movie API, and the
// numeric helpers that size and convert them.

#include <cstdint>

namespace pictova {

// Rectangle of the movie API: left, top, right, bottom (not necessarily sorted).
struct TRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;
};

struct SWFRGB {
    uint8_t R = 0;
    uint8_t G = 0;
    uint8_t B = 0;
};

struct SWFRGBA {
    uint8_t R = 0;
    uint8_t G = 0;
    uint8_t B = 0;
    uint8_t A = 0;
};

// Multiply terms are 8.8 fixed point (256 = unchanged); add terms are added
// to the 0-255 channel values. Terms of a group whose flag is off are ignored.
struct SWFColorTransform {
    int16_t AddR = 0;
    int16_t AddG = 0;
    int16_t AddB = 0;
    int16_t AddA = 0;
    int16_t MultR = 0;
    int16_t MultG = 0;
    int16_t MultB = 0;
    int16_t MultA = 0;
    bool HasAdd = false;
    bool HasMult = false;
    bool HasAlpha = false;
};

// Smallest n with v < 2^n (0 for v = 0, and 0 for v >= 2^31).
uint8_t GetBitsCount(uint32_t v);
// Width of a signed field that holds v: 0 for 0, else GetBitsCount(|v|) + 1.
uint8_t GetSignedBitsCount(int32_t v);
int32_t MaxAbs(int32_t a, int32_t b);
int32_t MaxAbs(int32_t a, int32_t b, int32_t c, int32_t d);

float Fixed8ToSingle(uint16_t w);
// Integer part times 256 plus the rounded fraction (halves to even), as 16 bits.
uint16_t SingleToFixed8(float x);
float Fixed16ToSingle(int32_t i);
// 16.16, truncated toward zero.
int32_t SingleToFixed16(float x);

SWFRGB MakeRGB(uint8_t r, uint8_t g, uint8_t b);
// From a colour value: bits 0-7 red, 8-15 green, 16-23 blue.
SWFRGB MakeRGB(uint32_t colour);
uint32_t MakeRGBA(uint8_t r, uint8_t g, uint8_t b, uint8_t a);

// Round to the nearest integer, halves to the even neighbour.
int32_t RoundHalfEven(double x);

} // namespace pictova
