#include "movie/DashedOutline.h"

#include "movie/FlashShape.h"

#include <cmath>
#include <stdexcept>

namespace pictova {

namespace {

int32_t Round(double x) {
    return RoundHalfEven(x);
}

struct TPoint {
    double X = 0;
    double Y = 0;
};

double Distance2(TPoint a, TPoint b) {
    return (a.X - b.X) * (a.X - b.X) + (a.Y - b.Y) * (a.Y - b.Y);
}

class TDasher {
public:
    TDasher(const TFlashLineStyle& pattern, TSWFShapeRecordList& out) : Pattern(pattern), Out(out) {
        if (!pattern.HasLength())
            throw std::invalid_argument("a dash pattern needs a length above 0");
    }

    void StyleChange(const TSWFStyleChangeRecord& src) {
        auto rec = std::make_unique<TSWFStyleChangeRecord>();
        if (src.StateLineStyle && src.LineStyle() > 0) {
            LineStyle = src.LineStyle();
            rec->SetLineStyle(LineStyle);
            rec->SetFillStyle0(src.FillStyle0());
            rec->SetFillStyle1(src.FillStyle0());
        }
        if (src.StateMoveTo) {
            rec->SetMoveTo(src.MoveDeltaX, src.MoveDeltaY);
            Pen = {double(src.MoveDeltaX), double(src.MoveDeltaY)};
            Drawn = Pen;
        }
        Out.push_back(std::move(rec));
    }

    void Straight(int32_t dx, int32_t dy) {
        const int32_t length = Round(std::sqrt(double(dx) * dx + double(dy) * dy));
        const TPoint start = Pen;
        double reached = 0;
        while (length > 0 && reached < length) {
            double piece = NextPiece();
            if (reached + piece > length) {
                Carry = reached + piece - length;
                piece = length - reached;
            }
            reached += piece;
            const TPoint to{start.X + dx * reached / length, start.Y + dy * reached / length};
            Emit(to, nullptr);
        }
        Pen = {start.X + dx, start.Y + dy};
    }

    void Curved(const TSWFCurvedEdgeRecord& c) {
        const TPoint p0 = Pen;
        const TPoint p1{p0.X + c.ControlDeltaX, p0.Y + c.ControlDeltaY};
        const TPoint p2{p1.X + c.AnchorDeltaX, p1.Y + c.AnchorDeltaY};
        auto at = [&](double t) {
            const double u = 1 - t;
            return TPoint{u * u * p0.X + 2 * t * u * p1.X + t * t * p2.X,
                          u * u * p0.Y + 2 * t * u * p1.Y + t * t * p2.Y};
        };
        double t = 0;
        while (t < 1) {
            const TPoint from = at(t);
            double piece = NextPiece();
            const double rest2 = Distance2(from, p2);
            double t1;
            if (rest2 <= piece * piece) {
                // The piece runs past the curve's end: the excess goes on.
                Carry = piece - std::sqrt(rest2);
                t1 = 1;
            } else {
                // Bisection on the parameter until the chord has the piece's
                // length (squared distances within 49 twips², at most 100 steps).
                double lo = t, hi = 1;
                t1 = hi;
                for (int step = 0; step < 100; ++step) {
                    t1 = (lo + hi) / 2;
                    const double d2 = Distance2(from, at(t1));
                    if (std::abs(d2 - piece * piece) <= 49)
                        break;
                    (d2 < piece * piece ? lo : hi) = t1;
                }
            }
            // The part of a quadratic between two parameters is a quadratic
            // whose control point lies on the tangent at its start.
            const double h = t1 - t;
            const TPoint tangent{2 * (1 - t) * (p1.X - p0.X) + 2 * t * (p2.X - p1.X),
                                 2 * (1 - t) * (p1.Y - p0.Y) + 2 * t * (p2.Y - p1.Y)};
            const TPoint control{from.X + h / 2 * tangent.X, from.Y + h / 2 * tangent.Y};
            Emit(at(t1), &control);
            t = t1;
        }
        Pen = p2;
    }

    void End() { Out.push_back(std::make_unique<TSWFEndShapeRecord>()); }

private:
    double NextPiece() {
        if (Carry > 0) {
            const double c = Carry;
            Carry = 0;
            return c;
        }
        for (;;) {
            const uint8_t len = Pattern[Index];
            Index = (Index + 1) % Pattern.Count();
            if (len > 0)
                return len * 20.0;
            Draw = !Draw; // a zero-length entry only flips the phase
        }
    }

    void Emit(TPoint to, const TPoint* control) {
        if (Draw) {
            const int32_t dx = Round(to.X - Drawn.X);
            const int32_t dy = Round(to.Y - Drawn.Y);
            const bool curve = control && std::abs(dx) >= 20 && std::abs(dy) >= 20 &&
                               Distance2(Drawn, to) >= 100.0 * 100.0;
            if (curve) {
                const int32_t cdx = Round(control->X - Drawn.X);
                const int32_t cdy = Round(control->Y - Drawn.Y);
                if (cdx != 0 || cdy != 0) {
                    Out.push_back(
                        std::make_unique<TSWFCurvedEdgeRecord>(cdx, cdy, dx - cdx, dy - cdy));
                    Drawn.X += dx;
                    Drawn.Y += dy;
                    return Flip();
                }
            }
            if (dx != 0 || dy != 0)
                Out.push_back(std::make_unique<TSWFStraightEdgeRecord>(dx, dy));
            Drawn.X += dx;
            Drawn.Y += dy;
        } else {
            auto rec = std::make_unique<TSWFStyleChangeRecord>();
            if (LineStyle > 0)
                rec->SetLineStyle(LineStyle);
            rec->SetMoveTo(Round(to.X), Round(to.Y));
            Drawn = {double(Round(to.X)), double(Round(to.Y))};
            Out.push_back(std::move(rec));
        }
        Flip();
    }

    // A piece cut at an edge's end keeps its phase: its rest continues the
    // same dash or gap on the next edge.
    void Flip() {
        if (Carry == 0)
            Draw = !Draw;
    }

    const TFlashLineStyle& Pattern;
    TSWFShapeRecordList& Out;
    size_t Index = 0;
    double Carry = 0;
    bool Draw = true;
    uint16_t LineStyle = 0;
    TPoint Pen;   // exact position along the path, twips
    TPoint Drawn; // where the emitted records have taken the pen
};

} // namespace

TSWFShapeRecordList BuildDashedOutline(const TSWFShapeRecordList& records,
                                       const TFlashLineStyle& pattern, bool keepFill) {
    TSWFShapeRecordList out;
    if (keepFill && !records.empty()) {
        out = records;
        for (auto& r : out)
            if (r->ShapeRecType() == rtStyleChange) {
                auto& s = static_cast<TSWFStyleChangeRecord&>(*r);
                if (s.StateLineStyle && s.LineStyle() > 0)
                    s.SetLineStyle(0);
            }
    }
    TDasher dasher(pattern, out);
    for (const auto& r : records) {
        switch (r->ShapeRecType()) {
        case rtEndShape:
            dasher.End();
            break;
        case rtStyleChange:
            dasher.StyleChange(static_cast<const TSWFStyleChangeRecord&>(*r));
            break;
        case rtStraightEdge: {
            const auto& e = static_cast<const TSWFStraightEdgeRecord&>(*r);
            dasher.Straight(e.DeltaX, e.DeltaY);
            break;
        }
        case rtCurvedEdge:
            dasher.Curved(static_cast<const TSWFCurvedEdgeRecord&>(*r));
            break;
        }
    }
    return out;
}

} // namespace pictova
