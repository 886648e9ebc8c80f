#include "movie/FlashFont.h"
#include "movie/FlashMovie.h"
#include "movie/FlashText.h"
#include "tests/support/Capture.h"
#include "tests/support/SwfWalker.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace pictova {
namespace {

using test::Hex;

// The fields of a written DefineFont2, read by hand.
struct TReadFont {
    uint16_t Code = 0;
    uint16_t FontID = 0;
    bool HasLayout = false, ShiftJIS = false, SmallText = false, ANSI = false;
    bool WideOffsets = false, WideCodes = false, Italic = false, Bold = false;
    uint8_t LanguageCode = 0;
    std::string Name;
    std::vector<std::string> Glyphs;
    std::string CodeTable; // raw bytes
    std::vector<uint16_t> Codes;
    uint16_t Ascent = 0, Descent = 0, Leading = 0;
    std::vector<int16_t> Advances;
};

uint16_t U16At(const std::string& s, size_t at) {
    if (at + 2 > s.size())
        throw std::runtime_error("short font tag");
    return uint16_t(uint8_t(s[at]) | uint8_t(s[at + 1]) << 8);
}

TReadFont ReadFont(TBasedSWFObject& object) {
    const std::string tag = test::TagBytes(object);
    TReadFont f;
    const uint16_t header = U16At(tag, 0);
    f.Code = header >> 6;
    size_t at = (header & 0x3F) == 0x3F ? 6 : 2;
    const std::string b = tag.substr(at);
    f.FontID = U16At(b, 0);
    const uint8_t flags = uint8_t(b.at(2));
    f.HasLayout = flags & 0x80;
    f.ShiftJIS = flags & 0x40;
    f.SmallText = flags & 0x20;
    f.ANSI = flags & 0x10;
    f.WideOffsets = flags & 0x08;
    f.WideCodes = flags & 0x04;
    f.Italic = flags & 0x02;
    f.Bold = flags & 0x01;
    f.LanguageCode = uint8_t(b.at(3));
    const size_t nameLength = uint8_t(b.at(4));
    f.Name = b.substr(5, nameLength);
    at = 5 + nameLength;
    const uint16_t count = U16At(b, at);
    at += 2;
    const size_t table = at;
    const size_t entry = f.WideOffsets ? 4 : 2;
    std::vector<size_t> offsets;
    for (size_t i = 0; i <= count; ++i)
        offsets.push_back(f.WideOffsets
                              ? U16At(b, at + 4 * i) | size_t(U16At(b, at + 4 * i + 2)) << 16
                              : U16At(b, at + 2 * i));
    (void)entry;
    for (size_t i = 0; i < count; ++i)
        f.Glyphs.push_back(b.substr(table + offsets[i], offsets[i + 1] - offsets[i]));
    at = table + offsets[count];
    const size_t codeBytes = f.WideCodes ? 2 : 1;
    f.CodeTable = b.substr(at, count * codeBytes);
    for (size_t i = 0; i < count; ++i)
        f.Codes.push_back(f.WideCodes ? U16At(b, at + 2 * i) : uint8_t(b.at(at + i)));
    at += count * codeBytes;
    if (f.HasLayout) {
        f.Ascent = U16At(b, at);
        f.Descent = U16At(b, at + 2);
        f.Leading = U16At(b, at + 4);
        at += 6;
        for (size_t i = 0; i < count; ++i)
            f.Advances.push_back(int16_t(U16At(b, at + 2 * i)));
    }
    return f;
}

TFontDescription Description(const std::string& name, uint8_t charset = csANSI) {
    TFontDescription d;
    d.Name = name;
    d.Height = -11;
    d.Charset = charset;
    return d;
}

class FlashFont : public ::testing::Test {
protected:
    TFlashMovie Movie{0, 0, 400, 300, 20.0f, true};
};

TEST_F(FlashFont, CollectsEachCharacterOnce) {
    TFlashFont& font = Movie.AddFont(Description("DejaVu Sans"), false);
    font.AddChars("abca");
    ASSERT_EQ(font.Chars().size(), 3u);
    EXPECT_EQ(font.Chars()[0]->Code(), 'a');
    EXPECT_EQ(font.Chars()[1]->Code(), 'b');
    EXPECT_EQ(font.Chars()[2]->Code(), 'c');
    EXPECT_FALSE(font.AddChar('b'));
    EXPECT_EQ(font.CharByCode('c'), font.Chars()[2].get());
    EXPECT_EQ(font.CharByCode('z'), nullptr);
}

// Chars are kept in the order of their characters: Windows-1252 0x80 is
// the euro sign U+20AC, which comes after U+00E4 (0xE4).
TEST_F(FlashFont, KeepsCharsInCharacterOrder) {
    TFlashFont& font = Movie.AddFont(Description("DejaVu Sans"), false);
    font.AddChars("\xE4z\x80"
                  "a\xDF");
    std::string codes;
    for (const auto& ch : font.Chars())
        codes += char(ch->Code());
    EXPECT_EQ(Hex(codes), "61 7A DF E4 80");
    EXPECT_EQ(font.CharByCode(0x80)->UnicodeCode(), 0x20AC);
    EXPECT_EQ(font.CharByCode(0xE4)->UnicodeCode(), 0xE4);
}

TEST_F(FlashFont, MovieGivesSizeIdAndCharset) {
    TFlashShape& shape = Movie.AddShape();
    TFontDescription d = Description("DejaVu Sans", csDefault);
    d.Bold = true;
    TFlashFont& font = Movie.AddFont(d, true);
    EXPECT_EQ(font.CharacterId(), shape.CharacterId() + 1);
    EXPECT_EQ(font.Size(), 220); // |-11| pixels in twips
    EXPECT_TRUE(font.Bold);
    EXPECT_TRUE(font.DeviceFont);
    EXPECT_EQ(font.Encoding(), feUnicode);
    ASSERT_EQ(Movie.Fonts().Count(), 1u);
    EXPECT_EQ(Movie.Fonts()[0], &font);
}

TEST_F(FlashFont, CharsetGivesLanguageAndEncoding) {
    struct Row {
        uint8_t Charset;
        uint8_t Language;
        TFontEncoding Encoding;
    };
    // Each row starts from the Shift-JIS state, so "unchanged" shows.
    for (const Row& row :
         {Row{0, 0, feANSI}, Row{2, 0, feANSI}, Row{1, 0, feUnicode}, Row{128, 2, feShiftJIS},
          Row{129, 3, feShiftJIS}, Row{134, 4, feShiftJIS}, Row{136, 5, feShiftJIS},
          Row{161, 64, feUnicode}}) {
        TFlashFont font(nullptr, 10, false, false, "x", false);
        EXPECT_EQ(font.Encoding(), feANSI);
        font.SetCharset(128);
        font.SetCharset(row.Charset);
        EXPECT_EQ(font.LanguageCode(), row.Language) << int(row.Charset);
        EXPECT_EQ(font.Encoding(), row.Encoding) << int(row.Charset);
    }
}

TEST_F(FlashFont, AnsiFontWritesByteCodesAndItsGlyphs) {
    TFlashFont& font = Movie.AddFont(Description("DejaVu Sans", csANSI), false);
    font.AddChars("BA");
    const TReadFont f = ReadFont(font);
    EXPECT_EQ(f.Code, tagDefineFont2);
    EXPECT_EQ(f.FontID, font.CharacterId());
    EXPECT_EQ(f.Name, "DejaVu Sans");
    EXPECT_TRUE(f.ANSI);
    EXPECT_FALSE(f.WideCodes);
    EXPECT_FALSE(f.HasLayout);
    EXPECT_EQ(Hex(f.CodeTable), "41 42");
    ASSERT_EQ(f.Glyphs.size(), 2u);
    EXPECT_GT(f.Glyphs[0].size(), 10u);
    EXPECT_NE(f.Glyphs[0], f.Glyphs[1]);

    TFlashFont& unicode = Movie.AddFont(Description("DejaVu Sans", csDefault), false);
    unicode.AddChars("AB");
    const TReadFont u = ReadFont(unicode);
    EXPECT_TRUE(u.WideCodes);
    EXPECT_FALSE(u.ANSI);
    EXPECT_EQ(u.LanguageCode, 0);
    EXPECT_EQ(Hex(u.CodeTable), "41 00 42 00");
    EXPECT_EQ(u.Glyphs, f.Glyphs);
}

// The code table of an 8-bit font is sorted by byte, where the euro sign
// (0x80) comes before "ä" (0xE4), unlike in character order; each glyph must
// still sit at its code.
TEST_F(FlashFont, GlyphsFollowTheSortedCodeTable) {
    TFlashFont& both = Movie.AddFont(Description("DejaVu Sans", csANSI), false);
    both.AddChars("\xE4\x80");
    TFlashFont& euro = Movie.AddFont(Description("DejaVu Sans", csANSI), false);
    euro.AddChars("\x80");
    TFlashFont& umlaut = Movie.AddFont(Description("DejaVu Sans", csANSI), false);
    umlaut.AddChars("\xE4");
    const TReadFont f = ReadFont(both);
    EXPECT_EQ(Hex(f.CodeTable), "80 E4");
    ASSERT_EQ(f.Glyphs.size(), 2u);
    EXPECT_EQ(f.Glyphs[0], ReadFont(euro).Glyphs[0]);
    EXPECT_EQ(f.Glyphs[1], ReadFont(umlaut).Glyphs[0]);
    EXPECT_EQ(both.GlyphIndex(*both.CharByCode(0x80)), 0);
    EXPECT_EQ(both.GlyphIndex(*both.CharByCode(0xE4)), 1);

    // With Unicode codes the table is in character order.
    TFlashFont& wide = Movie.AddFont(Description("DejaVu Sans", csDefault), false);
    wide.AddChars("\xE4\x80");
    const TReadFont w = ReadFont(wide);
    EXPECT_EQ(Hex(w.CodeTable), "E4 00 AC 20");
    EXPECT_EQ(w.Glyphs[0], f.Glyphs[1]);
}

TEST_F(FlashFont, DeviceFontOfEditTextsWritesNoGlyphs) {
    TFlashFont& font = Movie.AddFont(Description("DejaVu Sans", csDefault), true);
    TFlashText& text = Movie.AddDynamicText("pr", "0% geladen", TRect{0, 0, 100, 20}, font,
                                            MakeRGBA(0, 0, 0, 255));
    text.SetAlign(taCenter);
    EXPECT_EQ(font.TextUsage, tuEdit);
    EXPECT_EQ(font.Ascent, 950); // switching the layout on read the metrics
    const TReadFont f = ReadFont(font);
    EXPECT_TRUE(f.Glyphs.empty());
    EXPECT_FALSE(f.HasLayout);
    EXPECT_TRUE(f.ANSI);
    EXPECT_EQ(f.Name, "DejaVu Sans");
}

TEST_F(FlashFont, DeviceFontOfStaticTextsEmbedsItsGlyphs) {
    TFlashFont& font = Movie.AddFont(Description("DejaVu Sans", csANSI), true);
    Movie.AddText("Hi", MakeRGBA(0, 0, 0, 255), TRect{0, 0, 100, 20}, font);
    EXPECT_EQ(ReadFont(font).Glyphs.size(), 2u);
}

TEST_F(FlashFont, EmbeddedEditTextFontWritesLayoutFromTheFace) {
    TFlashFont& font = Movie.AddFont(Description("DejaVu Sans", csANSI), false);
    Movie.AddDynamicText("v", "lo", TRect{0, 0, 100, 20}, font, MakeRGBA(0, 0, 0, 255));
    const TReadFont f = ReadFont(font);
    EXPECT_TRUE(f.HasLayout);
    EXPECT_EQ(f.Ascent, 950);
    EXPECT_EQ(f.Descent, 242);
    EXPECT_EQ(f.Leading, 168);
    EXPECT_EQ(Hex(f.CodeTable), "6C 6F");
    EXPECT_EQ(f.Advances, (std::vector<int16_t>{284, 626})); // 569 and 1253 of 2048
}

TEST_F(FlashFont, WideCodeRaisesTheMovieToVersion6) {
    Movie.SetVersion(5);
    TFlashFont& font = Movie.AddFont(Description("DejaVu Sans"), false);
    font.AddChar('A');
    EXPECT_EQ(Movie.Version(), 5);
    EXPECT_FALSE(font.UsesWideCodes());
    EXPECT_TRUE(font.AddChar(0x263A));
    EXPECT_EQ(Movie.Version(), 6);
    EXPECT_TRUE(font.HasWideChars());
    EXPECT_TRUE(font.UsesWideCodes());
    EXPECT_EQ(Hex(ReadFont(font).CodeTable), "41 00 3A 26");
}

TEST_F(FlashFont, MissingFaceIsReadFromItsStandIn) {
    TFlashFont& font = Movie.AddFont(Description("Pictova No Such Face"), false);
    font.AddChars("I");
    const TReadFont f = ReadFont(font);
    ASSERT_EQ(f.Glyphs.size(), 1u);
    EXPECT_GT(f.Glyphs[0].size(), 8u);
    EXPECT_EQ(f.Name, "Pictova No Such Face"); // the player is still told the name asked for
    EXPECT_FALSE(font.FaceUsed.empty());
}

TEST_F(FlashFont, AssignCopiesCharsAndTheirOutlines) {
    TFlashFont& font = Movie.AddFont(Description("DejaVu Sans"), false);
    font.AddChars("lo");
    font.ReadGlyphs();
    TFlashFont copy(nullptr, 1, false, false, "", false);
    copy.Assign(font);
    EXPECT_EQ(copy.CharacterId(), font.CharacterId());
    EXPECT_EQ(copy.Size(), font.Size());
    ASSERT_EQ(copy.Chars().size(), 2u);
    EXPECT_TRUE(copy.Chars()[1]->OutlineRead);
    EXPECT_EQ(copy.Chars()[1]->Advance, 626);
    EXPECT_EQ(copy.Chars()[1]->ShapeRecords.size(), font.Chars()[1]->ShapeRecords.size());
    EXPECT_NE(copy.Chars()[1]->ShapeRecords[0].get(), font.Chars()[1]->ShapeRecords[0].get());
    EXPECT_EQ(ReadFont(copy).Glyphs, ReadFont(font).Glyphs);
}

} // namespace
} // namespace pictova
