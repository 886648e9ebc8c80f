#include "show/ImageSize.h"

#include "media/ByteView.h"
#include "platform/ByteSource.h"
#include "platform/JpegSegments.h"

#include <array>
#include <cstring>
#include <fstream>
#include <limits>
#include <vector>

#include <zlib.h>

namespace pictova {

namespace {

// Sizes are stored as 32-bit signed values; a header that states zero or more
// than that holds no picture we can show.
std::optional<TImageSize> Checked(std::uint64_t width, std::uint64_t height) {
    constexpr std::uint64_t kMax = std::uint64_t(std::numeric_limits<std::int32_t>::max());
    if (width == 0 || height == 0 || width > kMax || height > kMax)
        return std::nullopt;
    return TImageSize{std::int32_t(width), std::int32_t(height)};
}

// JPEG: walk the marker segments from SOI to the first frame header. Baseline
// (SOF0), extended (SOF1) and progressive (SOF2) frames are the ones the JPEG
// decoder reads; the other frame types (lossless, hierarchical, arithmetic
// coded) and image data or an end marker before any frame header mean the
// picture cannot be loaded.
std::optional<TImageSize> JpegSize(TByteSource& source) {
    // Bounds the walk through a file made of empty segments or fill bytes;
    // real files have a few dozen segments before their frame header.
    constexpr std::uint64_t kMaxSteps = 1 << 20;
    TJpegSegmentWalker walker(source, kMaxSteps);
    TJpegSegment segment;
    while (walker.Next(segment)) {
        const std::uint8_t marker = segment.Marker;
        if (segment.StandsAlone())
            continue;
        if (marker == 0xD8 || marker == 0xD9 || marker == 0xDA)
            return std::nullopt;
        const std::uint32_t length = segment.Length; // includes itself
        if (length < 2)
            return std::nullopt;
        if (marker == 0xC0 || marker == 0xC1 || marker == 0xC2) {
            // length, precision, height, width, component count, 3 bytes per component
            std::vector<std::uint8_t> frame(length);
            if (length < 8 || !source.Read(segment.Offset, frame))
                return std::nullopt;
            const std::uint32_t components = frame[7];
            if (components == 0 || length != 8 + 3 * components)
                return std::nullopt;
            // A height of 0 defers it to a DNL marker, which the decoder does not support.
            return Checked(ReadBE16(frame, 5), ReadBE16(frame, 3));
        }
        const bool otherFrame = (marker >= 0xC3 && marker <= 0xCF) && marker != 0xC4 &&
                                marker != 0xC8 && marker != 0xCC;
        if (otherFrame)
            return std::nullopt;
    }
    return std::nullopt;
}

// PNG: the signature and the IHDR chunk that must follow it, with its CRC
// checked as a decoder would.
std::optional<TImageSize> PngSize(TByteSource& source) {
    static constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    // signature 8, chunk length 4, type 4, IHDR data 13, CRC 4
    std::array<std::uint8_t, 33> head{};
    if (!source.Read(0, head) || std::memcmp(head.data(), kSignature, 8) != 0)
        return std::nullopt;
    if (ReadBE32(head, 8) != 13 || std::memcmp(&head[12], "IHDR", 4) != 0)
        return std::nullopt;
    const uLong crc = crc32(crc32(0L, Z_NULL, 0), &head[12], 4 + 13);
    if (crc != ReadBE32(head, 29))
        return std::nullopt;
    const std::uint64_t width = ReadBE32(head, 16), height = ReadBE32(head, 20);
    return Checked(width, height);
}

// BMP: the file header ("BM") and the information header that follows it:
// the 12-byte core header (16-bit unsigned width and height) or the 40-, 108-
// and 124-byte headers (32-bit signed width and height; a negative height
// marks rows stored top-down).
std::optional<TImageSize> BmpSize(TByteSource& source) {
    std::array<std::uint8_t, 18> fileHeader{};
    if (!source.Read(0, fileHeader) || fileHeader[0] != 'B' || fileHeader[1] != 'M')
        return std::nullopt;
    const std::uint32_t headerSize = ReadLE32(fileHeader, 14);
    if (headerSize != 12 && headerSize != 40 && headerSize != 108 && headerSize != 124)
        return std::nullopt;
    std::vector<std::uint8_t> info(headerSize);
    if (!source.Read(14, info))
        return std::nullopt;
    if (headerSize == 12)
        return Checked(ReadLE16(info, 4), ReadLE16(info, 6));
    const std::int64_t width = std::int32_t(ReadLE32(info, 4));
    const std::int64_t height = std::int32_t(ReadLE32(info, 8));
    if (width <= 0)
        return std::nullopt;
    return Checked(std::uint64_t(width), std::uint64_t(height < 0 ? -height : height));
}

// GIF: signature and version, then the logical screen descriptor, whose size
// is the size a GIF decoder gives the picture.
std::optional<TImageSize> GifSize(TByteSource& source) {
    std::array<std::uint8_t, 13> head{};
    if (!source.Read(0, head))
        return std::nullopt;
    if (std::memcmp(head.data(), "GIF87a", 6) != 0 && std::memcmp(head.data(), "GIF89a", 6) != 0)
        return std::nullopt;
    return Checked(ReadLE16(head, 6), ReadLE16(head, 8));
}

// TIFF: the ImageWidth (256) and ImageLength (257) entries of the first IFD,
// each a SHORT or LONG, in the byte order the header names.
std::optional<TImageSize> TiffSize(TByteSource& source) {
    std::array<std::uint8_t, 8> head{};
    if (!source.Read(0, head))
        return std::nullopt;
    bool little = false;
    if (std::memcmp(head.data(), "II\x2A\x00", 4) == 0)
        little = true;
    else if (std::memcmp(head.data(), "MM\x00\x2A", 4) != 0)
        return std::nullopt;
    auto u16 = [little](TBytes d, std::size_t at) {
        return little ? ReadLE16(d, at) : ReadBE16(d, at);
    };
    auto u32 = [little](TBytes d, std::size_t at) {
        return little ? ReadLE32(d, at) : ReadBE32(d, at);
    };

    const std::uint64_t ifd = u32(head, 4);
    std::array<std::uint8_t, 2> countBytes{};
    if (!source.Read(ifd, countBytes))
        return std::nullopt;
    const std::uint32_t count = u16(countBytes, 0);
    std::vector<std::uint8_t> entries(std::size_t(count) * 12); // at most 786 420 bytes
    if (count == 0 || !source.Read(ifd + 2, entries))
        return std::nullopt;

    std::optional<std::uint64_t> width, height;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t entry = std::size_t(i) * 12;
        const std::uint32_t tag = u16(entries, entry);
        if (tag != 256 && tag != 257)
            continue;
        const std::uint32_t type = u16(entries, entry + 2);
        if (u32(entries, entry + 4) == 0)
            return std::nullopt;
        std::uint64_t value = 0;
        if (type == 3)
            value = u16(entries, entry + 8); // a SHORT sits in the first two bytes of the field
        else if (type == 4)
            value = u32(entries, entry + 8);
        else
            return std::nullopt;
        (tag == 256 ? width : height) = value;
    }
    if (!width || !height)
        return std::nullopt;
    return Checked(*width, *height);
}

std::optional<TImageSize> HeaderSize(TByteSource& source, TImageFormat format) {
    switch (format) {
    case TImageFormat::Jpeg:
        return JpegSize(source);
    case TImageFormat::Png:
        return PngSize(source);
    case TImageFormat::Bmp:
        return BmpSize(source);
    case TImageFormat::Gif:
        return GifSize(source);
    case TImageFormat::Tiff:
        return TiffSize(source);
    case TImageFormat::Unknown:
        break;
    }
    return std::nullopt;
}

} // namespace

std::optional<TImageSize> ReadImageHeaderSize(std::span<const std::uint8_t> data,
                                              TImageFormat format) {
    TMemorySource source(data);
    return HeaderSize(source, format);
}

std::optional<TImageSize> ReadImageSize(const std::filesystem::path& file) {
    const TImageFormat format = ImageFormatOf(file);
    if (format == TImageFormat::Unknown)
        return std::nullopt;
    try {
        std::ifstream in(file, std::ios::binary);
        if (!in)
            return std::nullopt;
        TFileSource source(in);
        return HeaderSize(source, format);
    } catch (const std::exception&) {
        // Only allocation can throw here; the size then stays unknown.
        return std::nullopt;
    }
}

} // namespace pictova
