#include "movie/GlyphOutlines.h"
#include "movie/FlashFont.h"
#include "movie/FlashShape.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

namespace pictova {
namespace {

constexpr int32_t Fx(double v) {
    return int32_t(v * 65536.0);
}

TFixedPoint P(double x, double y) {
    return TFixedPoint{Fx(x), Fx(y)};
}

// The pen's path through the records as absolute points, y turned back
// upwards, as "M x,y", "L x,y" and "C cx,cy x,y".
std::string Path(const TSWFShapeRecordList& records) {
    std::ostringstream out;
    int32_t x = 0, y = 0;
    for (const auto& r : records) {
        switch (r->ShapeRecType()) {
        case rtStyleChange: {
            const auto& s = static_cast<const TSWFStyleChangeRecord&>(*r);
            if (s.StateMoveTo) {
                x = s.MoveDeltaX;
                y = s.MoveDeltaY;
                out << "M" << x << "," << -y << " ";
            }
            break;
        }
        case rtStraightEdge: {
            const auto& e = static_cast<const TSWFStraightEdgeRecord&>(*r);
            x += e.DeltaX;
            y += e.DeltaY;
            out << "L" << x << "," << -y << " ";
            break;
        }
        case rtCurvedEdge: {
            const auto& c = static_cast<const TSWFCurvedEdgeRecord&>(*r);
            const int32_t cx = x + c.ControlDeltaX, cy = y + c.ControlDeltaY;
            x = cx + c.AnchorDeltaX;
            y = cy + c.AnchorDeltaY;
            out << "C" << cx << "," << -cy << " " << x << "," << -y << " ";
            break;
        }
        case rtEndShape:
            out << "E ";
            break;
        }
    }
    std::string s = out.str();
    if (!s.empty())
        s.pop_back();
    return s;
}

struct TGlyph {
    TSWFShapeRecordList Records;
    TFlashEdges Edges{Records, nullptr};
};

std::string Drawn(const TGlyphOutline& outline, bool* drawable = nullptr) {
    TGlyph glyph;
    const bool ok = ReadGlyphOutline(outline, glyph.Edges);
    if (drawable)
        *drawable = ok;
    return Path(glyph.Records);
}

TGlyphOutline Outline(TFixedPoint start, std::vector<TOutlineCurve> curves) {
    TGlyphOutline o;
    o.Contours.push_back(TOutlineContour{start, std::move(curves)});
    return o;
}

TEST(GlyphOutlines, FixedToIntRoundsHalvesToEven) {
    struct Row {
        int32_t Fixed;
        int32_t Expected;
    };
    for (const Row& row :
         {Row{12 << 16 | 0x8000, 12}, Row{13 << 16 | 0x8000, 14},
          Row{int32_t(0xFFFF8000), 0},  // -1 + 0x8000: -0.5
          Row{int32_t(0xFFFE8000), -2}, // -1.5
          Row{10 << 16 | 0xC000, 11}, Row{10 << 16 | 0x4000, 10}, Row{-(7 << 16), -7}, Row{0, 0}})
        EXPECT_EQ(FixedToInt(row.Fixed), row.Expected) << std::hex << row.Fixed;
}

TEST(GlyphOutlines, QuadraticRecordsKeepTheirControlPoints) {
    // (0,0) off-curve and (10,10) on-curve from (-10,0): one curve.
    EXPECT_EQ(Drawn(Outline(P(-10, 0), {{ctQSpline, {P(0, 0), P(10, 10)}}})),
              "M-10,0 C0,0 10,10 L-10,0");
    // Three points: the on-curve point between the two controls is implied
    // at (5, 0). The first piece runs straight along y = 0, so the edges
    // write it as a line.
    EXPECT_EQ(Drawn(Outline(P(-10, 0), {{ctQSpline, {P(0, 0), P(10, 0), P(10, 10)}}})),
              "M-10,0 L5,0 C10,0 10,10 L-10,0");
    // The implied point is rounded from the exact sum: (0.5 + 10.5) / 2 = 5.5
    // gives 6, (-2.5 + -0.5) / 2 = -1.5 gives -2.
    EXPECT_EQ(Drawn(Outline(P(-10, -10), {{ctQSpline, {P(0.5, -2.5), P(10.5, -0.5), P(10, 10)}}})),
              "M-10,-10 C0,-2 6,-2 C10,0 10,10 L-10,-10");
}

TEST(GlyphOutlines, LastAnchorOfAQuadraticRecordDropsItsFraction) {
    const double v = 10 + 0xC000 / 65536.0;
    EXPECT_EQ(Drawn(Outline(P(1, 1), {{ctQSpline, {P(5, 20), P(v, v)}}})), "M1,1 C5,20 10,10 L1,1");
    EXPECT_EQ(Drawn(Outline(P(1, 1), {{ctLine, {P(v, v)}}})), "M1,1 L11,11 L1,1");
}

TEST(GlyphOutlines, ContoursAreClosedOnlyWhenOpen) {
    // Ends away from the start: a closing straight edge.
    EXPECT_EQ(Drawn(Outline(P(5, 5), {{ctLine, {P(100, 5), P(100, 100)}}})),
              "M5,5 L100,5 L100,100 L5,5");
    // Ends on its start: none.
    EXPECT_EQ(Drawn(Outline(P(5, 5), {{ctLine, {P(100, 5), P(100, 100), P(5, 5)}}})),
              "M5,5 L100,5 L100,100 L5,5");
    // Two contours: each starts with a move and closes itself. A glyph that
    // starts at the origin needs no move: the pen starts there.
    TGlyphOutline two = Outline(P(0, 0), {{ctLine, {P(10, 0), P(10, 10)}}});
    two.Contours.push_back(TOutlineContour{P(20, 0), {{ctLine, {P(30, 0), P(30, 10)}}}});
    EXPECT_EQ(Drawn(two), "L10,0 L10,10 L0,0 M20,0 L30,0 L30,10 L20,0");
}

TEST(GlyphOutlines, ShapesAreMirroredToDownwardY) {
    TGlyph glyph;
    ReadGlyphOutline(Outline(P(0, 0), {{ctLine, {P(0, 700), P(100, 700)}}}), glyph.Edges);
    const auto& edge = static_cast<const TSWFStraightEdgeRecord&>(*glyph.Records[1]);
    EXPECT_EQ(edge.DeltaY, -700); // ascenders at negative y
}

TEST(GlyphOutlines, UnknownCurveTypesLeaveTheGlyphEmpty) {
    bool drawable = true;
    // Type 4 is no outline primitive; the lines after it are not drawn either.
    const std::string path = Drawn(
        Outline(P(0, 0), {{ctLine, {P(10, 0)}}, {4, {P(3, 3), P(4, 4)}}, {ctLine, {P(0, 9)}}}),
        &drawable);
    EXPECT_FALSE(drawable);
    EXPECT_EQ(path, "");
    // A cubic record whose points are no triples.
    Drawn(Outline(P(0, 0), {{ctCSpline, {P(1, 1), P(2, 2)}}}), &drawable);
    EXPECT_FALSE(drawable);
    Drawn(Outline(P(0, 0), {{ctQSpline, {}}}), &drawable);
    EXPECT_FALSE(drawable);
}

// Points along the pen's path, for comparing it with a cubic curve.
std::vector<std::pair<double, double>> Trace(const TSWFShapeRecordList& records) {
    std::vector<std::pair<double, double>> points;
    double x = 0, y = 0;
    for (const auto& r : records) {
        if (r->ShapeRecType() == rtStyleChange) {
            const auto& s = static_cast<const TSWFStyleChangeRecord&>(*r);
            if (s.StateMoveTo) {
                x = s.MoveDeltaX;
                y = -s.MoveDeltaY;
            }
        } else if (r->ShapeRecType() == rtCurvedEdge) {
            const auto& c = static_cast<const TSWFCurvedEdgeRecord&>(*r);
            const double cx = x + c.ControlDeltaX, cy = y - c.ControlDeltaY;
            const double ax = cx + c.AnchorDeltaX, ay = cy - c.AnchorDeltaY;
            for (int i = 0; i <= 500; ++i) {
                const double t = i / 500.0, u = 1 - t;
                points.emplace_back(u * u * x + 2 * u * t * cx + t * t * ax,
                                    u * u * y + 2 * u * t * cy + t * t * ay);
            }
            x = ax;
            y = ay;
        } else if (r->ShapeRecType() == rtStraightEdge) {
            const auto& e = static_cast<const TSWFStraightEdgeRecord&>(*r);
            x += e.DeltaX;
            y -= e.DeltaY;
            points.emplace_back(x, y);
        }
    }
    return points;
}

TEST(GlyphOutlines, CubicCurvesBecomeCloseQuadratics) {
    struct Cubic {
        double P0x, P0y, C1x, C1y, C2x, C2y, P3x, P3y;
    };
    // A glyph-sized bowl, an S bend and a sharp hook.
    for (const Cubic& c :
         {Cubic{0, 0, 0, 400, 500, 400, 500, 0}, Cubic{0, 0, 600, 0, -100, 700, 500, 700},
          Cubic{100, 0, 900, 300, -400, 300, 400, 0}}) {
        TGlyph glyph;
        ASSERT_TRUE(ReadGlyphOutline(
            Outline(P(c.P0x, c.P0y),
                    {{ctCSpline, {P(c.C1x, c.C1y), P(c.C2x, c.C2y), P(c.P3x, c.P3y)}}}),
            glyph.Edges));
        const auto drawn = Trace(glyph.Records);
        size_t curves = 0;
        for (const auto& r : glyph.Records)
            curves += r->ShapeRecType() == rtCurvedEdge;
        EXPECT_GT(curves, 1u);
        EXPECT_LT(curves, 40u);
        // Every point of the cubic lies near the drawn path: within the
        // splitting tolerance plus the rounding of points to whole units.
        double worst = 0;
        for (int i = 0; i <= 400; ++i) {
            const double t = i / 400.0, u = 1 - t;
            const double x = u * u * u * c.P0x + 3 * u * u * t * c.C1x + 3 * u * t * t * c.C2x +
                             t * t * t * c.P3x;
            const double y = u * u * u * c.P0y + 3 * u * u * t * c.C1y + 3 * u * t * t * c.C2y +
                             t * t * t * c.P3y;
            double nearest = 1e9;
            for (const auto& [px, py] : drawn)
                nearest = std::min(nearest, std::hypot(px - x, py - y));
            worst = std::max(worst, nearest);
        }
        EXPECT_LT(worst, 1.5) << c.C1x << "," << c.C1y;
        // The curve ends exactly at its end point before the contour closes.
        EXPECT_NE(
            Path(glyph.Records)
                .find(" " + std::to_string(int(c.P3x)) + "," + std::to_string(int(c.P3y)) + " L"),
            std::string::npos)
            << Path(glyph.Records);
    }
}

TEST(GlyphOutlines, LetterOfAnInstalledFont) {
    TFlashFont font(nullptr, 12, false, false, "DejaVu Sans", false);
    font.AddChars("l ");
    ReadFontMetrics(font);
    EXPECT_EQ(font.Ascent, 950);
    EXPECT_EQ(font.Descent, 242);
    EXPECT_EQ(font.Leading, 168);
    EXPECT_EQ(font.FaceUsed, "");

    const auto face = OpenFontFace(font);
    TFlashChar& l = *font.CharByCode('l');
    ReadGlyph(*face, l);
    EXPECT_TRUE(l.OutlineRead);
    EXPECT_EQ(l.Advance, 284);
    // One rectangle, the font's points (193,1556) (377,1556) (377,0) (193,0)
    // of 2048 halved and rounded half to even; the path turned back upwards.
    EXPECT_EQ(Path(l.ShapeRecords), "M96,778 L188,778 L188,0 L96,0 L96,778");

    // A space: no outline at all, but its advance.
    TFlashChar& space = *font.CharByCode(' ');
    ReadGlyph(*face, space);
    EXPECT_EQ(Path(space.ShapeRecords), "");
    EXPECT_EQ(space.ShapeRecords.size(), 1u); // the fill selection alone
    EXPECT_EQ(space.Advance, 326);
}

TEST(GlyphOutlines, FaceStandingInForAMissingOneIsNamed) {
    TFlashFont font(nullptr, 12, false, false, "Pictova No Such Face", false);
    const auto face = OpenFontFace(font);
    EXPECT_FALSE(font.FaceUsed.empty());
    EXPECT_EQ(font.FaceUsed, face->FaceUsed());
}

} // namespace
} // namespace pictova
