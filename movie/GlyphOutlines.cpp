#include "movie/GlyphOutlines.h"

#include "movie/FlashFont.h"
#include "platform/CodePage.h"
#include "swf/SWFTypes.h"

#include <algorithm>
#include <cmath>
#include <iostream>
#include <set>
#include <string>

namespace pictova {

namespace {

// Allowed distance of the quadratic pieces from a cubic curve, em units.
constexpr double kCubicTolerance = 0.25;
// Pieces per cubic at most; a glyph-sized curve needs far fewer.
constexpr int kMaxCubicPieces = 64;

double Units(int32_t fixed) {
    return double(fixed) / 65536.0;
}

bool Drawable(const TGlyphOutline& outline) {
    for (const TOutlineContour& contour : outline.Contours)
        for (const TOutlineCurve& curve : contour.Curves)
            switch (curve.Type) {
            case ctLine:
                break;
            case ctQSpline:
                if (curve.Points.empty())
                    return false;
                break;
            case ctCSpline:
                if (curve.Points.empty() || curve.Points.size() % 3 != 0)
                    return false;
                break;
            default:
                return false;
            }
    return true;
}

struct TPoint {
    double X, Y;
};

TPoint Cubic(TPoint p0, TPoint c1, TPoint c2, TPoint p3, double t) {
    const double u = 1 - t;
    const double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
    return {a * p0.X + b * c1.X + c * c2.X + d * p3.X, a * p0.Y + b * c1.Y + c * c2.Y + d * p3.Y};
}

TPoint CubicSlope(TPoint p0, TPoint c1, TPoint c2, TPoint p3, double t) {
    const double u = 1 - t;
    const double a = 3 * u * u, b = 6 * u * t, c = 3 * t * t;
    return {a * (c1.X - p0.X) + b * (c2.X - c1.X) + c * (p3.X - c2.X),
            a * (c1.Y - p0.Y) + b * (c2.Y - c1.Y) + c * (p3.Y - c2.Y)};
}

// Splits the cubic into n equal pieces, each drawn as the quadratic whose
// control point is the mean of the two it would take to match either end's
// slope. That quadratic strays from its cubic by at most sqrt(3)/36 times the
// length of the cubic's third difference, which shrinks with n^3.
void CubicTo(TFlashEdges& edges, TPoint p0, TPoint c1, TPoint c2, TPoint p3, int32_t endX,
             int32_t endY) {
    const double dx = p3.X - 3 * c2.X + 3 * c1.X - p0.X;
    const double dy = p3.Y - 3 * c2.Y + 3 * c1.Y - p0.Y;
    const double error = std::sqrt(3.0) / 36.0 * std::hypot(dx, dy);
    const int n =
        std::clamp(int(std::ceil(std::cbrt(error / kCubicTolerance))), 1, kMaxCubicPieces);
    for (int i = 0; i < n; ++i) {
        const double t0 = double(i) / n, t1 = double(i + 1) / n, h = (t1 - t0) / 3;
        const TPoint a = Cubic(p0, c1, c2, p3, t0), b = Cubic(p0, c1, c2, p3, t1);
        const TPoint da = CubicSlope(p0, c1, c2, p3, t0), db = CubicSlope(p0, c1, c2, p3, t1);
        const TPoint k1{a.X + da.X * h, a.Y + da.Y * h}, k2{b.X - db.X * h, b.Y - db.Y * h};
        const TPoint control{(3 * (k1.X + k2.X) - a.X - b.X) / 4,
                             (3 * (k1.Y + k2.Y) - a.Y - b.Y) / 4};
        const bool last = i + 1 == n;
        edges.CurveTo(RoundHalfEven(control.X), RoundHalfEven(control.Y),
                      last ? endX : RoundHalfEven(b.X), last ? endY : RoundHalfEven(b.Y));
    }
}

void QSplineTo(TFlashEdges& edges, const std::vector<TFixedPoint>& points) {
    if (points.size() == 1) {
        // Only the end point: nothing bends the way there.
        edges.LineTo(FixedToInt(points[0].X), FixedToInt(points[0].Y));
        return;
    }
    TFixedPoint p = points[0];
    for (size_t i = 1; i < points.size(); ++i) {
        const TFixedPoint q = points[i];
        int32_t ax, ay;
        if (i + 1 < points.size()) {
            // The on-curve point between two controls: their midpoint, rounded.
            ax = RoundHalfEven((double(p.X) + double(q.X)) / 131072.0);
            ay = RoundHalfEven((double(p.Y) + double(q.Y)) / 131072.0);
        } else {
            // The record's end point keeps only its integer part.
            ax = q.X >> 16;
            ay = q.Y >> 16;
        }
        edges.CurveTo(FixedToInt(p.X), FixedToInt(p.Y), ax, ay);
        p = q;
    }
}

void NoteFaceUsed(TFlashFont& font, const TGlyphFace& face, const std::string& requested) {
    const bool sameFamily = SameFontFamily(face.FamilyName(), requested);
    const bool synthetic = face.FaceUsed().find(", synthetic") != std::string::npos;
    font.FaceUsed = sameFamily && !synthetic ? std::string() : face.FaceUsed();
    if (font.FaceUsed.empty())
        return;
    static std::set<std::string> told;
    const std::string line = "font \"" + requested + "\"" + (font.Bold ? " bold" : "") +
                             (font.Italic ? " italic" : "") + ": using " + font.FaceUsed;
    if (told.insert(line).second)
        std::clog << "pictova: " << line << "\n";
}

} // namespace

int32_t FixedToInt(int32_t fixed) {
    if ((fixed & 0xFFFF) == 0)
        return fixed >> 16;
    return RoundHalfEven(Units(fixed));
}

std::unique_ptr<TGlyphFace> OpenFontFace(TFlashFont& font) {
    const std::string family = AnsiToUtf8(font.Name);
    std::unique_ptr<TGlyphFace> face = OpenSystemFace(TFaceRequest{family, font.Bold, font.Italic});
    NoteFaceUsed(font, *face, family);
    return face;
}

void ReadFontMetrics(TFlashFont& font) {
    ReadFontMetrics(font, *OpenFontFace(font));
}

void ReadFontMetrics(TFlashFont& font, const TGlyphFace& face) {
    const TFaceMetrics& m = face.Metrics();
    font.Ascent = uint16_t(m.Ascent);
    font.Descent = uint16_t(m.Descent);
    font.Leading = uint16_t(m.InternalLeading);
}

void ReadGlyph(const TGlyphFace& face, TFlashChar& ch) {
    ch.OutlineRead = true;
    const TGlyphOutline outline = face.Glyph(ch.UnicodeCode());
    ReadGlyphOutline(outline, ch.Edges());
    ch.Advance = outline.Advance;
}

bool ReadGlyphOutline(const TGlyphOutline& outline, TFlashEdges& edges) {
    if (!Drawable(outline))
        return false;
    for (const TOutlineContour& contour : outline.Contours) {
        edges.MoveTo(FixedToInt(contour.Start.X), FixedToInt(contour.Start.Y));
        TFixedPoint pen = contour.Start; // exact, for the cubic arithmetic
        for (const TOutlineCurve& curve : contour.Curves) {
            if (curve.Points.empty())
                continue;
            switch (curve.Type) {
            case ctLine:
                for (const TFixedPoint& p : curve.Points)
                    edges.LineTo(FixedToInt(p.X), FixedToInt(p.Y));
                break;
            case ctQSpline:
                QSplineTo(edges, curve.Points);
                break;
            case ctCSpline:
                for (size_t i = 0; i + 2 < curve.Points.size(); i += 3) {
                    const TFixedPoint& c1 = curve.Points[i];
                    const TFixedPoint& c2 = curve.Points[i + 1];
                    const TFixedPoint& p3 = curve.Points[i + 2];
                    CubicTo(edges, {Units(pen.X), Units(pen.Y)}, {Units(c1.X), Units(c1.Y)},
                            {Units(c2.X), Units(c2.Y)}, {Units(p3.X), Units(p3.Y)},
                            FixedToInt(p3.X), FixedToInt(p3.Y));
                    pen = p3;
                }
                break;
            }
            pen = curve.Points.back();
        }
        edges.CloseShape();
    }
    edges.Mirror(false, true);
    return true;
}

} // namespace pictova
