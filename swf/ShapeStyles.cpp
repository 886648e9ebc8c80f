#include "swf/ShapeStyles.h"

#include <algorithm>
#include <cassert>
#include <stdexcept>
#include <string>

namespace pictova {

namespace {

uint8_t UsedEntries(uint8_t count) {
    assert(count <= MaxGradientEntries && "a gradient holds at most 8 entries");
    return std::min(count, MaxGradientEntries);
}

} // namespace

void TSWFFillStyle::WriteToStream(TBitsEngine& be) {
    be.WriteByte(FillStyleType);
}

void TSWFFillStyle::WriteColor(TBitsEngine& be, const TSWFRGBA& c) const {
    if (HasAlpha)
        be.WriteRGBA(c.GetSWFRGBA());
    else
        be.WriteRGB(c.RGB());
}

void TSWFColorFill::WriteToStream(TBitsEngine& be) {
    TSWFFillStyle::WriteToStream(be);
    WriteColor(be, Color);
}

void TSWFGradientFill::WriteToStream(TBitsEngine& be) {
    TSWFFillStyle::WriteToStream(be);
    be.WriteMatrix(GradientMatrix);
    const uint8_t n = UsedEntries(Count);
    be.WriteByte(n);
    for (uint8_t i = 0; i < n; ++i) {
        be.WriteByte(Ratios[i]);
        WriteColor(be, Colors[i]);
    }
}

void TSWFImageFill::WriteToStream(TBitsEngine& be) {
    TSWFFillStyle::WriteToStream(be);
    be.WriteWord(BitmapId);
    be.WriteMatrix(BitmapMatrix);
}

void TSWFLineStyle::WriteToStream(TBitsEngine& be) const {
    be.WriteWord(Width);
    if (Color.HasAlpha())
        be.WriteRGBA(Color.GetSWFRGBA());
    else
        be.WriteRGB(Color.RGB());
}

void TSWFMorphLineStyle::WriteToStream(TBitsEngine& be) const {
    be.WriteWord(StartWidth);
    be.WriteWord(EndWidth);
    be.WriteRGBA(StartColor.GetSWFRGBA());
    be.WriteRGBA(EndColor.GetSWFRGBA());
}

void TSWFMorphFillStyle::WriteToStream(TBitsEngine& be) {
    be.WriteByte(FillStyleType);
}

void TSWFMorphColorFill::WriteToStream(TBitsEngine& be) {
    TSWFMorphFillStyle::WriteToStream(be);
    be.WriteRGBA(StartColor.GetSWFRGBA());
    be.WriteRGBA(EndColor.GetSWFRGBA());
}

void TSWFMorphGradientFill::WriteToStream(TBitsEngine& be) {
    TSWFMorphFillStyle::WriteToStream(be);
    be.WriteMatrix(StartGradientMatrix);
    be.WriteMatrix(EndGradientMatrix);
    const uint8_t n = UsedEntries(Count);
    be.WriteByte(n);
    for (uint8_t i = 0; i < n; ++i) {
        be.WriteByte(StartRatios[i]);
        be.WriteRGBA(StartColors[i].GetSWFRGBA());
        be.WriteByte(EndRatios[i]);
        be.WriteRGBA(EndColors[i].GetSWFRGBA());
    }
}

void TSWFMorphImageFill::WriteToStream(TBitsEngine& be) {
    TSWFMorphFillStyle::WriteToStream(be);
    be.WriteWord(BitmapId);
    be.WriteMatrix(StartBitmapMatrix);
    be.WriteMatrix(EndBitmapMatrix);
}

void WriteStyleCount(TBitsEngine& be, size_t count) {
    if (count > 32767)
        throw std::length_error("style array of " + std::to_string(count) +
                                " entries: indices are limited to 15 bits (32767 styles)");
    if (count < 0xFF) {
        be.WriteByte(uint8_t(count));
    } else {
        be.WriteByte(0xFF);
        be.WriteWord(uint16_t(count));
    }
}

} // namespace pictova
