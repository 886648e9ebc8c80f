#pragma once
// TBMPReader: a Windows bitmap (BMP file) decoded into an in-memory
// device-independent bitmap: a 40-byte information header, a palette of 256
// entries and a pixel buffer whose rows are padded to a multiple of 4 bytes.
//
// What the pixel bytes mean depends only on BitCount once a file is loaded:
// 1, 4 and 8 bits are palette indices (the high bit or nibble is the leftmost
// pixel), 16 bits are little-endian x-5-5-5 words (blue in the low bits),
// 24 bits are blue, green, red bytes and 32 bits blue, green, red, alpha
// bytes. Run-length and bit-field files are converted to that form while
// loading, so Info() always describes an uncompressed bitmap. Rows stay in
// the file's order: the first row in memory is the bottom row when Height is
// positive and the top row when it is negative; RowFromTop hides the
// difference.

#include <array>
#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace pictova {

// Bad or unsupported bitmap data. The message names the source, the field
// and the numbers involved.
class TBMPError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum TBMPCompression : uint32_t {
    bmpRGB = 0,
    bmpRLE8 = 1,
    bmpRLE4 = 2,
    bmpBitFields = 3,
    bmpJPEG = 4,
    bmpPNG = 5,
    bmpAlphaBitFields = 6,
};

// The information header in the 40-byte file layout (little-endian there).
struct TBMPInfoHeader {
    uint32_t Size = 40;
    int32_t Width = 0;
    int32_t Height = 0; // > 0: rows stored bottom-up; < 0: top-down
    uint16_t Planes = 1;
    uint16_t BitCount = 0;
    uint32_t Compression = bmpRGB;
    uint32_t SizeImage = 0; // bytes of pixel data
    int32_t XPelsPerMeter = 0;
    int32_t YPelsPerMeter = 0;
    uint32_t ClrUsed = 0;
    uint32_t ClrImportant = 0;
};

struct TBMPPaletteEntry {
    uint8_t Blue = 0;
    uint8_t Green = 0;
    uint8_t Red = 0;
    uint8_t Reserved = 0;

    bool operator==(const TBMPPaletteEntry&) const = default;
};

// Header plus palette. For 16- and 32-bit bitmaps the first three palette
// slots hold the red, green and blue masks as little-endian 32-bit words.
struct TBMPInfo {
    TBMPInfoHeader Header;
    std::array<TBMPPaletteEntry, 256> Palette{};
};

// Copies are deep: each copy owns its own pixels.
class TBMPReader {
public:
    // Limits checked before anything is allocated. The movie's bitmaps have
    // 16-bit sides, so a larger picture could not be used anyway.
    static constexpr uint32_t MaxDimension = 65535;        // pixels per side
    static constexpr uint64_t MaxImageSize = 512ull << 20; // bytes of pixels

    // An empty bitmap: header size 40, planes 1, no pixels.
    TBMPReader() = default;

    // Load a whole BMP file. On any error (TBMPError for bad data,
    // EFileError when the file cannot be read) the reader keeps what it held
    // before.
    void LoadFromFile(const std::filesystem::path& fileName);
    // Reads the stream from its current position to its end.
    void LoadFromStream(std::istream& in, std::string_view sourceName = {});
    // sourceName only labels error messages.
    void LoadFromMemory(std::span<const uint8_t> data, std::string_view sourceName = {});

    // Takes over the header fields and, for up to 8 bits, the palette (with
    // the fourth byte of every addressable entry set to 255); for bit-field
    // 16- and 32-bit headers the channel widths come from the mask spans.
    // Then SetFormat; the pixels are zero unless the geometry is unchanged.
    void SetBitmapInfo(const TBMPInfo& info);
    // Allocates a zeroed pixel buffer of this geometry. Non-zero channel
    // widths (16 and 32 bits only) make a bit-field bitmap with blue in the
    // low bits, green above it and red above that; all zero means 5-5-5 for
    // 16 bits and 8-8-8 for 32. The same geometry as the current buffer keeps
    // the buffer and its pixels. Throws TBMPError for an unusable geometry.
    void SetFormat(int32_t width, int32_t height, uint16_t bitCount, uint8_t redBits = 0,
                   uint8_t greenBits = 0, uint8_t blueBits = 0);

    // Number of distinct colours among the pixels (inside Width; row padding
    // is not looked at). For 4 and 8 bits it also compacts the palette: the
    // k-th index in use (ascending) moves to slot k, pixels are rewritten to
    // match, so entries 0 to count - 1 are exactly the colours used. 1 bit:
    // 1 if every pixel is index 0, else 2, palette unchanged. 16 bits: distinct
    // colour values (unused high bits ignored); 24 and 32 bits: distinct
    // blue-green-red triples (alpha ignored). 0 when there are no pixels.
    uint32_t CountColors();

    const TBMPInfo& Info() const { return FInfo; }
    std::span<TBMPPaletteEntry, 256> Palette() { return FInfo.Palette; }
    std::span<const TBMPPaletteEntry, 256> Palette() const { return FInfo.Palette; }
    uint8_t* Bits() { return FBits.data(); }
    const uint8_t* Bits() const { return FBits.data(); }
    // Stored row i, 0 <= i < RowCount, in memory order.
    uint8_t* Scanline(uint32_t i);
    const uint8_t* Scanline(uint32_t i) const;
    // Picture row y counted from the top, whichever order the rows are stored in.
    uint8_t* RowFromTop(uint32_t y);
    const uint8_t* RowFromTop(uint32_t y) const;

    bool Empty() const { return FBits.empty(); }
    int32_t Width() const { return FInfo.Header.Width; }
    int32_t Height() const { return FInfo.Header.Height; }
    uint32_t RowCount() const { return FRowCount; }
    uint16_t BitCount() const { return FInfo.Header.BitCount; }
    uint32_t RowSize() const { return FRowSize; } // bytes per stored row, with padding
    uint32_t RowSkip() const { return FRowSkip; } // padding bytes at each row end
    uint32_t ImageSize() const { return FRowSize * FRowCount; }
    // Channel widths of 16- and 32-bit bitmaps, 0 for the other depths.
    uint8_t RedBits() const { return FRedBits; }
    uint8_t GreenBits() const { return FGreenBits; }
    uint8_t BlueBits() const { return FBlueBits; }

private:
    TBMPInfo FInfo;
    std::vector<uint8_t> FBits;
    uint32_t FRowCount = 0;
    uint32_t FRowSize = 0;
    uint32_t FRowSkip = 0;
    uint8_t FRedBits = 0;
    uint8_t FGreenBits = 0;
    uint8_t FBlueBits = 0;
};

} // namespace pictova
