#pragma once
// TBitsEngine: the only writer of SWF bytes. Bit fields are packed most
// significant bit first; integers are written little-endian.

#include "swf/SWFRecords.h"
#include "swf/SWFTypes.h"

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string_view>

namespace pictova {

class TBitsEngine {
public:
    // The stream is not owned. Write failures surface as the stream's own
    // exceptions when the caller enabled them.
    explicit TBitsEngine(std::ostream& stream) : Stream(stream) {}
    TBitsEngine(const TBitsEngine&) = delete;
    TBitsEngine& operator=(const TBitsEngine&) = delete;

    // Appends the low `count` (0-32) bits of value, most significant first.
    void WriteBits(uint32_t value, unsigned count);
    void WriteBit(bool b) { WriteBits(b ? 1u : 0u, 1); }
    // Pads pending bits with zeros and emits them (write) or drops them.
    void FlushLastByte(bool write = true);

    // Continues an unaligned bit stream when bits are pending.
    void WriteByte(uint8_t b);
    void WriteWord(uint16_t w);
    void WriteDWord(uint32_t d);
    // Colours go straight to the stream: only call them between records.
    void WriteRGB(const SWFRGB& c);
    void WriteRGBA(const SWFRGBA& c);

    void WriteRect(const TSWFRect& r);
    void WriteRect(const TRect& r);
    void WriteMatrix(const TSWFMatrix& m);
    // CXFORM, or CXFORMWITHALPHA when HasAlpha.
    void WriteColorTransform(const SWFColorTransform& t);

    // Text in Windows-1252; converted to UTF-8 first when utf8.
    void WriteString(std::string_view text, bool nullTerminate = true, bool utf8 = false);
    void WriteChars(const char* buffer, size_t count, bool nullTerminate = false);
    void WriteBytes(const void* data, size_t count);

    std::ostream& GetStream() { return Stream; }
    unsigned PendingBitCount() const { return LastBitCount; }

private:
    void EmitByte(uint8_t b);

    std::ostream& Stream;
    uint8_t LastByte = 0;     // pending bits, right-aligned
    uint8_t LastBitCount = 0; // 0 to 7
};

} // namespace pictova
