#include "movie/FlashMovie.h"
#include "swf/ControlTags.h"
#include "tests/support/Capture.h"
#include "tests/support/SwfWalker.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

namespace pictova {
namespace {

using test::Bytes;
using test::Hex;
using test::Saved;

// A character that writes a ShowFrame-free tag of its own and reports a
// chosen minimum version.
class TTestCharacter : public TFlashIDObject {
public:
    explicit TTestCharacter(uint8_t minVersion = 1) : Min(minVersion) {}
    void Assign(const TBasedSWFObject& source) override { TFlashIDObject::Assign(source); }
    uint8_t MinVersion() const override { return Min; }
    void WriteToStream(TBitsEngine& be) override {
        TSWFFrameLabel tag("c" + std::to_string(CharacterId()));
        tag.WriteToStream(be);
    }
    uint8_t Min;
};

class TCountingSink : public TProgressSink {
public:
    void SetMax(int max) override { FMax = max; }
    int Max() const override { return FMax; }
    void SetPosition(int position) override { Position = Start = position; }
    void Step() override {
        ++Steps;
        ++Position;
    }
    int FMax = 0, Position = 0, Start = -1, Steps = 0;
};

TEST(FlashMovie, BlankMovieGoldenBytes) {
    const auto file = std::filesystem::temp_directory_path() /
                      ("pictova-blank-" + std::to_string(::getpid()) + ".swf");
    MakeBlankMovie(file, SWFRGB{0x11, 0x22, 0x33});
    EXPECT_EQ(Hex(test::ReadFileBytes(file)),
              "46 57 53 05 17 00 00 00 " // FWS 5, 23 bytes
              "10 88 "                   // RECT, 2 bits each: 0, 1, 0, 1 twips
              "00 0A "                   // 10.0 fps in 8.8
              "01 00 "                   // one frame
              "43 02 11 22 33 "          // SetBackgroundColor
              "40 00 "                   // ShowFrame
              "00 00");                  // End
    std::filesystem::remove(file);
}

TEST(FlashMovie, CharactersGetIdsInCreationOrder) {
    TFlashMovie m(0, 0, 100, 100, 20, true);
    auto& a = m.AddCharacter(std::make_unique<TTestCharacter>());
    auto& b = m.AddCharacter(std::make_unique<TTestCharacter>());
    EXPECT_EQ(a.CharacterId(), 1);
    EXPECT_EQ(b.CharacterId(), 2);
    EXPECT_EQ(a.GetOwner(), &m);
    EXPECT_EQ(m.NextCharacterId(), 3);
}

TEST(FlashMovie, ShowFrameClosesFramesWithTheLabelFirst) {
    TFlashMovie m(0, 0, 100, 100, 20, true);
    m.AddCharacter(std::make_unique<TTestCharacter>());
    m.FrameLabel = "start";
    m.ShowFrame(0); // counts as one
    EXPECT_EQ(m.FrameCount(), 1);
    m.ShowFrame(3);
    EXPECT_EQ(m.FrameCount(), 4);
    m.MakeStream();
    const auto walked = test::WalkSwf(Saved(m));
    std::vector<int> codes;
    for (const auto& t : walked.Tags)
        codes.push_back(t.Code);
    EXPECT_EQ(codes, (std::vector<int>{43, 43, 1, 1, 1, 1, 0}));
    EXPECT_EQ(walked.Tags[1].Body, Bytes({'s', 't', 'a', 'r', 't', 0}));
    EXPECT_EQ(walked.FrameCount, 4);
    EXPECT_TRUE(m.FrameLabel.empty());
}

TEST(FlashMovie, VersionOnlyRises) {
    struct Row {
        uint8_t Set, ObjectMin, Expected;
        bool Compressed;
    };
    const Row rows[] = {{6, 7, 7, false}, {7, 1, 7, false}, {5, 3, 5, false}, {5, 1, 6, true}};
    for (const Row& r : rows) {
        TFlashMovie m(0, 0, 10, 10, 12, true);
        m.SetCompressed(r.Compressed);
        m.SetVersion(r.Set);
        m.AddCharacter(std::make_unique<TTestCharacter>(r.ObjectMin));
        m.ShowFrame();
        m.MakeStream();
        EXPECT_EQ(m.Version(), r.Expected) << int(r.Set) << "/" << int(r.ObjectMin);
    }
}

TEST(FlashMovie, BackgroundAndProtectPrecedeObjects) {
    TFlashMovie m(0, 0, 10, 10, 12, true);
    m.AddCharacter(std::make_unique<TTestCharacter>());
    m.ShowFrame();
    m.Protect("");
    m.BackgroundColor().SetRGB(SWFRGB{1, 2, 3});
    m.MakeStream();
    const auto walked = test::WalkSwf(Saved(m));
    ASSERT_GE(walked.Tags.size(), 3u);
    EXPECT_EQ(walked.Tags[0].Code, tagSetBackgroundColor);
    EXPECT_EQ(walked.Tags[1].Code, tagProtect);
    EXPECT_EQ(walked.Tags[1].Length, 0u);
    EXPECT_EQ(m.Version(), 5); // an empty Protect needs only version 2

    m.Protect("secret");
    m.MakeStream();
    const auto again = test::WalkSwf(Saved(m));
    EXPECT_EQ(again.Tags[1].Length, 31u);
    EXPECT_EQ(again.Tags[1].Body.substr(2, 3), "$1$");
}

TEST(FlashMovie, ExplicitEndSuppressesTheAutomaticOne) {
    TFlashMovie m(0, 0, 10, 10, 12, true);
    m.ShowFrame();
    m.AddObject(std::make_unique<TSWFEnd>());
    m.MakeStream();
    const auto walked = test::WalkSwf(Saved(m));
    ASSERT_EQ(walked.Tags.size(), 2u);
    EXPECT_EQ(walked.Tags[1].Code, tagEnd);
}

TEST(FlashMovie, ProgressStartsAtOneFifth) {
    TFlashMovie m(0, 0, 10, 10, 12, true);
    for (int i = 0; i < 7; ++i)
        m.AddCharacter(std::make_unique<TTestCharacter>());
    m.ShowFrame(); // eight objects
    std::vector<int> percents;
    m.OnProgress = [&](TBasedSWFStream&, int percent, int stage) {
        EXPECT_EQ(stage, 1);
        percents.push_back(percent);
    };
    TCountingSink sink;
    m.MakeStream(&sink);
    EXPECT_EQ(sink.FMax, 10);
    EXPECT_EQ(sink.Start, 2);
    EXPECT_EQ(sink.Steps, 8);
    EXPECT_EQ(sink.Position, 10);
    EXPECT_EQ(percents, (std::vector<int>{12, 25, 38, 50, 62, 75, 88, 100}));
}

TEST(FlashMovie, MoveObjectKeepsTheRestInOrder) {
    TFlashMovie m(0, 0, 10, 10, 12, true);
    std::vector<TTestCharacter*> c;
    for (int i = 0; i < 4; ++i)
        c.push_back(&m.AddCharacter(std::make_unique<TTestCharacter>()));
    m.MoveObject(3, 1);
    EXPECT_EQ(m.IndexOfObject(c[3]), 1);
    EXPECT_EQ(m.IndexOfObject(c[1]), 2);
    EXPECT_EQ(m.IndexOfObject(c[2]), 3);
    m.MoveObject(0, 3);
    EXPECT_EQ(m.IndexOfObject(c[0]), 3);
    EXPECT_EQ(m.IndexOfObject(c[3]), 0);
}

// The header's frame count is 16-bit: more frames must not wrap silently.
TEST(FlashMovie, TooManyFramesIsAnError) {
    TFlashMovie m(0, 0, 10, 10, 12, true);
    m.ShowFrame(65535);
    m.ShowFrame(1);
    EXPECT_THROW(m.MakeStream(), std::runtime_error);
    TFlashMovie ok(0, 0, 10, 10, 12, true);
    ok.ShowFrame(65535);
    ok.MakeStream();
    EXPECT_EQ(ok.FrameCount(), 65535);
}

} // namespace
} // namespace pictova
