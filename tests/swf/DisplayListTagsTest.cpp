#include "swf/DisplayListTags.h"
#include "tests/support/Capture.h"
#include "tests/support/SwfWalker.h"

#include <gtest/gtest.h>

#include <functional>

namespace pictova {
namespace {

using test::BodyBytes;
using test::Bytes;
using test::Hex;
using test::TagBytes;

TEST(PlaceObject2, EachOptionalPartAlone) {
    struct Row {
        const char* Name;
        std::function<void(TSWFPlaceObject2&)> Set;
        std::string Expected; // whole body, depth 1
    };
    const std::vector<Row> rows = {
        {"move only", [](TSWFPlaceObject2& p) { p.PlaceFlagMove = true; },
         Bytes({0x01,          // flags: Move
                0x01, 0x00})}, // Depth 1
        {"character", [](TSWFPlaceObject2& p) { p.SetCharacterId(7); },
         Bytes({0x02,          // flags: HasCharacter
                0x01, 0x00,    // Depth 1
                0x07, 0x00})}, // CharacterId 7
        {"matrix", [](TSWFPlaceObject2& p) { p.Matrix().SetTranslate(20, 0); },
         Bytes({0x04,                // flags: HasMatrix
                0x01, 0x00,          // Depth 1
                0x0C, 0xA0, 0x00})}, // MATRIX: no scale, no rotate, NTranslateBits 6, 20, 0
        {"colour transform without terms", [](TSWFPlaceObject2& p) { p.ColorTransform(); },
         Bytes({0x08,       // flags: HasColorTransform
                0x01, 0x00, // Depth 1
                0x00})},    // CXFORMWITHALPHA: HasAdd 0, HasMult 0
        {"ratio", [](TSWFPlaceObject2& p) { p.SetRatio(300); },
         Bytes({0x10,          // flags: HasRatio
                0x01, 0x00,    // Depth 1
                0x2C, 0x01})}, // Ratio 300
        {"name", [](TSWFPlaceObject2& p) { p.SetName("pic"); },
         Bytes({0x20,                      // flags: HasName
                0x01, 0x00,                // Depth 1
                0x70, 0x69, 0x63, 0x00})}, // Name "pic"
        {"clip depth", [](TSWFPlaceObject2& p) { p.SetClipDepth(9); },
         Bytes({0x40,          // flags: HasClipDepth
                0x01, 0x00,    // Depth 1
                0x09, 0x00})}, // ClipDepth 9
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        TSWFPlaceObject2 place;
        place.Depth = 1;
        row.Set(place);
        EXPECT_EQ(Hex(BodyBytes(place)), Hex(row.Expected));
        EXPECT_EQ(place.MinVersion(), 3);

        TSWFPlaceObject2 copy;
        copy.Assign(place);
        EXPECT_EQ(Hex(BodyBytes(copy)), Hex(row.Expected));
    }
}

TEST(PlaceObject2, FramedMoveWithMatrix) {
    TSWFPlaceObject2 place;
    place.PlaceFlagMove = true;
    place.Depth = 3;
    place.Matrix().SetTranslate(20, 0);
    EXPECT_EQ(Hex(TagBytes(place)), "86 06 "     // code 26, length 6
                                    "05 "        // flags: HasMatrix, Move
                                    "03 00 "     // Depth 3
                                    "0C A0 00"); // MATRIX translate (20, 0)
}

TEST(PlaceObject2, ColourTransformKeepsAlphaUnlessAlphaTermsAreSet) {
    TSWFPlaceObject2 place;
    place.ColorTransform().SetMultR(128);
    // HasAdd 0, HasMult 1, Nbits 10; 128, 0, 0, then alpha 256 (unchanged).
    const std::string cx = BodyBytes(place).substr(3);
    test::BitReader bits(cx);
    EXPECT_EQ(bits.Bits(1), 0u);
    EXPECT_EQ(bits.Bits(1), 1u);
    const unsigned n = bits.Bits(4);
    EXPECT_EQ(bits.SignedBits(n), 128);
    EXPECT_EQ(bits.SignedBits(n), 0);
    EXPECT_EQ(bits.SignedBits(n), 0);
    EXPECT_EQ(bits.SignedBits(n), 256);

    TSWFPlaceObject2 faded;
    faded.ColorTransform().SetMultA(64);
    test::BitReader b2(BodyBytes(faded).substr(3));
    b2.Bits(2);
    const unsigned n2 = b2.Bits(4);
    for (int i = 0; i < 3; ++i)
        b2.SignedBits(n2);
    EXPECT_EQ(b2.SignedBits(n2), 64);
}

TEST(PlaceObject2, NameFlagFollowsTheName) {
    TSWFPlaceObject2 place;
    place.SetName("a");
    EXPECT_TRUE(place.PlaceFlagHasName());
    place.SetName("");
    EXPECT_FALSE(place.PlaceFlagHasName());
    EXPECT_EQ(Hex(BodyBytes(place)), "00 00 00");
}

// A sprite placement with one EnterFrame record that runs Stop.
TSWFPlaceObject2 SpriteWithEnterFrame(uint8_t version) {
    TSWFPlaceObject2 place;
    place.SetCharacterId(1);
    place.Depth = 1;
    place.SWFVersion = version;
    place.ClipActions().Add(ClipEventSet(ceEnterFrame)).Add<TSWFActionStop>();
    return place;
}

TEST(PlaceObject2, ClipEventFlagsFollowTheVersion) {
    TSWFPlaceObject2 v6 = SpriteWithEnterFrame(6);
    EXPECT_EQ(v6.MinVersion(), 6);
    EXPECT_EQ(Hex(BodyBytes(v6)), "82 "           // flags: HasClipActions, HasCharacter
                                  "01 00 "        // Depth 1
                                  "01 00 "        // CharacterId 1
                                  "00 00 "        // reserved
                                  "02 00 00 00 "  // AllEventFlags: EnterFrame
                                  "02 00 00 00 "  // record EventFlags: EnterFrame
                                  "02 00 00 00 "  // ActionRecordSize 2
                                  "07 00 "        // ActionStop, ActionEndFlag
                                  "00 00 00 00"); // ClipActionEndFlag

    TSWFPlaceObject2 v5 = SpriteWithEnterFrame(5);
    EXPECT_EQ(v5.MinVersion(), 5);
    EXPECT_EQ(Hex(BodyBytes(v5)), "82 01 00 01 00 "
                                  "00 00 "       // reserved
                                  "02 00 "       // AllEventFlags: EnterFrame
                                  "02 00 "       // record EventFlags
                                  "02 00 00 00 " // ActionRecordSize 2
                                  "07 00 "       // ActionStop, ActionEndFlag
                                  "00 00");      // ClipActionEndFlag

    // Below 5 the record needs SWF 5 and is written for it.
    TSWFPlaceObject2 old = SpriteWithEnterFrame(3);
    EXPECT_EQ(old.MinVersion(), 5);
    EXPECT_EQ(Hex(BodyBytes(old)), Hex(BodyBytes(v5)));
    EXPECT_EQ(old.SWFVersion, 5);
}

TEST(PlaceObject2, EventBitsOfBothWidths) {
    struct Row {
        TSWFClipEvent Event;
        std::string Flags5;
        std::string Flags6;
    };
    const std::vector<Row> rows = {
        {ceKeyUp, "80 00", "80 00 00 00"},    {ceLoad, "01 00", "01 00 00 00"},
        {ceDragOver, "00 80", "00 80 00 00"}, {ceData, "00 01", "00 01 00 00"},
        {ceConstruct, "", "00 00 04 00"},     {ceDragOut, "", "00 00 01 00"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(int(row.Event));
        for (uint8_t version : {uint8_t(5), uint8_t(6)}) {
            TSWFPlaceObject2 place;
            place.SWFVersion = version;
            place.ClipActions().Add(ClipEventSet(row.Event));
            const std::string body = BodyBytes(place);
            // flags byte, depth, reserved word, then AllEventFlags.
            const bool wide = version == 6 || row.Flags5.empty();
            const std::string all = body.substr(5, wide ? 4 : 2);
            EXPECT_EQ(Hex(all), wide ? row.Flags6 : row.Flags5);
        }
    }
}

TEST(PlaceObject2, KeyPressNeedsTheWideFlagsAndCarriesItsKey) {
    TSWFPlaceObject2 place;
    place.SWFVersion = 5;
    TSWFClipActionRecord& r = place.ClipActions().Add(ClipEventSet(ceRelease), 0x41);
    r.Add<TSWFActionPlay>();
    EXPECT_EQ(r.EventFlags, ClipEventSet(ceRelease) | ClipEventSet(ceKeyPress));
    // SWF 5 has no KeyPress flag: the placement needs SWF 6.
    EXPECT_EQ(place.MinVersion(), 6);
    EXPECT_EQ(Hex(BodyBytes(place)), "80 00 00 "
                                     "00 00 "       // reserved
                                     "00 08 02 00 " // AllEventFlags: Release, KeyPress
                                     "00 08 02 00 " // record EventFlags
                                     "03 00 00 00 " // ActionRecordSize 3
                                     "41 "          // KeyCode 'A'
                                     "06 00 "       // ActionPlay, ActionEndFlag
                                     "00 00 00 00");
    r.SetKeyCode(0);
    EXPECT_EQ(r.EventFlags, ClipEventSet(ceRelease));
}

TEST(PlaceObject2, ClipActionRecordsEndWithTheirEndFlag) {
    struct Row {
        const char* Name;
        std::function<void(TSWFActionList&)> Fill;
        std::string Actions; // the record's actions as written
    };
    const std::vector<Row> rows = {
        {"no actions", [](TSWFActionList&) {}, "00"},
        // The If's target is the end of the code: the end flag still follows.
        {"ending in a marker",
         [](TSWFActionList& l) {
             auto& branch = l.Add<TSWFActionIf>();
             l.Add<TSWFActionPlay>();
             l.AddMarker(&branch.BranchMarker(), false);
         },
         "9D 02 00 01 00 06 00"},
        {"raw block with its end byte",
         [](TSWFActionList& l) {
             l.Add<TSWFActionByteCode>().SetBytes(Bytes({0x06, 0x00}));
         },
         "06 00"},
        {"raw block without end byte",
         [](TSWFActionList& l) { l.Add<TSWFActionByteCode>().SetBytes(Bytes({0x06})); }, "06 00"},
        {"empty raw block", [](TSWFActionList& l) { l.Add<TSWFActionByteCode>(); }, "00"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        TSWFPlaceObject2 place;
        place.SWFVersion = 6;
        row.Fill(place.ClipActions().Add(ClipEventSet(ceLoad)));
        const std::string body = BodyBytes(place);
        // 3 bytes flags and depth, 2 reserved, 4 all events, 4 record events.
        const std::string sizeField = body.substr(13, 4);
        const size_t size = uint8_t(sizeField[0]);
        EXPECT_EQ(Hex(body.substr(17, size)), row.Actions);
        EXPECT_EQ(Hex(body.substr(17 + size)), "00 00 00 00");
    }
}

TEST(PlaceObject2, ClipActionsWithoutRecordsAreNotWritten) {
    TSWFPlaceObject2 place;
    place.ClipActions();
    EXPECT_TRUE(place.PlaceFlagHasClipActions());
    EXPECT_EQ(Hex(BodyBytes(place)), "00 00 00");
    EXPECT_EQ(place.MinVersion(), 3);
    // A record without events would read as the end of the records.
    place.ClipActions().Add(0).Add<TSWFActionPlay>();
    EXPECT_EQ(Hex(BodyBytes(place)), "00 00 00");
}

TEST(PlaceObject2, CopiesClipActionsRecordByRecord) {
    TSWFPlaceObject2 place = SpriteWithEnterFrame(6);
    place.ClipActions().Add(ClipEventSet(ceData), 0x20).Add<TSWFActionNextFrame>();
    TSWFPlaceObject2 copy;
    copy.Assign(place);
    EXPECT_EQ(Hex(BodyBytes(copy)), Hex(BodyBytes(place)));
    ASSERT_EQ(copy.ClipActions().Records.size(), 2u);
    EXPECT_EQ(copy.ClipActions().Records[1]->KeyCode(), 0x20);
    EXPECT_NE(&copy.ClipActions().Records[0]->Last(), &place.ClipActions().Records[0]->Last());
}

TEST(PlaceObject, BodyAndOptionalColourTransform) {
    TSWFPlaceObject place;
    place.SetCharacterId(2);
    place.Depth = 5;
    EXPECT_EQ(Hex(TagBytes(place)), "05 01 " // code 4, length 5
                                    "02 00 " // CharacterId 2
                                    "05 00 " // Depth 5
                                    "00");   // MATRIX: identity
    place.HasColorTransform = true;
    EXPECT_EQ(Hex(BodyBytes(place)), "02 00 05 00 00 00"); // CXFORM without terms
    place.HasColorTransform = false;
    place.ColorTransform.SetAddA(5); // alpha terms have no place in CXFORM
    place.ColorTransform.SetAddR(-1);
    // HasAdd 1, HasMult 0, Nbits 2, AddR -1 (11), AddG 0, AddB 0, padding.
    EXPECT_EQ(Hex(BodyBytes(place)), "02 00 05 00 00 8B 00");
    EXPECT_EQ(place.MinVersion(), 1);
}

TEST(RemoveObject, Bodies) {
    TSWFRemoveObject remove;
    remove.CharacterId = 3;
    remove.Depth = 4;
    EXPECT_EQ(Hex(TagBytes(remove)), "44 01 03 00 04 00"); // code 5, length 4
    EXPECT_EQ(remove.MinVersion(), 1);
    TSWFRemoveObject2 remove2;
    remove2.Depth = 4;
    EXPECT_EQ(Hex(TagBytes(remove2)), "02 07 04 00"); // code 28, length 2
    EXPECT_EQ(remove2.MinVersion(), 3);
}

} // namespace
} // namespace pictova
