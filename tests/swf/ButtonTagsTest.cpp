#include "swf/ButtonTags.h"
#include "swf/SWFReader.h"
#include "tests/support/Capture.h"
#include "tests/support/SwfWalker.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace pictova {
namespace {

using test::BodyBytes;
using test::Bytes;
using test::Capture;
using test::Hex;
using test::TagBytes;

std::string RecordBytes(TSWFButtonRecord& record, bool withColorTransform) {
    return Capture([&](TBitsEngine& be) { record.Write(be, withColorTransform); });
}

uint16_t WordAt(const std::string& bytes, size_t offset) {
    return uint16_t(uint8_t(bytes.at(offset)) | uint8_t(bytes.at(offset + 1)) << 8);
}

// --- Button records

TEST(ButtonRecord, UpAndOverWithAnUntouchedMatrix) {
    TSWFButtonRecord record(5);
    record.States = bsUp | bsOver;
    record.Depth = 1;
    EXPECT_FALSE(record.HasColorTransform());
    EXPECT_EQ(Hex(RecordBytes(record, false)), Hex(Bytes({
                                                   0x03,       // reserved 0, states Over, Up
                                                   0x05, 0x00, // CharacterId 5
                                                   0x01, 0x00, // Depth 1
                                                   0x00,       // MATRIX: identity
                                               })));
}

TEST(ButtonRecord, EachStateAlone) {
    const std::pair<uint8_t, int> rows[] = {
        {bsUp, 0x01}, {bsOver, 0x02}, {bsDown, 0x04}, {bsHitTest, 0x08}};
    for (const auto& [state, flags] : rows) {
        TSWFButtonRecord record(1);
        record.States = state;
        EXPECT_EQ(Hex(RecordBytes(record, false).substr(0, 1)), Hex(Bytes({flags}))) << int(state);
    }
}

TEST(ButtonRecord, MatrixAndColourTransformWithAlpha) {
    TSWFButtonRecord record(2);
    record.States = bsUp;
    record.Depth = 3;
    record.Matrix().SetTranslate(20, 0);
    // Without a transform, DefineButton2 still writes an empty one.
    EXPECT_EQ(Hex(RecordBytes(record, true)), Hex(Bytes({
                                                  0x01,             // states Up
                                                  0x02, 0x00,       // CharacterId 2
                                                  0x03, 0x00,       // Depth 3
                                                  0x0C, 0xA0, 0x00, // MATRIX translate (20, 0)
                                                  0x00,             // CXFORMWITHALPHA: no terms
                                              })));
    // Red halved: the alpha multiply term that was never set stays 1.0.
    record.ColorTransform().SetMultR(128);
    record.ColorTransform().SetMultG(256);
    record.ColorTransform().SetMultB(256);
    EXPECT_TRUE(record.HasColorTransform());
    // CXFORMWITHALPHA after the matrix: HasAdd 0, HasMult 1, Nbits 10,
    // MultR 128, MultG 256, MultB 256, MultA 256, padded:
    // 0 1 1010 0010000000 0100000000 0100000000 0100000000 00
    EXPECT_EQ(Hex(RecordBytes(record, true).substr(8)),
              Hex(Bytes({0x68, 0x80, 0x40, 0x10, 0x04, 0x00})));
    // The first button format has no colour transform in its records.
    EXPECT_EQ(RecordBytes(record, false).size(), 8u);

    TSWFButtonRecord copy;
    copy.Assign(record);
    EXPECT_EQ(Hex(RecordBytes(copy, true)), Hex(RecordBytes(record, true)));
    TSWFButtonRecord plain(2);
    copy.Assign(plain);
    EXPECT_FALSE(copy.HasColorTransform());
}

// --- DefineButton

TEST(DefineButton, RecordsAndActions) {
    TSWFDefineButton button;
    button.ButtonId = 1;
    button.AddRecord(2, bsUp | bsOver | bsDown | bsHitTest, 1);
    // Not written: the record format of DefineButton has no room for it.
    button.AddRecord(3, bsOver, 2).ColorTransform().SetAddR(10);
    button.Actions.Add<TSWFActionGotoFrame>().Frame = 1;
    button.Actions.Add<TSWFActionStop>();
    EXPECT_EQ(Hex(TagBytes(button)), Hex(Bytes({
                                         0xD6, 0x01,                   // code 7, length 22
                                         0x01, 0x00,                   // ButtonId 1
                                         0x0F,                         // all four states
                                         0x02, 0x00,                   // CharacterId 2
                                         0x01, 0x00,                   // Depth 1
                                         0x00,                         // MATRIX
                                         0x02,                         // states Over
                                         0x03, 0x00,                   // CharacterId 3
                                         0x02, 0x00,                   // Depth 2
                                         0x00,                         // MATRIX
                                         0x00,                         // CharacterEndFlag
                                         0x81, 0x02, 0x00, 0x01, 0x00, // GotoFrame 1
                                         0x07,                         // Stop
                                         0x00,                         // ActionEndFlag
                                     })));
    EXPECT_EQ(button.MinVersion(), 3);
    button.Actions.Add<TSWFActionPush>().AddValue(true);
    EXPECT_EQ(button.MinVersion(), 5);

    TSWFDefineButton copy;
    copy.Assign(button);
    EXPECT_EQ(Hex(TagBytes(copy)), Hex(TagBytes(button)));
    EXPECT_EQ(copy.Records.size(), 2u);
}

TEST(DefineButton, EmptyButton) {
    TSWFDefineButton button;
    button.ButtonId = 0x0102;
    EXPECT_EQ(Hex(BodyBytes(button)), Hex(Bytes({
                                          0x02, 0x01, // ButtonId
                                          0x00,       // CharacterEndFlag
                                          0x00,       // ActionEndFlag
                                      })));
}

// --- DefineButton2 and condition actions

TEST(DefineButton2, WithoutConditionActionsTheOffsetIsZero) {
    TSWFDefineButton2 button;
    button.ButtonId = 1;
    button.AddRecord(2, bsUp, 1);
    EXPECT_EQ(Hex(TagBytes(button)), Hex(Bytes({
                                         0x8D, 0x08, // code 34, length 13
                                         0x01, 0x00, // ButtonId 1
                                         0x00,       // TrackAsMenu 0
                                         0x00, 0x00, // ActionOffset 0
                                         0x01,       // states Up
                                         0x02, 0x00, // CharacterId 2
                                         0x01, 0x00, // Depth 1
                                         0x00,       // MATRIX
                                         0x00,       // CXFORMWITHALPHA
                                         0x00,       // CharacterEndFlag
                                     })));
    button.TrackAsMenu = true;
    EXPECT_EQ(Hex(BodyBytes(button).substr(2, 1)), "01");
    EXPECT_EQ(button.MinVersion(), 3);
}

TEST(DefineButton2, TwoConditionActionsWithTheirOffsets) {
    TSWFDefineButton2 button;
    button.ButtonId = 2;
    button.AddRecord(1, bsUp | bsOver | bsDown | bsHitTest, 1);
    button.AddCondAction(bcOverDownToOverUp).Add<TSWFActionGotoFrame>().Frame = 1;
    button.AddCondAction(bcIdleToOverUp, 13).Add<TSWFActionStop>();
    EXPECT_EQ(Hex(TagBytes(button)), Hex(Bytes({
                                         0x9D, 0x08, // code 34, length 29
                                         0x02, 0x00, // ButtonId 2
                                         0x00,       // TrackAsMenu 0
                                         0x0A, 0x00, // ActionOffset 10
                                         0x0F,       // all four states
                                         0x01, 0x00, // CharacterId 1
                                         0x01, 0x00, // Depth 1
                                         0x00,       // MATRIX
                                         0x00,       // CXFORMWITHALPHA
                                         0x00,       // CharacterEndFlag
                                         0x0A, 0x00, // CondActionSize 10
                                         0x08,       // OverDownToOverUp
                                         0x00,       // KeyPress 0, OverDownToIdle 0
                                         0x81, 0x02, 0x00, 0x01, 0x00, // GotoFrame 1
                                         0x00,                         // ActionEndFlag
                                         0x00, 0x00,                   // CondActionSize 0: last
                                         0x01,                         // IdleToOverUp
                                         0x1A, // KeyPress 13, OverDownToIdle 0
                                         0x07, // Stop
                                         0x00, // ActionEndFlag
                                     })));

    TSWFDefineButton2 copy;
    copy.Assign(button);
    EXPECT_EQ(Hex(TagBytes(copy)), Hex(TagBytes(button)));
    ASSERT_EQ(copy.CondActions.size(), 2u);
    EXPECT_EQ(copy.CondActions[1]->KeyPress, 13);
}

// The two condition bytes for each transition alone and for key codes.
TEST(DefineButton2, ConditionBitsOneByOne) {
    struct Row {
        uint16_t Conditions;
        uint8_t Key;
        int First, Second;
    };
    const Row rows[] = {
        {bcIdleToOverUp, 0, 0x01, 0x00},
        {bcOverUpToIdle, 0, 0x02, 0x00},
        {bcOverUpToOverDown, 0, 0x04, 0x00},
        {bcOverDownToOverUp, 0, 0x08, 0x00},
        {bcOverDownToOutDown, 0, 0x10, 0x00},
        {bcOutDownToOverDown, 0, 0x20, 0x00},
        {bcOutDownToIdle, 0, 0x40, 0x00},
        {bcIdleToOverDown, 0, 0x80, 0x00},
        {bcOverDownToIdle, 0, 0x00, 0x01},
        {0, 1, 0x00, 0x02}, // left arrow
        {0, 127, 0x00, 0xFE},
        {bcOverDownToIdle, 32, 0x00, 0x41},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message()
                     << "conditions " << row.Conditions << " key " << int(row.Key));
        TSWFButtonCondAction action;
        action.Conditions = row.Conditions;
        action.KeyPress = row.Key;
        const std::string bytes = Capture([&](TBitsEngine& be) { action.WriteRecord(be, true); });
        EXPECT_EQ(Hex(bytes), Hex(Bytes({0x00, 0x00,            // CondActionSize 0: last
                                         row.First, row.Second, // conditions, key code
                                         0x00})));              // ActionEndFlag
    }
}

// Walks a written DefineButton2 by its own offsets and reads each condition
// action back through the action-list reader.
TEST(DefineButton2, ConditionActionsReadBackByTheirOffsets) {
    TSWFDefineButton2 button;
    button.ButtonId = 7;
    button.AddRecord(1, bsUp, 1).ColorTransform().SetAddR(40);
    button.AddRecord(1, bsOver | bsHitTest, 1);
    auto& press = button.AddCondAction(bcOverUpToOverDown);
    // if (!x) play(); with a forward branch resolved through a marker
    press.Add<TSWFActionPush>().AddValue(std::string("x"));
    press.Add<TSWFActionGetVariable>();
    auto& skip = press.Add<TSWFActionIf>();
    press.Add<TSWFActionPlay>();
    press.AddMarker(&skip.BranchMarker(), false);
    button.AddCondAction(bcOverDownToOverUp | bcOverDownToIdle).Add<TSWFActionStop>();
    button.AddCondAction(0, 'a');

    const std::string body = BodyBytes(button);
    const std::vector<std::string> expected = {
        Capture([&](TBitsEngine& be) { press.Write(be); }),
        Bytes({0x07}),
        "",
    };
    const uint16_t conditions[] = {0x0004, 0x0108, 0xC200}; // the two bytes as a word
    size_t at = 3 + WordAt(body, 3);
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        const uint16_t size = WordAt(body, at);
        EXPECT_EQ(size == 0, i + 1 == expected.size());
        EXPECT_EQ(WordAt(body, at + 2), conditions[i]);
        const size_t end = size ? at + size : body.size();
        TSWFReader reader(std::string_view(body).substr(at + 4, end - at - 4));
        TSWFActionList list;
        list.Read(reader);
        EXPECT_TRUE(reader.AtEnd());
        EXPECT_EQ(Hex(Capture([&](TBitsEngine& be) { list.Write(be); })), Hex(expected[i]));
        at = end;
    }
    EXPECT_EQ(at, body.size());
}

TEST(DefineButton2, MinVersionFollowsTheConditionActions) {
    TSWFDefineButton2 button;
    button.AddCondAction(bcOverDownToOverUp).Add<TSWFActionStop>();
    EXPECT_EQ(button.MinVersion(), 3);
    // A movie that reports SWF 3 would not run the button's SWF 5 actions.
    button.AddCondAction(bcOverUpToIdle).Add<TSWFActionPush>().AddValue(true);
    EXPECT_EQ(button.MinVersion(), 5);
}

TEST(DefineButton2, ConditionActionBeyondItsSizeField) {
    TSWFDefineButton2 button;
    auto& big = button.AddCondAction(bcOverDownToOverUp);
    big.Add<TSWFActionByteCode>().SetBytes(std::string(70000, '\x07'));
    // As the last record its size field stays 0: the tag is fine.
    EXPECT_NO_THROW(TagBytes(button));
    button.AddCondAction(bcOverUpToIdle);
    try {
        TagBytes(button);
        FAIL() << "a 70005-byte condition action has no 16-bit size";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("70005"), std::string::npos) << e.what();
    }
}

// --- DefineButtonCxform

TEST(DefineButtonCxform, WritesAColourTransformWithoutAlpha) {
    TSWFDefineButtonCxform tag;
    tag.ButtonId = 3;
    tag.ColorTransform.SetAddR(1);
    tag.ColorTransform.SetAddG(-1);
    tag.ColorTransform.SetAddB(0);
    const std::string expected = Bytes({
        0xC4, 0x05, // code 23, length 4
        0x03, 0x00, // ButtonId 3
        0x89, 0xC0, // CXFORM: HasAdd 1, HasMult 0, Nbits 2, AddR 1, AddG -1, AddB 0
    });
    EXPECT_EQ(Hex(TagBytes(tag)), Hex(expected));
    // The tag's CXFORM has no alpha terms: set ones are left out.
    tag.ColorTransform.SetAddA(100);
    EXPECT_EQ(Hex(TagBytes(tag)), Hex(expected));
    EXPECT_EQ(tag.MinVersion(), 2);

    TSWFDefineButtonCxform copy;
    copy.Assign(tag);
    EXPECT_EQ(Hex(TagBytes(copy)), Hex(expected));
}

// --- DefineButtonSound

TEST(DefineButtonSound, OnlyOverUpToIdle) {
    TSWFDefineButtonSound tag;
    tag.ButtonId = 2;
    tag.SoundOverUpToIdle().SoundId = 3;
    EXPECT_TRUE(tag.HasSound(bseOverUpToIdle));
    EXPECT_FALSE(tag.HasSound(bseIdleToOverUp));
    EXPECT_EQ(Hex(TagBytes(tag)), Hex(Bytes({
                                      0x4B, 0x04, // code 17, length 11
                                      0x02, 0x00, // ButtonId 2
                                      0x03, 0x00, // OverUpToIdle: SoundId 3
                                      0x00,       //   SOUNDINFO: no fields
                                      0x00, 0x00, // IdleToOverUp: none
                                      0x00, 0x00, // OverUpToOverDown: none
                                      0x00, 0x00, // OverDownToOverUp: none
                                  })));
    EXPECT_EQ(tag.MinVersion(), 2);
}

// Each transition alone shows the order of the four slots.
TEST(DefineButtonSound, EachTransitionInItsSlot) {
    using Accessor = std::function<TSWFStartSound&(TSWFDefineButtonSound&)>;
    const std::pair<Accessor, size_t> rows[] = {
        {[](TSWFDefineButtonSound& t) -> TSWFStartSound& { return t.SoundOverUpToIdle(); }, 0},
        {[](TSWFDefineButtonSound& t) -> TSWFStartSound& { return t.SoundIdleToOverUp(); }, 1},
        {[](TSWFDefineButtonSound& t) -> TSWFStartSound& { return t.SoundOverUpToOverDown(); }, 2},
        {[](TSWFDefineButtonSound& t) -> TSWFStartSound& { return t.SoundOverDownToOverUp(); }, 3},
    };
    for (const auto& [access, slot] : rows) {
        SCOPED_TRACE(slot);
        TSWFDefineButtonSound tag;
        tag.ButtonId = 1;
        TSWFStartSound& sound = access(tag);
        sound.SoundId = 9;
        sound.SetLoopCount(2);
        std::string expected = Bytes({0x01, 0x00}); // ButtonId
        for (size_t i = 0; i < 4; ++i)
            expected += i == slot ? Bytes({0x09, 0x00,   // SoundId 9
                                           0x04,         // SOUNDINFO: HasLoops
                                           0x02, 0x00})  // LoopCount 2
                                  : Bytes({0x00, 0x00}); // no sound
        EXPECT_EQ(Hex(BodyBytes(tag)), Hex(expected));

        TSWFDefineButtonSound copy;
        copy.Assign(tag);
        EXPECT_EQ(Hex(BodyBytes(copy)), Hex(expected));
    }
}

TEST(DefineButtonSound, AccessedSoundWithoutIdIsNone) {
    TSWFDefineButtonSound tag;
    tag.ButtonId = 1;
    tag.SoundIdleToOverUp().SetLoopCount(3); // SoundId stays 0
    EXPECT_TRUE(tag.HasSound(bseIdleToOverUp));
    EXPECT_EQ(Hex(BodyBytes(tag)),
              Hex(Bytes({0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00})));
}

} // namespace
} // namespace pictova
