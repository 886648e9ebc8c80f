#include "platform/JpegSegments.h"

#include <array>

namespace pictova {

bool TJpegSegmentWalker::Next(TJpegSegment& segment) {
    if (Ended)
        return false;
    Ended = true; // until a segment is found
    if (Pos == 0) {
        std::array<std::uint8_t, 2> soi{};
        if (!Source.Read(0, soi) || soi[0] != 0xFF || soi[1] != 0xD8)
            return false;
        Pos = 2;
    }
    std::uint8_t byte = 0;
    if (!Source.ReadByte(Pos, byte) || byte != 0xFF)
        return false;
    // Any number of 0xFF fill bytes may precede the marker code.
    do {
        if (++Steps > MaxSteps || !Source.ReadByte(++Pos, byte))
            return false;
    } while (byte == 0xFF);
    ++Pos;
    segment.Marker = byte;
    segment.Offset = Pos;
    segment.Length = 0;
    if (segment.StandsAlone()) {
        Ended = false;
        return true;
    }
    std::array<std::uint8_t, 2> length{};
    if (!Source.Read(Pos, length))
        return false;
    segment.Length = std::uint32_t(length[0]) << 8 | length[1];
    Pos += segment.Length;
    Ended = segment.Length < 2;
    return true;
}

} // namespace pictova
