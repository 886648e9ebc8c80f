#include "swf/BitmapTags.h"

#include <sstream>
#include <stdexcept>
#include <string>

#include <zlib.h>

namespace pictova {

namespace {

void WriteStartOfImage(TBitsEngine& be) {
    be.WriteByte(0xFF);
    be.WriteByte(0xD8);
}

void WriteEndOfImage(TBitsEngine& be) {
    be.WriteByte(0xFF);
    be.WriteByte(0xD9);
}

} // namespace

void TSWFDefineBits::WriteJPEGStream(TBitsEngine& be) {
    WriteStartOfImage(be);
    WriteData(be);
    WriteEndOfImage(be);
}

void TSWFDefineBits::WriteTagBody(TBitsEngine& be) {
    be.WriteWord(CharacterId);
    WriteJPEGStream(be);
}

void TSWFJPEGTables::WriteTagBody(TBitsEngine& be) {
    WriteStartOfImage(be);
    WriteData(be);
    WriteEndOfImage(be);
}

TSWFDefineBitsJPEG3::TSWFDefineBitsJPEG3(const TSWFDefineBitsJPEG3& source)
    : TSWFDefineBitsJPEG2(source) {
    CopyPayload(FAlpha, OnAlphaDataWrite, source.FAlpha, source.OnAlphaDataWrite);
}

TSWFDefineBitsJPEG3& TSWFDefineBitsJPEG3::operator=(const TSWFDefineBitsJPEG3& source) {
    TSWFDefineBitsJPEG2::operator=(source);
    CopyPayload(FAlpha, OnAlphaDataWrite, source.FAlpha, source.OnAlphaDataWrite);
    return *this;
}

void TSWFDefineBitsJPEG3::WriteTagBody(TBitsEngine& be) {
    // The JPEG part goes to a scratch stream first so that its length, the
    // AlphaDataOffset, is measured rather than computed, on any stream.
    std::ostringstream jpeg;
    TBitsEngine jpegEngine(jpeg);
    WriteJPEGStream(jpegEngine);
    const std::string bytes = std::move(jpeg).str();
    if (bytes.size() > UINT32_MAX)
        throw std::runtime_error("JPEG data of " + std::to_string(bytes.size()) +
                                 " bytes does not fit a DefineBitsJPEG3 offset");
    be.WriteWord(CharacterId);
    be.WriteDWord(uint32_t(bytes.size()));
    be.WriteBytes(bytes.data(), bytes.size());
    WritePayload(*this, be, FAlpha, OnAlphaDataWrite);
}

void TSWFDefineBitsLossless::WriteTagBody(TBitsEngine& be) {
    be.WriteWord(CharacterId);
    be.WriteByte(BitmapFormat);
    be.WriteWord(BitmapWidth);
    be.WriteWord(BitmapHeight);
    if (BitmapFormat == bitmapColorMapped8)
        be.WriteByte(BitmapColorTableSize);
    WriteData(be);
}

size_t LosslessRowSize(uint8_t bitmapFormat, uint16_t width) {
    const size_t w = width;
    switch (bitmapFormat) {
    case bitmapColorMapped8:
        return (w + 3) / 4 * 4;
    case bitmapRGB15:
        return (w + 1) / 2 * 2 * 2;
    case bitmapRGB32:
        return w * 4;
    default:
        return 0;
    }
}

std::vector<uint8_t> CompressBitmapData(const void* data, size_t size) {
    const uLong bound = compressBound(uLong(size));
    if (uLong(size) != size || bound < size)
        throw std::runtime_error("bitmap data of " + std::to_string(size) +
                                 " bytes is too large to compress");
    std::vector<uint8_t> out(bound);
    uLongf outSize = bound;
    static const Bytef nothing = 0;
    const Bytef* in = size > 0 ? static_cast<const Bytef*>(data) : &nothing;
    const int rc = compress2(out.data(), &outSize, in, uLong(size), Z_DEFAULT_COMPRESSION);
    if (rc != Z_OK)
        throw std::runtime_error("zlib failed (" + std::to_string(rc) + ") compressing " +
                                 std::to_string(size) + " bytes of bitmap data");
    // Returned at its exact size: compressBound is about the size of the raw
    // data, and an image keeps its payload until the movie is freed.
    return std::vector<uint8_t>(out.begin(), out.begin() + std::ptrdiff_t(outSize));
}

} // namespace pictova
