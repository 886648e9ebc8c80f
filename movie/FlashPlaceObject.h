#pragma once
// TFlashPlaceObject: one display-list change of a frame. It puts a visual
// object at a depth, or modifies what stands there, and writes one
// PlaceObject2 tag when the movie is written.

#include "movie/FlashObject.h"
#include "swf/DisplayListTags.h"

#include <cstdint>
#include <memory>
#include <string>

namespace pictova {

class TFlashVisualObject;

class TFlashPlaceObject : public TFlashObject {
public:
    // A visual object sets the character; none makes a pure modification.
    TFlashPlaceObject(TFlashMovie* owner, TFlashVisualObject* visual, uint16_t depth);
    ~TFlashPlaceObject() override;

    void Assign(const TBasedSWFObject& source) override;
    uint8_t MinVersion() const override;
    void WriteToStream(TBitsEngine& be) override;

    uint16_t Depth() const { return PlaceTag->Depth; }
    uint16_t CharacterId() const { return PlaceTag->CharacterId(); }
    TFlashVisualObject* VisualObject() const { return FVisualObject; }

    // Modify the object already at the depth instead of placing a new one.
    void SetMove(bool on) { PlaceTag->PlaceFlagMove = on; }
    bool Move() const { return PlaceTag->PlaceFlagMove; }
    void SetName(const std::string& name) { PlaceTag->SetName(name); }
    void SetRatio(uint16_t ratio) { PlaceTag->SetRatio(ratio); }
    // With alpha terms; asking for it writes a colour transform.
    TSWFColorTransform& ColorTransform();

    // User units of the movie; (0, 0) on a fresh, non-moving placement adds
    // no matrix.
    void SetTranslate(int32_t x, int32_t y);
    // User units of the placed object.
    void SetX(int32_t x);
    void SetY(int32_t y);
    // Replaces the scale terms; rotation and skew stay.
    void SetScale(float scaleX, float scaleY);
    // Degrees, composed with the current scale and skew; positive angles
    // turn counter-clockwise on screen.
    void SetRotate(float degrees);

    // The SWF version the clip-event flags are written for.
    void SetSWFVersion(uint8_t version) { PlaceTag->SWFVersion = version; }
    TSWFPlaceObject2& Tag() { return *PlaceTag; }

private:
    uint8_t VisualUnitFactor() const;

    TFlashVisualObject* FVisualObject; // not owned
    std::unique_ptr<TSWFPlaceObject2> PlaceTag;
};

} // namespace pictova
