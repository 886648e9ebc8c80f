#include "swf/ShapeTags.h"
#include "swf/ShapeRecords.h"
#include "swf/ShapeStyles.h"
#include "tests/support/BitPacker.h"
#include "tests/support/Capture.h"
#include "tests/support/ShapeReader.h"
#include "tests/support/SwfWalker.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <typeinfo>

namespace pictova {
namespace {

using test::Add;
using test::BodyBytes;
using test::Capture;
using test::Hex;
using test::Pack;
using test::TagBytes;
using test::U16;
using test::U32;
using namespace std::string_literals;

std::string RecordBytes(TSWFShapeRecord& record) {
    return Capture([&](TBitsEngine& be) {
        record.WriteToStream(be);
        be.FlushLastByte(true);
    });
}

std::string StyleBytes(TSWFFillStyle& style) {
    return Capture([&](TBitsEngine& be) { style.WriteToStream(be); });
}

std::string MorphStyleBytes(TSWFMorphFillStyle& style) {
    return Capture([&](TBitsEngine& be) { style.WriteToStream(be); });
}

std::unique_ptr<TSWFColorFill> Solid(uint32_t rgba) {
    auto fill = std::make_unique<TSWFColorFill>();
    fill->Color.SetRGBA(rgba);
    return fill;
}

std::unique_ptr<TSWFLineStyle> Line(uint16_t width, uint32_t rgba) {
    auto line = std::make_unique<TSWFLineStyle>();
    line->Width = width;
    line->Color.SetRGBA(rgba);
    return line;
}

TEST(ShapeRecords, StraightEdgeWidthsAndDirections) {
    struct Row {
        const char* Name;
        int32_t DX, DY;
        std::string Expected;
    };
    const Row rows[] = {
        {"vertical (0, 40)", 0, 40,
         Pack({{1, 1},     // TypeFlag: edge
               {1, 1},     // StraightFlag
               {5, 4},     // NumBits = 7 - 2
               {0, 1},     // GeneralLineFlag
               {1, 1},     // VertLineFlag
               {40, 7}})}, // DeltaY
        {"horizontal (-40, 0)", -40, 0,
         Pack({{1, 1},
               {1, 1},
               {5, 4},
               {0, 1},      // GeneralLineFlag
               {0, 1},      // VertLineFlag: horizontal
               {-40, 7}})}, // DeltaX
        {"general (-3, 5)", -3, 5,
         Pack({{1, 1},
               {1, 1},
               {2, 4},    // NumBits = 4 - 2
               {1, 1},    // GeneralLineFlag
               {-3, 4},   // DeltaX
               {5, 4}})}, // DeltaY
        {"one twip", 1, 0, Pack({{1, 1}, {1, 1}, {0, 4}, {0, 1}, {0, 1}, {1, 2}})},
        {"two twips", 0, 2, Pack({{1, 1}, {1, 1}, {1, 4}, {0, 1}, {1, 1}, {2, 3}})},
        {"2^15 - 1", 32767, 0, Pack({{1, 1}, {1, 1}, {14, 4}, {0, 1}, {0, 1}, {32767, 16}})},
        {"-2^15", 0, -32768, Pack({{1, 1}, {1, 1}, {15, 4}, {0, 1}, {1, 1}, {-32768, 17}})},
        {"largest edge", 65535, -65535,
         Pack({{1, 1}, {1, 1}, {15, 4}, {1, 1}, {65535, 17}, {-65535, 17}})},
        {"no movement", 0, 0, ""},
    };
    for (const Row& row : rows) {
        TSWFStraightEdgeRecord edge(row.DX, row.DY);
        EXPECT_EQ(Hex(RecordBytes(edge)), Hex(row.Expected)) << row.Name;
    }
}

TEST(ShapeRecords, EdgesBeyondSeventeenBitsAreRefused) {
    TSWFStraightEdgeRecord straight(65536, 0);
    EXPECT_THROW(RecordBytes(straight), std::out_of_range);
    TSWFStraightEdgeRecord negative(0, -65536);
    EXPECT_THROW(RecordBytes(negative), std::out_of_range);
    TSWFCurvedEdgeRecord curve(0, 0, 70000, 1);
    EXPECT_THROW(RecordBytes(curve), std::out_of_range);
}

TEST(ShapeRecords, CurvedEdge) {
    TSWFCurvedEdgeRecord curve(10, -20, 30, 40);
    EXPECT_EQ(Hex(RecordBytes(curve)), Hex(Pack({
                                           {1, 1},   // TypeFlag: edge
                                           {0, 1},   // StraightFlag: curve
                                           {5, 4},   // NumBits = 7 - 2
                                           {10, 7},  // ControlDeltaX
                                           {-20, 7}, // ControlDeltaY
                                           {30, 7},  // AnchorDeltaX
                                           {40, 7},  // AnchorDeltaY
                                       })));
    TSWFCurvedEdgeRecord anchorOnly(0, 0, 0, 1);
    EXPECT_EQ(Hex(RecordBytes(anchorOnly)),
              Hex(Pack({{1, 1}, {0, 1}, {0, 4}, {0, 2}, {0, 2}, {0, 2}, {1, 2}})));
    TSWFCurvedEdgeRecord nothing;
    EXPECT_EQ(RecordBytes(nothing), "");
}

TEST(ShapeRecords, StyleChangeFlagsEachAlone) {
    struct Row {
        const char* Name;
        void (*Set)(TSWFStyleChangeRecord&);
        std::string Expected;
    };
    // Index widths in force: 2 bits for fills, 3 for lines.
    const Row rows[] = {
        {"move only", [](TSWFStyleChangeRecord& r) { r.SetMoveTo(100, -50); },
         Pack({{0, 1},      // TypeFlag
               {0, 1},      // StateNewStyles
               {0, 1},      // StateLineStyle
               {0, 1},      // StateFillStyle1
               {0, 1},      // StateFillStyle0
               {1, 1},      // StateMoveTo
               {8, 5},      // MoveBits
               {100, 8},    // MoveDeltaX
               {-50, 8}})}, // MoveDeltaY
        {"fill style 1 only", [](TSWFStyleChangeRecord& r) { r.SetFillStyle1(2); },
         Pack({{0, 1},
               {0, 1},
               {0, 1},
               {1, 1}, // StateFillStyle1
               {0, 1},
               {0, 1},    // StateMoveTo: not asked for
               {2, 2}})}, // FillStyle1
        {"fill style 0 only", [](TSWFStyleChangeRecord& r) { r.SetFillStyle0(3); },
         Pack({{0, 1},
               {0, 1},
               {0, 1},
               {0, 1},
               {1, 1},    // StateFillStyle0
               {0, 1},    // StateMoveTo
               {3, 2}})}, // FillStyle0
        {"line style only", [](TSWFStyleChangeRecord& r) { r.SetLineStyle(5); },
         Pack({{0, 1},
               {0, 1},
               {1, 1}, // StateLineStyle
               {0, 1},
               {0, 1},
               {0, 1},    // StateMoveTo
               {5, 3}})}, // LineStyle
        {"no flags at all moves to its point", [](TSWFStyleChangeRecord& r) { r.MoveDeltaX = 7; },
         Pack({{0, 1},
               {0, 1},
               {0, 1},
               {0, 1},
               {0, 1},
               {1, 1},    // StateMoveTo forced: never an end record
               {4, 5},    // MoveBits
               {7, 4},    // MoveDeltaX
               {0, 4}})}, // MoveDeltaY
        {"move to the origin", [](TSWFStyleChangeRecord& r) { r.SetMoveTo(0, 0); },
         Pack({{0, 1},
               {0, 1},
               {0, 1},
               {0, 1},
               {0, 1},
               {1, 1},    // StateMoveTo
               {0, 5}})}, // MoveBits 0: no coordinates
    };
    for (const Row& row : rows) {
        TSWFStyleChangeRecord record;
        record.FillBits = 2;
        record.LineBits = 3;
        row.Set(record);
        EXPECT_EQ(Hex(RecordBytes(record)), Hex(row.Expected)) << row.Name;
    }
}

TEST(ShapeRecords, StyleChangeWithNewStyles) {
    TSWFStyleChangeRecord record;
    EXPECT_FALSE(record.StateNewStyles());
    record.NewFillStyles().push_back(Solid(MakeRGBA(0xFF, 0, 0, 0x80)));
    EXPECT_TRUE(record.StateNewStyles());
    record.NewLineStyles().push_back(Line(40, MakeRGBA(0, 0, 0xFF, 0x40)));
    record.NewLineStyles().push_back(Line(20, MakeRGBA(1, 2, 3, 0xFF)));
    record.HasAlpha = false;
    const std::string rgb = RecordBytes(record);
    EXPECT_EQ(Hex(rgb), Hex(Pack({{0, 1},    // TypeFlag
                                  {1, 1},    // StateNewStyles
                                  {0, 3},    // no selection
                                  {0, 1},    // StateMoveTo: the new-styles flag tells it apart
                                  {0, 2}}) + // align
                            "\x01"           // FillStyleCount
                            "\x00"           // FillStyleType: solid
                            "\xFF\x00\x00"s  // Color (RGB)
                            "\x02"           // LineStyleCount
                            + U16(40) +      // Width
                            "\x00\x00\xFF"s  // Color (RGB)
                            + U16(20) + "\x01\x02\x03" +
                            Pack({{1, 4},     // NumFillBits
                                  {2, 4}}))); // NumLineBits
    EXPECT_EQ(record.FillBits, 1);
    EXPECT_EQ(record.LineBits, 2);

    TSWFStyleChangeRecord alpha;
    alpha.NewFillStyles().push_back(Solid(MakeRGBA(0xFF, 0, 0, 0x80)));
    alpha.HasAlpha = true;
    EXPECT_EQ(Hex(RecordBytes(alpha)), Hex(Pack({{0, 1}, {1, 1}, {0, 3}, {0, 1}, {0, 2}}) +
                                           "\x01\x00\xFF\x00\x00\x80"s // one RGBA fill
                                           "\x00"                      // LineStyleCount
                                           + Pack({{1, 4}, {0, 4}})));
}

// A square-ish path: move, two straight edges, a curve back to the start.
void AddSamplePath(TSWFShapeRecordList& records) {
    auto& start = Add<TSWFStyleChangeRecord>(records);
    start.SetMoveTo(20, 10);
    start.SetFillStyle1(1);
    start.SetLineStyle(1);
    Add<TSWFStraightEdgeRecord>(records, 160, 0);
    Add<TSWFStraightEdgeRecord>(records, 0, 80);
    Add<TSWFCurvedEdgeRecord>(records, -80, 0, -80, -80);
    Add<TSWFEndShapeRecord>(records);
}

std::string SamplePathBits() {
    return Pack({{1, 4}, // NumFillBits
                 {1, 4}, // NumLineBits
                 // style change
                 {0, 1},  // TypeFlag
                 {0, 1},  // StateNewStyles
                 {1, 1},  // StateLineStyle
                 {1, 1},  // StateFillStyle1
                 {0, 1},  // StateFillStyle0
                 {1, 1},  // StateMoveTo
                 {6, 5},  // MoveBits
                 {20, 6}, // MoveDeltaX
                 {10, 6}, // MoveDeltaY
                 {1, 1},  // FillStyle1
                 {1, 1},  // LineStyle
                 // straight edge (160, 0)
                 {1, 1},
                 {1, 1},
                 {7, 4},   // NumBits = 9 - 2
                 {0, 1},   // GeneralLineFlag
                 {0, 1},   // VertLineFlag
                 {160, 9}, // DeltaX
                 // straight edge (0, 80)
                 {1, 1},
                 {1, 1},
                 {6, 4},  // NumBits = 8 - 2
                 {0, 1},  // GeneralLineFlag
                 {1, 1},  // VertLineFlag
                 {80, 8}, // DeltaY
                 // curved edge
                 {1, 1},
                 {0, 1},
                 {6, 4},   // NumBits = 8 - 2
                 {-80, 8}, // ControlDeltaX
                 {0, 8},   // ControlDeltaY
                 {-80, 8}, // AnchorDeltaX
                 {-80, 8}, // AnchorDeltaY
                 {0, 6}}); // end record
}

void FillSampleShape(TSWFDefineShape& shape) {
    shape.ShapeId = 1;
    shape.ShapeBounds = TSWFRect{0, 200, 0, 100};
    shape.FillStyles.push_back(Solid(MakeRGBA(0xFF, 0, 0, 0xFF)));
    shape.LineStyles.push_back(Line(20, MakeRGBA(0, 0, 0xFF, 0xFF)));
    AddSamplePath(shape.Records);
}

const std::string SampleBounds = Pack({{9, 5},     // Nbits
                                       {0, 9},     // Xmin
                                       {200, 9},   // Xmax
                                       {0, 9},     // Ymin
                                       {100, 9}}); // Ymax

TEST(DefineShape, WholeTagFieldByField) {
    TSWFDefineShape shape;
    FillSampleShape(shape);
    const std::string body = U16(1) +        // ShapeId
                             SampleBounds +  // ShapeBounds
                             "\x01"          // FillStyleCount
                             "\x00"          // FillStyleType: solid
                             "\xFF\x00\x00"s // Color (RGB)
                             "\x01"          // LineStyleCount
                             + U16(20) +     // Width
                             "\x00\x00\xFF"s // Color (RGB)
                             + SamplePathBits();
    EXPECT_EQ(Hex(TagBytes(shape)), Hex(U16(2 << 6 | uint32_t(body.size())) + body));
}

TEST(DefineShape, ColourFormatFollowsTheTag) {
    // Translucent colours lose their alpha in DefineShape2; opaque colours
    // without an alpha flag gain one in DefineShape3.
    TSWFDefineShape2 shape2;
    FillSampleShape(shape2);
    static_cast<TSWFColorFill&>(*shape2.FillStyles[0]).Color.SetRGBA(MakeRGBA(0xFF, 0, 0, 0x80));
    const std::string body2 = BodyBytes(shape2);
    EXPECT_EQ(Hex(body2.substr(8, 11)),
              Hex("\x01\x00\xFF\x00\x00\x01"s + U16(20) + "\x00\x00\xFF"s));
    EXPECT_EQ(shape2.TagID, tagDefineShape2);

    TSWFDefineShape3 shape3;
    FillSampleShape(shape3);
    EXPECT_FALSE(static_cast<TSWFColorFill&>(*shape3.FillStyles[0]).Color.HasAlpha());
    const std::string body3 = BodyBytes(shape3);
    EXPECT_EQ(Hex(body3.substr(8)), Hex("\x01\x00\xFF\x00\x00\xFF"s // fill, RGBA
                                        "\x01"s +
                                        U16(20) + "\x00\x00\xFF\xFF"s // line, RGBA
                                        + SamplePathBits()));
    EXPECT_EQ(Hex(TagBytes(shape3).substr(0, 2)), Hex(U16(32 << 6 | uint32_t(body3.size()))));
}

TEST(DefineShape, StyleCountsEscapeFrom255) {
    struct Row {
        size_t Count;
        std::string CountBytes;
        unsigned FillBits;
    };
    const Row rows[] = {
        {1, "\x01", 1},
        {254, "\xFE", 8},
        {255, "\xFF\xFF\x00"s, 8},
        {300, "\xFF\x2C\x01"s, 9},
    };
    for (const Row& row : rows) {
        TSWFDefineShape2 shape;
        for (size_t i = 0; i < row.Count; ++i)
            shape.FillStyles.push_back(Solid(MakeRGBA(1, 2, 3, 0xFF)));
        const std::string body = BodyBytes(shape);
        const size_t styles = 3; // after ShapeId and an empty RECT
        EXPECT_EQ(Hex(body.substr(styles, row.CountBytes.size())), Hex(row.CountBytes))
            << row.Count;
        const size_t after = styles + row.CountBytes.size() + row.Count * 4;
        EXPECT_EQ(Hex(body.substr(after)), Hex("\x00"s                    // LineStyleCount
                                               + Pack({{row.FillBits, 4}, // NumFillBits
                                                       {0, 4}})           // NumLineBits
                                               + "\x00"s))                // end record
            << row.Count;
    }
}

TEST(DefineShape, SelectionsTheIndexWidthsCannotHoldAreDropped) {
    // No styles at all: a record that only selects "no fill" becomes a plain
    // move to its point, the origin here.
    TSWFDefineShape3 bare;
    bare.Records.push_back(std::make_unique<TSWFStyleChangeRecord>());
    static_cast<TSWFStyleChangeRecord&>(*bare.Records[0]).SetFillStyle1(0);
    Add<TSWFStraightEdgeRecord>(bare.Records, 0, 40);
    EXPECT_EQ(Hex(BodyBytes(bare).substr(3)),
              Hex("\x00\x00"s // no fill styles, no line styles
                  + Pack({{0, 4},
                          {0, 4}, // NumFillBits, NumLineBits
                          {0, 1},
                          {0, 1},
                          {0, 1},
                          {0, 1}, // StateFillStyle1 cleared
                          {0, 1},
                          {1, 1}, // StateMoveTo forced
                          {0, 5}, // MoveBits
                          {1, 1},
                          {1, 1},
                          {5, 4},
                          {0, 1},
                          {1, 1},
                          {40, 7},    // edge
                          {0, 6}}))); // end record appended

    // One fill style, no line styles: the fill is selected in 1 bit, the line
    // selection is not written.
    TSWFDefineShape2 filled;
    filled.FillStyles.push_back(Solid(MakeRGBA(0, 0, 0, 0xFF)));
    auto& select = Add<TSWFStyleChangeRecord>(filled.Records);
    select.SetFillStyle1(1);
    select.SetLineStyle(1);
    EXPECT_EQ(Hex(BodyBytes(filled).substr(8)),
              Hex("\x00"s + Pack({{1, 4},
                                  {0, 4},
                                  {0, 1},
                                  {0, 1},
                                  {0, 1}, // StateLineStyle cleared
                                  {1, 1}, // StateFillStyle1
                                  {0, 1},
                                  {0, 1},
                                  {1, 1}, // FillStyle1 in 1 bit
                                  {0, 6}})));
}

TEST(DefineShape, RecordListTermination) {
    // Empty list: one end record.
    TSWFDefineShape empty;
    EXPECT_EQ(Hex(BodyBytes(empty)), Hex(U16(0) + "\x00"s         // ShapeId, empty RECT
                                                  "\x00\x00\x00"s // counts, index widths
                                                  "\x00"s));      // end record
    // An end record in the middle is dropped; the list is closed anyway.
    TSWFDefineShape middle;
    Add<TSWFStraightEdgeRecord>(middle.Records, 1, 0);
    Add<TSWFEndShapeRecord>(middle.Records);
    Add<TSWFStraightEdgeRecord>(middle.Records, 0, 1);
    EXPECT_EQ(Hex(BodyBytes(middle).substr(3)), Hex("\x00\x00"s + Pack({{0, 8}, // index widths
                                                                        {1, 1},
                                                                        {1, 1},
                                                                        {0, 4},
                                                                        {0, 1},
                                                                        {0, 1},
                                                                        {1, 2}, // (1, 0)
                                                                        {1, 1},
                                                                        {1, 1},
                                                                        {0, 4},
                                                                        {0, 1},
                                                                        {1, 1},
                                                                        {1, 2}, // (0, 1)
                                                                        {0, 6}})));
}

TEST(DefineShape, IndexWidthsFollowNewStyles) {
    // After a record with three new fills, fill indices take 2 bits.
    TSWFDefineShape3 shape;
    auto& change = Add<TSWFStyleChangeRecord>(shape.Records);
    for (int i = 0; i < 3; ++i)
        change.NewFillStyles().push_back(Solid(MakeRGBA(9, 9, 9, 0xFF)));
    Add<TSWFStyleChangeRecord>(shape.Records).SetFillStyle0(3);
    EXPECT_EQ(Hex(BodyBytes(shape).substr(3)), Hex("\x00\x00"s +
                                                   Pack({{0, 8}, // index widths 0, 0
                                                         {0, 1},
                                                         {1, 1},
                                                         {0, 3},
                                                         {0, 1},          // new styles, no move
                                                         {0, 2}}) +       // align
                                                   "\x03"                 // FillStyleCount
                                                   "\x00\x09\x09\x09\xFF" // solid, RGBA
                                                   "\x00\x09\x09\x09\xFF"
                                                   "\x00\x09\x09\x09\xFF"
                                                   "\x00"s + // LineStyleCount
                                                   Pack({{2, 4},
                                                         {0, 4}, // new widths
                                                         {0, 1},
                                                         {0, 1},
                                                         {0, 1},
                                                         {0, 1},
                                                         {1, 1}, // StateFillStyle0
                                                         {0, 1}, // no move
                                                         {3, 2}, // FillStyle0 in 2 bits
                                                         {0, 6}})));
}

TEST(FillStyles, GradientAndBitmapFields) {
    TSWFGradientFill gradient;
    gradient.GradientMatrix.SetScale(0.5f, 0.5f);
    gradient.Count = 2;
    gradient.Ratios[0] = 0;
    gradient.Colors[0].SetRGBA(MakeRGBA(0xFF, 0, 0, 0xFF));
    gradient.Ratios[1] = 255;
    gradient.Colors[1].SetRGBA(MakeRGBA(0, 0, 0xFF, 0x80));
    const std::string matrix = Pack({{1, 1},                        // HasScale
                                     {17, 5},                       // NScaleBits
                                     {32768, 17},                   // ScaleX 0.5 in 16.16
                                     {32768, 17},                   // ScaleY
                                     {0, 1},                        // HasRotate
                                     {0, 5}});                      // NTranslateBits
    EXPECT_EQ(Hex(StyleBytes(gradient)), Hex("\x10"s + matrix +     // linear, GradientMatrix
                                             "\x02"                 // NumGradients
                                             "\x00\xFF\x00\x00"     // ratio, RGB
                                             "\xFF\x00\x00\xFF"s)); // ratio, RGB: alpha dropped
    gradient.HasAlpha = true;
    gradient.FillStyleType = fsRadialGradient;
    EXPECT_EQ(Hex(StyleBytes(gradient)),
              Hex("\x12"s + matrix + "\x02\x00\xFF\x00\x00\xFF\xFF\x00\x00\xFF\x80"s));

    TSWFImageFill image;
    image.BitmapId = 7;
    image.BitmapMatrix.SetTranslate(-5, -5);
    const std::string imageTail = U16(7) + Pack({{0, 1},
                                                 {0, 1}, // no scale, no rotate
                                                 {4, 5}, // NTranslateBits
                                                 {-5, 4},
                                                 {-5, 4}}); // TranslateX, Y
    EXPECT_EQ(Hex(StyleBytes(image)), Hex("\x41"s + imageTail));
    image.FillStyleType = fsRepeatingBitmap;
    EXPECT_EQ(Hex(StyleBytes(image)), Hex("\x40"s + imageTail));
}

void FillSampleMorph(TSWFDefineMorphShape& morph) {
    morph.CharacterId = 5;
    morph.StartBounds = TSWFRect{0, 100, 0, 100};
    morph.EndBounds = TSWFRect{200, 300, 0, 100};
    auto fill = std::make_unique<TSWFMorphColorFill>();
    fill->StartColor.SetRGBA(MakeRGBA(0xFF, 0, 0, 0xFF));
    fill->EndColor.SetRGBA(MakeRGBA(0, 0, 0xFF, 0x80));
    morph.MorphFillStyles.push_back(std::move(fill));
    auto line = std::make_unique<TSWFMorphLineStyle>();
    line->StartWidth = 20;
    line->EndWidth = 60;
    line->StartColor.SetRGBA(MakeRGBA(0, 0, 0, 0xFF));
    line->EndColor.SetRGBA(MakeRGBA(0, 0xFF, 0, 0xFF));
    morph.MorphLineStyles.push_back(std::move(line));
    auto& start = Add<TSWFStyleChangeRecord>(morph.StartRecords);
    start.SetMoveTo(10, 20);
    start.SetFillStyle0(1);
    start.SetLineStyle(1);
    Add<TSWFStraightEdgeRecord>(morph.StartRecords, 80, 0);
    auto& end = Add<TSWFStyleChangeRecord>(morph.EndRecords);
    end.SetMoveTo(210, 20);
    end.SetFillStyle0(1); // the end shape carries no selections
    end.SetLineStyle(1);
    Add<TSWFStraightEdgeRecord>(morph.EndRecords, 80, 0);
}

TEST(DefineMorphShape, WholeTagFieldByField) {
    TSWFDefineMorphShape morph;
    FillSampleMorph(morph);
    const std::string startPart =
        "\x01"                                  // MorphFillStyleCount
        "\x00"                                  // FillStyleType: solid
        "\xFF\x00\x00\xFF"                      // StartColor
        "\x00\x00\xFF\x80"                      // EndColor
        "\x01"s                                 // MorphLineStyleCount
        + U16(20) + U16(60) +                   // StartWidth, EndWidth
        "\x00\x00\x00\xFF"                      // StartColor
        "\x00\xFF\x00\xFF"s +                   // EndColor
        Pack({{1, 4}, {1, 4},                   // NumFillBits, NumLineBits
              {0, 1}, {0, 1},  {1, 1},          // StateLineStyle
              {0, 1}, {1, 1},                   // StateFillStyle0
              {1, 1},                           // StateMoveTo
              {6, 5}, {10, 6}, {20, 6}, {1, 1}, // FillStyle0
              {1, 1},                           // LineStyle
              {1, 1}, {1, 1},  {6, 4},  {0, 1}, {0, 1}, {80, 8}, {0, 6}});        // end record
    const std::string body = U16(5) +                                             // CharacterId
                             Pack({{8, 5}, {0, 8}, {100, 8}, {0, 8}, {100, 8}}) + // StartBounds
                             Pack({{10, 5}, {200, 10}, {300, 10}, {0, 10}, {100, 10}}) +
                             U32(uint32_t(startPart.size())) + // Offset to the end edges
                             startPart +
                             Pack({{0, 4},
                                   {0, 4}, // NumFillBits, NumLineBits
                                   {0, 1},
                                   {0, 4}, // no selections left
                                   {1, 1}, // StateMoveTo
                                   {9, 5},
                                   {210, 9},
                                   {20, 9},
                                   {1, 1},
                                   {1, 1},
                                   {6, 4},
                                   {0, 1},
                                   {0, 1},
                                   {80, 8},
                                   {0, 6}});
    EXPECT_EQ(startPart.size(), 30u);
    EXPECT_EQ(Hex(TagBytes(morph)), Hex(U16(46 << 6 | uint32_t(body.size())) + body));
}

TEST(DefineMorphShape, EndRecordInTheMiddleIsDropped) {
    // Written, it would end the start shape early and leave the start and end
    // edges unpaired.
    TSWFDefineMorphShape morph;
    Add<TSWFStraightEdgeRecord>(morph.StartRecords, 1, 0);
    Add<TSWFEndShapeRecord>(morph.StartRecords);
    Add<TSWFStraightEdgeRecord>(morph.StartRecords, 0, 1);
    Add<TSWFStraightEdgeRecord>(morph.EndRecords, 2, 0);
    Add<TSWFStraightEdgeRecord>(morph.EndRecords, 0, 2);
    const std::string startPart = "\x00\x00"s + // no styles
                                  Pack({{0, 8}, // NumFillBits, NumLineBits
                                        {1, 1},
                                        {1, 1},
                                        {0, 4},
                                        {0, 1},
                                        {0, 1},
                                        {1, 2}, // (1, 0)
                                        {1, 1},
                                        {1, 1},
                                        {0, 4},
                                        {0, 1},
                                        {1, 1},
                                        {1, 2}, // (0, 1)
                                        {0, 6}});
    EXPECT_EQ(Hex(BodyBytes(morph).substr(4)), Hex(U32(uint32_t(startPart.size())) + startPart +
                                                   Pack({{0, 8},
                                                         {1, 1},
                                                         {1, 1},
                                                         {1, 4},
                                                         {0, 1},
                                                         {0, 1},
                                                         {2, 3}, // (2, 0)
                                                         {1, 1},
                                                         {1, 1},
                                                         {1, 4},
                                                         {0, 1},
                                                         {1, 1},
                                                         {2, 3}, // (0, 2)
                                                         {0, 6}})));
}

TEST(MorphFillStyles, GradientAndBitmapFields) {
    TSWFMorphGradientFill gradient;
    gradient.Count = 1;
    gradient.StartRatios[0] = 10;
    gradient.StartColors[0].SetRGBA(MakeRGBA(1, 2, 3, 4));
    gradient.EndRatios[0] = 200;
    gradient.EndColors[0].SetRGBA(MakeRGBA(5, 6, 7, 0xFF));
    gradient.EndGradientMatrix.SetTranslate(1, 0);
    const std::string identity = Pack({{0, 1}, {0, 1}, {0, 5}});
    EXPECT_EQ(Hex(MorphStyleBytes(gradient)),
              Hex("\x10"s + identity +                             // StartGradientMatrix
                  Pack({{0, 1}, {0, 1}, {2, 5}, {1, 2}, {0, 2}}) + // EndGradientMatrix
                  "\x01"                                           // NumGradients
                  "\x0A\x01\x02\x03\x04"                           // StartRatio, StartColor
                  "\xC8\x05\x06\x07\xFF"s));                       // EndRatio, EndColor
    TSWFMorphImageFill image;
    image.BitmapId = 0x0102;
    image.StartBitmapMatrix.SetTranslate(1, 0);
    EXPECT_EQ(
        Hex(MorphStyleBytes(image)),
        Hex("\x41"s + U16(0x0102) + Pack({{0, 1}, {0, 1}, {2, 5}, {1, 2}, {0, 2}}) + identity));
}

TEST(ShapeTags, MinimumVersions) {
    TSWFDefineShape one;
    TSWFDefineShape2 two;
    TSWFDefineShape3 three;
    TSWFDefineMorphShape morph;
    EXPECT_EQ(one.MinVersion(), 1);
    EXPECT_EQ(two.MinVersion(), 2);
    EXPECT_EQ(three.MinVersion(), 3);
    EXPECT_EQ(morph.MinVersion(), 3);
    EXPECT_TRUE(three.HasAlpha);
    EXPECT_FALSE(two.HasAlpha);
    // The movie's shape writes its DefineShape3 as DefineShape2 when it has
    // no alpha.
    three.TagID = tagDefineShape2;
    EXPECT_EQ(three.MinVersion(), 2);
}

TEST(ShapeTags, AssignCopiesDeeply) {
    TSWFDefineShape3 source;
    FillSampleShape(source);
    auto gradient = std::make_unique<TSWFGradientFill>();
    gradient->Count = 1;
    gradient->Colors[0].SetRGBA(MakeRGBA(1, 2, 3, 4));
    source.FillStyles.push_back(std::move(gradient));
    auto image = std::make_unique<TSWFImageFill>();
    image->BitmapId = 9;
    source.FillStyles.push_back(std::move(image));
    auto& newStyles = Add<TSWFStyleChangeRecord>(source.Records);
    newStyles.NewLineStyles().push_back(Line(8, MakeRGBA(4, 5, 6, 7)));
    const std::string before = BodyBytes(source);

    TSWFDefineShape3 copy;
    copy.Assign(source);
    EXPECT_EQ(copy.Records.size(), source.Records.size());
    EXPECT_NE(copy.Records[0].get(), source.Records[0].get());
    EXPECT_NE(copy.FillStyles[0].get(), source.FillStyles[0].get());
    // Changing the source afterwards leaves the copy as it was.
    static_cast<TSWFStraightEdgeRecord&>(*source.Records[1]).DeltaX = 1;
    static_cast<TSWFColorFill&>(*source.FillStyles[0]).Color.SetRGBA(0);
    EXPECT_EQ(Hex(BodyBytes(copy)), Hex(before));

    TSWFDefineMorphShape morph;
    FillSampleMorph(morph);
    const std::string morphBefore = BodyBytes(morph);
    TSWFDefineMorphShape morphCopy;
    morphCopy.Assign(morph);
    morph.StartRecords.clear();
    EXPECT_EQ(Hex(BodyBytes(morphCopy)), Hex(morphBefore));

    TSWFDefineMorphShape other;
    EXPECT_THROW(copy.Assign(other), std::bad_cast);
}

} // namespace
} // namespace pictova
