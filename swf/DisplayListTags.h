#pragma once
// Display-list tags: PlaceObject, PlaceObject2 with its clip actions,
// RemoveObject and RemoveObject2.

#include "swf/ActionList.h"
#include "swf/SWFObject.h"
#include "swf/SWFRecords.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace pictova {

// Clip events, numbered as the bits of an event set (bit n = event n).
enum TSWFClipEvent : uint8_t {
    ceKeyUp = 0,
    ceKeyDown = 1,
    ceMouseUp = 2,
    ceMouseDown = 3,
    ceMouseMove = 4,
    ceUnload = 5,
    ceEnterFrame = 6,
    ceLoad = 7,
    ceDragOver = 8,
    ceRollOut = 9,
    ceRollOver = 10,
    ceReleaseOutside = 11,
    ceRelease = 12,
    cePress = 13,
    ceInitialize = 14,
    ceData = 15,
    // Only SWF 6 and later have these.
    ceConstruct = 16,
    ceKeyPress = 17,
    ceDragOut = 18,
};

constexpr uint32_t ClipEventSet(TSWFClipEvent e) {
    return uint32_t{1} << e;
}
// Events 16 to 18, which need the 32-bit flags of SWF 6.
inline constexpr uint32_t ClipEventsOfSWF6 = 0x70000;

// The actions run on a set of clip events.
class TSWFClipActionRecord : public TSWFActionList {
public:
    uint32_t EventFlags = 0;
    uint8_t KeyCode() const { return FKeyCode; }
    // A key code adds the KeyPress event; 0 removes it.
    void SetKeyCode(uint8_t key);

private:
    uint8_t FKeyCode = 0;
};

class TSWFClipActions {
public:
    // A record for the events (plus KeyPress with a key code); the caller
    // appends its actions.
    TSWFClipActionRecord& Add(uint32_t events, uint8_t keyCode = 0);
    void Assign(const TSWFClipActions& source) { *this = source; }

    std::vector<TSWFOwned<TSWFClipActionRecord>> Records;
    uint32_t AllEventFlags = 0;
};

class TSWFBasedPlaceObject : public TSWFObject {
public:
    uint16_t CharacterId() const { return FCharacterId; }
    virtual void SetCharacterId(uint16_t id) { FCharacterId = id; }

    uint16_t Depth = 0;

private:
    uint16_t FCharacterId = 0;
};

class TSWFPlaceObject : public TSWFBasedPlaceObject {
public:
    TSWFPlaceObject() { TagID = tagPlaceObject; }
    void Assign(const TBasedSWFObject& source) override { AssignAs(*this, source); }
    void WriteTagBody(TBitsEngine& be) override;

    TSWFColorTransform ColorTransform; // written without alpha
    bool HasColorTransform = false;    // write it even when it has no terms
    TSWFMatrix Matrix;
};

// Each optional part has a presence flag that only its setter or accessor
// switches on, so flags and data cannot disagree.
class TSWFPlaceObject2 : public TSWFBasedPlaceObject {
public:
    TSWFPlaceObject2() { TagID = tagPlaceObject2; }
    void Assign(const TBasedSWFObject& source) override { AssignAs(*this, source); }
    // 3; with clip actions the larger of 5 and SWFVersion, and 6 when a
    // record uses an event only SWF 6 has.
    uint8_t MinVersion() const override;
    // Raises SWFVersion to MinVersion when it writes clip actions.
    void WriteTagBody(TBitsEngine& be) override;

    void SetCharacterId(uint16_t id) override;
    // Created on first access; each access switches the part on.
    TSWFClipActions& ClipActions();
    TSWFColorTransform& ColorTransform(); // written with alpha
    TSWFMatrix& Matrix();
    void SetClipDepth(uint16_t depth);
    void SetRatio(uint16_t ratio);
    // An empty name switches the name off.
    void SetName(std::string name);

    uint16_t ClipDepth() const { return FClipDepth; }
    uint16_t Ratio() const { return FRatio; }
    const std::string& Name() const { return FName; }

    bool PlaceFlagHasCharacter() const { return FHasCharacter; }
    bool PlaceFlagHasClipActions() const { return FClipActions != nullptr; }
    bool PlaceFlagHasClipDepth() const { return FHasClipDepth; }
    bool PlaceFlagHasColorTransform() const { return FColorTransform != nullptr; }
    bool PlaceFlagHasMatrix() const { return FMatrix != nullptr; }
    bool PlaceFlagHasName() const { return FHasName; }
    bool PlaceFlagHasRatio() const { return FHasRatio; }

    bool PlaceFlagMove = false; // modifies the character at Depth
    uint8_t SWFVersion = 3;     // version the clip-event flags are written for

private:
    // Clip actions are written only when there is a record to write.
    bool WritesClipActions() const;
    void WriteClipActions(TBitsEngine& be);
    void WriteEventFlags(TBitsEngine& be, uint32_t events) const;

    TSWFOwned<TSWFClipActions> FClipActions;
    uint16_t FClipDepth = 0;
    TSWFOwned<TSWFColorTransform> FColorTransform;
    TSWFOwned<TSWFMatrix> FMatrix;
    std::string FName;
    bool FHasCharacter = false;
    bool FHasClipDepth = false;
    bool FHasName = false;
    bool FHasRatio = false;
    uint16_t FRatio = 0;
};

class TSWFRemoveObject : public TSWFObject {
public:
    TSWFRemoveObject() { TagID = tagRemoveObject; }
    void Assign(const TBasedSWFObject& source) override { AssignAs(*this, source); }
    void WriteTagBody(TBitsEngine& be) override;

    uint16_t CharacterId = 0;
    uint16_t Depth = 0;
};

class TSWFRemoveObject2 : public TSWFObject {
public:
    TSWFRemoveObject2() { TagID = tagRemoveObject2; }
    void Assign(const TBasedSWFObject& source) override { AssignAs(*this, source); }
    uint8_t MinVersion() const override { return 3; }
    void WriteTagBody(TBitsEngine& be) override;

    uint16_t Depth = 0;
};

} // namespace pictova
