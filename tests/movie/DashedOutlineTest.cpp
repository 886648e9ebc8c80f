// Dashed outlines: paths cut into draw and gap pieces of the pattern's
// lengths (20 twips per unit), carried from edge to edge; and the shape that
// writes its outline dashed.

#include "movie/DashedOutline.h"
#include "movie/FlashMovie.h"
#include "movie/FlashShape.h"
#include "tests/support/Capture.h"
#include "tests/support/ShapeReader.h"
#include "tests/support/SwfWalker.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace pictova {
namespace {

using test::Describe;
using Records = std::vector<std::string>;

TFlashLineStyle Pattern(std::initializer_list<uint8_t> lengths) {
    TFlashLineStyle pattern;
    for (const uint8_t length : lengths)
        pattern.Add(length);
    return pattern;
}

// A path that selects line style 1 and moves to (x, y) twips.
TSWFShapeRecordList PathFrom(int32_t x, int32_t y) {
    TSWFShapeRecordList records;
    auto start = std::make_unique<TSWFStyleChangeRecord>();
    start->SetLineStyle(1);
    start->SetMoveTo(x, y);
    records.push_back(std::move(start));
    return records;
}

void Line(TSWFShapeRecordList& records, int32_t dx, int32_t dy) {
    records.push_back(std::make_unique<TSWFStraightEdgeRecord>(dx, dy));
}

void End(TSWFShapeRecordList& records) {
    records.push_back(std::make_unique<TSWFEndShapeRecord>());
}

const std::string kStart = "style move 0,0 fill0=0 fill1=0 line=1";

TEST(DashedOutline, StraightEdges) {
    struct Row {
        const char* Name;
        std::vector<std::pair<int32_t, int32_t>> Edges; // twips, from (0, 0)
        TFlashLineStyle Pattern;
        Records Expected; // after the first record, kStart
    };
    // clang-format off
    const Row rows[] = {
        {"dashes of 100 twips on 250", {{250, 0}}, Pattern({5}),
         {"line 100,0", "style move 200,0 line=1", "line 50,0", "end"}},
        {"a dash cut at an edge's end goes on on the next edge", {{250, 0}, {0, 150}}, Pattern({5}),
         {"line 100,0", "style move 200,0 line=1", "line 50,0", "line 0,50",
          "style move 250,150 line=1", "end"}},
        {"so does a cut gap", {{150, 0}, {0, 150}}, Pattern({5}),
         {"line 100,0", "style move 150,0 line=1", "style move 150,50 line=1", "line 0,100", "end"}},
        {"a piece ending with the edge is not carried", {{200, 0}, {0, 100}}, Pattern({5}),
         {"line 100,0", "style move 200,0 line=1", "line 0,100", "end"}},
        {"an odd pattern swaps draw and gap each round", {{300, 0}}, Pattern({2, 1, 3}),
         {"line 40,0", "style move 60,0 line=1", "line 60,0", "style move 160,0 line=1",
          "line 20,0", "style move 240,0 line=1", "line 40,0", "style move 300,0 line=1", "end"}},
        {"along a diagonal", {{300, 400}}, Pattern({5}),
         {"line 60,80", "style move 120,160 line=1", "line 60,80", "style move 240,320 line=1",
          "line 60,80", "end"}},
        // A zero length only turns the phase: no gap between the dashes.
        {"zero lengths in the pattern", {{250, 0}}, Pattern({5, 0}),
         {"line 100,0", "line 100,0", "line 50,0", "end"}},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        TSWFShapeRecordList path = PathFrom(0, 0);
        for (const auto& [dx, dy] : row.Edges)
            Line(path, dx, dy);
        End(path);
        Records expected{kStart};
        expected.insert(expected.end(), row.Expected.begin(), row.Expected.end());
        EXPECT_EQ(Describe(BuildDashedOutline(path, row.Pattern, false)), expected);
    }
}

TEST(DashedOutline, PatternWithoutLengthIsRefused) {
    TSWFShapeRecordList path = PathFrom(0, 0);
    Line(path, 100, 0);
    EXPECT_THROW(BuildDashedOutline(path, Pattern({}), false), std::invalid_argument);
    EXPECT_THROW(BuildDashedOutline(path, Pattern({0, 0}), false), std::invalid_argument);
}

// Points of a dashed curve lie on the curve, its dashes are curves of the
// pattern's length, and the pen ends at the anchor.
TEST(DashedOutline, CurvesAreCutAlongTheCurve) {
    TSWFShapeRecordList path = PathFrom(100, 100);
    path.push_back(std::make_unique<TSWFCurvedEdgeRecord>(2000, 0, 0, 2000));
    End(path);
    const TSWFShapeRecordList dashed = BuildDashedOutline(path, Pattern({10}), false);

    const auto onCurve = [](double x, double y) {
        // Distance to the curve (100,100)-(2100,100)-(2100,2100), by sampling.
        double best = 1e300;
        for (int i = 0; i <= 20000; ++i) {
            const double t = i / 20000.0, u = 1 - t;
            const double cx = u * u * 100 + 2 * t * u * 2100 + t * t * 2100;
            const double cy = u * u * 100 + 2 * t * u * 100 + t * t * 2100;
            best = std::min(best, std::hypot(cx - x, cy - y));
        }
        return best;
    };
    double x = 0, y = 0;
    int curves = 0, gaps = 0;
    ASSERT_GE(dashed.size(), 3u);
    EXPECT_EQ(Describe(*dashed.front()), "style move 100,100 fill0=0 fill1=0 line=1");
    for (size_t i = 0; i < dashed.size(); ++i) {
        SCOPED_TRACE(i);
        const TSWFShapeRecord& r = *dashed[i];
        const double fromX = x, fromY = y;
        switch (r.ShapeRecType()) {
        case rtStyleChange: {
            const auto& s = static_cast<const TSWFStyleChangeRecord&>(r);
            ASSERT_TRUE(s.StateMoveTo);
            x = s.MoveDeltaX;
            y = s.MoveDeltaY;
            if (i > 0)
                ++gaps;
            break;
        }
        case rtCurvedEdge: {
            const auto& c = static_cast<const TSWFCurvedEdgeRecord&>(r);
            const double mx = fromX + c.ControlDeltaX, my = fromY + c.ControlDeltaY;
            x = mx + c.AnchorDeltaX;
            y = my + c.AnchorDeltaY;
            // The dash's own middle lies on the curve too.
            const double midX = 0.25 * fromX + 0.5 * mx + 0.25 * x;
            const double midY = 0.25 * fromY + 0.5 * my + 0.25 * y;
            EXPECT_LT(onCurve(midX, midY), 3.0);
            ++curves;
            break;
        }
        case rtStraightEdge: {
            const auto& e = static_cast<const TSWFStraightEdgeRecord&>(r);
            x += e.DeltaX;
            y += e.DeltaY;
            break;
        }
        case rtEndShape:
            EXPECT_EQ(i, dashed.size() - 1);
            continue;
        }
        EXPECT_LT(onCurve(x, y), 2.0) << x << "," << y;
        // Every piece but the last one spans 200 twips (within rounding).
        if (i > 0 && i + 2 < dashed.size()) {
            EXPECT_NEAR(std::hypot(x - fromX, y - fromY), 200, 1.5);
        }
    }
    EXPECT_EQ(x, 2100);
    EXPECT_EQ(y, 2100);
    EXPECT_GE(curves, 5);
    EXPECT_GE(gaps, curves - 1);
}

// The filled area stays whole: a copy of the path without outline comes
// first, then the dashes, which select no fill.
TEST(DashedOutline, FilledClosedShapeKeepsItsFill) {
    TFlashMovie movie(0, 0, 100, 100, 20, true);
    TFlashShape& shape = movie.AddRectangle(0, 0, 10, 10); // 200 x 200 twips
    shape.SetSolidColor(0xFF0000FF);
    shape.SetLineStyle(1, 0xFF000000);
    shape.DashPattern().Add(3); // 60 twips
    const Records own = Describe(shape.ShapeTag().Records);
    ASSERT_EQ(own, (Records{"style fill1=1 line=1", "line 200,0", "line 0,200", "line -200,0",
                            "line 0,-200", "end"}));

    const auto tags = test::WalkTags(test::TagBytes(shape), 0);
    ASSERT_EQ(tags.size(), 1u);
    const test::ReadShape written = test::ReadShapeBody(tags[0].Body, false);
    const Records expected = {
        // the fill, without outline
        "style fill1=1 line=0", "line 200,0", "line 0,200", "line -200,0", "line 0,-200",
        // the dashes, 60 twips drawn and 60 not, from the same start; pieces
        // cut at a corner go on round it
        "style fill0=0 fill1=0 line=1", "line 60,0", "style move 120,0 line=1", "line 60,0",
        "style move 200,0 line=1", "style move 200,40 line=1", "line 0,60",
        "style move 200,160 line=1", "line 0,40", "line -20,0", "style move 120,200 line=1",
        "line -60,0", "style move 0,200 line=1", "line 0,-60", "style move 0,80 line=1",
        "line 0,-60", "style move 0,0 line=1", "end"};
    EXPECT_EQ(written.Records, expected);
    // The shape's own path is kept for the next writing.
    EXPECT_EQ(Describe(shape.ShapeTag().Records), own);
}

TEST(DashedOutline, OpenOrUnfilledPathsAreDashedOnly) {
    TFlashMovie movie(0, 0, 100, 100, 20, true);
    TFlashShape& open = movie.AddShape();
    open.SetSolidColor(0xFF0000FF);
    open.SetLineStyle(1, 0xFF000000);
    open.Edges().LineTo(10, 0); // 200 twips, not closed
    open.Edges().EndEdges();
    open.DashPattern().Add(5);
    EXPECT_EQ(
        test::ReadShapeBody(test::WalkTags(test::TagBytes(open), 0).at(0).Body, false).Records,
        (Records{"style fill0=0 fill1=0 line=1", "line 100,0", "style move 200,0 line=1", "end"}));

    TFlashShape& unfilled = movie.AddRectangle(0, 0, 10, 10);
    unfilled.SetLineStyle(1, 0xFF000000);
    unfilled.DashPattern().Add(10);
    EXPECT_EQ(
        test::ReadShapeBody(test::WalkTags(test::TagBytes(unfilled), 0).at(0).Body, false).Records,
        (Records{"style line=1", "line 200,0", "style move 200,200 line=1", "line -200,0",
                 "style move 0,0 line=1", "end"}));
}

// A pattern that cannot dash (empty, or only zero lengths) leaves the
// outline solid.
TEST(DashedOutline, ShapeWithAPatternWithoutLengthIsWrittenSolid) {
    for (const auto lengths : {std::initializer_list<uint8_t>{}, {0, 0}}) {
        TFlashMovie movie(0, 0, 100, 100, 20, true);
        TFlashShape& shape = movie.AddRectangle(0, 0, 10, 10);
        shape.SetLineStyle(1, 0xFF000000);
        TFlashLineStyle& pattern = shape.DashPattern();
        for (const uint8_t length : lengths)
            pattern.Add(length);
        EXPECT_TRUE(shape.Dashed());
        std::string bytes;
        ASSERT_NO_THROW(bytes = test::TagBytes(shape));
        EXPECT_EQ(test::ReadShapeBody(test::WalkTags(bytes, 0).at(0).Body, false).Records,
                  (Records{"style line=1", "line 200,0", "line 0,200", "line -200,0", "line 0,-200",
                           "end"}));
    }
}

} // namespace
} // namespace pictova
