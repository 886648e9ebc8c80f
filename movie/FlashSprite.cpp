#include "movie/FlashSprite.h"

#include "movie/FlashActionScript.h"
#include "movie/FlashMovie.h"
#include "movie/FlashPlaceObject.h"
#include "swf/ActionTags.h"
#include "swf/ControlTags.h"

#include <algorithm>
#include <cassert>
#include <stdexcept>
#include <string>

namespace pictova {

namespace {

// Placements cannot be made without arguments, so the timeline is told how
// to copy them.
std::unique_ptr<TBasedSWFObject> CopyPlacement(const TBasedSWFObject& source) {
    return std::make_unique<TFlashPlaceObject>(dynamic_cast<const TFlashPlaceObject&>(source));
}

std::unique_ptr<TFlashActionScript> CopyScript(const TFlashActionScript* source,
                                               TFlashMovie* owner) {
    if (!source)
        return nullptr;
    auto copy = std::make_unique<TFlashActionScript>(*source);
    copy->SetOwner(owner);
    return copy;
}

} // namespace

TFlashSprite::TFlashSprite(TFlashMovie* owner)
    : TFlashVisualObject(owner), SpriteTag(std::make_unique<TSWFDefineSprite>()) {}

TFlashSprite::~TFlashSprite() = default;

TFlashSprite::TFlashSprite(const TFlashSprite& source) : TFlashSprite(source.Owner) {
    *this = source;
}

TFlashSprite& TFlashSprite::operator=(const TFlashSprite& source) {
    if (&source == this)
        return *this;
    // First: it throws, leaving this sprite as it was, when the source's
    // timeline holds an object that cannot be copied.
    SpriteTag->Assign(*source.SpriteTag);
    TFlashVisualObject::operator=(source);
    FrameLabel = source.FrameLabel;
    FFrameActions = CopyScript(source.FFrameActions.get(), Owner);
    FInitActions = CopyScript(source.FInitActions.get(), Owner);
    return *this;
}

void TFlashSprite::Assign(const TBasedSWFObject& source) {
    AssignFlashObject(*this, source);
}

uint8_t TFlashSprite::MinVersion() const {
    uint8_t v = SpriteTag->MinVersion();
    // Players before SWF 6 skip DoInitAction: its actions would never run.
    if (FInitActions)
        v = std::max<uint8_t>({v, 6, FInitActions->MinVersion()});
    return v;
}

void TFlashSprite::SetCharacterId(uint16_t id) {
    TFlashVisualObject::SetCharacterId(id);
    SpriteTag->SpriteId = id;
}

TFlashPlaceObject& TFlashSprite::PlaceObject(TFlashVisualObject& object, uint16_t depth) {
    assert(&object != this && "a sprite placed in itself never ends");
    auto place = std::make_unique<TFlashPlaceObject>(Owner, &object, depth);
    TFlashPlaceObject& added = *place;
    ObjectList().Add(std::unique_ptr<TBasedSWFObject>(std::move(place)), CopyPlacement);
    if (Owner) {
        const std::ptrdiff_t s = Owner->IndexOfObject(this);
        const std::ptrdiff_t o = Owner->IndexOfObject(&object);
        if (s >= 0 && o > s)
            Owner->MoveObject(size_t(o), size_t(s));
    }
    return added;
}

TFlashActionScript& TFlashSprite::FrameActions() {
    if (!FFrameActions)
        FFrameActions = std::make_unique<TFlashActionScript>(Owner);
    return *FFrameActions;
}

TFlashActionScript& TFlashSprite::InitActions() {
    if (!FInitActions)
        FInitActions = std::make_unique<TFlashActionScript>(Owner);
    return *FInitActions;
}

void TFlashSprite::ShowFrame(uint16_t count) {
    const unsigned n = count == 0 ? 1 : count;
    // The DefineSprite counts its frames in 16 bits.
    if (SpriteTag->FrameCount + n > 0xFFFF)
        throw std::runtime_error("sprite " + std::to_string(CharacterId()) + " has " +
                                 std::to_string(SpriteTag->FrameCount) + " frames; " +
                                 std::to_string(n) + " more pass the 65535 a sprite holds");
    SpriteTag->FrameCount = uint16_t(SpriteTag->FrameCount + n);
    if (FFrameActions)
        ObjectList().Add(std::move(FFrameActions));
    if (!FrameLabel.empty()) {
        ObjectList().Add(std::make_unique<TSWFFrameLabel>(FrameLabel));
        FrameLabel.clear();
    }
    for (unsigned i = 0; i < n; ++i)
        ObjectList().Add<TSWFShowFrame>();
}

void TFlashSprite::WriteToStream(TBitsEngine& be) {
    assert(be.PendingBitCount() == 0 && "tags start on a byte boundary");
    if (FrameCount() == 0)
        ShowFrame(1);
    // The clip-event flags of the placements inside are written for the
    // file's version, which the movie settles before it writes any object.
    const uint8_t version = Owner ? Owner->Version() : MinVersion();
    TSWFObjectList& timeline = ObjectList();
    for (size_t i = 0; i < timeline.Count(); ++i)
        if (auto* place = dynamic_cast<TFlashPlaceObject*>(&timeline[i]))
            place->SetSWFVersion(version);
    SpriteTag->WriteToStream(be);

    if (FInitActions) {
        TSWFDoInitAction init(FInitActions->Actions());
        init.SpriteID = CharacterId();
        init.WriteToStream(be);
    }
}

} // namespace pictova
