#include "swf/FontTags.h"
#include "tests/support/BitPacker.h"
#include "tests/support/Capture.h"
#include "tests/support/ShapeReader.h"
#include "tests/support/SwfWalker.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>

namespace pictova {
namespace {

using test::Add;
using test::BodyBytes;
using test::Hex;
using test::Pack;
using test::TagBytes;
using test::U16;
using test::U32;
using namespace std::string_literals;

// Glyph 0: a move alone and one edge; the move selects no fill.
TSWFShapeRecordList MoveOnlyGlyph() {
    TSWFShapeRecordList glyph;
    Add<TSWFStyleChangeRecord>(glyph).SetMoveTo(100, -200);
    Add<TSWFStraightEdgeRecord>(glyph, 300, 0);
    Add<TSWFEndShapeRecord>(glyph);
    return glyph;
}

// Glyph 1: selects fill style 1 = 0 (no fill) without a move, as a new
// outline from the movie's path builder starts.
TSWFShapeRecordList EmptyFillGlyph() {
    TSWFShapeRecordList glyph;
    Add<TSWFStyleChangeRecord>(glyph).SetFillStyle1(0);
    Add<TSWFStraightEdgeRecord>(glyph, 0, 40);
    return glyph;
}

// Expected glyph bytes after the first-record fix-up of DefineFont2.
const std::string FixedMoveOnlyGlyph = "\x10"s +        // NumFillBits 1, NumLineBits 0
                                       Pack({{0, 1},    // TypeFlag
                                             {0, 1},    // StateNewStyles
                                             {1, 1},    // StateLineStyle: set by the fix-up
                                             {1, 1},    // StateFillStyle1: set by the fix-up
                                             {0, 1},    // StateFillStyle0
                                             {1, 1},    // StateMoveTo
                                             {9, 5},    // MoveBits
                                             {100, 9},  // MoveDeltaX
                                             {-200, 9}, // MoveDeltaY
                                             {1, 1},    // FillStyle1 = 1
                                             // LineStyle in 0 bits
                                             {1, 1},
                                             {1, 1},
                                             {8, 4},
                                             {0, 1},
                                             {0, 1},
                                             {300, 10},
                                             {0, 6}}); // end record
const std::string FixedEmptyFillGlyph = "\x10"s + Pack({{0, 1},
                                                        {0, 1},
                                                        {1, 1}, // StateLineStyle
                                                        {1, 1}, // StateFillStyle1
                                                        {0, 1},
                                                        {0, 1}, // StateMoveTo: not asked for
                                                        {1, 1}, // FillStyle1 = 1
                                                        {1, 1},
                                                        {1, 1},
                                                        {5, 4},
                                                        {0, 1},
                                                        {1, 1},
                                                        {40, 7},  // edge (0, 40)
                                                        {0, 6}}); // end record appended
const std::string EmptyGlyph = "\x10\x00"s;

void FillThreeGlyphFont(TSWFDefineFont2& font) {
    font.FontID = 3;
    font.FontName = "Arial";
    font.LanguageCode = 1;
    font.FontFlagsBold = true;
    font.FontFlagsHasLayout = true;
    font.GlyphShapes.push_back(MoveOnlyGlyph());
    font.GlyphShapes.push_back(EmptyFillGlyph());
    font.GlyphShapes.emplace_back();
    font.CodeTable = {'A', 'B', 'C'};
    font.Ascent = 900;
    font.Descent = 200;
    font.Leading = 50;
    font.AdvanceTable = {1024, 512, 256};
    font.BoundsTable.resize(3);
    font.BoundsTable[0] = TSWFRect{0, 400, -200, 0};
    font.KerningTable.push_back(TSWFKerningRecord{-30, 'A', 'B'});
}

TEST(DefineFont2, ThreeGlyphsWithLayoutFieldByField) {
    TSWFDefineFont2 font;
    FillThreeGlyphFont(font);
    ASSERT_EQ(FixedMoveOnlyGlyph.size(), 8u);
    ASSERT_EQ(FixedEmptyFillGlyph.size(), 5u);
    const std::string body =
        U16(3) +         // FontID
        Pack({{1, 1},    // FontFlagsHasLayout
              {0, 1},    // FontFlagsShiftJIS
              {0, 1},    // FontFlagsSmallText
              {0, 1},    // FontFlagsANSI
              {0, 1},    // FontFlagsWideOffsets
              {0, 1},    // FontFlagsWideCodes
              {0, 1},    // FontFlagsItalic
              {1, 1}}) + // FontFlagsBold
        "\x01"           // LanguageCode
        "\x05"           // FontNameLen
        "Arial"s +       // FontName
        U16(3) +         // NumGlyphs
        U16(8) +
        U16(16) + U16(21) +                                             // OffsetTable: 8 bytes long
        U16(23) +                                                       // CodeTableOffset
        FixedMoveOnlyGlyph + FixedEmptyFillGlyph + EmptyGlyph + "ABC" + // CodeTable, one byte each
        U16(900) +                                                      // FontAscent
        U16(200) +                                                      // FontDescent
        U16(50) +                                                       // FontLeading
        U16(1024) + U16(512) + U16(256) +                               // FontAdvanceTable
        Pack({{10, 5}, {0, 10}, {400, 10}, {-200, 10}, {0, 10}}) + "\x00\x00"s + // two empty bounds
        U16(1) +                                                                 // KerningCount
        "AB" + U16(uint16_t(-30)); // codes, FontKerningAdjustment
    ASSERT_GE(body.size(), 63u);
    EXPECT_EQ(Hex(TagBytes(font)), Hex(U16(48 << 6 | 63) + U32(uint32_t(body.size())) + body));
}

TEST(DefineFont2, WithoutGlyphs) {
    // No glyphs: the layout bit is written 0 and the ANSI bit 1, whatever the
    // object's flags; one offset entry, the code table's.
    TSWFDefineFont2 font;
    font.FontID = 3;
    font.FontFlagsHasLayout = true;
    font.FontFlagsItalic = true;
    font.Ascent = 1;
    EXPECT_EQ(Hex(BodyBytes(font)), Hex(U16(3) +
                                        Pack({{0, 1},    // FontFlagsHasLayout
                                              {0, 2},    // ShiftJIS, SmallText
                                              {1, 1},    // FontFlagsANSI
                                              {0, 2},    // WideOffsets, WideCodes
                                              {1, 1},    // FontFlagsItalic
                                              {0, 1}}) + // FontFlagsBold
                                        "\x00"           // LanguageCode
                                        "\x00"s          // FontNameLen
                                        + U16(0) +       // NumGlyphs
                                        U16(2)));        // CodeTableOffset
}

TEST(DefineFont2, FirstRecordFixUp) {
    struct Row {
        const char* Name;
        void (*Set)(TSWFStyleChangeRecord&);
        bool Fill0, Fill1, Line;
        uint16_t FillStyle1;
    };
    const Row rows[] = {
        {"selects nothing", [](TSWFStyleChangeRecord&) {}, false, true, true, 1},
        {"fill style 1 = 0", [](TSWFStyleChangeRecord& r) { r.SetFillStyle1(0); }, false, true,
         true, 1},
        {"fill style 1 = 0 beside fill style 0",
         [](TSWFStyleChangeRecord& r) {
             r.SetFillStyle0(1);
             r.SetFillStyle1(0);
         },
         false, true, true, 1},
        {"fill style 0 = 1 is kept", [](TSWFStyleChangeRecord& r) { r.SetFillStyle0(1); }, true,
         false, false, 0},
        {"fill style 1 = 1 is kept", [](TSWFStyleChangeRecord& r) { r.SetFillStyle1(1); }, false,
         true, false, 1},
    };
    for (const Row& row : rows) {
        TSWFDefineFont2 font;
        font.GlyphShapes.emplace_back();
        auto& first = Add<TSWFStyleChangeRecord>(font.GlyphShapes[0]);
        row.Set(first);
        font.CodeTable = {'x'};
        BodyBytes(font);
        EXPECT_EQ(first.StateFillStyle0, row.Fill0) << row.Name;
        EXPECT_EQ(first.StateFillStyle1, row.Fill1) << row.Name;
        EXPECT_EQ(first.StateLineStyle, row.Line) << row.Name;
        EXPECT_EQ(first.FillStyle1(), row.FillStyle1) << row.Name;
    }
}

TEST(FontTags, NameEncodingFollowsTheVersion) {
    struct Row {
        const char* Name;
        uint8_t Version;
        std::string Expected; // FontNameLen and FontName
    };
    const Row rows[] = {
        {"Arial", 5,
         "\x05"
         "Arial"},
        {"Arial", 6,
         "\x05"
         "Arial"},
        {"M\xFCn", 5, "\x03M\xFCn"},     // 8-bit bytes as stored
        {"M\xFCn", 6, "\x04M\xC3\xBCn"}, // UTF-8 from SWF 6 on
    };
    for (const Row& row : rows) {
        TSWFDefineFont2 font;
        font.FontName = row.Name;
        font.SWFVersion = row.Version;
        EXPECT_EQ(Hex(BodyBytes(font).substr(4, row.Expected.size())), Hex(row.Expected))
            << row.Name << " in version " << int(row.Version);
        TSWFDefineFontInfo info;
        info.FontName = row.Name;
        info.SWFVersion = row.Version;
        EXPECT_EQ(Hex(BodyBytes(info).substr(2, row.Expected.size())), Hex(row.Expected))
            << "DefineFontInfo " << row.Name << " in version " << int(row.Version);
    }
    // DefineFontInfo2 names are always UTF-8.
    TSWFDefineFontInfo2 info2;
    info2.FontName = "M\xFCn";
    info2.SWFVersion = 5;
    EXPECT_EQ(Hex(BodyBytes(info2).substr(2, 5)), Hex("\x04M\xC3\xBCn"));
}

TEST(DefineFont2, WideCodesAndOffsets) {
    TSWFDefineFont2 font;
    font.FontFlagsWideCodes = true;
    font.FontFlagsWideOffsets = true;
    font.FontFlagsHasLayout = true;
    font.GlyphShapes.emplace_back();
    font.CodeTable = {0x263A};
    font.AdvanceTable = {1};
    font.BoundsTable.resize(1);
    font.KerningTable.push_back(TSWFKerningRecord{1, 0x263A, 0x41});
    EXPECT_EQ(Hex(BodyBytes(font)),
              Hex(U16(0) + Pack({{1, 1}, {0, 3}, {1, 1}, {1, 1}, {0, 2}}) + // wide offsets, codes
                  "\x00\x00"s + U16(1) +     // LanguageCode, FontNameLen, NumGlyphs
                  U32(8) + U32(10) +         // 4-byte offsets
                  EmptyGlyph + U16(0x263A) + // CodeTable, two bytes each
                  U16(0) + U16(0) + U16(0) + U16(1) + "\x00"s + U16(1) + U16(0x263A) + U16(0x41) +
                  U16(1))); // kerning codes, two bytes each
}

// Glyphs whose outlines together pass the 64 KB reach of 2-byte offsets.
std::vector<TSWFShapeRecordList> HeavyGlyphs() {
    std::vector<TSWFShapeRecordList> glyphs(20);
    for (auto& glyph : glyphs)
        for (int i = 0; i < 1000; ++i)
            Add<TSWFStraightEdgeRecord>(glyph, 1000, (i % 2) ? 1000 : -1000);
    return glyphs;
}

TEST(DefineFont2, OffsetsWidenWhenTheGlyphsNeedIt) {
    TSWFDefineFont2 font;
    font.GlyphShapes = HeavyGlyphs();
    font.CodeTable.resize(20);
    for (uint16_t i = 0; i < 20; ++i)
        font.CodeTable[i] = uint16_t('a' + i);
    const std::string body = BodyBytes(font);
    ASSERT_GT(body.size(), 65535u);
    EXPECT_EQ(uint8_t(body[2]) & 0x08, 0x08) << "FontFlagsWideOffsets";
    const size_t table = 2 + 1 + 1 + 1 + 2; // FontID, flags, language, name length, NumGlyphs
    EXPECT_EQ(Hex(body.substr(table, 4)), Hex(U32(21 * 4)));
    test::BitReader last(body, table + 20 * 4);
    const uint32_t codeTableOffset =
        last.Bits(8) | last.Bits(8) << 8 | last.Bits(8) << 16 | last.Bits(8) << 24;
    EXPECT_EQ(Hex(body.substr(table + codeTableOffset)), Hex("abcdefghijklmnopqrst"s));

    TSWFDefineFont plain;
    plain.GlyphShapes = HeavyGlyphs();
    EXPECT_THROW(BodyBytes(plain), std::length_error);
}

TEST(DefineFont2, InconsistentTablesAreRefused) {
    TSWFDefineFont2 codesWithoutGlyphs;
    codesWithoutGlyphs.CodeTable = {'A'};
    EXPECT_THROW(BodyBytes(codesWithoutGlyphs), std::runtime_error);

    TSWFDefineFont2 missingAdvances;
    FillThreeGlyphFont(missingAdvances);
    missingAdvances.AdvanceTable.pop_back();
    EXPECT_THROW(BodyBytes(missingAdvances), std::runtime_error);
    missingAdvances.FontFlagsHasLayout = false; // the tables are then not written
    EXPECT_NO_THROW(BodyBytes(missingAdvances));

    TSWFDefineFont2 narrowCodes;
    narrowCodes.GlyphShapes.emplace_back();
    narrowCodes.CodeTable = {0x100};
    EXPECT_THROW(BodyBytes(narrowCodes), std::runtime_error);

    TSWFDefineFont2 longName;
    longName.FontName = std::string(255, 'x');
    EXPECT_NO_THROW(BodyBytes(longName));
    longName.FontName = std::string(128, '\xE4'); // 256 bytes in UTF-8
    EXPECT_THROW(BodyBytes(longName), std::length_error);
    longName.SWFVersion = 5;
    EXPECT_NO_THROW(BodyBytes(longName));
}

TEST(DefineFont, GlyphsAndOffsets) {
    TSWFDefineFont font;
    font.FontID = 4;
    font.GlyphShapes.push_back(MoveOnlyGlyph());
    font.GlyphShapes.emplace_back();
    // No fix-up here: the move-only record stays a plain move.
    const std::string glyph0 = "\x10"s + Pack({{0, 5}, // TypeFlag, no flags
                                               {1, 1}, // StateMoveTo
                                               {9, 5},
                                               {100, 9},
                                               {-200, 9},
                                               {1, 1},
                                               {1, 1},
                                               {8, 4},
                                               {0, 1},
                                               {0, 1},
                                               {300, 10},
                                               {0, 6}});
    EXPECT_EQ(Hex(BodyBytes(font)), Hex(U16(4) +                           // FontID
                                        U16(4) +                           // OffsetTable[0]
                                        U16(4 + uint32_t(glyph0.size())) + // OffsetTable[1]
                                        glyph0 + EmptyGlyph));
    TSWFDefineFont empty;
    empty.FontID = 4;
    EXPECT_EQ(Hex(BodyBytes(empty)), Hex(U16(4) + U16(0)));
}

TEST(DefineFontInfo, BothVersions) {
    TSWFDefineFontInfo info;
    info.FontID = 4;
    info.FontName = "Ab";
    info.FontFlagsSmallText = true;
    info.FontFlagsANSI = true;
    info.CodeTable = {'A', 'B'};
    EXPECT_EQ(Hex(BodyBytes(info)), Hex(U16(4) +
                                        "\x02"
                                        "Ab" +
                                        Pack({{0, 2},    // reserved
                                              {1, 1},    // FontFlagsSmallText
                                              {0, 1},    // FontFlagsShiftJIS
                                              {1, 1},    // FontFlagsANSI
                                              {0, 1},    // FontFlagsItalic
                                              {0, 1},    // FontFlagsBold
                                              {0, 1}}) + // FontFlagsWideCodes
                                        "AB"));          // CodeTable, one byte each

    TSWFDefineFontInfo2 info2;
    info2.FontID = 4;
    info2.FontName = "Ab";
    info2.FontFlagsBold = true;
    info2.LanguageCode = 2;
    info2.CodeTable = {'A', 0x263A};
    EXPECT_EQ(Hex(BodyBytes(info2)), Hex(U16(4) +
                                         "\x02"
                                         "Ab" +
                                         Pack({{0, 6},    // reserved .. Italic
                                               {1, 1},    // FontFlagsBold
                                               {1, 1}}) + // FontFlagsWideCodes: always
                                         "\x02" +         // LanguageCode
                                         U16('A') +
                                         U16(0x263A)));

    TSWFDefineFontInfo narrow;
    narrow.CodeTable = {0x263A};
    EXPECT_THROW(BodyBytes(narrow), std::runtime_error);
}

TEST(FontTags, MinimumVersions) {
    EXPECT_EQ(TSWFDefineFont().MinVersion(), 1);
    EXPECT_EQ(TSWFDefineFont2().MinVersion(), 3);
    EXPECT_EQ(TSWFDefineFontInfo().MinVersion(), 1);
    EXPECT_EQ(TSWFDefineFontInfo2().MinVersion(), 6);
    EXPECT_EQ(TSWFDefineFont().TagID, tagDefineFont);
    EXPECT_EQ(TSWFDefineFont2().TagID, tagDefineFont2);
    EXPECT_EQ(TSWFDefineFontInfo().TagID, tagDefineFontInfo);
    EXPECT_EQ(TSWFDefineFontInfo2().TagID, tagDefineFontInfo2);
}

TEST(FontTags, AssignCopiesDeeply) {
    TSWFDefineFont2 source;
    FillThreeGlyphFont(source);
    TSWFDefineFont2 copy;
    copy.Assign(source);
    const std::string before = BodyBytes(source);
    static_cast<TSWFStraightEdgeRecord&>(*source.GlyphShapes[0][1]).DeltaX = 5;
    source.KerningTable.clear();
    EXPECT_EQ(Hex(BodyBytes(copy)), Hex(before));

    TSWFDefineFontInfo2 info;
    info.LanguageCode = 3;
    info.FontName = "x";
    info.CodeTable = {1};
    TSWFDefineFontInfo2 infoCopy;
    infoCopy.Assign(info);
    EXPECT_EQ(Hex(BodyBytes(infoCopy)), Hex(BodyBytes(info)));

    TSWFDefineFontInfo plainInfo;
    EXPECT_THROW(infoCopy.Assign(plainInfo), std::bad_cast);
}

} // namespace
} // namespace pictova
