#pragma once
// Shape definition tags: DefineShape, DefineShape2, DefineShape3 and
// DefineMorphShape.

#include "swf/SWFObject.h"
#include "swf/SWFRecords.h"
#include "swf/ShapeRecords.h"
#include "swf/ShapeStyles.h"

#include <cstdint>

namespace pictova {

// The three shape tags share one body. HasAlpha decides the colour format of
// every style (RGBA or RGB) when written, whatever the colours' own flags.
class TSWFDefineShape : public TSWFObject {
public:
    TSWFDefineShape() { TagID = tagDefineShape; }
    void Assign(const TBasedSWFObject& source) override { AssignAs(*this, source); }
    // Follows TagID: 1 for DefineShape, 2 for DefineShape2, 3 for
    // DefineShape3, so a DefineShape3 object written as DefineShape2 reports 2.
    uint8_t MinVersion() const override;
    void WriteTagBody(TBitsEngine& be) override;

    TSWFShapeRecordList Records;
    TSWFFillStyleList FillStyles;
    bool HasAlpha = false;
    TSWFLineStyleList LineStyles;
    TSWFRect ShapeBounds; // twips
    uint16_t ShapeId = 0;
};

class TSWFDefineShape2 : public TSWFDefineShape {
public:
    TSWFDefineShape2() { TagID = tagDefineShape2; }
};

class TSWFDefineShape3 : public TSWFDefineShape {
public:
    TSWFDefineShape3() {
        TagID = tagDefineShape3;
        HasAlpha = true;
    }
};

// Start and end shapes with the same number of edges; styles hold a start
// and an end value each. The end records carry no style selections.
class TSWFDefineMorphShape : public TSWFObject {
public:
    TSWFDefineMorphShape() { TagID = tagDefineMorphShape; }
    void Assign(const TBasedSWFObject& source) override { AssignAs(*this, source); }
    uint8_t MinVersion() const override { return 3; }
    void WriteTagBody(TBitsEngine& be) override;

    uint16_t CharacterId = 0;
    TSWFRect EndBounds; // twips
    TSWFShapeRecordList EndRecords;
    TSWFMorphFillStyleList MorphFillStyles;
    TSWFMorphLineStyleList MorphLineStyles;
    TSWFRect StartBounds; // twips
    TSWFShapeRecordList StartRecords;
};

} // namespace pictova
