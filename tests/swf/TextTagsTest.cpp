#include "swf/TextTags.h"
#include "tests/support/BitPacker.h"
#include "tests/support/Capture.h"
#include "tests/support/SwfWalker.h"

#include <gtest/gtest.h>

#include <string>
#include <typeinfo>

namespace pictova {
namespace {

using test::BodyBytes;
using test::Capture;
using test::Hex;
using test::Pack;
using test::TagBytes;
using test::U16;
using namespace std::string_literals;

void FillSampleText(TSWFDefineText& text) {
    text.CharacterID = 7;
    text.TextBounds = TSWFRect{0, 2000, -300, 100};
    text.GlyphBits = 2;
    text.AdvanceBits = 10;
    TSWFTextRecord& record = text.TextRecords.emplace_back();
    record.SetFontID(3);
    record.SetTextHeight(240);
    record.TextColor().SetRGBA(MakeRGBA(0xFF, 0, 0, 0x80));
    record.SetXOffset(40);
    record.SetYOffset(211);
    record.GlyphEntries = {{120, 0}, {-5, 2}};
}

std::string SampleTextBody(const std::string& colour) {
    return U16(7) +                                                      // CharacterID
           Pack({{12, 5}, {0, 12}, {2000, 12}, {-300, 12}, {100, 12}}) + // TextBounds
           "\x00"                                                        // TextMatrix: identity
           "\x02"                                                        // GlyphBits
           "\x0A"s +                                                     // AdvanceBits
           Pack({{1, 1},                                                 // TextRecordType
                 {0, 3},                                                 // StyleFlagsReserved
                 {1, 1},                                                 // StyleFlagsHasFont
                 {1, 1},                                                 // StyleFlagsHasColor
                 {1, 1},                                                 // StyleFlagsHasYOffset
                 {1, 1}}) +                                              // StyleFlagsHasXOffset
           U16(3) +                                                      // FontID
           colour +                                                      // TextColor
           U16(40) +                                                     // XOffset
           U16(211) +                                                    // YOffset
           U16(240) +                                                    // TextHeight
           "\x02"s +                                                     // GlyphCount
           Pack({{0, 2},
                 {120, 10}, // GlyphIndex, GlyphAdvance
                 {2, 2},
                 {-5, 10}}) +
           "\x00"s; // EndOfRecordsFlag
}

TEST(DefineText, WholeTagFieldByField) {
    TSWFDefineText text;
    FillSampleText(text);
    const std::string body = SampleTextBody("\xFF\x00\x00"s); // RGB: alpha dropped
    EXPECT_EQ(Hex(TagBytes(text)), Hex(U16(11 << 6 | uint32_t(body.size())) + body));

    TSWFDefineText2 text2;
    FillSampleText(text2);
    const std::string body2 = SampleTextBody("\xFF\x00\x00\x80"s); // RGBA
    EXPECT_EQ(Hex(TagBytes(text2)), Hex(U16(33 << 6 | uint32_t(body2.size())) + body2));
}

TEST(TextRecord, StyleFlagsEachAlone) {
    struct Row {
        const char* Name;
        void (*Set)(TSWFTextRecord&);
        std::string Expected;
    };
    const Row rows[] = {
        {"font", [](TSWFTextRecord& r) { r.SetFontID(9); },
         "\x88"s + U16(9) + U16(0) + "\x00"s}, // flags, FontID, TextHeight, GlyphCount
        {"height", [](TSWFTextRecord& r) { r.SetTextHeight(300); },
         "\x88"s + U16(0) + U16(300) + "\x00"s}, // height brings the font fields too
        {"colour", [](TSWFTextRecord& r) { r.TextColor().SetRGBA(MakeRGBA(1, 2, 3, 0xFF)); },
         "\x84\x01\x02\x03\x00"s},
        {"y offset", [](TSWFTextRecord& r) { r.SetYOffset(-2); }, "\x82"s + U16(0xFFFE) + "\x00"s},
        {"x offset", [](TSWFTextRecord& r) { r.SetXOffset(5); }, "\x81"s + U16(5) + "\x00"s},
        {"nothing", [](TSWFTextRecord&) {}, "\x80\x00"s},
    };
    for (const Row& row : rows) {
        TSWFTextRecord record;
        row.Set(record);
        EXPECT_EQ(Hex(Capture([&](TBitsEngine& be) { record.WriteToStream(be, 0, 0); })),
                  Hex(row.Expected))
            << row.Name;
    }
}

TEST(TextRecord, LongRunsSplitAt255Glyphs) {
    TSWFTextRecord record;
    record.SetFontID(1);
    record.GlyphEntries.assign(300, TSWFGlyphEntry{0, 1});
    const std::string bytes = Capture([&](TBitsEngine& be) { record.WriteToStream(be, 1, 0); });
    const std::string ones255 = std::string(31, '\xFF') + "\xFE"s; // 255 index bits, padded
    const std::string ones45 = std::string(5, '\xFF') + "\xF8"s;   // 45 index bits, padded
    EXPECT_EQ(Hex(bytes), Hex("\x88"s + U16(1) + U16(0) + "\xFF"s + ones255 + // first run
                              "\x80" // no style: continues at the pen
                              "\x2D"s +
                              ones45)); // GlyphCount 45
}

TEST(DefineEditText, EveryFieldFieldByField) {
    TSWFDefineEditText edit;
    edit.CharacterID = 9;
    edit.Bounds = TSWFRect{0, 2000, 0, 400};
    edit.SetInitialText("Hi");
    edit.WordWrap = true;
    edit.Multiline = true;
    edit.Password = true;
    edit.ReadOnly = true;
    edit.TextColor().SetRGBA(MakeRGBA(1, 2, 3, 4));
    edit.SetMaxLength(10);
    edit.SetFont(3, 240);
    edit.AutoSize = true;
    edit.SetAlign(2);
    edit.SetLeftMargin(20);
    edit.SetRightMargin(40);
    edit.SetIndent(60);
    edit.SetLeading(-10);
    edit.NoSelect = true;
    edit.Border = true;
    edit.HTML = true;
    edit.UseOutlines = true;
    edit.VariableName = "v";
    const std::string body = U16(9) + // CharacterID
                             Pack({{12, 5}, {0, 12}, {2000, 12}, {0, 12}, {400, 12}}) + // Bounds
                             Pack({{1, 1},                                              // HasText
                                   {1, 1},                                              // WordWrap
                                   {1, 1},                                              // Multiline
                                   {1, 1},                                              // Password
                                   {1, 1},                                              // ReadOnly
                                   {1, 1},    // HasTextColor
                                   {1, 1},    // HasMaxLength
                                   {1, 1},    // HasFont
                                   {0, 1},    // HasFontClass
                                   {1, 1},    // AutoSize
                                   {1, 1},    // HasLayout
                                   {1, 1},    // NoSelect
                                   {1, 1},    // Border
                                   {0, 1},    // WasStatic
                                   {1, 1},    // HTML
                                   {1, 1}}) + // UseOutlines
                             U16(3) +
                             U16(240) +              // FontID, FontHeight
                             "\x01\x02\x03\x04"s +   // TextColor (RGBA)
                             U16(10) +               // MaxLength
                             "\x02"s +               // Align
                             U16(20) + U16(40) +     // LeftMargin, RightMargin
                             U16(60) + U16(0xFFF6) + // Indent, Leading
                             "v\x00"s +              // VariableName
                             "Hi\x00"s;              // InitialText
    EXPECT_EQ(Hex(TagBytes(edit)), Hex(U16(37 << 6 | uint32_t(body.size())) + body));
}

TEST(DefineEditText, FlagsEachAlone) {
    struct Row {
        const char* Name;
        void (*Set)(TSWFDefineEditText&);
        uint16_t Flags;
        std::string Fields; // between the flags and the variable name
    };
    const Row rows[] = {
        {"HasText", [](TSWFDefineEditText& e) { e.SetInitialText(""); }, 0x8000, ""},
        {"WordWrap", [](TSWFDefineEditText& e) { e.WordWrap = true; }, 0x4000, ""},
        {"Multiline", [](TSWFDefineEditText& e) { e.Multiline = true; }, 0x2000, ""},
        {"Password", [](TSWFDefineEditText& e) { e.Password = true; }, 0x1000, ""},
        {"ReadOnly", [](TSWFDefineEditText& e) { e.ReadOnly = true; }, 0x0800, ""},
        {"HasTextColor", [](TSWFDefineEditText& e) { e.TextColor(); }, 0x0400, "\x00\x00\x00\xFF"s},
        {"HasMaxLength", [](TSWFDefineEditText& e) { e.SetMaxLength(7); }, 0x0200, U16(7)},
        {"HasFont", [](TSWFDefineEditText& e) { e.SetFont(2, 300); }, 0x0100, U16(2) + U16(300)},
        {"AutoSize", [](TSWFDefineEditText& e) { e.AutoSize = true; }, 0x0040, ""},
        {"HasLayout", [](TSWFDefineEditText& e) { e.SetIndent(5); }, 0x0020,
         "\x00"s + U16(0) + U16(0) + U16(5) + U16(0)},
        {"NoSelect", [](TSWFDefineEditText& e) { e.NoSelect = true; }, 0x0010, ""},
        {"Border", [](TSWFDefineEditText& e) { e.Border = true; }, 0x0008, ""},
        {"HTML", [](TSWFDefineEditText& e) { e.HTML = true; }, 0x0002, ""},
        {"UseOutlines", [](TSWFDefineEditText& e) { e.UseOutlines = true; }, 0x0001, ""},
    };
    for (const Row& row : rows) {
        TSWFDefineEditText edit;
        row.Set(edit);
        const std::string text = row.Flags == 0x8000 ? "\x00"s : ""s;
        EXPECT_EQ(Hex(BodyBytes(edit)), Hex(U16(0) + "\x00"s + // ID, empty RECT
                                            char(row.Flags >> 8) + char(row.Flags & 0xFF) +
                                            row.Fields + "\x00"s + text)) // empty variable
            << row.Name;
    }
}

TEST(DefineEditText, StringEncodings) {
    struct Row {
        const char* Name;
        uint8_t Version;
        bool Html;
        std::string Initial;
        std::u16string Wide;
        std::string Expected; // the text with its terminator
    };
    const std::string tueren = "T\xFCr\xE4n"; // five characters, two umlauts
    const Row rows[] = {
        {"SWF 6: UTF-8", 6, false, tueren, u"", "T\xC3\xBCr\xC3\xA4n\x00"s},
        {"SWF 5: 8-bit", 5, false, tueren, u"", tueren + "\x00"s},
        // Players read every SWF 6 string as UTF-8, HTML markup included.
        {"SWF 6 HTML: UTF-8", 6, true, tueren, u"", "T\xC3\xBCr\xC3\xA4n\x00"s},
        {"SWF 5 HTML: 8-bit", 5, true, tueren, u"", tueren + "\x00"s},
        {"wide text wins", 6, false, tueren, u"\u263A!", "\xE2\x98\xBA!\x00"s},
        {"wide text in SWF 5", 5, false, "", u"\u00E4", "\xC3\xA4\x00"s},
        {"surrogate pair", 6, false, "", u"\U0001F600", "\xF0\x9F\x98\x80\x00"s},
        {"unpaired surrogate", 6, false, "", std::u16string(1, char16_t(0xD800)) + u"x",
         "\xEF\xBF\xBDx\x00"s},
    };
    for (const Row& row : rows) {
        TSWFDefineEditText edit;
        edit.SWFVersion = row.Version;
        edit.HTML = row.Html;
        edit.SetInitialText(row.Initial);
        if (!row.Wide.empty())
            edit.SetWideInitialText(row.Wide);
        const std::string body = BodyBytes(edit);
        EXPECT_EQ(Hex(body.substr(6)), Hex(row.Expected)) << row.Name; // after the empty variable
    }
    TSWFDefineEditText variable;
    variable.VariableName = "Z\xE4hler";
    EXPECT_EQ(Hex(BodyBytes(variable).substr(5)), Hex("Z\xC3\xA4hler\x00"s));
    variable.SWFVersion = 5;
    EXPECT_EQ(Hex(BodyBytes(variable).substr(5)), Hex("Z\xE4hler\x00"s));
}

TEST(TextTags, MinimumVersionsAndCodes) {
    EXPECT_EQ(TSWFDefineText().MinVersion(), 1);
    EXPECT_EQ(TSWFDefineText2().MinVersion(), 3);
    TSWFDefineEditText edit;
    EXPECT_EQ(edit.MinVersion(), 4);
    edit.AutoSize = true;
    EXPECT_EQ(edit.MinVersion(), 6);
    EXPECT_EQ(TSWFDefineText().TagID, tagDefineText);
    EXPECT_EQ(TSWFDefineText2().TagID, tagDefineText2);
    EXPECT_EQ(edit.TagID, tagDefineEditText);
}

TEST(TextTags, AssignCopiesDeeply) {
    TSWFDefineText2 text;
    FillSampleText(text);
    TSWFDefineText2 copy;
    copy.Assign(text);
    const std::string before = BodyBytes(text);
    text.TextRecords[0].TextColor().SetRGBA(0);
    text.TextRecords[0].GlyphEntries.clear();
    EXPECT_EQ(Hex(BodyBytes(copy)), Hex(before));

    TSWFDefineEditText edit;
    edit.SetFont(1, 2);
    edit.TextColor().SetRGBA(MakeRGBA(1, 2, 3, 4));
    edit.SetLeading(3);
    edit.SetWideInitialText(u"w");
    edit.VariableName = "v";
    TSWFDefineEditText editCopy;
    editCopy.Assign(edit);
    EXPECT_EQ(Hex(BodyBytes(editCopy)), Hex(BodyBytes(edit)));
    EXPECT_THROW(editCopy.Assign(copy), std::bad_cast);
}

} // namespace
} // namespace pictova
