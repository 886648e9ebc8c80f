#include "swf/ButtonTags.h"

#include <algorithm>
#include <cassert>
#include <ostream>
#include <stdexcept>
#include <string>

namespace pictova {

namespace {

// Fills a 16-bit distance field written as 0 at `field`: the distance from
// the field to the current end of the stream.
void FillDistance(TBitsEngine& be, std::streampos field, const char* what) {
    assert(be.PendingBitCount() == 0 && "distances are filled between byte-aligned records");
    std::ostream& stream = be.GetStream();
    const std::streampos end = stream.tellp();
    const int64_t distance = int64_t(end - field);
    if (field < 0 || end < 0)
        throw std::runtime_error(std::string("cannot fill the ") + what +
                                 ": the output stream does not report positions");
    if (distance > 0xFFFF)
        throw std::runtime_error(std::string("the ") + what + " at position " +
                                 std::to_string(int64_t(field)) + " would be " +
                                 std::to_string(distance) + " bytes, more than its 16 bits hold");
    stream.seekp(field);
    be.WriteWord(uint16_t(distance));
    stream.seekp(end);
    if (!stream)
        throw std::runtime_error(std::string("cannot fill the ") + what + " at position " +
                                 std::to_string(int64_t(field)) +
                                 ": the output stream does not seek");
}

} // namespace

// --- TSWFButtonRecord

TSWFMatrix& TSWFButtonRecord::Matrix() {
    if (!FMatrix)
        FMatrix = std::make_unique<TSWFMatrix>();
    return *FMatrix;
}

TSWFColorTransform& TSWFButtonRecord::ColorTransform() {
    if (!FColorTransform)
        FColorTransform = std::make_unique<TSWFColorTransform>();
    return *FColorTransform;
}

void TSWFButtonRecord::Write(TBitsEngine& be, bool withColorTransform) {
    be.WriteBits(0, 4); // reserved
    be.WriteBit(States & bsHitTest);
    be.WriteBit(States & bsDown);
    be.WriteBit(States & bsOver);
    be.WriteBit(States & bsUp);
    be.WriteWord(CharacterId);
    be.WriteWord(Depth);
    be.WriteMatrix(Matrix());
    if (!withColorTransform)
        return;
    SWFColorTransform cx =
        FColorTransform ? FColorTransform->ColorTransform() : SWFColorTransform{};
    if (!cx.HasAlpha) {
        // CXFORMWITHALPHA: a multiply term of 0 would hide the character.
        cx.HasAlpha = true;
        cx.MultA = 256;
        cx.AddA = 0;
    }
    be.WriteColorTransform(cx);
}

// --- TSWFBasedButton

TSWFButtonRecord& TSWFBasedButton::AddRecord(uint16_t characterId, uint8_t states, uint16_t depth) {
    auto record = std::make_unique<TSWFButtonRecord>(characterId);
    record->States = states;
    record->Depth = depth;
    Records.push_back(std::move(record));
    return *Records.back();
}

void TSWFBasedButton::WriteRecords(TBitsEngine& be, bool withColorTransform) {
    for (const auto& record : Records)
        record->Write(be, withColorTransform);
    be.WriteByte(0); // CharacterEndFlag
}

// --- TSWFDefineButton

uint8_t TSWFDefineButton::MinVersion() const {
    return std::max(TSWFBasedButton::MinVersion(), Actions.MinVersion());
}

void TSWFDefineButton::WriteTagBody(TBitsEngine& be) {
    be.WriteWord(ButtonId);
    WriteRecords(be, false);
    Actions.Write(be);
    be.WriteByte(0); // ActionEndFlag
}

// --- TSWFButtonCondAction

void TSWFButtonCondAction::WriteRecord(TBitsEngine& be, bool last) {
    assert(KeyPress < 0x80 && "a button key code has 7 bits");
    const std::streampos sizeField = be.GetStream().tellp();
    be.WriteWord(0); // CondActionSize, filled in below
    for (const TSWFButtonCondition c :
         {bcIdleToOverDown, bcOutDownToIdle, bcOutDownToOverDown, bcOverDownToOutDown,
          bcOverDownToOverUp, bcOverUpToOverDown, bcOverUpToIdle, bcIdleToOverUp})
        be.WriteBit(Conditions & c);
    be.WriteBits(KeyPress, 7);
    be.WriteBit(Conditions & bcOverDownToIdle);
    Write(be);
    be.WriteByte(0); // ActionEndFlag
    if (!last)
        FillDistance(be, sizeField, "button condition action size");
}

// --- TSWFDefineButton2

TSWFButtonCondAction& TSWFDefineButton2::AddCondAction(uint16_t conditions, uint8_t keyPress) {
    auto action = std::make_unique<TSWFButtonCondAction>();
    action->Conditions = conditions;
    action->KeyPress = keyPress;
    CondActions.push_back(std::move(action));
    return *CondActions.back();
}

uint8_t TSWFDefineButton2::MinVersion() const {
    uint8_t v = TSWFBasedButton::MinVersion();
    for (const auto& action : CondActions)
        v = std::max(v, action->MinVersion());
    return v;
}

void TSWFDefineButton2::WriteTagBody(TBitsEngine& be) {
    be.WriteWord(ButtonId);
    be.WriteByte(TrackAsMenu ? 1 : 0); // 7 reserved bits, TrackAsMenu
    const std::streampos offsetField = be.GetStream().tellp();
    be.WriteWord(0); // ActionOffset, filled in below
    WriteRecords(be, true);
    if (CondActions.empty())
        return;
    FillDistance(be, offsetField, "button action offset");
    for (size_t i = 0; i < CondActions.size(); ++i)
        CondActions[i]->WriteRecord(be, i + 1 == CondActions.size());
}

// --- TSWFDefineButtonCxform

void TSWFDefineButtonCxform::WriteTagBody(TBitsEngine& be) {
    be.WriteWord(ButtonId);
    SWFColorTransform cx = ColorTransform.ColorTransform();
    cx.HasAlpha = false; // readers take a CXFORM here
    be.WriteColorTransform(cx);
}

// --- TSWFDefineButtonSound

TSWFStartSound& TSWFDefineButtonSound::Sound(TSWFButtonSoundEvent event) {
    auto& sound = Sounds.at(event);
    if (!sound)
        sound = std::make_unique<TSWFStartSound>();
    return *sound;
}

void TSWFDefineButtonSound::WriteTagBody(TBitsEngine& be) {
    be.WriteWord(ButtonId);
    for (const auto& sound : Sounds) {
        if (sound && sound->SoundId != 0)
            sound->WriteTagBody(be); // SoundId and sound info
        else
            be.WriteWord(0); // no sound, and no sound info
    }
}

} // namespace pictova
