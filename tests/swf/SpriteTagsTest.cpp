#include "swf/SpriteTags.h"
#include "swf/ActionTags.h"
#include "swf/ControlTags.h"
#include "swf/DisplayListTags.h"
#include "tests/support/Capture.h"
#include "tests/support/SwfWalker.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace pictova {
namespace {

using test::BodyBytes;
using test::Bytes;
using test::Hex;
using test::TagBytes;

// A two-frame sprite: a placement in frame 1, nothing new in frame 2.
void FillTwoFrames(TSWFDefineSprite& sprite) {
    sprite.SpriteId = 5;
    sprite.FrameCount = 2;
    auto& place = sprite.ControlTags.Add<TSWFPlaceObject2>();
    place.SetCharacterId(1);
    place.Depth = 1;
    sprite.ControlTags.Add<TSWFShowFrame>();
    sprite.ControlTags.Add<TSWFShowFrame>();
}

TEST(DefineSprite, InnerTagsFrameCountAndEnd) {
    TSWFDefineSprite sprite;
    FillTwoFrames(sprite);
    const std::string bytes = TagBytes(sprite);
    EXPECT_EQ(Hex(bytes), Hex(Bytes({
                              0xD1, 0x09, // code 39, length 17
                              0x05, 0x00, // SpriteId 5
                              0x02, 0x00, // FrameCount 2
                              0x85, 0x06, // PlaceObject2, length 5
                              0x02,       //   flags: HasCharacter
                              0x01, 0x00, //   Depth 1
                              0x01, 0x00, //   CharacterId 1
                              0x40, 0x00, // ShowFrame
                              0x40, 0x00, // ShowFrame
                              0x00, 0x00, // End
                          })));
    const auto inner = test::WalkTags(bytes, 2 + 4);
    ASSERT_EQ(inner.size(), 4u);
    EXPECT_EQ(inner[0].Code, tagPlaceObject2);
    EXPECT_EQ(inner[3].Code, tagEnd);
    EXPECT_EQ(sprite.MinVersion(), 3);
}

TEST(DefineSprite, EndTagOnlyOnce) {
    TSWFDefineSprite empty;
    empty.SpriteId = 5;
    EXPECT_EQ(Hex(BodyBytes(empty)), Hex(Bytes({
                                         0x05, 0x00, // SpriteId 5
                                         0x00, 0x00, // FrameCount 0
                                         0x00, 0x00, // End
                                     })));

    TSWFDefineSprite ended;
    ended.SpriteId = 5;
    ended.FrameCount = 1;
    ended.ControlTags.Add<TSWFShowFrame>();
    ended.ControlTags.Add<TSWFEnd>();
    EXPECT_EQ(Hex(BodyBytes(ended)), Hex(Bytes({
                                         0x05, 0x00, // SpriteId 5
                                         0x01, 0x00, // FrameCount 1
                                         0x40, 0x00, // ShowFrame
                                         0x00, 0x00, // End, the timeline's own
                                     })));
    // An End tag in the middle does not count.
    ended.ControlTags.Add<TSWFShowFrame>();
    EXPECT_EQ(BodyBytes(ended).size(), 12u);
}

TEST(DefineSprite, MinVersionFromItsTimeline) {
    TSWFDefineSprite sprite;
    auto& script = sprite.ControlTags.Add<TSWFDoAction>();
    script.Actions().Add<TSWFActionStop>();
    EXPECT_EQ(sprite.MinVersion(), 3);
    script.Actions().Add<TSWFActionPush>().AddValue(true);
    EXPECT_EQ(sprite.MinVersion(), 5);
}

TEST(DefineSprite, CopiesAreDeep) {
    TSWFDefineSprite source;
    FillTwoFrames(source);
    source.ControlTags.Add<TSWFDoAction>().Actions().Add<TSWFActionStop>();
    const std::string before = TagBytes(source);

    TSWFDefineSprite copy;
    copy.Assign(source);
    EXPECT_EQ(Hex(TagBytes(copy)), Hex(before));
    ASSERT_EQ(copy.ControlTags.Count(), 4u);
    EXPECT_NE(&copy.ControlTags[0], &source.ControlTags[0]);
    EXPECT_NE(dynamic_cast<TSWFPlaceObject2*>(&copy.ControlTags[0]), nullptr);
    EXPECT_TRUE(dynamic_cast<TSWFDoAction&>(copy.ControlTags[3]).OwnsList());

    // Changing the source afterwards leaves the copy as it was.
    dynamic_cast<TSWFPlaceObject2&>(source.ControlTags[0]).Depth = 9;
    dynamic_cast<TSWFDoAction&>(source.ControlTags[3]).Actions().Add<TSWFActionPlay>();
    EXPECT_EQ(Hex(TagBytes(copy)), Hex(before));

    // A copy of the copy works too: copied entries keep their copier.
    TSWFDefineSprite again;
    again.Assign(copy);
    EXPECT_EQ(Hex(TagBytes(again)), Hex(before));
}

TEST(DefineSprite, ObjectWithoutACopierStopsTheCopy) {
    TSWFDefineSprite source;
    source.ControlTags.Add<TSWFShowFrame>();
    // Added as its base class: a copy made as TSWFObject would lose its fields.
    std::unique_ptr<TSWFObject> label = std::make_unique<TSWFFrameLabel>("x");
    source.ControlTags.Add(std::move(label));

    TSWFDefineSprite copy;
    FillTwoFrames(copy);
    const std::string before = TagBytes(copy);
    try {
        copy.Assign(source);
        FAIL() << "copied an object the list cannot copy";
    } catch (const std::logic_error& e) {
        EXPECT_NE(std::string(e.what()).find("object 1"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("code 43"), std::string::npos) << e.what();
    }
    EXPECT_EQ(Hex(TagBytes(copy)), Hex(before));

    // With a copier handed over, it copies.
    TSWFObjectList list;
    list.Add(std::make_unique<TSWFFrameLabel>("y"), [](const TBasedSWFObject& s) {
        auto c = std::make_unique<TSWFFrameLabel>();
        c->Assign(s);
        return std::unique_ptr<TBasedSWFObject>(std::move(c));
    });
    TSWFObjectList copied;
    copied.Assign(list);
    EXPECT_EQ(dynamic_cast<TSWFFrameLabel&>(copied[0]).Name, "y");
}

} // namespace
} // namespace pictova
