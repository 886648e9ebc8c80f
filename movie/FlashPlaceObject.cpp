#include "movie/FlashPlaceObject.h"

#include "movie/FlashMovie.h"
#include "movie/FlashShape.h"

#include <cassert>

namespace pictova {

TFlashPlaceObject::TFlashPlaceObject(TFlashMovie* owner, TFlashVisualObject* visual,
                                     uint16_t depth)
    : TFlashObject(owner), FVisualObject(visual), PlaceTag(std::make_unique<TSWFPlaceObject2>()) {
    PlaceTag->Depth = depth;
    if (visual)
        PlaceTag->SetCharacterId(visual->CharacterId());
}

TFlashPlaceObject::~TFlashPlaceObject() = default;

void TFlashPlaceObject::Assign(const TBasedSWFObject& source) {
    const auto& src = dynamic_cast<const TFlashPlaceObject&>(source);
    if (!Owner)
        SetOwner(src.Owner);
    PlaceTag->Assign(*src.PlaceTag);
    FVisualObject = src.FVisualObject;
}

uint8_t TFlashPlaceObject::MinVersion() const {
    return PlaceTag->PlaceFlagHasClipActions() ? 5 : 3;
}

void TFlashPlaceObject::WriteToStream(TBitsEngine& be) {
    PlaceTag->WriteToStream(be);
}

TSWFColorTransform& TFlashPlaceObject::ColorTransform() {
    const bool fresh = !PlaceTag->PlaceFlagHasColorTransform();
    TSWFColorTransform& t = PlaceTag->ColorTransform();
    if (fresh) {
        SWFColorTransform withAlpha = t.ColorTransform();
        withAlpha.HasAlpha = true;
        t.SetColorTransform(withAlpha);
    }
    return t;
}

uint8_t TFlashPlaceObject::VisualUnitFactor() const {
    assert(FVisualObject && "SetX and SetY need the placed object's units");
    return FVisualObject ? FVisualObject->UnitFactor() : 1;
}

void TFlashPlaceObject::SetTranslate(int32_t x, int32_t y) {
    if (x == 0 && y == 0 && !PlaceTag->PlaceFlagHasMatrix() && !Move())
        return;
    const int32_t u = Owner ? Owner->UnitFactor() : 1;
    PlaceTag->Matrix().SetTranslate(x * u, y * u);
}

void TFlashPlaceObject::SetX(int32_t x) {
    TSWFMatrix& m = PlaceTag->Matrix();
    m.SetTranslate(x * VisualUnitFactor(), m.TranslateY);
}

void TFlashPlaceObject::SetY(int32_t y) {
    TSWFMatrix& m = PlaceTag->Matrix();
    m.SetTranslate(m.TranslateX, y * VisualUnitFactor());
}

void TFlashPlaceObject::SetScale(float scaleX, float scaleY) {
    PlaceTag->Matrix().SetScale(scaleX, scaleY);
}

void TFlashPlaceObject::SetRotate(float degrees) {
    PlaceTag->Matrix().SetRotate(degrees);
}

} // namespace pictova
