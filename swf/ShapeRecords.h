#pragma once
// Shape records: the path of a shape, a morph shape, a glyph or a button
// state. Edges are relative moves in twips; a style-change record moves the
// pen to an absolute point and selects styles.

#include "swf/BitsEngine.h"
#include "swf/ShapeStyles.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace pictova {

enum TSWFShapeRecType : uint8_t {
    rtEndShape = 0,
    rtStyleChange = 1,
    rtStraightEdge = 2,
    rtCurvedEdge = 3,
};

class TSWFShapeRecord {
public:
    virtual ~TSWFShapeRecord() = default;
    // The source must be of the same class (std::bad_cast otherwise).
    virtual void Assign(const TSWFShapeRecord& source) = 0;
    virtual void WriteToStream(TBitsEngine& be) = 0;
    virtual std::unique_ptr<TSWFShapeRecord> Clone() const = 0;

    TSWFShapeRecType ShapeRecType() const { return FShapeRecType; }

protected:
    explicit TSWFShapeRecord(TSWFShapeRecType type) : FShapeRecType(type) {}

private:
    TSWFShapeRecType FShapeRecType;
};

using TSWFShapeRecordList = std::vector<TSWFOwned<TSWFShapeRecord>>;

class TSWFEndShapeRecord : public TSWFShapeRecord {
public:
    TSWFEndShapeRecord() : TSWFShapeRecord(rtEndShape) {}
    void Assign(const TSWFShapeRecord& source) override {
        *this = dynamic_cast<const TSWFEndShapeRecord&>(source);
    }
    // Six 0 bits.
    void WriteToStream(TBitsEngine& be) override;
    std::unique_ptr<TSWFShapeRecord> Clone() const override {
        return std::make_unique<TSWFEndShapeRecord>(*this);
    }
};

// A move of (DeltaX, DeltaY) twips; each delta within -65535..65535 (the
// movie API splits longer edges). A (0, 0) edge writes nothing.
class TSWFStraightEdgeRecord : public TSWFShapeRecord {
public:
    TSWFStraightEdgeRecord() : TSWFShapeRecord(rtStraightEdge) {}
    TSWFStraightEdgeRecord(int32_t dx, int32_t dy) : TSWFStraightEdgeRecord() {
        DeltaX = dx;
        DeltaY = dy;
    }
    void Assign(const TSWFShapeRecord& source) override {
        *this = dynamic_cast<const TSWFStraightEdgeRecord&>(source);
    }
    // Throws std::out_of_range for a delta beyond the 17-bit field.
    void WriteToStream(TBitsEngine& be) override;
    std::unique_ptr<TSWFShapeRecord> Clone() const override {
        return std::make_unique<TSWFStraightEdgeRecord>(*this);
    }

    int32_t DeltaX = 0;
    int32_t DeltaY = 0;
};

// Quadratic curve: the control point relative to the pen, the anchor relative
// to the control point, twips. All four deltas 0 writes nothing.
class TSWFCurvedEdgeRecord : public TSWFShapeRecord {
public:
    TSWFCurvedEdgeRecord() : TSWFShapeRecord(rtCurvedEdge) {}
    TSWFCurvedEdgeRecord(int32_t controlDX, int32_t controlDY, int32_t anchorDX, int32_t anchorDY)
        : TSWFCurvedEdgeRecord() {
        ControlDeltaX = controlDX;
        ControlDeltaY = controlDY;
        AnchorDeltaX = anchorDX;
        AnchorDeltaY = anchorDY;
    }
    void Assign(const TSWFShapeRecord& source) override {
        *this = dynamic_cast<const TSWFCurvedEdgeRecord&>(source);
    }
    // Throws std::out_of_range for a delta beyond the 17-bit field.
    void WriteToStream(TBitsEngine& be) override;
    std::unique_ptr<TSWFShapeRecord> Clone() const override {
        return std::make_unique<TSWFCurvedEdgeRecord>(*this);
    }

    int32_t AnchorDeltaX = 0;
    int32_t AnchorDeltaY = 0;
    int32_t ControlDeltaX = 0;
    int32_t ControlDeltaY = 0;
};

// Moves the pen and selects styles. Style indices are 1-based, 0 = none; each
// is written only while its State flag is set. FillBits and LineBits are the
// index widths in force, set by the shape that writes the record.
class TSWFStyleChangeRecord : public TSWFShapeRecord {
public:
    TSWFStyleChangeRecord() : TSWFShapeRecord(rtStyleChange) {}
    void Assign(const TSWFShapeRecord& source) override {
        *this = dynamic_cast<const TSWFStyleChangeRecord&>(source);
    }
    void WriteToStream(TBitsEngine& be) override;
    std::unique_ptr<TSWFShapeRecord> Clone() const override {
        return std::make_unique<TSWFStyleChangeRecord>(*this);
    }

    // Each setter also sets the matching State flag.
    void SetFillStyle0(uint16_t index);
    void SetFillStyle1(uint16_t index);
    void SetLineStyle(uint16_t index);
    uint16_t FillStyle0() const { return FFillStyle0; }
    uint16_t FillStyle1() const { return FFillStyle1; }
    uint16_t LineStyle() const { return FLineStyle; }
    // Absolute move-to point in twips; sets StateMoveTo.
    void SetMoveTo(int32_t x, int32_t y);

    // Created on first access; creating either sets StateNewStyles.
    TSWFFillStyleList& NewFillStyles();
    TSWFLineStyleList& NewLineStyles();
    bool StateNewStyles() const { return FStateNewStyles; }

    uint8_t FillBits = 0;
    uint8_t LineBits = 0;
    // Move-to point, twips (absolute, not a delta, despite the SWF name).
    int32_t MoveDeltaX = 0;
    int32_t MoveDeltaY = 0;
    bool StateFillStyle0 = false;
    bool StateFillStyle1 = false;
    bool StateLineStyle = false;
    // Without any style flag the record always moves, so that it cannot read
    // as an end record.
    bool StateMoveTo = false;
    // Colour format of the new styles; set by the shape that writes the record.
    bool HasAlpha = false;

private:
    uint16_t FFillStyle0 = 0;
    uint16_t FFillStyle1 = 0;
    uint16_t FLineStyle = 0;
    bool FStateNewStyles = false;
    TSWFOwned<TSWFFillStyleList> FNewFillStyles;
    TSWFOwned<TSWFLineStyleList> FNewLineStyles;
};

// How a shape writes its record list.
struct TSWFShapeWriting {
    uint8_t FillBits = 0; // index widths in force before the first record
    uint8_t LineBits = 0;
    bool HasAlpha = false; // colour format of new styles
    // Drop the style selections the widths cannot express (fill or line bits
    // 0 on a record without new styles).
    bool ClearUnusableSelections = true;
};

// Writes the records of one shape: an end record before the last record is
// dropped (it would cut the path short), the list is closed with an end
// record when it lacks one, and the bit stream is aligned to a byte. Widths
// change after every record that brings new styles.
void WriteShapeRecords(TBitsEngine& be, TSWFShapeRecordList& records,
                       const TSWFShapeWriting& writing);

} // namespace pictova
