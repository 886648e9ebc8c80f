#include "movie/FlashText.h"
#include "movie/FlashFont.h"
#include "movie/FlashMovie.h"
#include "tests/support/BitPacker.h"
#include "tests/support/Capture.h"
#include "tests/support/SwfWalker.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pictova {
namespace {

using test::BitReader;
using test::Hex;
using test::Pack;
using test::U16;
using namespace std::string_literals;

struct TTag {
    uint16_t Code = 0;
    std::string Body;
};

TTag Written(TBasedSWFObject& object) {
    const std::string bytes = test::TagBytes(object);
    const uint16_t header = uint16_t(uint8_t(bytes[0]) | uint8_t(bytes[1]) << 8);
    const size_t at = (header & 0x3F) == 0x3F ? 6 : 2;
    return TTag{uint16_t(header >> 6), bytes.substr(at)};
}

// The glyph entries and style of a static text's only record, read by hand.
struct TReadText {
    uint16_t Code = 0;
    uint16_t CharacterID = 0;
    int32_t XMin = 0, XMax = 0, YMin = 0, YMax = 0;
    unsigned GlyphBits = 0, AdvanceBits = 0;
    bool HasFont = false, HasColor = false, HasY = false, HasX = false;
    uint16_t FontID = 0, Height = 0;
    std::string Color;
    int16_t X = 0, Y = 0;
    std::vector<uint32_t> Indices;
    std::vector<int32_t> Advances;
    bool NoRecords = false;
};

TReadText ReadText(TBasedSWFObject& object) {
    const TTag tag = Written(object);
    TReadText t;
    t.Code = tag.Code;
    const std::string& b = tag.Body;
    t.CharacterID = uint16_t(uint8_t(b[0]) | uint8_t(b[1]) << 8);
    BitReader r(b, 2);
    const unsigned n = r.Bits(5);
    t.XMin = r.SignedBits(n);
    t.XMax = r.SignedBits(n);
    t.YMin = r.SignedBits(n);
    t.YMax = r.SignedBits(n);
    size_t at = r.BytePos(); // the rectangle ends on a byte boundary

    EXPECT_EQ(uint8_t(b[at]), 0) << "identity matrix";
    ++at;
    t.GlyphBits = uint8_t(b[at++]);
    t.AdvanceBits = uint8_t(b[at++]);
    const uint8_t flags = uint8_t(b[at++]);
    if (flags == 0) {
        t.NoRecords = true;
        return t;
    }
    t.HasFont = flags & 8;
    t.HasColor = flags & 4;
    t.HasY = flags & 2;
    t.HasX = flags & 1;
    auto u16 = [&] {
        const uint16_t v = uint16_t(uint8_t(b[at]) | uint8_t(b[at + 1]) << 8);
        at += 2;
        return v;
    };
    if (t.HasFont)
        t.FontID = u16();
    if (t.HasColor) {
        const size_t size = t.Code == tagDefineText2 ? 4 : 3;
        t.Color = b.substr(at, size);
        at += size;
    }
    if (t.HasX)
        t.X = int16_t(u16());
    if (t.HasY)
        t.Y = int16_t(u16());
    if (t.HasFont)
        t.Height = u16();
    const unsigned count = uint8_t(b[at++]);
    BitReader g(b, at);
    for (unsigned i = 0; i < count; ++i) {
        t.Indices.push_back(g.Bits(t.GlyphBits));
        t.Advances.push_back(g.SignedBits(t.AdvanceBits));
    }
    EXPECT_EQ(uint8_t(b.at(g.BytePos())), 0) << "end of records";
    EXPECT_EQ(g.BytePos() + 1, b.size());
    return t;
}

class FlashText : public ::testing::Test {
protected:
    TFlashFont& Font(const std::string& name = "DejaVu Sans", bool device = false,
                     uint8_t charset = csANSI) {
        TFontDescription d;
        d.Name = name;
        d.Height = 12; // 240 twips
        d.Charset = charset;
        return Movie.AddFont(d, device);
    }
    TFlashMovie Movie{0, 0, 400, 300, 20.0f, true};
};

// DejaVu Sans: ascent 950, advances l 284, o 626, space 326 (em 1024).
TEST_F(FlashText, StaticTextLaysOutGlyphsInTwips) {
    TFlashFont& font = Font();
    TFlashText& text =
        Movie.AddText("lo ol", MakeRGBA(0x11, 0x22, 0x33, 255), TRect{10, 5, 200, 40}, font);
    EXPECT_EQ(text.TextHeight(), 12);
    const TReadText t = ReadText(text);
    EXPECT_EQ(t.Code, tagDefineText);
    EXPECT_EQ(t.CharacterID, text.CharacterId());
    EXPECT_EQ(t.XMin, 200);
    EXPECT_EQ(t.YMin, 100);
    EXPECT_EQ(t.XMax, 4000);
    EXPECT_EQ(t.YMax, 800);
    EXPECT_TRUE(t.HasFont && t.HasColor && t.HasX && t.HasY);
    EXPECT_EQ(t.FontID, font.CharacterId());
    EXPECT_EQ(t.Height, 240);
    EXPECT_EQ(Hex(t.Color), "11 22 33");
    EXPECT_EQ(t.X, 200);
    // 950 / 1024 x 240 = 222.66 below the top of 100 twips.
    EXPECT_EQ(t.Y, 223 + 100);
    // Glyph order " lo"; advances 284, 626, 326 of 1024 at 240 twips:
    // 66.56, 146.72, 76.41.
    EXPECT_EQ(t.Indices, (std::vector<uint32_t>{1, 2, 0, 2, 1}));
    EXPECT_EQ(t.Advances, (std::vector<int32_t>{67, 147, 76, 147, 67}));
    EXPECT_EQ(t.GlyphBits, 2u);
    EXPECT_EQ(t.AdvanceBits, 9u);
}

TEST_F(FlashText, CharSpacingAndLeftEdge) {
    TFlashFont& font = Font();
    TFlashText& text = Movie.AddText("ll", MakeRGBA(0, 0, 0, 255), TRect{0, 0, 100, 20}, font);
    text.CharSpacing = -70;
    const TReadText t = ReadText(text);
    EXPECT_FALSE(t.HasX); // at the left edge 0 no offset is written
    EXPECT_EQ(t.Y, 223);
    EXPECT_EQ(t.Indices, (std::vector<uint32_t>{0, 0}));
    EXPECT_EQ(t.GlyphBits, 0u); // only index 0
    EXPECT_EQ(t.Advances, (std::vector<int32_t>{-3, -3}));
    EXPECT_EQ(t.AdvanceBits, 3u);
}

TEST_F(FlashText, TranslucentColourMakesADefineText2) {
    TFlashFont& font = Font();
    TFlashText& opaque = Movie.AddText("o", MakeRGBA(1, 2, 3, 255), TRect{0, 0, 10, 10}, font);
    TFlashText& translucent = Movie.AddText("o", MakeRGBA(1, 2, 3, 128), TRect{0, 0, 10, 10}, font);
    EXPECT_EQ(ReadText(opaque).Code, tagDefineText);
    const TReadText t = ReadText(translucent);
    EXPECT_EQ(t.Code, tagDefineText2);
    EXPECT_EQ(Hex(t.Color), "01 02 03 80");
    EXPECT_EQ(opaque.MinVersion(), 3);
}

TEST_F(FlashText, TextIndicesFollowTheFontsCodeTable) {
    TFlashFont& font = Font();
    // "ä" (0xE4) comes before the euro sign (0x80) in character order, after
    // it in the byte-sorted code table.
    TFlashText& text = Movie.AddText("\x80\xE4", MakeRGBA(0, 0, 0, 255), TRect{0, 0, 10, 10}, font);
    EXPECT_EQ(ReadText(text).Indices, (std::vector<uint32_t>{0, 1}));
    TFlashFont& wide = Font("DejaVu Sans", false, csDefault);
    TFlashText& wideText =
        Movie.AddText("\x80\xE4", MakeRGBA(0, 0, 0, 255), TRect{0, 0, 10, 10}, wide);
    EXPECT_EQ(ReadText(wideText).Indices, (std::vector<uint32_t>{1, 0}));
}

TEST_F(FlashText, EmptyStaticTextStillDefinesItsCharacter) {
    TFlashFont& font = Font();
    TFlashText& text = Movie.AddText("", MakeRGBA(0, 0, 0, 255), TRect{0, 0, 10, 10}, font);
    const TReadText t = ReadText(text);
    EXPECT_EQ(t.Code, tagDefineText);
    EXPECT_TRUE(t.NoRecords);
    EXPECT_TRUE(font.Chars().empty());
}

TEST_F(FlashText, ChangingTheFontCarriesTheCharacters) {
    TFlashFont& first = Font();
    TFlashFont& second = Font();
    TFlashText& text = Movie.AddText("lo", MakeRGBA(0, 0, 0, 255), TRect{0, 0, 10, 10}, first);
    text.SetFont(second);
    EXPECT_EQ(second.Chars().size(), 2u);
    EXPECT_EQ(ReadText(text).FontID, second.CharacterId());
}

// The preloader's percentage: a device font, then AutoSize off, NoSelect
// on and centred.
TEST_F(FlashText, DynamicTextOfTheLoadingPercentage) {
    TFlashFont& font = Font("DejaVu Sans", true, csDefault);
    TFlashText& text = Movie.AddDynamicText("pr", "0% geladen", TRect{0, 140, 400, 300}, font,
                                            MakeRGBA(0, 0, 0, 255));
    text.AutoSize = false;
    text.NoSelect = true;
    text.SetAlign(taCenter);
    EXPECT_EQ(text.MinVersion(), 4);
    EXPECT_EQ(font.TextUsage, tuEdit);
    ASSERT_EQ(Movie.Texts().Count(), 1u);
    Movie.SetVersion(6);
    const TTag tag = Written(text);
    EXPECT_EQ(tag.Code, tagDefineEditText);
    const std::string expected =
        U16(text.CharacterId()) +                                      // CharacterID
        Pack({{14, 5}, {0, 14}, {8000, 14}, {2800, 14}, {6000, 14}}) + // Bounds
        Pack({{1, 1},                                                  // HasText
              {0, 1},                                                  // WordWrap
              {0, 1},                                                  // Multiline
              {0, 1},                                                  // Password
              {0, 1},                                                  // ReadOnly
              {1, 1},                                                  // HasTextColor
              {0, 1},                                                  // HasMaxLength
              {1, 1},                                                  // HasFont
              {0, 1},                                                  // HasFontClass
              {0, 1},                                                  // AutoSize
              {1, 1},                                                  // HasLayout
              {1, 1},                                                  // NoSelect
              {0, 1},                                                  // Border
              {0, 1},                                                  // WasStatic
              {0, 1},                                                  // HTML
              {0, 1}}) +                                               // UseOutlines
        U16(font.CharacterId()) +                                      // FontID
        U16(240) +                                                     // FontHeight
        "\x00\x00\x00\xFF"s +                                          // TextColor
        "\x02"s +                                                      // Align: centre
        U16(0) +                                                       // LeftMargin
        U16(0) +                                                       // RightMargin
        U16(0) +                                                       // Indent
        U16(0) +                                                       // Leading
        "pr\0"s +                                                      // VariableName
        "0% geladen\0"s;                                               // InitialText
    EXPECT_EQ(Hex(tag.Body), Hex(expected));
}

TEST_F(FlashText, EmbeddedFontMakesTheEditTextUseOutlines) {
    TFlashFont& font = Font();
    TFlashText& text =
        Movie.AddDynamicText("v", "", TRect{0, 0, 100, 20}, font, MakeRGBA(0, 0, 0, 255));
    text.AutoSize = true;
    text.SetMaxLength(0x12345);
    EXPECT_EQ(text.MinVersion(), 6);
    const TTag tag = Written(text);
    // Flags after the ID and the bounds of four 12-bit fields (5 + 48 bits:
    // 7 bytes).
    const uint16_t flags = uint16_t(uint8_t(tag.Body[9]) << 8 | uint8_t(tag.Body[10]));
    EXPECT_FALSE(flags & 0x8000) << "no initial text";
    EXPECT_TRUE(flags & 0x0200) << "HasMaxLength";
    EXPECT_TRUE(flags & 0x0040) << "AutoSize";
    EXPECT_TRUE(flags & 0x0001) << "UseOutlines";
    // FontID, FontHeight, colour, then the low 16 bits of the length.
    EXPECT_EQ(Hex(tag.Body.substr(11 + 8, 2)), "45 23");
}

TEST_F(FlashText, SettersWithSideEffects) {
    TFlashFont& font = Font("DejaVu Sans", true);
    TFlashText& text = Movie.AddText("a", MakeRGBA(0, 0, 0, 255), TRect{1, 2, 3, 4}, font);
    EXPECT_FALSE(text.UseOutlines());
    text.ReadOnly = true;
    text.NoSelect = true;
    text.SetDynamicText(true);
    EXPECT_FALSE(text.ReadOnly || text.NoSelect);

    TFlashText& html = Movie.AddText("b", MakeRGBA(0, 0, 0, 255), TRect{1, 2, 3, 4}, font);
    html.ReadOnly = true;
    html.SetHTML(true);
    EXPECT_TRUE(html.DynamicText());
    EXPECT_TRUE(html.ReadOnly);

    text.SetLeftMargin(3);
    EXPECT_TRUE(text.HasLayout());
    EXPECT_TRUE(font.HasLayout());
    EXPECT_EQ(text.LeftMargin(), 3);
    text.SetTextHeight(20);
    EXPECT_EQ(text.TextHeight(), 20);
    EXPECT_EQ(text.GetBounds().Right, 3);
    EXPECT_EQ(text.Bounds.GetXMax(), 60);

    text.SetUseOutlines(true);
    EXPECT_FALSE(font.DeviceFont);
    text.SetText("ab");
    EXPECT_EQ(font.Chars().size(), 2u);
}

} // namespace
} // namespace pictova
