#include "media/BMPReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace pictova {
namespace {

using TData = std::vector<uint8_t>;

// Fixtures in tests/data/bmp: NAME.bmp with ffmpeg's decoding of it in
// NAME.rgb (rgb24, rows top to bottom) and, for 32 bits, NAME.rgba.
// make_fixtures.py there writes them all.
TData ReadData(const std::string& name) {
    std::ifstream in(std::string(PICTOVA_TEST_DATA) + "/bmp/" + name, std::ios::binary);
    EXPECT_TRUE(in) << name;
    return TData(std::istreambuf_iterator<char>(in), {});
}

TBMPReader Load(const std::string& name) {
    TBMPReader bmp;
    bmp.LoadFromFile(std::string(PICTOVA_TEST_DATA) + "/bmp/" + name);
    return bmp;
}

// The reader's pixels as rgb24 rows top to bottom, read through the pixel
// layouts the reader promises (palette indices, x-5-5-5, BGR, BGRA).
TData ToRGB(const TBMPReader& bmp, bool alphaOnly = false) {
    TData out;
    const auto pal = bmp.Palette();
    for (uint32_t y = 0; y < bmp.RowCount(); ++y) {
        const uint8_t* row = bmp.RowFromTop(y);
        for (int32_t x = 0; x < bmp.Width(); ++x) {
            uint8_t r = 0, g = 0, b = 0, a = 255;
            switch (bmp.BitCount()) {
            case 1:
            case 4:
            case 8: {
                const unsigned bits = bmp.BitCount();
                const unsigned bit = x * bits;
                const unsigned index = (row[bit / 8] >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
                r = pal[index].Red, g = pal[index].Green, b = pal[index].Blue;
                break;
            }
            case 16: {
                const unsigned v = row[2 * x] | row[2 * x + 1] << 8;
                const auto expand = [](unsigned c) { return uint8_t(c << 3 | c >> 2); };
                r = expand(v >> 10 & 31), g = expand(v >> 5 & 31), b = expand(v & 31);
                break;
            }
            case 24:
                b = row[3 * x], g = row[3 * x + 1], r = row[3 * x + 2];
                break;
            case 32:
                b = row[4 * x], g = row[4 * x + 1], r = row[4 * x + 2], a = row[4 * x + 3];
                break;
            }
            if (alphaOnly)
                out.push_back(a);
            else
                out.insert(out.end(), {r, g, b});
        }
    }
    return out;
}

// Channels cut to their top `bits` bits.
TData Significant(TData d, unsigned bits) {
    for (auto& c : d)
        c = uint8_t(c >> (8 - bits));
    return d;
}

TEST(BMPReader, DecodesEveryDepthAndHeaderLikeFfmpeg) {
    struct Row {
        const char* Name;
        uint16_t BitCount;
        int32_t Height;
        unsigned Significant = 8; // bits per channel that both decoders keep
    };
    const Row rows[] = {
        {"monob-13x7", 1, 7},
        {"pal4-13x7", 4, 7},
        {"core-pal4-13x7", 4, 7}, // 12-byte header, three-byte palette entries
        {"pal8-13x7", 8, 7},
        {"pal8-29x9", 8, 9}, // palette of fewer than 256 entries
        {"rle8-29x9", 8, 9}, // runs, literals, both kinds of delta
        {"pal4-29x9", 4, 9},
        {"rle4-29x9", 4, 9}, // literals of 3 to 7 pixels at odd and even columns
        // 16-bit pixels become 5-5-5 in memory.
        {"rgb555-13x7", 16, 7, 5},
        {"rgb565-bitfields-13x7", 16, 7, 5},
        {"rgb444-bitfields-13x7", 16, 7, 4},    // ffmpeg widens 4 bits as c << 4
        {"v4-rgb565-bitfields-13x7", 16, 7, 5}, // 108-byte header
        {"bgr24-13x7", 24, 7},
        {"core-bgr24-13x7", 24, 7},
        {"topdown-bgr24-13x7", 24, -7},
        {"bgra-13x7", 32, 7},
        {"bgrx-zero-alpha-13x7", 32, 7},
        {"v5-rgba-bitfields-13x7", 32, 7}, // 124-byte header, masks in RGBA byte order
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        const TBMPReader bmp = Load(std::string(row.Name) + ".bmp");
        EXPECT_EQ(bmp.BitCount(), row.BitCount);
        EXPECT_EQ(bmp.Height(), row.Height);
        // What is in memory is always the plain form.
        EXPECT_EQ(bmp.Info().Header.Compression, bmpRGB);
        EXPECT_EQ(bmp.Info().Header.Size, 40u);
        const TData expected = ReadData(std::string(row.Name) + ".rgb");
        ASSERT_EQ(expected.size(), size_t(bmp.Width()) * bmp.RowCount() * 3);
        EXPECT_EQ(Significant(ToRGB(bmp), row.Significant), Significant(expected, row.Significant));
        if (row.BitCount == 16) {
            EXPECT_EQ(bmp.RedBits() * 100 + bmp.GreenBits() * 10 + bmp.BlueBits(), 555);
        }
        if (row.BitCount == 32) {
            const TData rgba = ReadData(std::string(row.Name) + ".rgba");
            TData alpha;
            for (size_t i = 3; i < rgba.size(); i += 4)
                alpha.push_back(rgba[i]);
            EXPECT_EQ(ToRGB(bmp, true), alpha);
        }
    }
}

TEST(BMPReader, RunLengthFilesDecodeToTheSameBytesAsTheirUncompressedTwins) {
    for (const auto& [packed, plain] :
         {std::pair{"rle8-29x9.bmp", "pal8-29x9.bmp"}, std::pair{"rle4-29x9.bmp", "pal4-29x9.bmp"},
          std::pair{"core-pal4-13x7.bmp", "pal4-13x7.bmp"}}) {
        SCOPED_TRACE(packed);
        const TBMPReader a = Load(packed), b = Load(plain);
        ASSERT_EQ(a.ImageSize(), b.ImageSize());
        EXPECT_TRUE(std::equal(a.Bits(), a.Bits() + a.ImageSize(), b.Bits()));
        EXPECT_TRUE(std::equal(a.Palette().begin(), a.Palette().end(), b.Palette().begin()));
    }
    // The core header's 16 three-byte entries, with the fourth byte set.
    const TBMPReader core = Load("core-pal4-13x7.bmp");
    EXPECT_EQ(core.Palette()[15].Reserved, 255);
    EXPECT_EQ(core.Palette()[16], TBMPPaletteEntry{});
}

// A BMP file with a 40-byte header, written field by field.
TData MakeBmp(int32_t width, int32_t height, uint16_t bits, uint32_t compression,
              const TData& palette, const TData& pixels, uint32_t colorsUsed) {
    TData d;
    auto u16 = [&](uint32_t v) { d.insert(d.end(), {uint8_t(v), uint8_t(v >> 8)}); };
    auto u32 = [&](uint32_t v) { u16(v & 0xFFFF), u16(v >> 16); };
    const uint32_t offset = 14 + 40 + uint32_t(palette.size());
    u16(0x4D42);                           // signature "BM"
    u32(offset + uint32_t(pixels.size())); // file size
    u32(0);                                // reserved
    u32(offset);                           // pixel data offset
    u32(40);                               // header size
    u32(uint32_t(width));                  // width
    u32(uint32_t(height));                 // height
    u16(1);                                // planes
    u16(bits);                             // bit count
    u32(compression);                      // compression
    u32(uint32_t(pixels.size()));          // image size
    u32(2835);                             // x pixels per metre
    u32(2835);                             // y pixels per metre
    u32(colorsUsed);                       // colours used
    u32(0);                                // colours important
    d.insert(d.end(), palette.begin(), palette.end());
    d.insert(d.end(), pixels.begin(), pixels.end());
    return d;
}

// The stored rows (memory order) within the width, as hex bytes.
std::string StoredRows(const TBMPReader& bmp) {
    std::ostringstream s;
    const unsigned bytes = (bmp.Width() * bmp.BitCount() + 7) / 8;
    for (uint32_t y = 0; y < bmp.RowCount(); ++y) {
        if (y)
            s << " |";
        for (unsigned i = 0; i < bytes; ++i)
            s << ' ' << std::hex << (bmp.Scanline(y)[i] >> 4) << (bmp.Scanline(y)[i] & 15);
    }
    return s.str().substr(1);
}

struct TRLECase {
    const char* What;
    TData Data;
    const char* Rows; // stored rows, bottom first
};

void CheckRLE(uint16_t bits, int32_t width, const std::vector<TRLECase>& cases) {
    const TData palette(16 * 4, 0x80);
    for (const TRLECase& c : cases) {
        SCOPED_TRACE(c.What);
        TBMPReader bmp;
        bmp.LoadFromMemory(
            MakeBmp(width, 3, bits, bits == 8 ? bmpRLE8 : bmpRLE4, palette, c.Data, 16), c.What);
        EXPECT_EQ(StoredRows(bmp), c.Rows);
        // The padding of every row stays zero whatever the data says.
        for (uint32_t y = 0; y < bmp.RowCount(); ++y)
            for (uint32_t i = bmp.RowSize() - bmp.RowSkip(); i < bmp.RowSize(); ++i)
                EXPECT_EQ(bmp.Scanline(y)[i], 0) << y;
    }
}

TEST(BMPReader, RLE8StaysInsideTheRowsAndTheData) {
    // 4 x 3 pixels, 8 bits: rows of 4 bytes, none of padding.
    CheckRLE(8, 4,
             {
                 {"run cut at the row end",
                  {6, 7, 0, 0, 1, 8, 0, 1},
                  "07 07 07 07 | 08 00 00 00 | 00 00 00 00"},
                 {"literal cut at the row end",
                  {0, 5, 1, 2, 3, 4, 5, 0, 2, 6, 0, 1},
                  "01 02 03 04 | 00 00 00 00 | 00 00 00 00"},
                 {"odd literal is padded",
                  {0, 3, 1, 2, 3, 0, 1, 4, 0, 1},
                  "01 02 03 04 | 00 00 00 00 | 00 00 00 00"},
                 {"delta right and up",
                  {1, 1, 0, 2, 2, 1, 1, 9, 0, 1},
                  "01 00 00 00 | 00 00 00 09 | 00 00 00 00"},
                 {"delta past the row end",
                  {0, 2, 250, 0, 2, 3, 0, 0, 1, 4, 0, 1},
                  "00 00 00 00 | 04 00 00 00 | 00 00 00 00"},
                 {"delta past the last row",
                  {1, 1, 0, 2, 0, 200, 1, 5, 0, 0, 1, 6},
                  "01 00 00 00 | 00 00 00 00 | 00 00 00 00"},
                 {"end of line past the last row",
                  {0, 0, 0, 0, 0, 0, 0, 0, 4, 3},
                  "00 00 00 00 | 00 00 00 00 | 00 00 00 00"},
                 {"runs past the buffer",
                  {255, 1, 0, 0, 255, 2, 0, 0, 255, 3, 0, 0, 255, 4},
                  "01 01 01 01 | 02 02 02 02 | 03 03 03 03"},
                 {"no end-of-bitmap code", {2, 6}, "06 06 00 00 | 00 00 00 00 | 00 00 00 00"},
                 {"data ends inside a delta",
                  {1, 1, 0, 2, 5},
                  "01 00 00 00 | 00 00 00 00 | 00 00 00 00"},
                 {"data ends inside a literal",
                  {0, 200, 1, 2},
                  "01 02 00 00 | 00 00 00 00 | 00 00 00 00"},
                 {"a lone byte", {3}, "00 00 00 00 | 00 00 00 00 | 00 00 00 00"},
                 {"no data", {}, "00 00 00 00 | 00 00 00 00 | 00 00 00 00"},
             });
}

TEST(BMPReader, RLE4KeepsNibblesAndWordAlignment) {
    // 5 x 3 pixels, 4 bits: 3 pixel bytes and 1 of padding per row.
    CheckRLE(4, 5,
             {
                 {"two-colour run from an odd column",
                  {1, 0x10, 4, 0x23, 0, 1},
                  "12 32 30 | 00 00 00 | 00 00 00"},
                 {"run cut at the row end",
                  {7, 0xAB, 0, 0, 1, 0xC0, 0, 1},
                  "ab ab a0 | c0 00 00 | 00 00 00"},
                 // Literal bytes are padded to an even count: 3 pixels take 2 bytes,
                 // 5 and 6 pixels take 3 bytes plus one.
                 {"literal of 3 from an odd column",
                  {1, 0x10, 0, 3, 0x45, 0x60, 0, 0, 1, 0xF0, 0, 1},
                  "14 56 00 | f0 00 00 | 00 00 00"},
                 {"literal of 5",
                  {0, 5, 0x12, 0x34, 0x50, 0x00, 0, 0, 1, 0xF0, 0, 1},
                  "12 34 50 | f0 00 00 | 00 00 00"},
                 {"literal of 6 cut at the row end",
                  {0, 6, 0x12, 0x34, 0x56, 0x00, 0, 0, 1, 0xE0, 0, 1},
                  "12 34 50 | e0 00 00 | 00 00 00"},
                 {"literal of 7 from an odd column",
                  {1, 0x90, 0, 7, 0x12, 0x34, 0x56, 0x70, 0, 1},
                  "91 23 40 | 00 00 00 | 00 00 00"},
                 {"delta to an odd column",
                  {0, 2, 3, 1, 2, 0x77, 0, 1},
                  "00 00 00 | 00 07 70 | 00 00 00"},
                 {"data ends inside a literal", {0, 9, 0xAB}, "ab 00 00 | 00 00 00 | 00 00 00"},
             });
}

// Reads a little-endian field of a fixture and replaces it; the expected old
// value guards against patching the wrong bytes.
void Patch(TData& d, size_t at, unsigned size, uint32_t old, uint32_t value) {
    uint32_t was = 0;
    for (unsigned i = 0; i < size; ++i)
        was |= uint32_t(d.at(at + i)) << 8 * i;
    ASSERT_EQ(was, old) << "field at " << at;
    for (unsigned i = 0; i < size; ++i)
        d[at + i] = uint8_t(value >> 8 * i);
}

TEST(BMPReader, LyingOrUnsupportedHeadersFailWithTheNumbers) {
    struct Row {
        const char* Fixture;
        std::function<void(TData&)> Corrupt;
        const char* Message;
    };
    const Row rows[] = {
        {"bgr24-13x7", [](TData& d) { Patch(d, 0, 2, 0x4D42, 0x4B50); },
         "not a BMP file: it starts with 0x4B50"},
        {"bgr24-13x7", [](TData& d) { Patch(d, 14, 4, 40, 64); },
         "header size 64 is not supported"},
        {"bgr24-13x7", [](TData& d) { Patch(d, 18, 4, 13, 0); }, "width 0 is not positive"},
        {"bgr24-13x7", [](TData& d) { Patch(d, 18, 4, 13, uint32_t(-13)); },
         "width -13 is not positive"},
        {"bgr24-13x7", [](TData& d) { Patch(d, 22, 4, 7, 0); }, "height is 0"},
        {"bgr24-13x7", [](TData& d) { Patch(d, 22, 4, 7, 0x80000000); },
         "13 x -2147483648 pixels exceed the largest side of 65535"},
        {"bgr24-13x7", [](TData& d) { Patch(d, 18, 4, 13, 70000); },
         "70000 x 7 pixels exceed the largest side of 65535"},
        {"bgr24-13x7", [](TData& d) { Patch(d, 18, 4, 13, 60000), Patch(d, 22, 4, 7, 60000); },
         "60000 x 60000 pixels at 24 bits need 10800000000 bytes, more than the limit of "
         "536870912"},
        // Below the limit but far more than the file holds: refused before allocating.
        {"bgr24-13x7", [](TData& d) { Patch(d, 18, 4, 13, 20000), Patch(d, 22, 4, 7, 8000); },
         "pixel data of 20000 x 8000 pixels at 24 bits needs 480000000 bytes from byte 54, but "
         "only 280 follow"},
        {"rle8-29x9", [](TData& d) { Patch(d, 18, 4, 29, 65535), Patch(d, 22, 4, 9, 9000); },
         "65535 x 9000 pixels at 8 bits need 589824000 bytes"},
        {"bgr24-13x7", [](TData& d) { Patch(d, 28, 2, 24, 7); }, "bit count 7 is not supported"},
        {"bgr24-13x7", [](TData& d) { Patch(d, 30, 4, 0, 4); }, "compression 4 (embedded JPEG)"},
        {"bgr24-13x7", [](TData& d) { Patch(d, 30, 4, 0, 1); },
         "RLE8 compression needs 8 bits per pixel, not 24"},
        {"pal8-13x7", [](TData& d) { Patch(d, 30, 4, 0, 2); },
         "RLE4 compression needs 4 bits per pixel, not 8"},
        {"bgr24-13x7", [](TData& d) { Patch(d, 30, 4, 0, 3); },
         "bit-field compression needs 16 or 32 bits per pixel, not 24"},
        {"rle8-29x9", [](TData& d) { Patch(d, 22, 4, 9, uint32_t(-9)); },
         "RLE8 bitmap has height -9 (top-down rows)"},
        {"rgb565-bitfields-13x7", [](TData& d) { Patch(d, 54, 4, 0xF800, 0xF801); },
         "red mask 0xF801 is not one run of bits"},
        {"rgb565-bitfields-13x7", [](TData& d) { Patch(d, 62, 4, 0x1F, 0x1F0000); },
         "blue mask 0x1F0000 has bits above the 16 of a pixel"},
        {"pal8-13x7", [](TData& d) { Patch(d, 46, 4, 0, 300); },
         "palette of 300 colours is more than the 256"},
        {"pal4-13x7", [](TData& d) { Patch(d, 46, 4, 16, 256); },
         "palette of 256 entries needs 1024 bytes from byte 54, but the pixel data starts at byte "
         "118"},
        {"bgr24-13x7", [](TData& d) { Patch(d, 10, 4, 54, 5000); },
         "pixel data offset 5000 lies past the end of the data (334 bytes)"},
        {"bgr24-13x7", [](TData& d) { Patch(d, 10, 4, 54, 20); },
         "pixel data offset 20 lies inside the headers, which end at byte 54"},
        {"rgb565-bitfields-13x7", [](TData& d) { Patch(d, 10, 4, 66, 54); },
         "pixel data offset 54 lies inside the headers, which end at byte 66"},
        {"bgr24-13x7", [](TData& d) { d.resize(300); },
         "pixel data of 13 x 7 pixels at 24 bits needs 280 bytes from byte 54, but only 246 "
         "follow"},
        {"bgr24-13x7", [](TData& d) { d.resize(40); },
         "truncated: the information header needs 54 bytes, the data has 40"},
        {"v5-rgba-bitfields-13x7", [](TData& d) { d.resize(100); },
         "truncated: the information header needs 138 bytes, the data has 100"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Message);
        TData data = ReadData(std::string(row.Fixture) + ".bmp");
        row.Corrupt(data);
        try {
            TBMPReader().LoadFromMemory(data, "x.bmp");
            ADD_FAILURE() << "no error";
        } catch (const TBMPError& e) {
            EXPECT_NE(std::string(e.what()).find(std::string("x.bmp: ") + row.Message),
                      std::string::npos)
                << e.what();
        }
    }
}

TEST(BMPReader, EveryTruncationFailsOrDecodesInsideItsBuffers) {
    // Uncompressed files need all their pixels; run-length files end their
    // pixels wherever the data ends. Each prefix is a fresh heap block, so a
    // sanitizer build sees any read past it.
    for (const char* name :
         {"monob-13x7", "pal4-13x7", "core-pal4-13x7", "pal8-29x9", "rgb565-bitfields-13x7",
          "bgr24-13x7", "v5-rgba-bitfields-13x7", "rle8-29x9", "rle4-29x9"}) {
        SCOPED_TRACE(name);
        const TData full = ReadData(std::string(name) + ".bmp");
        const bool rle = full[14] == 40 && (full[30] == bmpRLE8 || full[30] == bmpRLE4);
        const size_t pixelOffset = full[10] | full[11] << 8;
        for (size_t n = 0; n < full.size(); ++n) {
            const TData prefix(full.begin(), full.begin() + n);
            TBMPReader bmp;
            if (rle && n >= pixelOffset)
                EXPECT_NO_THROW(bmp.LoadFromMemory(prefix)) << n;
            else
                EXPECT_THROW(bmp.LoadFromMemory(prefix), TBMPError) << n;
        }
    }
}

TEST(BMPReader, AFailedLoadKeepsTheBitmapItHad) {
    TBMPReader bmp = Load("pal8-13x7.bmp");
    const TData before = ToRGB(bmp);
    TData bad = ReadData("bgr24-13x7.bmp");
    bad.resize(100);
    EXPECT_THROW(bmp.LoadFromMemory(bad), TBMPError);
    EXPECT_EQ(bmp.BitCount(), 8);
    EXPECT_EQ(ToRGB(bmp), before);

    try {
        bmp.LoadFromFile("no-such-picture.bmp");
        ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("no-such-picture.bmp"), std::string::npos) << e.what();
    }
    EXPECT_EQ(ToRGB(bmp), before);

    const TData good = ReadData("bgr24-13x7.bmp");
    std::istringstream stream(std::string(good.begin(), good.end()));
    bmp.LoadFromStream(stream);
    EXPECT_EQ(ToRGB(bmp), ReadData("bgr24-13x7.rgb"));
}

TEST(BMPReader, CountColorsOfOneBitLooksOnlyAtPixels) {
    TBMPReader bmp;
    bmp.SetFormat(10, 2, 1);   // 10 pixel bits, 22 bits of padding per row
    bmp.Scanline(0)[1] = 0x3F; // padding bits only
    EXPECT_EQ(bmp.CountColors(), 1u);
    for (uint32_t y = 0; y < 2; ++y)
        bmp.Scanline(y)[0] = 0xFF, bmp.Scanline(y)[1] = 0xC0; // every pixel index 1
    EXPECT_EQ(bmp.CountColors(), 2u);
}

TEST(BMPReader, CountColorsCompactsAnEightBitPalette) {
    TBMPReader bmp;
    bmp.SetFormat(3, 2, 8); // one byte of padding per row
    for (int i = 0; i < 256; ++i)
        bmp.Palette()[i] = {uint8_t(i), uint8_t(255 - i), uint8_t(i / 2), 255};
    const uint8_t rows[2][4] = {{5, 9, 5, 200}, {9, 9, 5, 200}};
    for (int y = 0; y < 2; ++y)
        std::copy_n(rows[y], 4, bmp.Scanline(y));
    const TBMPPaletteEntry five = bmp.Palette()[5], nine = bmp.Palette()[9];

    EXPECT_EQ(bmp.CountColors(), 2u);
    EXPECT_EQ(bmp.Palette()[0], five);
    EXPECT_EQ(bmp.Palette()[1], nine);
    EXPECT_EQ(StoredRows(bmp), "00 01 00 | 01 01 00");
    EXPECT_EQ(bmp.Scanline(0)[3], 200); // padding is not a pixel
}

TEST(BMPReader, CountColorsCompactsAFourBitPaletteNibbleByNibble) {
    TBMPReader bmp;
    bmp.SetFormat(5, 1, 4);
    for (int i = 0; i < 16; ++i)
        bmp.Palette()[i] = {uint8_t(i * 16), 0, 0, 255};
    const uint8_t row[] = {0xC3, 0x7C, 0x3F}; // 12 3 7 12 3, padding nibble 15
    std::copy_n(row, 3, bmp.Scanline(0));
    EXPECT_EQ(bmp.CountColors(), 3u);
    EXPECT_EQ(StoredRows(bmp), "20 12 0f");
    EXPECT_EQ(bmp.Palette()[0].Blue, 3 * 16);
    EXPECT_EQ(bmp.Palette()[1].Blue, 7 * 16);
    EXPECT_EQ(bmp.Palette()[2].Blue, 12 * 16);

    // All 16 in use: nothing moves.
    bmp.SetFormat(16, 1, 4);
    const uint8_t all[] = {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF};
    std::copy_n(all, 8, bmp.Scanline(0));
    const auto palette = bmp.Info().Palette;
    EXPECT_EQ(bmp.CountColors(), 16u);
    EXPECT_TRUE(std::equal(all, all + 8, bmp.Scanline(0)));
    EXPECT_EQ(bmp.Info().Palette, palette);
}

TEST(BMPReader, CountColorsAgreesWithFfmpegsPixels) {
    for (const char* name : {"pal8-13x7", "pal4-29x9", "rle8-29x9", "rgb565-bitfields-13x7",
                             "bgr24-13x7", "bgra-13x7"}) {
        SCOPED_TRACE(name);
        TBMPReader bmp = Load(std::string(name) + ".bmp");
        TData rgb = ReadData(std::string(name) + ".rgb");
        const unsigned significant = bmp.BitCount() == 16 ? 5 : 8;
        rgb = Significant(rgb, significant);
        std::set<uint32_t> distinct;
        for (size_t i = 0; i < rgb.size(); i += 3)
            distinct.insert(rgb[i] << 16 | rgb[i + 1] << 8 | rgb[i + 2]);
        EXPECT_EQ(bmp.CountColors(), distinct.size());
        // Compaction changes indices, never the picture.
        EXPECT_EQ(Significant(ToRGB(bmp), significant), rgb);
    }
}

TEST(BMPReader, RowSizeAndPadding) {
    struct Row {
        int32_t Width;
        uint16_t Bits;
        uint32_t RowSize, RowSkip;
    };
    for (const Row& r :
         {Row{13, 1, 4, 2}, Row{32, 1, 4, 0}, Row{33, 1, 8, 3}, Row{3, 4, 4, 2}, Row{3, 8, 4, 1},
          Row{5, 16, 12, 2}, Row{13, 24, 40, 1}, Row{13, 32, 52, 0}}) {
        TBMPReader bmp;
        bmp.SetFormat(r.Width, -2, r.Bits);
        EXPECT_EQ(bmp.RowSize(), r.RowSize) << r.Width << " x " << r.Bits;
        EXPECT_EQ(bmp.RowSkip(), r.RowSkip) << r.Width << " x " << r.Bits;
        EXPECT_EQ(bmp.ImageSize(), 2 * r.RowSize);
        EXPECT_EQ(bmp.Info().Header.SizeImage, 2 * r.RowSize);
    }
}

TEST(BMPReader, SetFormatKeepsTheBufferOfTheSameGeometry) {
    TBMPReader bmp;
    bmp.SetFormat(5, 3, 8);
    const uint8_t* bits = bmp.Bits();
    bmp.Scanline(2)[4] = 42;
    bmp.SetFormat(5, 3, 8);
    EXPECT_EQ(bmp.Bits(), bits);
    EXPECT_EQ(bmp.Scanline(2)[4], 42);
    bmp.SetFormat(5, -3, 8); // same size, other row order: a new bitmap
    EXPECT_EQ(bmp.Scanline(2)[4], 0);
}

TEST(BMPReader, SetFormatChannelsAndMasks) {
    auto mask = [](const TBMPReader& b, int i) {
        const TBMPPaletteEntry& e = b.Palette()[i];
        return uint32_t(e.Blue | e.Green << 8 | e.Red << 16 | e.Reserved << 24);
    };
    TBMPReader bmp;
    bmp.SetFormat(4, 2, 16, 5, 6, 5);
    EXPECT_EQ(bmp.Info().Header.Compression, bmpBitFields);
    EXPECT_EQ(mask(bmp, 0), 0xF800u); // red
    EXPECT_EQ(mask(bmp, 1), 0x07E0u); // green
    EXPECT_EQ(mask(bmp, 2), 0x001Fu); // blue
    bmp.SetFormat(4, 2, 16);
    EXPECT_EQ(bmp.Info().Header.Compression, bmpRGB);
    EXPECT_EQ(mask(bmp, 0), 0x7C00u);
    bmp.SetFormat(4, 2, 32);
    EXPECT_EQ(mask(bmp, 0), 0xFF0000u);
    EXPECT_EQ(bmp.RedBits(), 8);

    // SetBitmapInfo takes the channel widths from the mask spans.
    TBMPInfo info;
    info.Header.Width = 4;
    info.Header.Height = 2;
    info.Header.BitCount = 16;
    info.Header.Compression = bmpBitFields;
    info.Palette[0] = {0x00, 0xF8, 0, 0};
    info.Palette[1] = {0xE0, 0x07, 0, 0};
    info.Palette[2] = {0x1F, 0x00, 0, 0};
    bmp.SetBitmapInfo(info);
    EXPECT_EQ(bmp.GreenBits(), 6);
    EXPECT_EQ(mask(bmp, 1), 0x07E0u);

    // For palette depths it sets the fourth byte of the addressable entries only.
    info.Header.BitCount = 4;
    info.Header.Compression = bmpRGB;
    bmp.SetBitmapInfo(info);
    EXPECT_EQ(bmp.Palette()[15].Reserved, 255);
    EXPECT_EQ(bmp.Palette()[16].Reserved, 0);

    EXPECT_THROW(bmp.SetFormat(0, 1, 8), TBMPError);
    EXPECT_THROW(bmp.SetFormat(1, 1, 7), TBMPError);
    EXPECT_THROW(bmp.SetFormat(1, 1, 8, 5, 5, 5), TBMPError);
    EXPECT_THROW(bmp.SetFormat(1, 1, 16, 8, 8, 8), TBMPError);
    EXPECT_EQ(bmp.BitCount(), 4); // a refused format changes nothing
}

} // namespace
} // namespace pictova
