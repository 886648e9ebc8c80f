#pragma once
// The tags that carry a script: DoAction (frame actions) and DoInitAction
// (a sprite's initialisation actions, run once before its first frame).

#include "swf/ActionList.h"
#include "swf/SWFObject.h"

#include <memory>

namespace pictova {

class TSWFReader;

class TSWFDoAction : public TSWFObject {
public:
    // With a list of its own.
    TSWFDoAction();
    // Around a list the caller owns and keeps alive while the tag is used.
    explicit TSWFDoAction(TSWFActionList& actions);
    // A copy has a list of its own with copies of the source's actions;
    // assigning copies the actions into the target's list, owned or not.
    TSWFDoAction(const TSWFDoAction& source);
    TSWFDoAction& operator=(const TSWFDoAction& source);

    void Assign(const TBasedSWFObject& source) override { AssignAs(*this, source); }
    // The greatest MinVersion of the actions, at least 3.
    uint8_t MinVersion() const override;
    // The actions and the end byte 0.
    void WriteTagBody(TBitsEngine& be) override;
    // Reads a tag body (the reader holds exactly its bytes). With
    // ParseActions the records are parsed; otherwise they are kept as one raw
    // block without the end byte.
    virtual void ReadFromStream(TSWFReader& body);

    TSWFActionList& Actions() { return *FActions; }
    const TSWFActionList& Actions() const { return *FActions; }
    bool OwnsList() const { return FOwned != nullptr; }

    bool ParseActions = false;

protected:
    void ReadActions(TSWFReader& body);

private:
    std::unique_ptr<TSWFActionList> FOwned;
    TSWFActionList* FActions;
};

class TSWFDoInitAction : public TSWFDoAction {
public:
    TSWFDoInitAction() { TagID = tagDoInitAction; }
    explicit TSWFDoInitAction(TSWFActionList& actions) : TSWFDoAction(actions) {
        TagID = tagDoInitAction;
    }

    void Assign(const TBasedSWFObject& source) override { AssignAs(*this, source); }
    uint8_t MinVersion() const override { return 6; }
    void WriteTagBody(TBitsEngine& be) override;
    void ReadFromStream(TSWFReader& body) override;

    uint16_t SpriteID = 0;
};

} // namespace pictova
