#include "movie/FlashActionScript.h"

#include "swf/ActionTags.h"

#include <algorithm>
#include <cassert>

namespace pictova {

TFlashActionScript::TFlashActionScript(TFlashMovie* owner, TSWFActionList* actions)
    : TFlashObject(owner) {
    if (!actions) {
        FOwned = std::make_unique<TSWFActionList>();
        actions = FOwned.get();
    }
    FActions = actions;
}

TFlashActionScript::TFlashActionScript(const TFlashActionScript& source)
    : TFlashObject(source), FOwned(std::make_unique<TSWFActionList>(*source.FActions)),
      FActions(FOwned.get()) {}

TFlashActionScript& TFlashActionScript::operator=(const TFlashActionScript& source) {
    TFlashObject::operator=(source);
    if (&source != this)
        *FActions = *source.FActions;
    return *this;
}

TFlashActionScript::~TFlashActionScript() = default;

void TFlashActionScript::Assign(const TBasedSWFObject& source) {
    AssignFlashObject(*this, source);
}

uint8_t TFlashActionScript::MinVersion() const {
    return std::max<uint8_t>(1, FActions->MinVersion());
}

void TFlashActionScript::WriteToStream(TBitsEngine& be) {
    TSWFDoAction tag(*FActions);
    tag.WriteToStream(be);
}

void TFlashActionScript::SetActions(TSWFActionList& actions) {
    assert(!FOwned && "re-pointing a script would drop the actions of its own list");
    FOwned.reset();
    FActions = &actions;
}

void TFlashActionScript::Add2() {
    Append<TSWFActionAdd2>();
}
void TFlashActionScript::CallMethod() {
    Append<TSWFActionCallMethod>();
}
void TFlashActionScript::Divide() {
    Append<TSWFActionDivide>();
}
void TFlashActionScript::Equals2() {
    Append<TSWFActionEquals2>();
}
void TFlashActionScript::GetVariable() {
    Append<TSWFActionGetVariable>();
}
void TFlashActionScript::Multiply() {
    Append<TSWFActionMultiply>();
}
void TFlashActionScript::Not() {
    Append<TSWFActionNot>();
}
void TFlashActionScript::Pop() {
    Append<TSWFActionPop>();
}
void TFlashActionScript::SetMember() {
    Append<TSWFActionSetMember>();
}
void TFlashActionScript::SetVariable() {
    Append<TSWFActionSetVariable>();
}
void TFlashActionScript::Stop() {
    Append<TSWFActionStop>();
}
void TFlashActionScript::ToInteger() {
    Append<TSWFActionToInteger>();
}
void TFlashActionScript::Increment() {
    Append<TSWFActionIncrement>();
}
void TFlashActionScript::Less2() {
    Append<TSWFActionLess2>();
}
void TFlashActionScript::Play() {
    Append<TSWFActionPlay>();
}
void TFlashActionScript::Subtract() {
    Append<TSWFActionSubtract>();
}
void TFlashActionScript::Trace() {
    Append<TSWFActionTrace>();
}

void TFlashActionScript::ConstantPool(std::span<const std::string> strings) {
    auto& pool = Append<TSWFActionConstantPool>();
    pool.ConstantPool.assign(strings.begin(), strings.end());
}

void TFlashActionScript::ConstantPool(std::initializer_list<std::string> strings) {
    ConstantPool(std::span<const std::string>(strings.begin(), strings.size()));
}

TSWFActionIf& TFlashActionScript::If(TSWFOffsetMarker* backwardTarget) {
    auto& branch = Append<TSWFActionIf>();
    if (backwardTarget)
        branch.SetBranchMarker(backwardTarget);
    return branch;
}

TSWFActionJump& TFlashActionScript::Jump(TSWFOffsetMarker* backwardTarget) {
    auto& branch = Append<TSWFActionJump>();
    if (backwardTarget)
        branch.SetBranchMarker(backwardTarget);
    return branch;
}

void TFlashActionScript::GotoFrame(uint16_t frame) {
    Append<TSWFActionGotoFrame>().Frame = frame;
}

void TFlashActionScript::GotoFrame2(bool play) {
    Append<TSWFActionGotoFrame2>().PlayFlag = play;
}

TSWFActionPush& TFlashActionScript::CurrentPush() {
    if (!FActions->Empty() && FActions->Last().ActionCode == 0x96)
        return static_cast<TSWFActionPush&>(FActions->Last());
    return Append<TSWFActionPush>();
}

TSWFActionPush& TFlashActionScript::Push(const TSWFVariant& value) {
    TSWFActionPush& push = CurrentPush();
    push.AddValue(value);
    return push;
}

TSWFActionPush& TFlashActionScript::Push(std::span<const TSWFVariant> values) {
    TSWFActionPush& push = CurrentPush();
    for (const TSWFVariant& v : values)
        push.AddValue(v);
    return push;
}

TSWFActionPush& TFlashActionScript::Push(std::initializer_list<TSWFVariant> values) {
    return Push(std::span<const TSWFVariant>(values.begin(), values.size()));
}

TSWFActionPush& TFlashActionScript::PushTyped(std::span<const TSWFVariant> values,
                                              std::span<const TSWFValueType> types) {
    assert(values.size() == types.size() && "one type per value");
    TSWFActionPush& push = CurrentPush();
    for (size_t i = 0; i < values.size(); ++i) {
        const size_t at = push.AddValue(values[i]);
        if (i < types.size())
            push.Value(at).SetValueType(types[i]);
    }
    return push;
}

TSWFActionPush& TFlashActionScript::PushTyped(std::initializer_list<TSWFVariant> values,
                                              std::initializer_list<TSWFValueType> types) {
    return PushTyped(std::span<const TSWFVariant>(values.begin(), values.size()),
                     std::span<const TSWFValueType>(types.begin(), types.size()));
}

void TFlashActionScript::PushConstant(uint16_t index) {
    const uint16_t one[] = {index};
    PushConstant(std::span<const uint16_t>(one));
}

void TFlashActionScript::PushConstant(std::span<const uint16_t> indexes) {
    TSWFActionPush& push = CurrentPush();
    for (uint16_t index : indexes) {
        const size_t at = push.AddValue(int32_t(index));
        push.Value(at).SetValueType(index <= 255 ? vtConstant8 : vtConstant16);
    }
}

void TFlashActionScript::PushConstant(std::initializer_list<uint16_t> indexes) {
    PushConstant(std::span<const uint16_t>(indexes.begin(), indexes.size()));
}

TSWFOffsetMarker& TFlashActionScript::SetMarker(TSWFOffsetMarker* marker, bool beforeBranch) {
    return FActions->AddMarker(marker, marker ? beforeBranch : true);
}

} // namespace pictova
