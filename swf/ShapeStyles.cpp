#include "swf/ShapeStyles.h"

#include <algorithm>
#include <cassert>
#include <stdexcept>
#include <string>

namespace pictova {

namespace {

// TSWFRGBA::Assign lets the alpha flag follow the value; a copy of a style
// keeps the flag as it was.
void CopyColor(TSWFRGBA& target, const TSWFRGBA& source) {
    target.SetHasAlpha(source.HasAlpha());
    target.SetRGBA(source.RGBA());
}

uint8_t UsedEntries(uint8_t count) {
    assert(count <= MaxGradientEntries && "a gradient holds at most 8 entries");
    return std::min(count, MaxGradientEntries);
}

} // namespace

void TSWFFillStyle::Assign(const TSWFFillStyle& source) {
    HasAlpha = source.HasAlpha;
    FillStyleType = source.FillStyleType;
}

void TSWFFillStyle::WriteToStream(TBitsEngine& be) {
    be.WriteByte(FillStyleType);
}

void TSWFFillStyle::WriteColor(TBitsEngine& be, const TSWFRGBA& c) const {
    if (HasAlpha)
        be.WriteRGBA(c.GetSWFRGBA());
    else
        be.WriteRGB(c.RGB());
}

void TSWFColorFill::Assign(const TSWFFillStyle& source) {
    TSWFFillStyle::Assign(source);
    CopyColor(Color, dynamic_cast<const TSWFColorFill&>(source).Color);
}

void TSWFColorFill::WriteToStream(TBitsEngine& be) {
    TSWFFillStyle::WriteToStream(be);
    WriteColor(be, Color);
}

std::unique_ptr<TSWFFillStyle> TSWFColorFill::Clone() const {
    auto copy = std::make_unique<TSWFColorFill>();
    copy->Assign(*this);
    return copy;
}

void TSWFGradientFill::Assign(const TSWFFillStyle& source) {
    TSWFFillStyle::Assign(source);
    const auto& src = dynamic_cast<const TSWFGradientFill&>(source);
    for (size_t i = 0; i < MaxGradientEntries; ++i)
        CopyColor(Colors[i], src.Colors[i]);
    Count = src.Count;
    GradientMatrix.Assign(src.GradientMatrix);
    Ratios = src.Ratios;
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

std::unique_ptr<TSWFFillStyle> TSWFGradientFill::Clone() const {
    auto copy = std::make_unique<TSWFGradientFill>();
    copy->Assign(*this);
    return copy;
}

void TSWFImageFill::Assign(const TSWFFillStyle& source) {
    TSWFFillStyle::Assign(source);
    const auto& src = dynamic_cast<const TSWFImageFill&>(source);
    BitmapId = src.BitmapId;
    BitmapMatrix.Assign(src.BitmapMatrix);
}

void TSWFImageFill::WriteToStream(TBitsEngine& be) {
    TSWFFillStyle::WriteToStream(be);
    be.WriteWord(BitmapId);
    be.WriteMatrix(BitmapMatrix);
}

std::unique_ptr<TSWFFillStyle> TSWFImageFill::Clone() const {
    auto copy = std::make_unique<TSWFImageFill>();
    copy->Assign(*this);
    return copy;
}

void TSWFLineStyle::Assign(const TSWFLineStyle& source) {
    CopyColor(Color, source.Color);
    Width = source.Width;
}

void TSWFLineStyle::WriteToStream(TBitsEngine& be) const {
    be.WriteWord(Width);
    if (Color.HasAlpha())
        be.WriteRGBA(Color.GetSWFRGBA());
    else
        be.WriteRGB(Color.RGB());
}

void TSWFMorphLineStyle::Assign(const TSWFMorphLineStyle& source) {
    CopyColor(EndColor, source.EndColor);
    EndWidth = source.EndWidth;
    CopyColor(StartColor, source.StartColor);
    StartWidth = source.StartWidth;
}

void TSWFMorphLineStyle::WriteToStream(TBitsEngine& be) const {
    be.WriteWord(StartWidth);
    be.WriteWord(EndWidth);
    be.WriteRGBA(StartColor.GetSWFRGBA());
    be.WriteRGBA(EndColor.GetSWFRGBA());
}

void TSWFMorphFillStyle::Assign(const TSWFMorphFillStyle& source) {
    FillStyleType = source.FillStyleType;
}

void TSWFMorphFillStyle::WriteToStream(TBitsEngine& be) {
    be.WriteByte(FillStyleType);
}

void TSWFMorphColorFill::Assign(const TSWFMorphFillStyle& source) {
    TSWFMorphFillStyle::Assign(source);
    const auto& src = dynamic_cast<const TSWFMorphColorFill&>(source);
    CopyColor(EndColor, src.EndColor);
    CopyColor(StartColor, src.StartColor);
}

void TSWFMorphColorFill::WriteToStream(TBitsEngine& be) {
    TSWFMorphFillStyle::WriteToStream(be);
    be.WriteRGBA(StartColor.GetSWFRGBA());
    be.WriteRGBA(EndColor.GetSWFRGBA());
}

std::unique_ptr<TSWFMorphFillStyle> TSWFMorphColorFill::Clone() const {
    auto copy = std::make_unique<TSWFMorphColorFill>();
    copy->Assign(*this);
    return copy;
}

void TSWFMorphGradientFill::Assign(const TSWFMorphFillStyle& source) {
    TSWFMorphFillStyle::Assign(source);
    const auto& src = dynamic_cast<const TSWFMorphGradientFill&>(source);
    Count = src.Count;
    for (size_t i = 0; i < MaxGradientEntries; ++i) {
        CopyColor(EndColors[i], src.EndColors[i]);
        CopyColor(StartColors[i], src.StartColors[i]);
    }
    EndGradientMatrix.Assign(src.EndGradientMatrix);
    EndRatios = src.EndRatios;
    StartGradientMatrix.Assign(src.StartGradientMatrix);
    StartRatios = src.StartRatios;
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

std::unique_ptr<TSWFMorphFillStyle> TSWFMorphGradientFill::Clone() const {
    auto copy = std::make_unique<TSWFMorphGradientFill>();
    copy->Assign(*this);
    return copy;
}

void TSWFMorphImageFill::Assign(const TSWFMorphFillStyle& source) {
    TSWFMorphFillStyle::Assign(source);
    const auto& src = dynamic_cast<const TSWFMorphImageFill&>(source);
    EndBitmapMatrix.Assign(src.EndBitmapMatrix);
    BitmapId = src.BitmapId;
    StartBitmapMatrix.Assign(src.StartBitmapMatrix);
}

void TSWFMorphImageFill::WriteToStream(TBitsEngine& be) {
    TSWFMorphFillStyle::WriteToStream(be);
    be.WriteWord(BitmapId);
    be.WriteMatrix(StartBitmapMatrix);
    be.WriteMatrix(EndBitmapMatrix);
}

std::unique_ptr<TSWFMorphFillStyle> TSWFMorphImageFill::Clone() const {
    auto copy = std::make_unique<TSWFMorphImageFill>();
    copy->Assign(*this);
    return copy;
}

TSWFFillStyleList CopyFillStyles(const TSWFFillStyleList& source) {
    TSWFFillStyleList copy;
    copy.reserve(source.size());
    for (const auto& style : source)
        copy.push_back(style->Clone());
    return copy;
}

TSWFLineStyleList CopyLineStyles(const TSWFLineStyleList& source) {
    TSWFLineStyleList copy;
    copy.reserve(source.size());
    for (const auto& style : source) {
        auto line = std::make_unique<TSWFLineStyle>();
        line->Assign(*style);
        copy.push_back(std::move(line));
    }
    return copy;
}

TSWFMorphFillStyleList CopyMorphFillStyles(const TSWFMorphFillStyleList& source) {
    TSWFMorphFillStyleList copy;
    copy.reserve(source.size());
    for (const auto& style : source)
        copy.push_back(style->Clone());
    return copy;
}

TSWFMorphLineStyleList CopyMorphLineStyles(const TSWFMorphLineStyleList& source) {
    TSWFMorphLineStyleList copy;
    copy.reserve(source.size());
    for (const auto& style : source) {
        auto line = std::make_unique<TSWFMorphLineStyle>();
        line->Assign(*style);
        copy.push_back(std::move(line));
    }
    return copy;
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
