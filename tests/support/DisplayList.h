#pragma once
// Test-only decoder of the display-list tags of a walked movie: PlaceObject2
// bodies (flags, depth, character, matrix, colour transform with alpha) and
// RemoveObject2, each with the number of the frame it belongs to. It reads
// the bytes as the SWF format lays them out and shares no code with the
// writer.

#include "tests/support/SwfWalker.h"

#include <cmath>
#include <cstdint>
#include <numbers>
#include <stdexcept>
#include <string>
#include <vector>

namespace pictova::test {

struct WalkedMatrix {
    bool HasScale = false;
    bool HasRotate = false;
    int32_t ScaleX = 0x10000, ScaleY = 0x10000; // 16.16
    int32_t RotateSkew0 = 0, RotateSkew1 = 0;   // 16.16
    int32_t TranslateX = 0, TranslateY = 0;     // twips

    // A uniform scale composed with a rotation: ScaleX = s cos a and
    // RotateSkew1 = s sin a (positive a turns counter-clockwise on screen).
    double Scale() const { return std::hypot(ScaleX, RotateSkew1) / 65536.0; }
    double Degrees() const { return std::atan2(RotateSkew1, ScaleX) * 180.0 / std::numbers::pi; }
};

struct WalkedColorTransform {
    bool HasAdd = false;
    bool HasMult = false;
    int32_t MultR = 256, MultG = 256, MultB = 256, MultA = 256; // 8.8
    int32_t AddR = 0, AddG = 0, AddB = 0, AddA = 0;
};

struct WalkedPlace {
    bool Move = false;
    bool HasCharacter = false;
    bool HasMatrix = false;
    bool HasColorTransform = false;
    uint8_t OtherFlags = 0; // ratio, name, clip depth, clip actions
    uint16_t Depth = 0;
    uint16_t Character = 0;
    WalkedMatrix Matrix;
    WalkedColorTransform ColorTransform;
};

inline WalkedMatrix ReadWalkedMatrix(BitReader& bits) {
    WalkedMatrix m;
    m.HasScale = bits.Bits(1);
    if (m.HasScale) {
        const unsigned n = bits.Bits(5);
        m.ScaleX = bits.SignedBits(n);
        m.ScaleY = bits.SignedBits(n);
    }
    m.HasRotate = bits.Bits(1);
    if (m.HasRotate) {
        const unsigned n = bits.Bits(5);
        m.RotateSkew0 = bits.SignedBits(n);
        m.RotateSkew1 = bits.SignedBits(n);
    }
    const unsigned n = bits.Bits(5);
    m.TranslateX = bits.SignedBits(n);
    m.TranslateY = bits.SignedBits(n);
    bits.Align();
    return m;
}

inline WalkedColorTransform ReadWalkedColorTransformWithAlpha(BitReader& bits) {
    WalkedColorTransform c;
    c.HasAdd = bits.Bits(1);
    c.HasMult = bits.Bits(1);
    const unsigned n = bits.Bits(4);
    if (c.HasMult) {
        c.MultR = bits.SignedBits(n);
        c.MultG = bits.SignedBits(n);
        c.MultB = bits.SignedBits(n);
        c.MultA = bits.SignedBits(n);
    }
    if (c.HasAdd) {
        c.AddR = bits.SignedBits(n);
        c.AddG = bits.SignedBits(n);
        c.AddB = bits.SignedBits(n);
        c.AddA = bits.SignedBits(n);
    }
    bits.Align();
    return c;
}

// The fields up to the colour transform; what follows is not decoded.
inline WalkedPlace DecodePlaceObject2(const std::string& body) {
    BitReader bits(body);
    WalkedPlace p;
    const uint32_t flags = bits.Bits(8);
    p.OtherFlags = uint8_t(flags & 0xF0);
    p.HasColorTransform = flags & 0x08;
    p.HasMatrix = flags & 0x04;
    p.HasCharacter = flags & 0x02;
    p.Move = flags & 0x01;
    p.Depth = uint16_t(bits.Bits(8) | bits.Bits(8) << 8);
    if (p.HasCharacter)
        p.Character = uint16_t(bits.Bits(8) | bits.Bits(8) << 8);
    if (p.HasMatrix)
        p.Matrix = ReadWalkedMatrix(bits);
    if (p.HasColorTransform)
        p.ColorTransform = ReadWalkedColorTransformWithAlpha(bits);
    return p;
}

// One display-list change and the frame it belongs to: the number of
// ShowFrame tags before it, so changes after the last ShowFrame carry the
// movie's frame count.
struct WalkedChange {
    size_t Frame = 0;
    bool Remove = false; // RemoveObject2: only Place.Depth is set
    WalkedPlace Place;
};

inline std::vector<WalkedChange> DisplayChanges(const WalkedMovie& movie) {
    std::vector<WalkedChange> changes;
    size_t frame = 0;
    for (const WalkedTag& tag : movie.Tags) {
        if (tag.Code == 1) { // ShowFrame
            ++frame;
        } else if (tag.Code == 26) { // PlaceObject2
            changes.push_back({frame, false, DecodePlaceObject2(tag.Body)});
        } else if (tag.Code == 28) { // RemoveObject2
            if (tag.Body.size() != 2)
                throw std::runtime_error("RemoveObject2 body of " +
                                         std::to_string(tag.Body.size()) + " bytes");
            WalkedChange c{frame, true, {}};
            c.Place.Depth = uint16_t(uint8_t(tag.Body[0]) | uint8_t(tag.Body[1]) << 8);
            changes.push_back(c);
        } else if (tag.Code == 4 || tag.Code == 5 || tag.Code == 70) {
            throw std::runtime_error("unexpected display-list tag " + std::to_string(tag.Code));
        }
    }
    return changes;
}

// The changes of one frame.
inline std::vector<WalkedChange> InFrame(const std::vector<WalkedChange>& changes, size_t frame) {
    std::vector<WalkedChange> in;
    for (const WalkedChange& c : changes)
        if (c.Frame == frame)
            in.push_back(c);
    return in;
}

} // namespace pictova::test
