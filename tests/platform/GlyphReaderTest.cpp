// Face matching and glyph reading over the installed fonts. Expected numbers
// come from the fonts' own tables (hmtx, glyf, OS/2 of DejaVu Sans 2.37, em
// of 2048 units), halved to the 1024-unit em.

#include "platform/GlyphReader.h"
#include "tests/support/SwfWalker.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>

namespace pictova {
namespace {

const char* const kCffFile = "/usr/share/fonts/opentype/cantarell/Cantarell-Regular.otf";

TGlyphFace DejaVu() {
    return TGlyphFace(MatchFace({"DejaVu Sans", false, false}));
}

TEST(GlyphReader, MatchesInstalledFamiliesAndStyles) {
    const TFaceMatch regular = MatchFace({"DejaVu Sans", false, false});
    EXPECT_EQ(regular.Family, "DejaVu Sans");
    EXPECT_EQ(regular.File.filename(), "DejaVuSans.ttf");
    EXPECT_FALSE(regular.Embolden || regular.Oblique);

    const TFaceMatch bold = MatchFace({"dejavu sans", true, false});
    EXPECT_EQ(bold.File.filename(), "DejaVuSans-Bold.ttf");
    EXPECT_FALSE(bold.Embolden);
    const TFaceMatch boldItalic = MatchFace({"DejaVu Sans", true, true});
    EXPECT_EQ(boldItalic.File.filename(), "DejaVuSans-BoldOblique.ttf");
    EXPECT_FALSE(boldItalic.Oblique);
}

TEST(GlyphReader, UnknownFamilyFallsBackToAnInstalledFace) {
    const TFaceMatch match = MatchFace({"Pictova No Such Face", false, false});
    EXPECT_FALSE(match.File.empty());
    EXPECT_FALSE(SameFontFamily(match.Family, "Pictova No Such Face"));
    TGlyphFace face(match);
    EXPECT_FALSE(face.Glyph(U'A').Contours.empty());
}

TEST(GlyphReader, TahomaResolvesToTheCompatibleFace) {
    if (!std::filesystem::exists("/usr/share/wine/fonts/tahoma.ttf"))
        GTEST_SKIP() << "fonts-wine is not installed";
    const TFaceMatch regular = MatchFace({"Tahoma", false, false});
    EXPECT_EQ(regular.Family, "Tahoma");
    EXPECT_EQ(regular.File.filename(), "tahoma.ttf");
    const TFaceMatch bold = MatchFace({"Tahoma", true, false});
    EXPECT_EQ(bold.File.filename(), "tahomabd.ttf");
    EXPECT_FALSE(bold.Embolden);
    // Tahoma has no italic: the regular face, sheared.
    const TFaceMatch italic = MatchFace({"Tahoma", false, true});
    EXPECT_EQ(italic.File.filename(), "tahoma.ttf");
    EXPECT_TRUE(italic.Oblique);

    // winAscent 2049, winDescent 423 of 2048.
    TGlyphFace face(regular);
    EXPECT_EQ(face.Metrics().Ascent, 1024); // 1024.5, half to even
    EXPECT_EQ(face.Metrics().Descent, 212); // 211.5
    EXPECT_EQ(face.Metrics().InternalLeading, 212);
    EXPECT_EQ(face.Glyph(U'l').Advance, 234); // 469 units

    // Shearing moves the top of the "l" right and keeps its foot.
    TGlyphFace sheared(italic);
    EXPECT_EQ(sheared.FaceUsed(), "Tahoma Regular, synthetic italic");
    auto extent = [](const TGlyphOutline& g, bool top) {
        int32_t best = top ? INT32_MIN : INT32_MAX, x = 0;
        for (const auto& c : g.Contours)
            for (const auto& curve : c.Curves)
                for (const auto& p : curve.Points)
                    if (top ? p.Y > best : p.Y < best)
                        best = p.Y, x = p.X;
        return x;
    };
    const TGlyphOutline upright = face.Glyph(U'l'), slanted = sheared.Glyph(U'l');
    EXPECT_GT(extent(slanted, true) - extent(upright, true), 100 << 16);
    EXPECT_NEAR(extent(slanted, false), extent(upright, false), 10 << 16);
}

TEST(GlyphReader, MetricsAreTheWindowsLineMetricsOnTheEm) {
    // winAscent 1901, winDescent 483 of 2048.
    const TGlyphFace face = DejaVu();
    EXPECT_EQ(face.Metrics().Ascent, 950);  // 950.5, half to even
    EXPECT_EQ(face.Metrics().Descent, 242); // 241.5
    EXPECT_EQ(face.Metrics().InternalLeading, 950 + 242 - 1024);
    EXPECT_EQ(face.FaceUsed(), "DejaVu Sans Book");
}

TEST(GlyphReader, GlyphsOfKnownLetters) {
    const TGlyphFace face = DejaVu();
    struct Row {
        char32_t Code;
        size_t Contours;
        int32_t Advance;
    };
    // Advances in units of 2048: l 569, I 604, o 1253, 8 1303, space 651.
    for (const Row& row : {Row{U'l', 1, 284}, Row{U'I', 1, 302}, Row{U'o', 2, 626},
                           Row{U'8', 3, 652}, Row{U' ', 0, 326}, Row{U'\u00DF', 1, 645}}) {
        const TGlyphOutline g = face.Glyph(row.Code);
        EXPECT_EQ(g.Contours.size(), row.Contours) << uint32_t(row.Code);
        EXPECT_EQ(g.Advance, row.Advance) << uint32_t(row.Code);
        EXPECT_FALSE(g.Missing);
    }
    // The "l" is a rectangle of four on-curve points: x 193..377, y 0..1556.
    const TGlyphOutline l = face.Glyph(U'l');
    ASSERT_EQ(l.Contours[0].Curves.size(), 1u);
    EXPECT_EQ(l.Contours[0].Curves[0].Type, ctLine);
    EXPECT_EQ(l.Contours[0].Curves[0].Points.size(), 3u); // the fourth side closes
    int32_t top = 0, left = INT32_MAX;
    for (const auto& p : l.Contours[0].Curves[0].Points) {
        top = std::max(top, p.Y);
        left = std::min(left, p.X);
    }
    left = std::min(left, l.Contours[0].Start.X);
    EXPECT_EQ(top, 778 << 16);
    EXPECT_EQ(left, 96 << 16 | 0x8000);
    // "o" is curves only.
    for (const auto& contour : face.Glyph(U'o').Contours)
        for (const auto& curve : contour.Curves)
            EXPECT_EQ(curve.Type, ctQSpline);
}

TEST(GlyphReader, CodeWithoutGlyphGivesTheMissingGlyphBox) {
    const TGlyphFace face = DejaVu();
    EXPECT_FALSE(face.HasGlyph(0xE000));
    const TGlyphOutline g = face.Glyph(0xE000);
    EXPECT_TRUE(g.Missing);
    EXPECT_EQ(g.Contours.size(), 2u); // DejaVu's box: outer and inner outline
    EXPECT_GT(g.Advance, 0);
}

TEST(GlyphReader, CffFacesGiveCubicCurves) {
    if (!std::filesystem::exists(kCffFile))
        GTEST_SKIP() << "fonts-cantarell is not installed";
    TGlyphFace face(TFaceMatch{kCffFile, 0, "Cantarell", "Regular", false, false});
    const TGlyphOutline o = face.Glyph(U'o');
    ASSERT_EQ(o.Contours.size(), 2u);
    for (const auto& contour : o.Contours)
        for (const auto& curve : contour.Curves) {
            EXPECT_TRUE(curve.Type == ctCSpline || curve.Type == ctLine) << curve.Type;
            if (curve.Type == ctCSpline) {
                EXPECT_EQ(curve.Points.size() % 3, 0u);
            }
        }
    EXPECT_GT(o.Advance, 400);
}

TEST(GlyphReader, RejectedFontDataIsAnErrorNamingIt) {
    std::vector<uint8_t> junk(4000, 0x5A);
    try {
        TGlyphFace face(junk);
        FAIL() << "junk was accepted";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("4000 bytes"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("rejected by FreeType"), std::string::npos)
            << e.what();
    }
}

// A font file cut short, and one whose glyph data is overwritten: either
// an error on opening, or glyphs that are read or left empty, never a read
// past the data.
TEST(GlyphReader, DamagedFontDataStaysInBounds) {
    const std::string whole = test::ReadFileBytes(MatchFace({"DejaVu Sans", false, false}).File);
    std::vector<std::vector<uint8_t>> damaged;
    damaged.emplace_back(whole.begin(), whole.begin() + 12 + 16 * 4);
    damaged.emplace_back(whole.begin(), whole.begin() + whole.size() / 2);
    std::vector<uint8_t> scrambled(whole.begin(), whole.end());
    for (size_t i = scrambled.size() / 3; i < scrambled.size(); i += 7)
        scrambled[i] ^= 0xA5;
    damaged.push_back(std::move(scrambled));
    for (auto& bytes : damaged) {
        try {
            TGlyphFace face(bytes);
            for (char32_t c : U"AlgoÄß ")
                (void)face.Glyph(c);
        } catch (const std::runtime_error&) {
        }
    }
}

TEST(GlyphReader, RejectedFileOfAMatchIsAnError) {
    const auto junk = std::filesystem::temp_directory_path() / "pictova-junk-font.ttf";
    {
        std::FILE* f = std::fopen(junk.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fputs("not a font", f);
        std::fclose(f);
    }
    EXPECT_THROW(TGlyphFace(TFaceMatch{junk, 0, "Junk", "", false, false}), std::runtime_error);
    std::filesystem::remove(junk);
}

} // namespace
} // namespace pictova
