#include "swf/BitsEngine.h"

#include "platform/CodePage.h"

#include <algorithm>
#include <cassert>

namespace pictova {

void TBitsEngine::EmitByte(uint8_t b) {
    Stream.put(char(b));
}

void TBitsEngine::WriteBits(uint32_t value, unsigned count) {
    assert(count <= 32);
    if (count == 0)
        return;
    const uint64_t v = count == 32 ? value : (value & ((uint32_t{1} << count) - 1));
    // At most 7 pending bits plus 32 new ones: fits comfortably in 64 bits.
    uint64_t acc = (uint64_t(LastByte) << count) | v;
    unsigned total = LastBitCount + count;
    while (total >= 8) {
        total -= 8;
        EmitByte(uint8_t(acc >> total));
    }
    LastByte = uint8_t(acc & ((uint64_t{1} << total) - 1));
    LastBitCount = uint8_t(total);
}

void TBitsEngine::FlushLastByte(bool write) {
    if (LastBitCount == 0)
        return;
    if (write)
        WriteBits(0, 8u - LastBitCount);
    LastByte = 0;
    LastBitCount = 0;
}

void TBitsEngine::WriteByte(uint8_t b) {
    if (LastBitCount > 0)
        WriteBits(b, 8);
    else
        EmitByte(b);
}

void TBitsEngine::WriteWord(uint16_t w) {
    FlushLastByte(true);
    EmitByte(uint8_t(w));
    EmitByte(uint8_t(w >> 8));
}

void TBitsEngine::WriteDWord(uint32_t d) {
    FlushLastByte(true);
    for (int i = 0; i < 4; ++i)
        EmitByte(uint8_t(d >> (8 * i)));
}

void TBitsEngine::WriteRGB(const SWFRGB& c) {
    assert(LastBitCount == 0 && "colours are written between records");
    EmitByte(c.R);
    EmitByte(c.G);
    EmitByte(c.B);
}

void TBitsEngine::WriteRGBA(const SWFRGBA& c) {
    assert(LastBitCount == 0 && "colours are written between records");
    EmitByte(c.R);
    EmitByte(c.G);
    EmitByte(c.B);
    EmitByte(c.A);
}

void TBitsEngine::WriteRect(const TSWFRect& r) {
    const unsigned nbits =
        GetSignedBitsCount(MaxAbs(r.GetXMin(), r.GetXMax(), r.GetYMin(), r.GetYMax()));
    assert(nbits < 32 && "RECT values must stay below 2^30");
    WriteBits(nbits, 5);
    WriteBits(uint32_t(r.GetXMin()), nbits);
    WriteBits(uint32_t(r.GetXMax()), nbits);
    WriteBits(uint32_t(r.GetYMin()), nbits);
    WriteBits(uint32_t(r.GetYMax()), nbits);
    FlushLastByte(true);
}

void TBitsEngine::WriteRect(const TRect& r) {
    WriteRect(MakeSWFRect(r, false));
}

void TBitsEngine::WriteMatrix(const TSWFMatrix& m) {
    WriteBit(m.HasScale);
    if (m.HasScale) {
        const unsigned n = GetSignedBitsCount(MaxAbs(m.ScaleX, m.ScaleY));
        WriteBits(n, 5);
        WriteBits(uint32_t(m.ScaleX), n);
        WriteBits(uint32_t(m.ScaleY), n);
    }
    WriteBit(m.HasRotate);
    if (m.HasRotate) {
        const unsigned n = GetSignedBitsCount(MaxAbs(m.RotateSkew0, m.RotateSkew1));
        WriteBits(n, 5);
        WriteBits(uint32_t(m.RotateSkew0), n);
        WriteBits(uint32_t(m.RotateSkew1), n);
    }
    const unsigned n = GetSignedBitsCount(MaxAbs(m.TranslateX, m.TranslateY));
    WriteBits(n, 5);
    if (n > 0) {
        WriteBits(uint32_t(m.TranslateX), n);
        WriteBits(uint32_t(m.TranslateY), n);
    }
    FlushLastByte(true);
}

void TBitsEngine::WriteColorTransform(const SWFColorTransform& t) {
    const int32_t h = t.HasAlpha ? 1 : 0;
    const unsigned a =
        t.HasAdd ? GetSignedBitsCount(MaxAbs(t.AddR, t.AddG, t.AddB, t.AddA * h)) : 0;
    const unsigned m =
        t.HasMult ? GetSignedBitsCount(MaxAbs(t.MultR, t.MultG, t.MultB, t.MultA * h)) : 0;
    // One width serves both groups.
    const unsigned n = std::max(a, m);
    assert(n < 16 && "colour transform terms must stay below 2^14");
    WriteBit(t.HasAdd);
    WriteBit(t.HasMult);
    if (t.HasAdd || t.HasMult) {
        WriteBits(n, 4);
        if (t.HasMult) {
            WriteBits(uint32_t(int32_t(t.MultR)), n);
            WriteBits(uint32_t(int32_t(t.MultG)), n);
            WriteBits(uint32_t(int32_t(t.MultB)), n);
            if (t.HasAlpha)
                WriteBits(uint32_t(int32_t(t.MultA)), n);
        }
        if (t.HasAdd) {
            WriteBits(uint32_t(int32_t(t.AddR)), n);
            WriteBits(uint32_t(int32_t(t.AddG)), n);
            WriteBits(uint32_t(int32_t(t.AddB)), n);
            if (t.HasAlpha)
                WriteBits(uint32_t(int32_t(t.AddA)), n);
        }
    }
    FlushLastByte(true);
}

void TBitsEngine::WriteString(std::string_view text, bool nullTerminate, bool utf8) {
    if (utf8) {
        const std::string converted = AnsiToUtf8(text);
        WriteChars(converted.data(), converted.size(), nullTerminate);
    } else {
        WriteChars(text.data(), text.size(), nullTerminate);
    }
}

void TBitsEngine::WriteChars(const char* buffer, size_t count, bool nullTerminate) {
    if (LastBitCount == 0) {
        Stream.write(buffer, std::streamsize(count));
    } else {
        for (size_t i = 0; i < count; ++i)
            WriteByte(uint8_t(buffer[i]));
    }
    if (nullTerminate)
        WriteByte(0);
}

void TBitsEngine::WriteBytes(const void* data, size_t count) {
    WriteChars(static_cast<const char*>(data), count, false);
}

} // namespace pictova
