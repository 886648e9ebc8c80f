// Shapes: the pen that turns user units into shape records, the styles and
// fills a shape selects, how it is written, and the movie's rectangle and
// picture-shape factories.

#include "movie/FlashShape.h"
#include "movie/FlashImage.h"
#include "movie/FlashMovie.h"
#include "tests/support/Capture.h"
#include "tests/support/ShapeReader.h"
#include "tests/support/SwfWalker.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace pictova {
namespace {

namespace fs = std::filesystem;
using test::Describe;
using Records = std::vector<std::string>;

const fs::path kData = PICTOVA_TEST_DATA;

// Pixel units (20 twips each) or twips.
TFlashMovie NewMovie(bool pixels = true) {
    return TFlashMovie(0, 0, 640, 480, 20, pixels);
}

struct TWritten {
    uint16_t Code = 0;
    test::ReadShape Shape;
};

TWritten Write(TFlashShape& shape) {
    const auto tags = test::WalkTags(test::TagBytes(shape), 0);
    EXPECT_EQ(tags.size(), 1u);
    TWritten w;
    w.Code = tags.at(0).Code;
    w.Shape = test::ReadShapeBody(tags.at(0).Body, w.Code == tagDefineShape3);
    return w;
}

std::array<int32_t, 4> Bounds(const test::WalkedRect& r) {
    return {r.Xmin, r.Xmax, r.Ymin, r.Ymax};
}

std::array<int32_t, 4> Bounds(const TSWFRect& r) {
    return {r.GetXMin(), r.GetXMax(), r.GetYMin(), r.GetYMax()};
}

std::vector<int> TagCodes(TFlashMovie& movie) {
    movie.MakeStream();
    std::ostringstream out;
    movie.SaveToStream(out);
    std::vector<int> codes;
    for (const auto& tag : test::WalkSwf(out.str()).Tags)
        codes.push_back(tag.Code);
    return codes;
}

// --- Rectangles and the pen -----------------------------------------------

TEST(FlashShape, AddRectangleRecordsAndBounds) {
    struct Row {
        const char* Name;
        bool Pixels;
        std::array<int32_t, 4> Rect;   // XMin, YMin, XMax, YMax in user units
        std::array<int32_t, 4> Bounds; // twips: XMin, XMax, YMin, YMax
        Records InMemory;
        Records Written;
    };
    // clang-format off
    const Row rows[] = {
        {"640 x 480 pixels at the origin", true, {0, 0, 640, 480}, {0, 12800, 0, 9600},
         // The pen already stands at (0, 0): the first record does not move.
         {"style fill1=0", "line 12800,0", "line 0,9600", "line -12800,0", "line 0,-9600", "end"},
         // Without fill styles the selection cannot be written; the record
         // then moves to (0, 0) so that it is not read as an end record.
         {"style move 0,0", "line 12800,0", "line 0,9600", "line -12800,0", "line 0,-9600", "end"}},
        {"away from the origin", true, {10, 20, 30, 60}, {200, 600, 400, 1200},
         {"style move 200,400 fill1=0", "line 400,0", "line 0,800", "line -400,0", "line 0,-800",
          "end"},
         {"style move 200,400", "line 400,0", "line 0,800", "line -400,0", "line 0,-800", "end"}},
        {"in a twips movie", false, {0, 0, 640, 480}, {0, 640, 0, 480},
         {"style fill1=0", "line 640,0", "line 0,480", "line -640,0", "line 0,-480", "end"},
         {"style move 0,0", "line 640,0", "line 0,480", "line -640,0", "line 0,-480", "end"}},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        TFlashMovie movie = NewMovie(row.Pixels);
        TFlashShape& shape = movie.AddRectangle(row.Rect[0], row.Rect[1], row.Rect[2], row.Rect[3]);
        EXPECT_EQ(shape.CharacterId(), 1);
        EXPECT_EQ(Bounds(shape.Bounds), row.Bounds);
        EXPECT_EQ(shape.XMin(), row.Rect[0]);
        EXPECT_EQ(shape.YMax(), row.Rect[3]);
        EXPECT_EQ(shape.GetWidth(), row.Rect[2] - row.Rect[0]);
        EXPECT_EQ(shape.GetHeight(true), row.Bounds[3] - row.Bounds[2]);
        EXPECT_EQ(Describe(shape.ShapeTag().Records), row.InMemory);
        EXPECT_EQ(shape.MinVersion(), 2);
        const TWritten w = Write(shape);
        EXPECT_EQ(w.Code, tagDefineShape2);
        EXPECT_EQ(w.Shape.Id, 1);
        EXPECT_EQ(Bounds(w.Shape.Bounds), row.Bounds);
        EXPECT_TRUE(w.Shape.Fills.empty());
        EXPECT_EQ(w.Shape.Records, row.Written);
    }
}

TEST(FlashEdges, PenOperations) {
    struct Row {
        const char* Name;
        bool Pixels;
        std::function<void(TFlashEdges&)> Draw;
        Records Expected;
        std::optional<std::array<int32_t, 2>> Pen; // twips
    };
    // clang-format off
    const Row rows[] = {
        {"MoveTo(0, 0) on a new shape adds no move", true, [](TFlashEdges& e) { e.MoveTo(0, 0); },
         {"style fill1=0"}, {{0, 0}}},
        {"MoveTo elsewhere moves the first record", true, [](TFlashEdges& e) { e.MoveTo(5, -3); },
         {"style move 100,-60 fill1=0"}, {{100, -60}}},
        {"MoveTo(0, 0) after an edge starts a new style record", true,
         [](TFlashEdges& e) {
             e.LineTo(1, 0);
             e.MoveTo(0, 0);
         },
         {"style fill1=0", "line 20,0", "style move 0,0"}, {{0, 0}}},
        {"LineDelta(4000, 0): 80000 twips in two edges", true,
         [](TFlashEdges& e) { e.LineDelta(4000, 0); },
         {"style fill1=0", "line 40000,0", "line 40000,0"}, {{80000, 0}}},
        {"LineTo splits by the longer axis and the pieces add up", true,
         [](TFlashEdges& e) { e.LineTo(-7000, 1000); },
         {"style fill1=0", "line -46667,6667", "line -46666,6666", "line -46667,6667"},
         {{-140000, 20000}}},
        {"halves of a split round to even", false, [](TFlashEdges& e) { e.LineDelta(65537, -65537); },
         {"style fill1=0", "line 32768,-32768", "line 32769,-32769"}, {{65537, -65537}}},
        {"moves to the pen add nothing", true,
         [](TFlashEdges& e) {
             e.LineDelta(0, 0);
             e.LineTo(0, 0);
             e.CurveTo(5, 5, 0, 0);
         },
         {"style fill1=0"}, {{0, 0}}},
        {"curve with the control on the pen is a line", true,
         [](TFlashEdges& e) { e.CurveTo(0, 0, 10, 5); }, {"style fill1=0", "line 200,100"},
         {{200, 100}}},
        {"curve with the control on the anchor is a line", true,
         [](TFlashEdges& e) { e.CurveTo(10, 5, 10, 5); }, {"style fill1=0", "line 200,100"},
         {{200, 100}}},
        {"curve along a horizontal is one line", true,
         [](TFlashEdges& e) {
             e.MoveTo(1, 2);
             e.CurveTo(4, 2, 10, 2);
         },
         {"style move 20,40 fill1=0", "line 180,0"}, {{200, 40}}},
        {"curve along a vertical is one line", true, [](TFlashEdges& e) { e.CurveTo(0, 3, 0, 10); },
         {"style fill1=0", "line 0,200"}, {{0, 200}}},
        {"a real curve", true, [](TFlashEdges& e) { e.CurveTo(10, 0, 10, 10); },
         {"style fill1=0", "curve 200,0 0,200"}, {{200, 200}}},
        {"CloseShape returns to the last MoveTo", true,
         [](TFlashEdges& e) {
             e.MoveTo(1, 1);
             e.LineTo(3, 1);
             e.LineTo(3, 4);
             e.CloseShape();
         },
         {"style move 20,20 fill1=0", "line 40,0", "line 0,60", "line -40,-60"}, {{20, 20}}},
        {"CloseShape at the start point adds nothing", true,
         [](TFlashEdges& e) {
             e.MoveTo(1, 1);
             e.LineTo(2, 1);
             e.LineTo(1, 1);
             e.CloseShape();
         },
         {"style move 20,20 fill1=0", "line 20,0", "line -20,0"}, {{20, 20}}},
        {"Mirror negates the X terms of every record", true,
         [](TFlashEdges& e) {
             e.MoveTo(1, 2);
             e.LineTo(3, 5);
             e.CurveTo(4, 5, 4, 7);
             e.EndEdges();
             e.Mirror(true, false);
         },
         {"style move -20,40 fill1=0", "line -40,60", "curve -20,0 0,40", "end"}, std::nullopt},
        {"Mirror negates the Y terms", true,
         [](TFlashEdges& e) {
             e.MoveTo(1, 2);
             e.CurveTo(2, 2, 2, 3);
             e.Mirror(false, true);
         },
         {"style move 20,-40 fill1=0", "curve 20,0 0,-20"}, std::nullopt},
        {"IgnoreMovieUnits takes twips", true,
         [](TFlashEdges& e) {
             e.IgnoreMovieUnits = true;
             e.MoveTo(3, 4);
             e.LineDelta(7, 0);
         },
         {"style move 3,4 fill1=0", "line 7,0"}, {{10, 4}}},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        TFlashMovie movie = NewMovie(row.Pixels);
        TFlashShape& shape = movie.AddShape();
        row.Draw(shape.Edges());
        EXPECT_EQ(Describe(shape.ShapeTag().Records), row.Expected);
        if (row.Pen) {
            EXPECT_EQ(shape.Edges().CurrentX, (*row.Pen)[0]);
            EXPECT_EQ(shape.Edges().CurrentY, (*row.Pen)[1]);
        }
    }
}

TEST(FlashEdges, ReturnedRecords) {
    TFlashMovie movie = NewMovie();
    TFlashEdges& e = movie.AddShape().Edges();
    EXPECT_EQ(e.LineTo(0, 0), nullptr);
    TSWFShapeRecord* last = e.LineDelta(4000, 0);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(Describe(*last), "line 40000,0");
    EXPECT_EQ(e.CurveTo(4010, 0, 4020, 0), nullptr); // became a line
    TSWFCurvedEdgeRecord* curve = e.CurveTo(4030, 0, 4030, 10);
    ASSERT_NE(curve, nullptr);
    EXPECT_EQ(Describe(*curve), "curve 200,0 0,200");
}

TEST(FlashEdges, MovesBeyond255PiecesAreRefused) {
    TFlashMovie movie = NewMovie(false);
    TFlashShape& shape = movie.AddShape();
    shape.Edges().LineDelta(255 * 65535, 0); // the most one move can take
    EXPECT_EQ(shape.ShapeTag().Records.size(), 256u);
    EXPECT_THROW(shape.Edges().LineDelta(255 * 65535 + 1, 0), std::runtime_error);
    EXPECT_THROW(shape.Edges().LineTo(0, 255 * 65535 + 1), std::runtime_error);
    EXPECT_EQ(shape.ShapeTag().Records.size(), 256u);
    EXPECT_EQ(shape.Edges().CurrentX, 255 * 65535);
}

// --- Styles -----------------------------------------------------------------

TEST(FlashShape, AlphaBelow255MakesADefineShape3) {
    struct Row {
        const char* Name;
        std::function<void(TFlashShape&)> Style;
        uint16_t Code;
        Records Fills;
        Records Lines;
    };
    // clang-format off
    const Row rows[] = {
        {"opaque fill", [](TFlashShape& s) { s.SetSolidColor(0xFF336699); }, tagDefineShape2,
         {"solid 99 66 33"}, {}},
        {"fill of alpha 128", [](TFlashShape& s) { s.SetSolidColor(0x80336699); },
         tagDefineShape3, {"solid 99 66 33 80"}, {}},
        {"opaque line", [](TFlashShape& s) { s.SetLineStyle(2, 0xFF0000FF); }, tagDefineShape2,
         {}, {"40 FF 00 00"}},
        {"opaque fill, line of alpha 254", [](TFlashShape& s) {
             s.SetSolidColor(0xFF336699);
             s.SetLineStyle(1, 0xFE000000);
         },
         tagDefineShape3, {"solid 99 66 33 FF"}, {"20 00 00 00 FE"}},
        {"gradient colour of alpha 0",
         [](TFlashShape& s) {
             const uint32_t colors[] = {0xFF0000FF, 0x00FF0000};
             s.SetLinearGradient(colors, 0);
         },
         tagDefineShape3, {}, {}},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        TFlashMovie movie = NewMovie();
        TFlashShape& shape = movie.AddRectangle(0, 0, 10, 10);
        row.Style(shape);
        EXPECT_EQ(shape.HasAlpha, row.Code == tagDefineShape3);
        EXPECT_EQ(shape.MinVersion(), row.Code == tagDefineShape3 ? 3 : 2);
        const TWritten w = Write(shape);
        EXPECT_EQ(w.Code, row.Code);
        if (!row.Fills.empty()) {
            EXPECT_EQ(w.Shape.Fills, row.Fills);
        }
        EXPECT_EQ(w.Shape.Lines, row.Lines);
    }
}

TEST(FlashShape, WidestLineWidensTheWrittenBounds) {
    struct Row {
        const char* Name;
        bool Pixels;
        std::vector<int32_t> Widths; // user units
        int32_t Extra;               // twips on every side
    };
    // clang-format off
    const Row rows[] = {
        {"no line", false, {}, 0},
        {"100 twips", false, {100}, 50},
        {"the widest of three", false, {41, 100, 7}, 50},
        {"odd width: half rounded down", false, {41}, 20},
        {"5 pixels", true, {5}, 50},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        TFlashMovie movie = NewMovie(row.Pixels);
        const int32_t u = row.Pixels ? 20 : 1;
        TFlashShape& shape = movie.AddRectangle(0, 0, 1000 / u, 500 / u);
        for (const int32_t width : row.Widths)
            shape.SetLineStyle(width, 0xFF000000);
        const std::array<int32_t, 4> before = Bounds(shape.Bounds);
        EXPECT_EQ(
            Bounds(Write(shape).Shape.Bounds),
            (std::array<int32_t, 4>{-row.Extra, 1000 + row.Extra, -row.Extra, 500 + row.Extra}));
        EXPECT_EQ(Bounds(shape.Bounds), before);
    }
}

TEST(FlashShape, StylesSelectInTheFirstOrTheLastStyleRecord) {
    TFlashMovie movie = NewMovie();
    TFlashShape& shape = movie.AddShape();
    shape.Edges().MoveTo(1, 1);
    shape.Edges().LineTo(2, 1);
    shape.Edges().MoveTo(5, 5);
    shape.Edges().LineTo(6, 5);
    shape.ApplyStylesToLast = true;
    shape.SetSolidColor(0xFF0000FF);
    shape.SetLineStyle(1, 0xFF000000);
    EXPECT_EQ(Describe(shape.ShapeTag().Records),
              (Records{"style move 20,20 fill1=0", "line 20,0", "style move 100,100 fill1=1 line=1",
                       "line 20,0"}));
    shape.ApplyStylesToLast = false;
    shape.SetSolidColor(0xFF00FF00);
    shape.SetFillStyleLeft(1);
    EXPECT_EQ(shape.FillStyleRight(), 2);
    EXPECT_EQ(shape.FillStyleLeft(), 1);
    EXPECT_EQ(Describe(*shape.ShapeTag().Records.front()), "style move 20,20 fill0=1 fill1=2");
}

TEST(FlashShape, LinearGradients) {
    struct Row {
        const char* Name;
        std::vector<uint32_t> Colors;
        float Angle;
        std::vector<int> Ratios;
        // 16.16 terms, truncated toward zero: the shape's 2000 x 1000 twips
        // over the 32768-twip gradient square, turned by the angle.
        int32_t ScaleX, ScaleY, RotateSkew0, RotateSkew1;
    };
    // clang-format off
    const Row rows[] = {
        {"two colours, 0 degrees", {0xFF0000FF, 0xFFFF0000}, 0, {0, 255}, 4000, 2000, 0, 0},
        // (3 - 2) / 2 * 255 = 127.5 rounds to even.
        {"three colours, 90 degrees", {0xFF0000FF, 0xFF00FF00, 0xFFFF0000}, 90, {0, 128, 255}, 0, 0,
         -2000, 4000},
        {"four colours, 45 degrees", {1, 2, 3, 4}, 45, {0, 85, 170, 255}, 2828, 1414, -1414, 2828},
        {"eight colours, 180 degrees", {1, 2, 3, 4, 5, 6, 7, 8}, 180,
         {0, 36, 73, 109, 146, 182, 219, 255}, -4000, -2000, 0, 0},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        TFlashMovie movie = NewMovie();
        TFlashShape& shape = movie.AddRectangle(10, 20, 110, 70); // 2000 x 1000 twips
        TSWFGradientFill& fill = shape.SetLinearGradient(row.Colors, row.Angle);
        EXPECT_EQ(fill.FillStyleType, fsLinearGradient);
        ASSERT_EQ(fill.Count, row.Colors.size());
        std::vector<int> ratios;
        for (size_t i = 0; i < fill.Count; ++i) {
            ratios.push_back(fill.Ratios[i]);
            EXPECT_EQ(fill.Colors[i].RGBA(), row.Colors[i]) << i;
        }
        EXPECT_EQ(ratios, row.Ratios);
        const TSWFMatrix& m = fill.GradientMatrix;
        EXPECT_EQ(m.ScaleX, row.ScaleX);
        EXPECT_EQ(m.ScaleY, row.ScaleY);
        EXPECT_EQ(m.RotateSkew0, row.RotateSkew0);
        EXPECT_EQ(m.RotateSkew1, row.RotateSkew1);
        EXPECT_EQ(m.TranslateX, 200 + 1000); // XMin + width div 2, twips
        EXPECT_EQ(m.TranslateY, 400 + 500);
        EXPECT_EQ(shape.FillStyleRight(), 1);
    }
}

TEST(FlashShape, GradientsNeedTwoToEightColours) {
    for (const size_t count : {size_t(0), size_t(1), size_t(9)}) {
        SCOPED_TRACE(count);
        TFlashMovie movie = NewMovie();
        TFlashShape& shape = movie.AddRectangle(0, 0, 10, 10);
        const std::vector<uint32_t> colors(count, 0x80FFFFFF);
        EXPECT_THROW(shape.SetLinearGradient(colors, 0), std::invalid_argument);
        EXPECT_TRUE(shape.ShapeTag().FillStyles.empty());
        EXPECT_FALSE(shape.HasAlpha);
    }
}

// --- Image fills and the picture shape ------------------------------------

TEST(FlashShape, ImageFillModes) {
    struct Row {
        const char* Name;
        TFlashFillMode Mode;
        float ScaleX, ScaleY;
        std::string Fill; // as written
    };
    // clang-format off
    const Row rows[] = {
        // 520 x 420 twips over 13 x 7 pixels: 40 and 60, plus 0.003662109375
        // (240 in 16.16); the matrix starts 5 twips before the shape.
        {"fit", fmFit, 1, 1, "bitmap 41 id=1 scale 2621680,3932400 translate 35,55"},
        {"clip", fmClip, 2, 3, "bitmap 41 id=1 scale 2621440,3932160 translate 35,55"},
        {"tile", fmTile, 1, 0.5f, "bitmap 40 id=1 scale 1310720,655360 translate 35,55"},
        {"another mode: identity", TFlashFillMode(3), 2, 2, "bitmap 41 id=1 translate 0,0"},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        TFlashMovie movie = NewMovie();
        TFlashImage& image = movie.AddImage(kData / "bmp/bgr24-13x7.bmp");
        TFlashShape& shape = movie.AddRectangle(2, 3, 28, 24);
        TSWFImageFill& fill = shape.SetImageFill(image, row.Mode, row.ScaleX, row.ScaleY);
        EXPECT_EQ(fill.BitmapId, 1);
        EXPECT_EQ(shape.FillStyleRight(), 1);
        EXPECT_EQ(Describe(*shape.ShapeTag().Records.front()), "style move 40,60 fill1=1");
        EXPECT_EQ(Write(shape).Shape.Fills, Records{row.Fill});
        EXPECT_EQ(movie.IndexOfObject(&image), 0); // already before the shape
    }
}

TEST(FlashShape, ImageFillMovesALaterImageBeforeTheShape) {
    TFlashMovie movie = NewMovie();
    TFlashShape& other = movie.AddRectangle(0, 0, 1, 1);
    TFlashShape& shape = movie.AddRectangle(0, 0, 13, 7);
    movie.ShowFrame();
    TFlashImage& image = movie.AddImage(kData / "bmp/bgr24-13x7.bmp");
    EXPECT_EQ(image.CharacterId(), 3);
    shape.SetImageFill(image, fmFit);
    EXPECT_EQ(movie.IndexOfObject(&other), 0);
    EXPECT_EQ(movie.IndexOfObject(&image), 1);
    EXPECT_EQ(movie.IndexOfObject(&shape), 2);
    EXPECT_EQ(movie.Images()[0], &image);
    EXPECT_EQ(TagCodes(movie), (std::vector<int>{tagDefineShape2, tagDefineBitsLossless,
                                                 tagDefineShape2, tagShowFrame, tagEnd}));
}

TEST(FlashShape, FittingAPictureWithoutSizeIsAnError) {
    TFlashMovie movie = NewMovie();
    TFlashImage& empty = movie.AddImage();
    TFlashShape& shape = movie.AddRectangle(0, 0, 10, 10);
    EXPECT_THROW(shape.SetImageFill(empty, fmFit), std::runtime_error);
    EXPECT_TRUE(shape.ShapeTag().FillStyles.empty());
    EXPECT_EQ(shape.FillStyleRight(), 0);
}

TEST(FlashMovie, AddImageAndAddShapeImageIds) {
    TFlashMovie movie = NewMovie();
    TFlashImage& image = movie.AddImage(kData / "bmp/bgr24-13x7.bmp");
    TFlashShape& shape = movie.AddShapeImage(image);
    EXPECT_EQ(image.CharacterId(), 1);
    EXPECT_EQ(shape.CharacterId(), 2);
    EXPECT_EQ(movie.NextCharacterId(), 3);
    ASSERT_EQ(movie.Images().Count(), 1u);
    EXPECT_EQ(movie.Images()[0], &image);
    ASSERT_EQ(movie.Shapes().Count(), 1u);
    EXPECT_EQ(movie.Shapes()[0], &shape);
    EXPECT_EQ(Bounds(shape.Bounds), (std::array<int32_t, 4>{0, 260, 0, 140}));
    // The slide show's picture: clipped, scaled 20.00366 both ways, 5 twips before the origin.
    const TWritten w = Write(shape);
    EXPECT_EQ(w.Shape.Fills, Records{"bitmap 41 id=1 scale 1310960,1310960 translate -5,-5"});
    EXPECT_EQ(w.Shape.Records, (Records{"style fill1=1", "line 260,0", "line 0,140", "line -260,0",
                                        "line 0,-140", "end"}));

    TFlashImage& blank = movie.AddImage(); // without data: filled later
    EXPECT_EQ(blank.CharacterId(), 3);
    EXPECT_EQ(blank.DataState(), TFlashImage::dsNone);
    EXPECT_EQ(movie.AddRectangle(0, 0, 1, 1).CharacterId(), 4);
    EXPECT_EQ(movie.NextCharacterId(), 5);
    EXPECT_EQ(movie.Objects().size(), 4u);
}

TEST(FlashMovie, AddShapeImageOfAPictureWithoutSizeAddsNothing) {
    TFlashMovie movie = NewMovie();
    TFlashImage& empty = movie.AddImage();
    EXPECT_THROW(movie.AddShapeImage(empty), std::runtime_error);
    EXPECT_EQ(movie.Objects().size(), 1u);
    EXPECT_EQ(movie.Shapes().Count(), 0u);
    EXPECT_EQ(movie.NextCharacterId(), 2);
}

} // namespace
} // namespace pictova
