#include "swf/ShapeRecords.h"

#include <cassert>
#include <stdexcept>
#include <string>

namespace pictova {

namespace {

// Edge deltas are written with a 4-bit NumBits of n - 2, so at most 17 bits.
constexpr int32_t MaxEdgeDelta = 65535;
// The 5-bit width of a move-to allows at most 31 bits.
constexpr int32_t MaxMoveCoordinate = (1 << 30) - 1;

void CheckEdgeDelta(const char* what, int32_t largest) {
    if (largest > MaxEdgeDelta)
        throw std::out_of_range(std::string(what) + " delta of " + std::to_string(largest) +
                                " twips exceeds the edge limit of " + std::to_string(MaxEdgeDelta));
}

void WriteIndex(TBitsEngine& be, uint16_t index, uint8_t bits) {
    assert((bits >= 16 || index < (1u << bits)) &&
           "style index wider than the shape's index width");
    be.WriteBits(index, bits);
}

} // namespace

void TSWFEndShapeRecord::WriteToStream(TBitsEngine& be) {
    be.WriteBits(0, 6);
}

void TSWFStraightEdgeRecord::WriteToStream(TBitsEngine& be) {
    if (DeltaX == 0 && DeltaY == 0)
        return;
    const int32_t largest = MaxAbs(DeltaX, DeltaY);
    CheckEdgeDelta("straight edge", largest);
    const unsigned n = GetSignedBitsCount(largest); // 2 to 17
    be.WriteBit(true);                              // TypeFlag: edge
    be.WriteBit(true);                              // StraightFlag
    be.WriteBits(n - 2, 4);
    if (DeltaX != 0 && DeltaY != 0) {
        be.WriteBit(true); // GeneralLineFlag
        be.WriteBits(uint32_t(DeltaX), n);
        be.WriteBits(uint32_t(DeltaY), n);
    } else {
        be.WriteBit(false);
        const bool vertical = DeltaX == 0;
        be.WriteBit(vertical);
        be.WriteBits(uint32_t(vertical ? DeltaY : DeltaX), n);
    }
}

void TSWFCurvedEdgeRecord::WriteToStream(TBitsEngine& be) {
    const int32_t largest = MaxAbs(ControlDeltaX, ControlDeltaY, AnchorDeltaX, AnchorDeltaY);
    if (largest == 0)
        return;
    CheckEdgeDelta("curved edge", largest);
    const unsigned n = GetSignedBitsCount(largest);
    be.WriteBit(true);  // TypeFlag: edge
    be.WriteBit(false); // StraightFlag
    be.WriteBits(n - 2, 4);
    be.WriteBits(uint32_t(ControlDeltaX), n);
    be.WriteBits(uint32_t(ControlDeltaY), n);
    be.WriteBits(uint32_t(AnchorDeltaX), n);
    be.WriteBits(uint32_t(AnchorDeltaY), n);
}

void TSWFStyleChangeRecord::SetFillStyle0(uint16_t index) {
    FFillStyle0 = index;
    StateFillStyle0 = true;
}

void TSWFStyleChangeRecord::SetFillStyle1(uint16_t index) {
    FFillStyle1 = index;
    StateFillStyle1 = true;
}

void TSWFStyleChangeRecord::SetLineStyle(uint16_t index) {
    FLineStyle = index;
    StateLineStyle = true;
}

void TSWFStyleChangeRecord::SetMoveTo(int32_t x, int32_t y) {
    MoveDeltaX = x;
    MoveDeltaY = y;
    StateMoveTo = true;
}

TSWFFillStyleList& TSWFStyleChangeRecord::NewFillStyles() {
    if (!FNewFillStyles)
        FNewFillStyles = std::make_unique<TSWFFillStyleList>();
    FStateNewStyles = true;
    return *FNewFillStyles;
}

TSWFLineStyleList& TSWFStyleChangeRecord::NewLineStyles() {
    if (!FNewLineStyles)
        FNewLineStyles = std::make_unique<TSWFLineStyleList>();
    FStateNewStyles = true;
    return *FNewLineStyles;
}

void TSWFStyleChangeRecord::WriteToStream(TBitsEngine& be) {
    be.WriteBit(false); // TypeFlag: not an edge
    be.WriteBit(FStateNewStyles);
    be.WriteBit(StateLineStyle);
    be.WriteBit(StateFillStyle1);
    be.WriteBit(StateFillStyle0);
    // Five 0 flag bits would read as an end record, so a record that selects
    // nothing always moves. A record that brings new styles is already told
    // apart by its flag and keeps its own choice; a forced move would jump
    // the pen to a point nobody asked for.
    const bool selects = StateFillStyle0 || StateFillStyle1 || StateLineStyle || FStateNewStyles;
    const bool moves = selects ? StateMoveTo : true;
    be.WriteBit(moves);
    if (moves) {
        const int32_t largest = MaxAbs(MoveDeltaX, MoveDeltaY);
        if (largest > MaxMoveCoordinate)
            throw std::out_of_range("move-to coordinate " + std::to_string(largest) +
                                    " twips exceeds the limit of " +
                                    std::to_string(MaxMoveCoordinate));
        const unsigned n = GetSignedBitsCount(largest);
        be.WriteBits(n, 5);
        be.WriteBits(uint32_t(MoveDeltaX), n);
        be.WriteBits(uint32_t(MoveDeltaY), n);
    }
    if (StateFillStyle0)
        WriteIndex(be, FFillStyle0, FillBits);
    if (StateFillStyle1)
        WriteIndex(be, FFillStyle1, FillBits);
    if (StateLineStyle)
        WriteIndex(be, FLineStyle, LineBits);
    if (!FStateNewStyles)
        return;

    be.FlushLastByte(true);
    const size_t fills = FNewFillStyles ? FNewFillStyles->size() : 0;
    WriteStyleCount(be, fills);
    for (size_t i = 0; i < fills; ++i) {
        TSWFFillStyle& style = *(*FNewFillStyles)[i];
        style.HasAlpha = HasAlpha;
        style.WriteToStream(be);
    }
    const size_t lines = FNewLineStyles ? FNewLineStyles->size() : 0;
    WriteStyleCount(be, lines);
    for (size_t i = 0; i < lines; ++i) {
        TSWFLineStyle& style = *(*FNewLineStyles)[i];
        style.Color.SetHasAlpha(HasAlpha);
        style.WriteToStream(be);
    }
    FillBits = GetBitsCount(uint32_t(fills));
    LineBits = GetBitsCount(uint32_t(lines));
    be.WriteBits(FillBits, 4);
    be.WriteBits(LineBits, 4);
}

void WriteShapeRecords(TBitsEngine& be, TSWFShapeRecordList& records,
                       const TSWFShapeWriting& writing) {
    uint8_t fillBits = writing.FillBits;
    uint8_t lineBits = writing.LineBits;
    for (size_t i = 0; i < records.size(); ++i) {
        TSWFShapeRecord& record = *records[i];
        const bool last = i + 1 == records.size();
        if (record.ShapeRecType() == rtEndShape && !last)
            continue;
        if (record.ShapeRecType() == rtStyleChange) {
            auto& change = static_cast<TSWFStyleChangeRecord&>(record);
            change.HasAlpha = writing.HasAlpha;
            change.FillBits = fillBits;
            change.LineBits = lineBits;
            if (!change.StateNewStyles() && writing.ClearUnusableSelections) {
                if (fillBits == 0) {
                    change.StateFillStyle0 = false;
                    change.StateFillStyle1 = false;
                }
                if (lineBits == 0)
                    change.StateLineStyle = false;
            }
            change.WriteToStream(be);
            if (change.StateNewStyles()) {
                fillBits = change.FillBits;
                lineBits = change.LineBits;
            }
        } else {
            record.WriteToStream(be);
        }
    }
    if (records.empty() || records.back()->ShapeRecType() != rtEndShape)
        TSWFEndShapeRecord().WriteToStream(be);
    be.FlushLastByte(true);
}

} // namespace pictova
