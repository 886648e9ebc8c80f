#pragma once
// Record classes held by tags and high-level objects: rectangle, colours,
// matrix and colour transform, each convertible to its plain value record.

#include "swf/SWFTypes.h"

#include <cstdint>

namespace pictova {

// The RECT record itself, in twips. Keeps XMin <= XMax and YMin <= YMax after
// every change, so whatever is written is sorted.
class TSWFRect {
public:
    TSWFRect() = default;
    // SWF field order; the corners are sorted.
    TSWFRect(int32_t xMin, int32_t xMax, int32_t yMin, int32_t yMax);
    // left = XMin, top = YMin, right = XMax, bottom = YMax
    TRect GetTRect() const { return TRect{XMin, YMin, XMax, YMax}; }
    void SetTRect(const TRect& r);
    void SetXMin(int32_t v);
    void SetXMax(int32_t v);
    void SetYMin(int32_t v);
    void SetYMax(int32_t v);
    void Assign(const TSWFRect& source) { *this = source; }

    int32_t GetXMin() const { return XMin; }
    int32_t GetXMax() const { return XMax; }
    int32_t GetYMin() const { return YMin; }
    int32_t GetYMax() const { return YMax; }

private:
    void NormaliseX();
    void NormaliseY();

    int32_t XMax = 0;
    int32_t XMin = 0;
    int32_t YMax = 0;
    int32_t YMin = 0;
};

using SWFRect = TSWFRect;

// Sorts the corners; multiplies by 20 (pixels to twips) when toTwips.
TSWFRect MakeSWFRect(const TRect& rect, bool toTwips);

class TSWFRGB {
public:
    virtual ~TSWFRGB() = default;
    virtual void SetRGB(const SWFRGB& c);
    virtual void Assign(const TSWFRGB& source);
    SWFRGB RGB() const { return SWFRGB{R, G, B}; }

protected:
    uint8_t B = 0;
    uint8_t G = 0;
    uint8_t R = 0;
};

class TSWFRGBA : public TSWFRGB {
public:
    explicit TSWFRGBA(bool hasAlpha = false) { SetHasAlpha(hasAlpha); }

    void SetRGB(const SWFRGB& c) override;
    void Assign(const TSWFRGB& source) override;

    // 32-bit colour value: bits 0-7 red, 8-15 green, 16-23 blue, 24-31 alpha.
    uint32_t RGBA() const { return MakeRGBA(R, G, B, A); }
    void SetRGBA(uint32_t colour);
    SWFRGBA GetSWFRGBA() const { return SWFRGBA{R, G, B, A}; }
    // Any alpha other than 255 switches HasAlpha on; nothing here switches it off.
    void SetA(uint8_t a);
    uint8_t GetA() const { return A; }
    bool HasAlpha() const { return FHasAlpha; }
    // Switching alpha off makes the colour opaque.
    void SetHasAlpha(bool on);

private:
    uint8_t A = 0;
    bool FHasAlpha = false;
};

// The MATRIX record itself: the writer takes it as it is, so there is no
// separate value form. Scale and skew terms are 16.16 fixed point;
// translations are twips. RotateSkew1 multiplies y into x', RotateSkew0
// multiplies x into y'.
class TSWFMatrix {
public:
    void SetScale(float scaleX, float scaleY);
    // first goes to RotateSkew1 (y into x'), second to RotateSkew0 (x into y').
    void SetSkew(float first, float second);
    // Degrees; composes with the current scale and skew. Positive angles turn
    // counter-clockwise on screen.
    void SetRotate(float degrees);
    void SetTranslate(int32_t x, int32_t y);

    float ScaleXf() const { return Fixed16ToSingle(ScaleX); }
    float ScaleYf() const { return Fixed16ToSingle(ScaleY); }
    float Skew0f() const { return Fixed16ToSingle(RotateSkew0); }
    float Skew1f() const { return Fixed16ToSingle(RotateSkew1); }

    void Assign(const TSWFMatrix& source) { *this = source; }

    bool HasScale = false;
    bool HasRotate = false;
    int32_t ScaleX = 0;
    int32_t ScaleY = 0;
    int32_t RotateSkew1 = 0;
    int32_t RotateSkew0 = 0;
    int32_t TranslateX = 0;
    int32_t TranslateY = 0;
};

using SWFMatrix = TSWFMatrix;

// Terms are kept in 32 bits; only their low 16 bits reach the record.
class TSWFColorTransform {
public:
    void SetAddR(int32_t v);
    void SetAddG(int32_t v);
    void SetAddB(int32_t v);
    void SetAddA(int32_t v);
    void SetMultR(int32_t v);
    void SetMultG(int32_t v);
    void SetMultB(int32_t v);
    void SetMultA(int32_t v);

    SWFColorTransform ColorTransform() const;
    void SetColorTransform(const SWFColorTransform& t);
    void Assign(const TSWFColorTransform& source) { SetColorTransform(source.ColorTransform()); }

    bool GetHasAdd() const { return HasAdd; }
    bool GetHasMult() const { return HasMult; }
    bool GetHasAlpha() const { return HasAlpha; }

private:
    int32_t AddA = 0;
    int32_t AddB = 0;
    int32_t AddG = 0;
    int32_t AddR = 0;
    bool HasAdd = false;
    bool HasAlpha = false;
    bool HasMult = false;
    int32_t MultA = 0;
    int32_t MultB = 0;
    int32_t MultG = 0;
    int32_t MultR = 0;
};

} // namespace pictova
