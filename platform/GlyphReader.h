#pragma once
// System fonts through fontconfig and FreeType: finds the installed face for
// a family name and style, and reads its vertical metrics and its glyphs
// (outline and advance) at a size whose em square is 1024 units, the unit of
// SWF font glyphs.
//
// Outlines come as closed contours of straight lines, quadratic B-splines
// (TrueType) and cubic Beziers (CFF), in 16.16 fixed point with y upwards,
// the form the glyph converter of the movie reads.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

struct FT_LibraryRec_;
struct FT_FaceRec_;

namespace pictova {

// Family of the face used when a request matches nothing usable.
inline constexpr const char* FallbackFontFamily = "DejaVu Sans";

struct TFaceRequest {
    std::string Family; // UTF-8
    bool Bold = false;
    bool Italic = false;
};

// The installed face fontconfig chose for a request.
struct TFaceMatch {
    std::filesystem::path File;
    int Index = 0; // face within the file
    std::string Family;
    std::string Style;
    // The face lacks the weight or slant asked for; its outlines are
    // thickened or sheared instead, as a system renderer would.
    bool Embolden = false;
    bool Oblique = false;

    // "Family Style", what a log line names.
    std::string Description() const;
};

// Compares family names as fontconfig does: case and blanks do not count.
bool SameFontFamily(const std::string& a, const std::string& b);

// The best installed match; any request gets one while a font is installed.
// "Tahoma" resolves to the metric-compatible face of Debian's fonts-wine when
// no other Tahoma is installed. Throws std::runtime_error when fontconfig
// knows no font at all.
TFaceMatch MatchFace(const TFaceRequest& request);

struct TFixedPoint {
    int32_t X = 0; // 16.16 fixed point, em units, y upwards
    int32_t Y = 0;
};

// Values as the TrueType outline primitives number them.
enum TOutlineCurveType : uint16_t {
    ctLine = 1,
    ctQSpline = 2,
    ctCSpline = 3,
};

struct TOutlineCurve {
    // Any other value marks a run of points that makes no valid curve (a
    // FreeType point tag we do not know, or a cubic control without its
    // partner); converters reject the glyph rather than guess.
    uint16_t Type = ctLine;
    // ctLine: the end points of the lines. ctQSpline: off-curve controls and
    // the on-curve end; between two controls the on-curve point is their
    // midpoint. ctCSpline: (control, control, end) triples.
    std::vector<TFixedPoint> Points;
};

// Closed: after the last curve the outline returns to Start in a line.
struct TOutlineContour {
    TFixedPoint Start;
    std::vector<TOutlineCurve> Curves;
};

struct TGlyphOutline {
    std::vector<TOutlineContour> Contours;
    int32_t Advance = 0; // em units, rounded half to even
    // The face has no glyph for the code: this is its missing-glyph outline
    // (glyph 0, usually a box).
    bool Missing = false;
};

// Em units of the 1024-unit em, rounded half to even. Ascent and descent
// are the face's Windows line metrics (its OS/2 usWinAscent and
// usWinDescent, or the horizontal header's when it has no OS/2 table), so
// ascent + descent is the cell height and the internal leading the part of it
// above the em square.
struct TFaceMetrics {
    int32_t Ascent = 0;
    int32_t Descent = 0; // positive, below the baseline
    int32_t InternalLeading = 0;
};

class TGlyphFace {
public:
    static constexpr int EmSize = 1024;

    // Opens the matched file. Throws std::runtime_error naming the file and
    // FreeType's error when FreeType rejects it or the face has no scalable
    // outlines.
    explicit TGlyphFace(const TFaceMatch& match);
    // From a font file in memory (kept by the face).
    explicit TGlyphFace(std::vector<uint8_t> fileBytes, int index = 0);
    ~TGlyphFace();
    TGlyphFace(const TGlyphFace&) = delete;
    TGlyphFace& operator=(const TGlyphFace&) = delete;

    const TFaceMetrics& Metrics() const { return FMetrics; }
    // A code without a glyph gives the missing-glyph outline; a glyph that
    // FreeType cannot load gives no contours and advance 0.
    TGlyphOutline Glyph(char32_t code) const;
    bool HasGlyph(char32_t code) const;

    std::string FamilyName() const;
    std::string StyleName() const;
    // What was opened, including synthetic styles ("DejaVu Sans Book, synthetic bold").
    const std::string& FaceUsed() const { return FFaceUsed; }

private:
    void Open(const std::string& what, int index);

    FT_LibraryRec_* Library = nullptr;
    FT_FaceRec_* Face = nullptr;
    std::vector<uint8_t> Bytes; // memory faces read from these
    std::filesystem::path File;
    bool Embolden = false;
    bool Oblique = false;
    TFaceMetrics FMetrics;
    std::string FFaceUsed;
};

// MatchFace, then the face. When FreeType rejects the matched file the
// fallback family is opened instead. Throws std::runtime_error when no face
// can be opened.
std::unique_ptr<TGlyphFace> OpenSystemFace(const TFaceRequest& request);

} // namespace pictova
