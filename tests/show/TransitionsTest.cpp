#include "show/Transitions.h"

#include "movie/FlashMovie.h"
#include "movie/FlashShape.h"
#include "tests/support/DisplayList.h"
#include "tests/support/SwfWalker.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <sstream>
#include <stdexcept>
#include <utility>
#include <vector>

namespace pictova {
namespace {

using test::DisplayChanges;
using test::InFrame;
using test::WalkedChange;
using test::WalkedMovie;

struct TSize {
    int W = 0;
    int H = 0;
};

// What a transition wrote, read back from the file.
struct TWritten {
    WalkedMovie Movie;
    std::vector<WalkedChange> Changes;
    std::vector<uint16_t> Characters; // of the pictures, by depth
};

// A pixel-unit movie of the canvas size with one rectangle per picture (the
// picture at depth d is entry d of the shapes), the transition run on it.
TWritten Written(TSize canvas, const std::vector<TSize>& pictures,
                 const std::function<void(TFlashMovie&)>& transition) {
    TFlashMovie movie(0, 0, canvas.W * 20, canvas.H * 20, 20.0f, false);
    movie.SetSystemCoord(true);
    TWritten written;
    for (const TSize& p : pictures)
        written.Characters.push_back(movie.AddRectangle(0, 0, p.W, p.H).CharacterId());
    transition(movie);
    movie.MakeStream();
    std::ostringstream out;
    movie.SaveToStream(out);
    written.Movie = test::WalkSwf(out.str());
    written.Changes = DisplayChanges(written.Movie);
    return written;
}

// Effect e for the picture at depth 0, the show's first.
TWritten RunFirst(int effect, TSize canvas, TSize picture) {
    return Written(canvas, {picture}, [&](TFlashMovie& m) {
        RunTransition(m, effect, 0, TTransitionInput{picture.W, picture.H, 0, 0}, 0, false);
    });
}

// Translation in pixels (the file holds twips).
std::pair<int, int> At(const WalkedChange& c) {
    EXPECT_TRUE(c.Place.HasMatrix);
    EXPECT_EQ(c.Place.Matrix.TranslateX % 20, 0);
    EXPECT_EQ(c.Place.Matrix.TranslateY % 20, 0);
    return {c.Place.Matrix.TranslateX / 20, c.Place.Matrix.TranslateY / 20};
}

using TXY = std::pair<int, int>;

TEST(Transitions, FrameCountsOfEveryEffectMatchWhatIsWritten) {
    // Frames per effect 1..16 in a show, and in the demonstration, whose
    // spins take 50 steps instead of 75.
    const int show[] = {0, 26, 51, 51, 51, 51, 21, 21, 21, 21, 51, 51, 51, 51, 76, 76};
    for (bool demonstration : {false, true}) {
        for (int e = 1; e <= 16; ++e) {
            SCOPED_TRACE("effect " + std::to_string(e) + (demonstration ? " demo" : ""));
            const TWritten w = Written({150, 105}, {{150, 105}, {150, 105}}, [&](TFlashMovie& m) {
                RunTransition(m, e, 1, TTransitionInput{150, 105, 150, 105}, 0, demonstration);
            });
            const int expected = demonstration && e >= 15 ? 51 : show[e - 1];
            EXPECT_EQ(w.Movie.FrameCount, expected);
            if (!demonstration) {
                EXPECT_EQ(TransitionFrameCount(e), expected);
            }
        }
    }
}

TEST(Transitions, EffectNumbersOutsideOneToSixteenAreRefused) {
    for (int e : {0, 17, -1}) {
        TFlashMovie movie(0, 0, 2000, 2000, 20.0f, false);
        movie.SetSystemCoord(true);
        movie.AddRectangle(0, 0, 10, 10);
        EXPECT_THROW(RunTransition(movie, e, 0, TTransitionInput{10, 10, 0, 0}, 0, false),
                     std::invalid_argument)
            << e;
    }
}

TEST(Transitions, HardCutPlacesOnceCentredWithoutClosingAFrame) {
    struct Row {
        TSize Canvas, Picture;
        TXY Expected;
    };
    const Row rows[] = {
        {{100, 50}, {60, 20}, {20, 15}},
        {{101, 51}, {100, 50}, {0, 0}}, // 0.5 rounds to 0
        {{103, 53}, {100, 50}, {2, 2}}, // 1.5 rounds to 2
        {{105, 55}, {100, 50}, {2, 2}}, // 2.5 rounds to 2
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.Canvas.W) + " x " + std::to_string(row.Canvas.H));
        const TWritten w = RunFirst(1, row.Canvas, row.Picture);
        EXPECT_EQ(w.Movie.FrameCount, 0);
        ASSERT_EQ(w.Changes.size(), 1u);
        const WalkedChange& c = w.Changes[0];
        EXPECT_EQ(c.Frame, 0u);
        EXPECT_FALSE(c.Place.Move);
        EXPECT_TRUE(c.Place.HasCharacter);
        EXPECT_EQ(c.Place.Character, w.Characters[0]);
        EXPECT_EQ(c.Place.Depth, 0);
        EXPECT_FALSE(c.Place.HasColorTransform);
        EXPECT_EQ(At(c), row.Expected);
    }
}

TEST(Transitions, FadeRaisesAlphaOverTwentySixFramesInPlace) {
    const TWritten w = RunFirst(2, {100, 50}, {100, 50});
    ASSERT_EQ(w.Movie.FrameCount, 26);
    ASSERT_EQ(w.Changes.size(), 26u);
    for (int t = 0; t <= 25; ++t) {
        SCOPED_TRACE("t = " + std::to_string(t));
        const WalkedChange& c = w.Changes[size_t(t)];
        EXPECT_EQ(c.Frame, size_t(t));
        EXPECT_EQ(c.Place.Move, t > 0);
        EXPECT_EQ(c.Place.Character, w.Characters[0]);
        EXPECT_EQ(At(c), TXY(0, 0));
        ASSERT_TRUE(c.Place.HasColorTransform);
        EXPECT_FALSE(c.Place.ColorTransform.HasMult);
        EXPECT_EQ(c.Place.ColorTransform.AddR, 0);
        EXPECT_EQ(c.Place.ColorTransform.AddA, -std::nearbyint((25 - t) / 25.0 * 255));
    }
    EXPECT_EQ(w.Changes[0].Place.ColorTransform.AddA, -255);
    EXPECT_EQ(w.Changes[1].Place.ColorTransform.AddA, -245); // 244.8
    EXPECT_EQ(w.Changes[24].Place.ColorTransform.AddA, -10); // 10.2
    EXPECT_EQ(w.Changes[25].Place.ColorTransform.AddA, 0);
}

TEST(Transitions, SlidesStartBesideTheCanvasAndEndCentred) {
    struct Row {
        int Effect;
        TSize Canvas, Picture;
        TXY First, Middle, Last; // t = 0, 25, 50
    };
    // On 401 x 201 with 300 x 100 the margin is 50.5 and rounds to 50; the
    // travel 350.5 (150.5) is not rounded before it is scaled.
    const Row rows[] = {
        {3, {400, 100}, {300, 100}, {-300, 0}, {-125, 0}, {50, 0}},
        {3, {401, 201}, {300, 100}, {-300, 50}, {-125, 50}, {50, 50}},
        {4, {401, 201}, {300, 100}, {400, 50}, {225, 50}, {50, 50}},
        {5, {401, 201}, {300, 100}, {50, -100}, {50, -25}, {50, 50}},
        {6, {401, 201}, {300, 100}, {50, 200}, {50, 125}, {50, 50}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE("effect " + std::to_string(row.Effect) + " on " +
                     std::to_string(row.Canvas.W));
        const TWritten w = RunFirst(row.Effect, row.Canvas, row.Picture);
        ASSERT_EQ(w.Movie.FrameCount, 51);
        ASSERT_EQ(w.Changes.size(), 51u);
        for (size_t t = 0; t <= 50; ++t) {
            EXPECT_EQ(w.Changes[t].Frame, t);
            EXPECT_EQ(w.Changes[t].Place.Move, t > 0);
            EXPECT_EQ(w.Changes[t].Place.Depth, 0);
        }
        EXPECT_EQ(At(w.Changes[0]), row.First);
        EXPECT_EQ(At(w.Changes[25]), row.Middle);
        EXPECT_EQ(At(w.Changes[50]), row.Last);
    }
}

TEST(Transitions, PushesFromRightAndBottomRoundTheirTravelFirst) {
    // Canvas 400, picture 301: the margin 49.5 rounds to 50. Halfway (t = 25)
    // the slides scale the travel 350.5 to 175.25 (175); the pushes scale
    // the rounded 351 to 175.5, which rounds to the even 176.
    struct Row {
        int Effect;
        TXY Middle;
    };
    const Row rows[] = {{4, {225, 50}}, {13, {226, 50}}, {6, {50, 225}}, {14, {50, 226}}};
    for (const Row& row : rows) {
        SCOPED_TRACE("effect " + std::to_string(row.Effect));
        const TWritten w = RunFirst(row.Effect, {400, 400}, {301, 301});
        ASSERT_EQ(w.Changes.size(), 51u);
        EXPECT_EQ(At(w.Changes[25]), row.Middle);
    }
}

TEST(Transitions, PushOfTheFirstPictureMovesNothingElse) {
    const TWritten w = RunFirst(11, {400, 200}, {200, 150});
    ASSERT_EQ(w.Movie.FrameCount, 51);
    ASSERT_EQ(w.Changes.size(), 51u);
    for (const WalkedChange& c : w.Changes) {
        EXPECT_FALSE(c.Remove);
        EXPECT_EQ(c.Place.Depth, 0);
    }
    EXPECT_EQ(At(w.Changes[0]), TXY(-200, 25));
    EXPECT_EQ(At(w.Changes[50]), TXY(100, 25));
}

TEST(Transitions, PushMovesThePreviousPictureOutAndRemovesItInTheLastFrame) {
    // Previous 300 x 100, new 200 x 150 on 400 x 200.
    struct Row {
        int Effect;
        TXY PreviousLast, NewFirst;
    };
    const Row rows[] = {
        {11, {400, 50}, {-200, 25}},
        {12, {50, 200}, {100, -150}},
        {13, {-300, 50}, {400, 25}},
        {14, {50, -100}, {100, 200}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE("effect " + std::to_string(row.Effect));
        const TWritten w = Written({400, 200}, {{300, 100}, {200, 150}}, [&](TFlashMovie& m) {
            RunTransition(m, row.Effect, 1, TTransitionInput{200, 150, 300, 100}, 0, false);
        });
        ASSERT_EQ(w.Movie.FrameCount, 51);
        for (size_t t = 0; t <= 50; ++t) {
            SCOPED_TRACE("t = " + std::to_string(t));
            const auto frame = InFrame(w.Changes, t);
            ASSERT_EQ(frame.size(), t < 50 ? 2u : 3u);
            const WalkedChange& previous = frame.front();
            const WalkedChange& placed = frame.back();
            EXPECT_FALSE(previous.Remove);
            EXPECT_EQ(previous.Place.Depth, 0);
            EXPECT_EQ(previous.Place.Character, w.Characters[0]);
            EXPECT_EQ(previous.Place.Move, t > 0);
            EXPECT_EQ(placed.Place.Depth, 1);
            EXPECT_EQ(placed.Place.Character, w.Characters[1]);
            EXPECT_EQ(placed.Place.Move, t > 0);
            if (t == 0) {
                EXPECT_EQ(At(previous), TXY(50, 50));
                EXPECT_EQ(At(placed), row.NewFirst);
            }
            if (t == 50) {
                EXPECT_EQ(At(previous), row.PreviousLast);
                EXPECT_TRUE(frame[1].Remove);
                EXPECT_EQ(frame[1].Place.Depth, 0);
                EXPECT_EQ(At(placed), TXY(100, 25));
            }
        }
    }
}

TEST(Transitions, PushCountsThePicturesAfterThePreloadersShapes) {
    struct Row {
        uint16_t Depth, FirstPictureDepth;
        bool Pushes;
    };
    const Row rows[] = {{0, 0, false}, {1, 0, true}, {2, 2, false}, {3, 2, true}};
    for (const Row& row : rows) {
        SCOPED_TRACE("depth " + std::to_string(row.Depth));
        const TWritten w = Written(
            {400, 200}, {{200, 100}, {200, 100}, {200, 100}, {200, 100}}, [&](TFlashMovie& m) {
                EffectPushFromLeft(m, row.Depth, 50, 200, 200, row.FirstPictureDepth);
            });
        size_t previous = 0, removed = 0;
        for (const WalkedChange& c : w.Changes) {
            if (c.Place.Depth == row.Depth - 1)
                (c.Remove ? removed : previous)++;
            else
                EXPECT_EQ(c.Place.Depth, row.Depth);
        }
        EXPECT_EQ(previous, row.Pushes ? 51u : 0u);
        EXPECT_EQ(removed, row.Pushes ? 1u : 0u);
    }
}

TEST(Transitions, FlyInGrowsAndFadesWithTwoPlacementsPerFrame) {
    // 300 x 100 on 401 x 201: the margin 50.5 rounds to 50.
    struct Row {
        int Effect;
        TXY First, Middle; // t = 0 and 10 (r = 0.5)
    };
    const Row rows[] = {
        {7, {50, 50}, {50, 50}},
        {8, {350, 50}, {200, 50}},
        {9, {350, 150}, {200, 100}},
        {10, {50, 150}, {50, 100}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE("effect " + std::to_string(row.Effect));
        const TWritten w = RunFirst(row.Effect, {401, 201}, {300, 100});
        ASSERT_EQ(w.Movie.FrameCount, 21);
        ASSERT_EQ(w.Changes.size(), 42u);
        for (size_t t = 0; t <= 20; ++t) {
            SCOPED_TRACE("t = " + std::to_string(t));
            const auto frame = InFrame(w.Changes, t);
            ASSERT_EQ(frame.size(), 2u);
            const test::WalkedPlace& bare = frame[0].Place;
            EXPECT_FALSE(bare.Move);
            EXPECT_FALSE(bare.HasMatrix);
            EXPECT_FALSE(bare.HasColorTransform);
            EXPECT_EQ(bare.Character, w.Characters[0]);
            const test::WalkedPlace& moving = frame[1].Place;
            EXPECT_TRUE(moving.Move);
            EXPECT_EQ(moving.Depth, 0);
            ASSERT_TRUE(moving.HasMatrix && moving.Matrix.HasScale);
            EXPECT_FALSE(moving.Matrix.HasRotate);
            EXPECT_NEAR(moving.Matrix.ScaleX / 65536.0, t / 20.0, 2 / 65536.0);
            EXPECT_EQ(moving.Matrix.ScaleY, moving.Matrix.ScaleX);
            EXPECT_EQ(moving.ColorTransform.AddA, -std::nearbyint((20 - double(t)) / 20 * 128));
        }
        const test::WalkedPlace first = w.Changes[1].Place;
        const test::WalkedPlace last = w.Changes[41].Place;
        EXPECT_EQ(first.Matrix.ScaleX, 0);
        EXPECT_EQ(first.ColorTransform.AddA, -128);
        EXPECT_EQ(last.Matrix.ScaleX, 0x10000);
        EXPECT_EQ(last.ColorTransform.AddA, 0);
        EXPECT_EQ(At(w.Changes[1]), row.First);
        EXPECT_EQ(At(w.Changes[21]), row.Middle);
        EXPECT_EQ(At(w.Changes[41]), TXY(50, 50));
    }
}

// Signed difference of two angles in degrees, folded into -180..180.
double AngleBetween(double a, double b) {
    double d = std::fmod(a - b, 360.0);
    if (d > 180)
        d -= 360;
    if (d < -180)
        d += 360;
    return d;
}

TEST(Transitions, SpinsTurnWhileTheyGrowFromTwoThirdsAway) {
    // 300 x 150 on 400 x 200: the picture starts 200 and 100 pixels below
    // and right of its resting place (50, 25).
    for (int effect : {15, 16}) {
        SCOPED_TRACE("effect " + std::to_string(effect));
        const TWritten w = RunFirst(effect, {400, 200}, {300, 150});
        ASSERT_EQ(w.Movie.FrameCount, 76);
        ASSERT_EQ(w.Changes.size(), 152u);
        for (size_t t = 0; t <= 75; ++t) {
            const auto frame = InFrame(w.Changes, t);
            ASSERT_EQ(frame.size(), 2u);
            EXPECT_FALSE(frame[0].Place.Move || frame[0].Place.HasMatrix);
            EXPECT_TRUE(frame[1].Place.Move);
            EXPECT_TRUE(frame[1].Place.Matrix.HasScale && frame[1].Place.Matrix.HasRotate);
            EXPECT_NEAR(frame[1].Place.Matrix.Scale(), t / 75.0, 1e-4) << t;
        }
        // At scale 0 the whole turn of the first frame vanishes in the terms.
        const test::WalkedMatrix first = w.Changes[1].Place.Matrix;
        EXPECT_EQ(first.ScaleX, 0);
        EXPECT_EQ(first.ScaleY, 0);
        EXPECT_EQ(first.RotateSkew0, 0);
        EXPECT_EQ(first.RotateSkew1, 0);
        EXPECT_EQ(At(w.Changes[1]), TXY(250, 125));
        const test::WalkedMatrix last = w.Changes[151].Place.Matrix;
        EXPECT_EQ(last.ScaleX, 0x10000);
        EXPECT_EQ(last.ScaleY, 0x10000);
        EXPECT_EQ(last.RotateSkew0, 0);
        EXPECT_EQ(last.RotateSkew1, 0);
        EXPECT_EQ(At(w.Changes[151]), TXY(50, 25));
    }
}

TEST(Transitions, SpinAnglesFollowTheirIntegerProducts) {
    // n = 75 - t. Right: 360 n / 75, from 360 down. Left: (n - 360) n / 75,
    // which starts at -285 (hidden at scale 0) and reaches 0 unevenly.
    struct Row {
        int Effect;
        size_t T;
        double Degrees;
    };
    const Row rows[] = {
        {15, 1, 355.2},        {15, 38, 177.6},        {15, 74, 4.8},
        {16, 1, -282.1866667}, {16, 38, -159.3466667}, {16, 74, -4.7866667},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE("effect " + std::to_string(row.Effect) + ", t = " + std::to_string(row.T));
        const TWritten w = RunFirst(row.Effect, {400, 200}, {300, 150});
        const test::WalkedMatrix m = InFrame(w.Changes, row.T)[1].Place.Matrix;
        EXPECT_NEAR(AngleBetween(m.Degrees(), row.Degrees), 0.0, 0.2) << m.Degrees();
        EXPECT_NEAR(m.RotateSkew0, -m.RotateSkew1, 2);
        EXPECT_NEAR(m.ScaleY, m.ScaleX, 2);
    }
}

} // namespace
} // namespace pictova
