#include "movie/FlashPlaceObject.h"
#include "movie/FlashActionScript.h"
#include "movie/FlashMovie.h"
#include "movie/FlashShape.h"
#include "swf/ActionTags.h"
#include "tests/support/Capture.h"
#include "tests/support/SwfWalker.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <span>
#include <stdexcept>
#include <utility>
#include <vector>

namespace pictova {
namespace {

using test::BodyBytes;
using test::Hex;
using test::Saved;

std::string Body(TFlashPlaceObject& place) {
    return BodyBytes(place.Tag());
}

uint8_t Flags(TFlashPlaceObject& place) {
    return uint8_t(Body(place)[0]);
}

// Stands in for the sprite character: a visual object with a timeline.
class TTestSprite : public TFlashVisualObject {
public:
    using TFlashVisualObject::TFlashVisualObject;
    bool IsSprite() const override { return true; }
    void WriteToStream(TBitsEngine&) override {}
};

// --- Translation, scale, rotation

TEST(FlashPlaceObject, ZeroTranslationAddsNoMatrixUnlessMoving) {
    TFlashMovie m(0, 0, 100, 100, 12, true);
    TFlashShape& shape = m.AddRectangle(0, 0, 10, 10);
    TFlashPlaceObject& fresh = m.PlaceObject(shape, 1);
    fresh.SetTranslate(0, 0);
    EXPECT_FALSE(fresh.Tag().PlaceFlagHasMatrix());
    EXPECT_EQ(Flags(fresh), 0x02); // HasCharacter only

    TFlashPlaceObject& moving = m.PlaceObject(shape, 1);
    moving.SetMove(true);
    moving.SetTranslate(0, 0);
    EXPECT_EQ(Flags(moving), 0x07); // HasMatrix, HasCharacter, Move
    EXPECT_EQ(moving.Tag().Matrix().TranslateX, 0);

    // A placement that already has a matrix takes (0, 0) too.
    TFlashPlaceObject& back = m.PlaceObject(shape, 2);
    back.SetTranslate(5, 6);
    back.SetTranslate(0, 0);
    EXPECT_EQ(back.Tag().Matrix().TranslateX, 0);
    EXPECT_EQ(back.Tag().Matrix().TranslateY, 0);
}

TEST(FlashPlaceObject, TranslationsBecomeTwips) {
    TFlashMovie pixels(0, 0, 100, 100, 12, true);
    TFlashShape& shape = pixels.AddRectangle(0, 0, 10, 10);
    TFlashPlaceObject& p = pixels.PlaceObject(shape, 1);
    p.SetX(10);
    EXPECT_EQ(p.Tag().Matrix().TranslateX, 200);
    p.SetY(-3);
    EXPECT_EQ(p.Tag().Matrix().TranslateY, -60);
    EXPECT_EQ(p.Tag().Matrix().TranslateX, 200) << "SetY keeps X";
    p.SetTranslate(3, 4);
    EXPECT_EQ(p.Tag().Matrix().TranslateX, 60);
    EXPECT_EQ(p.Tag().Matrix().TranslateY, 80);

    // SetX follows the placed object's units, SetTranslate the movie's.
    shape.IgnoreMovieUnits = true;
    p.SetX(10);
    EXPECT_EQ(p.Tag().Matrix().TranslateX, 10);

    TFlashMovie twips(0, 0, 2000, 2000, 12, false);
    TFlashShape& s2 = twips.AddRectangle(0, 0, 10, 10);
    TFlashPlaceObject& t = twips.PlaceObject(s2, 1);
    t.SetTranslate(3, 4);
    EXPECT_EQ(t.Tag().Matrix().TranslateX, 3);
}

struct TMatrixTerms {
    int32_t ScaleX, ScaleY, Skew1, Skew0;
};

TMatrixTerms Terms(TFlashPlaceObject& p) {
    const TSWFMatrix& m = p.Tag().Matrix();
    return {m.ScaleX, m.ScaleY, m.RotateSkew1, m.RotateSkew0};
}

TEST(FlashPlaceObject, ScaleAndRotateInSixteenDotSixteen) {
    TFlashMovie m(0, 0, 100, 100, 12, true);
    TFlashShape& shape = m.AddRectangle(0, 0, 10, 10);
    struct TRow {
        const char* Name;
        std::function<void(TFlashPlaceObject&)> Apply;
        TMatrixTerms Expected;
    };
    const std::vector<TRow> rows = {
        {"half scale", [](TFlashPlaceObject& p) { p.SetScale(0.5f, 0.5f); }, {32768, 32768, 0, 0}},
        // cos 90 degrees is a little off zero in floating point: truncated to 0.
        {"90 on fresh", [](TFlashPlaceObject& p) { p.SetRotate(90); }, {0, 0, 65536, -65536}},
        {"unit scale then 45",
         [](TFlashPlaceObject& p) {
             p.SetScale(1, 1);
             p.SetRotate(45);
         },
         {46340, 46340, 46340, -46340}},
        {"scale 2 then 90",
         [](TFlashPlaceObject& p) {
             p.SetScale(2, 3);
             p.SetRotate(90);
         },
         {0, 0, 196608, -131072}},
        // Scaling after rotating replaces the diagonal terms only.
        {"90 then scale",
         [](TFlashPlaceObject& p) {
             p.SetRotate(90);
             p.SetScale(2, 2);
         },
         {131072, 131072, 65536, -65536}},
    };
    for (const TRow& row : rows) {
        TFlashPlaceObject& p = m.PlaceObject(shape, 1);
        row.Apply(p);
        const TMatrixTerms t = Terms(p);
        EXPECT_EQ(t.ScaleX, row.Expected.ScaleX) << row.Name;
        EXPECT_EQ(t.ScaleY, row.Expected.ScaleY) << row.Name;
        EXPECT_EQ(t.Skew1, row.Expected.Skew1) << row.Name;
        EXPECT_EQ(t.Skew0, row.Expected.Skew0) << row.Name;
    }

    // Rotations accumulate: 30 + 30 is 60 degrees (within the truncation).
    TFlashPlaceObject& twice = m.PlaceObject(shape, 1);
    twice.SetRotate(30);
    twice.SetRotate(30);
    const TMatrixTerms t = Terms(twice);
    EXPECT_LE(std::abs(t.ScaleX - 32768), 2);
    EXPECT_LE(std::abs(t.ScaleY - 32768), 2);
    EXPECT_LE(std::abs(t.Skew1 - 56755), 2);
    EXPECT_LE(std::abs(t.Skew0 + 56755), 2);
}

TEST(FlashPlaceObject, ColourTransformCarriesAlpha) {
    TFlashMovie m(0, 0, 100, 100, 12, true);
    TFlashShape& shape = m.AddRectangle(0, 0, 10, 10);
    TFlashPlaceObject& p = m.PlaceObject(shape, 1);
    p.ColorTransform().SetAddA(-128);
    EXPECT_TRUE(p.ColorTransform().GetHasAlpha());
    EXPECT_EQ(Hex(Body(p)), "0A "    // flags: HasColorTransform, HasCharacter
                            "01 00 " // Depth 1
                            "01 00 " // CharacterId 1
                            // CXFORMWITHALPHA: HasAdd 1, HasMult 0, Nbits 9,
                            // AddR 0, AddG 0, AddB 0, AddA -128 (1 1000 0000)
                            "A4 00 00 00 60 00");
}

// --- Clip events

TEST(FlashPlaceObject, ClipEventsBelongToSpritePlacements) {
    TFlashMovie m(0, 0, 100, 100, 12, true);
    TFlashShape& shape = m.AddRectangle(0, 0, 10, 10);
    TFlashPlaceObject& ofShape = m.PlaceObject(shape, 1);
    EXPECT_EQ(ofShape.ClipScript(), nullptr);
    EXPECT_EQ(ofShape.ClipEventRecord(ceEnterFrame, true), nullptr);
    EXPECT_EQ(ofShape.OnEnterFrame(), nullptr);
    EXPECT_FALSE(ofShape.Tag().PlaceFlagHasClipActions());
    EXPECT_EQ(ofShape.MinVersion(), 3);

    auto& sprite = m.AddCharacter(std::make_unique<TTestSprite>());
    TFlashPlaceObject& place = m.PlaceObject(sprite, 2);
    ASSERT_NE(place.ClipScript(), nullptr);
    EXPECT_EQ(&place.ClipScript()->Actions(), place.ClipActionList());
    EXPECT_EQ(place.ClipEventRecord(ceLoad, false), nullptr);
    EXPECT_FALSE(place.Tag().PlaceFlagHasClipActions()) << "looking creates nothing";
    EXPECT_EQ(place.MinVersion(), 3);

    TSWFClipActionRecord* record = place.ClipEventRecord(6, true);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->EventFlags, ClipEventSet(ceEnterFrame));
    EXPECT_EQ(record->KeyCode(), 0);
    EXPECT_EQ(place.ClipEventRecord(6, true), record);
    EXPECT_EQ(place.Tag().ClipActions().Records.size(), 1u);
    EXPECT_EQ(place.MinVersion(), 5);

    // A record whose event set holds the event is found, not doubled.
    place.Tag().ClipActions().Add(ClipEventSet(ceLoad) | ClipEventSet(ceUnload));
    EXPECT_EQ(place.ClipEventRecord(ceUnload, true), place.Tag().ClipActions().Records[1].get());
    EXPECT_EQ(place.Tag().ClipActions().Records.size(), 2u);
}

// A sprite placed in a SWF 5 movie; the test gives it its clip actions.
TFlashPlaceObject& PlaceSpriteInVersion5(TFlashMovie& m) {
    m.SetVersion(5);
    auto& sprite = m.AddCharacter(std::make_unique<TTestSprite>());
    return m.PlaceObject(sprite, 1);
}

// The written movie's version and the body of its only PlaceObject2.
std::pair<int, std::string> VersionAndPlacement(TFlashMovie& m) {
    m.MakeStream();
    const test::WalkedMovie walked = test::WalkSwf(Saved(m));
    const auto places = walked.TagsWithCode(tagPlaceObject2);
    EXPECT_EQ(places.size(), 1u);
    return {walked.Version, places.empty() ? std::string() : Hex(places[0]->Body)};
}

TEST(FlashPlaceObject, OnEnterFrameScriptLandsInTheClipActions) {
    TFlashMovie m(0, 0, 100, 100, 12, true);
    TFlashPlaceObject& place = PlaceSpriteInVersion5(m);
    TFlashActionScript* script = place.OnEnterFrame();
    ASSERT_NE(script, nullptr);
    EXPECT_EQ(&script->Actions(), place.ClipEventRecord(ceEnterFrame, false));
    EXPECT_EQ(script->GetOwner(), &m);
    script->Stop();
    m.ShowFrame();
    const auto [version, body] = VersionAndPlacement(m);
    EXPECT_EQ(version, 5);
    EXPECT_EQ(body, "82 "          // flags: HasClipActions, HasCharacter
                    "01 00 "       // Depth 1
                    "01 00 "       // CharacterId 1
                    "00 00 "       // reserved
                    "02 00 "       // AllEventFlags (SWF 5: 16 bits): EnterFrame
                    "02 00 "       // record EventFlags: EnterFrame
                    "02 00 00 00 " // ActionRecordSize 2
                    "07 00 "       // ActionStop, ActionEndFlag
                    "00 00");      // ClipActionEndFlag (SWF 5)
}

TEST(FlashPlaceObject, EventsOfSWF6RaiseTheMovieVersion) {
    TFlashMovie m(0, 0, 100, 100, 12, true);
    TFlashPlaceObject& place = PlaceSpriteInVersion5(m);
    place.ClipEventScript(ceDragOut)->Play();
    EXPECT_EQ(place.MinVersion(), 6);
    m.ShowFrame();
    m.MakeStream();
    // The 32-bit flags the tag writes need a movie that says SWF 6.
    EXPECT_EQ(test::WalkSwf(Saved(m)).Version, 6);
}

// A version-5 placement written before an object that raises the file to 6
// once got 16-bit clip-event flags in a file that declares 32-bit ones.
TEST(FlashPlaceObject, ClipEventsTakeTheWidthOfTheFileVersionFromLaterObjects) {
    TFlashMovie m(0, 0, 100, 100, 12, true);
    PlaceSpriteInVersion5(m).OnEnterFrame()->Stop();
    m.ShowFrame();
    m.AddObject(std::make_unique<TSWFDoInitAction>()); // SWF 6
    m.ShowFrame();
    const auto [version, body] = VersionAndPlacement(m);
    EXPECT_EQ(version, 6);
    EXPECT_EQ(body, "82 "           // flags: HasClipActions, HasCharacter
                    "01 00 "        // Depth 1
                    "01 00 "        // CharacterId 1
                    "00 00 "        // reserved
                    "02 00 00 00 "  // AllEventFlags (SWF 6: 32 bits): EnterFrame
                    "02 00 00 00 "  // record EventFlags: EnterFrame
                    "02 00 00 00 "  // ActionRecordSize 2
                    "07 00 "        // ActionStop, ActionEndFlag
                    "00 00 00 00"); // ClipActionEndFlag (SWF 6)
}

TEST(FlashPlaceObject, CopyKeepsItsOwnClipScript) {
    TFlashMovie m(0, 0, 100, 100, 12, true);
    auto& sprite = m.AddCharacter(std::make_unique<TTestSprite>());
    TFlashPlaceObject& source = m.PlaceObject(sprite, 4);
    source.SetX(7);
    source.OnEnterFrame()->Stop();

    TFlashPlaceObject copy(nullptr, nullptr, 0);
    copy.Assign(source);
    EXPECT_EQ(copy.GetOwner(), &m);
    EXPECT_EQ(copy.VisualObject(), &sprite);
    EXPECT_EQ(copy.Depth(), 4);
    EXPECT_EQ(copy.Tag().Matrix().TranslateX, 140);
    ASSERT_NE(copy.ClipScript(), nullptr);
    EXPECT_EQ(copy.ClipScript()->GetOwner(), &m);
    // The copy's script writes into the copy's record.
    TSWFClipActionRecord* own = copy.ClipEventRecord(ceEnterFrame, false);
    ASSERT_NE(own, nullptr);
    EXPECT_NE(own, source.ClipEventRecord(ceEnterFrame, false));
    EXPECT_EQ(&copy.ClipScript()->Actions(), own);
    copy.ClipScript()->Play();
    EXPECT_EQ(own->Count(), 2u);
    EXPECT_EQ(source.ClipEventRecord(ceEnterFrame, false)->Count(), 1u);

    // Copying a shape placement over it drops the script with the records.
    TFlashShape& shape = m.AddRectangle(0, 0, 10, 10);
    copy.Assign(m.PlaceObject(shape, 5));
    EXPECT_EQ(copy.ClipScript(), nullptr);
    EXPECT_EQ(copy.OnEnterFrame(), nullptr);
    EXPECT_FALSE(copy.Tag().PlaceFlagHasClipActions());
    EXPECT_EQ(copy.MinVersion(), 3);
}

// --- Video placement

// Three video frames of one byte each and ten two-byte audio frames behind
// an MPEG 1 Layer III header (1152 samples per frame).
class TFakeVideo : public TFlashVideoSource {
public:
    uint32_t FrameCount() const override { return Frames; }
    uint8_t Codec() const override { return 2; }
    std::span<const uint8_t> FrameData(uint32_t frame) override {
        Buffer = {uint8_t(0xD0 + frame)};
        return Buffer;
    }
    uint8_t AudioFormat() const override { return Format; }
    std::array<uint8_t, 4> AudioHeader() const override { return Header; }
    size_t AudioFrameCount() const override { return AudioFrames; }
    std::span<const uint8_t> AudioFrame(size_t index) override {
        Buffer = {uint8_t(0xA0 + index), uint8_t(0xA0 + index)};
        return Buffer;
    }

    uint32_t Frames = 3;
    size_t AudioFrames = 10;
    // MP3 (2) << 4 | 44 kHz (3) << 2 | 16-bit << 1 | mono
    uint8_t Format = 0x2E;
    std::array<uint8_t, 4> Header{0xFF, 0xFB, 0x90, 0x00};
    std::vector<uint8_t> Buffer;
};

std::vector<test::WalkedTag> MovieTags(TFlashMovie& m) {
    m.MakeStream();
    return test::WalkSwf(Saved(m)).Tags;
}

std::vector<uint16_t> Codes(const std::vector<test::WalkedTag>& tags) {
    std::vector<uint16_t> codes;
    for (const auto& t : tags)
        codes.push_back(t.Code);
    return codes;
}

TEST(FlashPlaceVideo, EachFrameWritesSoundVideoAndPlacementBeforeShowFrame) {
    TFakeVideo source;
    TFlashMovie m(0, 0, 100, 100, 20, true);
    TFlashPlaceVideo& video = m.PlaceVideo(source, 7, 3);
    EXPECT_EQ(video.CharacterId(), 7);
    EXPECT_TRUE(video.AutoRepeat);
    video.WithSound = true;
    m.ShowFrame(6);
    const std::vector<test::WalkedTag> tags = MovieTags(m);
    const std::vector<uint16_t> expected = {
        18, 19, 61, 26, 1, // head and first block
        19, 61, 26, 1,  19, 61, 26, 1,  19, 61,
        26, 1,  19, 61, 26, 1,  61, 26, 1, // the audio has run out
        0};
    ASSERT_EQ(Codes(tags), expected);

    // 44100 Hz / 20 fps = 2205 samples per movie frame; 2205 mod 1152 = 1053.
    EXPECT_EQ(Hex(tags[0].Body), "0E "     // reserved, playback 44 kHz, 16-bit, mono
                                 "2E "     // MP3, 44 kHz, 16-bit, mono
                                 "9D 08 "  // StreamSoundSampleCount 2205
                                 "1D 04"); // LatencySeek 1053
    // First block: (1053 + 2205) div 1152 = 2 frames, and one more.
    EXPECT_TRUE(tags[1].LongHeader);
    EXPECT_EQ(Hex(tags[1].Body), "80 0D "              // SampleCount 3 x 1152
                                 "1D 04 "              // SeekSamples 1053
                                 "A0 A0 A1 A1 A2 A2"); // three audio frames
    EXPECT_EQ(Hex(tags[2].Body), "07 00 "              // StreamID 7
                                 "00 00 "              // FrameNum 0
                                 "D0");                // the frame's data
    EXPECT_EQ(Hex(tags[3].Body), "12 "                 // flags: HasRatio, HasCharacter
                                 "03 00 "              // Depth 3
                                 "07 00 "              // CharacterId 7
                                 "00 00");             // Ratio 0
    // Then the seek is (1053 + 2205) mod 1152 = 954: 3159 div 1152 = 2 frames.
    EXPECT_TRUE(tags[5].LongHeader);
    EXPECT_EQ(Hex(tags[5].Body), "00 09 BA 03 A3 A3 A4 A4");
    EXPECT_EQ(Hex(tags[7].Body), "13 03 00 07 00 01 00"); // Move, ratio 1
    // The fifth frame takes the one audio frame left: seek 657 + 2205 gives 2.
    EXPECT_EQ(Hex(tags[17].Body), "80 04 91 02 A9 A9"); // 1152 samples, seek 657
    // The fourth movie frame starts the video again, as a move.
    EXPECT_EQ(Hex(tags[14].Body), "07 00 00 00 D0");
    EXPECT_EQ(Hex(tags[15].Body), "13 03 00 07 00 00 00");
    EXPECT_EQ(m.FrameCount(), 6);
}

TEST(FlashPlaceVideo, StartFrameAndRepeatBoundTheOutput) {
    TFakeVideo source;
    TFlashMovie m(0, 0, 100, 100, 20, true);
    TFlashPlaceVideo& video = m.PlaceVideo(source, 7, 3);
    video.StartFrame = 2;
    video.AutoRepeat = false;
    m.ShowFrame(6);
    const std::vector<uint16_t> expected = {1, 1, 61, 26, 1, 61, 26, 1, 61, 26, 1, 1, 0};
    const std::vector<test::WalkedTag> tags = MovieTags(m);
    EXPECT_EQ(Codes(tags), expected);
    EXPECT_EQ(Hex(tags[3].Body), "12 03 00 07 00 00 00") << "frame 2 is the video's first";
    EXPECT_EQ(Hex(tags[8].Body), "07 00 02 00 D2");
}

TEST(FlashPlaceVideo, HooksAdjustOrReplaceAFrame) {
    TFakeVideo source;
    TFlashMovie m(0, 0, 100, 100, 20, true);
    TFlashPlaceVideo& video = m.PlaceVideo(source, 7, 3);
    std::vector<TFlashVideoFrameInfo> custom;
    video.OnPlaceFrame = [](TBitsEngine&, const TFlashVideoFrameInfo& info,
                            TFlashPlaceObject& place) {
        place.SetName("v" + std::to_string(info.VideoFrame));
    };
    std::vector<std::pair<uint16_t, uint16_t>> written;
    video.VideoFrameWriter = [&](TBitsEngine& be, uint16_t stream, uint16_t frame,
                                 std::span<const uint8_t> data) {
        written.emplace_back(stream, frame);
        EXPECT_EQ(data.size(), 1u);
        be.WriteWord(uint16_t(tagVideoFrame * 64)); // an empty tag stands in for it
    };
    m.ShowFrame(2);
    std::vector<test::WalkedTag> tags = MovieTags(m);
    ASSERT_EQ(tags.size(), 7u);
    EXPECT_EQ(Hex(tags[1].Body), "32 03 00 07 00 00 00 76 30 00"); // name "v0"
    EXPECT_EQ(written, (std::vector<std::pair<uint16_t, uint16_t>>{{7, 0}, {7, 1}}));

    video.OnCustomFrame = [&](TBitsEngine&, const TFlashVideoFrameInfo& info) {
        custom.push_back(info);
    };
    tags = MovieTags(m);
    EXPECT_EQ(Codes(tags), (std::vector<uint16_t>{1, 1, 0}));
    ASSERT_EQ(custom.size(), 2u);
    EXPECT_EQ(custom[1].Frame, 1u);
    EXPECT_EQ(custom[1].CharacterId, 7);
    EXPECT_EQ(custom[1].Depth, 3);
}

TEST(FlashPlaceVideo, SoundNeedsAnMPEGAudioHeader) {
    TFakeVideo source;
    source.Header = {0x00, 0x00, 0x00, 0x00};
    TFlashMovie m(0, 0, 100, 100, 20, true);
    m.PlaceVideo(source, 7, 3).WithSound = true;
    m.ShowFrame();
    EXPECT_THROW(m.MakeStream(), std::runtime_error);

    // A video of no frames writes nothing rather than dividing by zero.
    TFakeVideo empty;
    empty.Frames = 0;
    TFlashMovie n(0, 0, 100, 100, 20, true);
    n.PlaceVideo(empty, 7, 3);
    n.ShowFrame();
    EXPECT_EQ(Codes(MovieTags(n)), (std::vector<uint16_t>{1, 0}));
}

} // namespace
} // namespace pictova
