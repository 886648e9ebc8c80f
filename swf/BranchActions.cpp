#include "swf/BranchActions.h"

#include "swf/SWFReader.h"

#include <cassert>
#include <stdexcept>

namespace pictova {

int64_t TSWFOffsetMarker::Distance(const TSWFFieldRef& field, int64_t target) {
    int64_t origin = field.Origin;
    if (field.OriginMarker) {
        if (!field.OriginMarker->WrittenIn(field.Stream))
            throw std::runtime_error("a block marker at position " + std::to_string(target) +
                                     " is written before the marker of the block before it");
        origin = field.OriginMarker->SavedPosition;
    }
    return target - origin;
}

void TSWFOffsetMarker::WriteValue(TBitsEngine& be, int64_t value, const TSWFFieldRef& field) {
    const int bits = field.Size * 8;
    const int64_t low = field.Signed ? -(int64_t{1} << (bits - 1)) : 0;
    const int64_t high = field.Signed ? (int64_t{1} << (bits - 1)) - 1 : (int64_t{1} << bits) - 1;
    if (value < low || value > high)
        throw std::runtime_error(
            "branch distance of " + std::to_string(value) + " bytes to the field at position " +
            std::to_string(field.FieldPosition) + " does not fit its " +
            (field.Signed ? "signed " : "unsigned ") + std::to_string(bits) + "-bit field");
    if (field.Size == 4)
        be.WriteDWord(uint32_t(value));
    else
        be.WriteWord(uint16_t(value));
}

void TSWFOffsetMarker::Reference(TBitsEngine& payload, const TSWFFieldRef& field) {
    assert(field.Size == 2 || field.Size == 4);
    FieldPosition = field.FieldPosition;
    OffsetSize = field.Size;
    if (WrittenIn(field.Stream)) {
        WriteValue(payload, Distance(field, SavedPosition), field);
        return;
    }
    SavedPosition = field.FieldPosition;
    Pass.Pending.push_back(field);
    if (field.Size == 4)
        payload.WriteDWord(0);
    else
        payload.WriteWord(0);
}

void TSWFOffsetMarker::ResetPass() {
    Pass.Pending.clear();
    Pass.WrittenIn = nullptr;
}

void TSWFOffsetMarker::WriteActionBody(TBitsEngine& be) {
    InList = true;
    if (!Valid)
        return;
    assert(be.PendingBitCount() == 0 && "actions are byte-aligned");
    std::ostream& stream = be.GetStream();
    const int64_t here = int64_t(stream.tellp());
    SavedPosition = here;
    Pass.WrittenIn = &stream;
    for (const TSWFFieldRef& field : Pass.Pending) {
        // Fields of another stream or pass cannot be ours to fill.
        if (field.Stream != &stream || field.FieldPosition + field.Size > here)
            continue;
        const int64_t value = Distance(field, here);
        stream.seekp(field.FieldPosition);
        WriteValue(be, value, field);
        stream.seekp(here);
        if (!stream)
            throw std::runtime_error("cannot fill the branch field at position " +
                                     std::to_string(field.FieldPosition) +
                                     ": the output stream does not seek");
    }
    Pass.Pending.clear();
}

TSWFOffsetMarker& TSWFMarkerSlot::Marker() {
    if (!FMarker) {
        FOwned = std::make_unique<TSWFOffsetMarker>();
        FMarker = FOwned.get();
    }
    return *FMarker;
}

void TSWFMarkerSlot::Link(TSWFOffsetMarker* marker) {
    if (marker == FMarker)
        return;
    FOwned.reset();
    FMarker = marker;
}

void TSWFMarkerSlot::WriteField(TBitsEngine& payload, int32_t value, bool explicitValue,
                                const TSWFFieldRef& field) {
    if (explicitValue || !FMarker || !FMarker->Valid)
        payload.WriteWord(uint16_t(value));
    else
        FMarker->Reference(payload, field);
}

void TSWFWriteStart::Mark(TBitsEngine& be) {
    assert(be.PendingBitCount() == 0 && "actions are byte-aligned");
    Stream = &be.GetStream();
    Position = int64_t(be.GetStream().tellp());
}

TSWFFieldRef TSWFWriteStart::Field(TBitsEngine& payload, bool isSigned) const {
    TSWFFieldRef f;
    f.Stream = Stream;
    // Code byte and length word precede the payload.
    f.FieldPosition = Position + 3 + int64_t(payload.GetStream().tellp());
    f.Size = 2;
    f.Origin = f.FieldPosition + f.Size;
    f.Signed = isSigned;
    return f;
}

// --- Jump, If

void TSWFActionJump::ReadData(TSWFReader& reader) {
    SetBranchOffset(int16_t(reader.ReadWord()));
}

// --- With

void TSWFActionWith::ReadData(TSWFReader& reader) {
    SetSize(reader.ReadWord());
}

// --- DefineFunction

namespace {

void WriteCount(TBitsEngine& be, size_t count, const char* what) {
    if (count > 0xFFFF)
        throw std::runtime_error(std::string(what) + " has " + std::to_string(count) +
                                 " parameters; at most 65535 fit");
    be.WriteWord(uint16_t(count));
}

} // namespace

void TSWFActionDefineFunction::ReadData(TSWFReader& reader) {
    FunctionName = reader.ReadString();
    const uint16_t count = reader.ReadWord();
    Params.clear();
    for (uint16_t i = 0; i < count; ++i)
        Params.push_back(reader.ReadString());
    SetCodeSize(reader.ReadWord());
}

void TSWFActionDefineFunction::WriteActionBody(TBitsEngine& be) {
    be.WriteString(FunctionName, true, false);
    WriteCount(be, Params.size(), "DefineFunction");
    for (const std::string& p : Params)
        be.WriteString(p, true, false);
    WriteField(be);
}

// --- DefineFunction2

void TSWFActionDefineFunction2::ReadData(TSWFReader& reader) {
    FunctionName = reader.ReadString();
    const uint16_t count = reader.ReadWord();
    RegisterCount = reader.ReadByte();
    const uint8_t flags = reader.ReadByte();
    PreloadParent = (flags & 0x80) != 0;
    PreloadRoot = (flags & 0x40) != 0;
    SuppressSuper = (flags & 0x20) != 0;
    PreloadSuper = (flags & 0x10) != 0;
    SuppressArguments = (flags & 0x08) != 0;
    PreloadArguments = (flags & 0x04) != 0;
    SuppressThis = (flags & 0x02) != 0;
    PreloadThis = (flags & 0x01) != 0;
    PreloadGlobal = (reader.ReadByte() & 0x01) != 0;
    Params.clear();
    for (uint16_t i = 0; i < count; ++i) {
        TSWFFunctionParam p;
        p.Register = reader.ReadByte();
        p.Name = reader.ReadString();
        Params.push_back(std::move(p));
    }
    SetCodeSize(reader.ReadWord());
}

void TSWFActionDefineFunction2::WriteActionBody(TBitsEngine& be) {
    be.WriteString(FunctionName, true, false);
    WriteCount(be, Params.size(), "DefineFunction2");
    be.WriteByte(RegisterCount);
    be.WriteBit(PreloadParent);
    be.WriteBit(PreloadRoot);
    be.WriteBit(SuppressSuper);
    be.WriteBit(PreloadSuper);
    be.WriteBit(SuppressArguments);
    be.WriteBit(PreloadArguments);
    be.WriteBit(SuppressThis);
    be.WriteBit(PreloadThis);
    be.WriteBits(0, 7); // reserved
    be.WriteBit(PreloadGlobal);
    for (const TSWFFunctionParam& p : Params) {
        be.WriteByte(p.Register);
        be.WriteString(p.Name, true, false);
    }
    WriteField(be);
}

// --- Try

void TSWFActionTry::SetTrySize(uint16_t size) {
    FTrySize = size;
    FExplicit = true;
}

void TSWFActionTry::SetCatchSize(uint16_t size) {
    FCatchSize = size;
    FExplicit = true;
}

void TSWFActionTry::SetFinallySize(uint16_t size) {
    FFinallySize = size;
    FExplicit = true;
}

void TSWFActionTry::ReadData(TSWFReader& reader) {
    const uint8_t flags = reader.ReadByte();
    CatchInRegisterFlag = (flags & 0x04) != 0;
    FinallyBlockFlag = (flags & 0x02) != 0;
    CatchBlockFlag = (flags & 0x01) != 0;
    SetTrySize(reader.ReadWord());
    SetCatchSize(reader.ReadWord());
    SetFinallySize(reader.ReadWord());
    if (CatchInRegisterFlag)
        CatchRegister = reader.ReadByte();
    else
        CatchName = reader.ReadString();
}

void TSWFActionTry::WriteActionBody(TBitsEngine& be) {
    be.WriteBits(0, 5); // reserved
    be.WriteBit(CatchInRegisterFlag);
    be.WriteBit(FinallyBlockFlag);
    be.WriteBit(CatchBlockFlag);

    // The try block starts where this action ends.
    const int64_t payloadSize = 7 + (CatchInRegisterFlag ? 1 : int64_t(CatchName.size()) + 1);
    TSWFFieldRef tryField = Start.Field(be, false);
    tryField.Origin = Start.Position + 3 + payloadSize;
    TrySlot.WriteField(be, FTrySize, FExplicit, tryField);

    // The catch block starts at the try marker, the finally block at the end
    // of the block before it. Without a usable marker there, the stored
    // size is written.
    const TSWFOffsetMarker* tryEnd = TrySlot.Peek();
    const bool tryResolves = tryEnd && tryEnd->Valid;
    TSWFFieldRef catchField = Start.Field(be, false);
    catchField.OriginMarker = tryEnd;
    if (!FExplicit && !CatchBlockFlag)
        be.WriteWord(0);
    else
        CatchSlot.WriteField(be, FCatchSize, FExplicit || !tryResolves, catchField);

    const TSWFOffsetMarker* before = CatchBlockFlag ? CatchSlot.Peek() : tryEnd;
    const bool beforeResolves = before && before->Valid;
    TSWFFieldRef finallyField = Start.Field(be, false);
    finallyField.OriginMarker = before;
    if (!FExplicit && !FinallyBlockFlag)
        be.WriteWord(0);
    else
        FinallySlot.WriteField(be, FFinallySize, FExplicit || !beforeResolves, finallyField);

    if (CatchInRegisterFlag)
        be.WriteByte(CatchRegister);
    else
        be.WriteString(CatchName, true, false);
}

std::vector<TSWFBranchRef> TSWFActionTry::Branches() {
    std::vector<TSWFBranchRef> refs(3);
    refs[0].Slot = &TrySlot;
    refs[0].Value = FTrySize;
    refs[1].Slot = &CatchSlot;
    refs[1].Value = FCatchSize;
    refs[1].Active = CatchBlockFlag;
    refs[1].FromPrevious = true;
    refs[2].Slot = &FinallySlot;
    refs[2].Value = FFinallySize;
    refs[2].Active = FinallyBlockFlag;
    refs[2].FromPrevious = true;
    for (TSWFBranchRef& r : refs)
        r.Explicit = FExplicit;
    return refs;
}

} // namespace pictova
