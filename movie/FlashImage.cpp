#include "movie/FlashImage.h"

#include "movie/FlashMovie.h"
#include "platform/ByteSource.h"
#include "platform/Errors.h"
#include "platform/FileBytes.h"
#include "platform/JpegCodec.h"
#include "platform/JpegSegments.h"
#include "swf/BitmapTags.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <fstream>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>

namespace pictova {

namespace fs = std::filesystem;

namespace {

std::string UpperExtension(const fs::path& file) {
    std::string ext = file.extension().string();
    if (!ext.empty() && ext[0] == '.')
        ext.erase(0, 1);
    for (char& c : ext)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    return ext;
}

uint16_t Side(int32_t v, const char* what) {
    if (v <= 0 || v > 0xFFFF)
        throw std::runtime_error(std::string("picture ") + what + " of " + std::to_string(v) +
                                 " pixels cannot be stored in a movie (1 to 65535)");
    return uint16_t(v);
}

// The bytes the header checks look at: the headers alone when they read
// cleanly, else the whole file, on which the codec then names the fault just
// as it would have without the shortcut.
struct TJpegHead {
    std::vector<uint8_t> Bytes;
    bool Whole = false;
};

TJpegHead ReadJpegHead(const fs::path& file) {
    if (std::optional<std::vector<uint8_t>> headers = ReadJpegHeaders(file))
        return {std::move(*headers), false};
    return {ReadFileBytes(file), true};
}

// Re-encoding decodes the picture, so it takes the whole file.
std::vector<uint8_t> WholeJpeg(TJpegHead&& head, const fs::path& file) {
    return head.Whole ? std::move(head.Bytes) : ReadFileBytes(file);
}

// The codec's verdict on the file's headers; its errors name the file.
bool IsProgressive(const std::vector<uint8_t>& jpeg, const fs::path& file) {
    try {
        return JpegIsProgressive(jpeg);
    } catch (const std::runtime_error& e) {
        throw EPictureError(EPictureError::Unreadable, file, e.what());
    }
}

// Straight colour to the premultiplied form lossless bitmaps with alpha store.
uint8_t Premultiply(uint8_t c, uint8_t a) {
    return uint8_t((unsigned(c) * a + 127) / 255);
}

} // namespace

TJpegSize ScanJpegSize(const std::vector<uint8_t>& jpeg) {
    TMemorySource source(jpeg);
    TJpegSegmentWalker walker(source);
    TJpegSegment segment;
    while (walker.Next(segment)) {
        if (segment.Marker != 0xC0 && segment.Marker != 0xC1)
            continue;
        // segment length, sample precision, height, width
        std::array<uint8_t, 7> frame{};
        if (!source.Read(segment.Offset, frame))
            return {};
        return {uint16_t(frame[5] << 8 | frame[6]), uint16_t(frame[3] << 8 | frame[4])};
    }
    return {};
}

std::optional<std::vector<uint8_t>> ReadJpegHeaders(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return std::nullopt;
    TFileSource source(in);
    TJpegSegmentWalker walker(source);
    std::vector<uint8_t> headers = {0xFF, 0xD8};
    TJpegSegment segment;
    // A walk that ends early (bytes between segments, a file cut short) is
    // left to the codec.
    while (walker.Next(segment)) {
        const uint8_t m = segment.Marker;
        if (segment.StandsAlone()) {
            headers.insert(headers.end(), {0xFF, m});
            continue;
        }
        if (m == 0x00 || m == 0xD8 || m == 0xD9)
            return std::nullopt; // no image here: the codec says why
        const size_t length = segment.Length;
        if (length < 2)
            return std::nullopt;
        // The codec skips these segments unread: camera metadata, thumbnails
        // and comments, often far bigger than all the rest of the headers.
        // It does look into APP0 (JFIF) and APP14 (Adobe), so those stay.
        const bool skipped = (m >= 0xE1 && m <= 0xED) || m == 0xEF || m == 0xFE;
        if (skipped)
            continue; // one running past the end shows as the walk ending
        const size_t at = headers.size();
        headers.resize(at + 2 + length);
        headers[at] = 0xFF;
        headers[at + 1] = m;
        if (!source.Read(segment.Offset, std::span<uint8_t>(headers.data() + at + 2, length)))
            return std::nullopt;
        if (m == 0xDA)
            return headers; // the first scan header ends what the codec reads
    }
    return std::nullopt;
}

TFlashImage::TFlashImage(TFlashMovie* owner) : TFlashIDObject(owner) {}

TFlashImage::~TFlashImage() = default;

TBMPReader& TFlashImage::BMP() {
    if (!FBMP)
        FBMP = std::make_unique<TBMPReader>();
    return *FBMP;
}

std::vector<uint8_t>& TFlashImage::DataStream() {
    if (!FDataStream) {
        if (FDataState == dsJPEGFile) {
            FDataStream = std::make_unique<std::vector<uint8_t>>(ReadFileBytes(FJPEGFile));
        } else {
            FDataStream = std::make_unique<std::vector<uint8_t>>();
            FDataState = dsMemory;
        }
    }
    return *FDataStream;
}

void TFlashImage::SetDataStream(std::vector<uint8_t> data) {
    FDataStream = std::make_unique<std::vector<uint8_t>>(std::move(data));
}

std::vector<uint8_t>& TFlashImage::AlphaStream() {
    if (!FAlphaStream)
        FAlphaStream = std::make_unique<std::vector<uint8_t>>();
    return *FAlphaStream;
}

void TFlashImage::LoadFromFile(const fs::path& fileName) {
    // JPEG and BMP files the image takes by itself; PNG files need their
    // reader named.
    const TImageFormat format = ImageFormatOf(fileName);
    const bool own = format == TImageFormat::Jpeg || format == TImageFormat::Bmp;
    LoadFromFile(fileName, own ? PictureReaderFor(fileName) : nullptr);
}

void TFlashImage::LoadFromFile(const fs::path& fileName, const TPictureReader* reader) {
    try {
        LoadNamedFile(fileName, reader);
    } catch (const EPictovaError&) {
        throw; // typed errors name the file in their fields already
    } catch (const std::exception& e) {
        // Decoders speak of bytes, not of files: say which picture failed.
        throw EPictureError(EPictureError::Unreadable, fileName, e.what());
    }
}

void TFlashImage::LoadNamedFile(const fs::path& fileName, const TPictureReader* reader) {
    if (Owner && Owner->OnLoadImage) {
        bool carryOn = true;
        Owner->OnLoadImage(*this, fileName, carryOn);
        if (!carryOn)
            return;
    }
    FIsJPEG = false;
    FHasAlpha = false;
    if (!reader)
        throw EImageFormatError(fileName, UpperExtension(fileName));
    reader->Load(*this, fileName);
}

void TFlashImage::LoadFromJpegFile(const fs::path& fileName) {
    FIsJPEG = false;
    FHasAlpha = false;
    TJpegHead head = ReadJpegHead(fileName);
    const std::vector<uint8_t>& jpeg = head.Bytes;
    if (jpeg.size() < 4 || jpeg[0] != 0xFF || jpeg[1] != 0xD8)
        throw EPictureError(EPictureError::Unreadable, fileName, "not a JPEG file",
                            "\"" + fileName.string() + "\" is not a JPEG file");
    // The file goes into the movie unchanged, so a broken one is refused
    // here: the codec reads its headers up to the first scan.
    const bool progressive = IsProgressive(jpeg, fileName);
    FIsJPEG = true;
    const TJpegSize size = ScanJpegSize(jpeg);
    FWidth = size.Width;
    FHeight = size.Height;
    // The file is read again when its tag is written, so that a show of
    // thousands of pictures holds no file open and no JPEG in memory.
    FDataStream.reset();
    FJPEGFile = fileName;
    FDataState = dsJPEGFile;
    if (FConvertProgressive && (FWidth == 0 || FHeight == 0) && progressive)
        Reencode(WholeJpeg(std::move(head), fileName), fileName);
}

void TFlashImage::Reencode(const std::vector<uint8_t>& jpeg, const fs::path& fileName) {
    TRgbImage decoded;
    try {
        decoded = DecodeJpeg(jpeg);
    } catch (const std::runtime_error& e) {
        throw EPictureError(EPictureError::Unreadable, fileName, e.what());
    }
    SetDataStream(EncodeBaselineJpeg(decoded, 90));
    FJPEGFile.clear();
    FDataState = dsReencoded;
    FWidth = Side(decoded.Width, "width");
    FHeight = Side(decoded.Height, "height");
}

void TFlashImage::SetConvertProgressive(bool on) {
    if (on && on != FConvertProgressive && FDataState == dsJPEGFile) {
        TJpegHead head = ReadJpegHead(FJPEGFile);
        if (IsProgressive(head.Bytes, FJPEGFile))
            Reencode(WholeJpeg(std::move(head), FJPEGFile), FJPEGFile);
    }
    FConvertProgressive = on;
}

void TFlashImage::LoadFromDecodedPicture(const TDecodedPicture& picture) {
    if (picture.BitsPerPixel != 8 && picture.BitsPerPixel != 24)
        throw std::invalid_argument("decoded pictures are 8 or 24 bits per pixel");
    const uint64_t needed = uint64_t(std::max(picture.Width, 0)) *
                            uint64_t(std::max(picture.Height, 0)) *
                            uint64_t(picture.BitsPerPixel / 8);
    if (picture.Pixels.size() < needed)
        throw std::invalid_argument("a decoded picture of " + std::to_string(picture.Width) +
                                    " x " + std::to_string(picture.Height) + " pixels needs " +
                                    std::to_string(needed) + " bytes, not " +
                                    std::to_string(picture.Pixels.size()));
    TBMPReader& bmp = BMP();
    // Stored top-down (negative height), as decoders deliver the rows.
    bmp.SetFormat(picture.Width, -picture.Height, uint16_t(picture.BitsPerPixel));
    if (picture.BitsPerPixel == 8) {
        auto palette = bmp.Palette();
        for (size_t i = 0; i < palette.size(); ++i) {
            const TPaletteEntry e =
                i < picture.Palette.size() ? picture.Palette[i] : TPaletteEntry{};
            palette[i] = TBMPPaletteEntry{e.B, e.G, e.R, 255};
        }
    }
    const size_t rowBytes = size_t(picture.Width) * size_t(picture.BitsPerPixel / 8);
    for (int y = 0; y < picture.Height; ++y) {
        const uint8_t* src = picture.Pixels.data() + size_t(y) * rowBytes;
        uint8_t* dst = bmp.RowFromTop(uint32_t(y));
        if (picture.BitsPerPixel == 8) {
            std::copy_n(src, rowBytes, dst);
        } else {
            for (int x = 0; x < picture.Width; ++x) {
                dst[3 * x] = src[3 * x + 2];
                dst[3 * x + 1] = src[3 * x + 1];
                dst[3 * x + 2] = src[3 * x];
            }
        }
    }
    FIsJPEG = false;
    FHasAlpha = false;
    LoadFromBMP();
}

void TFlashImage::LoadFromBMP() {
    TBMPReader& bmp = BMP();
    const uint16_t width = Side(bmp.Width(), "width");
    const uint16_t height = Side(bmp.Height() < 0 ? -bmp.Height() : bmp.Height(), "height");
    // The lossless layouts take 16-bit pixels as x-5-5-5 and 32-bit ones as
    // 8-8-8-8; other channel widths would come out as wrong colours.
    const bool plain = (bmp.BitCount() != 16 ||
                        (bmp.RedBits() == 5 && bmp.GreenBits() == 5 && bmp.BlueBits() == 5)) &&
                       (bmp.BitCount() != 32 ||
                        (bmp.RedBits() == 8 && bmp.GreenBits() == 8 && bmp.BlueBits() == 8));
    if (!plain)
        throw std::runtime_error(
            "bitmaps of " + std::to_string(bmp.BitCount()) + " bits with channels of " +
            std::to_string(bmp.RedBits()) + ", " + std::to_string(bmp.GreenBits()) + " and " +
            std::to_string(bmp.BlueBits()) + " bits cannot be stored in a movie");
    FWidth = width;
    FHeight = height;
    FColorCount = 0;
    FDataStream.reset();
    FJPEGFile.clear();
    FHasAlpha = false;
    switch (bmp.BitCount()) {
    case 1:
    case 4:
    case 8:
        FBitmapFormat = bitmapColorMapped8;
        FPaddedWidth = uint16_t((FWidth + 3) / 4 * 4);
        FColorCount = bmp.CountColors(); // also compacts the palette
        break;
    case 16:
        FBitmapFormat = bitmapRGB15;
        FPaddedWidth = uint16_t((FWidth + 1) / 2 * 2);
        break;
    case 24:
        FBitmapFormat = bitmapRGB32;
        FPaddedWidth = FWidth;
        break;
    case 32: {
        // Many 32-bit files leave the fourth byte 0 as unused: such a picture
        // is opaque, not invisible. One whose alpha is all 255 is opaque too.
        bool anyVisible = false;
        bool anyTranslucent = false;
        for (uint32_t y = 0; y < FHeight; ++y) {
            const uint8_t* row = bmp.RowFromTop(y);
            for (uint32_t x = 0; x < FWidth; ++x) {
                anyVisible |= row[4 * x + 3] != 0;
                anyTranslucent |= row[4 * x + 3] != 255;
            }
        }
        FHasAlpha = anyVisible && anyTranslucent;
        FBitmapFormat = FHasAlpha ? 1 : bitmapRGB32;
        FPaddedWidth = FWidth;
        break;
    }
    default:
        throw std::runtime_error("bitmaps of " + std::to_string(bmp.BitCount()) +
                                 " bits per pixel cannot be stored in a movie");
    }
    FDataState = dsLossless;
}

std::vector<uint8_t> TFlashImage::BuildLosslessPayload() {
    TBMPReader& bmp = BMP();
    const uint32_t padding = uint32_t(FPaddedWidth - FWidth);
    std::vector<uint8_t> raw;
    const uint16_t bits = bmp.BitCount();
    switch (FBitmapFormat) {
    case bitmapColorMapped8: {
        raw.reserve(FColorCount * 3 + size_t(FPaddedWidth) * FHeight);
        auto palette = bmp.Palette();
        for (uint32_t i = 0; i < FColorCount; ++i) {
            raw.push_back(palette[i].Red);
            raw.push_back(palette[i].Green);
            raw.push_back(palette[i].Blue);
        }
        for (uint32_t y = 0; y < FHeight; ++y) {
            const uint8_t* row = bmp.RowFromTop(y);
            for (uint32_t x = 0; x < FWidth; ++x) {
                if (bits == 8)
                    raw.push_back(row[x]);
                else if (bits == 4)
                    raw.push_back(x % 2 == 0 ? row[x / 2] >> 4 : row[x / 2] & 0x0F);
                else
                    raw.push_back((row[x / 8] >> (7 - x % 8)) & 1);
            }
            raw.insert(raw.end(), padding, 0);
        }
        break;
    }
    case bitmapRGB15:
        raw.reserve(size_t(FPaddedWidth) * FHeight * 2);
        for (uint32_t y = 0; y < FHeight; ++y) {
            const uint8_t* row = bmp.RowFromTop(y);
            for (uint32_t x = 0; x < FWidth; ++x) {
                raw.push_back(row[2 * x + 1]); // high byte first
                raw.push_back(row[2 * x]);
            }
            raw.insert(raw.end(), 2 * padding, 0);
        }
        break;
    case bitmapRGB32:
    case 1: {
        raw.reserve(size_t(FWidth) * FHeight * 4);
        const unsigned step = bits == 32 ? 4 : 3;
        for (uint32_t y = 0; y < FHeight; ++y) {
            const uint8_t* row = bmp.RowFromTop(y);
            for (uint32_t x = 0; x < FWidth; ++x) {
                const uint8_t* p = row + step * x; // blue, green, red[, alpha]
                if (FBitmapFormat == 1) {
                    const uint8_t a = p[3];
                    raw.insert(raw.end(), {a, Premultiply(p[2], a), Premultiply(p[1], a),
                                           Premultiply(p[0], a)});
                } else {
                    raw.insert(raw.end(), {255, p[2], p[1], p[0]});
                }
            }
        }
        break;
    }
    default:
        throw std::logic_error("no lossless format derived for this image");
    }
    return CompressBitmapData(raw.data(), raw.size());
}

std::vector<uint8_t> TFlashImage::JpegBytes() const {
    if (FDataStream)
        return *FDataStream;
    return FDataState == dsJPEGFile ? ReadFileBytes(FJPEGFile) : std::vector<uint8_t>();
}

void TFlashImage::WriteJPEG(TBitsEngine& be) {
    std::vector<uint8_t> jpeg = JpegBytes();
    // The tag adds the start and end markers itself; a second start marker
    // makes players reject the picture, so the file's own ones are left out.
    size_t begin = 0;
    size_t end = jpeg.size();
    if (end >= 2 && jpeg[0] == 0xFF && jpeg[1] == 0xD8)
        begin = 2;
    if (end >= begin + 2 && jpeg[end - 2] == 0xFF && jpeg[end - 1] == 0xD9)
        end -= 2;
    const bool withAlpha = FAlphaStream && !FAlphaStream->empty();
    std::unique_ptr<TSWFDefineBitsJPEG2> tag = withAlpha ? std::make_unique<TSWFDefineBitsJPEG3>()
                                                         : std::make_unique<TSWFDefineBitsJPEG2>();
    tag->CharacterId = CharacterId();
    tag->SetDataView(jpeg.data() + begin, end - begin);
    std::vector<uint8_t> alpha;
    if (withAlpha) {
        alpha = CompressBitmapData(FAlphaStream->data(), FAlphaStream->size());
        static_cast<TSWFDefineBitsJPEG3&>(*tag).SetAlphaDataView(alpha.data(), alpha.size());
    }
    tag->WriteToStream(be);
}

void TFlashImage::WriteLossless(TBitsEngine& be) {
    if (!FDataStream || FDataStream->empty()) {
        SetDataStream(BuildLosslessPayload());
        FDataState = dsLossless;
    }
    std::unique_ptr<TSWFDefineBitsLossless> tag = FHasAlpha
                                                      ? std::make_unique<TSWFDefineBitsLossless2>()
                                                      : std::make_unique<TSWFDefineBitsLossless>();
    tag->CharacterId = CharacterId();
    tag->BitmapFormat = FBitmapFormat == 1 ? uint8_t(bitmapRGB32) : FBitmapFormat;
    tag->BitmapWidth = FWidth;
    tag->BitmapHeight = FHeight;
    if (FBitmapFormat == bitmapColorMapped8)
        tag->BitmapColorTableSize = uint8_t(FColorCount - 1);
    tag->SetDataView(FDataStream->data(), FDataStream->size());
    tag->WriteToStream(be);
}

void TFlashImage::WriteToStream(TBitsEngine& be) {
    if (FIsJPEG)
        WriteJPEG(be);
    else
        WriteLossless(be);
}

uint8_t TFlashImage::MinVersion() const {
    const bool jpegAlpha = FIsJPEG && FAlphaStream && !FAlphaStream->empty();
    return (FHasAlpha || jpegAlpha) ? 3 : 2;
}

void TFlashImage::Assign(const TBasedSWFObject& source) {
    AssignFlashObject(*this, source);
}

} // namespace pictova
