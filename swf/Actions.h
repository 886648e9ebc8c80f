#pragma once
// Action records of SWF 3 to 7: the base TSWFAction, the per-version bases,
// one class per action without payload, and the payload-carrying actions
// other than branches (those are in BranchActions.h).

#include "swf/SWFObject.h"

#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace pictova {

class TSWFReader;
class TSWFMarkerSlot;

// One offset or size field of a branching action and the marker slot that
// resolves it. Used by list reading (labels), copying and marker placement.
struct TSWFBranchRef {
    TSWFMarkerSlot* Slot = nullptr;
    int32_t Value = 0;         // the stored offset or size
    bool Explicit = false;     // Value is written as it is, not through the marker
    bool Active = true;        // false for a Try block size whose block flag is clear
    bool Backward = false;     // may point before the action (Jump and If offsets)
    bool FromPrevious = false; // counts from the previous field's target (Try catch, finally)
};

class TSWFAction : public TBasedSWFObject {
public:
    TSWFAction() = default;
    TSWFAction(const TSWFAction&) = default;
    // Copies BodySize only: an action assigned to keeps its own code.
    TSWFAction& operator=(const TSWFAction& source) {
        BodySize = source.BodySize;
        return *this;
    }
    // Copies BodySize; classes with payload also copy their fields.
    void Assign(const TBasedSWFObject& source) override { AssignAs(*this, source); }
    uint8_t LibraryLevel() const override { return 0; }
    uint8_t MinVersion() const override { return 3; }
    // Reads the payload from a reader that holds exactly BodySize bytes. The
    // base skips them. Throws TSWFReadError when the fields run past them.
    virtual void ReadData(TSWFReader& reader);
    // The payload only.
    virtual void WriteActionBody(TBitsEngine& be);
    // Code, length (from 0x80 on, also for an empty payload) and payload;
    // pseudo-actions (0xFE, 0xFF) write their body only.
    void WriteToStream(TBitsEngine& be) override;

    // The fields resolved through markers, in the order they are written.
    virtual std::vector<TSWFBranchRef> Branches() { return {}; }
    // Bytes of the written record: 1 below 0x80, BodySize + 3 from 0x80 on.
    virtual uint32_t RecordSize() const { return ActionCode < 0x80 ? 1 : uint32_t(BodySize) + 3; }

    uint8_t ActionCode = 0;
    uint16_t BodySize = 0; // set by reading and by writing an action from 0x80 on
};

class TSWFAction4 : public TSWFAction {
public:
    uint8_t MinVersion() const override { return 4; }
};
class TSWFAction5 : public TSWFAction {
public:
    uint8_t MinVersion() const override { return 5; }
};
class TSWFAction6 : public TSWFAction {
public:
    uint8_t MinVersion() const override { return 6; }
};
class TSWFAction7 : public TSWFAction {
public:
    uint8_t MinVersion() const override { return 7; }
};

// An action that is its code alone; each alias is a class of its own.
template <uint8_t Code, class Base> class TSWFSimpleAction : public Base {
public:
    TSWFSimpleAction() { this->ActionCode = Code; }
};

using TSWFActionNextFrame = TSWFSimpleAction<0x04, TSWFAction>;
using TSWFActionPreviousFrame = TSWFSimpleAction<0x05, TSWFAction>;
using TSWFActionPlay = TSWFSimpleAction<0x06, TSWFAction>;
using TSWFActionStop = TSWFSimpleAction<0x07, TSWFAction>;
using TSWFActionToggleQuality = TSWFSimpleAction<0x08, TSWFAction>;
using TSWFActionStopSounds = TSWFSimpleAction<0x09, TSWFAction>;

using TSWFActionAdd = TSWFSimpleAction<0x0A, TSWFAction4>;
using TSWFActionSubtract = TSWFSimpleAction<0x0B, TSWFAction4>;
using TSWFActionMultiply = TSWFSimpleAction<0x0C, TSWFAction4>;
using TSWFActionDivide = TSWFSimpleAction<0x0D, TSWFAction4>;
using TSWFActionEquals = TSWFSimpleAction<0x0E, TSWFAction4>;
using TSWFActionLess = TSWFSimpleAction<0x0F, TSWFAction4>;
using TSWFActionAnd = TSWFSimpleAction<0x10, TSWFAction4>;
using TSWFActionOr = TSWFSimpleAction<0x11, TSWFAction4>;
using TSWFActionNot = TSWFSimpleAction<0x12, TSWFAction4>;
using TSWFActionStringEquals = TSWFSimpleAction<0x13, TSWFAction4>;
using TSWFActionStringLength = TSWFSimpleAction<0x14, TSWFAction4>;
using TSWFActionStringExtract = TSWFSimpleAction<0x15, TSWFAction4>;
using TSWFActionPop = TSWFSimpleAction<0x17, TSWFAction4>;
using TSWFActionToInteger = TSWFSimpleAction<0x18, TSWFAction4>;
using TSWFActionGetVariable = TSWFSimpleAction<0x1C, TSWFAction4>;
using TSWFActionSetVariable = TSWFSimpleAction<0x1D, TSWFAction4>;
using TSWFActionSetTarget2 = TSWFSimpleAction<0x20, TSWFAction4>;
using TSWFActionStringAdd = TSWFSimpleAction<0x21, TSWFAction4>;
using TSWFActionGetProperty = TSWFSimpleAction<0x22, TSWFAction4>;
using TSWFActionSetProperty = TSWFSimpleAction<0x23, TSWFAction4>;
using TSWFActionCloneSprite = TSWFSimpleAction<0x24, TSWFAction4>;
using TSWFActionRemoveSprite = TSWFSimpleAction<0x25, TSWFAction4>;
using TSWFActionTrace = TSWFSimpleAction<0x26, TSWFAction4>;
using TSWFActionStartDrag = TSWFSimpleAction<0x27, TSWFAction4>;
using TSWFActionEndDrag = TSWFSimpleAction<0x28, TSWFAction4>;
using TSWFActionStringLess = TSWFSimpleAction<0x29, TSWFAction4>;
using TSWFActionRandomNumber = TSWFSimpleAction<0x30, TSWFAction4>;
using TSWFActionMBStringLength = TSWFSimpleAction<0x31, TSWFAction4>;
using TSWFActionCharToAscii = TSWFSimpleAction<0x32, TSWFAction4>;
using TSWFActionAsciiToChar = TSWFSimpleAction<0x33, TSWFAction4>;
using TSWFActionGetTime = TSWFSimpleAction<0x34, TSWFAction4>;
using TSWFActionMBStringExtract = TSWFSimpleAction<0x35, TSWFAction4>;
using TSWFActionMBCharToAscii = TSWFSimpleAction<0x36, TSWFAction4>;
using TSWFActionMBAsciiToChar = TSWFSimpleAction<0x37, TSWFAction4>;
// Carries no skip count: written as 8D 00 00.
using TSWFActionWaitForFrame2 = TSWFSimpleAction<0x8D, TSWFAction4>;
using TSWFActionCall = TSWFSimpleAction<0x9E, TSWFAction4>;

using TSWFActionDelete = TSWFSimpleAction<0x3A, TSWFAction5>;
using TSWFActionDelete2 = TSWFSimpleAction<0x3B, TSWFAction5>;
using TSWFActionDefineLocal = TSWFSimpleAction<0x3C, TSWFAction5>;
using TSWFActionCallFunction = TSWFSimpleAction<0x3D, TSWFAction5>;
using TSWFActionReturn = TSWFSimpleAction<0x3E, TSWFAction5>;
using TSWFActionModulo = TSWFSimpleAction<0x3F, TSWFAction5>;
using TSWFActionNewObject = TSWFSimpleAction<0x40, TSWFAction5>;
using TSWFActionDefineLocal2 = TSWFSimpleAction<0x41, TSWFAction5>;
using TSWFActionInitArray = TSWFSimpleAction<0x42, TSWFAction5>;
using TSWFActionInitObject = TSWFSimpleAction<0x43, TSWFAction5>;
using TSWFActionTypeOf = TSWFSimpleAction<0x44, TSWFAction5>;
using TSWFActionTargetPath = TSWFSimpleAction<0x45, TSWFAction5>;
using TSWFActionEnumerate = TSWFSimpleAction<0x46, TSWFAction5>;
using TSWFActionAdd2 = TSWFSimpleAction<0x47, TSWFAction5>;
using TSWFActionLess2 = TSWFSimpleAction<0x48, TSWFAction5>;
using TSWFActionEquals2 = TSWFSimpleAction<0x49, TSWFAction5>;
using TSWFActionToNumber = TSWFSimpleAction<0x4A, TSWFAction5>;
using TSWFActionToString = TSWFSimpleAction<0x4B, TSWFAction5>;
using TSWFActionPushDuplicate = TSWFSimpleAction<0x4C, TSWFAction5>;
using TSWFActionStackSwap = TSWFSimpleAction<0x4D, TSWFAction5>;
using TSWFActionGetMember = TSWFSimpleAction<0x4E, TSWFAction5>;
using TSWFActionSetMember = TSWFSimpleAction<0x4F, TSWFAction5>;
using TSWFActionIncrement = TSWFSimpleAction<0x50, TSWFAction5>;
using TSWFActionDecrement = TSWFSimpleAction<0x51, TSWFAction5>;
using TSWFActionCallMethod = TSWFSimpleAction<0x52, TSWFAction5>;
using TSWFActionNewMethod = TSWFSimpleAction<0x53, TSWFAction5>;
using TSWFActionBitAnd = TSWFSimpleAction<0x60, TSWFAction5>;
using TSWFActionBitOr = TSWFSimpleAction<0x61, TSWFAction5>;
using TSWFActionBitXor = TSWFSimpleAction<0x62, TSWFAction5>;
using TSWFActionBitLShift = TSWFSimpleAction<0x63, TSWFAction5>;
using TSWFActionBitRShift = TSWFSimpleAction<0x64, TSWFAction5>;
using TSWFActionBitURShift = TSWFSimpleAction<0x65, TSWFAction5>;

using TSWFActionInstanceOf = TSWFSimpleAction<0x54, TSWFAction6>;
using TSWFActionEnumerate2 = TSWFSimpleAction<0x55, TSWFAction6>;
using TSWFActionStrictEquals = TSWFSimpleAction<0x66, TSWFAction6>;
using TSWFActionGreater = TSWFSimpleAction<0x67, TSWFAction6>;
using TSWFActionStringGreater = TSWFSimpleAction<0x68, TSWFAction6>;

using TSWFActionThrow = TSWFSimpleAction<0x2A, TSWFAction7>;
using TSWFActionCastOp = TSWFSimpleAction<0x2B, TSWFAction7>;
using TSWFActionImplementsOp = TSWFSimpleAction<0x2C, TSWFAction7>;
using TSWFActionExtends = TSWFSimpleAction<0x69, TSWFAction7>;

class TSWFActionGotoFrame : public TSWFAction {
public:
    TSWFActionGotoFrame() { ActionCode = 0x81; }
    void Assign(const TBasedSWFObject& source) override { AssignAs(*this, source); }
    void ReadData(TSWFReader& reader) override;
    void WriteActionBody(TBitsEngine& be) override;

    uint16_t Frame = 0; // 0-based
};

class TSWFActionGetUrl : public TSWFAction {
public:
    TSWFActionGetUrl() { ActionCode = 0x83; }
    void Assign(const TBasedSWFObject& source) override { AssignAs(*this, source); }
    void ReadData(TSWFReader& reader) override;
    // The URL is converted from Windows-1252 to UTF-8, the target is not.
    void WriteActionBody(TBitsEngine& be) override;

    std::string URL;
    std::string Target;
};

class TSWFActionWaitForFrame : public TSWFAction {
public:
    TSWFActionWaitForFrame() { ActionCode = 0x8A; }
    void Assign(const TBasedSWFObject& source) override { AssignAs(*this, source); }
    void ReadData(TSWFReader& reader) override;
    void WriteActionBody(TBitsEngine& be) override;

    uint16_t Frame = 0;
    uint8_t SkipCount = 0;
};

class TSWFActionSetTarget : public TSWFAction {
public:
    TSWFActionSetTarget() { ActionCode = 0x8B; }
    void Assign(const TBasedSWFObject& source) override { AssignAs(*this, source); }
    void ReadData(TSWFReader& reader) override;
    void WriteActionBody(TBitsEngine& be) override;

    std::string TargetName;
};

class TSWFActionGoToLabel : public TSWFAction {
public:
    TSWFActionGoToLabel() { ActionCode = 0x8C; }
    void Assign(const TBasedSWFObject& source) override { AssignAs(*this, source); }
    void ReadData(TSWFReader& reader) override;
    void WriteActionBody(TBitsEngine& be) override;

    std::string Label;
};

// Send-variables method of GetURL2.
enum TSWFSendVarsMethod : uint8_t { svmNone = 0, svmGET = 1, svmPOST = 2 };

class TSWFActionGetURL2 : public TSWFAction4 {
public:
    TSWFActionGetURL2() { ActionCode = 0x9A; }
    void Assign(const TBasedSWFObject& source) override { AssignAs(*this, source); }
    void ReadData(TSWFReader& reader) override;
    void WriteActionBody(TBitsEngine& be) override;

    TSWFSendVarsMethod SendVarsMethod = svmNone;
    bool LoadTargetFlag = false;
    bool LoadVariablesFlag = false;
};

class TSWFActionGotoFrame2 : public TSWFAction4 {
public:
    TSWFActionGotoFrame2() { ActionCode = 0x9F; }
    void Assign(const TBasedSWFObject& source) override { AssignAs(*this, source); }
    void ReadData(TSWFReader& reader) override;
    void WriteActionBody(TBitsEngine& be) override;

    bool PlayFlag = false;
    bool SceneBiasFlag = false;
    uint16_t SceneBias = 0; // written only with SceneBiasFlag
};

class TSWFActionConstantPool : public TSWFAction5 {
public:
    TSWFActionConstantPool() { ActionCode = 0x88; }
    void Assign(const TBasedSWFObject& source) override { AssignAs(*this, source); }
    void ReadData(TSWFReader& reader) override;
    void WriteActionBody(TBitsEngine& be) override;

    std::vector<std::string> ConstantPool; // index 0 first
};

class TSWFActionStoreRegister : public TSWFAction5 {
public:
    TSWFActionStoreRegister() { ActionCode = 0x87; }
    void Assign(const TBasedSWFObject& source) override { AssignAs(*this, source); }
    void ReadData(TSWFReader& reader) override;
    void WriteActionBody(TBitsEngine& be) override;

    uint8_t RegisterNumber = 0;
};

// Push type codes. vtDefault is never stored: setting it keeps the type.
enum TSWFValueType : uint8_t {
    vtString = 0,
    vtFloat = 1,
    vtNull = 2,
    vtUndefined = 3,
    vtRegister = 4,
    vtBoolean = 5,
    vtDouble = 6,
    vtInteger = 7,
    vtConstant8 = 8,
    vtConstant16 = 9,
    vtDefault = 10,
};

// Variant kinds that have a Push type besides the plain numbers and strings.
struct TSWFCurrency {
    int64_t Scaled = 0; // the amount times 10 000
};
struct TSWFDate {
    double Days = 0; // days since 30 December 1899, fraction = time of day
};
// A byte array has no Push type; a value of it is kept but never written.
using TSWFByteArray = std::vector<uint8_t>;

// std::monostate is the empty variant (pushed as undefined), nullptr the
// null variant. Text is Windows-1252 in std::string.
using TSWFVariant = std::variant<std::monostate, std::nullptr_t, bool, int8_t, uint8_t, int16_t,
                                 uint16_t, int32_t, uint32_t, int64_t, float, double, TSWFCurrency,
                                 TSWFDate, std::string, std::u16string, TSWFByteArray>;

// How callers push undefined and null as strings.
inline constexpr const char* FlashVarUndefined = "FlashVar_undefined";
inline constexpr const char* FlashVarNull = "FlashVar_null";

class TPushValueInfo {
public:
    TSWFValueType ValueType() const { return FValueType; }
    // vtDefault leaves the type as it is.
    void SetValueType(TSWFValueType t) {
        if (t != vtDefault)
            FValueType = t;
    }

    TSWFVariant Value;
    bool Valid = false; // an invalid value stays in the list and is never written

private:
    TSWFValueType FValueType = vtUndefined;
};

class TSWFActionPush : public TSWFAction4 {
public:
    TSWFActionPush() { ActionCode = 0x96; }
    void Assign(const TBasedSWFObject& source) override { AssignAs(*this, source); }
    // 4 when every written value is a string or a float, else 5.
    uint8_t MinVersion() const override;
    void ReadData(TSWFReader& reader) override;
    void WriteActionBody(TBitsEngine& be) override;

    // Classifies the value by its variant kind and appends it; returns its index.
    size_t AddValue(const TSWFVariant& value);
    size_t ValueCount() const { return Values.size(); }
    TPushValueInfo& Value(size_t i) { return Values.at(i); }
    const TPushValueInfo& Value(size_t i) const { return Values.at(i); }

private:
    std::vector<TPushValueInfo> Values;
};

} // namespace pictova
