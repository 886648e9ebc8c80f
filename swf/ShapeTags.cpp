#include "swf/ShapeTags.h"

#include <sstream>
#include <string>

namespace pictova {

uint8_t TSWFDefineShape::MinVersion() const {
    switch (TagID) {
    case tagDefineShape2:
        return 2;
    case tagDefineShape3:
        return 3;
    default:
        return 1;
    }
}

void TSWFDefineShape::WriteTagBody(TBitsEngine& be) {
    be.WriteWord(ShapeId);
    be.WriteRect(ShapeBounds);
    WriteStyleCount(be, FillStyles.size());
    for (auto& style : FillStyles) {
        style->HasAlpha = HasAlpha;
        style->WriteToStream(be);
    }
    WriteStyleCount(be, LineStyles.size());
    for (auto& style : LineStyles) {
        // Without alpha the colour is also made opaque: an RGB colour has none.
        style->Color.SetHasAlpha(HasAlpha);
        style->WriteToStream(be);
    }
    TSWFShapeWriting writing;
    writing.FillBits = GetBitsCount(uint32_t(FillStyles.size()));
    writing.LineBits = GetBitsCount(uint32_t(LineStyles.size()));
    writing.HasAlpha = HasAlpha;
    be.WriteBits(writing.FillBits, 4);
    be.WriteBits(writing.LineBits, 4);
    WriteShapeRecords(be, Records, writing);
}

void TSWFDefineMorphShape::WriteTagBody(TBitsEngine& be) {
    be.WriteWord(CharacterId);
    be.WriteRect(StartBounds);
    be.WriteRect(EndBounds);

    // The offset field holds the distance from its end to the end edges: the
    // styles and start edges are written apart first and measured.
    std::ostringstream startPart;
    TBitsEngine start(startPart);
    WriteStyleCount(start, MorphFillStyles.size());
    for (auto& style : MorphFillStyles)
        style->WriteToStream(start);
    WriteStyleCount(start, MorphLineStyles.size());
    for (auto& style : MorphLineStyles)
        style->WriteToStream(start);
    TSWFShapeWriting writing;
    writing.FillBits = GetBitsCount(uint32_t(MorphFillStyles.size()));
    writing.LineBits = GetBitsCount(uint32_t(MorphLineStyles.size()));
    writing.HasAlpha = true;
    start.WriteBits(writing.FillBits, 4);
    start.WriteBits(writing.LineBits, 4);
    WriteShapeRecords(start, StartRecords, writing);
    const std::string startBytes = std::move(startPart).str();
    be.WriteDWord(uint32_t(startBytes.size()));
    be.WriteBytes(startBytes.data(), startBytes.size());

    // The end shape only moves and draws: no styles, index widths 0.
    for (auto& record : EndRecords) {
        if (record->ShapeRecType() != rtStyleChange)
            continue;
        auto& change = static_cast<TSWFStyleChangeRecord&>(*record);
        change.StateFillStyle0 = false;
        change.StateFillStyle1 = false;
        change.StateLineStyle = false;
    }
    be.WriteByte(0); // NumFillBits 0, NumLineBits 0
    WriteShapeRecords(be, EndRecords, TSWFShapeWriting{0, 0, true, true});
}

} // namespace pictova
