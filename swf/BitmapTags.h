#pragma once
// Bitmap tags: JPEG pictures (DefineBits with a shared JPEGTables tag,
// DefineBitsJPEG2, DefineBitsJPEG3 with an alpha plane) and zlib-compressed
// lossless bitmaps (DefineBitsLossless, DefineBitsLossless2). The tags do not
// look at pixels: the caller prepares the payload bytes.

#include "swf/DataObject.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace pictova {

class TSWFImageTag : public TSWFDataObject {
public:
    void Assign(const TBasedSWFObject& source) override { AssignAs(*this, source); }

    uint16_t CharacterId = 0;
};

// Body: CharacterId, FF D8, payload, FF D9.
//
// The tag writes the start-of-image (FF D8) and end-of-image (FF D9) markers
// itself. Hand over the JPEG file's bytes WITHOUT its own leading FF D8 and
// trailing FF D9, so that the tag holds one well-formed JPEG stream: a whole
// file gives FF D8 FF D8 ... FF D9 FF D9, which players such as Ruffle reject
// as invalid JPEG. The same holds for DefineBitsJPEG2 and DefineBitsJPEG3.
// A DefineBits payload holds the scan data only; its tables are in the
// movie's one JPEGTables tag.
class TSWFDefineBits : public TSWFImageTag {
public:
    TSWFDefineBits() { TagID = tagDefineBits; }
    void WriteTagBody(TBitsEngine& be) override;

protected:
    // FF D8, payload, FF D9.
    void WriteJPEGStream(TBitsEngine& be);
};

// Body: FF D8, payload, FF D9 (no character ID). The payload is the shared
// tables (DQT, DHT) without the outer FF D8 / FF D9 markers.
class TSWFJPEGTables : public TSWFDataObject {
public:
    TSWFJPEGTables() { TagID = tagJPEGTables; }
    void WriteTagBody(TBitsEngine& be) override;
};

// A complete JPEG (tables and scan) of its own; payload as for DefineBits.
class TSWFDefineBitsJPEG2 : public TSWFDefineBits {
public:
    TSWFDefineBitsJPEG2() { TagID = tagDefineBitsJPEG2; }
    uint8_t MinVersion() const override { return 2; }
};

// Body: CharacterId, AlphaDataOffset (byte count of FF D8, payload, FF D9),
// FF D8, payload, FF D9, alpha payload. The alpha payload is the alpha plane
// (one byte per pixel, rows unpadded) already zlib-compressed, for example
// with CompressBitmapData; the tag does not compress it.
class TSWFDefineBitsJPEG3 : public TSWFDefineBitsJPEG2 {
public:
    TSWFDefineBitsJPEG3() { TagID = tagDefineBitsJPEG3; }
    // The alpha payload is copied the way the JPEG one is (CopyPayload).
    TSWFDefineBitsJPEG3(const TSWFDefineBitsJPEG3& source);
    TSWFDefineBitsJPEG3& operator=(const TSWFDefineBitsJPEG3& source);
    void Assign(const TBasedSWFObject& source) override { AssignAs(*this, source); }
    uint8_t MinVersion() const override { return 3; }
    void WriteTagBody(TBitsEngine& be) override;

    void SetAlphaData(std::vector<uint8_t> bytes) { FAlpha.Set(std::move(bytes)); }
    // Borrowed, as SetDataView.
    void SetAlphaDataView(const void* data, size_t size) { FAlpha.SetView(data, size); }
    void ClearAlphaData() { FAlpha.Clear(); }
    const uint8_t* AlphaData() const { return FAlpha.Data(); }
    size_t AlphaDataSize() const { return FAlpha.Size(); }
    bool OwnsAlphaData() const { return FAlpha.Owned(); }

    // Called instead of writing AlphaData when assigned; sender is this tag.
    TSWFDataWriteEvent OnAlphaDataWrite;

private:
    TSWFPayload FAlpha;
};

// Values of BitmapFormat.
enum TSWFBitmapFormat : uint8_t {
    bitmapColorMapped8 = 3, // colour table, then one index byte per pixel
    bitmapRGB15 = 4,        // 16-bit pixels, 5 bits per channel (no alpha tag)
    bitmapRGB32 = 5,        // 4 bytes per pixel: reserved/alpha, R, G, B
};

// Body: CharacterId, BitmapFormat, BitmapWidth, BitmapHeight,
// BitmapColorTableSize (format 3 only), payload. Always framed with the long
// tag header.
//
// The payload is the zlib stream (CompressBitmapData) of:
// - format 3: BitmapColorTableSize + 1 colours (RGB, 3 bytes each; RGBA,
//   4 bytes each in DefineBitsLossless2), then the rows of index bytes, each
//   row padded with zeros to a multiple of 4 bytes;
// - format 4: rows of 16-bit pixels, high byte first (0RRRRRGG GGGBBBBB), each
//   row padded to an even pixel count; DefineBitsLossless only;
// - format 5: rows of 4-byte pixels (0 or alpha, R, G, B), no padding needed.
// DefineBitsLossless2 colours are premultiplied by their alpha.
// LosslessRowSize gives the padded row length. Nothing is checked here: data
// shorter than its rows makes players fail.
class TSWFDefineBitsLossless : public TSWFImageTag {
public:
    TSWFDefineBitsLossless() { TagID = tagDefineBitsLossless; }
    void Assign(const TBasedSWFObject& source) override { AssignAs(*this, source); }
    uint8_t MinVersion() const override { return 2; }
    void WriteTagBody(TBitsEngine& be) override;

    uint8_t BitmapColorTableSize = 0; // colour-table entries minus 1 (format 3)
    uint8_t BitmapFormat = 0;         // TSWFBitmapFormat
    uint16_t BitmapHeight = 0;        // pixels
    uint16_t BitmapWidth = 0;         // pixels
};

// As DefineBitsLossless, with alpha in the colours (formats 3 and 5).
class TSWFDefineBitsLossless2 : public TSWFDefineBitsLossless {
public:
    TSWFDefineBitsLossless2() { TagID = tagDefineBitsLossless2; }
    uint8_t MinVersion() const override { return 3; }
};

// Bytes of one uncompressed pixel row of a lossless bitmap, padding included;
// 0 for an unknown format.
size_t LosslessRowSize(uint8_t bitmapFormat, uint16_t width);

// A zlib stream at the default level, the form of lossless bitmap data and
// JPEG alpha planes. Throws std::runtime_error when zlib fails.
std::vector<uint8_t> CompressBitmapData(const void* data, size_t size);

} // namespace pictova
