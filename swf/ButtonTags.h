#pragma once
// Button tags: DefineButton (actions run on release), DefineButton2 (actions
// per state transition or key), DefineButtonCxform (a colour transform for
// the first button format) and DefineButtonSound (sounds per transition).

#include "swf/ActionList.h"
#include "swf/SWFObject.h"
#include "swf/SWFRecords.h"
#include "swf/SoundTags.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace pictova {

// Bits of TSWFButtonRecord::States.
enum TSWFButtonState : uint8_t {
    bsUp = 1 << 0,
    bsDown = 1 << 1,
    bsOver = 1 << 2,
    bsHitTest = 1 << 3,
};

// One character shown in some states of a button.
class TSWFButtonRecord {
public:
    explicit TSWFButtonRecord(uint16_t characterId = 0) : CharacterId(characterId) {}

    // Copies the states, character, depth, matrix and, when the source has
    // one, the colour transform.
    void Assign(const TSWFButtonRecord& source) { *this = source; }
    // The flag byte, character, depth and matrix; with withColorTransform a
    // CXFORMWITHALPHA follows (an empty one when none was asked for).
    void Write(TBitsEngine& be, bool withColorTransform);

    // Created on first access (identity); an untouched record writes the
    // identity matrix.
    TSWFMatrix& Matrix();
    // Created on first access, which switches HasColorTransform on. Written
    // with alpha; alpha terms never set leave alpha unchanged.
    TSWFColorTransform& ColorTransform();
    bool HasColorTransform() const { return FColorTransform != nullptr; }

    uint8_t States = 0; // TSWFButtonState bits
    uint16_t CharacterId = 0;
    uint16_t Depth = 0;

private:
    TSWFOwned<TSWFColorTransform> FColorTransform;
    TSWFOwned<TSWFMatrix> FMatrix;
};

// Shared by both button tags: the ID and the records in drawing order.
class TSWFBasedButton : public TSWFObject {
public:
    uint8_t MinVersion() const override { return 3; }

    // Appends a record; the button owns it.
    TSWFButtonRecord& AddRecord(uint16_t characterId, uint8_t states, uint16_t depth);

    uint16_t ButtonId = 0;
    std::vector<TSWFOwned<TSWFButtonRecord>> Records;

protected:
    // Every record, then the end byte 0.
    void WriteRecords(TBitsEngine& be, bool withColorTransform);
};

// The first button format: its actions run when the button is released
// over it. Its records carry no colour transform (DefineButtonCxform does).
class TSWFDefineButton : public TSWFBasedButton {
public:
    TSWFDefineButton() { TagID = tagDefineButton; }
    void Assign(const TBasedSWFObject& source) override { AssignAs(*this, source); }
    // 3, raised to the greatest MinVersion of the actions.
    uint8_t MinVersion() const override;
    // ButtonId, records (without colour transforms), 0, actions, 0.
    void WriteTagBody(TBitsEngine& be) override;

    TSWFActionList Actions;
};

// Bits of TSWFButtonCondAction::Conditions: the state transitions.
enum TSWFButtonCondition : uint16_t {
    bcIdleToOverUp = 1 << 0,
    bcOverUpToIdle = 1 << 1,
    bcOverUpToOverDown = 1 << 2, // press
    bcOverDownToOverUp = 1 << 3, // release
    bcOutDownToOverDown = 1 << 4,
    bcOverDownToOutDown = 1 << 5,
    bcOutDownToIdle = 1 << 6,
    bcIdleToOverDown = 1 << 7,
    bcOverDownToIdle = 1 << 8,
};

// The actions a DefineButton2 runs on a set of transitions or on a key.
class TSWFButtonCondAction : public TSWFActionList {
public:
    // CondActionSize, the condition bits and key code, the actions and the
    // end byte 0. CondActionSize counts this record's bytes from its own
    // field; the last record of a button has 0 there. Throws
    // std::runtime_error when the record outgrows the 16-bit size or the
    // stream cannot seek back to fill it.
    void WriteRecord(TBitsEngine& be, bool last);
    void AssignCondition(const TSWFButtonCondAction& source) { *this = source; }

    uint16_t Conditions = 0; // TSWFButtonCondition bits
    // SWF key code (7 bits): 1-19 special keys, 32-126 characters; 0 for none.
    uint8_t KeyPress = 0;
};

class TSWFDefineButton2 : public TSWFBasedButton {
public:
    TSWFDefineButton2() { TagID = tagDefineButton2; }
    void Assign(const TBasedSWFObject& source) override { AssignAs(*this, source); }
    // 3, raised to the greatest MinVersion of the condition actions.
    uint8_t MinVersion() const override;
    // ButtonId, TrackAsMenu, ActionOffset, records (each with a colour
    // transform), 0, condition actions. ActionOffset is the distance from its
    // own field to the first condition action, 0 when there is none.
    void WriteTagBody(TBitsEngine& be) override;

    // Appends a condition action; the caller adds its actions.
    TSWFButtonCondAction& AddCondAction(uint16_t conditions, uint8_t keyPress = 0);

    bool TrackAsMenu = false; // the button reacts to a press begun on another button
    std::vector<TSWFOwned<TSWFButtonCondAction>> CondActions;
};

// A colour transform for a DefineButton's characters.
class TSWFDefineButtonCxform : public TSWFObject {
public:
    TSWFDefineButtonCxform() { TagID = tagDefineButtonCxform; }
    void Assign(const TBasedSWFObject& source) override { AssignAs(*this, source); }
    uint8_t MinVersion() const override { return 2; }
    // ButtonId and a CXFORM: the tag has no alpha terms, so any set on the
    // transform are left out.
    void WriteTagBody(TBitsEngine& be) override;

    uint16_t ButtonId = 0;
    TSWFColorTransform ColorTransform;
};

// The transitions that can play a sound, in the order they are written.
enum TSWFButtonSoundEvent : uint8_t {
    bseOverUpToIdle = 0,
    bseIdleToOverUp = 1,
    bseOverUpToOverDown = 2,
    bseOverDownToOverUp = 3,
};

class TSWFDefineButtonSound : public TSWFObject {
public:
    TSWFDefineButtonSound() { TagID = tagDefineButtonSound; }
    void Assign(const TBasedSWFObject& source) override { AssignAs(*this, source); }
    uint8_t MinVersion() const override { return 2; }
    // ButtonId, then per transition the sound's SoundId and sound info, or
    // SoundId 0 alone for a transition without a sound (or with SoundId 0).
    void WriteTagBody(TBitsEngine& be) override;

    // Created on first access, which gives the transition a sound.
    TSWFStartSound& Sound(TSWFButtonSoundEvent event);
    bool HasSound(TSWFButtonSoundEvent event) const { return Sounds.at(event) != nullptr; }
    TSWFStartSound& SoundIdleToOverUp() { return Sound(bseIdleToOverUp); }
    TSWFStartSound& SoundOverDownToOverUp() { return Sound(bseOverDownToOverUp); }
    TSWFStartSound& SoundOverUpToIdle() { return Sound(bseOverUpToIdle); }
    TSWFStartSound& SoundOverUpToOverDown() { return Sound(bseOverUpToOverDown); }

    uint16_t ButtonId = 0;

private:
    std::array<TSWFOwned<TSWFStartSound>, 4> Sounds;
};

} // namespace pictova
