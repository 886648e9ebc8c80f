#include "swf/SWFRecords.h"

#include <cmath>
#include <utility>

namespace pictova {

void TSWFRect::NormaliseX() {
    if (XMax < XMin)
        std::swap(XMin, XMax);
}

void TSWFRect::NormaliseY() {
    if (YMax < YMin)
        std::swap(YMin, YMax);
}

TSWFRect::TSWFRect(int32_t xMin, int32_t xMax, int32_t yMin, int32_t yMax)
    : XMax(xMax), XMin(xMin), YMax(yMax), YMin(yMin) {
    NormaliseX();
    NormaliseY();
}

void TSWFRect::SetTRect(const TRect& r) {
    *this = TSWFRect(r.Left, r.Right, r.Top, r.Bottom);
}

TSWFRect MakeSWFRect(const TRect& rect, bool toTwips) {
    const int32_t f = toTwips ? 20 : 1;
    return TSWFRect(rect.Left * f, rect.Right * f, rect.Top * f, rect.Bottom * f);
}

void TSWFRect::SetXMin(int32_t v) {
    XMin = v;
    NormaliseX();
}

void TSWFRect::SetXMax(int32_t v) {
    XMax = v;
    NormaliseX();
}

void TSWFRect::SetYMin(int32_t v) {
    YMin = v;
    NormaliseY();
}

void TSWFRect::SetYMax(int32_t v) {
    YMax = v;
    NormaliseY();
}

void TSWFRGB::SetRGB(const SWFRGB& c) {
    R = c.R;
    G = c.G;
    B = c.B;
}

void TSWFRGB::Assign(const TSWFRGB& source) {
    SetRGB(source.RGB());
}

void TSWFRGBA::SetRGB(const SWFRGB& c) {
    TSWFRGB::SetRGB(c);
    SetA(255);
}

void TSWFRGBA::Assign(const TSWFRGB& source) {
    if (const auto* rgba = dynamic_cast<const TSWFRGBA*>(&source))
        SetRGBA(rgba->RGBA());
    else
        SetRGB(source.RGB());
}

void TSWFRGBA::SetRGBA(uint32_t colour) {
    R = uint8_t(colour);
    G = uint8_t(colour >> 8);
    B = uint8_t(colour >> 16);
    SetA(uint8_t(colour >> 24));
}

void TSWFRGBA::SetA(uint8_t a) {
    A = a;
    if (a != 255)
        FHasAlpha = true;
}

void TSWFRGBA::SetHasAlpha(bool on) {
    FHasAlpha = on;
    if (!on)
        A = 255;
}

void TSWFMatrix::SetScale(float scaleX, float scaleY) {
    ScaleX = SingleToFixed16(scaleX);
    ScaleY = SingleToFixed16(scaleY);
    HasScale = true;
}

void TSWFMatrix::SetSkew(float first, float second) {
    RotateSkew1 = SingleToFixed16(first);
    RotateSkew0 = SingleToFixed16(second);
    HasRotate = true;
}

void TSWFMatrix::SetRotate(float degrees) {
    const float a = HasScale ? ScaleXf() : 1.0f;
    const float d = HasScale ? ScaleYf() : 1.0f;
    const float b = HasRotate ? Skew0f() : 0.0f;
    const float c = HasRotate ? Skew1f() : 0.0f;
    const float r = float(double(degrees) * 0.017453292519943295);
    const float s = std::sin(r);
    const float co = std::cos(r);
    SetScale(a * co + b * s, d * co - c * s);
    SetSkew(d * s + c * co, -a * s + b * co);
}

void TSWFMatrix::SetTranslate(int32_t x, int32_t y) {
    TranslateX = x;
    TranslateY = y;
}

void TSWFColorTransform::SetAddR(int32_t v) {
    AddR = v;
    HasAdd = true;
}
void TSWFColorTransform::SetAddG(int32_t v) {
    AddG = v;
    HasAdd = true;
}
void TSWFColorTransform::SetAddB(int32_t v) {
    AddB = v;
    HasAdd = true;
}
void TSWFColorTransform::SetAddA(int32_t v) {
    AddA = v;
    HasAdd = true;
    HasAlpha = true;
}
void TSWFColorTransform::SetMultR(int32_t v) {
    MultR = v;
    HasMult = true;
}
void TSWFColorTransform::SetMultG(int32_t v) {
    MultG = v;
    HasMult = true;
}
void TSWFColorTransform::SetMultB(int32_t v) {
    MultB = v;
    HasMult = true;
}
void TSWFColorTransform::SetMultA(int32_t v) {
    MultA = v;
    HasMult = true;
    HasAlpha = true;
}

SWFColorTransform TSWFColorTransform::ColorTransform() const {
    SWFColorTransform t;
    t.HasAlpha = HasAlpha;
    t.HasAdd = HasAdd;
    t.HasMult = HasMult;
    if (HasAdd) {
        t.AddR = int16_t(AddR);
        t.AddG = int16_t(AddG);
        t.AddB = int16_t(AddB);
        if (HasAlpha)
            t.AddA = int16_t(AddA);
    }
    if (HasMult) {
        t.MultR = int16_t(MultR);
        t.MultG = int16_t(MultG);
        t.MultB = int16_t(MultB);
        if (HasAlpha)
            t.MultA = int16_t(MultA);
    }
    return t;
}

void TSWFColorTransform::SetColorTransform(const SWFColorTransform& t) {
    HasAlpha = t.HasAlpha;
    if (t.HasAdd) {
        SetAddR(t.AddR);
        SetAddG(t.AddG);
        SetAddB(t.AddB);
        if (t.HasAlpha)
            SetAddA(t.AddA);
    } else {
        HasAdd = false;
    }
    if (t.HasMult) {
        SetMultR(t.MultR);
        SetMultG(t.MultG);
        SetMultB(t.MultB);
        if (t.HasAlpha)
            SetMultA(t.MultA);
    } else {
        HasMult = false;
    }
}

} // namespace pictova
