#pragma once
// Shapes of the movie: TFlashVisualObject (anything that can be placed),
// TFlashEdges (a pen that turns user-unit moves, lines and curves into shape
// records in twips) and TFlashShape (bounds, styles and a path, written as one
// DefineShape2 or DefineShape3 tag).

#include "movie/FlashObject.h"
#include "swf/ShapeTags.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace pictova {

class TFlashImage;

class TFlashVisualObject : public TFlashIDObject {
public:
    using TFlashIDObject::TFlashIDObject;
    void Assign(const TBasedSWFObject& source) override;
    // Twips per user unit: 1 when movie units are ignored or there is no movie.
    uint8_t UnitFactor() const;
    // Sprites have a timeline of their own; their placements take clip actions.
    virtual bool IsSprite() const { return false; }

    bool IgnoreMovieUnits = false;
};

class TFlashEdges {
public:
    // Makes sure the list ends in a style-change record that selects a right
    // fill (index 0 until a fill is chosen).
    TFlashEdges(TSWFShapeRecordList& records, TFlashMovie* owner);
    // A pen draws into the records it was made for: the copy of an object
    // makes its own pen, and assigning copies only the pen's position.
    TFlashEdges(const TFlashEdges&) = delete;
    TFlashEdges& operator=(const TFlashEdges& source);

    TSWFStyleChangeRecord& MoveTo(int32_t x, int32_t y);
    // The last edge record, or none when the target is the pen position.
    TSWFShapeRecord* LineTo(int32_t x, int32_t y);
    TSWFShapeRecord* LineDelta(int32_t dx, int32_t dy);
    // The curve record, or none when the curve reduced to a line or nothing.
    TSWFCurvedEdgeRecord* CurveTo(int32_t controlX, int32_t controlY, int32_t anchorX,
                                  int32_t anchorY);
    void CloseShape();
    void EndEdges();
    void MakeRectangle(int32_t width, int32_t height);
    void Mirror(bool mirrorX, bool mirrorY);
    TSWFStyleChangeRecord& CurrentStyleChange();

    void SetOwner(TFlashMovie* owner) { Owner = owner; }
    uint8_t UnitFactor() const;

    int32_t CurrentX = 0; // twips
    int32_t CurrentY = 0;
    bool IgnoreMovieUnits = false;
    int32_t StartX = 0; // twips, of the last MoveTo
    int32_t StartY = 0;

private:
    // Adds straight edges for a move in twips, split so no piece passes 65535.
    TSWFShapeRecord* AddLine(int64_t dx, int64_t dy);

    TSWFShapeRecordList* Records; // the shape tag's list, not owned
    TFlashMovie* Owner;
};

// Dash lengths of a dashed outline, in pixels (20 twips each, whatever the
// movie's units).
class TFlashLineStyle {
public:
    void Add(uint8_t length) { Lengths.push_back(length); }
    size_t Count() const { return Lengths.size(); }
    uint8_t operator[](size_t i) const { return Lengths.at(i); }
    void Clear() { Lengths.clear(); }
    // Only a pattern with a length above 0 can dash; the outline of a shape
    // with any other pattern stays solid.
    bool HasLength() const {
        return std::any_of(Lengths.begin(), Lengths.end(), [](uint8_t l) { return l > 0; });
    }

private:
    std::vector<uint8_t> Lengths;
};

enum TFlashFillMode { fmClip = 0, fmFit = 1, fmTile = 2 };

class TFlashShape : public TFlashVisualObject {
public:
    explicit TFlashShape(TFlashMovie* owner = nullptr);
    // A copy has its own pen over its own copy of the shape tag.
    TFlashShape(const TFlashShape& source);
    TFlashShape& operator=(const TFlashShape&) = default;
    ~TFlashShape() override;

    void Assign(const TBasedSWFObject& source) override;
    uint8_t MinVersion() const override { return HasAlpha ? 3 : 2; }
    void WriteToStream(TBitsEngine& be) override;
    void ChangeOwner() override;
    void SetCharacterId(uint16_t id) override;

    // Bounds in user units.
    int32_t XMin() const;
    int32_t YMin() const;
    int32_t XMax() const;
    int32_t YMax() const;
    int32_t GetWidth(bool inTwips = false) const;
    int32_t GetHeight(bool inTwips = false) const;
    void SetShapeBound(int32_t xMin, int32_t yMin, int32_t xMax, int32_t yMax);

    // Adds the style (unless it is already the shape's) and selects it as
    // the right fill. Returns the style.
    TSWFFillStyle& AddFillStyle(std::unique_ptr<TSWFFillStyle> style);
    TSWFFillStyle& SelectFillStyle(TSWFFillStyle& style);
    TSWFLineStyle& AddLineStyle(std::unique_ptr<TSWFLineStyle> style = nullptr);
    // Colour value R | G << 8 | B << 16 | A << 24.
    TSWFColorFill& SetSolidColor(uint32_t color);
    TSWFLineStyle& SetLineStyle(int32_t width, uint32_t color);
    TSWFImageFill& SetImageFill(TFlashImage& image, TFlashFillMode mode, float scaleX = 1.0f,
                                float scaleY = 1.0f);
    // 2 to 8 colours; angle in degrees.
    TSWFGradientFill& SetLinearGradient(std::span<const uint32_t> colors, float angle);

    uint16_t FillStyleLeft() const { return FFillStyleLeft; }
    uint16_t FillStyleRight() const { return FFillStyleRight; }
    uint16_t LineStyleIndex() const { return FLineStyleIndex; }
    void SetFillStyleLeft(uint16_t index);
    void SetFillStyleRight(uint16_t index);
    void SetLineStyleIndex(uint16_t index);

    TFlashLineStyle& DashPattern();
    bool Dashed() const { return FDashed; }

    TFlashEdges& Edges() { return FEdges; }
    TSWFDefineShape3& ShapeTag() { return FShapeTag; }
    TSWFRect Bounds; // twips

    bool ApplyStylesToLast = false;
    bool HasAlpha = false;

private:
    TSWFStyleChangeRecord* StyleTarget();
    void NoteColor(uint32_t color);

    TSWFDefineShape3 FShapeTag; // declared before the edges that point into it
    TFlashEdges FEdges;
    TSWFOwned<TFlashLineStyle> FDashPattern;
    uint16_t FFillStyleLeft = 0;
    uint16_t FFillStyleRight = 0;
    bool FDashed = false;
    uint16_t FLineStyleIndex = 0;
};

} // namespace pictova
