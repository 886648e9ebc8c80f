#include "swf/DisplayListTags.h"

#include <algorithm>
#include <cassert>
#include <stdexcept>

namespace pictova {

void TSWFClipActionRecord::SetKeyCode(uint8_t key) {
    FKeyCode = key;
    if (key != 0)
        EventFlags |= ClipEventSet(ceKeyPress);
    else
        EventFlags &= ~ClipEventSet(ceKeyPress);
}

TSWFClipActionRecord& TSWFClipActions::Add(uint32_t events, uint8_t keyCode) {
    auto record = std::make_unique<TSWFClipActionRecord>();
    record->EventFlags = events;
    if (keyCode != 0)
        record->SetKeyCode(keyCode);
    AllEventFlags |= events;
    Records.push_back(std::move(record));
    return *Records.back();
}

// --- PlaceObject

void TSWFPlaceObject::WriteTagBody(TBitsEngine& be) {
    be.WriteWord(CharacterId());
    be.WriteWord(Depth);
    be.WriteMatrix(Matrix);
    SWFColorTransform cx = ColorTransform.ColorTransform();
    if (HasColorTransform || cx.HasAdd || cx.HasMult) {
        cx.HasAlpha = false; // PlaceObject carries CXFORM
        be.WriteColorTransform(cx);
    }
}

// --- PlaceObject2

void TSWFPlaceObject2::SetCharacterId(uint16_t id) {
    TSWFBasedPlaceObject::SetCharacterId(id);
    FHasCharacter = true;
}

TSWFClipActions& TSWFPlaceObject2::ClipActions() {
    if (!FClipActions)
        FClipActions = std::make_unique<TSWFClipActions>();
    return *FClipActions;
}

TSWFColorTransform& TSWFPlaceObject2::ColorTransform() {
    if (!FColorTransform)
        FColorTransform = std::make_unique<TSWFColorTransform>();
    return *FColorTransform;
}

TSWFMatrix& TSWFPlaceObject2::Matrix() {
    if (!FMatrix)
        FMatrix = std::make_unique<TSWFMatrix>();
    return *FMatrix;
}

void TSWFPlaceObject2::SetClipDepth(uint16_t depth) {
    FClipDepth = depth;
    FHasClipDepth = true;
}

void TSWFPlaceObject2::SetRatio(uint16_t ratio) {
    FRatio = ratio;
    FHasRatio = true;
}

void TSWFPlaceObject2::SetName(std::string name) {
    FName = std::move(name);
    FHasName = !FName.empty();
}

namespace {

// The events of every record that is written, with the all-events set.
uint32_t UsedEvents(const TSWFClipActions& clip) {
    uint32_t events = clip.AllEventFlags;
    for (const auto& r : clip.Records)
        events |= r->EventFlags;
    return events;
}

} // namespace

bool TSWFPlaceObject2::WritesClipActions() const {
    if (!FClipActions)
        return false;
    // A record with no event would read as the end of the records.
    return std::any_of(FClipActions->Records.begin(), FClipActions->Records.end(),
                       [](const auto& r) { return r->EventFlags != 0; });
}

uint8_t TSWFPlaceObject2::MinVersion() const {
    if (!WritesClipActions())
        return 3;
    uint8_t v = std::max<uint8_t>(5, SWFVersion);
    // SWF 5's 16-bit event flags cannot hold events 16 to 18 (nor a key code).
    if (UsedEvents(*FClipActions) & ClipEventsOfSWF6)
        v = std::max<uint8_t>(v, 6);
    return v;
}

void TSWFPlaceObject2::WriteEventFlags(TBitsEngine& be, uint32_t events) const {
    for (unsigned e = ceKeyUp; e <= ceData; ++e)
        be.WriteBit((events >> e) & 1);
    if (SWFVersion >= 6) {
        be.WriteBits(0, 5); // reserved
        for (unsigned e = ceConstruct; e <= ceDragOut; ++e)
            be.WriteBit((events >> e) & 1);
        be.WriteBits(0, 8); // reserved
    }
}

void TSWFPlaceObject2::WriteClipActions(TBitsEngine& be) {
    SWFVersion = std::max(SWFVersion, MinVersion());
    be.WriteWord(0); // reserved
    WriteEventFlags(be, UsedEvents(*FClipActions));
    std::ostream& stream = be.GetStream();
    for (const auto& record : FClipActions->Records) {
        if (record->EventFlags == 0)
            continue;
        WriteEventFlags(be, record->EventFlags);
        const auto sizeField = stream.tellp();
        be.WriteDWord(0); // ActionRecordSize, filled in below
        if (record->EventFlags & ClipEventSet(ceKeyPress))
            be.WriteByte(record->KeyCode());
        record->WriteTerminated(be);
        const auto end = stream.tellp();
        stream.seekp(sizeField);
        be.WriteDWord(uint32_t(end - sizeField - 4));
        stream.seekp(end);
        if (!stream)
            throw std::runtime_error("cannot fill the clip action record size at position " +
                                     std::to_string(int64_t(sizeField)) +
                                     ": the output stream does not seek");
    }
    if (SWFVersion >= 6)
        be.WriteDWord(0); // ClipActionEndFlag
    else
        be.WriteWord(0);
}

void TSWFPlaceObject2::WriteTagBody(TBitsEngine& be) {
    assert(FHasName == !FName.empty() && "the name flag follows the name");
    const bool clipActions = WritesClipActions();
    be.WriteBit(clipActions);
    be.WriteBit(FHasClipDepth);
    be.WriteBit(FHasName);
    be.WriteBit(FHasRatio);
    be.WriteBit(PlaceFlagHasColorTransform());
    be.WriteBit(PlaceFlagHasMatrix());
    be.WriteBit(FHasCharacter);
    be.WriteBit(PlaceFlagMove);
    be.WriteWord(Depth);
    if (FHasCharacter)
        be.WriteWord(CharacterId());
    if (FMatrix)
        be.WriteMatrix(*FMatrix);
    if (FColorTransform) {
        SWFColorTransform cx = FColorTransform->ColorTransform();
        if (!cx.HasAlpha) {
            // CXFORMWITHALPHA: alpha terms that were never set leave alpha unchanged.
            cx.HasAlpha = true;
            cx.MultA = 256;
            cx.AddA = 0;
        }
        be.WriteColorTransform(cx);
    }
    if (FHasRatio)
        be.WriteWord(FRatio);
    if (FHasName)
        be.WriteString(FName, true, false);
    if (FHasClipDepth)
        be.WriteWord(FClipDepth);
    if (clipActions)
        WriteClipActions(be);
}

// --- RemoveObject, RemoveObject2

void TSWFRemoveObject::WriteTagBody(TBitsEngine& be) {
    be.WriteWord(CharacterId);
    be.WriteWord(Depth);
}

void TSWFRemoveObject2::WriteTagBody(TBitsEngine& be) {
    be.WriteWord(Depth);
}

} // namespace pictova
