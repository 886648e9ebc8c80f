#pragma once
// Test-only views of shapes as short texts: shape records in memory, and the
// body of a written DefineShape2/DefineShape3 tag read back bit by bit. Both
// give records the same form, so a written path can be compared with the
// list it came from:
//   "style move 0,0 fill0=0 fill1=1 line=1"  (only the fields whose flag is set)
//   "line 12800,0", "curve 200,0 0,200", "end".
// Add builds such lists record by record.

#include "swf/ShapeRecords.h"
#include "tests/support/SwfWalker.h"

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace pictova::test {

// Appends a new record made from args and returns it for setting its fields.
template <class Record, class... Args> Record& Add(TSWFShapeRecordList& list, Args... args) {
    auto record = std::make_unique<Record>(args...);
    Record& ref = *record;
    list.push_back(std::move(record));
    return ref;
}

inline std::string Pair(int32_t a, int32_t b) {
    return std::to_string(a) + "," + std::to_string(b);
}

inline std::string Describe(const TSWFShapeRecord& record) {
    switch (record.ShapeRecType()) {
    case rtEndShape:
        return "end";
    case rtStraightEdge: {
        const auto& e = static_cast<const TSWFStraightEdgeRecord&>(record);
        return "line " + Pair(e.DeltaX, e.DeltaY);
    }
    case rtCurvedEdge: {
        const auto& c = static_cast<const TSWFCurvedEdgeRecord&>(record);
        return "curve " + Pair(c.ControlDeltaX, c.ControlDeltaY) + " " +
               Pair(c.AnchorDeltaX, c.AnchorDeltaY);
    }
    case rtStyleChange: {
        const auto& s = static_cast<const TSWFStyleChangeRecord&>(record);
        std::string out = "style";
        if (s.StateMoveTo)
            out += " move " + Pair(s.MoveDeltaX, s.MoveDeltaY);
        if (s.StateFillStyle0)
            out += " fill0=" + std::to_string(s.FillStyle0());
        if (s.StateFillStyle1)
            out += " fill1=" + std::to_string(s.FillStyle1());
        if (s.StateLineStyle)
            out += " line=" + std::to_string(s.LineStyle());
        return out;
    }
    }
    return "?";
}

inline std::vector<std::string> Describe(const TSWFShapeRecordList& records) {
    std::vector<std::string> out;
    for (const auto& r : records)
        out.push_back(Describe(*r));
    return out;
}

struct ReadShape {
    uint16_t Id = 0;
    WalkedRect Bounds;
    // "solid 99 66 33", "bitmap 41 id=2 scale 1310960,1310960 translate -5,-5",
    // "gradient 10 ..."; colours as hex bytes R G B (A).
    std::vector<std::string> Fills;
    std::vector<std::string> Lines; // "20 99 66 33": width in twips, colour
    std::vector<std::string> Records;
};

namespace detail {

inline std::string Colour(BitReader& in, bool alpha) {
    std::string bytes;
    for (int i = 0; i < (alpha ? 4 : 3); ++i)
        bytes += char(in.Bits(8));
    return Hex(bytes);
}

// "scale SX,SY rotate R0,R1 translate TX,TY" (16.16 terms as integers).
inline std::string Matrix(BitReader& in) {
    in.Align();
    std::string out;
    if (in.Bits(1)) {
        const unsigned n = in.Bits(5);
        const int32_t sx = in.SignedBits(n);
        out += "scale " + Pair(sx, in.SignedBits(n)) + " ";
    }
    if (in.Bits(1)) {
        const unsigned n = in.Bits(5);
        const int32_t r0 = in.SignedBits(n);
        out += "rotate " + Pair(r0, in.SignedBits(n)) + " ";
    }
    const unsigned n = in.Bits(5);
    const int32_t tx = in.SignedBits(n);
    out += "translate " + Pair(tx, in.SignedBits(n));
    in.Align();
    return out;
}

inline unsigned U16(BitReader& in) {
    const unsigned low = in.Bits(8);
    return low | in.Bits(8) << 8;
}

inline unsigned Count(BitReader& in) {
    const unsigned count = in.Bits(8);
    return count == 0xFF ? U16(in) : count;
}

} // namespace detail

// Reads a DefineShape2 (alpha false) or DefineShape3 (alpha true) body with
// solid, gradient and bitmap fills and no new styles inside the records.
inline ReadShape ReadShapeBody(const std::string& body, bool alpha) {
    ReadShape shape;
    BitReader in(body);
    shape.Id = uint16_t(detail::U16(in));
    const unsigned n = in.Bits(5);
    shape.Bounds.Nbits = n;
    shape.Bounds.Xmin = in.SignedBits(n);
    shape.Bounds.Xmax = in.SignedBits(n);
    shape.Bounds.Ymin = in.SignedBits(n);
    shape.Bounds.Ymax = in.SignedBits(n);
    in.Align();
    for (unsigned i = detail::Count(in); i > 0; --i) {
        const unsigned type = in.Bits(8);
        if (type == 0x00) {
            shape.Fills.push_back("solid " + detail::Colour(in, alpha));
        } else if (type == 0x10 || type == 0x12) {
            std::string fill =
                "gradient " + Hex(std::string(1, char(type))) + " " + detail::Matrix(in);
            for (unsigned k = in.Bits(8) & 15; k > 0; --k) {
                const unsigned ratio = in.Bits(8);
                fill += " " + std::to_string(ratio) + ":" + detail::Colour(in, alpha);
            }
            shape.Fills.push_back(fill);
        } else if (type >= 0x40 && type <= 0x43) {
            const unsigned id = detail::U16(in);
            shape.Fills.push_back("bitmap " + Hex(std::string(1, char(type))) +
                                  " id=" + std::to_string(id) + " " + detail::Matrix(in));
        } else {
            throw std::runtime_error("unknown fill style type " + std::to_string(type));
        }
    }
    for (unsigned i = detail::Count(in); i > 0; --i) {
        const unsigned width = detail::U16(in);
        shape.Lines.push_back(std::to_string(width) + " " + detail::Colour(in, alpha));
    }
    const unsigned fillBits = in.Bits(4);
    const unsigned lineBits = in.Bits(4);
    for (;;) {
        if (in.Bits(1) == 0) {
            const unsigned newStyles = in.Bits(1), line = in.Bits(1), fill1 = in.Bits(1),
                           fill0 = in.Bits(1), move = in.Bits(1);
            if (!newStyles && !line && !fill1 && !fill0 && !move) {
                shape.Records.push_back("end");
                break;
            }
            if (newStyles)
                throw std::runtime_error("new styles inside the records are not read here");
            std::string s = "style";
            if (move) {
                const unsigned bits = in.Bits(5);
                const int32_t x = in.SignedBits(bits);
                s += " move " + Pair(x, in.SignedBits(bits));
            }
            if (fill0)
                s += " fill0=" + std::to_string(in.Bits(fillBits));
            if (fill1)
                s += " fill1=" + std::to_string(in.Bits(fillBits));
            if (line)
                s += " line=" + std::to_string(in.Bits(lineBits));
            shape.Records.push_back(s);
        } else if (in.Bits(1) == 1) {
            const unsigned bits = in.Bits(4) + 2;
            int32_t dx = 0, dy = 0;
            if (in.Bits(1)) {
                dx = in.SignedBits(bits);
                dy = in.SignedBits(bits);
            } else if (in.Bits(1)) {
                dy = in.SignedBits(bits);
            } else {
                dx = in.SignedBits(bits);
            }
            shape.Records.push_back("line " + Pair(dx, dy));
        } else {
            const unsigned bits = in.Bits(4) + 2;
            const int32_t cx = in.SignedBits(bits), cy = in.SignedBits(bits);
            const int32_t ax = in.SignedBits(bits), ay = in.SignedBits(bits);
            shape.Records.push_back("curve " + Pair(cx, cy) + " " + Pair(ax, ay));
        }
    }
    in.Align();
    if (in.BytePos() != body.size())
        throw std::runtime_error("the shape body has " +
                                 std::to_string(body.size() - in.BytePos()) +
                                 " bytes after its records");
    return shape;
}

} // namespace pictova::test
