#pragma once
// Fill and line styles of shapes and morph shapes. A style writes its own
// record; the owning tag decides the colour format before writing.

#include "swf/BitsEngine.h"
#include "swf/Owned.h"
#include "swf/SWFRecords.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace pictova {

// SWF fill-style type codes.
enum TSWFFillStyleType : uint8_t {
    fsSolidColor = 0x00,
    fsLinearGradient = 0x10,
    fsRadialGradient = 0x12,
    fsRepeatingBitmap = 0x40,
    fsClippedBitmap = 0x41,
    fsNonSmoothedRepeatingBitmap = 0x42,
    fsNonSmoothedClippedBitmap = 0x43,
};

// A gradient record holds at most this many entries.
constexpr uint8_t MaxGradientEntries = 8;

class TSWFFillStyle {
public:
    virtual ~TSWFFillStyle() = default;
    // The source must be of the same class (std::bad_cast otherwise).
    virtual void Assign(const TSWFFillStyle& source) { *this = source; }
    // Type byte, then the class's fields.
    virtual void WriteToStream(TBitsEngine& be);
    // A new object of the same class with the same fields.
    virtual std::unique_ptr<TSWFFillStyle> Clone() const = 0;

    // Colours are written as RGBA when set, else as RGB. Set by the tag.
    bool HasAlpha = false;
    uint8_t FillStyleType = fsSolidColor;

protected:
    void WriteColor(TBitsEngine& be, const TSWFRGBA& c) const;
};

class TSWFColorFill : public TSWFFillStyle {
public:
    TSWFColorFill() { FillStyleType = fsSolidColor; }
    void Assign(const TSWFFillStyle& source) override {
        *this = dynamic_cast<const TSWFColorFill&>(source);
    }
    void WriteToStream(TBitsEngine& be) override;
    std::unique_ptr<TSWFFillStyle> Clone() const override {
        return std::make_unique<TSWFColorFill>(*this);
    }

    TSWFRGBA Color;
};

// Linear (0x10) or radial (0x12) gradient. Entries 0 to Count - 1 of Colors
// and Ratios are used; ratios run 0-255 across the gradient square.
class TSWFGradientFill : public TSWFFillStyle {
public:
    TSWFGradientFill() { FillStyleType = fsLinearGradient; }
    void Assign(const TSWFFillStyle& source) override {
        *this = dynamic_cast<const TSWFGradientFill&>(source);
    }
    void WriteToStream(TBitsEngine& be) override;
    std::unique_ptr<TSWFFillStyle> Clone() const override {
        return std::make_unique<TSWFGradientFill>(*this);
    }

    std::array<TSWFRGBA, MaxGradientEntries> Colors;
    uint8_t Count = 0; // at most MaxGradientEntries
    TSWFMatrix GradientMatrix;
    std::array<uint8_t, MaxGradientEntries> Ratios{};
};

// Bitmap fill; clipped (0x41) by default.
class TSWFImageFill : public TSWFFillStyle {
public:
    TSWFImageFill() { FillStyleType = fsClippedBitmap; }
    void Assign(const TSWFFillStyle& source) override {
        *this = dynamic_cast<const TSWFImageFill&>(source);
    }
    void WriteToStream(TBitsEngine& be) override;
    std::unique_ptr<TSWFFillStyle> Clone() const override {
        return std::make_unique<TSWFImageFill>(*this);
    }

    uint16_t BitmapId = 0;
    TSWFMatrix BitmapMatrix;
};

class TSWFLineStyle {
public:
    void Assign(const TSWFLineStyle& source) { *this = source; }
    // Width, then the colour: RGBA when the colour's HasAlpha is set, else RGB.
    void WriteToStream(TBitsEngine& be) const;

    TSWFRGBA Color;
    uint16_t Width = 0; // twips
};

// Morph styles: a start and an end value for every field; colours are
// always RGBA.
class TSWFMorphLineStyle {
public:
    void Assign(const TSWFMorphLineStyle& source) { *this = source; }
    void WriteToStream(TBitsEngine& be) const;

    TSWFRGBA EndColor;
    uint16_t EndWidth = 0; // twips
    TSWFRGBA StartColor;
    uint16_t StartWidth = 0; // twips
};

class TSWFMorphFillStyle {
public:
    virtual ~TSWFMorphFillStyle() = default;
    virtual void Assign(const TSWFMorphFillStyle& source) { *this = source; }
    virtual void WriteToStream(TBitsEngine& be);
    virtual std::unique_ptr<TSWFMorphFillStyle> Clone() const = 0;

    uint8_t FillStyleType = fsSolidColor;
};

class TSWFMorphColorFill : public TSWFMorphFillStyle {
public:
    TSWFMorphColorFill() { FillStyleType = fsSolidColor; }
    void Assign(const TSWFMorphFillStyle& source) override {
        *this = dynamic_cast<const TSWFMorphColorFill&>(source);
    }
    void WriteToStream(TBitsEngine& be) override;
    std::unique_ptr<TSWFMorphFillStyle> Clone() const override {
        return std::make_unique<TSWFMorphColorFill>(*this);
    }

    TSWFRGBA EndColor;
    TSWFRGBA StartColor;
};

class TSWFMorphGradientFill : public TSWFMorphFillStyle {
public:
    TSWFMorphGradientFill() { FillStyleType = fsLinearGradient; }
    void Assign(const TSWFMorphFillStyle& source) override {
        *this = dynamic_cast<const TSWFMorphGradientFill&>(source);
    }
    void WriteToStream(TBitsEngine& be) override;
    std::unique_ptr<TSWFMorphFillStyle> Clone() const override {
        return std::make_unique<TSWFMorphGradientFill>(*this);
    }

    uint8_t Count = 0; // at most MaxGradientEntries
    std::array<TSWFRGBA, MaxGradientEntries> EndColors;
    TSWFMatrix EndGradientMatrix;
    std::array<uint8_t, MaxGradientEntries> EndRatios{};
    std::array<TSWFRGBA, MaxGradientEntries> StartColors;
    TSWFMatrix StartGradientMatrix;
    std::array<uint8_t, MaxGradientEntries> StartRatios{};
};

class TSWFMorphImageFill : public TSWFMorphFillStyle {
public:
    TSWFMorphImageFill() { FillStyleType = fsClippedBitmap; }
    void Assign(const TSWFMorphFillStyle& source) override {
        *this = dynamic_cast<const TSWFMorphImageFill&>(source);
    }
    void WriteToStream(TBitsEngine& be) override;
    std::unique_ptr<TSWFMorphFillStyle> Clone() const override {
        return std::make_unique<TSWFMorphImageFill>(*this);
    }

    TSWFMatrix EndBitmapMatrix;
    uint16_t BitmapId = 0;
    TSWFMatrix StartBitmapMatrix;
};

using TSWFFillStyleList = std::vector<TSWFOwned<TSWFFillStyle>>;
using TSWFLineStyleList = std::vector<TSWFOwned<TSWFLineStyle>>;
using TSWFMorphFillStyleList = std::vector<TSWFOwned<TSWFMorphFillStyle>>;
using TSWFMorphLineStyleList = std::vector<TSWFOwned<TSWFMorphLineStyle>>;

// The count of a style array: one byte up to 254, else 0xFF and a UI16.
// Throws std::length_error above 32767, which no 4-bit index width can reach.
void WriteStyleCount(TBitsEngine& be, size_t count);

} // namespace pictova
