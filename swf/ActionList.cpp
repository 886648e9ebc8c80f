#include "swf/ActionList.h"

#include "swf/SWFReader.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <limits>

namespace pictova {

// --- Raw bytes

namespace {

std::string CopyOfBytes(const uint8_t* data, uint32_t count) {
    return count ? std::string(reinterpret_cast<const char*>(data), count) : std::string();
}

} // namespace

TSWFActionByteCode::TSWFActionByteCode(const TSWFActionByteCode& source) : TSWFAction4(source) {
    SetBytes(CopyOfBytes(source.FData, source.FCount));
}

TSWFActionByteCode& TSWFActionByteCode::operator=(const TSWFActionByteCode& source) {
    TSWFAction4::operator=(source);
    SetBytes(CopyOfBytes(source.FData, source.FCount));
    return *this;
}

void TSWFActionByteCode::WriteActionBody(TBitsEngine& be) {
    if (FCount > 0)
        be.WriteBytes(FData, FCount);
}

void TSWFActionByteCode::SetBytes(std::string bytes) {
    assert(bytes.size() <= std::numeric_limits<uint32_t>::max());
    FOwned = std::move(bytes);
    FData = reinterpret_cast<const uint8_t*>(FOwned.data());
    FCount = uint32_t(FOwned.size());
    FOwns = true;
}

void TSWFActionByteCode::SetBytesView(const uint8_t* data, uint32_t count) {
    assert(data || count == 0);
    FOwned.clear();
    FData = data;
    FCount = count;
    FOwns = false;
}

uint8_t TSWFActionByteCode::Bytes(uint32_t i) const {
    assert(i < FCount);
    return FData[i];
}

// --- Factory

namespace {

using TActionFactory = std::unique_ptr<TSWFAction> (*)();
using TFactoryTable = std::array<TActionFactory, 256>;

template <class T> std::unique_ptr<TSWFAction> MakeAction() {
    return std::make_unique<T>();
}

template <class T> void RegisterAction(TFactoryTable& table) {
    const uint8_t code = T().ActionCode;
    assert(!table[code] && "two classes claim one action code");
    table[code] = &MakeAction<T>;
}

template <class... T> void RegisterActions(TFactoryTable& table) {
    (RegisterAction<T>(table), ...);
}

const TFactoryTable& FactoryTable() {
    static const TFactoryTable table = [] {
        TFactoryTable t{};
        RegisterActions<
            // SWF 3
            TSWFActionNextFrame, TSWFActionPreviousFrame, TSWFActionPlay, TSWFActionStop,
            TSWFActionToggleQuality, TSWFActionStopSounds, TSWFActionGotoFrame, TSWFActionGetUrl,
            TSWFActionWaitForFrame, TSWFActionSetTarget, TSWFActionGoToLabel, TSWFOffsetMarker,
            // SWF 4
            TSWFActionAdd, TSWFActionSubtract, TSWFActionMultiply, TSWFActionDivide,
            TSWFActionEquals, TSWFActionLess, TSWFActionAnd, TSWFActionOr, TSWFActionNot,
            TSWFActionStringEquals, TSWFActionStringLength, TSWFActionStringExtract, TSWFActionPop,
            TSWFActionToInteger, TSWFActionGetVariable, TSWFActionSetVariable, TSWFActionSetTarget2,
            TSWFActionStringAdd, TSWFActionGetProperty, TSWFActionSetProperty,
            TSWFActionCloneSprite, TSWFActionRemoveSprite, TSWFActionTrace, TSWFActionStartDrag,
            TSWFActionEndDrag, TSWFActionStringLess, TSWFActionRandomNumber,
            TSWFActionMBStringLength, TSWFActionCharToAscii, TSWFActionAsciiToChar,
            TSWFActionGetTime, TSWFActionMBStringExtract, TSWFActionMBCharToAscii,
            TSWFActionMBAsciiToChar, TSWFActionWaitForFrame2, TSWFActionCall, TSWFActionPush,
            TSWFActionJump, TSWFActionIf, TSWFActionGetURL2, TSWFActionGotoFrame2,
            TSWFActionByteCode,
            // SWF 5
            TSWFActionDelete, TSWFActionDelete2, TSWFActionDefineLocal, TSWFActionCallFunction,
            TSWFActionReturn, TSWFActionModulo, TSWFActionNewObject, TSWFActionDefineLocal2,
            TSWFActionInitArray, TSWFActionInitObject, TSWFActionTypeOf, TSWFActionTargetPath,
            TSWFActionEnumerate, TSWFActionAdd2, TSWFActionLess2, TSWFActionEquals2,
            TSWFActionToNumber, TSWFActionToString, TSWFActionPushDuplicate, TSWFActionStackSwap,
            TSWFActionGetMember, TSWFActionSetMember, TSWFActionIncrement, TSWFActionDecrement,
            TSWFActionCallMethod, TSWFActionNewMethod, TSWFActionBitAnd, TSWFActionBitOr,
            TSWFActionBitXor, TSWFActionBitLShift, TSWFActionBitRShift, TSWFActionBitURShift,
            TSWFActionConstantPool, TSWFActionDefineFunction, TSWFActionWith,
            TSWFActionStoreRegister,
            // SWF 6
            TSWFActionInstanceOf, TSWFActionEnumerate2, TSWFActionStrictEquals, TSWFActionGreater,
            TSWFActionStringGreater,
            // SWF 7
            TSWFActionThrow, TSWFActionCastOp, TSWFActionImplementsOp, TSWFActionExtends,
            TSWFActionDefineFunction2, TSWFActionTry>(t);
        return t;
    }();
    return table;
}

} // namespace

std::unique_ptr<TSWFAction> CreateSWFAction(uint8_t code) {
    const TActionFactory make = FactoryTable()[code];
    return make ? make() : nullptr;
}

// --- List

ptrdiff_t TSWFActionList::IndexOf(const TSWFAction* action) const {
    for (size_t i = 0; i < Items.size(); ++i)
        if (Items[i].get() == action)
            return ptrdiff_t(i);
    return -1;
}

TSWFAction& TSWFActionList::Add(std::unique_ptr<TSWFAction> action) {
    Insert(Items.size(), std::move(action));
    return *Items.back();
}

void TSWFActionList::Insert(size_t index, std::unique_ptr<TSWFAction> action) {
    assert(action && index <= Items.size());
    if (auto* marker = dynamic_cast<TSWFOffsetMarker*>(action.get()))
        marker->InList = true;
    Items.insert(Items.begin() + ptrdiff_t(index), std::move(action));
}

std::unique_ptr<TSWFOffsetMarker> TSWFActionList::TakeMarker(TSWFOffsetMarker* marker) {
    for (const auto& item : Items)
        for (const TSWFBranchRef& ref : item->Branches())
            if (ref.Slot->Owns(marker))
                return ref.Slot->Release();
    return nullptr;
}

TSWFOffsetMarker& TSWFActionList::AddMarker(TSWFOffsetMarker* marker, bool beforeBranch) {
    std::unique_ptr<TSWFOffsetMarker> owned;
    if (!marker) {
        owned = std::make_unique<TSWFOffsetMarker>();
        owned->BeforeBranch = true;
    } else {
        owned = TakeMarker(marker);
        assert(owned && "the marker must come from a branch of this list and not be placed yet");
        if (!owned)
            return *marker;
        owned->BeforeBranch = beforeBranch;
    }
    TSWFOffsetMarker& placed = *owned;
    Add(std::move(owned));
    return placed;
}

void TSWFActionList::Assign(const TSWFActionList& source) {
    if (&source == this)
        return;
    Items.clear();
    for (const auto& src : source.Items) {
        std::unique_ptr<TSWFAction> copy = CreateSWFAction(src->ActionCode);
        if (!copy) {
            // A code without a class (an End action, say) is still one byte
            // or one record: copy it as such.
            copy = std::make_unique<TSWFAction>();
            copy->ActionCode = src->ActionCode;
        }
        copy->Assign(*src);
        Insert(Items.size(), std::move(copy));
    }
    for (size_t i = 0; i < Items.size(); ++i) {
        const std::vector<TSWFBranchRef> from = source.Items[i]->Branches();
        const std::vector<TSWFBranchRef> to = Items[i]->Branches();
        for (size_t k = 0; k < from.size() && k < to.size(); ++k) {
            const TSWFOffsetMarker* target = from[k].Slot->Peek();
            if (from[k].Explicit || !target)
                continue;
            const ptrdiff_t at = source.IndexOf(target);
            if (at >= 0)
                to[k].Slot->Link(static_cast<TSWFOffsetMarker*>(Items[size_t(at)].get()));
        }
    }
}

uint8_t TSWFActionList::MinVersion() const {
    uint8_t v = 0;
    for (const auto& item : Items)
        v = std::max(v, item->MinVersion());
    return v;
}

void TSWFActionList::Write(TBitsEngine& be) {
    for (const auto& item : Items)
        if (auto* marker = dynamic_cast<TSWFOffsetMarker*>(item.get()))
            marker->ResetPass();
    for (const auto& item : Items)
        item->WriteToStream(be);
}

void TSWFActionList::WriteTerminated(TBitsEngine& be) {
    Write(be);
    // Markers and empty raw blocks occupy no bytes: the record before them
    // is the one that ends the code.
    for (auto it = Items.rbegin(); it != Items.rend(); ++it) {
        const TSWFAction& a = **it;
        if (a.ActionCode == 0xFF)
            continue;
        if (const auto* raw = dynamic_cast<const TSWFActionByteCode*>(&a)) {
            if (raw->Count() == 0)
                continue;
            if (raw->Bytes(raw->Count() - 1) == 0)
                return;
            break;
        }
        if (a.ActionCode == 0)
            return;
        break;
    }
    be.WriteByte(0);
}

// --- Reading

namespace {

// The record as an object of its class, or nullptr when the code has none
// or the fields do not fill the record's length exactly.
std::unique_ptr<TSWFAction> DecodeRecord(uint8_t code, uint16_t length, TSWFReader payload) {
    // The pseudo-codes stand for nothing in a movie.
    if (code == 0xFE || code == 0xFF)
        return nullptr;
    std::unique_ptr<TSWFAction> action = CreateSWFAction(code);
    if (!action)
        return nullptr;
    action->BodySize = length;
    try {
        action->ReadData(payload);
    } catch (const TSWFReadError&) {
        return nullptr;
    }
    return payload.AtEnd() ? std::move(action) : nullptr;
}

} // namespace

void TSWFActionList::Read(TSWFReader& reader) {
    Items.clear();
    while (!reader.AtEnd()) {
        TSWFReader record = reader;
        const uint8_t code = reader.ReadByte();
        if (code == 0)
            break;
        uint16_t length = 0;
        if (code >= 0x80) {
            // A record cut off by the end of the body ends the list: nothing
            // after it can be framed.
            if (reader.Remaining() < 2) {
                reader.Skip(reader.Remaining());
                break;
            }
            length = reader.ReadWord();
            if (length > reader.Remaining()) {
                reader.Skip(reader.Remaining());
                break;
            }
        }
        std::unique_ptr<TSWFAction> action = DecodeRecord(code, length, reader.Split(length));
        if (!action) {
            auto raw = std::make_unique<TSWFActionByteCode>();
            raw->SetBytes(record.ReadBytes(code >= 0x80 ? 3u + length : 1u));
            action = std::move(raw);
        }
        Insert(Items.size(), std::move(action));
    }
    LabelBranches();
}

std::optional<size_t> TSWFActionList::WalkForward(size_t from, int64_t distance) const {
    size_t j = from;
    while (distance > 0 && j < Items.size())
        distance -= Items[j++]->RecordSize();
    if (distance != 0)
        return std::nullopt;
    return j;
}

std::optional<size_t> TSWFActionList::WalkBackward(size_t index, int64_t distance) const {
    // The distance counts from the end of the branch itself.
    size_t k = index + 1;
    while (distance > 0 && k > 0)
        distance -= Items[--k]->RecordSize();
    if (distance != 0)
        return std::nullopt;
    return k;
}

void TSWFActionList::LabelBranches() {
    int label = 0;
    for (size_t i = 0; i < Items.size(); ++i) {
        size_t previousTarget = 0;
        bool previousFound = false;
        for (const TSWFBranchRef& ref : Items[i]->Branches()) {
            if (!ref.Active)
                continue;
            std::optional<size_t> at;
            const bool backward = ref.Backward && ref.Value < 0;
            if (ref.FromPrevious) {
                if (previousFound)
                    at = WalkForward(previousTarget, ref.Value);
            } else if (backward) {
                at = WalkBackward(i, -int64_t(ref.Value));
            } else {
                at = WalkForward(i + 1, ref.Value);
            }
            TSWFOffsetMarker& marker = ref.Slot->Marker();
            // Labels only: the branch keeps writing its offset as read.
            marker.Valid = false;
            marker.BeforeBranch = backward;
            previousFound = at.has_value();
            if (!at) {
                marker.Name = "Error Size offset: " + std::to_string(ref.Value);
                marker.InList = false;
                continue;
            }
            marker.Name = "label " + std::to_string(++label);
            std::unique_ptr<TSWFOffsetMarker> owned = ref.Slot->Release();
            assert(owned && "a freshly read branch owns its marker");
            Insert(*at, std::move(owned));
            if (*at <= i)
                ++i;
            previousTarget = *at + 1;
        }
    }
}

} // namespace pictova
