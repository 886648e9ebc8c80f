#pragma once
// Branches and blocks: the offset marker that stands for a branch target or a
// block end, and the actions whose offset or size fields are resolved through
// markers while the list is written (Jump, If, With, DefineFunction,
// DefineFunction2, Try).
//
// All positions are positions in the stream the whole action list is written
// to, in one pass. A branch that meets its marker already written (a backward
// target) writes the distance at once; otherwise it writes a placeholder that
// the marker fills when it is written. Several branches may share a marker.

#include "swf/Actions.h"

#include <memory>
#include <ostream>
#include <string>
#include <type_traits>
#include <vector>

namespace pictova {

class TSWFOffsetMarker;

// One offset or size field as a marker sees it.
struct TSWFFieldRef {
    const std::ostream* Stream = nullptr; // the stream the list is written to
    int64_t FieldPosition = 0;            // position of the field in Stream
    int64_t Origin = 0;                   // position the distance counts from
    // When set, the distance counts from this marker's position instead
    // (Try catch and finally blocks follow the block before them).
    const TSWFOffsetMarker* OriginMarker = nullptr;
    uint8_t Size = 2;    // bytes of the field
    bool Signed = false; // SI16 (Jump, If) rather than UI16 (sizes)
};

// Pseudo-action 0xFF: occupies no bytes.
class TSWFOffsetMarker : public TSWFAction {
public:
    TSWFOffsetMarker() { ActionCode = 0xFF; }
    // Copies the descriptive fields; the branches waiting in a write pass
    // are not copied.
    void Assign(const TBasedSWFObject& source) override { AssignAs(*this, source); }
    // Records the marker's position and fills the placeholders of the
    // branches met before it. Writes no bytes of its own.
    void WriteActionBody(TBitsEngine& be) override;
    uint32_t RecordSize() const override { return 0; }

    // A branch field refers to this marker: writes the distance when the
    // marker was written earlier in this pass, else placeholder bytes.
    // Throws std::runtime_error when the distance does not fit the field.
    void Reference(TBitsEngine& payload, const TSWFFieldRef& field);
    // Forgets the positions of an earlier write pass.
    void ResetPass();
    // True when the marker was written into `stream` during this pass.
    bool WrittenIn(const std::ostream* stream) const { return Pass.WrittenIn == stream && stream; }

    bool InList = false;       // in a list (which then owns it), or written
    bool BeforeBranch = true;  // declares a backward target; set by the builder and by reading
    bool Valid = true;         // false: the branches write their stored values instead
    std::string Name;          // label text, set by reading
    int64_t FieldPosition = 0; // of the last field that referred to the marker
    uint8_t OffsetSize = 2;    // bytes of the last referring field: 2 or 4
    int64_t SavedPosition = 0; // the marker's own position once written, else the field's

private:
    static int64_t Distance(const TSWFFieldRef& field, int64_t target);
    static void WriteValue(TBitsEngine& be, int64_t value, const TSWFFieldRef& field);

    // The state of one write pass belongs to the marker that took part in it:
    // a copy starts without one, and assigning keeps the target's.
    struct TPass {
        TPass() = default;
        TPass(const TPass&) {}
        TPass& operator=(const TPass&) { return *this; }

        std::vector<TSWFFieldRef> Pending; // forward fields waiting for this marker
        const std::ostream* WrittenIn = nullptr;
    };
    TPass Pass;
};

// Where a branch keeps its marker: created and owned on first access, or
// linked to a marker that a list owns.
class TSWFMarkerSlot {
public:
    TSWFMarkerSlot() = default;
    // A marker belongs to the list of the branch it was made for, so a copy
    // of a branch starts without one and assigning keeps the target's own.
    TSWFMarkerSlot(const TSWFMarkerSlot&) {}
    TSWFMarkerSlot& operator=(const TSWFMarkerSlot&) { return *this; }

    // Creates the marker on first access; the slot owns it until Release.
    TSWFOffsetMarker& Marker();
    TSWFOffsetMarker* Peek() const { return FMarker; }
    // Refers to a marker owned elsewhere; an owned marker is freed first.
    void Link(TSWFOffsetMarker* marker);
    bool Owns(const TSWFOffsetMarker* marker) const { return marker && FOwned.get() == marker; }
    // Hands the owned marker over (to a list); the slot keeps referring to it.
    std::unique_ptr<TSWFOffsetMarker> Release() { return std::move(FOwned); }

    // Writes a field: the stored value when it is explicit or there is no
    // valid marker, else the distance through the marker.
    void WriteField(TBitsEngine& payload, int32_t value, bool explicitValue,
                    const TSWFFieldRef& field);

private:
    std::unique_ptr<TSWFOffsetMarker> FOwned;
    TSWFOffsetMarker* FMarker = nullptr;
};

// Where a branching action's record starts in the output, for field positions.
struct TSWFWriteStart {
    void Mark(TBitsEngine& be);
    // A field at the payload writer's current position: the record's code
    // byte and length word come before the payload.
    TSWFFieldRef Field(TBitsEngine& payload, bool isSigned) const;

    const std::ostream* Stream = nullptr;
    int64_t Position = 0; // of the code byte
};

// One offset or size field of a branching action: written through its
// marker, or as the stored value once one was set (by reading or by hand).
// T is int16_t for branch offsets (signed, may point backwards) and uint16_t
// for block sizes. Copies take the value, not the marker (see TSWFMarkerSlot).
template <typename T> class TSWFMarkedField {
public:
    T Value() const { return FValue; }
    void Set(T value) {
        FValue = value;
        FExplicit = true;
    }
    bool Explicit() const { return FExplicit; }
    TSWFOffsetMarker& Marker() { return Slot.Marker(); }
    void Link(TSWFOffsetMarker* marker) { Slot.Link(marker); }
    void Write(TBitsEngine& payload, const TSWFWriteStart& start) {
        Slot.WriteField(payload, FValue, FExplicit, start.Field(payload, std::is_signed_v<T>));
    }
    TSWFBranchRef Ref() {
        TSWFBranchRef ref;
        ref.Slot = &Slot;
        ref.Value = FValue;
        ref.Explicit = FExplicit;
        ref.Backward = std::is_signed_v<T>;
        return ref;
    }

private:
    T FValue = 0;
    bool FExplicit = false;
    TSWFMarkerSlot Slot;
};

// Plumbing shared by the actions whose fields are resolved through markers:
// they remember where their record starts, so that field positions can be
// told to the markers.
template <class Base> class TSWFBranchingAction : public Base {
public:
    void WriteToStream(TBitsEngine& be) override {
        Start.Mark(be);
        Base::WriteToStream(be);
    }

protected:
    TSWFWriteStart Start;
};

// A branching action with one marked field (an offset or a block size), kept
// last in its payload.
template <class Base, typename T> class TSWFMarkedAction : public TSWFBranchingAction<Base> {
public:
    TSWFOffsetMarker& BranchMarker() { return Field.Marker(); }
    void SetBranchMarker(TSWFOffsetMarker* marker) { Field.Link(marker); }
    std::vector<TSWFBranchRef> Branches() override { return {Field.Ref()}; }

protected:
    void WriteField(TBitsEngine& be) { Field.Write(be, this->Start); }

    TSWFMarkedField<T> Field;
};

class TSWFActionJump : public TSWFMarkedAction<TSWFAction4, int16_t> {
public:
    TSWFActionJump() { ActionCode = 0x99; }
    void Assign(const TBasedSWFObject& source) override { AssignAs(*this, source); }
    void ReadData(TSWFReader& reader) override;
    void WriteActionBody(TBitsEngine& be) override { WriteField(be); }

    // Bytes from the end of this action to the target.
    int16_t BranchOffset() const { return Field.Value(); }
    void SetBranchOffset(int16_t offset) { Field.Set(offset); }
    bool ExplicitOffset() const { return Field.Explicit(); }
};

class TSWFActionIf : public TSWFActionJump {
public:
    TSWFActionIf() { ActionCode = 0x9D; }
};

// The marker closes the block.
class TSWFActionWith : public TSWFMarkedAction<TSWFAction5, uint16_t> {
public:
    TSWFActionWith() { ActionCode = 0x94; }
    void Assign(const TBasedSWFObject& source) override { AssignAs(*this, source); }
    void ReadData(TSWFReader& reader) override;
    void WriteActionBody(TBitsEngine& be) override { WriteField(be); }

    // Bytes of the block after this action.
    uint16_t Size() const { return Field.Value(); }
    void SetSize(uint16_t size) { Field.Set(size); }
    bool ExplicitSize() const { return Field.Explicit(); }
};

// A function definition: the marker closes the function body.
template <class Base> class TSWFFunctionAction : public TSWFMarkedAction<Base, uint16_t> {
public:
    // Bytes of the function body after this action.
    uint16_t CodeSize() const { return this->Field.Value(); }
    void SetCodeSize(uint16_t size) { this->Field.Set(size); }
    bool ExplicitCodeSize() const { return this->Field.Explicit(); }

    std::string FunctionName;
};

class TSWFActionDefineFunction : public TSWFFunctionAction<TSWFAction5> {
public:
    TSWFActionDefineFunction() { ActionCode = 0x9B; }
    void Assign(const TBasedSWFObject& source) override { AssignAs(*this, source); }
    void ReadData(TSWFReader& reader) override;
    void WriteActionBody(TBitsEngine& be) override;

    std::vector<std::string> Params;
};

struct TSWFFunctionParam {
    uint8_t Register = 0; // 0: the parameter lives in a variable, not a register
    std::string Name;
};

class TSWFActionDefineFunction2 : public TSWFFunctionAction<TSWFAction7> {
public:
    TSWFActionDefineFunction2() { ActionCode = 0x8E; }
    void Assign(const TBasedSWFObject& source) override { AssignAs(*this, source); }
    void ReadData(TSWFReader& reader) override;
    void WriteActionBody(TBitsEngine& be) override;

    std::vector<TSWFFunctionParam> Params;
    bool PreloadArguments = false;
    bool PreloadGlobal = false;
    bool PreloadParent = false;
    bool PreloadRoot = false;
    bool PreloadSuper = false;
    bool PreloadThis = false;
    uint8_t RegisterCount = 0;
    bool SuppressArguments = false;
    bool SuppressSuper = false;
    bool SuppressThis = false;
};

// Sizes through markers follow the SWF format: TrySize counts the try block
// from the end of this action to the try marker, CatchSize the catch block up
// to the catch marker, FinallySize the finally block up to the finally marker.
class TSWFActionTry : public TSWFBranchingAction<TSWFAction7> {
public:
    TSWFActionTry() { ActionCode = 0x8F; }
    void Assign(const TBasedSWFObject& source) override { AssignAs(*this, source); }
    void ReadData(TSWFReader& reader) override;
    void WriteActionBody(TBitsEngine& be) override;
    std::vector<TSWFBranchRef> Branches() override;

    TSWFOffsetMarker& TryMarker() { return TrySlot.Marker(); }
    TSWFOffsetMarker& CatchMarker() { return CatchSlot.Marker(); }
    TSWFOffsetMarker& FinallyMarker() { return FinallySlot.Marker(); }
    void SetTryMarker(TSWFOffsetMarker* marker) { TrySlot.Link(marker); }
    void SetCatchMarker(TSWFOffsetMarker* marker) { CatchSlot.Link(marker); }
    void SetFinallyMarker(TSWFOffsetMarker* marker) { FinallySlot.Link(marker); }

    // Setting any size makes all three explicit.
    uint16_t TrySize() const { return FTrySize; }
    uint16_t CatchSize() const { return FCatchSize; }
    uint16_t FinallySize() const { return FFinallySize; }
    void SetTrySize(uint16_t size);
    void SetCatchSize(uint16_t size);
    void SetFinallySize(uint16_t size);
    bool ExplicitSizes() const { return FExplicit; }

    bool CatchBlockFlag = false;
    bool CatchInRegisterFlag = false;
    std::string CatchName;     // without CatchInRegisterFlag
    uint8_t CatchRegister = 0; // with CatchInRegisterFlag
    bool FinallyBlockFlag = false;

private:
    uint16_t FCatchSize = 0;
    TSWFMarkerSlot CatchSlot;
    uint16_t FFinallySize = 0;
    TSWFMarkerSlot FinallySlot;
    bool FExplicit = false;
    uint16_t FTrySize = 0;
    TSWFMarkerSlot TrySlot;
};

} // namespace pictova
