#pragma once
// TFlashSprite: a movie clip, a character with a timeline of its own. Its
// placements and frames play inside it wherever it is placed; it is written
// as one DefineSprite tag whose body holds the tags of that timeline, and,
// when it has init actions, a DoInitAction tag after it.

#include "movie/FlashShape.h"
#include "swf/SpriteTags.h"

#include <cstdint>
#include <memory>
#include <string>

namespace pictova {

class TFlashActionScript;
class TFlashPlaceObject;

class TFlashSprite : public TFlashVisualObject {
public:
    explicit TFlashSprite(TFlashMovie* owner = nullptr);
    // The visual-object fields, a copy of every object of the timeline, the
    // init actions and the frame being built; the scripts belong to the
    // sprite's owner. Throws std::logic_error, leaving the target as it was,
    // when the source's timeline holds an object that cannot be copied.
    TFlashSprite(const TFlashSprite& source);
    TFlashSprite& operator=(const TFlashSprite& source);
    ~TFlashSprite() override;

    void Assign(const TBasedSWFObject& source) override;
    // 3, raised to the greatest MinVersion of the timeline; 6 with init
    // actions, which older players ignore.
    uint8_t MinVersion() const override;
    // DefineSprite, then DoInitAction when there are init actions. A sprite
    // without a frame is given one first.
    void WriteToStream(TBitsEngine& be) override;
    // Also the sprite ID of the DefineSprite.
    void SetCharacterId(uint16_t id) override;
    bool IsSprite() const override { return true; }

    // Places the object in the sprite's timeline (not in the movie's object
    // list). A character that comes after the sprite in the movie's object
    // list is moved directly in front of it, so that its definition is
    // written before the sprite that uses it.
    TFlashPlaceObject& PlaceObject(TFlashVisualObject& object, uint16_t depth);

    // Label of the sprite frame being built; written and cleared by ShowFrame.
    std::string FrameLabel;
    // The script of the sprite frame being built, created on first access;
    // ShowFrame hands it to the timeline.
    TFlashActionScript& FrameActions();
    bool HasFrameActions() const { return FFrameActions != nullptr; }
    // Closes the sprite frame: its script, then its label (the reverse of the
    // movie's order), then `count` ShowFrame tags (0 counts as 1).
    void ShowFrame(uint16_t count = 1);
    uint16_t FrameCount() const { return SpriteTag->FrameCount; }

    // Created on first access; run once before the sprite's first frame.
    TFlashActionScript& InitActions();
    bool HasInitActions() const { return FInitActions != nullptr; }

    // The timeline: tags and placements in the order they were added.
    TSWFObjectList& ObjectList() { return SpriteTag->ControlTags; }
    const TSWFObjectList& ObjectList() const { return SpriteTag->ControlTags; }
    const TSWFDefineSprite& Tag() const { return *SpriteTag; }

private:
    std::unique_ptr<TSWFDefineSprite> SpriteTag;
    std::unique_ptr<TFlashActionScript> FFrameActions;
    std::unique_ptr<TFlashActionScript> FInitActions;
};

} // namespace pictova
