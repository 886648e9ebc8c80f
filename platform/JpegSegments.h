#pragma once
// The marker segments of a JPEG stream, from the start-of-image marker on,
// without reading what they hold: every reader of JPEG headers walks them the
// same way and decides for itself where to stop and what to look into.

#include "platform/ByteSource.h"

#include <cstdint>
#include <limits>

namespace pictova {

struct TJpegSegment {
    std::uint8_t Marker = 0;  // the code after 0xFF
    std::uint64_t Offset = 0; // of the length field (of what follows, for markers without one)
    std::uint32_t Length = 0; // the length field, which counts itself; 0 without one

    // TEM and RSTn stand alone, without a length field.
    bool StandsAlone() const { return Marker == 0x01 || (Marker >= 0xD0 && Marker <= 0xD7); }
};

class TJpegSegmentWalker {
public:
    // maxSteps bounds the marker bytes read (fill bytes included), for
    // sources made of nothing but empty segments.
    explicit TJpegSegmentWalker(TByteSource& source,
                                std::uint64_t maxSteps = std::numeric_limits<std::uint64_t>::max())
        : Source(source), MaxSteps(maxSteps) {}

    // The next segment, the first after the start-of-image marker. False when
    // the data does not start with that marker, ends, or shows no marker
    // where one must stand, and after a length below 2 (which gives no next
    // segment, though the segment that states it is still handed out).
    bool Next(TJpegSegment& segment);

private:
    TByteSource& Source;
    std::uint64_t MaxSteps;
    std::uint64_t Steps = 0;
    std::uint64_t Pos = 0; // 0 until the start marker has been read
    bool Ended = false;
};

} // namespace pictova
