#pragma once
// TFlashActionScript: builds ActionScript byte code. Each operation appends
// one action record to an action list; push operations collect their values
// into one Push record, and branch targets are placed as offset markers.
// A script of its own list is written as one DoAction tag; a script over a
// list that someone else owns (a clip-event record, a sprite's init actions)
// only appends to it and leaves the writing to the owner.

#include "movie/FlashObject.h"
#include "swf/ActionList.h"

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>

namespace pictova {

class TFlashActionScript : public TFlashObject {
public:
    // Without a list the script makes and owns an empty one; with a list it
    // appends to that list, which the caller keeps alive.
    explicit TFlashActionScript(TFlashMovie* owner = nullptr, TSWFActionList* actions = nullptr);
    // A copy owns a copy of the source's actions, wherever they were.
    TFlashActionScript(const TFlashActionScript& source);
    // Copies the source's actions into this script's list, its own or the
    // caller's: a script keeps the list it appends to.
    TFlashActionScript& operator=(const TFlashActionScript& source);
    ~TFlashActionScript() override;

    // Replaces the actions with copies of the source's (branches linked to
    // the copies of their markers); takes the source's owner when it has none.
    void Assign(const TBasedSWFObject& source) override;
    // The greatest MinVersion of the actions; 1 when there are none.
    uint8_t MinVersion() const override;
    // One complete DoAction tag around the list.
    void WriteToStream(TBitsEngine& be) override;

    TSWFActionList& Actions() const { return *FActions; }
    bool OwnsList() const { return FOwned != nullptr; }
    // Appends from now on to a list the caller owns. Only for a script that
    // does not own its list: the actions of an owned one would be lost.
    void SetActions(TSWFActionList& actions);

    // One action each, without payload.
    void Add2();
    void CallMethod();
    void Divide();
    void Equals2();
    void GetVariable();
    void Multiply();
    void Not();
    void Pop();
    void SetMember();
    void SetVariable();
    void Stop();
    void ToInteger();
    // Further actions of the same form.
    void Increment();
    void Less2();
    void Play();
    void Subtract();
    void Trace();

    // Pool index 0 is the first string.
    void ConstantPool(std::span<const std::string> strings);
    void ConstantPool(std::initializer_list<std::string> strings);

    // A forward branch is taken when the condition on the stack is true: the
    // caller takes the returned action's BranchMarker and places it later
    // with SetMarker(marker, false). A marker already placed by SetMarker()
    // makes a backward branch.
    TSWFActionIf& If(TSWFOffsetMarker* backwardTarget = nullptr);
    // An unconditional branch, forward or backward as with If.
    TSWFActionJump& Jump(TSWFOffsetMarker* backwardTarget = nullptr);
    // GotoFrame: a 0-based frame index.
    void GotoFrame(uint16_t frame);
    // GotoFrame2: the frame (a 1-based number or a label) comes from the stack.
    void GotoFrame2(bool play);

    // Values go to the current Push: the last action when it is a Push, else
    // a new one. Each value's type follows its variant kind.
    TSWFActionPush& Push(const TSWFVariant& value);
    TSWFActionPush& Push(std::span<const TSWFVariant> values);
    TSWFActionPush& Push(std::initializer_list<TSWFVariant> values);
    // As Push, then each value gets the type at the same index (vtDefault
    // keeps the classified type). One type per value.
    TSWFActionPush& PushTyped(std::span<const TSWFVariant> values,
                              std::span<const TSWFValueType> types);
    TSWFActionPush& PushTyped(std::initializer_list<TSWFVariant> values,
                              std::initializer_list<TSWFValueType> types);
    // Constant-pool indexes: one byte (vtConstant8) up to 255, two bytes
    // (vtConstant16) from 256 on.
    void PushConstant(uint16_t index);
    void PushConstant(std::span<const uint16_t> indexes);
    void PushConstant(std::initializer_list<uint16_t> indexes);

    // With a marker (the BranchMarker of a branch of this script): places it
    // at the current end with BeforeBranch as given. Without: places a new
    // marker with BeforeBranch true, the target of a later backward branch.
    TSWFOffsetMarker& SetMarker(TSWFOffsetMarker* marker = nullptr, bool beforeBranch = true);

private:
    TSWFActionPush& CurrentPush();
    template <class T> T& Append() { return FActions->Add<T>(); }

    std::unique_ptr<TSWFActionList> FOwned;
    TSWFActionList* FActions; // FOwned or the caller's list
};

} // namespace pictova
