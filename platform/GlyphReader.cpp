#include "platform/GlyphReader.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cctype>
#include <cmath>
#include <stdexcept>
#include <system_error>

namespace pictova {

namespace {

// Debian's fonts-wine installs a Tahoma with Tahoma's metrics in a folder
// fontconfig does not index.
constexpr const char* kCompatibleTahomaFiles[] = {
    "/usr/share/wine/fonts/tahoma.ttf",
    "/usr/share/wine/fonts/tahomabd.ttf",
};

// The shear FreeType applies for synthetic italics: x += 0.2126 y (16.16).
constexpr FT_Fixed kObliqueShear = 0x0366A;

const FcChar8* Fc(const char* s) {
    return reinterpret_cast<const FcChar8*>(s);
}

bool HasFamily(FcConfig* config, const char* family) {
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, Fc(family));
    FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, nullptr);
    FcFontSet* fonts = FcFontList(config, pattern, objects);
    const bool found = fonts && fonts->nfont > 0;
    if (fonts)
        FcFontSetDestroy(fonts);
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    return found;
}

// One configuration for the process: the system's fonts plus the faces we
// register. Ours alone (not fontconfig's current one), destroyed at exit.
class TFontConfig {
public:
    TFontConfig() : Config(FcInitLoadConfigAndFonts()) {
        if (!Config)
            throw std::runtime_error("fontconfig: the font configuration could not be loaded");
        if (!HasFamily(Config, "Tahoma")) {
            std::error_code ignored;
            for (const char* file : kCompatibleTahomaFiles)
                if (std::filesystem::is_regular_file(file, ignored))
                    FcConfigAppFontAddFile(Config, Fc(file));
        }
    }
    ~TFontConfig() { FcConfigDestroy(Config); }
    TFontConfig(const TFontConfig&) = delete;
    TFontConfig& operator=(const TFontConfig&) = delete;

    FcConfig* const Config;
};

FcConfig* Config() {
    static const TFontConfig config;
    return config.Config;
}

std::string PatternString(FcPattern* pattern, const char* object, int n = 0) {
    FcChar8* value = nullptr;
    if (FcPatternGetString(pattern, object, n, &value) != FcResultMatch || !value)
        return {};
    return reinterpret_cast<const char*>(value);
}

int PatternInt(FcPattern* pattern, const char* object, int fallback) {
    int value = fallback;
    FcPatternGetInteger(pattern, object, 0, &value);
    return value;
}

std::string FreeTypeError(FT_Error error) {
    const char* text = FT_Error_String(error);
    return text ? std::string(text) : "FreeType error " + std::to_string(error);
}

int32_t RoundEm(double units) {
    // Half to even, as every conversion of ours to integers.
    return int32_t(std::nearbyint(units));
}

// 26.6 pixels of the 1024-pixel em to 16.16 em units.
TFixedPoint Fixed(const FT_Vector& v) {
    return TFixedPoint{int32_t(v.x * 1024), int32_t(v.y * 1024)};
}

TFixedPoint Midpoint(TFixedPoint a, TFixedPoint b) {
    return TFixedPoint{int32_t((int64_t(a.X) + b.X) / 2), int32_t((int64_t(a.Y) + b.Y) / 2)};
}

// Groups the points of one contour into curve records; Conics and Cubics
// hold the off-curve points met since the last on-curve point.
class TContourBuilder {
public:
    explicit TContourBuilder(TFixedPoint start) { Contour.Start = start; }

    void On(TFixedPoint p) {
        if (!Conics.empty()) {
            Conics.push_back(p);
            Add(ctQSpline, Conics, false);
            Conics.clear();
        } else if (!Cubics.empty()) {
            if (Cubics.size() != 2)
                Invalid(p);
            else {
                Cubics.push_back(p);
                Add(ctCSpline, Cubics, true);
                Cubics.clear();
            }
        } else {
            Add(ctLine, {p}, true);
        }
    }
    void Conic(TFixedPoint p) {
        if (!Cubics.empty())
            Invalid(p);
        else
            Conics.push_back(p);
    }
    void Cubic(TFixedPoint p) {
        if (!Conics.empty() || Cubics.size() == 2)
            Invalid(p);
        else
            Cubics.push_back(p);
    }
    void Invalid(TFixedPoint p) {
        std::vector<TFixedPoint> points = Conics;
        points.insert(points.end(), Cubics.begin(), Cubics.end());
        points.push_back(p);
        Conics.clear();
        Cubics.clear();
        Add(0, points, false);
    }
    // Ends the contour at its start point.
    TOutlineContour Close() {
        if (!Conics.empty() || !Cubics.empty())
            On(Contour.Start);
        return std::move(Contour);
    }

private:
    // Lines and cubics join the record before them when it is of their type.
    void Add(uint16_t type, const std::vector<TFixedPoint>& points, bool join) {
        if (join && !Contour.Curves.empty() && Contour.Curves.back().Type == type) {
            auto& last = Contour.Curves.back().Points;
            last.insert(last.end(), points.begin(), points.end());
            return;
        }
        Contour.Curves.push_back(TOutlineCurve{type, points});
    }

    TOutlineContour Contour;
    std::vector<TFixedPoint> Conics;
    std::vector<TFixedPoint> Cubics;
};

// FreeType contours start anywhere, also on an off-curve point; ours start
// on the curve.
std::vector<TOutlineContour> Contours(const FT_Outline& outline) {
    std::vector<TOutlineContour> contours;
    int first = 0;
    for (int c = 0; c < outline.n_contours; ++c) {
        const int last = outline.contours[c];
        if (last < first || last >= outline.n_points)
            break; // a corrupt contour table ends the outline
        auto tag = [&](int i) { return FT_CURVE_TAG(outline.tags[i]); };
        auto point = [&](int i) { return Fixed(outline.points[i]); };
        TFixedPoint start;
        int from = first, to = last;
        if (tag(first) == FT_CURVE_TAG_ON) {
            start = point(first);
            from = first + 1;
        } else if (tag(last) == FT_CURVE_TAG_ON) {
            start = point(last);
            to = last - 1;
        } else {
            // Only off-curve points at the ends: start at the point implied
            // between them.
            start = Midpoint(point(first), point(last));
        }
        TContourBuilder builder(start);
        for (int i = from; i <= to; ++i) {
            switch (tag(i)) {
            case FT_CURVE_TAG_ON:
                builder.On(point(i));
                break;
            case FT_CURVE_TAG_CONIC:
                builder.Conic(point(i));
                break;
            case FT_CURVE_TAG_CUBIC:
                builder.Cubic(point(i));
                break;
            default:
                builder.Invalid(point(i));
                break;
            }
        }
        contours.push_back(builder.Close());
        first = last + 1;
    }
    return contours;
}

std::string FamilyKey(const std::string& family) {
    std::string key;
    for (unsigned char c : family)
        if (!std::isspace(c))
            key += char(std::tolower(c));
    return key;
}

} // namespace

std::string TFaceMatch::Description() const {
    std::string text = Family;
    if (!Style.empty())
        text += " " + Style;
    if (Embolden)
        text += ", synthetic bold";
    if (Oblique)
        text += ", synthetic italic";
    return text;
}

bool SameFontFamily(const std::string& a, const std::string& b) {
    return FamilyKey(a) == FamilyKey(b);
}

TFaceMatch MatchFace(const TFaceRequest& request) {
    FcConfig* config = Config();
    FcPattern* pattern = FcPatternCreate();
    if (!request.Family.empty())
        FcPatternAddString(pattern, FC_FAMILY, Fc(request.Family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, request.Bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, request.Italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* found = FcFontMatch(config, pattern, &result);
    FcPatternDestroy(pattern);
    if (!found)
        throw std::runtime_error("fontconfig: no installed font matches \"" + request.Family +
                                 "\"");

    TFaceMatch match;
    match.File = PatternString(found, FC_FILE);
    match.Index = PatternInt(found, FC_INDEX, 0);
    match.Style = PatternString(found, FC_STYLE);
    // Families come in several languages; report the one asked for when the
    // face has it.
    match.Family = PatternString(found, FC_FAMILY);
    for (int n = 1;; ++n) {
        if (SameFontFamily(match.Family, request.Family))
            break;
        const std::string other = PatternString(found, FC_FAMILY, n);
        if (other.empty())
            break;
        if (SameFontFamily(other, request.Family))
            match.Family = other;
    }
    // Likewise the embolden flag, or a weight below bold.
    FcBool embolden = FcFalse;
    FcPatternGetBool(found, FC_EMBOLDEN, 0, &embolden);
    match.Embolden = request.Bold && (embolden || PatternInt(found, FC_WEIGHT, FC_WEIGHT_REGULAR) <
                                                      FC_WEIGHT_DEMIBOLD);
    // Fontconfig's own synthetic-style rules mark a sheared face with a
    // matrix (and call it oblique); without those rules the slant tells.
    FcMatrix* matrix = nullptr;
    const bool sheared = FcPatternGetMatrix(found, FC_MATRIX, 0, &matrix) == FcResultMatch &&
                         matrix && matrix->xy != 0;
    match.Oblique = request.Italic &&
                    (sheared || PatternInt(found, FC_SLANT, FC_SLANT_ROMAN) == FC_SLANT_ROMAN);
    FcPatternDestroy(found);
    if (match.File.empty())
        throw std::runtime_error("fontconfig: the match for \"" + request.Family +
                                 "\" has no file");
    return match;
}

TGlyphFace::TGlyphFace(const TFaceMatch& match)
    : File(match.File), Embolden(match.Embolden), Oblique(match.Oblique) {
    Open(match.File.string(), match.Index);
    if (Embolden)
        FFaceUsed += ", synthetic bold";
    if (Oblique)
        FFaceUsed += ", synthetic italic";
}

TGlyphFace::TGlyphFace(std::vector<uint8_t> fileBytes, int index) : Bytes(std::move(fileBytes)) {
    Open("font data of " + std::to_string(Bytes.size()) + " bytes", index);
}

TGlyphFace::~TGlyphFace() {
    if (Face)
        FT_Done_Face(Face);
    if (Library)
        FT_Done_FreeType(Library);
}

void TGlyphFace::Open(const std::string& what, int index) {
    auto fail = [&](const std::string& why) {
        if (Face)
            FT_Done_Face(Face);
        if (Library)
            FT_Done_FreeType(Library);
        Face = nullptr;
        Library = nullptr;
        throw std::runtime_error("font " + what + ": " + why);
    };
    if (FT_Error error = FT_Init_FreeType(&Library)) {
        Library = nullptr;
        fail(FreeTypeError(error));
    }
    const FT_Error error = Bytes.empty() ? FT_New_Face(Library, File.c_str(), index, &Face)
                                         : FT_New_Memory_Face(Library, Bytes.data(),
                                                              FT_Long(Bytes.size()), index, &Face);
    if (error) {
        Face = nullptr;
        fail("rejected by FreeType (" + FreeTypeError(error) + ")");
    }
    if (!FT_IS_SCALABLE(Face))
        fail("has no scalable outlines");
    if (FT_Select_Charmap(Face, FT_ENCODING_UNICODE) != 0)
        FT_Select_Charmap(Face, FT_ENCODING_MS_SYMBOL);
    if (FT_Error sizeError = FT_Set_Pixel_Sizes(Face, 0, EmSize))
        fail("cannot be scaled (" + FreeTypeError(sizeError) + ")");
    if (Face->units_per_EM == 0)
        fail("has an em square of 0 units");

    double ascent = Face->ascender;
    double descent = -Face->descender;
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(Face, FT_SFNT_OS2));
    if (os2 && os2->version != 0xFFFF && (os2->usWinAscent || os2->usWinDescent)) {
        ascent = os2->usWinAscent;
        descent = os2->usWinDescent;
    }
    const double scale = double(EmSize) / Face->units_per_EM;
    FMetrics.Ascent = RoundEm(ascent * scale);
    FMetrics.Descent = RoundEm(descent * scale);
    FMetrics.InternalLeading = std::max(0, FMetrics.Ascent + FMetrics.Descent - EmSize);
    FFaceUsed = FamilyName();
    if (!StyleName().empty())
        FFaceUsed += " " + StyleName();
}

std::string TGlyphFace::FamilyName() const {
    return Face->family_name ? Face->family_name : "";
}

std::string TGlyphFace::StyleName() const {
    return Face->style_name ? Face->style_name : "";
}

bool TGlyphFace::HasGlyph(char32_t code) const {
    if (FT_Get_Char_Index(Face, code) != 0)
        return true;
    // Symbol fonts map their characters to U+F000 + code.
    return Face->charmap && Face->charmap->encoding == FT_ENCODING_MS_SYMBOL && code < 0x100 &&
           FT_Get_Char_Index(Face, 0xF000 + code) != 0;
}

TGlyphOutline TGlyphFace::Glyph(char32_t code) const {
    TGlyphOutline glyph;
    FT_UInt index = FT_Get_Char_Index(Face, code);
    if (index == 0 && Face->charmap && Face->charmap->encoding == FT_ENCODING_MS_SYMBOL &&
        code < 0x100)
        index = FT_Get_Char_Index(Face, 0xF000 + code);
    glyph.Missing = index == 0;
    if (FT_Load_Glyph(Face, index, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0 ||
        Face->glyph->format != FT_GLYPH_FORMAT_OUTLINE)
        return glyph;
    FT_GlyphSlot slot = Face->glyph;
    double advance = double(slot->linearHoriAdvance) / 65536.0; // 16.16 pixels of the em
    if (Oblique) {
        FT_Matrix shear{0x10000, kObliqueShear, 0, 0x10000};
        FT_Outline_Transform(&slot->outline, &shear);
    }
    if (Embolden) {
        // FreeType's synthetic bold: one 24th of the em, added to the advance.
        const FT_Pos strength = FT_Pos(EmSize) * 64 / 24;
        FT_Outline_EmboldenXY(&slot->outline, strength, strength);
        advance += double(strength) / 64.0;
    }
    glyph.Contours = Contours(slot->outline);
    glyph.Advance = RoundEm(advance);
    return glyph;
}

std::unique_ptr<TGlyphFace> OpenSystemFace(const TFaceRequest& request) {
    const TFaceMatch match = MatchFace(request);
    try {
        return std::make_unique<TGlyphFace>(match);
    } catch (const std::runtime_error& rejected) {
        TFaceRequest fallback = request;
        fallback.Family = FallbackFontFamily;
        const TFaceMatch other = MatchFace(fallback);
        if (other.File == match.File)
            throw;
        try {
            return std::make_unique<TGlyphFace>(other);
        } catch (const std::runtime_error& also) {
            throw std::runtime_error(std::string(rejected.what()) + "; fallback " + also.what());
        }
    }
}

} // namespace pictova
