#include "swf/BitsEngine.h"
#include "tests/support/Capture.h"
#include "tests/support/SwfWalker.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace pictova {
namespace {

using test::Bytes;
using test::Capture;
using test::Hex;

TEST(BitsEngine, PacksBitFieldsMostSignificantFirst) {
    EXPECT_EQ(Hex(Capture([](TBitsEngine& be) {
                  be.WriteBits(5, 3); // 101
                  be.WriteBits(1, 1); // 1
                  be.FlushLastByte(true);
              })),
              "B0");
    // A 32-bit field that starts mid-byte keeps every bit.
    EXPECT_EQ(Hex(Capture([](TBitsEngine& be) {
                  be.WriteBits(1, 4);
                  be.WriteBits(0x89ABCDEF, 32);
                  be.FlushLastByte(true);
              })),
              "18 9A BC DE F0");
    // Only the low bits of a wider value reach the field.
    EXPECT_EQ(Hex(Capture([](TBitsEngine& be) {
                  be.WriteBits(0xFFFFFFF2, 4);
                  be.WriteBits(0, 0);
                  be.WriteBits(0xF, 4);
              })),
              "2F");
}

TEST(BitsEngine, ByteAfterPendingBitsContinuesTheBitStream) {
    std::ostringstream out;
    TBitsEngine be(out);
    be.WriteBits(5, 3);
    be.WriteByte(0xFF);
    EXPECT_EQ(Hex(out.str()), "BF");
    EXPECT_EQ(be.PendingBitCount(), 3u);
    be.FlushLastByte(true);
    EXPECT_EQ(Hex(out.str()), "BF E0"); // the three pending 1 bits, padded
}

TEST(BitsEngine, WordAndDWordFlushFirstAndAreLittleEndian) {
    EXPECT_EQ(Hex(Capture([](TBitsEngine& be) {
                  be.WriteBits(1, 1);
                  be.WriteWord(0x1234);
              })),
              "80 34 12");
    EXPECT_EQ(Hex(Capture([](TBitsEngine& be) { be.WriteDWord(0x01020304); })), "04 03 02 01");
}

TEST(BitsEngine, FlushWithoutWriteDropsPendingBits) {
    std::ostringstream out;
    TBitsEngine be(out);
    be.WriteBits(7, 3);
    be.FlushLastByte(false);
    EXPECT_EQ(be.PendingBitCount(), 0u);
    be.WriteByte(0x42);
    EXPECT_EQ(Hex(out.str()), "42");
}

TEST(BitsEngine, StringsAndChars) {
    EXPECT_EQ(Capture([](TBitsEngine& be) { be.WriteString("ab", true, false); }),
              Bytes({'a', 'b', 0}));
    EXPECT_EQ(Capture([](TBitsEngine& be) { be.WriteString("ab", false, false); }), "ab");
    // "Ä€" in Windows-1252 becomes UTF-8 when asked.
    EXPECT_EQ(Hex(Capture([](TBitsEngine& be) { be.WriteString("\xC4\x80", true, true); })),
              "C3 84 E2 82 AC 00");
    EXPECT_EQ(Capture([](TBitsEngine& be) { be.WriteChars("xyz", 2, true); }),
              Bytes({'x', 'y', 0}));
}

TEST(BitCounts, SmallestWidths) {
    struct Row {
        int32_t Value;
        unsigned Unsigned; // GetBitsCount of the value as unsigned
        unsigned Signed;
    };
    const Row rows[] = {
        {0, 0, 0},   {1, 1, 2},    {2, 2, 3},       {3, 2, 3},       {4, 3, 4},
        {255, 8, 9}, {256, 9, 10}, {32767, 15, 16}, {32768, 16, 17}, {1 << 30, 31, 32},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(GetBitsCount(uint32_t(r.Value)), r.Unsigned) << r.Value;
        EXPECT_EQ(GetSignedBitsCount(r.Value), r.Signed) << r.Value;
        EXPECT_EQ(GetSignedBitsCount(-r.Value), r.Signed) << -r.Value;
    }
    EXPECT_EQ(GetBitsCount(0x80000000u), 0u);
    EXPECT_EQ(MaxAbs(3, -7, 5, -2), 7);
    EXPECT_EQ(MaxAbs(std::numeric_limits<int32_t>::min(), 0), std::numeric_limits<int32_t>::max());
}

TEST(FixedPoint, Conversions) {
    EXPECT_EQ(SingleToFixed8(12.5f), 0x0C80);
    EXPECT_FLOAT_EQ(Fixed8ToSingle(0x0C80), 12.5f);
    EXPECT_EQ(SingleToFixed8(20.0f), 0x1400);
    EXPECT_EQ(SingleToFixed16(-0.5f), -32768);
    EXPECT_EQ(SingleToFixed16(1.0f), 65536);
    EXPECT_EQ(SingleToFixed16(1.99999f), 131071); // truncated, not rounded to 131072
    EXPECT_EQ(SingleToFixed16(-1.99999f), -131071);
    EXPECT_FLOAT_EQ(Fixed16ToSingle(-98304), -1.5f);
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(3.5), 4);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
}

TEST(Colours, ValueLayout) {
    const SWFRGB c = MakeRGB(0x00332211u);
    EXPECT_EQ(c.R, 0x11);
    EXPECT_EQ(c.G, 0x22);
    EXPECT_EQ(c.B, 0x33);
    EXPECT_EQ(MakeRGBA(1, 2, 3, 4), 0x04030201u);
    EXPECT_EQ(Hex(Capture([](TBitsEngine& be) {
                  be.WriteRGB(SWFRGB{1, 2, 3});
                  be.WriteRGBA(SWFRGBA{4, 5, 6, 7});
              })),
              "01 02 03 04 05 06 07");
}

TEST(Rect, GoldenBytes) {
    // 550 x 400 pixels in twips: nbits 15.
    EXPECT_EQ(Hex(Capture([](TBitsEngine& be) {
                  be.WriteRect(SWFRect{0, 11000, 0, 8000});
              })),
              "78 00 05 5F 00 00 0F A0 00");
    EXPECT_EQ(Hex(Capture([](TBitsEngine& be) { be.WriteRect(SWFRect{}); })), "00");
    // The left/top/right/bottom form sorts the corners and does not scale.
    EXPECT_EQ(Capture([](TBitsEngine& be) {
                  be.WriteRect(TRect{11000, 8000, 0, 0});
              }),
              Capture([](TBitsEngine& be) {
                  be.WriteRect(SWFRect{0, 11000, 0, 8000});
              }));
    const SWFRect r = MakeSWFRect(TRect{10, 5, 2, 1}, true);
    EXPECT_EQ(r.GetXMin(), 40);
    EXPECT_EQ(r.GetXMax(), 200);
    EXPECT_EQ(r.GetYMin(), 20);
    EXPECT_EQ(r.GetYMax(), 100);
}

TEST(Matrix, GoldenBytes) {
    SWFMatrix translate;
    translate.TranslateX = 10;
    translate.TranslateY = -20;
    EXPECT_EQ(Hex(Capture([&](TBitsEngine& be) { be.WriteMatrix(translate); })),
              "0C 55 80"); // 0 0 00110 001010 101100 + pad
    EXPECT_EQ(Hex(Capture([](TBitsEngine& be) { be.WriteMatrix(SWFMatrix{}); })), "00");

    // Scale alone: 1 | 10010 | 65536 in 18 bits | 32768 in 18 bits | 0 | 00000
    SWFMatrix scale;
    scale.HasScale = true;
    scale.ScaleX = 65536;
    scale.ScaleY = 32768;
    test::BitReader bits(Capture([&](TBitsEngine& be) { be.WriteMatrix(scale); }));
    EXPECT_EQ(bits.Bits(1), 1u);
    EXPECT_EQ(bits.Bits(5), 18u);
    EXPECT_EQ(bits.SignedBits(18), 65536);
    EXPECT_EQ(bits.SignedBits(18), 32768);
    EXPECT_EQ(bits.Bits(1), 0u); // no rotate
    EXPECT_EQ(bits.Bits(5), 0u); // no translation

    // Rotate alone: RotateSkew0 is written before RotateSkew1.
    SWFMatrix rotate;
    rotate.HasRotate = true;
    rotate.RotateSkew0 = -65536;
    rotate.RotateSkew1 = 3;
    test::BitReader rbits(Capture([&](TBitsEngine& be) { be.WriteMatrix(rotate); }));
    EXPECT_EQ(rbits.Bits(1), 0u);
    EXPECT_EQ(rbits.Bits(1), 1u);
    EXPECT_EQ(rbits.Bits(5), 18u);
    EXPECT_EQ(rbits.SignedBits(18), -65536);
    EXPECT_EQ(rbits.SignedBits(18), 3);
}

TEST(ColorTransform, GoldenBytes) {
    SWFColorTransform addAlpha;
    addAlpha.HasAdd = true;
    addAlpha.HasAlpha = true;
    addAlpha.AddA = -128;
    EXPECT_EQ(Hex(Capture([&](TBitsEngine& be) { be.WriteColorTransform(addAlpha); })),
              "A4 00 00 00 60 00");
    EXPECT_EQ(Hex(Capture([](TBitsEngine& be) { be.WriteColorTransform(SWFColorTransform{}); })),
              "00");

    // Multiply alone, without alpha: 0 1 | nbits 10 | 256 128 -1, and the
    // alpha term is not written even though it is set.
    SWFColorTransform mult;
    mult.HasMult = true;
    mult.MultR = 256;
    mult.MultG = 128;
    mult.MultB = -1;
    mult.MultA = 1000;
    const std::string bytes = Capture([&](TBitsEngine& be) { be.WriteColorTransform(mult); });
    test::BitReader bits(bytes);
    EXPECT_EQ(bits.Bits(1), 0u); // HasAdd
    EXPECT_EQ(bits.Bits(1), 1u); // HasMult
    EXPECT_EQ(bits.Bits(4), 10u);
    EXPECT_EQ(bits.SignedBits(10), 256);
    EXPECT_EQ(bits.SignedBits(10), 128);
    EXPECT_EQ(bits.SignedBits(10), -1);
    EXPECT_EQ(bytes.size(), 5u); // 36 bits

    // Both groups share the wider width; multiply terms come first.
    SWFColorTransform both;
    both.HasAdd = both.HasMult = true;
    both.MultR = both.MultG = both.MultB = 1;
    both.AddR = 100;
    test::BitReader b2(Capture([&](TBitsEngine& be) { be.WriteColorTransform(both); }));
    EXPECT_EQ(b2.Bits(2), 3u);
    EXPECT_EQ(b2.Bits(4), 8u);
    EXPECT_EQ(b2.SignedBits(8), 1);
    EXPECT_EQ(b2.SignedBits(8), 1);
    EXPECT_EQ(b2.SignedBits(8), 1);
    EXPECT_EQ(b2.SignedBits(8), 100);
}

} // namespace
} // namespace pictova
