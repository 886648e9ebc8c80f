#pragma once
// Turns a shape's outline into a dashed one: the same path cut into draw and
// gap pieces of the pattern's lengths, carried on from edge to edge.

#include "swf/ShapeRecords.h"

namespace pictova {

class TFlashLineStyle;

// With keepFill (the shape is filled and its path closed), the result starts
// with the whole path without outline, so the fill stays intact. The pattern
// must hold at least one length above 0.
TSWFShapeRecordList BuildDashedOutline(const TSWFShapeRecordList& records,
                                       const TFlashLineStyle& pattern, bool keepFill);

} // namespace pictova
