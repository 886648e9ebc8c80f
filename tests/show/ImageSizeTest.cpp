#include "show/ImageSize.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace pictova {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

// Every fixture is a flat red picture of 37 x 21 pixels, made by ffmpeg
// (PNG, baseline JPEG with its Huffman tables before the frame header, BMP
// with a 40-byte header, GIF, little-endian TIFF with LONG sizes), jpegtran
// -progressive (progressive JPEG) and tiffcp -B (big-endian TIFF with SHORT
// sizes); ffprobe reads 37 x 21 from each.
const fs::path kImages = fs::path(PICTOVA_TEST_DATA) / "images";
constexpr TImageSize k37x21{37, 21};

Bytes Fixture(const std::string& name) {
    std::ifstream in(kImages / name, std::ios::binary);
    EXPECT_TRUE(in) << name;
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Overwrites bytes at offset after checking that the fixture holds what the
// test means to change there.
void Patch(Bytes& data, std::size_t offset, std::vector<int> before, std::vector<int> after) {
    ASSERT_EQ(before.size(), after.size());
    ASSERT_LE(offset + before.size(), data.size());
    for (std::size_t i = 0; i < before.size(); ++i) {
        ASSERT_EQ(data[offset + i], before[i]) << "fixture byte at " << offset + i;
        data[offset + i] = std::uint8_t(after[i]);
    }
}

void Insert(Bytes& data, std::size_t offset, std::vector<int> bytes) {
    data.insert(data.begin() + std::ptrdiff_t(offset), bytes.begin(), bytes.end());
}

struct FixtureRow {
    const char* File;
    TImageFormat Format;
    std::size_t HeaderEnd; // bytes up to the end of the part that states the size
};

const FixtureRow kFixtures[] = {
    {"red-37x21.png", TImageFormat::Png, 33},                     // signature 8 + IHDR 25
    {"red-37x21-baseline.jpg", TImageFormat::Jpeg, 0xCD},         // SOF0 at 0xBA, 17 bytes long
    {"red-37x21-progressive.jpg", TImageFormat::Jpeg, 0x7E},      // SOF2 at 0x6B
    {"red-37x21.bmp", TImageFormat::Bmp, 54},                     // file header 14 + info 40
    {"red-37x21.gif", TImageFormat::Gif, 13},                     // header 6 + screen 7
    {"red-37x21-le.tif", TImageFormat::Tiff, 2396 + 2 + 14 * 12}, // IFD at 2396, 14 entries
    {"red-37x21-be.tif", TImageFormat::Tiff, 2360 + 2 + 16 * 12}, // IFD at 2360, 16 entries
};

TEST(ImageSize, ReadsEachFormatFromItsFile) {
    for (const auto& row : kFixtures) {
        EXPECT_EQ(ImageFormatOf(row.File), row.Format) << row.File;
        EXPECT_EQ(ReadImageSize(kImages / row.File), k37x21) << row.File;
    }
}

TEST(ImageSize, TruncatedHeadersGiveNothing) {
    for (const auto& row : kFixtures) {
        const Bytes data = Fixture(row.File);
        ASSERT_LE(row.HeaderEnd, data.size()) << row.File;
        for (std::size_t n = 0; n < row.HeaderEnd; ++n) {
            const std::span<const std::uint8_t> prefix(data.data(), n);
            ASSERT_EQ(ReadImageHeaderSize(prefix, row.Format), std::nullopt)
                << row.File << " cut to " << n << " bytes";
        }
        const std::span<const std::uint8_t> header(data.data(), row.HeaderEnd);
        EXPECT_EQ(ReadImageHeaderSize(header, row.Format), k37x21) << row.File;
    }
}

struct PatchRow {
    const char* What;
    const char* File;
    std::size_t Offset;
    std::vector<int> Before;
    std::vector<int> After;
    std::optional<TImageSize> Expected;
};

// One field changed per row. The baseline JPEG's DHT segment starts at 0x6B
// (FF C4 00 4D), its SOF0 at 0xBA (FF C0 00 11 08 00 15 00 25 03).
TEST(ImageSize, HeaderFieldsOneAtATime) {
    const int le = 2396 + 2 + 12; // ImageWidth entry of the little-endian TIFF
    const int be = 2360 + 2 + 12; // and of the big-endian one
    const PatchRow rows[] = {
        {"JPEG without SOI", "red-37x21-baseline.jpg", 1, {0xD8}, {0xD9}, {}},
        {"JPEG SOF1 (extended) counts", "red-37x21-baseline.jpg", 0xBB, {0xC0}, {0xC1}, k37x21},
        {"JPEG SOF3 (lossless) cannot be loaded",
         "red-37x21-baseline.jpg",
         0xBB,
         {0xC0},
         {0xC3},
         {}},
        {"JPEG SOF9 (arithmetic) cannot be loaded",
         "red-37x21-baseline.jpg",
         0xBB,
         {0xC0},
         {0xC9},
         {}},
        {"JPEG height 0 (left to a DNL marker)",
         "red-37x21-baseline.jpg",
         0xBF,
         {0x00, 0x15},
         {0x00, 0x00},
         {}},
        {"JPEG width 0", "red-37x21-baseline.jpg", 0xC1, {0x00, 0x25}, {0x00, 0x00}, {}},
        {"JPEG frame length disagrees with its components",
         "red-37x21-baseline.jpg",
         0xBC,
         {0x00, 0x11},
         {0x00, 0x14},
         {}},
        {"JPEG wide frame",
         "red-37x21-baseline.jpg",
         0xC1,
         {0x00, 0x25},
         {0x12, 0x34},
         TImageSize{0x1234, 21}},
        {"JPEG segment length below 2",
         "red-37x21-baseline.jpg",
         0x6D,
         {0x00, 0x4D},
         {0x00, 0x01},
         {}},
        {"JPEG segment length runs past the end",
         "red-37x21-baseline.jpg",
         0x6D,
         {0x00, 0x4D},
         {0xFF, 0xFF},
         {}},
        {"JPEG no marker where one belongs", "red-37x21-baseline.jpg", 0x6B, {0xFF}, {0x00}, {}},
        {"JPEG image data before the frame", "red-37x21-baseline.jpg", 0x6C, {0xC4}, {0xDA}, {}},
        {"JPEG end before the frame", "red-37x21-baseline.jpg", 0x6C, {0xC4}, {0xD9}, {}},
        {"JPEG second SOI", "red-37x21-baseline.jpg", 0x6C, {0xC4}, {0xD8}, {}},
        {"PNG signature", "red-37x21.png", 1, {'P'}, {'Q'}, {}},
        {"PNG first chunk not IHDR", "red-37x21.png", 15, {'R'}, {'X'}, {}},
        {"PNG IHDR length", "red-37x21.png", 11, {13}, {14}, {}},
        {"PNG IHDR checksum", "red-37x21.png", 32, {0xF9}, {0xF8}, {}},
        {"BMP signature", "red-37x21.bmp", 1, {'M'}, {'A'}, {}},
        {"BMP rows stored top-down (negative height)",
         "red-37x21.bmp",
         22,
         {21, 0, 0, 0},
         {0xEB, 0xFF, 0xFF, 0xFF},
         k37x21},
        {"BMP height 0", "red-37x21.bmp", 22, {21, 0, 0, 0}, {0, 0, 0, 0}, {}},
        {"BMP height -2^31", "red-37x21.bmp", 22, {21, 0, 0, 0}, {0, 0, 0, 0x80}, {}},
        {"BMP negative width", "red-37x21.bmp", 18, {37, 0, 0, 0}, {0xDB, 0xFF, 0xFF, 0xFF}, {}},
        {"BMP wide picture",
         "red-37x21.bmp",
         18,
         {37, 0, 0, 0},
         {0x70, 0x11, 0x01, 0x00},
         TImageSize{70000, 21}},
        {"BMP header size 64 (OS/2 2.x)", "red-37x21.bmp", 14, {40}, {64}, {}},
        {"GIF87a", "red-37x21.gif", 4, {'9'}, {'7'}, k37x21},
        {"GIF unknown version", "red-37x21.gif", 4, {'9'}, {'8'}, {}},
        {"GIF width 0", "red-37x21.gif", 6, {37, 0}, {0, 0}, {}},
        {"GIF wide screen", "red-37x21.gif", 6, {37, 0}, {0x2C, 0x01}, TImageSize{300, 21}},
        {"TIFF magic", "red-37x21-le.tif", 2, {0x2A}, {0x2B}, {}},
        {"TIFF IFD beyond the end",
         "red-37x21-le.tif",
         4,
         {0x5C, 0x09, 0, 0},
         {0xFF, 0xFF, 0xFF, 0x7F},
         {}},
        {"TIFF no width entry", "red-37x21-le.tif", le, {0x00, 0x01}, {0x10, 0x01}, {}},
        {"TIFF width of type RATIONAL", "red-37x21-le.tif", le + 2, {0x04, 0x00}, {0x05, 0x00}, {}},
        {"TIFF width with count 0", "red-37x21-le.tif", le + 4, {1, 0, 0, 0}, {0, 0, 0, 0}, {}},
        {"TIFF width 0", "red-37x21-le.tif", le + 8, {37, 0, 0, 0}, {0, 0, 0, 0}, {}},
        {"TIFF LONG width above 16 bits",
         "red-37x21-le.tif",
         le + 8,
         {37, 0, 0, 0},
         {0x70, 0x11, 0x01, 0},
         TImageSize{70000, 21}},
        {"TIFF LONG width of 2^31", "red-37x21-le.tif", le + 8, {37, 0, 0, 0}, {0, 0, 0, 0x80}, {}},
        {"TIFF big-endian SHORT width",
         "red-37x21-be.tif",
         be + 8,
         {0x00, 0x25},
         {0x01, 0x2C},
         TImageSize{300, 21}},
        {"TIFF empty IFD", "red-37x21-be.tif", 2360, {0x00, 0x10}, {0x00, 0x00}, {}},
    };
    for (const auto& row : rows) {
        Bytes data = Fixture(row.File);
        Patch(data, row.Offset, row.Before, row.After);
        EXPECT_EQ(ReadImageHeaderSize(data, ImageFormatOf(row.File)), row.Expected) << row.What;
    }
}

TEST(ImageSize, JpegStandaloneMarkersAndFillBytesAreSkipped) {
    Bytes data = Fixture("red-37x21-baseline.jpg");
    Insert(data, 0xBA, {0xFF, 0xD0});       // a restart marker has no length
    Insert(data, 0xBA, {0xFF, 0xFF, 0xFF}); // fill bytes before a marker
    EXPECT_EQ(ReadImageHeaderSize(data, TImageFormat::Jpeg), k37x21);
}

// PNG sizes are checked after the checksum, so each needs a fresh CRC.
TEST(ImageSize, PngSizeLimits) {
    const auto withWidth = [](std::uint32_t width) {
        Bytes data = Fixture("red-37x21.png");
        for (int i = 0; i < 4; ++i)
            data[16 + i] = std::uint8_t(width >> (24 - 8 * i));
        const uLong crc = crc32(crc32(0L, Z_NULL, 0), &data[12], 17);
        for (int i = 0; i < 4; ++i)
            data[29 + i] = std::uint8_t(crc >> (24 - 8 * i));
        return ReadImageHeaderSize(data, TImageFormat::Png);
    };
    EXPECT_EQ(withWidth(37), k37x21);
    EXPECT_EQ(withWidth(70000), (TImageSize{70000, 21}));
    EXPECT_EQ(withWidth(0), std::nullopt);
    EXPECT_EQ(withWidth(0x80000000u), std::nullopt);
}

// "BM", file size, reserved, pixel offset, then the information header of
// the given size with its width and height and zeros for the rest.
Bytes BmpHeader(std::uint32_t headerSize, std::int32_t width, std::int32_t height) {
    Bytes data = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    const auto put = [&data](std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            data.push_back(std::uint8_t(value >> (8 * i)));
    };
    put(headerSize, 4);
    const int field = headerSize == 12 ? 2 : 4;
    put(std::uint32_t(width), field);
    put(std::uint32_t(height), field);
    data.resize(14 + headerSize);
    return data;
}

TEST(ImageSize, BmpHeaderKinds) {
    EXPECT_EQ(ReadImageHeaderSize(BmpHeader(12, 300, 21), TImageFormat::Bmp),
              (TImageSize{300, 21}));
    // Core header sizes are unsigned 16-bit values.
    EXPECT_EQ(ReadImageHeaderSize(BmpHeader(12, 0xFFFF, 0x8000), TImageFormat::Bmp),
              (TImageSize{0xFFFF, 0x8000}));
    for (std::uint32_t size : {40u, 108u, 124u}) {
        EXPECT_EQ(ReadImageHeaderSize(BmpHeader(size, 300, -21), TImageFormat::Bmp),
                  (TImageSize{300, 21}))
            << size;
        Bytes cut = BmpHeader(size, 300, 21);
        cut.pop_back(); // the information header must be complete
        EXPECT_EQ(ReadImageHeaderSize(cut, TImageFormat::Bmp), std::nullopt) << size;
    }
}

TEST(ImageSize, FilesThatGiveNothing) {
    test::TempDir dir;
    const Bytes png = Fixture("red-37x21.png");
    const std::string pngText(png.begin(), png.end());
    test::WriteFile(dir / "upper.PNG", pngText);
    test::WriteFile(dir / "png-named.jpg", pngText);
    test::WriteFile(dir / "picture.webp", pngText);
    test::WriteFile(dir / "empty.bmp", "");
    fs::create_directory(dir / "folder.png");

    EXPECT_EQ(ReadImageSize(dir / "upper.PNG"), k37x21); // extensions match in any case
    EXPECT_EQ(ReadImageSize(dir / "png-named.jpg"), std::nullopt);
    EXPECT_EQ(ReadImageSize(dir / "picture.webp"), std::nullopt);
    EXPECT_EQ(ReadImageSize(dir / "empty.bmp"), std::nullopt);
    EXPECT_EQ(ReadImageSize(dir / "folder.png"), std::nullopt);
    EXPECT_EQ(ReadImageSize(dir / "missing.png"), std::nullopt);
}

} // namespace
} // namespace pictova
