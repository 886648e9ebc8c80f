#include "media/BMPReader.h"

#include "media/ByteView.h"
#include "platform/FileBytes.h"

#include <algorithm>
#include <bit>
#include <cassert>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <istream>
#include <sstream>
#include <utility>

namespace pictova {
namespace {

constexpr size_t FileHeaderSize = 14;
constexpr size_t MasksOffset = FileHeaderSize + 40; // masks follow the first 40 header bytes

int32_t ReadLE32Signed(TBytes d, size_t at) {
    return static_cast<int32_t>(ReadLE32(d, at));
}

std::string Hex(uint32_t v) {
    std::ostringstream s;
    s << "0x" << std::hex << std::uppercase << v;
    return s.str();
}

bool KnownBitCount(unsigned bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

uint64_t RowBytes(uint64_t width, unsigned bits) {
    return (width * bits + 31) / 32 * 4;
}

// Empty when the geometry can be allocated, else what is wrong with it.
std::string GeometryProblem(int64_t width, int64_t height, unsigned bits) {
    std::ostringstream s;
    if (width <= 0)
        s << "width " << width << " is not positive";
    else if (height == 0)
        s << "height is 0";
    else if (width > TBMPReader::MaxDimension || std::abs(height) > TBMPReader::MaxDimension)
        s << width << " x " << height << " pixels exceed the largest side of "
          << TBMPReader::MaxDimension;
    else if (!KnownBitCount(bits))
        s << "bit count " << bits << " is not supported (1, 4, 8, 16, 24 or 32)";
    else if (const uint64_t bytes = RowBytes(width, bits) * std::abs(height);
             bytes > TBMPReader::MaxImageSize)
        s << width << " x " << std::abs(height) << " pixels at " << bits << " bits need " << bytes
          << " bytes, more than the limit of " << TBMPReader::MaxImageSize;
    return s.str();
}

uint32_t MaskOf(const TBMPPaletteEntry& e) {
    return e.Blue | e.Green << 8 | e.Red << 16 | static_cast<uint32_t>(e.Reserved) << 24;
}

TBMPPaletteEntry EntryOf(uint32_t mask) {
    return {static_cast<uint8_t>(mask), static_cast<uint8_t>(mask >> 8),
            static_cast<uint8_t>(mask >> 16), static_cast<uint8_t>(mask >> 24)};
}

uint8_t MaskSpan(uint32_t mask) {
    return mask == 0 ? 0
                     : static_cast<uint8_t>(32 - std::countl_zero(mask) - std::countr_zero(mask));
}

// One colour channel of a bit-field pixel.
struct TChannel {
    uint32_t Mask = 0;
    unsigned Shift = 0;
    unsigned Bits = 0;

    explicit TChannel(uint32_t mask)
        : Mask(mask), Shift(mask ? std::countr_zero(mask) : 0), Bits(MaskSpan(mask)) {}

    // The channel scaled to `to` bits: narrower by dropping low bits, wider by
    // rounding v × (2^to − 1) / (2^Bits − 1) to the nearest.
    uint32_t Get(uint32_t pixel, unsigned to) const {
        if (Bits == 0)
            return 0;
        const uint64_t v = (pixel & Mask) >> Shift;
        if (Bits >= to)
            return static_cast<uint32_t>(v >> (Bits - to));
        const uint64_t max = (uint64_t(1) << Bits) - 1;
        return static_cast<uint32_t>((v * ((uint64_t(1) << to) - 1) + max / 2) / max);
    }
};

// Reads one BMP file held in memory into a fresh reader.
class TLoader {
public:
    TLoader(std::span<const uint8_t> data, std::string_view name) : D(data), Name(name) {}

    TBMPReader Load() {
        ReadHeaders();
        TBMPReader bmp;
        bmp.SetBitmapInfo(Info);
        const auto pixels = D.subspan(PixelOffset);
        if (Compression == bmpRLE8 || Compression == bmpRLE4)
            DecodeRLE(pixels, bmp, Compression == bmpRLE4);
        else if (Compression == bmpRGB)
            std::copy_n(pixels.begin(), bmp.ImageSize(), bmp.Bits());
        else
            ConvertBitFields(pixels, bmp);
        if (bmp.BitCount() == 32)
            SettleAlpha(bmp);
        return bmp;
    }

private:
    std::span<const uint8_t> D;
    std::string Name;
    TBMPInfo Info;
    uint32_t Compression = bmpRGB; // of the file; Info describes the decoded pixels
    uint32_t Masks[4] = {};        // red, green, blue, alpha
    bool HasAlphaMask = false;
    size_t PixelOffset = 0;

    template <typename... T> [[noreturn]] void Fail(const T&... parts) const {
        std::ostringstream s;
        s << (Name.empty() ? std::string("BMP data") : Name) << ": ";
        (s << ... << parts);
        throw TBMPError(s.str());
    }

    void Need(size_t end, const char* what) const {
        if (D.size() < end)
            Fail("truncated: ", what, " needs ", end, " bytes, the data has ", D.size());
    }

    void ReadHeaders() {
        Need(FileHeaderSize + 4, "the file header");
        if (ReadLE16(D, 0) != 0x4D42)
            Fail("not a BMP file: it starts with ", Hex(ReadLE16(D, 0)),
                 " instead of \"BM\" (0x4D42)");
        // The file size field (byte 2) is not used: writers often get it
        // wrong, and the end of the data bounds every read instead.
        const uint32_t offset = ReadLE32(D, 10);
        const uint32_t headerSize = ReadLE32(D, 14);
        // 52, 56, 108 and 124 bytes extend the 40-byte layout (masks, colour
        // space, ICC profile); their first 40 bytes are read the same way and
        // the colour-space fields are ignored.
        const bool core = headerSize == 12;
        if (!core && headerSize != 40 && headerSize != 52 && headerSize != 56 &&
            headerSize != 108 && headerSize != 124)
            Fail("header size ", headerSize, " is not supported (12, 40, 52, 56, 108 or 124)");
        size_t headersEnd = FileHeaderSize + headerSize;
        Need(headersEnd, "the information header");

        TBMPInfoHeader& h = Info.Header;
        int64_t width, height;
        if (core) {
            width = ReadLE16(D, 18);
            height = ReadLE16(D, 20);
            h.BitCount = ReadLE16(D, 24);
        } else {
            width = ReadLE32Signed(D, 18);
            height = ReadLE32Signed(D, 22);
            h.BitCount = ReadLE16(D, 28);
            Compression = ReadLE32(D, 30);
            h.XPelsPerMeter = ReadLE32Signed(D, 38);
            h.YPelsPerMeter = ReadLE32Signed(D, 42);
            h.ClrUsed = ReadLE32(D, 46);
            h.ClrImportant = ReadLE32(D, 50);
        }
        // The planes field (always 1 in practice) says nothing about the pixels.
        if (const std::string problem = GeometryProblem(width, height, h.BitCount);
            !problem.empty())
            Fail(problem);
        h.Width = static_cast<int32_t>(width);
        h.Height = static_cast<int32_t>(height);
        CheckCompression();

        if (Compression == bmpBitFields || Compression == bmpAlphaBitFields) {
            // With a 40-byte header the masks follow it; the longer headers
            // hold them at the same place.
            HasAlphaMask = Compression == bmpAlphaBitFields || headerSize >= 56;
            const size_t masksEnd = MasksOffset + (HasAlphaMask ? 16 : 12);
            Need(masksEnd, "the bit-field masks");
            for (int i = 0; i < (HasAlphaMask ? 4 : 3); ++i)
                Masks[i] = ReadLE32(D, MasksOffset + 4 * i);
            CheckMasks();
            headersEnd = std::max(headersEnd, masksEnd);
        }

        if (offset < headersEnd)
            Fail("pixel data offset ", offset, " lies inside the headers, which end at byte ",
                 headersEnd);
        if (offset > D.size())
            Fail("pixel data offset ", offset, " lies past the end of the data (", D.size(),
                 " bytes)");
        PixelOffset = offset;

        if (h.BitCount <= 8)
            ReadPalette(headersEnd, core ? 3 : 4);

        if (Compression != bmpRLE8 && Compression != bmpRLE4) {
            const uint64_t need = RowBytes(h.Width, h.BitCount) * std::abs(int64_t(h.Height));
            if (D.size() - PixelOffset < need)
                Fail("pixel data of ", h.Width, " x ", std::abs(int64_t(h.Height)), " pixels at ",
                     h.BitCount, " bits needs ", need, " bytes from byte ", PixelOffset,
                     ", but only ", D.size() - PixelOffset, " follow");
        }
    }

    void CheckCompression() const {
        const unsigned bits = Info.Header.BitCount;
        switch (Compression) {
        case bmpRGB:
            return;
        case bmpRLE8:
        case bmpRLE4: {
            const unsigned want = Compression == bmpRLE8 ? 8 : 4;
            const char* name = Compression == bmpRLE8 ? "RLE8" : "RLE4";
            if (bits != want)
                Fail(name, " compression needs ", want, " bits per pixel, not ", bits);
            // Run-length data has no top-down form.
            if (Info.Header.Height < 0)
                Fail(name, " bitmap has height ", Info.Header.Height,
                     " (top-down rows), which run-length data cannot have");
            return;
        }
        case bmpBitFields:
        case bmpAlphaBitFields:
            if (bits != 16 && bits != 32)
                Fail("bit-field compression needs 16 or 32 bits per pixel, not ", bits);
            return;
        case bmpJPEG:
            Fail("compression 4 (embedded JPEG) is not supported");
        case bmpPNG:
            Fail("compression 5 (embedded PNG) is not supported");
        default:
            Fail("compression ", Compression, " is not supported");
        }
    }

    void CheckMasks() const {
        static const char* const names[] = {"red", "green", "blue", "alpha"};
        const unsigned bits = Info.Header.BitCount;
        for (int i = 0; i < 4; ++i) {
            const uint32_t m = Masks[i];
            if (m == 0)
                continue; // a missing channel reads as 0
            if (bits == 16 && m > 0xFFFF)
                Fail(names[i], " mask ", Hex(m), " has bits above the 16 of a pixel");
            if (std::popcount(m) != MaskSpan(m))
                Fail(names[i], " mask ", Hex(m), " is not one run of bits");
        }
    }

    void ReadPalette(size_t at, size_t entrySize) {
        const TBMPInfoHeader& h = Info.Header;
        // More entries than the depth addresses are read as the file lays
        // them out; only 256 fit the palette.
        const uint32_t count = h.ClrUsed ? h.ClrUsed : 1u << h.BitCount;
        if (count > 256)
            Fail("palette of ", count, " colours is more than the 256 a bitmap can have");
        // Strict: a palette that runs into the pixels means one of the two
        // fields lies, and guessing which gives wrong colours silently.
        if (at + count * entrySize > PixelOffset)
            Fail("palette of ", count, " entries needs ", count * entrySize, " bytes from byte ",
                 at, ", but the pixel data starts at byte ", PixelOffset);
        for (uint32_t i = 0; i < count; ++i) {
            const size_t p = at + i * entrySize;
            Info.Palette[i] = {D[p], D[p + 1], D[p + 2], 0};
        }
    }

    // RLE8 and RLE4 in one loop; x and y are the pixel column and the stored
    // row. Runs and literals are cut at the row end; decoding ends at the
    // end-of-bitmap code, when y passes the last row, or when the data ends
    // (a truncated or unterminated stream leaves the remaining pixels 0).
    static void DecodeRLE(std::span<const uint8_t> src, TBMPReader& bmp, bool rle4) {
        const uint32_t width = static_cast<uint32_t>(bmp.Width());
        const uint32_t rows = bmp.RowCount();
        uint32_t x = 0, y = 0;
        auto put = [&](uint8_t v) {
            assert(x < width && y < rows);
            uint8_t* row = bmp.Scanline(y);
            if (!rle4)
                row[x] = v;
            else if (x & 1)
                row[x / 2] = static_cast<uint8_t>((row[x / 2] & 0xF0) | (v & 0x0F));
            else
                row[x / 2] = static_cast<uint8_t>((row[x / 2] & 0x0F) | v << 4);
            ++x;
        };
        auto nibble = [](uint8_t byte, size_t i) { return i & 1 ? byte & 0x0F : byte >> 4; };

        size_t pos = 0;
        while (y < rows && src.size() - pos >= 2) {
            const uint8_t n = src[pos], v = src[pos + 1];
            pos += 2;
            if (n > 0) { // encoded run of n pixels
                for (size_t i = 0; i < n && x < width; ++i)
                    put(rle4 ? static_cast<uint8_t>(nibble(v, i)) : v);
                continue;
            }
            switch (v) {
            case 0: // end of line
                ++y;
                x = 0;
                break;
            case 1: // end of bitmap
                return;
            case 2: // delta: skip dx pixels right and dy rows up
                if (src.size() - pos < 2)
                    return;
                x = std::min(width, x + src[pos]);
                y += src[pos + 1];
                pos += 2;
                break;
            default: { // literal of v pixels, padded to a whole number of words
                const size_t bytes = rle4 ? (v + 1) / 2 : v;
                const size_t present = std::min(bytes, src.size() - pos);
                const size_t pixels = rle4 ? std::min<size_t>(v, present * 2) : present;
                for (size_t i = 0; i < pixels && x < width; ++i)
                    put(rle4 ? static_cast<uint8_t>(nibble(src[pos + i / 2], i)) : src[pos + i]);
                pos += std::min(bytes + (bytes & 1), src.size() - pos);
            }
            }
        }
    }

    // Bit-field pixels become the plain layouts: 16 bits x-5-5-5, 32 bits
    // blue, green, red, alpha bytes (alpha 255 when the file has no alpha mask).
    void ConvertBitFields(std::span<const uint8_t> src, TBMPReader& bmp) const {
        const TChannel r(Masks[0]), g(Masks[1]), b(Masks[2]), a(Masks[3]);
        const uint32_t width = static_cast<uint32_t>(bmp.Width());
        for (uint32_t y = 0; y < bmp.RowCount(); ++y) {
            const auto in = src.subspan(size_t(y) * bmp.RowSize(), bmp.RowSize());
            uint8_t* out = bmp.Scanline(y);
            for (uint32_t x = 0; x < width; ++x) {
                if (bmp.BitCount() == 16) {
                    const uint32_t p = ReadLE16(in, 2 * x);
                    const uint32_t q = r.Get(p, 5) << 10 | g.Get(p, 5) << 5 | b.Get(p, 5);
                    out[2 * x] = static_cast<uint8_t>(q);
                    out[2 * x + 1] = static_cast<uint8_t>(q >> 8);
                } else {
                    const uint32_t p = ReadLE32(in, 4 * x);
                    out[4 * x] = static_cast<uint8_t>(b.Get(p, 8));
                    out[4 * x + 1] = static_cast<uint8_t>(g.Get(p, 8));
                    out[4 * x + 2] = static_cast<uint8_t>(r.Get(p, 8));
                    out[4 * x + 3] = HasAlphaMask ? static_cast<uint8_t>(a.Get(p, 8)) : 255;
                }
            }
        }
    }

    // The fourth byte of plain 32-bit pixels is "reserved" and most writers
    // leave it 0. Taken as alpha that would make the picture invisible, so a
    // bitmap whose alpha is 0 everywhere is opaque; any other alpha is kept.
    static void SettleAlpha(TBMPReader& bmp) {
        uint8_t* p = bmp.Bits();
        const size_t n = bmp.ImageSize();
        for (size_t i = 3; i < n; i += 4)
            if (p[i] != 0)
                return;
        for (size_t i = 3; i < n; i += 4)
            p[i] = 255;
    }
};

} // namespace

void TBMPReader::LoadFromFile(const std::filesystem::path& fileName) {
    LoadFromMemory(ReadFileBytes(fileName), fileName.string());
}

void TBMPReader::LoadFromStream(std::istream& in, std::string_view sourceName) {
    std::vector<uint8_t> data;
    char chunk[65536];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0)
        data.insert(data.end(), chunk, chunk + in.gcount());
    if (in.bad())
        throw std::runtime_error("Cannot read " + (sourceName.empty()
                                                       ? std::string("BMP stream")
                                                       : "\"" + std::string(sourceName) + "\""));
    LoadFromMemory(data, sourceName);
}

void TBMPReader::LoadFromMemory(std::span<const uint8_t> data, std::string_view sourceName) {
    *this = TLoader(data, sourceName).Load();
}

void TBMPReader::SetBitmapInfo(const TBMPInfo& info) {
    const TBMPInfoHeader& h = info.Header;
    uint8_t red = 0, green = 0, blue = 0;
    if ((h.BitCount == 16 || h.BitCount == 32) &&
        (h.Compression == bmpBitFields || h.Compression == bmpAlphaBitFields)) {
        red = MaskSpan(MaskOf(info.Palette[0]));
        green = MaskSpan(MaskOf(info.Palette[1]));
        blue = MaskSpan(MaskOf(info.Palette[2]));
    }
    SetFormat(h.Width, h.Height, h.BitCount, red, green, blue);
    FInfo.Header.XPelsPerMeter = h.XPelsPerMeter;
    FInfo.Header.YPelsPerMeter = h.YPelsPerMeter;
    FInfo.Header.ClrUsed = h.ClrUsed;
    FInfo.Header.ClrImportant = h.ClrImportant;
    if (h.BitCount <= 8) {
        FInfo.Palette = info.Palette;
        for (uint32_t i = 0; i < (1u << h.BitCount); ++i)
            FInfo.Palette[i].Reserved = 255;
    } else {
        // No palette; 16 and 32 bits keep the masks SetFormat put in slots 0 to 2.
        const size_t keep = h.BitCount == 24 ? 0 : 3;
        std::fill(FInfo.Palette.begin() + keep, FInfo.Palette.end(), TBMPPaletteEntry{});
    }
}

void TBMPReader::SetFormat(int32_t width, int32_t height, uint16_t bitCount, uint8_t redBits,
                           uint8_t greenBits, uint8_t blueBits) {
    if (const std::string problem = GeometryProblem(width, height, bitCount); !problem.empty())
        throw TBMPError("bitmap format: " + problem);
    const bool masked = bitCount == 16 || bitCount == 32;
    const bool bitFields = redBits || greenBits || blueBits;
    if (bitFields && (!masked || redBits + greenBits + blueBits > bitCount))
        throw TBMPError("bitmap format: channels of " + std::to_string(redBits) + ", " +
                        std::to_string(greenBits) + " and " + std::to_string(blueBits) +
                        " bits do not fit " + std::to_string(bitCount) + "-bit pixels");
    if (masked && !bitFields)
        redBits = greenBits = blueBits = bitCount == 16 ? 5 : 8;

    const bool sameGeometry = !FBits.empty() && width == Width() && height == Height() &&
                              bitCount == BitCount() && redBits == FRedBits &&
                              greenBits == FGreenBits && blueBits == FBlueBits;

    TBMPInfoHeader& h = FInfo.Header;
    h.Size = 40;
    h.Planes = 1;
    h.Compression = bitFields ? bmpBitFields : bmpRGB;
    if (masked) {
        const auto ones = [](unsigned n) { return static_cast<uint32_t>((uint64_t(1) << n) - 1); };
        FInfo.Palette[0] = EntryOf(ones(redBits) << (blueBits + greenBits));
        FInfo.Palette[1] = EntryOf(ones(greenBits) << blueBits);
        FInfo.Palette[2] = EntryOf(ones(blueBits));
    }
    if (sameGeometry)
        return;

    h.Width = width;
    h.Height = height;
    h.BitCount = bitCount;
    FRedBits = redBits;
    FGreenBits = greenBits;
    FBlueBits = blueBits;
    FRowCount = static_cast<uint32_t>(std::abs(int64_t(height)));
    FRowSize = static_cast<uint32_t>(RowBytes(width, bitCount));
    FRowSkip = FRowSize - static_cast<uint32_t>((uint64_t(width) * bitCount + 7) / 8);
    h.SizeImage = ImageSize();
    FBits.assign(ImageSize(), 0);
}

uint8_t* TBMPReader::Scanline(uint32_t i) {
    assert(i < FRowCount);
    return FBits.data() + size_t(i) * FRowSize;
}

const uint8_t* TBMPReader::Scanline(uint32_t i) const {
    assert(i < FRowCount);
    return FBits.data() + size_t(i) * FRowSize;
}

uint8_t* TBMPReader::RowFromTop(uint32_t y) {
    assert(y < FRowCount);
    return Scanline(Height() > 0 ? FRowCount - 1 - y : y);
}

const uint8_t* TBMPReader::RowFromTop(uint32_t y) const {
    assert(y < FRowCount);
    return Scanline(Height() > 0 ? FRowCount - 1 - y : y);
}

uint32_t TBMPReader::CountColors() {
    if (Empty())
        return 0;
    const uint32_t width = static_cast<uint32_t>(Width());
    const unsigned bits = BitCount();

    if (bits == 1) {
        for (uint32_t y = 0; y < FRowCount; ++y) {
            const uint8_t* row = Scanline(y);
            for (uint32_t x = 0; x < width; ++x)
                if (row[x / 8] & (0x80 >> (x % 8)))
                    return 2;
        }
        return 1;
    }

    if (bits == 4 || bits == 8) {
        auto get = [bits](const uint8_t* row, uint32_t x) -> uint8_t {
            return bits == 8 ? row[x] : (x & 1 ? row[x / 2] & 0x0F : row[x / 2] >> 4);
        };
        std::array<bool, 256> used{};
        for (uint32_t y = 0; y < FRowCount; ++y)
            for (uint32_t x = 0; x < width; ++x)
                used[get(Scanline(y), x)] = true;
        const uint32_t count = static_cast<uint32_t>(std::count(used.begin(), used.end(), true));
        if (count == (1u << bits))
            return count;
        // Ascending order moves every entry down or leaves it, so no entry is
        // overwritten before it has been moved.
        std::array<uint8_t, 256> slot{};
        uint32_t k = 0;
        for (uint32_t v = 0; v < 256; ++v)
            if (used[v]) {
                slot[v] = static_cast<uint8_t>(k);
                FInfo.Palette[k++] = FInfo.Palette[v];
            }
        for (uint32_t y = 0; y < FRowCount; ++y) {
            uint8_t* row = Scanline(y);
            for (uint32_t x = 0; x < width; ++x) {
                const uint8_t v = slot[get(row, x)];
                if (bits == 8)
                    row[x] = v;
                else if (x & 1)
                    row[x / 2] = static_cast<uint8_t>((row[x / 2] & 0xF0) | v);
                else
                    row[x / 2] = static_cast<uint8_t>((row[x / 2] & 0x0F) | v << 4);
            }
        }
        return count;
    }

    if (bits == 16) {
        const uint32_t mask = (1u << (FRedBits + FGreenBits + FBlueBits)) - 1;
        std::vector<bool> seen(size_t(mask) + 1);
        uint32_t count = 0;
        for (uint32_t y = 0; y < FRowCount; ++y) {
            const uint8_t* row = Scanline(y);
            for (uint32_t x = 0; x < width; ++x) {
                const uint32_t v = (row[2 * x] | row[2 * x + 1] << 8) & mask;
                if (!seen[v]) {
                    seen[v] = true;
                    ++count;
                }
            }
        }
        return count;
    }

    // 24 and 32 bits: one bit per blue-green-red triple (2^24 bits, 2 MB).
    std::vector<bool> seen(size_t(1) << 24);
    uint32_t count = 0;
    const unsigned step = bits / 8;
    for (uint32_t y = 0; y < FRowCount; ++y) {
        const uint8_t* row = Scanline(y);
        for (uint32_t x = 0; x < width; ++x) {
            const uint8_t* p = row + size_t(x) * step;
            const uint32_t v = p[0] | p[1] << 8 | p[2] << 16;
            if (!seen[v]) {
                seen[v] = true;
                ++count;
            }
        }
    }
    return count;
}

} // namespace pictova
