#include "movie/FlashSprite.h"

#include "movie/FlashActionScript.h"
#include "movie/FlashMovie.h"
#include "movie/FlashPlaceObject.h"
#include "movie/FlashShape.h"
#include "swf/ControlTags.h"
#include "tests/support/Capture.h"
#include "tests/support/SwfWalker.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace pictova {
namespace {

using test::Bytes;
using test::Hex;
using test::TagBytes;
using test::WalkedTag;

std::string Saved(TFlashMovie& m) {
    m.MakeStream();
    std::ostringstream out;
    m.SaveToStream(out);
    return std::move(out).str();
}

// The tags of a written sprite's timeline, End included.
std::vector<WalkedTag> Timeline(const std::string& spriteTag) {
    const WalkedTag outer = test::WalkTags(spriteTag, 0).at(0);
    EXPECT_EQ(outer.Code, tagDefineSprite);
    return test::WalkTags(outer.Body, 4);
}

std::vector<uint16_t> Codes(const std::vector<WalkedTag>& tags) {
    std::vector<uint16_t> codes;
    for (const WalkedTag& t : tags)
        codes.push_back(t.Code);
    return codes;
}

// Where each object stands in the movie's object list.
std::vector<const TBasedSWFObject*> Order(const TFlashMovie& m) {
    std::vector<const TBasedSWFObject*> order;
    for (const auto& object : m.Objects())
        order.push_back(object.get());
    return order;
}

class FlashSprite : public ::testing::Test {
protected:
    TFlashMovie Movie{0, 0, 100, 100, 12, true};
};

TEST_F(FlashSprite, WithoutAFrameItIsWrittenWithOne) {
    Movie.AddRectangle(0, 0, 10, 10); // takes ID 1
    TFlashSprite& sprite = Movie.AddSprite();
    ASSERT_EQ(Movie.Sprites().Count(), 1u);
    EXPECT_EQ(Movie.Sprites()[0], &sprite);
    EXPECT_EQ(sprite.CharacterId(), 2);
    EXPECT_EQ(sprite.Tag().SpriteId, 2);
    EXPECT_EQ(sprite.FrameCount(), 0);
    EXPECT_EQ(sprite.MinVersion(), 3);
    EXPECT_EQ(Hex(TagBytes(sprite)), Hex(Bytes({
                                         0xC8, 0x09, // DefineSprite, length 8
                                         0x02, 0x00, // sprite ID 2
                                         0x01, 0x00, // FrameCount 1
                                         0x40, 0x00, // ShowFrame
                                         0x00, 0x00, // End
                                     })));
    EXPECT_EQ(sprite.FrameCount(), 1);
}

TEST_F(FlashSprite, PlacedCharactersAreDefinedBeforeTheSprite) {
    TFlashShape& before = Movie.AddRectangle(0, 0, 10, 10);
    TFlashSprite& sprite = Movie.AddSprite(&before);
    TFlashShape& between = Movie.AddRectangle(0, 0, 20, 20);
    TFlashShape& after = Movie.AddRectangle(0, 0, 30, 30);
    // An object defined earlier stays where it is.
    EXPECT_EQ(Order(Movie),
              (std::vector<const TBasedSWFObject*>{&before, &sprite, &between, &after}));
    ASSERT_EQ(sprite.ObjectList().Count(), 1u);
    auto& first = dynamic_cast<TFlashPlaceObject&>(sprite.ObjectList()[0]);
    EXPECT_EQ(first.Depth(), 1);
    EXPECT_EQ(first.CharacterId(), before.CharacterId());
    EXPECT_EQ(first.GetOwner(), &Movie);

    // One defined later moves directly in front of the sprite; the rest keep
    // their order.
    sprite.PlaceObject(after, 2);
    EXPECT_EQ(Order(Movie),
              (std::vector<const TBasedSWFObject*>{&before, &after, &sprite, &between}));
    EXPECT_EQ(Movie.Objects().size(), 4u) << "the placement is not part of the movie's list";
    sprite.ShowFrame();
    Movie.ShowFrame();
    const test::WalkedMovie walked = test::WalkSwf(Saved(Movie));
    EXPECT_EQ(Codes(walked.Tags),
              (std::vector<uint16_t>{tagDefineShape2, tagDefineShape2, tagDefineSprite,
                                     tagDefineShape2, tagShowFrame, tagEnd}));
    const auto inner = test::WalkTags(walked.Tags[2].Body, 4);
    EXPECT_EQ(Codes(inner),
              (std::vector<uint16_t>{tagPlaceObject2, tagPlaceObject2, tagShowFrame, tagEnd}));
}

TEST_F(FlashSprite, ShowFrameWritesActionsThenLabelThenFrames) {
    TFlashSprite& sprite = Movie.AddSprite();
    sprite.FrameLabel = "start";
    TFlashActionScript& first = sprite.FrameActions();
    first.Stop();
    sprite.ShowFrame(0); // counts as one
    EXPECT_EQ(sprite.FrameCount(), 1);
    EXPECT_TRUE(sprite.FrameLabel.empty());
    EXPECT_FALSE(sprite.HasFrameActions());
    sprite.ShowFrame(5);
    EXPECT_EQ(sprite.FrameCount(), 6);
    // Left open: a frame not closed is not written.
    EXPECT_NE(&sprite.FrameActions(), &first) << "the next frame gets a new script";

    const std::string bytes = TagBytes(sprite);
    EXPECT_EQ(Hex(bytes.substr(2, 4)), "01 00 06 00"); // sprite ID 1, six frames
    const auto inner = Timeline(bytes);
    EXPECT_EQ(Codes(inner), (std::vector<uint16_t>{tagDoAction, tagFrameLabel, tagShowFrame,
                                                   tagShowFrame, tagShowFrame, tagShowFrame,
                                                   tagShowFrame, tagShowFrame, tagEnd}));
    EXPECT_EQ(Hex(inner[0].Body), "07 00"); // Stop, end of actions
    EXPECT_EQ(inner[1].Body, std::string("start\0", 6));
}

TEST_F(FlashSprite, ATimelineThatEndsInAnEndTagGetsNoSecond) {
    TFlashSprite& sprite = Movie.AddSprite();
    sprite.ShowFrame();
    sprite.ObjectList().Add<TSWFEnd>();
    EXPECT_EQ(Codes(Timeline(TagBytes(sprite))), (std::vector<uint16_t>{tagShowFrame, tagEnd}));
}

// A sprite placed inside a sprite, with a script on every frame of it.
TFlashPlaceObject& PlaceWithEnterFrame(TFlashMovie& movie, TFlashSprite& in) {
    TFlashSprite& inner = movie.AddSprite();
    TFlashPlaceObject& place = in.PlaceObject(inner, 1);
    place.OnEnterFrame()->Stop();
    return place;
}

// The clip-event flags of a written placement with one EnterFrame record:
// after the flags byte, depth and character come the reserved word and the
// flags of all events, 16 bits wide before SWF 6 and 32 bits from 6 on; the
// record's own flags follow. EnterFrame is bit 6 of the first byte.
unsigned EventFlagBytes(const WalkedTag& place) {
    const std::string& b = place.Body;
    EXPECT_EQ(uint8_t(b[0]), 0x82);                // HasClipActions, HasCharacter
    EXPECT_EQ(Hex(b.substr(5, 4)), "00 00 02 00"); // reserved, all events (low word)
    return uint8_t(b[9]) == 0x02 ? 2 : 4;          // the record's flags already, or the high word
}

TEST_F(FlashSprite, ClipActionsInsideRaiseTheVersionAndFollowTheMovies) {
    struct Row {
        const char* Name;
        uint8_t MovieVersion;
        bool InitActions;
        uint8_t FileVersion;
        unsigned FlagBytes;
    };
    const Row rows[] = {
        {"SWF 5 movie", 5, false, 5, 2},
        {"SWF 6 movie", 6, false, 6, 4},
        // The init actions make the file SWF 6: its flags must be read so.
        {"SWF 5 movie, sprite with init actions", 5, true, 6, 4},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        TFlashMovie movie(0, 0, 100, 100, 12, true);
        movie.SetVersion(row.MovieVersion);
        TFlashSprite& outer = movie.AddSprite();
        EXPECT_EQ(outer.MinVersion(), 3);
        PlaceWithEnterFrame(movie, outer);
        EXPECT_EQ(outer.MinVersion(), 5);
        if (row.InitActions) {
            outer.InitActions().Stop();
            EXPECT_EQ(outer.MinVersion(), 6) << "players before SWF 6 skip DoInitAction";
        }
        outer.ShowFrame();
        movie.ShowFrame();
        const test::WalkedMovie walked = test::WalkSwf(Saved(movie));
        EXPECT_EQ(walked.Version, row.FileVersion);
        const auto sprites = walked.TagsWithCode(tagDefineSprite);
        ASSERT_EQ(sprites.size(), 2u);
        const auto inner = test::WalkTags(sprites[1]->Body, 4); // the outer sprite, after its child
        ASSERT_EQ(inner.at(0).Code, tagPlaceObject2);
        EXPECT_EQ(EventFlagBytes(inner[0]), row.FlagBytes);
    }
}

TEST_F(FlashSprite, InitActionsFollowTheSpriteAndNameIt) {
    Movie.SetVersion(6);
    Movie.AddRectangle(0, 0, 10, 10);
    TFlashSprite& sprite = Movie.AddSprite();
    EXPECT_FALSE(sprite.HasInitActions());
    TFlashActionScript& init = sprite.InitActions();
    EXPECT_EQ(&sprite.InitActions(), &init);
    init.Stop();
    Movie.ShowFrame();
    const test::WalkedMovie walked = test::WalkSwf(Saved(Movie));
    EXPECT_EQ(Codes(walked.Tags), (std::vector<uint16_t>{tagDefineShape2, tagDefineSprite,
                                                         tagDoInitAction, tagShowFrame, tagEnd}));
    EXPECT_EQ(Hex(walked.Tags[2].Body), "02 00 "  // sprite ID 2
                                        "07 00"); // Stop, end of actions
}

TEST_F(FlashSprite, ItsPlacementsTakeClipActions) {
    TFlashSprite& sprite = Movie.AddSprite();
    TFlashShape& shape = Movie.AddRectangle(0, 0, 10, 10);
    EXPECT_NE(Movie.PlaceObject(sprite, 1).OnEnterFrame(), nullptr);
    EXPECT_EQ(Movie.PlaceObject(shape, 2).OnEnterFrame(), nullptr);
}

TEST_F(FlashSprite, AssignCopiesTheTimeline) {
    TFlashShape& shape = Movie.AddRectangle(0, 0, 10, 10);
    TFlashSprite& source = Movie.AddSprite(&shape);
    PlaceWithEnterFrame(Movie, source).SetName("child");
    source.FrameActions().Stop();
    source.ShowFrame(2);
    source.InitActions().Stop();

    TFlashSprite copy;
    copy.Assign(source);
    EXPECT_EQ(copy.GetOwner(), &Movie);
    EXPECT_EQ(copy.CharacterId(), source.CharacterId());
    EXPECT_EQ(copy.Tag().SpriteId, source.CharacterId());
    EXPECT_EQ(copy.FrameCount(), 2);
    ASSERT_EQ(copy.ObjectList().Count(), source.ObjectList().Count());
    EXPECT_NE(&copy.ObjectList()[0], &source.ObjectList()[0]) << "a copy, not the same object";
    const std::string written = TagBytes(source);
    EXPECT_EQ(Hex(TagBytes(copy)), Hex(written));

    // The copy stands on its own.
    source.ShowFrame();
    EXPECT_EQ(copy.FrameCount(), 2);
}

TEST_F(FlashSprite, FrameCountStopsAtSixteenBits) {
    TFlashSprite& sprite = Movie.AddSprite();
    sprite.ShowFrame(0xFFFF);
    EXPECT_THROW(sprite.ShowFrame(1), std::runtime_error);
    EXPECT_EQ(sprite.FrameCount(), 0xFFFF);
    EXPECT_EQ(sprite.ObjectList().Count(), 0xFFFFu);
}

} // namespace
} // namespace pictova
