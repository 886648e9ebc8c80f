#include "movie/FlashShape.h"

#include "movie/DashedOutline.h"
#include "movie/FlashImage.h"
#include "movie/FlashMovie.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <utility>

namespace pictova {

namespace {

constexpr double kPi = 3.14159265358979323846;

int32_t Round(double x) {
    return RoundHalfEven(x);
}

} // namespace

void TFlashVisualObject::Assign(const TBasedSWFObject& source) {
    AssignFlashObject(*this, source);
}

uint8_t TFlashVisualObject::UnitFactor() const {
    return IgnoreMovieUnits || !Owner ? 1 : Owner->UnitFactor();
}

TFlashEdges::TFlashEdges(TSWFShapeRecordList& records, TFlashMovie* owner)
    : Records(&records), Owner(owner) {
    CurrentStyleChange().StateFillStyle1 = true;
}

TFlashEdges& TFlashEdges::operator=(const TFlashEdges& source) {
    CurrentX = source.CurrentX;
    CurrentY = source.CurrentY;
    IgnoreMovieUnits = source.IgnoreMovieUnits;
    StartX = source.StartX;
    StartY = source.StartY;
    return *this;
}

uint8_t TFlashEdges::UnitFactor() const {
    return IgnoreMovieUnits || !Owner ? 1 : Owner->UnitFactor();
}

TSWFStyleChangeRecord& TFlashEdges::CurrentStyleChange() {
    if (!Records->empty() && Records->back()->ShapeRecType() == rtStyleChange)
        return static_cast<TSWFStyleChangeRecord&>(*Records->back());
    Records->push_back(std::make_unique<TSWFStyleChangeRecord>());
    return static_cast<TSWFStyleChangeRecord&>(*Records->back());
}

TSWFStyleChangeRecord& TFlashEdges::MoveTo(int32_t x, int32_t y) {
    TSWFStyleChangeRecord& record = CurrentStyleChange();
    const int32_t u = UnitFactor();
    const int32_t tx = x * u;
    const int32_t ty = y * u;
    if (tx == CurrentX && ty == CurrentY && Records->size() <= 1)
        return record;
    CurrentX = StartX = tx;
    CurrentY = StartY = ty;
    record.SetMoveTo(tx, ty);
    return record;
}

TSWFShapeRecord* TFlashEdges::AddLine(int64_t dx, int64_t dy) {
    if (dx == 0 && dy == 0)
        return nullptr;
    // Pieces of at most 65535 twips per axis; the rounded pieces add up to
    // exactly the whole move.
    const int64_t n =
        std::max<int64_t>({1, (std::llabs(dx) + 65534) / 65535, (std::llabs(dy) + 65534) / 65535});
    if (n > 255)
        throw std::runtime_error("an edge of " +
                                 std::to_string(std::max(std::llabs(dx), std::llabs(dy))) +
                                 " twips is longer than a shape can hold");
    TSWFShapeRecord* last = nullptr;
    for (int64_t i = 1; i <= n; ++i) {
        const int32_t px = Round(double(dx) / double(n) * double(i)) -
                           Round(double(dx) / double(n) * double(i - 1));
        const int32_t py = Round(double(dy) / double(n) * double(i)) -
                           Round(double(dy) / double(n) * double(i - 1));
        Records->push_back(std::make_unique<TSWFStraightEdgeRecord>(px, py));
        last = Records->back().get();
    }
    CurrentX += int32_t(dx);
    CurrentY += int32_t(dy);
    return last;
}

TSWFShapeRecord* TFlashEdges::LineTo(int32_t x, int32_t y) {
    const int32_t u = UnitFactor();
    return AddLine(int64_t(x) * u - CurrentX, int64_t(y) * u - CurrentY);
}

TSWFShapeRecord* TFlashEdges::LineDelta(int32_t dx, int32_t dy) {
    const int32_t u = UnitFactor();
    return AddLine(int64_t(dx) * u, int64_t(dy) * u);
}

TSWFCurvedEdgeRecord* TFlashEdges::CurveTo(int32_t controlX, int32_t controlY, int32_t anchorX,
                                           int32_t anchorY) {
    const int32_t u = UnitFactor();
    if (anchorX * u == CurrentX && anchorY * u == CurrentY)
        return nullptr;
    const int32_t cdx = controlX * u - CurrentX;
    const int32_t cdy = controlY * u - CurrentY;
    const int32_t adx = (anchorX - controlX) * u;
    const int32_t ady = (anchorY - controlY) * u;
    // Degenerate curves are lines.
    if (cdx == 0 && cdy == 0) {
        AddLine(adx, ady);
        return nullptr;
    }
    if (adx == 0 && ady == 0) {
        AddLine(cdx, cdy);
        return nullptr;
    }
    if (cdy == 0 && ady == 0) {
        AddLine(cdx + adx, 0);
        return nullptr;
    }
    if (cdx == 0 && adx == 0) {
        AddLine(0, cdy + ady);
        return nullptr;
    }
    Records->push_back(std::make_unique<TSWFCurvedEdgeRecord>(cdx, cdy, adx, ady));
    CurrentX = anchorX * u;
    CurrentY = anchorY * u;
    return static_cast<TSWFCurvedEdgeRecord*>(Records->back().get());
}

void TFlashEdges::CloseShape() {
    if (CurrentX != StartX || CurrentY != StartY)
        AddLine(int64_t(StartX) - CurrentX, int64_t(StartY) - CurrentY);
}

void TFlashEdges::EndEdges() {
    Records->push_back(std::make_unique<TSWFEndShapeRecord>());
}

void TFlashEdges::MakeRectangle(int32_t width, int32_t height) {
    LineDelta(width, 0);
    LineDelta(0, height);
    LineDelta(-width, 0);
    LineDelta(0, -height);
}

void TFlashEdges::Mirror(bool mirrorX, bool mirrorY) {
    const int32_t fx = mirrorX ? -1 : 1;
    const int32_t fy = mirrorY ? -1 : 1;
    for (auto& r : *Records) {
        switch (r->ShapeRecType()) {
        case rtStraightEdge: {
            auto& e = static_cast<TSWFStraightEdgeRecord&>(*r);
            e.DeltaX *= fx;
            e.DeltaY *= fy;
            break;
        }
        case rtCurvedEdge: {
            auto& c = static_cast<TSWFCurvedEdgeRecord&>(*r);
            c.ControlDeltaX *= fx;
            c.ControlDeltaY *= fy;
            c.AnchorDeltaX *= fx;
            c.AnchorDeltaY *= fy;
            break;
        }
        case rtStyleChange: {
            auto& s = static_cast<TSWFStyleChangeRecord&>(*r);
            s.MoveDeltaX *= fx;
            s.MoveDeltaY *= fy;
            break;
        }
        case rtEndShape:
            break;
        }
    }
}

TFlashShape::TFlashShape(TFlashMovie* owner)
    : TFlashVisualObject(owner), FEdges(FShapeTag.Records, owner) {}

TFlashShape::TFlashShape(const TFlashShape& source) : TFlashShape(source.Owner) {
    *this = source;
}

TFlashShape::~TFlashShape() = default;

void TFlashShape::ChangeOwner() {
    FEdges.SetOwner(Owner);
}

void TFlashShape::SetCharacterId(uint16_t id) {
    TFlashVisualObject::SetCharacterId(id);
    FShapeTag.ShapeId = id;
}

int32_t TFlashShape::XMin() const {
    return Bounds.GetXMin() / UnitFactor();
}
int32_t TFlashShape::YMin() const {
    return Bounds.GetYMin() / UnitFactor();
}
int32_t TFlashShape::XMax() const {
    return Bounds.GetXMax() / UnitFactor();
}
int32_t TFlashShape::YMax() const {
    return Bounds.GetYMax() / UnitFactor();
}

int32_t TFlashShape::GetWidth(bool inTwips) const {
    return (XMax() - XMin()) * (inTwips ? UnitFactor() : 1);
}

int32_t TFlashShape::GetHeight(bool inTwips) const {
    return (YMax() - YMin()) * (inTwips ? UnitFactor() : 1);
}

void TFlashShape::SetShapeBound(int32_t xMin, int32_t yMin, int32_t xMax, int32_t yMax) {
    const int32_t u = UnitFactor();
    Bounds.SetTRect(TRect{xMin * u, yMin * u, xMax * u, yMax * u});
}

TSWFStyleChangeRecord* TFlashShape::StyleTarget() {
    auto& records = FShapeTag.Records;
    if (ApplyStylesToLast) {
        for (auto it = records.rbegin(); it != records.rend(); ++it)
            if ((*it)->ShapeRecType() == rtStyleChange)
                return static_cast<TSWFStyleChangeRecord*>(it->get());
        return nullptr;
    }
    if (!records.empty() && records.front()->ShapeRecType() == rtStyleChange)
        return static_cast<TSWFStyleChangeRecord*>(records.front().get());
    return nullptr;
}

void TFlashShape::SetFillStyleLeft(uint16_t index) {
    TSWFStyleChangeRecord* target = StyleTarget();
    FFillStyleLeft = target ? index : 0;
    if (target)
        target->SetFillStyle0(index);
}

void TFlashShape::SetFillStyleRight(uint16_t index) {
    TSWFStyleChangeRecord* target = StyleTarget();
    FFillStyleRight = target ? index : 0;
    if (target)
        target->SetFillStyle1(index);
}

void TFlashShape::SetLineStyleIndex(uint16_t index) {
    TSWFStyleChangeRecord* target = StyleTarget();
    FLineStyleIndex = target ? index : 0;
    if (target)
        target->SetLineStyle(index);
}

TSWFFillStyle& TFlashShape::SelectFillStyle(TSWFFillStyle& style) {
    auto& styles = FShapeTag.FillStyles;
    for (size_t i = 0; i < styles.size(); ++i)
        if (styles[i].get() == &style) {
            SetFillStyleRight(uint16_t(i + 1));
            return style;
        }
    throw std::invalid_argument("the fill style does not belong to this shape");
}

TSWFFillStyle& TFlashShape::AddFillStyle(std::unique_ptr<TSWFFillStyle> style) {
    auto& styles = FShapeTag.FillStyles;
    styles.push_back(std::move(style));
    SetFillStyleRight(uint16_t(styles.size()));
    return *styles.back();
}

TSWFLineStyle& TFlashShape::AddLineStyle(std::unique_ptr<TSWFLineStyle> style) {
    if (!style)
        style = std::make_unique<TSWFLineStyle>();
    auto& styles = FShapeTag.LineStyles;
    styles.push_back(std::move(style));
    SetLineStyleIndex(uint16_t(styles.size()));
    return *styles.back();
}

void TFlashShape::NoteColor(uint32_t color) {
    if (color < 0xFF000000u)
        HasAlpha = true;
}

TSWFColorFill& TFlashShape::SetSolidColor(uint32_t color) {
    auto fill = std::make_unique<TSWFColorFill>();
    fill->Color.SetRGBA(color);
    NoteColor(color);
    return static_cast<TSWFColorFill&>(AddFillStyle(std::move(fill)));
}

TSWFLineStyle& TFlashShape::SetLineStyle(int32_t width, uint32_t color) {
    auto line = std::make_unique<TSWFLineStyle>();
    line->Width = uint16_t(width * UnitFactor());
    line->Color.SetRGBA(color);
    NoteColor(color);
    return AddLineStyle(std::move(line));
}

TSWFImageFill& TFlashShape::SetImageFill(TFlashImage& image, TFlashFillMode mode, float scaleX,
                                         float scaleY) {
    auto fill = std::make_unique<TSWFImageFill>();
    fill->BitmapId = image.CharacterId();
    fill->FillStyleType = mode == fmTile ? fsRepeatingBitmap : fsClippedBitmap;
    if (mode == fmClip || mode == fmTile) {
        fill->BitmapMatrix.SetScale(scaleX * 20, scaleY * 20);
    } else if (mode == fmFit) {
        if (image.Width() == 0 || image.Height() == 0)
            throw std::runtime_error("image " + std::to_string(image.CharacterId()) + " of " +
                                     std::to_string(image.Width()) + " x " +
                                     std::to_string(image.Height()) + " pixels cannot fit a shape");
        // The small addition keeps the last row and column of pixels inside
        // the shape's edge.
        fill->BitmapMatrix.SetScale(
            float(double(GetWidth(true)) / image.Width() + 0.003662109375),
            float(double(GetHeight(true)) / image.Height() + 0.003662109375));
    }
    if (mode == fmClip || mode == fmFit || mode == fmTile)
        fill->BitmapMatrix.SetTranslate(Bounds.GetXMin() - 5, Bounds.GetYMin() - 5);
    TSWFImageFill& added = static_cast<TSWFImageFill&>(AddFillStyle(std::move(fill)));
    // The bitmap tag must come before the shape that uses it.
    if (Owner) {
        const auto shapeAt = Owner->IndexOfObject(this);
        const auto imageAt = Owner->IndexOfObject(&image);
        if (shapeAt >= 0 && imageAt > shapeAt)
            Owner->MoveObject(size_t(imageAt), size_t(shapeAt));
    }
    return added;
}

TSWFGradientFill& TFlashShape::SetLinearGradient(std::span<const uint32_t> colors, float angle) {
    if (colors.size() < 2 || colors.size() > MaxGradientEntries)
        throw std::invalid_argument("a gradient needs 2 to 8 colours, not " +
                                    std::to_string(colors.size()));
    auto fill = std::make_unique<TSWFGradientFill>();
    fill->FillStyleType = fsLinearGradient;
    fill->Count = uint8_t(colors.size());
    for (size_t i = 0; i < colors.size(); ++i) {
        fill->Colors[i].SetRGBA(colors[i]);
        fill->Ratios[i] = uint8_t(Round(double(i) / double(colors.size() - 1) * 255));
        NoteColor(colors[i]);
    }
    const double a = double(angle) * kPi / 180;
    const double w = GetWidth(true) / 32768.0;
    const double h = GetHeight(true) / 32768.0;
    fill->GradientMatrix.SetScale(float(std::cos(a) * w), float(std::cos(a) * h));
    fill->GradientMatrix.SetSkew(float(std::sin(a) * w), float(-std::sin(a) * h));
    fill->GradientMatrix.SetTranslate(Bounds.GetXMin() + GetWidth(true) / 2,
                                      Bounds.GetYMin() + GetHeight(true) / 2);
    return static_cast<TSWFGradientFill&>(AddFillStyle(std::move(fill)));
}

TFlashLineStyle& TFlashShape::DashPattern() {
    if (!FDashPattern)
        FDashPattern = std::make_unique<TFlashLineStyle>();
    FDashed = true;
    return *FDashPattern;
}

void TFlashShape::Assign(const TBasedSWFObject& source) {
    AssignFlashObject(*this, source);
}

void TFlashShape::WriteToStream(TBitsEngine& be) {
    FShapeTag.TagID = HasAlpha ? tagDefineShape3 : tagDefineShape2;
    FShapeTag.HasAlpha = HasAlpha;
    uint16_t widest = 0;
    for (const auto& line : FShapeTag.LineStyles)
        widest = std::max(widest, line->Width);
    const int32_t e = widest / 2;
    FShapeTag.ShapeBounds = TSWFRect{Bounds.GetXMin() - e, Bounds.GetXMax() + e,
                                     Bounds.GetYMin() - e, Bounds.GetYMax() + e};
    if (FDashed && FDashPattern && FDashPattern->HasLength()) {
        const bool closed = FEdges.CurrentX == FEdges.StartX && FEdges.CurrentY == FEdges.StartY;
        // Built before the shape's own records are taken out, so that a
        // failure leaves them in place.
        TSWFShapeRecordList dashed = BuildDashedOutline(FShapeTag.Records, *FDashPattern,
                                                        !FShapeTag.FillStyles.empty() && closed);
        TSWFShapeRecordList own = std::exchange(FShapeTag.Records, std::move(dashed));
        try {
            FShapeTag.WriteToStream(be);
        } catch (...) {
            FShapeTag.Records = std::move(own);
            throw;
        }
        FShapeTag.Records = std::move(own);
    } else {
        FShapeTag.WriteToStream(be);
    }
}

} // namespace pictova
